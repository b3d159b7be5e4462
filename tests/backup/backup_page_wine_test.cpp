// The backup run page in the wizard's real window: driven with the frame's
// Next from the method page to the end of a backup of the demo profile, then
// its controls read back from their windows.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/pump_win32.h"

#include <cstdlib>

#include "backup/ucBack4.h"
#include "catalog/cProcessItem.h"
#include "demo_profile.h"
#include "platform/files.h"
#include "resources/resource.h"
#include "shell/WizardWindow.h"
#include "shell/modCheckOE.h"
#include "shell/test_pages.h"
#include "support/scripted_user.h"
#include "support/window_driver_win32.h"

namespace {

using testsupport::Pump;

TEST(BackupRunWindow, RunsThroughTheWizardAndShowsTheOutcome) {
  backuptest::DemoProfile demo;
  ASSERT_TRUE(demo.ok());
  ASSERT_TRUE(modCheckOE::ExtractZipLibraries());
  testsupport::ScriptedUser user;
  cProcessItem items;
  OneBasedList<bool> selected;
  for (std::int32_t k = 1; k <= items.IdentitiesID().Count(); ++k) {
    selected.Add(items.IdentitiesID().At(k) != backuptest::kWorkId);
    items.Detail().At(k) = "1,1,1,1,1,1";
  }
  items.SelectIdentity(selected);

  testpages::Log log;
  testpages::Services services{log};
  wizard::PageSet pages;
  pages.step0 = std::make_unique<ucStep0>();
  pages.step1 = std::make_unique<ucStep1>();
  auto selection = std::make_unique<testpages::Selection>(log, "back1");
  selection->total = 2;
  auto destination = std::make_unique<testpages::Destination>(log, "back2");
  destination->zip = demo.Box().Path("demo.qmb");
  destination->password = "s3cret";
  destination->comment = "Weekly backup";
  auto run = std::make_unique<ucBack4>();
  run->Catalogue(&items);
  ucBack4& page = *run;
  pages.back1 = std::move(selection);
  pages.back2 = std::move(destination);
  pages.back3 = std::make_unique<testpages::Running>(log, "back3");
  pages.back4 = std::move(run);
  pages.restor1 = std::make_unique<testpages::RestoreSource>(log, "restor1");
  pages.restor2 = std::make_unique<testpages::Mapping>(log, "restor2");
  pages.restor3 = std::make_unique<testpages::RestoreRun>(log, "restor3");
  frmMain form(std::move(pages), services);
  ASSERT_NE(wizard::CreateWizardWindow(form), nullptr);
  wizard::ShowWizardWindow(form);
  Pump(200);

  HWND dlg = static_cast<HWND>(page.Surface().hwnd());
  ASSERT_NE(dlg, nullptr);
  for (int i = 0; i < 5; ++i) {  // welcome, method, selection, destination, running clients
    form.cmdNext_Click();
    Pump(50);
  }
  EXPECT_EQ(form.CurrentPage(), 5);
  EXPECT_EQ(testsupport::Caption(::GetDlgItem(dlg, IDC_BACK4_STATE)), "Ready to Back up");
  EXPECT_NE(::SendDlgItemMessageA(dlg, IDC_BACK4_MARK0, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
  if (const char* shot = std::getenv("QM_HOLD_READY_MS")) Pump(std::atoi(shot));

  form.cmdNext_Click();  // runs the backup
  Pump(100);
  EXPECT_TRUE(page.Succeeded());
  EXPECT_TRUE(user.Shown().empty());
  EXPECT_EQ(form.cmdNext.Caption(), "&Finish");
  EXPECT_EQ(form.cmdCancel.Caption(), "&Save Script");
  EXPECT_EQ(testsupport::Caption(::GetDlgItem(dlg, IDC_BACK4_TITLE)), "Backup Completed");
  EXPECT_EQ(testsupport::Caption(::GetDlgItem(dlg, IDC_BACK4_FILE)), demo.Box().Path("demo.qmb"));
  EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(dlg, IDC_BACK4_RESULT)));
  EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dlg, IDC_BACK4_PROGRESS)));
  EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dlg, IDC_BACK4_STEP0)));
  // The title is bold, the notice is not.
  LOGFONTA title{}, notice{};
  ::GetObjectA(reinterpret_cast<HFONT>(::SendDlgItemMessageA(dlg, IDC_BACK4_TITLE, WM_GETFONT, 0, 0)), sizeof title, &title);
  ::GetObjectA(reinterpret_cast<HFONT>(::SendDlgItemMessageA(dlg, IDC_BACK4_NOTICE, WM_GETFONT, 0, 0)), sizeof notice, &notice);
  EXPECT_EQ(title.lfWeight, FW_BOLD);
  EXPECT_LT(notice.lfWeight, FW_BOLD);
  std::uint64_t size = 0;
  EXPECT_TRUE(platform::GetFileSize(demo.Box().Path("demo.qmb"), size));
  EXPECT_GT(size, 1000u);
  if (const char* shot = std::getenv("QM_HOLD_DONE_MS")) Pump(std::atoi(shot));

  form.bNotAskExit(true);
  ::PostMessageA(static_cast<HWND>(form.hwnd()), WM_CLOSE, 0, 0);
  wizard::RunWizardLoop(form);
}

}  // namespace
