// Control objects bound to real windows: code changes show in the window,
// the user's changes come back as the same events; the progress bar paints.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "controls/ControlHost_win32.h"
#include "controls/InputControls.h"
#include "controls/ProgressBar.h"
#include "platform/system.h"

using namespace controls;

namespace {

enum { kText = 10, kCheck, kCombo, kList, kBar, kButton };

ControlHost* g_host = nullptr;

LRESULT CALLBACK ParentProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if ((msg == WM_COMMAND || msg == WM_NOTIFY) && g_host && g_host->Dispatch(msg, wp, lp)) return 0;
  return ::DefWindowProcA(h, msg, wp, lp);
}

class Bound : public testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    RegisterProgressBarClass();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "QmBindingTest";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    ::RegisterClassA(&wc);
    parent = ::CreateWindowA("QmBindingTest", "binding", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 400, 300,
                             nullptr, nullptr, wc.hInstance, nullptr);
    Child("EDIT", WS_BORDER, kText, 10, 10, 150, 20);
    Child("BUTTON", BS_AUTOCHECKBOX, kCheck, 10, 40, 150, 20);
    Child("COMBOBOX", CBS_DROPDOWNLIST, kCombo, 10, 70, 150, 100);
    Child(WC_LISTVIEWA, LVS_REPORT | LVS_NOCOLUMNHEADER, kList, 200, 10, 150, 100);
    Child("QmProgressBar", 0, kBar, 10, 200, 204, 20);
    Child("BUTTON", BS_PUSHBUTTON, kButton, 200, 150, 80, 24);
    host = std::make_unique<ControlHost>(parent);
    g_host = host.get();
  }
  void TearDown() override {
    g_host = nullptr;
    ::DestroyWindow(parent);
  }
  void Child(const char* cls, DWORD style, int id, int x, int y, int w, int h) {
    ::CreateWindowA(cls, "", WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleA(nullptr), nullptr);
  }
  HWND Item(int id) { return ::GetDlgItem(parent, id); }
  void Pump() {
    MSG m;
    while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&m);
  }
  HWND parent = nullptr;
  std::unique_ptr<ControlHost> host;
};

TEST_F(Bound, TextBoxBothWays) {
  TextBox t;
  int changes = 0;
  t.Change = [&] { ++changes; };
  t.Text("from code");
  host->Bind(t, kText);
  char buf[64] = {};
  ::GetWindowTextA(Item(kText), buf, sizeof buf);
  EXPECT_STREQ(buf, "from code");
  ::SetWindowTextA(Item(kText), "typed");  // the edit tells its parent EN_CHANGE
  EXPECT_EQ(t.Text(), "typed");
  EXPECT_EQ(changes, 2);
}

// A box made to take any character (the password boxes): characters typed
// that the ANSI code page lacks reach it whole through the program's message
// loop, and its text is their UTF-8.
TEST_F(Bound, UnicodeTextBoxTakesCharactersTheCodePageLacks) {
  TextBox t;
  t.Unicode(true);
  t.Text("\xD0\x9F");  // Cyrillic capital Pe
  host->Bind(t, kText);
  wchar_t shown[16] = {};
  ::GetWindowTextW(Item(kText), shown, 16);
  EXPECT_EQ(std::wstring(shown), L"\x041F");
  ::SendMessageA(Item(kText), EM_SETSEL, 1, 1);
  for (wchar_t c : {L'\x0430', L'\x5BC6', L'1'}) ::PostMessageW(Item(kText), WM_CHAR, c, 1);
  platform::DoEvents();
  EXPECT_EQ(t.Text(), "\xD0\x9F\xD0\xB0\xE5\xAF\x86" "1");
}

