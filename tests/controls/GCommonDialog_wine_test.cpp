// The real Open and Save dialogs under Wine, answered from a helper thread
// that finds the dialog window and presses its buttons.
#include <windows.h>

#include <gtest/gtest.h>

#include "controls/GCommonDialog.h"
#include "support/sandbox.h"
#include "support/window_driver_win32.h"

using controls::GCommonDialog;
using testsupport::DialogDriver;

namespace {

TEST(RealDialog, CancellingOpenAndSave) {
  GCommonDialog d;
  std::string file = "x.qmb", title, filter = "Backup Files(*.qmb)|*.qmb";
  std::int32_t index = 1, flags = 0;
  bool readOnly = false;
  auto cancel = [](HWND dlg) { DialogDriver::Press(dlg, IDCANCEL); };
  {
    DialogDriver driver({{"QM Open", cancel}});
    EXPECT_FALSE(d.VBGetOpenFileName(file, title, false, false, readOnly, true, filter, index, "", "QM Open", "qmb",
                                     nullptr, flags));
    EXPECT_EQ(driver.Done(), 1);
  }
  EXPECT_EQ(file + title, "");
  EXPECT_EQ(index, -1);
  EXPECT_EQ(d.APIReturn(), 0);
  index = 1;
  {
    DialogDriver driver({{"QM Save", cancel}});
    EXPECT_FALSE(d.VBGetSaveFileName(file, title, true, filter, index, "", "QM Save", "oes", nullptr, flags));
    EXPECT_EQ(driver.Done(), 1);
  }
  EXPECT_EQ(index, 0);
}

TEST(RealDialog, SecondFilterEntryHandsBackIndexTwo) {
  testsupport::Sandbox box;
  box.WriteFile("notes.txt", "n");
  const std::string target = box.Path("notes.txt");
  GCommonDialog d;
  std::string file, title, filter = "Backup Files(*.qmb)|*.qmb|Text Files(*.txt)|*.txt";
  std::int32_t index = 1, flags = 0;
  bool readOnly = false, ok;
  {
    DialogDriver driver({{"QM Choose", [&](HWND dlg) {
                            constexpr int kFilterCombo = 0x470;  // cmb1
                            HWND combo = ::GetDlgItem(dlg, kFilterCombo);
                            ::SendMessageA(combo, CB_SETCURSEL, 1, 0);
                            for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
                              ::SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(kFilterCombo, code),
                                             reinterpret_cast<LPARAM>(combo));
                            DialogDriver::AnswerOpen(target).act(dlg);
                          }}});
    ok = d.VBGetOpenFileName(file, title, true, false, readOnly, true, filter, index, box.Root(), "QM Choose", "",
                             nullptr, flags);
    EXPECT_EQ(driver.Done(), 1);
  }
  ASSERT_TRUE(ok);
  EXPECT_EQ(d.APIReturn(), 1);
  EXPECT_EQ(index, 2);
  EXPECT_EQ(filter, std::string("Text Files(*.txt)\0*.txt", 23));
  EXPECT_EQ(::lstrcmpiA(file.c_str(), target.c_str()), 0) << file;
  EXPECT_EQ(title, "notes.txt");
}

}  // namespace
