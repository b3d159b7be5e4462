// Control objects bound to real windows: the Windows API calls.
#include <windows.h>
#include <commctrl.h>

#include "controls/window_link.h"

namespace controls::link {

namespace {
HWND W(void* h) { return static_cast<HWND>(h); }
}  // namespace

void SetText(void* h, const std::string& text) { ::SetWindowTextA(W(h), text.c_str()); }

std::string GetText(void* h) {
  int n = ::GetWindowTextLengthA(W(h));
  std::string s(static_cast<size_t>(n) + 1, '\0');
  int got = ::GetWindowTextA(W(h), &s[0], n + 1);
  s.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return s;
}

void SetTextUtf8(void* h, const std::string& text) {
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 1), L'\0');
  if (n > 0) ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], n);
  ::SetWindowTextW(W(h), wide.c_str());
}

std::string GetTextUtf8(void* h) {
  const int n = ::GetWindowTextLengthW(W(h));
  std::wstring wide(static_cast<std::size_t>(n) + 1, L'\0');
  const int got = ::GetWindowTextW(W(h), &wide[0], n + 1);
  if (got <= 0) return std::string();
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), got, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) ::WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), got, &out[0], size, nullptr, nullptr);
  return out;
}

// Setting a window's procedure through the wide call makes it a Unicode
// window: the characters typed into it reach it whole, not through the
// ANSI code page.
void MakeUnicode(void* h) {
  ::SetWindowLongPtrW(W(h), GWLP_WNDPROC, ::GetWindowLongPtrW(W(h), GWLP_WNDPROC));
}

void SetVisible(void* h, bool visible) { ::ShowWindow(W(h), visible ? SW_SHOWNA : SW_HIDE); }
void SetEnabled(void* h, bool enabled) { ::EnableWindow(W(h), enabled); }

void SetFocus(void* h) {
  HWND dlg = ::GetParent(W(h));
  if (dlg) ::SendMessageA(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(W(h)), TRUE);
  else ::SetFocus(W(h));
}

void SetCheck(void* h, bool checked) {
  ::SendMessageA(W(h), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}
bool GetCheck(void* h) { return ::SendMessageA(W(h), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetDefaultButton(void* h, bool isDefault) {
  ::SendMessageA(W(h), BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
  // The dialog that holds the button keeps the default id for the Enter key.
  HWND dlg = ::GetAncestor(W(h), GA_ROOT);
  if (isDefault && dlg) ::SendMessageA(dlg, DM_SETDEFID, ::GetDlgCtrlID(W(h)), 0);
}

void ComboFill(void* h, const std::vector<std::string>& items) {
  ::SendMessageA(W(h), CB_RESETCONTENT, 0, 0);
  for (const auto& item : items)
    ::SendMessageA(W(h), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}
void ComboSelect(void* h, int index) { ::SendMessageA(W(h), CB_SETCURSEL, static_cast<WPARAM>(index), 0); }
int ComboSelection(void* h) { return static_cast<int>(::SendMessageA(W(h), CB_GETCURSEL, 0, 0)); }

void CheckListFill(void* h, const std::vector<std::string>& items, const std::vector<bool>& checks) {
  HWND lv = W(h);
  ListView_SetExtendedListViewStyle(lv, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  if (Header_GetItemCount(ListView_GetHeader(lv)) == 0) {
    RECT rc;
    ::GetClientRect(lv, &rc);
    LVCOLUMNA col = {};
    col.mask = LVCF_WIDTH;
    col.cx = rc.right - rc.left - ::GetSystemMetrics(SM_CXVSCROLL);
    ::SendMessageA(lv, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&col));
  }
  ListView_DeleteAllItems(lv);
  for (size_t i = 0; i < items.size(); ++i) {
    LVITEMA it = {};
    it.mask = LVIF_TEXT;
    it.iItem = static_cast<int>(i);
    it.pszText = const_cast<char*>(items[i].c_str());
    ::SendMessageA(lv, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&it));
    ListView_SetCheckState(lv, static_cast<int>(i), checks[i] ? TRUE : FALSE);
  }
}

void CheckListSetCheck(void* h, int index, bool checked) {
  ListView_SetCheckState(W(h), index, checked ? TRUE : FALSE);
}
bool CheckListGetCheck(void* h, int index) { return ListView_GetCheckState(W(h), index) != 0; }
int CheckListSelection(void* h) { return ListView_GetNextItem(W(h), -1, LVNI_SELECTED); }
bool CheckListIsSelected(void* h, int index) {
  return (ListView_GetItemState(W(h), index, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}
void CheckListSelect(void* h, int index) {
  // One current row, whatever the list's selection style.
  const UINT mask = LVIS_SELECTED | LVIS_FOCUSED;
  ListView_SetItemState(W(h), -1, 0, LVIS_SELECTED);
  if (index < 0) return;
  ListView_SetItemState(W(h), index, mask, mask);
  ListView_EnsureVisible(W(h), index, FALSE);
}

void ImageShow(void* h, int bitmapId) {
  HBITMAP bmp = static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmapId),
                                                  IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
  HBITMAP old = reinterpret_cast<HBITMAP>(
      ::SendMessageA(W(h), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bmp)));
  if (old) ::DeleteObject(old);
}

}  // namespace controls::link
