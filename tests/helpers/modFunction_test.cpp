// The shared routines, on both builds.
#include "helpers/modFunction.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/sandbox.h"

using testsupport::Sandbox;

namespace {

bool EndsInSlash(const std::string& s) { return !s.empty() && s.back() == '\\'; }

TEST(Places, FolderPathsEndInBackslashAndTheLibraryFolderIsPrivate) {
  Sandbox box;
  for (const std::string& folder : {modFunction::AppPath(), modFunction::SystemFolder(), modFunction::TempPath(),
                                    modFunction::SpecialFolderPath(0x1c), modFunction::LibraryFolder()})
    EXPECT_TRUE(EndsInSlash(folder)) << folder;
  EXPECT_TRUE(platform::IsDirectory(modFunction::SystemFolder()));
  EXPECT_EQ(modFunction::SpecialFolderPath(0x7777), "");
  const std::string lib = modFunction::LibraryFolder();
  EXPECT_NE(lib.find("\\Quillmere\\"), std::string::npos) << lib;
  EXPECT_NE(lib, modFunction::SystemFolder());
  EXPECT_TRUE(platform::WriteWholeFile(lib + "probe.tmp", "x"));
  platform::RemoveFile(lib + "probe.tmp");
  EXPECT_FALSE(modFunction::IsWin9x());
}

TEST(MakeFolderPath, DoubledBackslashCreatesEachLevelAndCleansThePath) {
  Sandbox box;
  std::string path = box.Path("A\\\\B");
  ASSERT_TRUE(modFunction::MakeFolderPath(path));
  EXPECT_EQ(path, box.Path("A\\B"));
  EXPECT_TRUE(platform::IsDirectory(box.Path("A")));
  EXPECT_TRUE(platform::IsDirectory(box.Path("A\\B")));
  EXPECT_TRUE(modFunction::MakeFolderPath(path));  // exists already
  std::string deep = box.Path("x\\y\\z\\");
  ASSERT_TRUE(modFunction::MakeFolderPath(deep));
  EXPECT_TRUE(platform::IsDirectory(box.Path("x\\y\\z")));
}

TEST(MakeFolderPath, Refusals) {
  Sandbox box;
  box.WriteFile("file", "1");
  // An empty first piece, blanks, no such drive, a level that cannot be made.
  for (std::string path : {std::string("\\\\server\\share\\dir"), std::string("   "), std::string("Q:\\nowhere\\dir"),
                           box.Path("file\\sub")})
    EXPECT_FALSE(modFunction::MakeFolderPath(path)) << path;
}

TEST(MakeTempFolder, TwoCallsGiveTwoFreshEmptyFolders) {
  Sandbox box;
  const std::string a = modFunction::MakeTempFolder(), b = modFunction::MakeTempFolder();
  ASSERT_TRUE(EndsInSlash(a) && EndsInSlash(b));
  EXPECT_NE(a, b);
  EXPECT_EQ(a.rfind(modFunction::TempPath(), 0), 0u);
  for (const std::string& f : {a, b}) {
    EXPECT_TRUE(platform::IsDirectory(f));
    std::vector<platform::DirEntry> entries;
    ASSERT_TRUE(platform::ListFolder(f + "*.*", entries));
    for (const auto& e : entries) EXPECT_TRUE(e.name == "." || e.name == "..") << e.name;
  }
  modFunction::DeleteFolderTree(a.substr(0, a.size() - 1));
  modFunction::DeleteFolderTree(b.substr(0, b.size() - 1));
}

TEST(DeleteFolderTree, RemovesReadOnlyHiddenFilesAndNestedFolders) {
  Sandbox box;
  box.MakeFolder("w");
  box.MakeFolder("w\\n1");
  box.MakeFolder("w\\n1\\n2");
  box.MakeFolder("w\\n3");
  box.WriteFile("w\\ro.bkr", "1");
  box.WriteFile("w\\n1\\hidden.dbx", "2");
  box.WriteFile("w\\n1\\n2\\sys.wab", "3");
  platform::SetAttributes(box.Path("w\\ro.bkr"), platform::kAttrReadOnly);
  platform::SetAttributes(box.Path("w\\n1\\hidden.dbx"), platform::kAttrHidden);
  platform::SetAttributes(box.Path("w\\n1\\n2\\sys.wab"), platform::kAttrSystem | platform::kAttrReadOnly);
  box.WriteFile("keep.txt", "stays");

  modFunction::DeleteFolderTree(box.Path("w"));
  EXPECT_FALSE(box.Exists("w"));
  EXPECT_TRUE(box.Exists("keep.txt"));
}

TEST(DeleteFolderTree, ManyFilesBeyondOneListing) {
  Sandbox box;
  box.MakeFolder("big");
  for (int i = 0; i < 4100; ++i) box.WriteFile("big\\f" + std::to_string(i), "");
  modFunction::DeleteFolderTree(box.Path("big"));
  EXPECT_FALSE(box.Exists("big"));
}

TEST(Existence, FileExistsAndIsFolder) {
  Sandbox box;
  box.MakeFolder("dir");
  box.WriteFile("empty.txt", "");
  EXPECT_TRUE(modFunction::FileExists(box.Path("empty.txt")));
  EXPECT_FALSE(modFunction::FileExists(box.Path("dir")));
  EXPECT_FALSE(modFunction::FileExists(box.Path("missing.txt")));
  EXPECT_FALSE(modFunction::FileExists(""));
  std::string dir = box.Path("dir"), file = box.Path("empty.txt"), none;
  EXPECT_TRUE(modFunction::IsFolder(dir));
  EXPECT_FALSE(modFunction::IsFolder(file));
  EXPECT_FALSE(modFunction::IsFolder(none));
}

TEST(Text, TrimAtNulKeepsWholeTextWhenNulComesFirst) {
  EXPECT_EQ(modFunction::TrimAtNul(std::string("C:\\x\0junk", 9)), "C:\\x");
  EXPECT_EQ(modFunction::TrimAtNul("plain"), "plain");
  std::string leading("\0abc", 4);
  EXPECT_EQ(modFunction::TrimAtNul(leading), leading);
}

}  // namespace
