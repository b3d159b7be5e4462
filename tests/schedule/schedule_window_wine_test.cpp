// The schedule dialog in its real window, opened from the wizard's method
// page as a user does: the check box with the real Open dialog, keys typed
// into the real interval box and its scroll bar; then the Run value as the
// system's own reg.exe lists it, and removed again by Save when off.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "resources/resource.h"
#include "schedule/frmConfig.h"
#include "shell/WizardParts.h"
#include "shell/WizardWindow.h"
#include "support/registry_keys.h"
#include "support/sandbox.h"
#include "support/scripted_user.h"
#include "support/window_driver_win32.h"

using testsupport::Caption;
using testsupport::Click;
using testsupport::PageItem;
using testsupport::Pump;

namespace {

constexpr char kTitle[] = "Auto-Backup";

// The dialog's controls as the user sees them.
struct Seen {
  bool ticked = false, enabled = false, overwrite = false, keep = false;
  std::string script, interval, lastRun;
};

Seen Look(HWND dlg) {
  Seen s;
  s.ticked = ::IsDlgButtonChecked(dlg, IDC_CONFIG_ENABLE) == BST_CHECKED;
  s.enabled = ::IsWindowEnabled(::GetDlgItem(dlg, IDC_CONFIG_SCRIPT)) &&
              ::IsWindowEnabled(::GetDlgItem(dlg, IDC_CONFIG_INTERVAL)) &&
              ::IsWindowEnabled(::GetDlgItem(dlg, IDC_CONFIG_SCROLL)) &&
              ::IsWindowEnabled(::GetDlgItem(dlg, IDC_CONFIG_OVERWRITE0));
  s.overwrite = ::IsDlgButtonChecked(dlg, IDC_CONFIG_OVERWRITE0) == BST_CHECKED;
  s.keep = ::IsDlgButtonChecked(dlg, IDC_CONFIG_OVERWRITE1) == BST_CHECKED;
  s.script = Caption(::GetDlgItem(dlg, IDC_CONFIG_SCRIPT));
  s.interval = Caption(::GetDlgItem(dlg, IDC_CONFIG_INTERVAL));
  s.lastRun = Caption(::GetDlgItem(dlg, IDC_CONFIG_LASTRUN));
  return s;
}

using testsupport::DialogDriver;
const auto PostClick = DialogDriver::PostClick;
const auto Answer = DialogDriver::AnswerOpen;

void Keys(HWND edit, const std::string& keys) {
  for (char c : keys) ::PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 0);
}

// The user's own Run value is put back afterwards.
struct KeptRunValue {
  platform::RegValue kept = testsupport::RawValue(frmConfig::kRunKey, frmConfig::kValueName);
  KeptRunValue() { Remove(); }
  ~KeptRunValue() {
    Remove();
    if (kept.type != platform::kRegTypeNone)
      testsupport::PutRawValue(frmConfig::kRunKey, frmConfig::kValueName, kept.type, kept.data);
  }
  static void Remove() {
    platform::RegKey key;
    if (platform::OpenRegKey(platform::kRegCurrentUser, frmConfig::kRunKey, platform::kRegKeyWrite, key) == 0)
      (void)platform::DeleteRegValue(key, frmConfig::kValueName);
  }
};

std::string Listed() {
  const testsupport::RegListing run = testsupport::RegQueryTree(frmConfig::kRunKey);
  return testsupport::Listed(run, frmConfig::kRunKey, frmConfig::kValueName);
}

// reg.exe writes into a pipe in the OEM code page.
std::string Oem(const std::string& ansi) {
  std::string oem(ansi.size(), '\0');
  ::CharToOemBuffA(ansi.c_str(), &oem[0], static_cast<DWORD>(ansi.size()));
  return oem;
}

