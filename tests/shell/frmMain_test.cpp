// The wizard frame driven headless through its public members, as the
// unattended run drives it: page table, Back, the questions, Finish and
// "&Save Script", stopping a run, closing.
#include "shell/frmMain.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "helpers/modFunction.h"
#include "platform/files.h"
#include "platform/system.h"
#include "schedule/OleDate.h"
#include "schedule/ScriptCFG.h"
#include "shell/WizardParts.h"
#include "shell/modCheckOE.h"
#include "support/sandbox.h"
#include "support/scripted_user.h"
#include "test_pages.h"

#ifndef _WIN32
#include "platform/emulated/emulation.h"
#endif

using testpages::Wizard;
using testsupport::FileAnswer;
using testsupport::ScriptedUser;

namespace {

const std::string kBothFolders = "C:\\Temp\\~oe00001\\/C:\\Temp\\~oe00002\\";

// Walks the frame from page 0 to page `target` along the table.
void GoTo(Wizard& w, int target) {
  w.f().Load();
  if (target == 0) return;
  w.f().cmdNext_Click();
  if (target >= 8) w.f().ucStep11.Method(ucStep1::kRestore);
  while (w.f().CurrentPage() < target) w.f().cmdNext_Click();
  ASSERT_EQ(w.f().CurrentPage(), target);
}

class Frame : public ::testing::Test {
 protected:
  testsupport::Sandbox box;
  ScriptedUser user;
  Wizard w;
};

TEST_F(Frame, BackupBranchRunsEachPageOnceAndHandsTheValuesToTheRun) {
  w.f().Load();
  EXPECT_EQ(w.VisiblePages(), std::vector<wizard::Page*>{&w.f().ucStep01});
  EXPECT_FALSE(w.f().cmdBack.Enabled());
  w.back4->Finish = nullptr;  // the buttons stay as page 6 left them
  while (w.f().CurrentPage() < 5) w.f().cmdNext_Click();
  EXPECT_EQ(w.VisiblePages(), std::vector<wizard::Page*>{w.back4});
  EXPECT_TRUE(w.f().cmdBack.Enabled());
  w.f().cmdNext_Click();
  EXPECT_EQ(w.log, (testpages::Log{"CreateSharedObjects", "CheckExtName", "ucBack11.LoadIdenList",
                                   "ucBack11.CheckReady", "ucBack21.CheckReady", "ucBack31.CheckRunning",
                                   "ucBack31.CheckReady", "ucBack41.InitNow", "ucBack41.StartBackup"}));
  EXPECT_EQ(w.f().CurrentPage(), 6);
  EXPECT_EQ(w.back4->total, 12);
  EXPECT_EQ(w.back4->zip + "|" + w.back4->password + "|" + w.back4->comment, "D:\\Save\\mail.qmb|secret|weekly");
  EXPECT_FALSE(w.f().cmdBack.Enabled());
  EXPECT_FALSE(w.f().cmdNext.Enabled());
  EXPECT_TRUE(w.f().cmdCancel.Enabled());  // it asks whether to stop the run
}

TEST(Next, RefusingPageKeepsTheWizardWhereItIs) {
  testsupport::Sandbox box;
  for (int page : {2, 3, 4, 8, 9, 10}) {
    Wizard w;
    GoTo(w, page);
    w.back1->ready = w.back2->ready = w.back3->ready = w.restor1->ready = w.restor2->ready = false;
    w.f().cmdNext_Click();
    EXPECT_EQ(w.f().CurrentPage(), page);
  }
}

TEST_F(Frame, ScheduleChoiceOpensTheDialogAndStaysOnTheMethodPage) {
  GoTo(w, 1);
  w.f().SetWindow(reinterpret_cast<void*>(0x1234));
  w.f().ucStep11.optMethod.Value(ucStep1::kSchedule);
  w.f().cmdNext_Click();
  EXPECT_EQ(w.f().CurrentPage(), 1);
  ASSERT_EQ(user.Forms().size(), 1u);
  EXPECT_EQ(user.Forms()[0].name, "frmConfig");
  EXPECT_EQ(user.Forms()[0].owner, reinterpret_cast<void*>(0x1234));
  EXPECT_EQ(w.VisiblePages(), std::vector<wizard::Page*>{&w.f().ucStep11});
  w.f().SetWindow(nullptr);
}

TEST(Back, StepsBackAlongTheTableAndFromRestoreToTheMethodPage) {
  testsupport::Sandbox box;
  for (auto [from, to] : {std::pair{8, 1}, {9, 8}, {10, 9}, {2, 1}, {3, 2}, {1, 0}}) {
    Wizard w;
    GoTo(w, from);
    w.f().cmdBack_Click();
    EXPECT_EQ(w.f().CurrentPage(), to) << "from " << from;
    EXPECT_EQ(w.VisiblePages().size(), 1u);
    EXPECT_EQ(w.f().cmdBack.Enabled(), to != 0);
  }
}

TEST_F(Frame, RestoreQuestionCancelStaysAndOkStartsTheRestore) {
  GoTo(w, 11);
  user.Answer(platform::kAnswerCancel).Answer(platform::kAnswerOk);
  w.f().cmdNext_Click();
  EXPECT_EQ(w.f().CurrentPage(), 11);
  ASSERT_EQ(user.Shown().size(), 1u);
  EXPECT_EQ(user.Shown()[0].text,
            "Your current email and news messages will be replaced       \r\n"
            "with the messages from the selected Backup file. \r\n\r\nDo you want to countinue?\r\n");
  EXPECT_EQ(user.Shown()[0].style, platform::kOkCancel | platform::kDefaultButton2 | platform::kQuestion);
  w.f().cmdNext_Click();
  EXPECT_EQ(w.f().CurrentPage(), 12);
  EXPECT_EQ(w.restor3->zip + "|" + w.restor3->folder + "|" + w.restor3->password,
            "D:\\Save\\old.qmb|C:\\Temp\\~oe00002\\|pw");
  EXPECT_EQ(w.log.back(), "ucRestor31.StartRestore");
  // After the restore only Finish is left.
  EXPECT_EQ(w.f().cmdNext.Caption(), "&Finish");
  EXPECT_TRUE(w.f().cmdNext.Enabled());
  EXPECT_FALSE(w.f().cmdCancel.Enabled() || w.f().cmdBack.Enabled());
}

TEST_F(Frame, AfterTheBackupFinishClosesWithoutAQuestion) {
  GoTo(w, 6);
  EXPECT_EQ(w.f().cmdNext.Caption(), "&Finish");
  EXPECT_TRUE(w.f().cmdNext.Enabled() && w.f().cmdNext.Default());
  EXPECT_EQ(w.f().cmdCancel.Caption(), "&Save Script");
  EXPECT_TRUE(w.f().cmdCancel.Enabled() && w.f().cmdCancel.HasFocus());
  EXPECT_FALSE(w.f().cmdBack.Enabled());
  w.f().cmdNext_Click();
  EXPECT_TRUE(w.f().Unloaded());
  EXPECT_TRUE(user.Shown().empty());
  EXPECT_EQ(modCheckOE::CleanupFolderList(), kBothFolders);
  EXPECT_EQ(w.log.back(), "ReleaseSharedObjects");
}

TEST_F(Frame, SaveScriptCancelledThenFailedThenWritten) {
  w.services.selected = {{"Main Identity", "1,1,1,1,1,1"}, {"Work", "1,0,1,0,0,1"}};
  GoTo(w, 6);
  user.AnswerFile(FileAnswer::Cancel());
  w.f().cmdCancel_Click();
  EXPECT_FALSE(w.f().Unloaded());
  ASSERT_EQ(user.FileDialogs().size(), 1u);
  const auto& d = user.FileDialogs()[0];
  EXPECT_TRUE(d.save && (d.flags & platform::kOfnOverwritePrompt));
  EXPECT_EQ(d.title + "|" + d.defaultExt, "Save as|oes");
  EXPECT_EQ(d.filter, std::string("Script Files(*.oes)\0*.oes\0\0", 27));
  EXPECT_TRUE(user.Shown().empty());

  w.services.writeResult = false;
  user.AnswerFile(FileAnswer::Confirm("D:\\Scripts\\weekly.oes"));
  w.f().cmdCancel_Click();
  ASSERT_EQ(user.Shown().size(), 1u);
  EXPECT_EQ(user.Shown()[0].text, "Save script file unsuccessfully!       ");
  EXPECT_EQ(user.Shown()[0].Icon(), platform::kCritical);
  EXPECT_FALSE(w.f().Unloaded());

  w.services.writeResult = true;
  user.AnswerFile(FileAnswer::Confirm("D:\\Scripts\\weekly"));
  w.f().cmdCancel_Click();
  const wizard::ScriptContent& s = w.services.written;
  EXPECT_EQ(w.services.writtenPath, "D:\\Scripts\\weekly.oes");
  EXPECT_EQ(s.BackupFile + "|" + s.Comments + "|" + s.Password, "D:\\Save\\mail.qmb|weekly|secret");
  EXPECT_TRUE(s.CompatibleEncryption);
  EXPECT_NE(s.LastBackupDate, 0);
  EXPECT_EQ(s.Identities, (std::vector<std::string>{"Main Identity", "Work"}));
  EXPECT_EQ(s.IDdetails, (std::vector<std::string>{"1,1,1,1,1,1", "1,0,1,0,0,1"}));
  ASSERT_EQ(user.Shown().size(), 2u);
  EXPECT_EQ(user.Shown()[1].text, "Save script file successfully!    ");
  EXPECT_TRUE(w.f().Unloaded());
}

// The program's own services write what the frame hands over, the time of
// the backup in local time.
TEST(SaveScript, ProgramServicesWriteTheScriptFile) {
  testsupport::Sandbox box;
  wizard::ScriptContent content{"D:\\Save\\mail.qmb", "weekly", "secret", true, std::time(nullptr),
                                {"Main Identity", "Work"}, {"1,1,1,1,1,1", "1,0,1,0,0,1"}};
  ASSERT_TRUE(wizard::ProgramServices().WriteScriptFile(content, box.Path("a.oes")));
  ScriptCFG back;
  ASSERT_TRUE(back.ReadScriptFile(box.Path("a.oes")));
  EXPECT_EQ(back.BackupFile() + "|" + back.Comments() + "|" + back.Password(), "D:\\Save\\mail.qmb|weekly|secret");
  EXPECT_TRUE(back.CompatibleEncryption());
  EXPECT_NEAR(back.LastBackupDate(), OleDate::Now(), 1.0 / 24);
  EXPECT_EQ(back.Identities(), (TextList{"Main Identity", "Work"}));
  EXPECT_EQ(back.IDdetails(), (TextList{"1,1,1,1,1,1", "1,0,1,0,0,1"}));
}

class CloseQuestion : public testing::TestWithParam<int> {};

TEST_P(CloseQuestion, AskedOnEveryPageNoKeepsTheWindowAndDrivenIsNotAsked) {
  testsupport::Sandbox box;
  ScriptedUser user;
  Wizard w;
  GoTo(w, GetParam());
  user.Answer(platform::kAnswerNo).Answer(platform::kAnswerYes);
  EXPECT_FALSE(w.f().Unload());
  EXPECT_FALSE(w.f().Unloaded());
  w.f().cmdCancel_Click();
  EXPECT_TRUE(w.f().Unloaded());
  ASSERT_EQ(user.Shown().size(), 2u);
  for (const auto& shown : user.Shown()) {
    EXPECT_EQ(shown.text, "Do you want to close Quillmere? ");
    EXPECT_EQ(shown.style & 0xFF, platform::kYesNo | platform::kQuestion);
  }
  EXPECT_EQ(modCheckOE::CleanupFolderList(), kBothFolders);

  Wizard driven;
  GoTo(driven, GetParam());
  driven.f().bNotAskExit(true);
  EXPECT_TRUE(driven.f().Unload());
  EXPECT_EQ(user.Shown().size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Pages, CloseQuestion, testing::Values(0, 1, 2, 3, 4, 5, 8, 9, 10, 11));

// Guards against a run that cannot be stopped, and against the window
// unloading (releasing the catalogue and plan that the run reads) while it
// goes on: during either run Cancel and the close box ask whether to stop
// it, No being the default; Yes stops it, No lets it go on. The window
// stays either way, Back and Next stay disabled, and Finish closes after.
TEST(Stop, CancelOrCloseBoxAsksWhileEitherRunGoesOn) {
  struct Case {
    int page;
    bool closeBox;
    int answer;
  };
  for (const Case c : {Case{6, false, platform::kAnswerYes}, Case{6, true, platform::kAnswerYes},
                       Case{6, false, platform::kAnswerNo}, Case{12, false, platform::kAnswerYes},
                       Case{12, true, platform::kAnswerYes}, Case{12, true, platform::kAnswerNo}}) {
    SCOPED_TRACE(std::to_string(c.page) + (c.closeBox ? ", close box, " : ", Cancel, ") +
                 (c.answer == platform::kAnswerYes ? "Yes" : "No"));
    testsupport::Sandbox box;
    ScriptedUser user;
    Wizard w;
    bool tried = false;
    auto during = [&] {
      tried = true;
      EXPECT_TRUE(w.f().Running());
      EXPECT_FALSE(w.f().cmdNext.Enabled() || w.f().cmdBack.Enabled());
      EXPECT_TRUE(w.f().cmdCancel.Enabled());
      const std::size_t before = user.Shown().size();
      user.Answer(c.answer);
      if (c.closeBox) EXPECT_FALSE(w.f().Unload());
      else w.f().cmdCancel.Press();
      ASSERT_EQ(user.Shown().size(), before + 1);
      EXPECT_EQ(user.Shown().back().text, c.page == 6 ? frmMain::kStopBackupQuestion : frmMain::kStopRestoreQuestion);
      EXPECT_EQ(user.Shown().back().style, platform::kYesNo | platform::kDefaultButton2 | platform::kQuestion);
      // Once the user said Yes the run is stopping: nothing more is asked.
      w.f().cmdCancel.Press();
      EXPECT_EQ(user.Shown().size(), before + (c.answer == platform::kAnswerYes ? 1 : 2));
    };
    w.back4->during = w.restor3->during = during;
    if (c.page == 12) user.Answer(platform::kAnswerOk);  // the restore question
    GoTo(w, c.page);
    EXPECT_TRUE(tried);
    const wizard::RunPage& run = c.page == 6 ? static_cast<wizard::RunPage&>(*w.back4) : *w.restor3;
    EXPECT_EQ(run.StopRequested(), c.answer == platform::kAnswerYes);
    EXPECT_FALSE(w.f().Running() || w.f().Unloaded());
    EXPECT_EQ(w.f().cmdNext.Caption(), "&Finish");
    w.f().cmdNext_Click();
    EXPECT_TRUE(w.f().Unloaded());
  }
}

TEST_F(Frame, UnloadsOnceAndReleasesTheSharedObjects) {
  int unloaded = 0;
  w.f().OnUnloaded = [&] { ++unloaded; };
  w.f().Load();
  w.f().cmdAbout.Press();
  ASSERT_EQ(user.Forms().size(), 1u);
  EXPECT_EQ(user.Forms()[0].name, "frmAbout");
  w.f().bNotAskExit(true);
  w.f().Unload();
  w.f().Unload();
  EXPECT_EQ(unloaded, 1);
  EXPECT_EQ(std::count(w.log.begin(), w.log.end(), "ReleaseSharedObjects"), 1);
}

#ifndef _WIN32
TEST_F(Frame, FinishAfterRestoreStartsTheMailClientMinimizedWhenAsked) {
  user.Answer(platform::kAnswerOk);
  w.restor3->shellOE = 1;
  GoTo(w, 12);
  w.f().cmdNext_Click();
  EXPECT_TRUE(w.f().Unloaded());
  ASSERT_EQ(platform::emu::ShellCalls().size(), 1u);
  EXPECT_EQ(platform::emu::ShellCalls()[0].file, w.restor3->oeFile);
  EXPECT_EQ(platform::emu::ShellCalls()[0].show, platform::kSwShowMinimized);
  EXPECT_EQ(user.Shown().size(), 1u);  // only the restore question
}

TEST_F(Frame, HelpOpensTheHelpFileBesideTheProgramAndAMissingOneIsIgnored) {
  w.f().Load();
  w.f().cmdHelp_Click();
  EXPECT_TRUE(user.Shown().empty());
  EXPECT_FALSE(w.f().Unloaded());
  const std::size_t before = platform::emu::ShellCalls().size();
  std::string folder = modFunction::AppPath();
  ASSERT_TRUE(modFunction::MakeFolderPath(folder));
  ASSERT_TRUE(platform::WriteWholeFile(folder + "help.chm", "chm"));
  w.f().cmdHelp.Press();
  ASSERT_EQ(platform::emu::ShellCalls().size(), before + 1);
  EXPECT_EQ(platform::emu::ShellCalls().back().verb, "open");
  EXPECT_EQ(platform::emu::ShellCalls().back().file, modFunction::AppPath() + "help.chm");
}
#endif

}  // namespace
