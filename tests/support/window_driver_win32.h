#pragma once
// Driving the wizard's real windows as a user does: buttons pressed, text
// typed with the notification a keystroke sends, and the modal dialogs that
// a press opens (file dialogs, password prompt) answered from a helper thread
// while the test's thread is held in their message loop.
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "resources/resource.h"
#include "wizard/WizardPage.h"
#include "shell/WizardParts.h"
#include "shell/WizardWindow.h"
#include "support/pump_win32.h"

namespace testsupport {

// The program's wizard with its own pages, in its real window once shown:
// the window and its Next and Cancel buttons. `Services` are the program's
// or a test's own, made from `args`.
template <typename Services>
struct ShownWizard {
  Services services;
  frmMain form;
  HWND main = nullptr, next = nullptr, cancel = nullptr;

  template <typename... Args>
  explicit ShownWizard(Args&&... args) : services(std::forward<Args>(args)...), form(wizard::MakeProgramPages(), services) {}
  bool Show() {
    if (!wizard::CreateWizardWindow(form)) return false;
    wizard::ShowWizardWindow(form);
    Pump(200);
    main = static_cast<HWND>(form.hwnd());
    next = ::GetDlgItem(main, IDC_MAIN_NEXT);
    cancel = ::GetDlgItem(main, IDC_MAIN_CANCEL);
    return true;
  }
};
using ProgramWizard = ShownWizard<wizard::ProgramServices>;

inline HWND PageItem(wizard::Page& page, int id) {
  return ::GetDlgItem(static_cast<HWND>(page.Surface().hwnd()), id);
}

inline void Click(HWND button) {
  ::SendMessageA(button, BM_CLICK, 0, 0);
  Pump(50);
}

inline void Type(HWND edit, const std::string& text) {
  ::SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  // What a keystroke would tell the page.
  ::SendMessageA(::GetParent(edit), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(edit), EN_CHANGE),
                 reinterpret_cast<LPARAM>(edit));
  Pump(20);
}

// The close box of a window, as the user presses it.
inline void PressCloseBox(HWND window) { ::PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

// Calls `look` every `ms` milliseconds on this thread while its messages
// run (the pump of a run in the window included), until `look` returns true
// or the object goes. One at a time.
class WhileRunning {
 public:
  explicit WhileRunning(std::function<bool()> look, UINT ms = 20) : look_(std::move(look)) {
    Current() = this;
    id_ = ::SetTimer(nullptr, 0, ms, Fire);
  }
  ~WhileRunning() {
    Stop();
    Current() = nullptr;
  }
  WhileRunning(const WhileRunning&) = delete;
  WhileRunning& operator=(const WhileRunning&) = delete;
  bool Done() const { return id_ == 0; }

 private:
  static WhileRunning*& Current() {
    static WhileRunning* current = nullptr;
    return current;
  }
  static void CALLBACK Fire(HWND, UINT, UINT_PTR, DWORD) {
    WhileRunning* self = Current();
    if (self && !self->Done() && self->look_()) self->Stop();
  }
  void Stop() {
    if (id_) ::KillTimer(nullptr, id_);
    id_ = 0;
  }
  std::function<bool()> look_;
  UINT_PTR id_ = 0;
};

inline std::string Caption(HWND h) {
  char buf[512] = {};
  ::GetWindowTextA(h, buf, sizeof buf);
  return buf;
}

// Window enumeration callbacks are WINAPI (stdcall on 32-bit Windows), which
// a lambda is not: they are plain functions here.
inline BOOL CALLBACK TitledWindow(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<std::pair<const std::string*, HWND>*>(lp);
  if (!::IsWindowVisible(h) || Caption(h) != *s->first) return TRUE;
  s->second = h;
  return FALSE;
}

// The visible top-level window of `thread` titled `title`.
inline HWND FindThreadWindow(DWORD thread, const std::string& title) {
  std::pair<const std::string*, HWND> s{&title, nullptr};
  ::EnumThreadWindows(thread, TitledWindow, reinterpret_cast<LPARAM>(&s));
  return s.second;
}

inline BOOL CALLBACK ChildWithId(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<std::pair<int, HWND>*>(lp);
  if (::GetDlgCtrlID(h) != s->first) return TRUE;
  s->second = h;
  return FALSE;
}

// The control `id` anywhere below `top` (a page's control inside the
// wizard's frame, of this process or another).
inline HWND Descendant(HWND top, int id) {
  std::pair<int, HWND> s{id, nullptr};
  ::EnumChildWindows(top, ChildWithId, reinterpret_cast<LPARAM>(&s));
  return s.second;
}

// Answers the dialogs that show on a thread (the creating one unless told),
// in order: each step waits for its window by title and acts on it. A
// window that never shows fails its step, and every owned dialog of the
// thread is then cancelled so that a missed dialog cannot hold the test for
// ever.
class DialogDriver {
 public:
  struct Step {
    std::string title;
    std::function<void(HWND)> act;
  };

  explicit DialogDriver(std::vector<Step> steps, DWORD owner = ::GetCurrentThreadId())
      : thread_([this, steps = std::move(steps), owner] {
          for (const Step& step : steps) {
            HWND dlg = nullptr;
            for (int i = 0; i < 300 && !stop_ && !dlg; ++i) {
              dlg = FindThreadWindow(owner, step.title);
              if (!dlg) ::Sleep(50);
            }
            if (!dlg) {
              if (!stop_) CancelOwnedDialogs(owner);
              return;
            }
            ::Sleep(300);  // let it finish filling itself
            step.act(dlg);
            ++done_;
          }
        }) {}
  ~DialogDriver() {
    stop_ = true;
    thread_.join();
  }
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;

  // How many steps found their window and acted.
  int Done() const { return done_; }
  // Waits up to `ms` for `steps` steps to be done; whether they were.
  bool WaitDone(int steps, int ms) const {
    for (int waited = 0; done_ < steps && waited < ms; waited += 50) ::Sleep(50);
    return done_ >= steps;
  }

  static void Press(HWND dlg, int id) { ::PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
  // A click that may open a modal window: posted, so the driver goes on.
  static void PostClick(HWND dlg, int id) { ::PostMessageA(::GetDlgItem(dlg, id), BM_CLICK, 0, 0); }

  // The system's Open dialog: `path` typed as the file name and confirmed;
  // an empty path cancels it.
  static Step AnswerOpen(const std::string& path) {
    return {"Open", [path](HWND dlg) {
              if (path.empty()) return Press(dlg, IDCANCEL);
              for (int id : {0x480, 0x47c})  // edt1, cmb13
                if (HWND name = ::GetDlgItem(dlg, id))
                  ::SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
              Press(dlg, IDOK);
            }};
  }

 private:
  static BOOL CALLBACK CancelIfOwned(HWND h, LPARAM) {
    if (::IsWindowVisible(h) && ::GetWindow(h, GW_OWNER)) Press(h, IDCANCEL);
    return TRUE;
  }
  static void CancelOwnedDialogs(DWORD thread) { ::EnumThreadWindows(thread, CancelIfOwned, 0); }

  std::atomic<bool> stop_{false};
  std::atomic<int> done_{0};
  std::thread thread_;
};

}  // namespace testsupport
