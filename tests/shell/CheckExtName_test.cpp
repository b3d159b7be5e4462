// The file association: the four keys and their values, the same after a
// second load.
#include "shell/CheckExtName.h"

#include <gtest/gtest.h>

#include "helpers/modFunction.h"
#include "platform/paths.h"
#include "registry/RegistryRoutines.h"
#include "support/sandbox.h"

namespace {

std::vector<std::string> Defaults() {
  std::vector<std::string> out;
  for (const char* key : {".qmb", "QuillmereFile", "QuillmereFile\\DefaultIcon", "QuillmereFile\\shell\\open\\command"}) {
    RegistryRoutines reg;
    reg.hKey(kHkeyClassesRoot);
    reg.Subkey("");
    reg.KeyRoot(key);
    out.push_back(reg.GetRegistryValue("").AsText());
  }
  return out;
}

TEST(CheckExtName, SecondLoadWritesTheSameValues) {
  testsupport::Sandbox box;
  EXPECT_TRUE(CheckExtName());
  const std::string exe = modFunction::AppPath() + platform::ProgramFileName() + ".exe";
  const std::vector<std::string> first = Defaults();
  EXPECT_EQ(first, (std::vector<std::string>{"QuillmereFile", "Quillmere File", exe + ",0", "\"" + exe + "\" \"%1\""}));
  EXPECT_TRUE(CheckExtName());
  EXPECT_EQ(Defaults(), first);
}

}  // namespace
