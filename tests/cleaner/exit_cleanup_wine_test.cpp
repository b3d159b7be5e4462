// After the program has gone, the work folders, the zip libraries, the
// clean-up program and its batch file are all gone: run for real under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/files.h"
#include "shell/modCheckOE.h"
#include "shell/modFunction.h"

namespace {

bool Gone(const std::string& path) { return ::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES; }

TEST(ExitCleanup, EverythingIsGoneAfterwards) {
  std::string work1 = modFunction::MakeTempFolder();
  std::string work2 = modFunction::MakeTempFolder();
  platform::WriteWholeFile(work1 + "Comment.lst", "c");
  platform::WriteWholeFile(work1 + "IdList.lst", "i");
  platform::WriteWholeFile(work2 + "Inbox.dbx", "m");
  const std::string lib = modFunction::LibraryFolder();
  // Placeholders stand in for the zip libraries.
  platform::WriteWholeFile(lib + modCheckOE::kZipLibraryName, "placeholder");
  platform::WriteWholeFile(lib + modCheckOE::kUnzipLibraryName, "placeholder");

  std::string exe = modCheckOE::StartExitCleaner(work1 + "/" + work2);
  ASSERT_FALSE(exe.empty());

  const std::vector<std::string> gone = {work1, work2, exe, lib + modCheckOE::kZipLibraryName,
                                         lib + modCheckOE::kUnzipLibraryName, lib + "~killzipDLL.bat"};
  bool all = false;
  for (int i = 0; i < 600 && !all; ++i) {  // up to a minute
    ::Sleep(100);
    all = true;
    for (const auto& p : gone) all = all && Gone(p);
  }
  for (const auto& p : gone) EXPECT_TRUE(Gone(p)) << p;
}

}  // namespace
