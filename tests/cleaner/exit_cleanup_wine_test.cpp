// After the program has gone, the work folders, the zip libraries, the
// clean-up program and its batch file are all gone: run for real under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/files.h"
#include "shell/modCheckOE.h"
#include "helpers/modFunction.h"

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

DWORD WINAPI ExtractOnAnotherThread(LPVOID) { return modCheckOE::ExtractZipLibraries() ? 1 : 0; }

// Started while the clean-up of a run that has just ended still deletes the
// libraries (here held in its loop by its own program file, kept open), the
// next run waits for it and keeps the libraries it writes.
TEST(ExitCleanup, ANewStartMeanwhileKeepsItsLibraries) {
  const std::string lib = modFunction::LibraryFolder();
  std::string exe = modCheckOE::StartExitCleaner("");
  ASSERT_FALSE(exe.empty());
  HANDLE held = INVALID_HANDLE_VALUE;
  for (int i = 0; i < 100 && held == INVALID_HANDLE_VALUE; ++i, ::Sleep(10))
    held = ::CreateFileA(exe.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  for (int i = 0; i < 200 && Gone(lib + "~killzipDLL.bat"); ++i) ::Sleep(50);  // the batch has begun
  HANDLE start = ::CreateThread(nullptr, 0, ExtractOnAnotherThread, nullptr, 0, nullptr);
  ::Sleep(1500);
  ::CloseHandle(held);  // the batch can now finish
  ASSERT_EQ(::WaitForSingleObject(start, 30000), WAIT_OBJECT_0);
  DWORD extracted = 0;
  ::GetExitCodeThread(start, &extracted);
  ::CloseHandle(start);
  EXPECT_EQ(extracted, 1u);
  ::Sleep(1000);  // what a batch still running would delete
  EXPECT_FALSE(Gone(lib + modCheckOE::kZipLibraryName));
  EXPECT_FALSE(Gone(lib + modCheckOE::kUnzipLibraryName));
}

}  // namespace
