// The wizard's real window: the frame dialog, the pages as child dialogs
// stacked in one place, a white content area beside the banner, and the
// buttons on the system's face colour below the line.
#include <windows.h>

#include <memory>
#include <vector>

#include "controls/ControlHost_win32.h"
#include "controls/GSubclass.h"
#include "controls/HotLink.h"
#include "controls/ProgressBar.h"
#include "platform/system.h"
#include "resources/resource.h"
#include "shell/WizardWindow.h"

namespace wizard {

namespace {

// Next and Back take a double click as one click: the second press of a
// double click is not a press of theirs.
class SingleClicks : public controls::ISubclass {
 public:
  std::int32_t MsgResponse() const override { return controls::emrConsume; }
  void MsgResponse(std::int32_t) override {}
  std::intptr_t WindowProc(void*, std::uint32_t, std::uintptr_t, std::intptr_t) override { return 0; }
  controls::GSubclass& Subclass() { return subclass_; }

 private:
  controls::GSubclass subclass_;
};

struct PageWindow {
  Page* page = nullptr;
  std::unique_ptr<controls::ControlHost> host;
};

struct FrameState {
  frmMain* form = nullptr;
  std::unique_ptr<controls::ControlHost> host;
  std::vector<PageWindow> pages;
  HFONT titleFont = nullptr;
  HFONT headingFont = nullptr;
  HBRUSH white = nullptr;
  SingleClicks singleClicks;
  HWND stepButtons[2] = {};
};

FrameState* StateOf(HWND h) { return reinterpret_cast<FrameState*>(::GetWindowLongPtrA(h, DWLP_USER)); }

HFONT MakeFont(HWND dlg, int points, int weight, const char* face) {
  HDC dc = ::GetDC(dlg);
  int height = -::MulDiv(points, ::GetDeviceCaps(dc, LOGPIXELSY), 72);
  ::ReleaseDC(dlg, dc);
  return ::CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, face);
}

// The banner bitmap, stretched smoothly to the banner's size at any DPI.
void DrawBanner(const DRAWITEMSTRUCT* di) {
  HBITMAP bmp = static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_BANNER),
                                                  IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bmp) return;
  BITMAP info;
  ::GetObjectA(bmp, sizeof info, &info);
  HDC mem = ::CreateCompatibleDC(di->hDC);
  HGDIOBJ old = ::SelectObject(mem, bmp);
  const RECT& rc = di->rcItem;
  ::SetStretchBltMode(di->hDC, HALFTONE);
  ::SetBrushOrgEx(di->hDC, 0, 0, nullptr);
  // Keep the picture's proportions: fill the height, crop the width.
  int srcW = ::MulDiv(info.bmHeight, rc.right - rc.left, rc.bottom - rc.top);
  if (srcW > info.bmWidth) srcW = info.bmWidth;
  ::StretchBlt(di->hDC, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, mem,
               (info.bmWidth - srcW) / 2, 0, srcW, info.bmHeight, SRCCOPY);
  ::SelectObject(mem, old);
  ::DeleteDC(mem);
  ::DeleteObject(bmp);
}

INT_PTR CALLBACK PageProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  try {
    if (msg == WM_CTLCOLORDLG || msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN) {
      HWND frame = ::GetParent(dlg);
      FrameState* s = StateOf(frame);
      if (!s) return FALSE;
      // Disabled and read-only edit boxes ask here too: they keep the
      // button-face colour that says they take no input.
      char cls[16] = "";
      if (msg == WM_CTLCOLORSTATIC && ::GetClassNameA(reinterpret_cast<HWND>(lp), cls, sizeof cls) &&
          ::lstrcmpiA(cls, "Edit") == 0) {
        ::SetBkColor(reinterpret_cast<HDC>(wp), ::GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_BTNFACE));
      }
      ::SetBkColor(reinterpret_cast<HDC>(wp), ::GetSysColor(COLOR_WINDOW));
      return reinterpret_cast<INT_PTR>(s->white);
    }
    if (msg == WM_COMMAND || msg == WM_NOTIFY) {
      auto* host = reinterpret_cast<controls::ControlHost*>(::GetWindowLongPtrA(dlg, DWLP_USER));
      if (host && host->Dispatch(msg, wp, lp)) return TRUE;
    }
  } catch (...) {
  }
  return FALSE;
}

