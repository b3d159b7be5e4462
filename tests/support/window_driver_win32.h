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

using WindowTest = std::function<bool(HWND)>;

// Window enumeration callbacks are WINAPI (stdcall on 32-bit Windows), which
// a lambda is not: this one hands each window to the test it is given.
inline BOOL CALLBACK StopAt(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<std::pair<const WindowTest*, HWND>*>(lp);
  if (!(*s->first)(h)) return TRUE;
  s->second = h;
  return FALSE;
}

// The first top-level window for which `is` holds: of `thread`, or of every
// process when it is 0.
inline HWND FindWindowWhere(const WindowTest& is, DWORD thread = 0) {
  std::pair<const WindowTest*, HWND> s{&is, nullptr};
  if (thread)
    ::EnumThreadWindows(thread, StopAt, reinterpret_cast<LPARAM>(&s));
  else
    ::EnumWindows(StopAt, reinterpret_cast<LPARAM>(&s));
  return s.second;
}

// The first window below `top` (a page's control inside the wizard's frame,
// of this process or another) for which `is` holds.
inline HWND FindChildWhere(HWND top, const WindowTest& is) {
  std::pair<const WindowTest*, HWND> s{&is, nullptr};
  ::EnumChildWindows(top, StopAt, reinterpret_cast<LPARAM>(&s));
  return s.second;
}

// The visible top-level window of `thread` titled `title`.
inline HWND FindThreadWindow(DWORD thread, const std::string& title) {
  return FindWindowWhere([&title](HWND h) { return ::IsWindowVisible(h) && Caption(h) == title; }, thread);
}

// The control `id` anywhere below `top`.
inline HWND Descendant(HWND top, int id) {
  return FindChildWhere(top, [id](HWND h) { return ::GetDlgCtrlID(h) == id; });
}

// A program started as the system starts one (the command line whole), ended
// when the object goes if it has not ended itself.
class StartedProgram {
 public:
  explicit StartedProgram(std::string line) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    started_ = ::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_);
  }
  ~StartedProgram() {
    if (!started_) return;
    ::TerminateProcess(pi_.hProcess, 1);
    ::WaitForSingleObject(pi_.hProcess, 5000);
    ::CloseHandle(pi_.hThread);
    ::CloseHandle(pi_.hProcess);
  }
  StartedProgram(const StartedProgram&) = delete;
  StartedProgram& operator=(const StartedProgram&) = delete;

  bool Started() const { return started_ != FALSE; }
  DWORD Thread() const { return pi_.dwThreadId; }
  // A visible top-level window of it, titled `title` unless that is empty,
  // waited for up to `ms` milliseconds.
  HWND Window(const std::string& title = "", int ms = 0) const {
    for (int waited = 0;; waited += 100) {
      HWND w = FindWindowWhere([&](HWND h) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(h, &pid);
        return pid == pi_.dwProcessId && ::IsWindowVisible(h) && (title.empty() || Caption(h) == title);
      });
      if (w || waited >= ms) return w;
      ::Sleep(100);
    }
  }
  // Its exit code once it has ended, waited for up to `ms`; -1 while it runs.
  int Ended(int ms) const {
    DWORD code = 0;
    if (!started_ || ::WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0) return -1;
    ::GetExitCodeProcess(pi_.hProcess, &code);
    return static_cast<int>(code);
  }

 private:
  BOOL started_ = FALSE;
  PROCESS_INFORMATION pi_{};
};

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
  static void CancelOwnedDialogs(DWORD thread) {
    FindWindowWhere(
        [](HWND h) {
          if (::IsWindowVisible(h) && ::GetWindow(h, GW_OWNER)) Press(h, IDCANCEL);
          return false;
        },
        thread);
  }

  std::atomic<bool> stop_{false};
  std::atomic<int> done_{0};
  std::thread thread_;
};

}  // namespace testsupport
