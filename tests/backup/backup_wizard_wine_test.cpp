// A whole backup through the program's own wizard in its real window, as a
// user does it: real pages, real buttons and boxes, from the welcome page to
// Finish, then "&Save Script"; the archive is left for archive_check.py. The
// running-client page with a stand-in mail client that starts and ends. What
// the pages decide is tested natively; here what only the real windows show.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "backup/ucBack4.h"
#include "catalog/running_as_win32.h"
#include "catalog/ucBack3.h"
#include "demo_profile.h"
#include "platform/files.h"
#include "platform/system.h"
#include "resources/resource.h"
#include "schedule/ScriptCFG.h"
#include "shell/WizardParts.h"
#include "shell/WizardWindow.h"
#include "shell/modCheckOE.h"
#include "support/file_lock.h"
#include "support/sandbox.h"
#include "support/scripted_user.h"
#include "support/window_driver_win32.h"

namespace {

using testsupport::Caption;
using testsupport::Click;
using testsupport::PageItem;
using testsupport::Pump;
using testsupport::Type;

// The program's wizard in its real window on the demo profile.
struct Wizard : testsupport::ProgramWizard {
  backuptest::DemoProfile demo;
  testsupport::ScriptedUser user;

  Wizard() {
    if (demo.ok() && modCheckOE::ExtractZipLibraries()) Show();
  }
  HWND Item(wizard::Page& page, int id) { return PageItem(page, id); }

