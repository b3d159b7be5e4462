// Start-up: the three ways of running and the zip-library stop.
#include "shell/modCheckOE.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "helpers/modFunction.h"
#include "support/sandbox.h"
#include "support/scripted_user.h"

#ifndef _WIN32
#include "platform/emulated/emulation.h"
#endif

using testsupport::Sandbox;
using testsupport::ScriptedUser;

namespace {

struct RecordingTargets : modCheckOE::StartTargets {
  std::string called, line;
  void ShowWizard() override { called = "wizard"; }
  void OpenBackupFromCommandLine(const std::string& l) override { called = "open"; line = l; }
  void RunBackupScript(const std::string& l) override { called = "script"; line = l; }
};

TEST(Dispatch, ByLengthAndSwitch) {
  EXPECT_EQ(modCheckOE::Dispatch(""), 0);
  EXPECT_EQ(modCheckOE::Dispatch("/S"), 0);          // shorter than 5: the wizard
  EXPECT_EQ(modCheckOE::Dispatch("/S ab"), 2);
  EXPECT_EQ(modCheckOE::Dispatch("C:\\A.QMB"), 1);
  EXPECT_EQ(modCheckOE::Dispatch("\"C:\\MY /SAVES\\A.QMB\""), 2);  // "/S" anywhere counts
}

// Leaves earlier copies of both libraries in the library folder.
void PlantEarlierCopies() {
  std::string lib = modFunction::LibraryFolder();
  platform::WriteWholeFile(lib + modCheckOE::kZipLibraryName, "old zip");
  platform::WriteWholeFile(lib + modCheckOE::kUnzipLibraryName, "old unzip");
}

void RemoveCopies() {
  std::string lib = modFunction::LibraryFolder();
  platform::RemoveFile(lib + modCheckOE::kZipLibraryName);
  platform::RemoveFile(lib + modCheckOE::kUnzipLibraryName);
}

TEST(Startup, EarlierCopyOfTheLibrariesIsEnough) {
  Sandbox box;
  PlantEarlierCopies();
  ScriptedUser user;
  RecordingTargets t;
  EXPECT_EQ(modCheckOE::Main(t), 0);
  EXPECT_TRUE(user.Shown().empty());
  EXPECT_FALSE(t.called.empty());
  RemoveCopies();
}

#ifndef _WIN32
TEST(Startup, WritesBothLibrariesAndDispatchesTrimmedLineInItsOwnCase) {
  Sandbox box;
  platform::emu::SetResource("ZIBLIB", 101, "zip bytes");
  platform::emu::SetResource("ZIBLIB", 102, "unzip bytes");
  platform::emu::SetCommandLine("  \"c:\\my docs\\oe.qmb\"  ");
  ScriptedUser user;
  RecordingTargets t;
  EXPECT_EQ(modCheckOE::Main(t), 0);
  EXPECT_EQ(t.called, "open");
  EXPECT_EQ(t.line, "\"c:\\my docs\\oe.qmb\"");  // a path is never upper-cased
  EXPECT_EQ(modCheckOE::CommandLine(), t.line);
  std::string bytes;
  ASSERT_TRUE(platform::ReadWholeFile(modFunction::LibraryFolder() + "qmlibzip32.dll", bytes));
  EXPECT_EQ(bytes, "zip bytes");
  ASSERT_TRUE(platform::ReadWholeFile(modFunction::LibraryFolder() + "qmlibunzip.dll", bytes));
  EXPECT_EQ(bytes, "unzip bytes");
  EXPECT_EQ(modFunction::LibraryFolder(), "C:\\Users\\user\\Local Settings\\Quillmere\\");
}

TEST(Startup, ScriptSwitchInEitherCase) {
  Sandbox box;
  PlantEarlierCopies();
  platform::emu::SetCommandLine("/s c:\\a.oes");
  RecordingTargets t;
  modCheckOE::Main(t);
  EXPECT_EQ(t.called, "script");
  EXPECT_EQ(t.line, "/s c:\\a.oes");
}

TEST(Startup, ShortLineOpensTheWizard) {
  Sandbox box;
  PlantEarlierCopies();
  platform::emu::SetCommandLine(" /S ");
  RecordingTargets t;
  modCheckOE::Main(t);
  EXPECT_EQ(t.called, "wizard");
}

TEST(Startup, MissingLibrariesStopWithTheMessage) {
  Sandbox box;  // no resources and no earlier copies
  ScriptedUser user;
  RecordingTargets t;
  EXPECT_EQ(modCheckOE::Main(t), 1);
  EXPECT_TRUE(t.called.empty());
  ASSERT_EQ(user.Shown().size(), 1u);
  EXPECT_EQ(user.Shown()[0].text, "Load runtime library fail ");
  EXPECT_EQ(user.Shown()[0].title, "Err");
  EXPECT_EQ(user.Shown()[0].Icon(), platform::kCritical);
}

TEST(ExitCleaner, IsWrittenAsFreshExeAndStartedWithTheListAndFlag) {
  Sandbox box;
  platform::emu::SetResource("CUSTOM", 104, "MZ cleaner");
  std::string exe = modCheckOE::StartExitCleaner("C:\\T\\~OE00001\\/C:\\T\\~OE00002\\");
  ASSERT_FALSE(exe.empty());
  EXPECT_EQ(exe.substr(exe.size() - 8), ".tmp.exe");
  EXPECT_EQ(exe.rfind(modFunction::TempPath() + "~ex", 0), 0u) << exe;
  EXPECT_FALSE(modFunction::FileExists(exe.substr(0, exe.size() - 4)));  // the empty .tmp is gone
  std::string bytes;
  ASSERT_TRUE(platform::ReadWholeFile(exe, bytes));
  EXPECT_EQ(bytes, "MZ cleaner");
  ASSERT_EQ(platform::emu::ShellCalls().size(), 1u);
  const auto& call = platform::emu::ShellCalls()[0];
  EXPECT_EQ(call.file, exe);
  EXPECT_EQ(call.parameters, "C:\\T\\~OE00001\\/C:\\T\\~OE00002\\0");
  EXPECT_EQ(call.folder, "c:\\");
  EXPECT_EQ(call.show, 1);
}
#endif

}  // namespace
