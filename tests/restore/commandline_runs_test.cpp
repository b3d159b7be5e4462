// The command-line runs on the program's own wizard, without windows: a
// script repeats exactly the backup it describes when it is due, records
// the date only after a backup that succeeded, never copies a store the
// mail client has open, and leaves a line in the script's log every time;
// an archive named on the command line opens on the restore source page.
#include <gtest/gtest.h>

#include <chrono>
#include <set>

#include "archive/cUnzip.h"
#include "archive_test_support.h"
#include "backup/BackupRun.h"
#include "backup/ucBack2.h"
#include "platform/files.h"
#include "restore/frmPassword.h"
#include "restore/ucRestor1.h"
#include "restore_world.h"
#include "schedule/OleDate.h"
#include "schedule/ScriptCFG.h"
#include "schedule/ScriptLog.h"
#include "schedule/CommandLine.h"
#include "shell/CommandLineRuns.h"
#include "catalog/SharedObjects.h"
#include "shell/WizardParts.h"
#include "support/scripted_user.h"
#ifndef _WIN32
#include "platform/emulated/emulation.h"
#endif

using backuptest::DemoProfile;
using testsupport::ScriptedUser;

namespace {

// Longer than the 12 bytes scripts once kept.
constexpr char kScriptPassword[] = "s3cret, and then some more: 30";  // 30 characters, whole
// The wait for the mail client, short for the tests.
const CommandLineRuns::ClientWait kShortWait{std::chrono::milliseconds(300), std::chrono::milliseconds(20)};

struct Wizard {
  Wizard() : form(wizard::MakeProgramPages(), services) { form.Load(); }
  wizard::ProgramServices services;
  frmMain form;
};

class UnattendedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(demo.ok());
#ifdef _WIN32
    archivetest::ProvideLibraries();
#endif
    platform::CreateFolder(box().Path("out"));
    // Anna: everything but her address book; Main Identity: only its rules.
    ScriptCFG s;
    s.BackupFile(archive);
    s.Comments("Scheduled");
    s.Password(kScriptPassword);
    s.Identities().Add("Anna Berger");
    s.IDdetails().Add("1,1,0,1,1,1");
    s.Identities().Add("Main Identity");
    s.IDdetails().Add("0,0,0,1,0,0");
    s.LastBackupDate(OleDate::Now() - 8);
    ASSERT_TRUE(s.WriteScriptFile(script));
  }
  const testsupport::Sandbox& box() const { return demo.Box(); }
  bool Run(const std::string& line, const CommandLineRuns::ClientWait& wait = kShortWait) {
    Wizard w;
    const bool made = CommandLineRuns::RunBackupScript(w.form, line, wait);
    EXPECT_TRUE(w.form.Unloaded());
    return made;
  }
  // The last line of a script's log, after its date and time (today's).
  static std::string Logged(const std::string& script) {
    const std::string line = ScriptLog::LastLine(script);
    EXPECT_EQ(line.rfind(ScriptLog::DateText(OleDate::Now(), false) + " ", 0), 0u) << line;
    return line.size() > 22 ? line.substr(22) : line;
  }
  double Date() {
    ScriptCFG s;
    EXPECT_TRUE(s.ReadScriptFile(script));
    return s.LastBackupDate();
  }
  std::set<std::string> Names(const std::string& path) {
    std::set<std::string> names;
    for (const auto& e : archivetest::ReadArchive(path, kScriptPassword)) names.insert(e.first);
    return names;
  }

  DemoProfile demo;
  ScriptedUser user;
  std::string archive = demo.Box().Path("out\\demo.qmb");
  std::string script = demo.Box().Path("weekly.oes");
};

