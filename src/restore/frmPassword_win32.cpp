// The password dialog's real window: a modal dialog with the program's icon.
#include <windows.h>

#include <memory>

#include "controls/ControlHost_win32.h"
#include "resources/resource.h"
#include "restore/frmPassword.h"

namespace {

struct PasswordState {
  frmPassword* form = nullptr;
  std::unique_ptr<controls::ControlHost> host;
};

INT_PTR CALLBACK PasswordProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  try {
    auto* s = reinterpret_cast<PasswordState*>(msg == WM_INITDIALOG ? lp : ::GetWindowLongPtrA(dlg, DWLP_USER));
    if (!s) return FALSE;
    switch (msg) {
      case WM_INITDIALOG: {
        ::SetWindowLongPtrA(dlg, DWLP_USER, lp);
        s->host = std::make_unique<controls::ControlHost>(dlg);
        s->form->Bind(*s->host);
        s->form->hwnd = dlg;
        s->form->CloseWindow = [dlg] { ::EndDialog(dlg, IDOK); };
        HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_QUILLMERE));
        ::SendMessageA(dlg, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        ::SendMessageA(dlg, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        ::SetFocus(::GetDlgItem(dlg, IDC_PASSWORD_TEXT));
        return FALSE;  // the focus is set
      }
      case WM_COMMAND:
        if (LOWORD(wp) == IDOK) {
          char text[1024] = {};
          ::GetDlgItemTextA(dlg, IDC_PASSWORD_TEXT, text, sizeof text);
          s->form->txtPassword.Text(text);
          s->form->cmdOK.Press();
          if (!s->form->Closed()) ::SetFocus(::GetDlgItem(dlg, IDC_PASSWORD_TEXT));
          return TRUE;
        }
        if (LOWORD(wp) == IDCANCEL) {
          s->form->cmdCancel.Press();
          return TRUE;
        }
        return s->host && s->host->Dispatch(msg, wp, lp);
      case WM_DESTROY:
        s->form->CloseWindow = nullptr;
        s->form->hwnd = nullptr;
        if (s->host) s->host->DetachAll();
        return TRUE;
    }
  } catch (...) {
  }
  return FALSE;
}

}  // namespace

int frmPassword::ShowReal(void* owner) {
  PasswordState state;
  state.form = this;
  return static_cast<int>(::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PASSWORD),
                                            static_cast<HWND>(owner), PasswordProc,
                                            reinterpret_cast<LPARAM>(&state)));
}
