// A stand-in for the registry layer in the native tests while that layer is
// not in the tree: keys and values in memory. Only what the tests reach.
#include <map>
#include <string>

#include "registry/RegistryRoutines.h"

namespace {

std::string Norm(std::uint32_t root, std::string path) {
  while (!path.empty() && path.back() == '\\') path.pop_back();
  for (char& c : path) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return std::to_string(root) + ":" + path;
}

std::map<std::string, std::map<std::string, TaggedValue>>& Keys() {
  static std::map<std::string, std::map<std::string, TaggedValue>> keys;
  return keys;
}

std::string Joined(const RegistryRoutines& r) { return r.KeyRoot() + "\\" + r.Subkey(); }

}  // namespace

bool RegistryRoutines::KeyExists() const { return Keys().count(Norm(hKey_, Joined(*this))) != 0; }

std::string RegistryRoutines::CreateKey() const { return CreateKey(subkey_); }

std::string RegistryRoutines::CreateKey(const std::string& KeyName) const {
  std::string path = keyRoot_ + (keyRoot_.empty() ? "" : "\\") + KeyName;
  Keys()[Norm(hKey_, path)];
  return "0";
}

TaggedValue RegistryRoutines::GetRegistryValue(const std::string& ValueName,
                                               const TaggedValue& DefaultValue) const {
  auto key = Keys().find(Norm(hKey_, Joined(*this)));
  if (key == Keys().end()) return TaggedValue("Error!");
  auto value = key->second.find(ValueName);
  return value == key->second.end() ? DefaultValue : value->second;
}

bool RegistryRoutines::SetRegistryValue(const std::string& ValueName, const TaggedValue& value,
                                        std::uint32_t) const {
  auto key = Keys().find(Norm(hKey_, Joined(*this)));
  if (key == Keys().end()) return false;
  key->second[ValueName] = value;
  return true;
}
