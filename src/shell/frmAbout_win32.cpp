// The about box's real window: a modal dialog.
#include <windows.h>

#include <memory>

#include "controls/ControlHost_win32.h"
#include "resources/resource.h"
#include "shell/frmAbout.h"

namespace {

struct AboutState {
  frmAbout* form = nullptr;
  std::unique_ptr<controls::ControlHost> host;
  HFONT nameFont = nullptr;
};

INT_PTR CALLBACK AboutProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  try {
    auto* s = reinterpret_cast<AboutState*>(msg == WM_INITDIALOG ? lp : ::GetWindowLongPtrA(dlg, DWLP_USER));
    if (!s) return FALSE;
    switch (msg) {
      case WM_INITDIALOG: {
        ::SetWindowLongPtrA(dlg, DWLP_USER, lp);
        controls::RegisterHotLinkClass();
        s->host = std::make_unique<controls::ControlHost>(dlg);
        s->form->Bind(*s->host);
        HDC dc = ::GetDC(dlg);
        int height = -::MulDiv(12, ::GetDeviceCaps(dc, LOGPIXELSY), 72);
        ::ReleaseDC(dlg, dc);
        s->nameFont = ::CreateFontA(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0,
                                    CLEARTYPE_QUALITY, FF_SWISS, "Verdana");
        ::SendDlgItemMessageA(dlg, IDC_ABOUT_NAME, WM_SETFONT, reinterpret_cast<WPARAM>(s->nameFont), TRUE);
        return TRUE;
      }
      case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
          ::EndDialog(dlg, LOWORD(wp));
          return TRUE;
        }
        return s->host && s->host->Dispatch(msg, wp, lp);
      case WM_DESTROY:
        if (s->nameFont) ::DeleteObject(s->nameFont);
        if (s->host) s->host->DetachAll();
        return TRUE;
    }
  } catch (...) {
  }
  return FALSE;
}

}  // namespace

int frmAbout::ShowReal(void* owner) {
  AboutState state;
  state.form = this;
  return static_cast<int>(::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT),
                                            static_cast<HWND>(owner), AboutProc,
                                            reinterpret_cast<LPARAM>(&state)));
}