void CreatePages(HWND dlg, FrameState& s) {
  RECT area;
  HWND place = ::GetDlgItem(dlg, IDC_MAIN_PAGES);
  ::GetWindowRect(place, &area);
  ::MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&area), 2);
  for (Page* page : s.form->AllPages()) {
    HWND child = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(page->TemplateId()), dlg,
                                      PageProc, 0);
    if (!child) continue;
    ::SetWindowPos(child, place, area.left, area.top, area.right - area.left, area.bottom - area.top,
                   SWP_NOACTIVATE);
    PageWindow pw;
    pw.page = page;
    pw.host = std::make_unique<controls::ControlHost>(child);
    ::SetWindowLongPtrA(child, DWLP_USER, reinterpret_cast<LONG_PTR>(pw.host.get()));
    page->Bind(*pw.host);
    page->Surface().Attach(child);
    // Page headings (the control after the template's id): the welcome
    // heading large, the others bold.
    int heading = page->TemplateId() + 1;
    HFONT font = page->TemplateId() == IDD_STEP0 ? s.titleFont : s.headingFont;
    ::SendDlgItemMessageA(child, heading, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    s.pages.push_back(std::move(pw));
  }
}

void InitFrame(HWND dlg, FrameState& s) {
  ::SetWindowLongPtrA(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(&s));
  HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_QUILLMERE));
  ::SendMessageA(dlg, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  ::SendMessageA(dlg, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  s.titleFont = MakeFont(dlg, 12, FW_BOLD, "Verdana");
  s.headingFont = MakeFont(dlg, 9, FW_BOLD, "Tahoma");
  s.white = ::GetSysColorBrush(COLOR_WINDOW);
  frmMain& f = *s.form;
  f.SetWindow(dlg);
  s.host = std::make_unique<controls::ControlHost>(dlg);
  s.host->Bind(f.cmdHelp, IDC_MAIN_HELP);
  s.host->Bind(f.cmdAbout, IDC_MAIN_ABOUT);
  s.host->Bind(f.cmdBack, IDC_MAIN_BACK);
  s.host->Bind(f.cmdNext, IDC_MAIN_NEXT);
  s.host->Bind(f.cmdCancel, IDC_MAIN_CANCEL);
  s.stepButtons[0] = ::GetDlgItem(dlg, IDC_MAIN_BACK);
  s.stepButtons[1] = ::GetDlgItem(dlg, IDC_MAIN_NEXT);
  for (HWND button : s.stepButtons)
    if (button) s.singleClicks.Subclass().AttachMessage(s.singleClicks, button, WM_LBUTTONDBLCLK);
  f.imgBanner.Picture(IDB_BANNER);
  CreatePages(dlg, s);
  f.OnUnloaded = [dlg] { ::DestroyWindow(dlg); };
}

// White behind the banner and the pages, the face colour below the line.
void PaintBackground(HWND dlg, HDC dc) {
  RECT rc, line;
  ::GetClientRect(dlg, &rc);
  ::GetWindowRect(::GetDlgItem(dlg, IDC_MAIN_LINE2), &line);
  ::MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&line), 2);
  RECT top = rc, bottom = rc;
  top.bottom = bottom.top = line.top;
  ::FillRect(dc, &top, ::GetSysColorBrush(COLOR_WINDOW));
  ::FillRect(dc, &bottom, ::GetSysColorBrush(COLOR_BTNFACE));
}

