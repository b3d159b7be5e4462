// RegistryRoutines: keys and values of the key KeyRoot\Subkey below hKey.
#include "registry/RegistryRoutines.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

#include "platform/paths.h"
#include "platform/registry.h"

namespace {

bool IsStringType(std::uint32_t type) {
  return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

// Stored text without its terminating NUL; a value written without one
// keeps its last character.
std::string WithoutTerminator(std::string data) {
  if (!data.empty() && data.back() == '\0') data.pop_back();
  return data;
}

// A multi-string without its closing pair of NULs (or as many as there are).
std::string MultiStringBody(std::string data) {
  for (int i = 0; i < 2 && !data.empty() && data.back() == '\0'; ++i) data.pop_back();
  return data;
}

std::int32_t LittleEndian32(const std::string& data) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4 && i < data.size(); ++i)
    v |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[i])) << (8 * i);
  return static_cast<std::int32_t>(v);
}

// A value as a 32-bit number; false when it does not convert.
bool ToInt32(const TaggedValue& value, std::int32_t& out) {
  if (value.IsNumber()) {
    out = value.number();
    return true;
  }
  if (value.IsNothing()) {
    out = 0;
    return true;
  }
  if (!value.IsText()) return false;
  const std::string& t = value.text();
  const char* begin = t.c_str();
  char* end = nullptr;
  errno = 0;
  long long n = std::strtoll(begin, &end, 10);
  while (end && (*end == ' ' || *end == '\t')) ++end;
  if (end == begin || *end != '\0' || errno == ERANGE ||
      n < std::numeric_limits<std::int32_t>::min() || n > std::numeric_limits<std::uint32_t>::max())
    return false;
  out = static_cast<std::int32_t>(static_cast<std::uint32_t>(n));
  return true;
}

}  // namespace

std::string RegistryRoutines::JoinedPath() const { return keyRoot_ + "\\" + subkey_; }

bool RegistryRoutines::KeyExists() const {
  platform::RegKey key;
  return platform::OpenRegKey(hKey_, JoinedPath(), platform::kRegKeyRead, key) == platform::kRegOk;
}

std::string RegistryRoutines::CreateKey() const { return CreateKey(subkey_); }

std::string RegistryRoutines::CreateKey(const std::string& KeyName) const {
  std::string path = keyRoot_.empty() ? KeyName : keyRoot_ + "\\" + KeyName;
  platform::RegKey key;
  return platform::CreateRegKey(hKey_, path, key) == platform::kRegOk ? "0" : "";
}

std::vector<std::string> RegistryRoutines::EnumRegistryKeys(std::uint32_t root,
                                                            const std::string& KeyName) const {
  std::vector<std::string> names;
  platform::RegKey key = platform::RegKey::Root(root);
  if (!KeyName.empty() &&
      platform::OpenRegKey(root, KeyName, platform::kRegKeyRead, key) != platform::kRegOk)
    return names;
  std::string name;
  for (std::uint32_t i = 0; platform::EnumRegSubkey(key, i, name) == platform::kRegOk; ++i)
    names.push_back(TrimNull(name));
  return names;
}

std::vector<RegistryValueEntry> RegistryRoutines::EnumRegistryValuesEx(
    std::uint32_t root, const std::string& KeyName) const {
  std::vector<RegistryValueEntry> entries;
  platform::RegKey key = platform::RegKey::Root(root);
  if (!KeyName.empty() &&
      platform::OpenRegKey(root, KeyName, platform::kRegKeyRead, key) != platform::kRegOk)
    return entries;
  platform::RegValue v;
  for (std::uint32_t i = 0; platform::EnumRegValue(key, i, v) == platform::kRegOk; ++i) {
    RegistryValueEntry e;
    e.Name = v.name;
    switch (v.type) {
      case kRegSz:
      case kRegExpandSz: e.Data = WithoutTerminator(v.data); break;
      case kRegMultiSz: {
        std::string body = MultiStringBody(v.data);
        for (char& c : body)
          if (c == '\0') c = ',';
        e.Data = body;
        break;
      }
      case kRegBinary:
        e.Data = TaggedValue::FromBytes(std::vector<std::uint8_t>(v.data.begin(), v.data.end()));
        break;
      case kRegDword: e.Data = LittleEndian32(v.data); break;
      default: break;  // other types: the name alone
    }
    entries.push_back(std::move(e));
  }
  return entries;
}

TaggedValue RegistryRoutines::GetRegistryValue(const std::string& ValueName,
                                               const TaggedValue& DefaultValue) const {
  platform::RegKey key;
  if (platform::OpenRegKey(hKey_, JoinedPath(), platform::kRegKeyRead, key) != platform::kRegOk)
    return TaggedValue("Error!");
  platform::RegValue v;
  if (platform::QueryRegValue(key, ValueName, v) != platform::kRegOk) return DefaultValue;
  switch (v.type) {
    case kRegSz:
      if (!v.data.empty()) return WithoutTerminator(v.data);
      break;
    case kRegExpandSz:
      if (!v.data.empty()) {
        std::string text = WithoutTerminator(v.data);
        std::string expanded = platform::ExpandEnvironment(text);
        if (expanded.empty() && !text.empty()) return TaggedValue();
        return TrimNull(expanded);
      }
      break;
    case kRegBinary:
      return TaggedValue::FromBytes(std::vector<std::uint8_t>(v.data.begin(), v.data.end()));
    case kRegDword: return LittleEndian32(v.data);
    case kRegMultiSz: {
      std::string body = MultiStringBody(v.data);
      if (!body.empty() && body[0] != '\0') return body;
      break;
    }
    default: break;
  }
  return DefaultValue;
}

bool RegistryRoutines::SetRegistryValue(const std::string& ValueName, const TaggedValue& value,
                                        std::uint32_t DType) const {
  std::string data;
  if (IsStringType(DType)) {
    data = value.AsText();
    data += '\0';
  } else if (DType == kRegBinary) {
    if (value.IsNumber()) return false;
    data = value.AsText();
  } else if (DType == kRegDword) {
    std::int32_t n = 0;
    if (!ToInt32(value, n)) return false;
    std::uint32_t u = static_cast<std::uint32_t>(n);
    for (int i = 0; i < 4; ++i) data += static_cast<char>((u >> (8 * i)) & 0xFF);
  } else {
    return false;  // a type this class does not write
  }
  platform::RegKey key;
  if (platform::OpenRegKey(hKey_, JoinedPath(), platform::kRegKeyWrite, key) != platform::kRegOk)
    return false;
  return platform::SetRegValue(key, ValueName, DType, data) == platform::kRegOk;
}

bool RegistryRoutines::DeleteRegistryValue(const std::string& ValueName) const {
  platform::RegKey key;
  if (platform::OpenRegKey(hKey_, JoinedPath(), platform::kRegKeyWrite, key) != platform::kRegOk)
    return false;
  const long r = platform::DeleteRegValue(key, ValueName);
  return r == platform::kRegOk || r == platform::kRegNotFound;
}

std::string& RegistryRoutines::TrimNull(std::string& Item) {
  std::size_t nul = Item.find('\0');
  if (nul != std::string::npos) Item.erase(nul);
  return Item;
}