TEST_F(Bound, CheckBoxAndComboChoicesComeBack) {
  CheckBox c;
  int clicks = 0;
  c.Click = [&] { ++clicks; };
  host->Bind(c, kCheck);
  ::SendMessageA(Item(kCheck), BM_CLICK, 0, 0);
  EXPECT_EQ(c.Value(), 1);
  EXPECT_EQ(clicks, 1);
  c.Value(0);
  EXPECT_EQ(::SendMessageA(Item(kCheck), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  ComboList combo;
  combo.AddItem("one");
  combo.AddItem("two");
  host->Bind(combo, kCombo);
  EXPECT_EQ(::SendMessageA(Item(kCombo), CB_GETCOUNT, 0, 0), 2);
  ::SendMessageA(Item(kCombo), CB_SETCURSEL, 1, 0);
  ::SendMessageA(parent, WM_COMMAND, MAKEWPARAM(kCombo, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Item(kCombo)));
  EXPECT_EQ(combo.ListIndex(), 1);
  EXPECT_EQ(combo.Text(), "two");
}

// The user's ticks and the current row come back; a tick from code
// leaves the current row.
TEST_F(Bound, CheckListTicksAndCurrentRowFollowTheUserAndTheCode) {
  CheckList list;
  list.AddItem("Main Identity", true);
  list.AddItem("Work");
  host->Bind(list, kList);
  EXPECT_EQ(ListView_GetItemCount(Item(kList)), 2);
  EXPECT_TRUE(ListView_GetCheckState(Item(kList), 0));
  std::vector<int> changed;
  list.ItemCheck = [&](int i) { changed.push_back(i); };
  ListView_SetCheckState(Item(kList), 1, TRUE);  // as the user's tick
  Pump();
  EXPECT_TRUE(list.Checked(1));
  EXPECT_EQ(changed, std::vector<int>{1});
  std::vector<int> rows;
  list.Click = [&] { rows.push_back(list.ListIndex()); };
  list.ListIndex(0);  // from code: selected in the window, Click raised
  EXPECT_EQ(ListView_GetNextItem(Item(kList), -1, LVNI_SELECTED), 0);
  ListView_SetItemState(Item(kList), 1, LVIS_SELECTED, LVIS_SELECTED);  // as the user's click
  Pump();
  EXPECT_EQ(list.ListIndex(), 1);
  ListView_SetCheckState(Item(kList), 0, FALSE);  // the user clears the first row's box
  Pump();
  EXPECT_FALSE(list.Checked(0));
  EXPECT_EQ(list.ListIndex(), 0);  // a ticked box makes its row current
  list.Checked(1, false);           // from code: the current row stays
  Pump();
  EXPECT_EQ(list.ListIndex(), 0);
  EXPECT_EQ(rows, (std::vector<int>{0, 1, 0}));
}

TEST_F(Bound, VisibleAndEnabledMirror) {
  CommandButton b;
  host->Bind(b, kButton);
  b.Enabled(false);
  b.Visible(false);
  EXPECT_FALSE(::IsWindowEnabled(Item(kButton)));
  EXPECT_FALSE(::IsWindowVisible(Item(kButton)));
  int clicks = 0;
  b.Click = [&] { ++clicks; };
  b.Enabled(true);
  b.Caption("&Finish");
  ::SendMessageA(parent, WM_COMMAND, MAKEWPARAM(kButton, BN_CLICKED), reinterpret_cast<LPARAM>(Item(kButton)));
  EXPECT_EQ(clicks, 1);
  char buf[32] = {};
  ::GetWindowTextA(Item(kButton), buf, sizeof buf);
  EXPECT_STREQ(buf, "&Finish");
}

TEST_F(Bound, ProgressBarPaintsBarAndBackground) {
  ProgressBar bar;
  bar.ShowCaption(false);
  host->BindProgressBar(bar, kBar);
  bar.value(50);  // 204 pixels wide: (204 - 4) * 50 / 100 = 100 filled from x = 2
  Pump();
  HDC dc = ::GetDC(Item(kBar));
  COLORREF inBar = ::GetPixel(dc, 50, 10), pastBar = ::GetPixel(dc, 150, 10);
  ::ReleaseDC(Item(kBar), dc);
  EXPECT_EQ(inBar, bar.BarColor());
  EXPECT_EQ(pastBar, bar.BackColor());
}

}  // namespace
