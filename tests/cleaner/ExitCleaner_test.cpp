// The clean-up program's parts: its command line, the folders it may touch,
// the batch file.
#include "cleaner/ExitCleaner.h"

#include <gtest/gtest.h>

#include <cctype>

#include "platform/files.h"
#include "helpers/modFunction.h"
#include "support/sandbox.h"

#ifndef _WIN32
#include "platform/emulated/emulation.h"
#endif

using testsupport::Sandbox;

namespace {

TEST(FolderList, FlagDroppedCaseKeptEmptyPiecesSkipped) {
  using V = std::vector<std::string>;
  EXPECT_EQ(ExitCleaner::ParseFolderList(" c:\\t\\~oe1\\/c:\\t\\~oe2\\0 "), (V{"c:\\t\\~oe1\\", "c:\\t\\~oe2\\"}));
  EXPECT_EQ(ExitCleaner::ParseFolderList("/0"), V{});
  EXPECT_EQ(ExitCleaner::ParseFolderList("c:\\t\\~oe1\\/0"), V{"c:\\t\\~oe1\\"});
  EXPECT_EQ(ExitCleaner::ParseFolderList(""), V{});
}

TEST(FolderList, OnlyWorkFoldersDirectlyBelowTheTemporaryFolder) {
  const std::string temp = "C:\\Users\\u\\Temp\\";
  for (auto [folder, ok] : {std::pair{"C:\\USERS\\U\\TEMP\\~OE01234\\", true}, {"C:\\USERS\\U\\TEMP\\SCR77", true},
                            {"C:\\WINDOWS\\", false}, {"C:\\USERS\\U\\TEMP\\", false},
                            {"C:\\USERS\\U\\TEMP\\..\\DOCS\\", false}, {"C:\\USERS\\U\\TEMP\\A\\B\\", false}})
    EXPECT_EQ(ExitCleaner::IsCleanableFolder(folder, temp), ok) << folder;
  EXPECT_FALSE(ExitCleaner::IsCleanableFolder("C:\\X\\", ""));
}

TEST(Batch, LinesInOrder) {
  auto lines = ExitCleaner::BatchLines("C:\\DOCUME~1\\U\\LOCALS~1\\QUILLM~1\\", "C:\\TEMP\\~EXE1.EXE",
                                       {"C:\\TEMP\\~OE1", "C:\\TEMP\\~OE2"},
                                       "C:\\DOCUME~1\\U\\LOCALS~1\\QUILLM~1\\~KILLZ~1.BAT");
  const std::vector<std::string> want = {
      "@echo off",
      ":START",
      "del C:\\DOCUME~1\\U\\LOCALS~1\\QUILLM~1\\qmlibzip32.dll",
      "del C:\\DOCUME~1\\U\\LOCALS~1\\QUILLM~1\\qmlibunzip.dll",
      "del C:\\TEMP\\~EXE1.EXE",
      "if exist C:\\DOCUME~1\\U\\LOCALS~1\\QUILLM~1\\qmlibzip32.dll GOTO START",
      "if exist C:\\DOCUME~1\\U\\LOCALS~1\\QUILLM~1\\qmlibunzip.dll GOTO START",
      "if exist C:\\TEMP\\~EXE1.EXE GOTO START",
      "rd C:\\TEMP\\~OE1",
      "rd C:\\TEMP\\~OE2",
      "del C:\\DOCUME~1\\U\\LOCALS~1\\QUILLM~1\\~KILLZ~1.BAT",
  };
  EXPECT_EQ(lines, want);
}

TEST(Batch, NameTakesTheNextFreeNumber) {
  Sandbox box;
  for (const char* name : {"~killzipDLL.bat", "~killzipDLL1.bat", "~killzipDLL2.bat"}) {
    EXPECT_EQ(ExitCleaner::FreeBatchName(box.Root()), box.Path(name));
    box.WriteFile(name, "");
  }
}

TEST(Clean, FilesDirectlyInsideGoNonEmptyFolderStays) {
  Sandbox box;
  box.MakeFolder("w1");
  box.WriteFile("w1\\a.bkr", "1");
  box.WriteFile("w1\\b.dbx", "2");
  platform::SetAttributes(box.Path("w1\\b.dbx"), platform::kAttrReadOnly);
  box.MakeFolder("w2");
  box.MakeFolder("w2\\sub");
  box.WriteFile("w2\\c", "3");
  ExitCleaner::CleanFolders({box.Path("w1\\"), box.Path("w2\\")});
  EXPECT_FALSE(box.Exists("w1"));
  EXPECT_TRUE(box.Exists("w2\\sub"));
  EXPECT_FALSE(box.Exists("w2\\c"));
}

#ifndef _WIN32
TEST(Run, CleansListedWorkFoldersLeavesOthersWritesAndStartsTheBatch) {
  Sandbox box;
  std::string temp = modFunction::TempPath();
  std::string work = modFunction::MakeTempFolder();
  platform::WriteWholeFile(work + "x.bkr", "1");
  box.MakeFolder("precious");
  box.WriteFile("precious\\mail.dbx", "keep");
  std::string line = work + "/" + box.Path("precious\\") + "0";
  std::string batch = ExitCleaner::Run(line, temp + "~exe1.tmp.exe");
  EXPECT_FALSE(platform::IsDirectory(work));
  EXPECT_TRUE(box.Exists("precious\\mail.dbx"));
  ASSERT_EQ(batch, modFunction::LibraryFolder() + "~killzipDLL.bat");
  std::string text;
  ASSERT_TRUE(platform::ReadWholeFile(batch, text));
  EXPECT_EQ(text.substr(0, 19), "@echo off\r\n:START\r\n");
  EXPECT_NE(text.find("rd " + work.substr(0, work.size() - 1) + "\r\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("precious"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  ASSERT_EQ(platform::emu::ShellCalls().size(), 1u);
  EXPECT_EQ(platform::emu::ShellCalls()[0].file, batch);
  EXPECT_EQ(platform::emu::ShellCalls()[0].show, 0);
}
#endif

}  // namespace
