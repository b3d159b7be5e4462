// The program's own wizard walked through both branches without windows:
// at every step the window is closed, answered No (it stays, nothing
// changes) and Yes (it unloads once and releases the shared objects, which
// the sanitizers watch); while a run goes on, closing asks whether to stop
// the run, and Yes stops it with the window staying.
#include <gtest/gtest.h>

#include "backup/ucBack2.h"
#include "backup/ucBack4.h"
#include "catalog/ucBack3.h"
#include "platform/system.h"
#include "restore/frmPassword.h"
#include "restore/ucRestor1.h"
#include "restore/ucRestor3.h"
#include "restore_world.h"
#include "catalog/SharedObjects.h"
#include "shell/WizardParts.h"
#include "shell/modCheckOE.h"
#include "support/scripted_user.h"
#ifndef _WIN32
#include "platform/emulated/emulation.h"
#endif

using restoretest::RestoreWorld;
using testsupport::ScriptedUser;

namespace {

constexpr int kBackup[] = {0, 1, 2, 3, 4, 5, 6};
constexpr int kRestore[] = {0, 1, 8, 9, 10, 11, 12};

struct Walk {
  explicit Walk(const RestoreWorld& world) : form(wizard::MakeProgramPages(), services) {
    user.OnForm("frmPassword", [](platform::ModalForm& f) {
      auto& dialog = static_cast<frmPassword&>(f);
      dialog.txtPassword.Text("s3cret");
      dialog.cmdOK.Press();
      return 1;
    });
    archive = world.Archive();
    destination = world.Box().Path("walk.qmb");
    form.Load();
  }
  // One step forward from the current page, the way a user goes on.
  void Next(bool restore) {
    const int p = form.CurrentPage();
    if (p == 1) form.ucStep11.Method(restore ? ucStep1::kRestore : ucStep1::kBackup);
    if (p == 3)  // not the default beside the program, which outlives the test
      static_cast<ucBack2&>(form.ucBack21).ZipFileName(destination);
    if (p == 8) {
      auto& source = static_cast<ucRestor1&>(form.ucRestor11);
      source.RestoreFile(archive);
      source.Loadbackupfile();
    }
    if (p == 11) user.Answer(platform::kAnswerOk);  // the restore question
    form.cmdNext_Click();
  }
  wizard::ProgramServices services;
  ScriptedUser user;
  frmMain form;
  std::string archive, destination;
};

TEST(WizardWalk, ClosingAtEveryStepOfBothBranches) {
  RestoreWorld world;
  ASSERT_TRUE(world.ok());
  shared::ReleaseSharedObjects();  // the wizard makes its own
  for (bool restore : {false, true}) {
    const int* steps = restore ? kRestore : kBackup;
    for (int stop = 0; stop < 7; ++stop) {
      SCOPED_TRACE((restore ? "restore, page " : "backup, page ") + std::to_string(steps[stop]));
      Walk w(world);
      [[maybe_unused]] int refused = 0;
#ifndef _WIN32
      // While a run goes on, the close box is pressed and the question
      // whether to stop the run answered Yes: the run stops, the window stays.
      platform::emu::AddDoEventsHook([&] {
        if (!w.form.Running() || refused) return;
        w.user.Answer(platform::kAnswerYes);
        EXPECT_FALSE(w.form.Unload());
        EXPECT_EQ(w.user.Shown().back().text, restore ? frmMain::kStopRestoreQuestion : frmMain::kStopBackupQuestion);
        ++refused;
      });
#endif
      for (int k = 0; k < stop; ++k) {
        w.Next(restore);
        ASSERT_EQ(w.form.CurrentPage(), steps[k + 1]);
      }
      const bool finished = steps[stop] == 6 || steps[stop] == 12;
#ifndef _WIN32
      EXPECT_EQ(refused, finished ? 1 : 0);
      if (finished) {
        EXPECT_TRUE(restore ? static_cast<ucRestor3&>(w.form.ucRestor31).Stopped()
                            : static_cast<ucBack4&>(w.form.ucBack41).Stopped());
        EXPECT_EQ(w.form.cmdNext.Caption(), "&Finish");
      }
#endif
      const std::size_t before = w.user.Shown().size();
      if (!finished) {
        w.user.Answer(platform::kAnswerNo);
        EXPECT_FALSE(w.form.Unload());
        EXPECT_EQ(w.user.Shown().size(), before + 1);
        EXPECT_EQ(w.user.Shown().back().text, frmMain::kCloseQuestion);
        EXPECT_EQ(w.form.CurrentPage(), steps[stop]);
        EXPECT_TRUE(shared::HaveSharedObjects());
      }
      w.user.Answer(platform::kAnswerYes);
      EXPECT_TRUE(w.form.Unload());
      EXPECT_TRUE(w.form.Unloaded());
      EXPECT_FALSE(shared::HaveSharedObjects());
      EXPECT_TRUE(w.form.Unload());  // once only
    }
  }
}

// One page serves both branches: on the restore side it speaks of the
// restore, and of the backup again once the user has gone back.
TEST(WizardWalk, RunningClientPageSpeaksOfTheRunThatFollows) {
  RestoreWorld world;
  ASSERT_TRUE(world.ok());
  shared::ReleaseSharedObjects();
  Walk w(world);
  auto& page = static_cast<ucBack3&>(w.form.ucBack31);
  for (int k = 0; k < 4; ++k) w.Next(true);
  ASSERT_EQ(w.form.CurrentPage(), 10);
  EXPECT_NE(page.lblText.Caption().find("next step of the restore procedure."), std::string::npos);
  EXPECT_EQ(page.lblText.Caption().find("backup"), std::string::npos) << page.lblText.Caption();
  for (int k = 0; k < 3; ++k) w.form.cmdBack_Click();
  ASSERT_EQ(w.form.CurrentPage(), 1);
  for (int k = 0; k < 3; ++k) w.Next(false);
  ASSERT_EQ(w.form.CurrentPage(), 4);
  EXPECT_EQ(page.lblText.Caption(), ucBack3::kBackupText);
  w.user.Answer(platform::kAnswerYes);
  EXPECT_TRUE(w.form.Unload());
}

}  // namespace
