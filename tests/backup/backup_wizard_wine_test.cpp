// A whole backup through the program's own wizard in its real window, as a
// user does it: real pages, real buttons and boxes, from the welcome page to
// Finish, then "Save Script"; the archive is left for archive_check.py.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "support/pump_win32.h"

#include <cstdlib>

#include "archive/cUnzip.h"
#include "demo_profile.h"
#include "platform/files.h"
#include "resources/resource.h"
#include "schedule/ScriptCFG.h"
#include "shell/WizardParts.h"
#include "shell/WizardWindow.h"
#include "shell/modCheckOE.h"
#include "support/scripted_user.h"

namespace {

using testsupport::Pump;

HWND PageItem(wizard::Page& page, int id) {
  return ::GetDlgItem(static_cast<HWND>(page.Surface().hwnd()), id);
}

void Click(HWND button) {
  ASSERT_NE(button, nullptr);
  ::SendMessageA(button, BM_CLICK, 0, 0);
  Pump(50);
}

void Type(HWND edit, const std::string& text) {
  ASSERT_NE(edit, nullptr);
  ::SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  // What a keystroke would tell the page.
  ::SendMessageA(::GetParent(edit), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(edit), EN_CHANGE),
                 reinterpret_cast<LPARAM>(edit));
  Pump(20);
}

std::string Caption(HWND h) {
  char buf[256] = {};
  ::GetWindowTextA(h, buf, sizeof buf);
  return buf;
}

std::string KeepFolder() {
  const char* host = std::getenv("QM_BACKUP_KEEP");
  if (!host || !*host) return "";
  std::string path = "Z:" + std::string(host) + "/";
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

TEST(BackupWizard, WelcomeToFinishThenSaveScript) {
  backuptest::DemoProfile demo;
  ASSERT_TRUE(demo.ok());
  ASSERT_TRUE(modCheckOE::ExtractZipLibraries());
  testsupport::ScriptedUser user;
  const std::string archive = demo.Box().Path("out\\wizard.qmb");
  const std::string script = demo.Box().Path("weekly.oes");

  wizard::ProgramServices services;
  frmMain form(wizard::MakeProgramPages(), services);
  ASSERT_NE(wizard::CreateWizardWindow(form), nullptr);
  wizard::ShowWizardWindow(form);
  Pump(200);
  HWND main = static_cast<HWND>(form.hwnd());
  HWND next = ::GetDlgItem(main, IDC_MAIN_NEXT), cancel = ::GetDlgItem(main, IDC_MAIN_CANCEL);

  Click(next);  // welcome -> method
  Click(next);  // backup is the default method
  ASSERT_EQ(form.CurrentPage(), 2);

  // "Work" has never been opened in the mail client: Next names it and stays.
  Click(next);
  ASSERT_FALSE(user.Shown().empty());
  EXPECT_EQ(user.Shown().back().text,
            "Cannot find any data for the identity Work.  \r\n"
            "Open Outlook Express and switch to this identity, then try it again!");
  EXPECT_EQ(form.CurrentPage(), 2);
  HWND identities = PageItem(form.ucBack11, IDC_BACK1_IDLIST);
  ASSERT_EQ(::SendMessageA(identities, LVM_GETITEMCOUNT, 0, 0), 3);
  ListView_SetCheckState(identities, 2, FALSE);
  Pump(50);
  Click(next);
  ASSERT_EQ(form.CurrentPage(), 3);

  Type(PageItem(form.ucBack21, IDC_BACK2_FILENAME), archive);
  Click(PageItem(form.ucBack21, IDC_BACK2_PROTECT));
  EXPECT_TRUE(::IsWindowEnabled(PageItem(form.ucBack21, IDC_BACK2_PASSWORD)));
  Type(PageItem(form.ucBack21, IDC_BACK2_PASSWORD), "s3cret");
  Type(PageItem(form.ucBack21, IDC_BACK2_CONFIRM), "s3cret");
  Type(PageItem(form.ucBack21, IDC_BACK2_COMMENT), "Weekly backup");
  Click(next);  // the folder "out" is made on the way
  ASSERT_EQ(form.CurrentPage(), 4);
  Pump(300);
  Click(next);  // neither program runs
  ASSERT_EQ(form.CurrentPage(), 5);
  Click(next);  // the run
  Pump(200);
  ASSERT_EQ(form.CurrentPage(), 6);
  EXPECT_EQ(Caption(next), "Finish");
  EXPECT_EQ(Caption(cancel), "Save Script");
  EXPECT_EQ(Caption(PageItem(form.ucBack41, IDC_BACK4_TITLE)), "Backup Completed");

  std::size_t boxesBefore = user.Shown().size();
  user.AnswerFile(testsupport::FileAnswer::Confirm(script));
  Click(cancel);  // "Save Script"
  ASSERT_EQ(user.Shown().size(), boxesBefore + 1);
  EXPECT_EQ(user.Shown().back().text, "Save script file successfully!    ");
  Pump(100);
  wizard::RunWizardLoop(form);  // the window has closed itself
  EXPECT_TRUE(form.Unloaded());

  ScriptCFG saved;
  ASSERT_TRUE(saved.ReadScriptFile(script));
  EXPECT_EQ(saved.BackupFile(), archive);
  EXPECT_EQ(saved.Password(), "s3cret");
  EXPECT_EQ(saved.Identities(), (TextList{"Main Identity", "Anna Berger"}));
  EXPECT_EQ(saved.IDdetails(), (TextList{"1,1,1,1,1,1", "1,1,1,1,1,1"}));

  cUnzip unzip;
  unzip.ZipFile(archive);
  unzip.PasswordRequest = [](std::string& p, bool&) { p = "s3cret"; };
  unzip.Directory();
  EXPECT_EQ(unzip.Comment(), "Weekly backup");
  EXPECT_GT(unzip.FileCount(), 20);

  const std::string keep = KeepFolder();
  if (!keep.empty()) EXPECT_TRUE(platform::CopyOneFile(archive, keep + "wizard.qmb", false));
}

}  // namespace
