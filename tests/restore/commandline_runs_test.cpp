// The command-line runs on the program's own wizard, without windows: a
// script repeats exactly the backup it describes when it is due, records
// the date only after a backup that succeeded, and an archive named on the
// command line opens on the restore source page.
#include <gtest/gtest.h>

#include <set>

#include "archive/cUnzip.h"
#include "archive_test_support.h"
#include "backup/ucBack2.h"
#include "platform/files.h"
#include "restore/frmPassword.h"
#include "restore/ucRestor1.h"
#include "restore_world.h"
#include "schedule/OleDate.h"
#include "schedule/ScriptCFG.h"
#include "shell/CommandLine.h"
#include "shell/CommandLineRuns.h"
#include "shell/SharedObjects.h"
#include "shell/WizardParts.h"
#include "support/scripted_user.h"

using backuptest::DemoProfile;
using testsupport::ScriptedUser;

namespace {

// Longer than the 12 bytes scripts once kept.
constexpr char kScriptPassword[] = "s3cret, and then some more: 30";  // 30 characters, whole

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
  bool Run(const std::string& line) {
    Wizard w;
    const bool made = CommandLineRuns::RunBackupScript(w.form, line);
    EXPECT_TRUE(w.form.Unloaded());
    return made;
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

  // The same day again: not due, nothing written.
  std::string bytes;
  platform::ReadWholeFile(archive, bytes);
  EXPECT_FALSE(Run("/S " + script));
  std::string again;
  platform::ReadWholeFile(archive, again);
  EXPECT_EQ(again, bytes);

  // Due again, without "/O": a new name beside the earlier archive; the
  // script asks for the compatible cipher now.
  ScriptCFG s;
  ASSERT_TRUE(s.ReadScriptFile(script));
  s.CompatibleEncryption(true);
  s.LastBackupDate(OleDate::Now() - 1);
  ASSERT_TRUE(s.WriteScriptFile(script));
  const std::string beside = CommandLine::MakeUniqueBackupName(archive);
  EXPECT_TRUE(Run("/S " + script + " /I 1 /O"));  // "/O": the archive is replaced
  EXPECT_EQ(platform::GetAttributes(beside), platform::kInvalidAttributes);
  s.LastBackupDate(OleDate::Now() - 1);
  ASSERT_TRUE(s.WriteScriptFile(script));
  EXPECT_TRUE(Run("/I 1 /S " + script));  // "/I" last would be ignored
  EXPECT_EQ(Names(beside), names);
  EXPECT_EQ(archivetest::ArchiveCipher(beside), ZIP_EM_TRAD_PKWARE);
}

// Guards against a failed or refused run skipping a whole interval.
TEST_F(UnattendedTest, RunThatFailsKeepsTheDateAndSaysWhy) {
  const double before = Date();
  struct Case {
    const char* what;
    std::string line;
    std::string message;  // the start of the one message shown, "" for none
  };
  box().WriteFile("blocker", "a file where the archive's folder should be");
  ScriptCFG s;
  ASSERT_TRUE(s.ReadScriptFile(script));
  s.BackupFile(box().Path("blocker\\demo.qmb"));
  ASSERT_TRUE(s.WriteScriptFile(box().Path("blocked.oes")));
  box().WriteFile("broken.oes", "not a script");
  const Case cases[] = {
      {"no such script", "/S " + box().Path("none.oes"), CommandLineRuns::kNoScriptMessage},
      {"not a script", "/S " + box().Path("broken.oes"), CommandLineRuns::kInvalidScriptMessage},
      {"the destination refuses", "/S " + box().Path("blocked.oes"), "Cann't create path"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::size_t shown = user.Shown().size();
    EXPECT_FALSE(Run(c.line));
    ASSERT_GT(user.Shown().size(), shown);
    EXPECT_EQ(user.Shown()[shown].text.rfind(c.message, 0), 0u) << user.Shown()[shown].text;
  }
  ScriptCFG blocked;
  ASSERT_TRUE(blocked.ReadScriptFile(box().Path("blocked.oes")));
  EXPECT_LT(blocked.LastBackupDate(), before + 1);
  EXPECT_EQ(Date(), before);
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
