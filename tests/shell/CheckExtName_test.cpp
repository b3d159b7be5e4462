// The file association: the four keys and values, and that writing them
// twice leaves the same values.
#include "shell/CheckExtName.h"

#include <gtest/gtest.h>

#include "registry/RegistryRoutines.h"
#include "helpers/modFunction.h"
#include "platform/paths.h"
#include "support/sandbox.h"

namespace {

std::string DefaultOf(const std::string& key) {
  RegistryRoutines reg;
  reg.hKey(kHkeyClassesRoot);
  reg.Subkey("");
  reg.KeyRoot(key);
  return reg.GetRegistryValue("").AsText();
}

TEST(AssociationValues, KeysAndDefaults) {
  auto v = association::AssociationValues("C:\\Program Files\\Quillmere\\", "quillmere");
  ASSERT_EQ(v.size(), 4u);
  EXPECT_EQ(v[0].key, ".qmb");
  EXPECT_EQ(v[0].value, "QuillmereFile");
  EXPECT_EQ(v[1].key, "QuillmereFile");
  EXPECT_EQ(v[1].value, "Quillmere File");
  EXPECT_EQ(v[2].key, "QuillmereFile\\DefaultIcon");
  EXPECT_EQ(v[2].value, "C:\\Program Files\\Quillmere\\quillmere.exe,0");
  EXPECT_EQ(v[3].key, "QuillmereFile\\shell\\open\\command");
  EXPECT_EQ(v[3].value, "\"C:\\Program Files\\Quillmere\\quillmere.exe\" \"%1\"");
}

TEST(CheckExtName, SecondLoadWritesTheSameValues) {
  testsupport::Sandbox box;
  EXPECT_TRUE(CheckExtName());
  const std::string exe = modFunction::AppPath() + platform::ProgramFileName() + ".exe";
  std::vector<std::string> first;
  for (const char* key : {".qmb", "QuillmereFile", "QuillmereFile\\DefaultIcon",
                          "QuillmereFile\\shell\\open\\command"})
    first.push_back(DefaultOf(key));
  EXPECT_EQ(first, (std::vector<std::string>{"QuillmereFile", "Quillmere File", exe + ",0",
                                             "\"" + exe + "\" \"%1\""}));
  EXPECT_TRUE(CheckExtName());
  std::vector<std::string> second;
  for (const char* key : {".qmb", "QuillmereFile", "QuillmereFile\\DefaultIcon",
                          "QuillmereFile\\shell\\open\\command"})
    second.push_back(DefaultOf(key));
  EXPECT_EQ(first, second);
}

}  // namespace
