#pragma once
// The one class through which the program reads and writes the registry:
// told a predefined root and a key path through its properties, it answers
// questions about that key. Every operation opens and closes what it needs.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "registry/TaggedValue.h"

// Predefined roots and value types, as the registry seam numbers them.
constexpr std::uint32_t kHkeyClassesRoot = platform::kRegClassesRoot;
constexpr std::uint32_t kHkeyCurrentUser = platform::kRegCurrentUser;
constexpr std::uint32_t kHkeyLocalMachine = platform::kRegLocalMachine;
constexpr std::uint32_t kHkeyUsers = platform::kRegUsers;
constexpr std::uint32_t kHkeyCurrentConfig = platform::kRegCurrentConfig;
constexpr std::uint32_t kRegSz = platform::kRegTypeSz;
constexpr std::uint32_t kRegExpandSz = platform::kRegTypeExpandSz;
constexpr std::uint32_t kRegBinary = platform::kRegTypeBinary;
constexpr std::uint32_t kRegDword = platform::kRegTypeDword;
constexpr std::uint32_t kRegMultiSz = platform::kRegTypeMultiSz;

struct RegistryValueEntry {
  std::string Name;  // "" for the key's default value
  TaggedValue Data;  // its kind says text, number, bytes or none
};

// The header line of a registry export file and the placeholder that stands
// for the exported branch in its key lines.
inline constexpr const char* kRegistryFileHeader = "Quillmere Registry File";
inline constexpr const char* kKeyNamePlaceholder = "<%QuillmereKeyName%>";

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
  // Writes into an existing key only. False when the key cannot be opened for
  // writing, the value does not convert to DType, or DType is none of the five.
  bool SetRegistryValue(const std::string& ValueName, const TaggedValue& value,
                        std::uint32_t DType) const;
  // Removes the value from the key. True when it is gone afterwards (also
  // when there was none); false when the key cannot be opened for writing or
  // the value stays.
  bool DeleteRegistryValue(const std::string& ValueName) const;
  static std::string& TrimNull(std::string& Item);

  // Registry export file (RegistryExportFile.cpp).
  // Writes the key sKeyName below root (with bIncludeSubKeys its whole branch,
  // depth first) to sRegFile; key lines name the branch by a placeholder.
  // Without bAppendToFile the file is replaced and sKeyName becomes the branch
  // base (kept in Subkey); with it the blocks are added at the end, below the
  // base already in Subkey. False only when the file cannot be written.
  bool SaveKey(const std::string& sKeyName, const std::string& sRegFile, std::uint32_t root,
               bool bIncludeSubKeys = false, bool bAppendToFile = false);
  // Reads sFileName and writes its keys and values at or below sKeyName under
  // lPredefinedKey (the placeholder becomes sKeyName; key lines that do not
  // lead below it are passed over). False when the file is missing or does
  // not begin with the header.
  bool RestoreKey(const std::string& sKeyName, const std::string& sFileName,
                  std::uint32_t lPredefinedKey);

 private:
  std::string JoinedPath() const;
  void AppendBranch(std::string& out, std::uint32_t root, const std::string& keyName,
                    const std::string& base, const std::string& rootName,
                    bool includeSubKeys) const;
  void RestoreValueLine(const std::string& line) const;

  std::uint32_t hKey_ = 0;
  std::string keyRoot_;
  std::string subkey_;
};