TEST_F(UnattendedTest, SavesExactlyWhatTheScriptNamesWhenDue) {
  const double before = Date();
  EXPECT_TRUE(Run("/S \"" + script + "\" /I 7"));
  EXPECT_TRUE(user.Shown().empty()) << user.Shown()[0].text;
  EXPECT_GT(Date(), before + 7);
  const std::string anna = backuptest::kAnnaId, main = backuptest::kMainId;
  std::set<std::string> names = Names(archive);
  EXPECT_TRUE(names.count(anna + "/Inbox.dbx"));
  EXPECT_TRUE(names.count(anna + "/Accounts.bkr"));
  EXPECT_TRUE(names.count(main + "/Rules.bkr"));
  EXPECT_FALSE(names.count(main + "/Accounts.bkr"));  // only its rules
  EXPECT_FALSE(names.count(main + "/Blocked.bkr"));
  EXPECT_FALSE(names.count("demo.wab"));             // nobody's address book
  for (const std::string& n : names) EXPECT_EQ(n.find(backuptest::kWorkId), std::string::npos) << n;
  EXPECT_EQ(archivetest::ArchiveComment(archive), "Scheduled");
  EXPECT_EQ(archivetest::ArchiveCipher(archive), ZIP_EM_AES_256);
  EXPECT_EQ(Logged(script), archive + " | backed up");

  // The same day again: not due, nothing written.
  std::string bytes;
  platform::ReadWholeFile(archive, bytes);
  EXPECT_FALSE(Run("/S " + script));
  std::string again;
  platform::ReadWholeFile(archive, again);
  EXPECT_EQ(again, bytes);
  EXPECT_EQ(Logged(script),
            archive + " | not run | not due yet: last backup on " + ScriptLog::DateText(OleDate::Now(), false) +
                ", every 7 days");

  // Due again, without "/O": a new name beside the earlier archive; the
  // script asks for the compatible cipher now.
  ScriptCFG s;
  ASSERT_TRUE(s.ReadScriptFile(script));
  s.CompatibleEncryption(true);
  s.LastBackupDate(OleDate::Now() - 1);
  ASSERT_TRUE(s.WriteScriptFile(script));
  const std::string beside = CommandLine::MakeUniqueBackupName(archive);
  // As the schedule dialog writes it: the quoted script, a blank, "/O".
  EXPECT_TRUE(Run("/I 1 /S \"" + script + "\" /O"));  // "/O": the archive is replaced
  EXPECT_EQ(platform::GetAttributes(beside), platform::kInvalidAttributes);
  s.LastBackupDate(OleDate::Now() - 1);
  ASSERT_TRUE(s.WriteScriptFile(script));
  EXPECT_TRUE(Run("/I 1 /S " + script));  // "/I" last would be ignored
  EXPECT_EQ(Names(beside), names);
  EXPECT_EQ(archivetest::ArchiveCipher(beside), ZIP_EM_TRAD_PKWARE);
  EXPECT_EQ(Logged(script), beside + " | backed up");
  // One line per run, the earlier ones kept.
  std::string log;
  ASSERT_TRUE(platform::ReadWholeFile(box().Path("weekly.log"), log));
  EXPECT_EQ(log.find(archive + " | backed up\r\n"), 22u) << log;
  std::size_t lines = 0;
  for (std::size_t at = log.find("\r\n"); at != std::string::npos; at = log.find("\r\n", at + 2)) ++lines;
  EXPECT_EQ(lines, 4u) << log;
}

