// Start-up: the three ways of running and the zip-library stop.
#include "shell/modCheckOE.h"

#include <gtest/gtest.h>

#include "helpers/modFunction.h"
#include "platform/files.h"
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
  void OpenBackupFromCommandLine(const std::string& l) override { called = "open", line = l; }
  void RunBackupScript(const std::string& l) override { called = "script", line = l; }
};

TEST(Dispatch, ByLengthAndSwitch) {
  for (auto [line, way] : {std::pair{"", 0}, {"/S", 0}, {"/S ab", 2}, {"C:\\A.QMB", 1}, {"\"C:\\MY /SAVES\\A.QMB\"", 2}})
    EXPECT_EQ(modCheckOE::Dispatch(line), way) << line;
}

// Earlier copies of both libraries in the library folder are enough.
TEST(Startup, EarlierCopyOfTheLibrariesIsEnough) {
  Sandbox box;
  const std::string lib = modFunction::LibraryFolder();
  platform::WriteWholeFile(lib + modCheckOE::kZipLibraryName, "old zip");
  platform::WriteWholeFile(lib + modCheckOE::kUnzipLibraryName, "old unzip");
  const std::pair<const char*, const char*> lines[] = {
      {"/s c:\\a.oes", "script"}, {" /S ", "wizard"}, {"  \"c:\\my docs\\oe.qmb\"  ", "open"}};
  for (auto [line, called] : lines) {
    ScriptedUser user;
    RecordingTargets t;
#ifndef _WIN32
    platform::emu::SetCommandLine(line);
#endif
    EXPECT_EQ(modCheckOE::Main(t), 0);
    EXPECT_TRUE(user.Shown().empty());
    EXPECT_FALSE(t.called.empty());
    if (!testsupport::kRealWindows) { EXPECT_EQ(t.called, called) << line; }
  }
  platform::RemoveFile(lib + modCheckOE::kZipLibraryName);
  platform::RemoveFile(lib + modCheckOE::kUnzipLibraryName);
}

#ifndef _WIN32
TEST(Startup, WritesBothLibrariesAndDispatchesTrimmedLineInItsOwnCase) {
  Sandbox box;
  platform::emu::SetResource("ZIBLIB", 101, "zip bytes");
  platform::emu::SetResource("ZIBLIB", 102, "unzip bytes");
  platform::emu::SetCommandLine("  \"c:\\my docs\\oe.qmb\"  ");
  RecordingTargets t;
  EXPECT_EQ(modCheckOE::Main(t), 0);
  EXPECT_EQ(t.called, "open");
  EXPECT_EQ(t.line, "\"c:\\my docs\\oe.qmb\"");  // a path is never upper-cased
  EXPECT_EQ(modCheckOE::CommandLine(), t.line);
  EXPECT_EQ(modFunction::LibraryFolder(), "C:\\Users\\user\\Local Settings\\Quillmere\\");
  EXPECT_EQ(testsupport::FileBytes(modFunction::LibraryFolder() + "qmlibzip32.dll"), "zip bytes");
  EXPECT_EQ(testsupport::FileBytes(modFunction::LibraryFolder() + "qmlibunzip.dll"), "unzip bytes");
}

TEST(Startup, MissingLibrariesStopWithTheMessage) {
  Sandbox box;  // no resources and no earlier copies
  ScriptedUser user;
  RecordingTargets t;
  EXPECT_EQ(modCheckOE::Main(t), 1);
  EXPECT_TRUE(t.called.empty());
  ASSERT_EQ(user.Shown().size(), 1u);
  EXPECT_EQ(user.Shown()[0].text + "|" + user.Shown()[0].title, "Load runtime library fail |Err");
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
  EXPECT_EQ(testsupport::FileBytes(exe), "MZ cleaner");
  ASSERT_EQ(platform::emu::ShellCalls().size(), 1u);
  const auto& call = platform::emu::ShellCalls()[0];
  EXPECT_EQ(call.file, exe);
  EXPECT_EQ(call.parameters, "C:\\T\\~OE00001\\/C:\\T\\~OE00002\\0");
  EXPECT_EQ(call.folder, "c:\\");
  EXPECT_EQ(call.show, 1);
}
#endif

}  // namespace
