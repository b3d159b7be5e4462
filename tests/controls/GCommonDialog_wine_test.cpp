// The real Open and Save dialogs under Wine, driven from a helper thread
// that finds the dialog window and presses its buttons.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "controls/GCommonDialog.h"
#include "support/sandbox.h"
#include "support/window_driver_win32.h"

using controls::GCommonDialog;

namespace {

constexpr int kFilterCombo = 0x470;  // cmb1
constexpr int kNameEdit = 0x480;     // edt1
constexpr int kNameCombo = 0x47c;    // cmb13

HWND FindDialog(DWORD thread, const char* title) { return testsupport::FindThreadWindow(thread, title); }

// Runs `act` on the dialog titled `title` once it shows on this thread.
class DialogDriver {
 public:
  DialogDriver(const char* title, std::function<void(HWND)> act)
      : thread_([this, title, act, owner = ::GetCurrentThreadId()] {
          for (int i = 0; i < 300 && !stop_; ++i) {
            if (HWND dlg = FindDialog(owner, title)) {
              ::Sleep(300);  // let it finish filling itself
              act(dlg);
              found_ = true;
              return;
            }
            ::Sleep(50);
          }
        }) {}
  ~DialogDriver() {
    stop_ = true;
    thread_.join();
  }
  bool Found() const { return found_; }

 private:
  std::atomic<bool> stop_{false}, found_{false};
  std::thread thread_;
};

void PressCancel(HWND dlg) { ::PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }

TEST(RealDialog, CancellingOpenGivesFalseEmptyAndMinusOne) {
  GCommonDialog d;
  std::string file = "x.qmb", title, filter = "Backup Files(*.qmb)|*.qmb";
  std::int32_t index = 1, flags = 0;
  bool readOnly = false;
  bool ok;
  {
    DialogDriver driver("QM Open", PressCancel);
    ok = d.VBGetOpenFileName(file, title, false, false, readOnly, true, filter, index, "", "QM Open", "qmb",
                             nullptr, flags);
  }
  EXPECT_FALSE(ok);
  EXPECT_EQ(file, "");
  EXPECT_EQ(title, "");
  EXPECT_EQ(index, -1);
  EXPECT_EQ(d.APIReturn(), 0);
}

TEST(RealDialog, CancellingSaveGivesZero) {
  GCommonDialog d;
  std::string file, title, filter = "Script Files(*.oes)|*.oes";
  std::int32_t index = 1, flags = 0;
  bool ok;
  {
    DialogDriver driver("QM Save", PressCancel);
    ok = d.VBGetSaveFileName(file, title, true, filter, index, "", "QM Save", "oes", nullptr, flags);
  }
  EXPECT_FALSE(ok);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(file, "");
}

TEST(RealDialog, SecondFilterEntryHandsBackIndexTwo) {
  testsupport::Sandbox box;
  box.WriteFile("notes.txt", "n");
  const std::string target = box.Path("notes.txt");
  GCommonDialog d;
  std::string file, title, filter = "Backup Files(*.qmb)|*.qmb|Text Files(*.txt)|*.txt";
  std::int32_t index = 1, flags = 0;
  bool readOnly = false;
  bool ok;
  {
    DialogDriver driver("QM Choose", [&](HWND dlg) {
      HWND combo = ::GetDlgItem(dlg, kFilterCombo);
      ::SendMessageA(combo, CB_SETCURSEL, 1, 0);
      for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
        ::SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(kFilterCombo, code), reinterpret_cast<LPARAM>(combo));
      for (int id : {kNameEdit, kNameCombo})
        if (HWND name = ::GetDlgItem(dlg, id)) ::SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(target.c_str()));
      ::PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    ok = d.VBGetOpenFileName(file, title, true, false, readOnly, true, filter, index, box.Root(), "QM Choose",
                             "", nullptr, flags);
    EXPECT_TRUE(driver.Found());
  }
  ASSERT_TRUE(ok);
  EXPECT_EQ(d.APIReturn(), 1);
  EXPECT_EQ(index, 2);
  EXPECT_EQ(filter, std::string("Text Files(*.txt)\0*.txt", 23));
  EXPECT_EQ(::lstrcmpiA(file.c_str(), target.c_str()), 0) << file;
  EXPECT_EQ(title, "notes.txt");
}

}  // namespace