  // From the welcome page through the run of a backup of Main Identity and
  // Anna Berger into `archive`.
  void BackUp(const std::string& archive, const std::string& password, const std::string& comment) {
    ToReady(archive, password, comment);
    Click(next);  // the run
    Pump(200);
    ASSERT_EQ(form.CurrentPage(), 6);
  }
  // The same up to the page that starts the run.
  void ToReady(const std::string& archive, const std::string& password, const std::string& comment) {
    ASSERT_NE(main, nullptr);
    Click(next);  // welcome -> method
    Click(next);  // backup is the default method
    ASSERT_EQ(form.CurrentPage(), 2);

    // "Work" has never been opened in the mail client: it starts unticked,
    // so Next on the defaults goes on.
    HWND identities = Item(form.ucBack11, IDC_BACK1_IDLIST);
    ASSERT_EQ(::SendMessageA(identities, LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_FALSE(ListView_GetCheckState(identities, 2));
    Click(next);
    ASSERT_EQ(form.CurrentPage(), 3);

    Type(Item(form.ucBack21, IDC_BACK2_FILENAME), archive);
    Type(Item(form.ucBack21, IDC_BACK2_COMMENT), comment);
    if (!password.empty()) {
      Click(Item(form.ucBack21, IDC_BACK2_PROTECT));
      Type(Item(form.ucBack21, IDC_BACK2_PASSWORD), password);
      Type(Item(form.ucBack21, IDC_BACK2_CONFIRM), password);
    }
    Click(next);  // a missing destination folder is made on the way
    ASSERT_EQ(form.CurrentPage(), 4);
    Pump(300);
    Click(next);  // neither program runs
    ASSERT_EQ(form.CurrentPage(), 5);
    EXPECT_EQ(Result(IDC_BACK4_STATE), "Ready to Back up");
    EXPECT_NE(::SendMessageA(Item(form.ucBack41, IDC_BACK4_MARK0), STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
  }
  ucBack4& RunPage() { return static_cast<ucBack4&>(form.ucBack41); }
  std::string Result(int id) { return Caption(Item(form.ucBack41, id)); }
  bool Shows(int id) { return ::IsWindowVisible(Item(form.ucBack41, id)) && !Result(id).empty(); }
  // Leaves the wizard with Cancel (answered Yes) or, at the end, Finish.
  void Close(bool finish = false) {
    if (!finish) user.Answer(platform::kAnswerYes);
    Click(finish ? next : cancel);
    wizard::RunWizardLoop(form);
    EXPECT_TRUE(form.Unloaded());
  }
};

TEST(BackupWizard, WelcomeToFinishThenSaveScript) {
  Wizard w;
  auto& demo = w.demo;
  auto& user = w.user;
  auto& form = w.form;
  HWND next = w.next, cancel = w.cancel;
  const std::string archive = demo.Box().Path("out\\wizard.qmb");
  const std::string script = demo.Box().Path("weekly.oes");
  w.BackUp(archive, "s3cret", "Weekly backup");
  EXPECT_EQ(Caption(next), "&Finish");
  EXPECT_EQ(Caption(cancel), "&Save Script");
  EXPECT_EQ(w.Result(IDC_BACK4_TITLE), "Backup Completed");
  EXPECT_EQ(w.Result(IDC_BACK4_FILE), archive);
  EXPECT_TRUE(::IsWindowVisible(w.Item(form.ucBack41, IDC_BACK4_RESULT)));
  EXPECT_FALSE(::IsWindowVisible(w.Item(form.ucBack41, IDC_BACK4_PROGRESS)));
  EXPECT_FALSE(::IsWindowVisible(w.Item(form.ucBack41, IDC_BACK4_STEP0)));
  auto weight = [&w](int id) {  // the title is bold, the notice is not
    LOGFONTA font{};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(w.Item(w.form.ucBack41, id), WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfWeight;
  };
  EXPECT_EQ(weight(IDC_BACK4_TITLE), FW_BOLD);
  EXPECT_LT(weight(IDC_BACK4_NOTICE), FW_BOLD);

  std::size_t boxesBefore = user.Shown().size();
  user.AnswerFile(testsupport::FileAnswer::Confirm(script));
  Click(cancel);  // "&Save Script"
  ASSERT_EQ(user.Shown().size(), boxesBefore + 1);
  EXPECT_EQ(user.Shown().back().text, "Save script file successfully!    ");
  // The dialog starts in the archive's folder with a name made from its name.
  ASSERT_FALSE(user.FileDialogs().empty());
  EXPECT_EQ(user.FileDialogs().back().initDir, demo.Box().Path("out\\"));
  EXPECT_EQ(user.FileDialogs().back().file.substr(0, 11), std::string("wizard.oes\0", 11));
  Pump(100);
  wizard::RunWizardLoop(form);  // the window has closed itself
  EXPECT_TRUE(form.Unloaded());

  ScriptCFG saved;
  ASSERT_TRUE(saved.ReadScriptFile(script));
  EXPECT_EQ(saved.BackupFile(), archive);
  EXPECT_EQ(saved.Password(), "s3cret");
  EXPECT_EQ(saved.Identities(), (TextList{"Main Identity", "Anna Berger"}));
  EXPECT_EQ(saved.IDdetails(), (TextList{"1,1,1,1,1,1", "1,1,1,1,1,1"}));

  // The archive's entries, comment and cipher: archive_check.py.
  if (const char* host = std::getenv("QM_BACKUP_KEEP"); host && *host) {
    std::string keep = "Z:" + std::string(host) + "/wizard.qmb";
    std::replace(keep.begin(), keep.end(), '/', '\\');
    EXPECT_TRUE(platform::CopyOneFile(archive, keep, false));
  }
}

// A run that fails shows no archive and no advice to copy it, but what failed.
TEST(BackupWizard, FailedRunSaysWhatFailedAndNamesNoArchive) {
  Wizard w;
  const std::string locked = w.demo.StoreFolder(backuptest::kMainId) + "Inbox.dbx";
  testsupport::FileLock lock(locked);
  ASSERT_TRUE(lock.ok());
  const std::string archive = w.demo.Box().Path("wizard.qmb");
  w.BackUp(archive, "s3cret", "");
  EXPECT_EQ(w.Result(IDC_BACK4_TITLE), "Backup Fail");
  EXPECT_FALSE(w.Shows(IDC_BACK4_FILE)) << w.Result(IDC_BACK4_FILE);
  EXPECT_EQ(w.Result(IDC_BACK4_ADVICE).find("We recommend"), std::string::npos);
  EXPECT_NE(w.Result(IDC_BACK4_ADVICE).find("could not be read"), std::string::npos) << w.Result(IDC_BACK4_ADVICE);
  EXPECT_NE(w.Result(IDC_BACK4_ADVICE).find("Inbox.dbx"), std::string::npos);
  EXPECT_FALSE(w.Shows(IDC_BACK4_VERIFIED));
  EXPECT_EQ(platform::GetAttributes(archive), platform::kInvalidAttributes);
  w.Close(true);
}

// One click, one step: the second click of a double click, or a click that
// comes while the next page's first check still runs, does not act on the
// page that the first click led to.
TEST(BackupWizard, DoubleClicksTakeOneStep) {
  Wizard w;
  ASSERT_NE(w.main, nullptr);
  auto twice = [&w] {
    ::PostMessageA(w.next, BM_CLICK, 0, 0);
    ::PostMessageA(w.next, BM_CLICK, 0, 0);
    Pump(2000);  // the running-clients check takes about a second
  };
  Click(w.next);  // welcome -> method
  // A double click of the mouse on Next.
  for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
    ::PostMessageA(w.next, m, m == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(5, 5));
  Pump(500);
  EXPECT_EQ(w.form.CurrentPage(), 2);
  EXPECT_TRUE(w.user.Shown().empty()) << w.user.Shown().back().text;
  ListView_SetCheckState(w.Item(w.form.ucBack11, IDC_BACK1_IDLIST), 2, FALSE);
  Click(w.next);
  ASSERT_EQ(w.form.CurrentPage(), 3);
  Type(w.Item(w.form.ucBack21, IDC_BACK2_FILENAME), w.demo.Box().Path("twice.qmb"));
  twice();  // destination -> running clients, not past them
  EXPECT_EQ(w.form.CurrentPage(), 4);
  EXPECT_TRUE(w.user.Shown().empty()) << w.user.Shown().back().text;
  twice();  // running clients -> ready, the backup not started
  EXPECT_EQ(w.form.CurrentPage(), 5);
  EXPECT_TRUE(w.user.Shown().empty()) << w.user.Shown().back().text;
  w.Close();
}

// While a program of the mail client's name runs, Next stays on the
// running-client page and says why, and a click does not tick its box; once
// it has ended, the page shows so by itself and Next goes on.
TEST(BackupWizard, RunningClientPageGoesOnOnceTheClientHasClosed) {
  Wizard w;
  ASSERT_NE(w.main, nullptr);
  auto client = std::make_unique<testsupport::RunningAs>(w.demo.Box(), "msimn.exe");
  ASSERT_TRUE(client->started());
  Click(w.next);  // welcome -> method
  Click(w.next);  // backup
  ListView_SetCheckState(w.Item(w.form.ucBack11, IDC_BACK1_IDLIST), 2, FALSE);
  Click(w.next);
  Type(w.Item(w.form.ucBack21, IDC_BACK2_FILENAME), w.demo.Box().Path("clients.qmb"));
  Click(w.next);
  ASSERT_EQ(w.form.CurrentPage(), 4);
  HWND mail = w.Item(w.form.ucBack31, IDC_BACK3_OE), messenger = w.Item(w.form.ucBack31, IDC_BACK3_MESSENGER);
  auto ticked = [](HWND box) { return ::SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; };
  EXPECT_FALSE(ticked(mail));
  EXPECT_TRUE(ticked(messenger));
  Click(mail);
  Click(messenger);
  EXPECT_FALSE(ticked(mail));
  EXPECT_TRUE(ticked(messenger));
  Click(w.next);
  EXPECT_EQ(w.form.CurrentPage(), 4);
  ASSERT_EQ(w.user.Shown().size(), 1u);
  EXPECT_EQ(w.user.Shown()[0].text, ucBack3::kRefusal);

  client.reset();  // ended
  Pump(2500);
  EXPECT_TRUE(ticked(mail));
  Click(w.next);
  EXPECT_EQ(w.form.CurrentPage(), 5);
  EXPECT_EQ(w.user.Shown().size(), 1u);
  w.Close();
}

// While a long operation holds the arrow-and-hourglass pointer, moving the
// mouse over the window (a control on a page, the frame) keeps it.
TEST(BackupWizard, WaitPointerStaysWhileTheMouseMoves) {
  Wizard w;
  ASSERT_NE(w.main, nullptr);
  const HCURSOR wait = ::LoadCursorA(nullptr, IDC_APPSTARTING), arrow = ::LoadCursorA(nullptr, IDC_ARROW);
  auto moveOver = [](HWND h) {
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    ::SendMessageA(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return ::GetCursor();
  };
  // The controls of the run page.
  HWND label = w.Item(w.form.ucBack41, IDC_BACK4_STATE), bar = w.Item(w.form.ucBack41, IDC_BACK4_PROGRESS);
  ASSERT_NE(label, nullptr);
  platform::SetMousePointer(platform::MousePointer::ArrowHourglass);
  EXPECT_EQ(moveOver(label), wait);
  EXPECT_EQ(moveOver(bar), wait);
  EXPECT_EQ(moveOver(w.next), wait);
  EXPECT_EQ(moveOver(w.main), wait);
  platform::SetMousePointer(platform::MousePointer::Default);
  EXPECT_EQ(moveOver(label), arrow);
  w.Close();
}

// Guards against a run that cannot be stopped in the real window, or whose
// stop loses the earlier backup: Cancel and the close box, pressed at a few
// moments of a run, ask whether to stop it; Yes leaves the earlier archive
// byte for byte, no partial archive beside it and no work folder, and the
// last page says so; Finish then closes the wizard.
TEST(BackupWizard, CancelOrTheCloseBoxStopsTheRunAndKeepsTheEarlierArchive) {
  struct Case {
    const char* what;
    int step;
    double from;  // of the bar
    bool closeBox;
  };
  const double packing = backup::BackupRun::kPackingFrom, readingBack = backup::BackupRun::kReadingBackFrom;
  const Case cases[] = {{"Cancel while the registry is exported", 0, 0, false},
                        {"the close box while it is packed", 2, packing + 0.05, true},
                        {"Cancel while the archive is read back", 2, readingBack + 0.02, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Wizard w;
    ASSERT_NE(w.main, nullptr);
    ASSERT_TRUE(backuptest::AddLargeStoreFiles(w.demo.StoreFolder(backuptest::kMainId), {24 << 20, 24 << 20}));
    const std::string archive = w.demo.Box().Path("out\\wizard.qmb");
    w.ToReady(archive, "", "");
    ASSERT_EQ(w.form.CurrentPage(), 5);
    w.demo.Box().WriteFile("out\\wizard.qmb", "last week's backup");
    ucBack4& page = w.RunPage();
    w.user.Answer(platform::kAnswerYes);  // stop the run
    double pressedAt = -1;
    testsupport::WhileRunning look([&] {
      const double bar = page.ProgressBar1.value() / page.ProgressBar1.Max();
      if (!w.form.Running() || page.CurrentStep() != c.step || bar < c.from) return false;
      pressedAt = bar;
      if (c.closeBox) testsupport::PressCloseBox(w.main);
      else ::PostMessageA(w.cancel, BM_CLICK, 0, 0);
      return true;
    });
    ::Sleep(50);    // the look is due at the run's first pump: the export is short
    Click(w.next);  // the run
    EXPECT_GE(pressedAt, c.from);
    ASSERT_FALSE(w.user.Shown().empty());
    EXPECT_EQ(w.user.Shown().back().text, frmMain::kStopBackupQuestion);
    EXPECT_EQ(w.user.Shown().back().style, platform::kYesNo | platform::kDefaultButton2 | platform::kQuestion);
    EXPECT_EQ(w.Result(IDC_BACK4_TITLE), ucBack4::kStoppedTitle);
    EXPECT_EQ(w.Result(IDC_BACK4_NOTICE), ucBack4::kStoppedNotice);
    EXPECT_EQ(w.Result(IDC_BACK4_ADVICE), "");
    EXPECT_FALSE(w.Shows(IDC_BACK4_FILE));
    EXPECT_TRUE(testsupport::FileBytes(archive) == "last week's backup");
    std::vector<platform::DirEntry> out;
    platform::ListFolder(w.demo.Box().Path("out\\*.*"), out);
    EXPECT_EQ(out.size(), 3u);  // ".", ".." and the earlier archive
    EXPECT_FALSE(platform::IsDirectory(page.TempDir()));
    ASSERT_EQ(Caption(w.next), "&Finish");
    w.Close(true);
  }
}

}  // namespace