TEST(ScheduleWindow, SavedFromTheRealDialogAndRemoved) {
  testsupport::Sandbox box;
  // A script path with letters of the ANSI code page: "Sauvegarde été\Müller.oes".
  const std::string folder = "Sauvegarde \xE9t\xE9", script = box.Path(folder + "\\M\xFCller.oes");
  box.MakeFolder(folder);
  box.WriteFile(folder + "\\M\xFCller.oes", "script");
  const std::string lastRun = "2024-05-04 08:14:40 | D:\\a.qmb | not run | not due yet";
  box.WriteFile(folder + "\\M\xFCller.log", "2024-05-03 08:15:02 | D:\\a.qmb | backed up\r\n" + lastRun + "\r\n");
  KeptRunValue keptValue;
  testsupport::ScriptedUser user;  // message boxes only
  user.RealWindows();
  testsupport::ProgramWizard w;
  ASSERT_TRUE(w.Show());
  frmMain& form = w.form;
  HWND next = w.next;
  Click(next);
  Click(PageItem(form.ucStep11, IDC_STEP1_OPT2));

  // On: a cancelled Open dialog unticks the box, the second tick takes the
  // script and shows its last run; typed letters are dropped, Up and the
  // scroll bar's upper arrow each add a day, Down takes one away.
  Seen cancelled, filled;
  {
    DialogDriver driver(
        {{kTitle, [&](HWND dlg) { PostClick(dlg, IDC_CONFIG_ENABLE); }},
         Answer(""),
         {kTitle,
          [&](HWND dlg) {
            cancelled = Look(dlg);
            PostClick(dlg, IDC_CONFIG_ENABLE);
          }},
         Answer(script),
         {kTitle, [&](HWND dlg) {
            HWND interval = ::GetDlgItem(dlg, IDC_CONFIG_INTERVAL);
            ::PostMessageA(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(interval), TRUE);
            ::PostMessageA(interval, EM_SETSEL, 0, -1);
            Keys(interval, "x2a1");
            for (WPARAM key : {VK_UP, VK_UP, VK_DOWN}) ::PostMessageA(interval, WM_KEYDOWN, key, 0);
            ::PostMessageA(dlg, WM_VSCROLL, SB_LINEUP, reinterpret_cast<LPARAM>(::GetDlgItem(dlg, IDC_CONFIG_SCROLL)));
            PostClick(dlg, IDC_CONFIG_OVERWRITE0);
            ::Sleep(300);
            filled = Look(dlg);
            DialogDriver::Press(dlg, IDOK);
          }}});
    Click(next);
    EXPECT_EQ(driver.Done(), 5);
  }
  EXPECT_FALSE(cancelled.ticked || cancelled.enabled);
  EXPECT_EQ(cancelled.lastRun, "");
  EXPECT_TRUE(filled.ticked && filled.enabled && filled.overwrite && !filled.keep);
  EXPECT_EQ(filled.script + "|" + filled.interval + "|" + filled.lastRun, script + "|23|Last run: " + lastRun);
  // The program by its long path, in quotes; a blank before "/O".
  const std::string expected = "\"" + frmConfig::ProgramLongPath() + "\" /I 23 /S \"" + script + "\" /O";
  EXPECT_EQ(Listed(), "REG_SZ " + Oem(expected));
  EXPECT_EQ(testsupport::RawValue(frmConfig::kRunKey, frmConfig::kValueName).data, expected + '\0');

  // Off: Save removes the value.
  Seen reread;
  {
    DialogDriver driver({{kTitle, [&](HWND dlg) {
                            reread = Look(dlg);
                            PostClick(dlg, IDC_CONFIG_ENABLE);
                            ::Sleep(200);
                            DialogDriver::Press(dlg, IDOK);
                          }}});
    Click(next);
    EXPECT_EQ(driver.Done(), 1);
  }
  EXPECT_TRUE(reread.ticked && reread.overwrite);
  EXPECT_EQ(reread.interval, "23");
  EXPECT_EQ(testsupport::RawValue(frmConfig::kRunKey, frmConfig::kValueName).type, platform::kRegTypeNone);
  EXPECT_EQ(Listed().rfind("REG_", 0), std::string::npos) << Listed();
  EXPECT_EQ(user.FileDialogs().size(), 2u);
  EXPECT_TRUE(user.Shown().empty());

  form.bNotAskExit(true);
  ::PostMessageA(static_cast<HWND>(form.hwnd()), WM_CLOSE, 0, 0);
  wizard::RunWizardLoop(form);
}

}  // namespace
