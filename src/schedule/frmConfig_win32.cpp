// The schedule dialog's real window: a modal dialog. The interval box's
// typed keys pass through txtInterval_KeyPress and its Up and Down keys
// through txtInterval_KeyDown; leaving the script box shows that script's
// last run.
#include <windows.h>

#include <memory>

#include "controls/ControlHost_win32.h"
#include "controls/GSubclass.h"
#include "resources/resource.h"
#include "schedule/frmConfig.h"

namespace {

// Hands each typed character and each Up or Down key of the interval box
// to the form first.
class IntervalKeys : public controls::ISubclass {
 public:
  explicit IntervalKeys(frmConfig& form) : form_(form) {}
  std::int32_t MsgResponse() const override { return controls::emrConsume; }
  void MsgResponse(std::int32_t) override {}
  std::intptr_t WindowProc(void* hwnd, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) override {
    if (msg == WM_KEYDOWN) {
      if (form_.txtInterval_KeyDown(static_cast<int>(wp))) return 0;
      return subclass_.CallOldWindowProc(hwnd, msg, wp, lp);
    }
    int key = static_cast<int>(wp);
    form_.txtInterval_KeyPress(key);
    if (key == 0) return 0;
    return subclass_.CallOldWindowProc(hwnd, msg, static_cast<std::uintptr_t>(key), lp);
  }
  controls::GSubclass& Subclass() { return subclass_; }

 private:
  frmConfig& form_;
  controls::GSubclass subclass_;
};

struct ConfigState {
  frmConfig* form = nullptr;
  std::unique_ptr<controls::ControlHost> host;
  std::unique_ptr<IntervalKeys> keys;
  HWND interval = nullptr;
};

INT_PTR CALLBACK ConfigProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  try {
    auto* s = reinterpret_cast<ConfigState*>(msg == WM_INITDIALOG ? lp : ::GetWindowLongPtrA(dlg, DWLP_USER));
    if (!s) return FALSE;
    switch (msg) {
      case WM_INITDIALOG: {
        ::SetWindowLongPtrA(dlg, DWLP_USER, lp);
        s->host = std::make_unique<controls::ControlHost>(dlg);
        s->form->Bind(*s->host);
        s->form->hwnd = dlg;
        s->form->CloseWindow = [dlg, form = s->form] { ::EndDialog(dlg, form->Saved() ? IDOK : IDCANCEL); };
        s->interval = ::GetDlgItem(dlg, IDC_CONFIG_INTERVAL);
        ::SendMessageA(s->interval, EM_LIMITTEXT, 3, 0);
        s->keys = std::make_unique<IntervalKeys>(*s->form);
        s->keys->Subclass().AttachMessage(*s->keys, s->interval, WM_CHAR);
        s->keys->Subclass().AttachMessage(*s->keys, s->interval, WM_KEYDOWN);
        HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_QUILLMERE));
        ::SendMessageA(dlg, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        ::SendMessageA(dlg, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        ::SetFocus(::GetDlgItem(dlg, IDC_CONFIG_ENABLE));
        return FALSE;  // the focus is set
      }
      case WM_COMMAND:
        if (LOWORD(wp) == IDC_CONFIG_SCRIPT && HIWORD(wp) == EN_KILLFOCUS) {
          s->form->txtScript_Validate();
          return TRUE;
        }
        return s->host && s->host->Dispatch(msg, wp, lp);
      case WM_VSCROLL:
        return s->host && s->host->Dispatch(msg, wp, lp);
      case WM_DESTROY:
        if (s->keys) {
          s->keys->Subclass().DetachMessage(*s->keys, s->interval, WM_CHAR);
          s->keys->Subclass().DetachMessage(*s->keys, s->interval, WM_KEYDOWN);
        }
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

int frmConfig::ShowReal(void* owner) {
  ConfigState state;
  state.form = this;
  return static_cast<int>(::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_CONFIG),
                                            static_cast<HWND>(owner), ConfigProc,
                                            reinterpret_cast<LPARAM>(&state)));
}