// Guards against a failed or refused run skipping a whole interval.
TEST_F(UnattendedTest, RunThatFailsKeepsTheDateAndSaysWhy) {
  const double before = Date();
  struct Case {
    const char* what;
    std::string line;
    std::string message;  // the start of the first message shown
    std::string script;   // the one whose log says why
    std::string logged;   // its log's last line, after date and time
  };
  box().WriteFile("blocker", "a file where the archive's folder should be");
  ScriptCFG s;
  ASSERT_TRUE(s.ReadScriptFile(script));
  s.BackupFile(box().Path("blocker\\demo.qmb"));
  ASSERT_TRUE(s.WriteScriptFile(box().Path("blocked.oes")));
  box().WriteFile("broken.oes", "not a script");
  const std::string blocked = box().Path("blocked.oes");
  const Case cases[] = {
      {"no such script", "/S " + box().Path("none.oes"), CommandLineRuns::kNoScriptMessage, box().Path("none.oes"),
       "- | failed | script not found"},
      {"not a script", "/S " + box().Path("broken.oes"), CommandLineRuns::kInvalidScriptMessage,
       box().Path("broken.oes"), "- | failed | script unreadable"},
      {"the destination refuses", "/S " + blocked, "Cann't create path", blocked,
       box().Path("blocker\\demo.qmb") + " | failed | Cann't create path " + box().Path("blocker\\")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::size_t shown = user.Shown().size();
    EXPECT_FALSE(Run(c.line));
    ASSERT_GT(user.Shown().size(), shown);
    EXPECT_EQ(user.Shown()[shown].text.rfind(c.message, 0), 0u) << user.Shown()[shown].text;
    EXPECT_EQ(Logged(c.script), c.logged);
  }
  // The hidden wizard's message says where it comes from.
  const std::string& refused = user.Shown().back().text;
  const std::string added = std::string("\r\n\r\n") + CommandLineRuns::kAutomaticBackupLine + blocked;
  ASSERT_GT(refused.size(), added.size());
  EXPECT_EQ(refused.substr(refused.size() - added.size()), added);
  ScriptCFG kept;
  ASSERT_TRUE(kept.ReadScriptFile(blocked));
  EXPECT_LT(kept.LastBackupDate(), before + 1);
  EXPECT_EQ(Date(), before);
}

#ifndef _WIN32
// The store is never copied while the mail client has it open: the run
// waits for the client to close and gives up after the limit, keeping the
// date and saying why in the log only (nobody may be there to read a
// message).
TEST_F(UnattendedTest, WaitsForTheMailClientToClose) {
  const double before = Date();
  const platform::ProcessInfo client{8, "C:\\Program Files\\Outlook Express\\msimn.exe", 4096};
  platform::emu::SetProcesses({client});
  EXPECT_FALSE(Run("/S " + script));
  EXPECT_EQ(Date(), before);
  EXPECT_EQ(platform::GetAttributes(archive), platform::kInvalidAttributes);
  EXPECT_TRUE(user.Shown().empty()) << user.Shown()[0].text;
  EXPECT_EQ(Logged(script), archive + " | failed | Outlook Express was still running after 300 ms");

  // Closed while the run waits: the backup is made then, not before.
  const auto start = std::chrono::steady_clock::now();
  bool archiveWhileOpen = false, closed = false;
  platform::emu::AddDoEventsHook([&] {
    if (closed || std::chrono::steady_clock::now() - start < std::chrono::milliseconds(1500)) return;
    archiveWhileOpen = platform::GetAttributes(archive) != platform::kInvalidAttributes;
    closed = true;
    platform::emu::SetProcesses({});
  });
  EXPECT_TRUE(Run("/S " + script, {std::chrono::milliseconds(20000), std::chrono::milliseconds(100)}));
  EXPECT_TRUE(closed);
  EXPECT_FALSE(archiveWhileOpen);
  EXPECT_GT(Date(), before + 7);
  EXPECT_EQ(Logged(script), archive + " | backed up");
}

// An archive that cannot be written: the message says that it is the
// automatic backup and names the script, the log says what failed.
TEST_F(UnattendedTest, ArchiveThatCannotBeWrittenSaysWhichBackupItWas) {
  const double before = Date();
  // The disk fills up once the archive has been begun, and has room again
  // when the run has removed it.
  bool full = false;
  platform::emu::AddDoEventsHook([&] {
    std::vector<platform::DirEntry> partial;
    platform::ListFolder(box().Path("out\\qmb*.tmp"), partial);
    if (!partial.empty() && !full) platform::emu::SetDiskSpace(0);
    if (partial.empty() && full) platform::emu::SetDiskSpace(-1);
    full = !partial.empty();
  });
  EXPECT_FALSE(Run("/S " + script));
  ASSERT_EQ(user.Shown().size(), 1u);
  EXPECT_EQ(user.Shown()[0].text, std::string(backup::kCompressFailMessage) + "\r\n\r\n" +
                                      CommandLineRuns::kAutomaticBackupLine + script);
  EXPECT_EQ(Date(), before);
  EXPECT_EQ(Logged(script).rfind(archive + " | failed | The backup file could not be written to " +
                                     box().Path("out\\") + ". Its disk is full",
                                 0),
            0u)
      << Logged(script);
}
#endif

// The log is the run's record, not part of the backup: a log that cannot be
// written (a folder in its place) leaves the backup made and recorded.
TEST_F(UnattendedTest, LogThatCannotBeWrittenDoesNotStopTheBackup) {
  platform::CreateFolder(box().Path("weekly.log"));
  EXPECT_TRUE(Run("/S " + script));
  EXPECT_GT(Date(), OleDate::Now() - 1);
  EXPECT_FALSE(Names(archive).empty());
  EXPECT_TRUE(user.Shown().empty());
}

TEST(CommandLineArchive, OpensOnTheRestoreSourcePageWithTheArchiveLoaded) {
  restoretest::RestoreWorld world;
  ASSERT_TRUE(world.ok());
  shared::ReleaseSharedObjects();
  ScriptedUser user;
  int asked = 0;
  user.OnForm("frmPassword", [&](platform::ModalForm& f) {
    ++asked;
    auto& dialog = static_cast<frmPassword&>(f);
    dialog.txtPassword.Text("s3cret");
    dialog.cmdOK.Press();
    return 1;
  });
  Wizard w;
  CommandLineRuns::OpenBackupFromCommandLine(w.form, "\"" + world.Archive() + "\"");
  EXPECT_EQ(w.form.CurrentPage(), 8);
  EXPECT_EQ(asked, 1);
  auto& source = static_cast<ucRestor1&>(w.form.ucRestor11);
  EXPECT_EQ(source.RestoreFile(), world.Archive());
  EXPECT_EQ(shared::RestorePlan().Count(), 2);
  EXPECT_TRUE(source.CheckReady());
  w.form.bNotAskExit(true);
  w.form.Unload();
}

}  // namespace
