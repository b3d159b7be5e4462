#pragma once
// The one class through which the program reads and writes the registry:
// told a predefined root and a key path through its properties, it answers
// questions about that key. Every operation opens and closes what it needs.
#include <cstdint>
#include <string>
#include <vector>

#include "registry/TaggedValue.h"

// Predefined roots.
constexpr std::uint32_t kHkeyClassesRoot = 0x80000000u;
constexpr std::uint32_t kHkeyCurrentUser = 0x80000001u;
constexpr std::uint32_t kHkeyLocalMachine = 0x80000002u;
constexpr std::uint32_t kHkeyUsers = 0x80000003u;
constexpr std::uint32_t kHkeyCurrentConfig = 0x80000005u;

// Registry value types.
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;

struct RegistryValueEntry {
  std::string Name;  // "" for the key's default value
  TaggedValue Data;  // its kind says text, number, bytes or none
};

class RegistryRoutines {
 public:
  std::uint32_t hKey() const { return hKey_; }
  void hKey(std::uint32_t root) { hKey_ = root; }
  const std::string& KeyRoot() const { return keyRoot_; }
  void KeyRoot(const std::string& path) { keyRoot_ = path; }
  const std::string& Subkey() const { return subkey_; }
  void Subkey(const std::string& path) { subkey_ = path; }

  bool KeyExists() const;
  // "0" on success, "" on failure. Without a name the current Subkey is created.
  std::string CreateKey() const;
  std::string CreateKey(const std::string& KeyName) const;
  std::vector<std::string> EnumRegistryKeys(std::uint32_t root, const std::string& KeyName) const;
  std::vector<RegistryValueEntry> EnumRegistryValuesEx(std::uint32_t root,
                                                       const std::string& KeyName) const;
  // The text "Error!" when the key cannot be opened; DefaultValue when the value is missing.
  TaggedValue GetRegistryValue(const std::string& ValueName,
                               const TaggedValue& DefaultValue = TaggedValue()) const;
  bool SetRegistryValue(const std::string& ValueName, const TaggedValue& value,
                        std::uint32_t DType) const;
  static std::string& TrimNull(std::string& Item);

  // Export of the branch KeyRoot\<KeyName> to a registry export file, and
  // import of such a file below KeyRoot.
  bool SaveKey(const std::string& KeyName, const std::string& FileName, bool bAppend = false);
  bool RestoreKey(const std::string& FileName);

 private:
  std::uint32_t hKey_ = 0;
  std::string keyRoot_;
  std::string subkey_;
};