INT_PTR CALLBACK FrameProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  try {
    FrameState* s = msg == WM_INITDIALOG ? reinterpret_cast<FrameState*>(lp) : StateOf(dlg);
    if (!s) return FALSE;
    switch (msg) {
      case WM_INITDIALOG: InitFrame(dlg, *s); return FALSE;
      case WM_ERASEBKGND:
        PaintBackground(dlg, reinterpret_cast<HDC>(wp));
        ::SetWindowLongPtrA(dlg, DWLP_MSGRESULT, 1);
        return TRUE;
      case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lp) == ::GetDlgItem(dlg, IDC_MAIN_LINE2)) return FALSE;
        return reinterpret_cast<INT_PTR>(s->white);
      case WM_DRAWITEM:
        if (wp == IDC_MAIN_BANNER) {
          DrawBanner(reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
          return TRUE;
        }
        break;
      case WM_COMMAND:
        if (LOWORD(wp) == IDCANCEL) {  // Esc: as the Cancel button
          s->form->cmdCancel.Press();
          return TRUE;
        }
        if (LOWORD(wp) == IDOK) {  // Enter: the default button
          if (s->form->cmdNext.Default()) s->form->cmdNext.Press();
          return TRUE;
        }
        if (s->host->Dispatch(msg, wp, lp)) return TRUE;
        break;
      case WM_SETCURSOR:
        // During a long operation the wait pointer stays over the whole
        // window, pages and controls included, until it ends.
        if (LOWORD(lp) == HTCLIENT && platform::ReapplyMousePointer()) {
          ::SetWindowLongPtrA(dlg, DWLP_MSGRESULT, TRUE);
          return TRUE;
        }
        break;
      case WM_CLOSE: s->form->Unload(); return TRUE;
      case WM_DESTROY:
        for (HWND button : s->stepButtons)
          if (button) s->singleClicks.Subclass().DetachMessage(s->singleClicks, button, WM_LBUTTONDBLCLK);
        s->host->DetachAll();
        for (auto& page : s->pages) {
          page.host->DetachAll();
          page.page->Surface().Detach();
        }
        ::DeleteObject(s->titleFont);
        ::DeleteObject(s->headingFont);
        s->form->SetWindow(nullptr);
        ::PostQuitMessage(0);
        return TRUE;
    }
  } catch (...) {  // nothing crosses the window procedure
  }
  return FALSE;
}

std::unique_ptr<FrameState>& StateFor(frmMain& form) {
  static std::unique_ptr<FrameState> state;
  (void)form;
  return state;
}

}  // namespace

void* CreateWizardWindow(frmMain& form) {
  controls::LoadRichTextLibrary();
  controls::RegisterProgressBarClass();
  controls::RegisterHotLinkClass();
  auto& state = StateFor(form);
  state = std::make_unique<FrameState>();
  state->form = &form;
  HWND dlg = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr, FrameProc,
                                  reinterpret_cast<LPARAM>(state.get()));
  if (!dlg) return nullptr;
  form.Load();
  return dlg;
}

void ShowWizardWindow(frmMain& form) {
  HWND dlg = static_cast<HWND>(form.hwnd());
  if (!dlg) return;
  ::ShowWindow(dlg, SW_SHOW);
  ::SetForegroundWindow(dlg);
  if (form.cmdNext.Bound()) form.cmdNext.SetFocus();
}

bool TranslateWizardMessage(frmMain& form, void* message) {
  MSG& msg = *static_cast<MSG*>(message);
  HWND dlg = static_cast<HWND>(form.hwnd());
  if (!dlg || (msg.hwnd != dlg && !::IsChild(dlg, msg.hwnd))) return false;
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_F1) {
    form.cmdHelpTopic();
    return true;
  }
  // A key for a control of a hidden page (the focus left behind by a page
  // that went): the dialog manager would search the windows for its access
  // key without end. The key goes to the current page instead.
  if ((msg.message == WM_KEYDOWN || msg.message == WM_CHAR || msg.message == WM_SYSKEYDOWN ||
       msg.message == WM_SYSCHAR) &&
      !::IsWindowVisible(msg.hwnd)) {
    form.FocusCurrentPage();
    HWND focus = ::GetFocus();
    if (!focus || !::IsWindowVisible(focus)) return true;  // dropped: nowhere it can go
    msg.hwnd = focus;
  }
  return ::IsDialogMessageW(dlg, &msg) != 0;  // the message as the loop took it: wide
}

void RunWizardLoop(frmMain& form) {
  MSG msg;
  while (form.hwnd() && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (TranslateWizardMessage(form, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  StateFor(form).reset();
}

}  // namespace wizard
