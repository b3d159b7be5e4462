// A stand-in for the registry layer in the Wine tests while that layer is
// not in the tree: the few operations the tests reach, on the real registry.
#include <windows.h>

#include <string>

#include "registry/RegistryRoutines.h"

namespace {

HKEY Root(std::uint32_t root) { return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root))); }

std::string Joined(const RegistryRoutines& r) {
  std::string p = r.KeyRoot() + "\\" + r.Subkey();
  while (!p.empty() && p.back() == '\\') p.pop_back();
  return p;
}

}  // namespace

bool RegistryRoutines::KeyExists() const {
  HKEY k;
  if (::RegOpenKeyExA(Root(hKey_), Joined(*this).c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
  ::RegCloseKey(k);
  return true;
}

std::string RegistryRoutines::CreateKey() const { return CreateKey(subkey_); }

std::string RegistryRoutines::CreateKey(const std::string& KeyName) const {
  std::string path = keyRoot_ + (keyRoot_.empty() ? "" : "\\") + KeyName;
  HKEY k;
  if (::RegCreateKeyExA(Root(hKey_), path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) !=
      ERROR_SUCCESS)
    return "";
  ::RegCloseKey(k);
  return "0";
}

TaggedValue RegistryRoutines::GetRegistryValue(const std::string& ValueName,
                                               const TaggedValue& DefaultValue) const {
  HKEY k;
  if (::RegOpenKeyExA(Root(hKey_), Joined(*this).c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
    return TaggedValue("Error!");
  DWORD type = 0, size = 0;
  std::string data;
  LONG rc;
  do {
    data.resize(size);
    rc = ::RegQueryValueExA(k, ValueName.c_str(), nullptr, &type,
                            reinterpret_cast<BYTE*>(data.empty() ? nullptr : &data[0]), &size);
  } while (rc == ERROR_MORE_DATA || (rc == ERROR_SUCCESS && data.size() < size));
  ::RegCloseKey(k);
  if (rc != ERROR_SUCCESS) return DefaultValue;
  data.resize(size);
  if (type == REG_SZ || type == REG_EXPAND_SZ) return TaggedValue(data.substr(0, data.find('\0')));
  return TaggedValue::FromBytes(std::vector<std::uint8_t>(data.begin(), data.end()));
}

bool RegistryRoutines::SetRegistryValue(const std::string& ValueName, const TaggedValue& value,
                                        std::uint32_t DType) const {
  HKEY k;
  if (::RegOpenKeyExA(Root(hKey_), Joined(*this).c_str(), 0, KEY_WRITE, &k) != ERROR_SUCCESS) return false;
  std::string text = value.AsText();
  LONG rc = ::RegSetValueExA(k, ValueName.c_str(), 0, DType, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>(text.size() + 1));
  ::RegCloseKey(k);
  return rc == ERROR_SUCCESS;
}
