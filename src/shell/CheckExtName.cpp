#include "shell/CheckExtName.h"

#include "platform/paths.h"
#include "registry/RegistryRoutines.h"
#include "helpers/modFunction.h"

namespace association {

std::vector<KeyDefault> AssociationValues(const std::string& appPath, const std::string& programName) {
  const std::string exe = appPath + programName + ".exe";
  return {
      {".qmb", "QuillmereFile"},
      {"QuillmereFile", "Quillmere File"},
      {"QuillmereFile\\DefaultIcon", exe + ",0"},
      {"QuillmereFile\\shell\\open\\command", "\"" + exe + "\" \"%1\""},
  };
}

bool WriteKeyDefaults(const std::vector<KeyDefault>& values) {
  bool all = true;
  RegistryRoutines reg;
  reg.hKey(kHkeyClassesRoot);
  reg.Subkey("");
  for (const auto& v : values) {
    reg.KeyRoot("");
    if (reg.CreateKey(v.key).empty()) {  // creates it, or opens it when present
      all = false;
      continue;
    }
    reg.KeyRoot(v.key);
    all = reg.SetRegistryValue("", TaggedValue(v.value), kRegSz) && all;
  }
  return all;
}

}  // namespace association

bool CheckExtName() {
  return association::WriteKeyDefaults(
      association::AssociationValues(modFunction::AppPath(), platform::ProgramFileName()));
}
