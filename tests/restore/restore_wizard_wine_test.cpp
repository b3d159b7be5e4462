// A whole restore through the program's own wizard in its real window, as a
// user does it: the real Open and password dialogs, the mapping page's own
// list, drop-down and boxes, the question before the run, the run and
// Finish; then the result read back with Wine's own reg.exe and the files.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>

#include "platform/files.h"
#include "resources/resource.h"
#include "restore/frmPassword.h"
#include "restore/ucRestor1.h"
#include "restore/ucRestor2.h"
#include "restore/ucRestor3.h"
#include "restore_world.h"
#include "shell/WizardParts.h"
#include "shell/WizardWindow.h"
#include "helpers/modFunction.h"
#include "support/registry_keys.h"
#include "support/sandbox.h"
#include "support/scripted_user.h"
#include "support/window_driver_win32.h"

using backuptest::kAnnaId;
using backuptest::kMainId;
using restoretest::kHomeId;
using restoretest::kNewMainId;
using restoretest::RestoreWorld;
using testsupport::Caption;
using testsupport::Click;
using testsupport::DialogDriver;
using testsupport::Listed;
using testsupport::PageItem;
using testsupport::Pump;
using testsupport::RegListing;
using testsupport::RegQueryTree;

namespace {

constexpr int kOpenNameEdit = 0x480, kOpenNameCombo = 0x47c;  // edt1, cmb13 of the Open dialog

bool AnyKeyNames(const RegListing& dump, const std::string& part) {
  for (const auto& entry : dump)
    if (entry.first.find(part) != std::string::npos) return true;
  return false;
}

// From the mapping page to the question before the run: Main Identity is
// mapped by name; Anna Berger goes onto "Home", and a tick of an item box
// ticks her entry.
void MapAnnaOntoHome(frmMain& form) {
  HWND next = ::GetDlgItem(static_cast<HWND>(form.hwnd()), IDC_MAIN_NEXT);
  HWND mapping = static_cast<HWND>(form.ucRestor21.Surface().hwnd());
  HWND list = ::GetDlgItem(mapping, IDC_RESTOR2_IDLIST), target = ::GetDlgItem(mapping, IDC_RESTOR2_TOID);
  ASSERT_EQ(ListView_GetItemCount(list), 2);
  EXPECT_TRUE(ListView_GetCheckState(list, 0));
  EXPECT_FALSE(ListView_GetCheckState(list, 1));
  EXPECT_EQ(Caption(target), "Main Identity");
  ListView_SetItemState(list, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  Pump(50);
  EXPECT_EQ(Caption(target), ucRestor2::kNoTarget);
  const LRESULT home = ::SendMessageA(target, CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>("Home"));
  ::SendMessageA(target, CB_SETCURSEL, home, 0);
  ::SendMessageA(mapping, WM_COMMAND, MAKEWPARAM(IDC_RESTOR2_TOID, CBN_SELCHANGE), reinterpret_cast<LPARAM>(target));
  for (int k = 0; k < 6; ++k) Click(::GetDlgItem(mapping, IDC_RESTOR2_ITEM0 + k));
  EXPECT_TRUE(ListView_GetCheckState(list, 1));
  EXPECT_TRUE(ListView_GetCheckState(list, 0));
  Click(next);
  ASSERT_EQ(form.CurrentPage(), 10);
  Pump(300);
  Click(next);  // neither program runs
  ASSERT_EQ(form.CurrentPage(), 11);
}

// Both ciphers: the archive made with AES-256 and with the compatible one.
class RestoreWizardCiphers : public ::testing::TestWithParam<bool> {};

TEST_P(RestoreWizardCiphers, BrowseToFinishPutsTheBackupBackOntoTheseIdentities) {
  RestoreWorld world("s3cret", GetParam());
  ASSERT_TRUE(world.ok());
  testsupport::ScriptedUser user;  // message boxes only
  user.RealWindows();

  testsupport::ProgramWizard w;
  ASSERT_TRUE(w.Show());
  frmMain& form = w.form;
  HWND main = w.main, next = w.next;

  Click(next);  // welcome -> method
  Click(PageItem(form.ucStep11, IDC_STEP1_OPT1));
  Click(next);
  ASSERT_EQ(form.CurrentPage(), 8);
  ASSERT_NE(form.ucRestor11.Surface().hwnd(), nullptr) << "the restore pages have no window";

  // Browse: the real Open dialog, then the real password prompt, where OK
  // on a blank box keeps it open.
  const std::string archive = world.Archive();
  bool keptOpen = false;
  {
    DialogDriver driver({{"Open",
                          [&](HWND dlg) {
                            for (int id : {kOpenNameEdit, kOpenNameCombo})
                              if (HWND name = ::GetDlgItem(dlg, id))
                                ::SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(archive.c_str()));
                            DialogDriver::Press(dlg, IDOK);
                          }},
                         {"Password", [&](HWND dlg) {
                            DialogDriver::Press(dlg, IDOK);
                            ::Sleep(300);
                            keptOpen = ::IsWindowVisible(dlg);
                            ::SendDlgItemMessageA(dlg, IDC_PASSWORD_TEXT, WM_SETTEXT, 0,
                                                  reinterpret_cast<LPARAM>("s3cret"));
                            DialogDriver::Press(dlg, IDOK);
                          }}});
    Click(PageItem(form.ucRestor11, IDC_RESTOR1_BROWSE));
    EXPECT_EQ(driver.Done(), 2);
  }
  user.RealWindows(false);  // a second password prompt would now be recorded, not hang the test
  EXPECT_TRUE(keptOpen);
  ASSERT_EQ(user.Shown().size(), 1u);
  EXPECT_EQ(user.Shown()[0].text, frmPassword::kEmptyMessage);
  EXPECT_EQ(::lstrcmpiA(Caption(PageItem(form.ucRestor11, IDC_RESTOR1_FILENAME)).c_str(), archive.c_str()), 0);
  EXPECT_EQ(Caption(PageItem(form.ucRestor11, IDC_RESTOR1_COMMENT)), "Before the move");
  EXPECT_EQ(Caption(PageItem(form.ucRestor11, IDC_RESTOR1_ENCRYPTION)),
            GetParam() ? ucRestor1::kCompatibleMessage : ucRestor1::kStrongMessage);
  const std::string work = form.ucRestor11.RestoreFolder();
  auto workThere = [w = work]() mutable { return modFunction::IsFolder(w); };
  ASSERT_TRUE(workThere());
  Click(next);
  ASSERT_EQ(form.CurrentPage(), 9);

  MapAnnaOntoHome(form);

  // The question before anything is replaced: Cancel stays, OK runs.
  user.Answer(platform::kAnswerCancel).Answer(platform::kAnswerOk);
  Click(next);
  ASSERT_EQ(user.Shown().size(), 2u);
  EXPECT_EQ(user.Shown()[1].text, frmMain::kRestoreQuestion);
  EXPECT_EQ(user.Shown()[1].style, platform::kOkCancel | platform::kDefaultButton2 | platform::kQuestion);
  EXPECT_EQ(form.CurrentPage(), 11);
  EXPECT_EQ(RestoreWorld::Files(RestoreWorld::StoreFolder(kNewMainId))["Inbox.dbx"], restoretest::kOldInbox);
  Click(next);
  Pump(200);
  ASSERT_EQ(form.CurrentPage(), 12);
  EXPECT_EQ(user.Shown().size(), 3u) << user.Shown().back().text;
  EXPECT_EQ(user.Forms().size(), 1u);  // the password was asked once
  EXPECT_EQ(Caption(next), "&Finish");
  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(main, IDC_MAIN_CANCEL)));
  EXPECT_EQ(Caption(PageItem(form.ucRestor31, IDC_RESTOR3_FINISHSTATE)), ucRestor3::kSuccessText);
  // No mail client under Wine: nothing offered to run, Finish starts none.
  EXPECT_FALSE(::IsWindowVisible(PageItem(form.ucRestor31, IDC_RESTOR3_SHELL)));
  Click(next);  // Finish
  wizard::RunWizardLoop(form);
  EXPECT_TRUE(form.Unloaded());

  // The registry as reg.exe sees it: the kinds of value as the system
  // stores them, nothing under the saved Ids, the shared keys once (what
  // each value holds is the native restore test's).
  const RegListing ids = RegQueryTree("Identities");
  const std::string toMain = std::string("Identities\\") + kNewMainId + "\\Software\\Microsoft\\";
  const std::string accounts = "Internet Account Manager\\Accounts\\";
  EXPECT_EQ(Listed(ids, toMain + accounts + "00000009", "Account Name"), "REG_SZ Own account");
  EXPECT_EQ(Listed(ids, toMain + accounts + "00000001", "POP3 Port"), "REG_DWORD 0x6e");
  EXPECT_EQ(Listed(ids, std::string("Identities\\") + kHomeId + "\\Software\\Microsoft\\" + accounts + "00000001",
                   "IMAP Server"), "REG_SZ imap.example.com");
  EXPECT_FALSE(AnyKeyNames(ids, kMainId));
  EXPECT_FALSE(AnyKeyNames(ids, kAnnaId));
  EXPECT_EQ(Listed(ids, toMain + "Outlook Express\\5.0", "Store Root"),
            std::string("REG_EXPAND_SZ %UserProfile%\\Local Settings\\Application Data\\Identities\\") +
                kNewMainId + "\\Microsoft\\Outlook Express\\");
  const std::string caches = "Software\\Microsoft\\MessengerService\\";
  EXPECT_EQ(Listed(RegQueryTree("Software\\Microsoft\\MessengerService"),
                   caches + "ListCache\\.NET Messenger Service", "IdentityCount"), "REG_DWORD 0x2");

  // The stores byte for byte, the old files gone and the user's own kept;
  // the address book replaced; the work folder gone.
  std::map<std::string, std::string> expected = RestoreWorld::Files(world.Demo().StoreFolder(kMainId));
  expected["notes.txt"] = restoretest::kNotes;
  EXPECT_EQ(RestoreWorld::Files(RestoreWorld::StoreFolder(kNewMainId)), expected);
  EXPECT_EQ(RestoreWorld::Files(RestoreWorld::StoreFolder(kHomeId)),
            RestoreWorld::Files(world.Demo().StoreFolder(kAnnaId)));
  EXPECT_EQ(testsupport::FileBytes(world.AddressBook()), testsupport::FileBytes(world.Demo().AddressBook()));
  EXPECT_FALSE(workThere());
}

