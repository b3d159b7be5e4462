#pragma once
// The association of the backup file type (.qmb) with the program, written
// under HKEY_CLASSES_ROOT each time the wizard loads.
#include <string>
#include <vector>

namespace association {

struct KeyDefault {
  std::string key;    // below HKEY_CLASSES_ROOT
  std::string value;  // the key's default value
};

// The four keys and their default values for the program `programName`
// (file name without extension) in folder `appPath` (ending in "\").
std::vector<KeyDefault> AssociationValues(const std::string& appPath, const std::string& programName);

// Creates each key when missing and writes its default value as a string.
bool WriteKeyDefaults(const std::vector<KeyDefault>& values);

}  // namespace association

// The association for the running program; callers ignore the result.
bool CheckExtName();