INSTANTIATE_TEST_SUITE_P(Ciphers, RestoreWizardCiphers, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Compatible" : "Strong"; });

// Guards against a restore that cannot be stopped in the real window, or
// whose stop leaves an identity half restored: Cancel and the close box,
// pressed while an identity is extracted or while its store is copied in,
// ask whether to stop; Yes leaves the identity being restored as it was
// (its store byte for byte), keeps those restored before, removes the work
// folder, and the last page names both; Finish then closes the wizard.
TEST(RestoreWizard, CancelOrTheCloseBoxStopsTheRunAndLeavesTheIdentityAsItWas) {
  RestoreWorld world("s3cret", false, {32 << 20});
  ASSERT_TRUE(world.ok());
  struct Case {
    const char* what;
    const char* identity;
    int step;
    double from;  // of the bar
    bool closeBox;
  };
  const Case cases[] = {{"Cancel while Main Identity is extracted", "Main Identity", 0, 0.02, false},
                        {"the close box while its store is copied", "Main Identity", 1, 0.3, true},
                        {"Cancel while the store of Home is copied", "Home", 1, 0.0, false}};
  const std::map<std::string, std::string> oldMain = RestoreWorld::Files(RestoreWorld::StoreFolder(kNewMainId));
  std::map<std::string, std::string> newMain = RestoreWorld::Files(world.Demo().StoreFolder(kMainId));
  newMain["notes.txt"] = restoretest::kNotes;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(world.Reseed());
    testsupport::ScriptedUser user;
    user.OnForm("frmPassword", [](platform::ModalForm& f) {
      auto& dialog = static_cast<frmPassword&>(f);
      dialog.txtPassword.Text("s3cret");
      dialog.cmdOK.Press();
      return 1;
    });
    testsupport::ProgramWizard w;
    ASSERT_TRUE(w.Show());
    frmMain& form = w.form;
    HWND main = w.main, next = w.next, cancel = w.cancel;
    Click(next);
    Click(PageItem(form.ucStep11, IDC_STEP1_OPT1));
    Click(next);
    ASSERT_EQ(form.CurrentPage(), 8);
    auto& source = static_cast<ucRestor1&>(form.ucRestor11);
    source.RestoreFile(world.Archive());
    source.Loadbackupfile();
    const std::string work = source.RestoreFolder();
    Click(next);
    ASSERT_EQ(form.CurrentPage(), 9);
    MapAnnaOntoHome(form);
    ASSERT_EQ(form.CurrentPage(), 11);
    auto& page = static_cast<ucRestor3&>(form.ucRestor31);
    user.Answer(platform::kAnswerOk).Answer(platform::kAnswerYes);  // the run; then stop it
    double pressedAt = -1;
    testsupport::WhileRunning look([&] {
      const double bar = page.ProgressBar1.value() / page.ProgressBar1.Max();
      if (!form.Running() || page.lblID.Caption() != c.identity || page.CurrentStep() != c.step ||
          bar < c.from)
        return false;
      pressedAt = bar;
      if (c.closeBox) testsupport::PressCloseBox(main);
      else ::PostMessageA(cancel, BM_CLICK, 0, 0);
      return true;
    });
    Click(next);  // the question, then the run
    EXPECT_GT(pressedAt, 0);
    ASSERT_EQ(user.Shown().size(), 2u) << user.Shown().back().text;
    EXPECT_EQ(user.Shown()[1].text, frmMain::kStopRestoreQuestion);
    EXPECT_EQ(user.Shown()[1].style, platform::kYesNo | platform::kDefaultButton2 | platform::kQuestion);
    const bool mainRestored = std::string(c.identity) == "Home";
    EXPECT_EQ(RestoreWorld::Files(RestoreWorld::StoreFolder(kNewMainId)), mainRestored ? newMain : oldMain);
    EXPECT_TRUE(RestoreWorld::Files(RestoreWorld::StoreFolder(kHomeId)).empty());
    std::string left = work;
    EXPECT_FALSE(modFunction::IsFolder(left));
    EXPECT_EQ(Caption(PageItem(form.ucRestor31, IDC_RESTOR3_TITLE)), ucRestor3::kStoppedTitle);
    EXPECT_EQ(Caption(PageItem(form.ucRestor31, IDC_RESTOR3_FINISHSTATE)),
              std::string(ucRestor3::kStoppedText) + "\r\n\r\n" +
                  (mainRestored ? ucRestor3::kRestoredBeforeStop + std::string("Main Identity.")
                                : std::string(ucRestor3::kNothingRestored)) +
                  "\r\nThe identity " + c.identity + ucRestor3::kLeftAsItWas);
    EXPECT_FALSE(::IsWindowVisible(PageItem(form.ucRestor31, IDC_RESTOR3_SHELL)));
    ASSERT_EQ(Caption(next), "&Finish");
    Click(next);
    wizard::RunWizardLoop(form);
    EXPECT_TRUE(form.Unloaded());
  }
}

}  // namespace

