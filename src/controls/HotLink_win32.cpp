// The link's window: draws the caption in the current look, shows the hand
// pointer, and reports the mouse to the link object.
#include <windows.h>
#include <windowsx.h>

#include "controls/HotLink.h"
#include "platform/system.h"

namespace controls {

namespace {

const char kClassName[] = "QmHotLink";

HotLink* LinkOf(HWND h) { return reinterpret_cast<HotLink*>(::GetWindowLongPtrA(h, GWLP_USERDATA)); }

COLORREF Resolve(std::uint32_t colour) {
  return (colour & 0x80000000u) ? ::GetSysColor(static_cast<int>(colour & 0xFF)) : colour;
}

HFONT FontFor(HWND h, HotLink& link, HFONT& made) {
  void* chosen = link.HoverLook() ? link.HoverFont() : link.DefFont();
  if (chosen) return static_cast<HFONT>(chosen);
  HFONT parent = reinterpret_cast<HFONT>(::SendMessageA(::GetParent(h), WM_GETFONT, 0, 0));
  if (!link.HoverLook()) return parent ? parent : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  LOGFONTA lf;
  ::GetObjectA(parent ? parent : ::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  lf.lfUnderline = TRUE;
  made = ::CreateFontIndirectA(&lf);
  return made;
}

void Paint(HWND h, HDC dc, HotLink& link) {
  RECT rc;
  ::GetClientRect(h, &rc);
  HBRUSH back = ::CreateSolidBrush(Resolve(link.BackColor()));
  ::FillRect(dc, &rc, back);
  ::DeleteObject(back);
  HFONT made = nullptr;
  HGDIOBJ old = ::SelectObject(dc, FontFor(h, link, made));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, link.Enabled() ? Resolve(link.CurrentColor()) : ::GetSysColor(COLOR_GRAYTEXT));
  ::DrawTextA(dc, link.Caption().c_str(), -1, &rc, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  ::SelectObject(dc, old);
  if (made) ::DeleteObject(made);
}

void FitToText(HWND h, HotLink& link) {
  HDC dc = ::GetDC(h);
  HFONT made = nullptr;
  HGDIOBJ old = ::SelectObject(dc, FontFor(h, link, made));
  SIZE size;
  ::GetTextExtentPoint32A(dc, link.Caption().c_str(), static_cast<int>(link.Caption().size()), &size);
  ::SelectObject(dc, old);
  if (made) ::DeleteObject(made);
  ::ReleaseDC(h, dc);
  ::SetWindowPos(h, nullptr, 0, 0, size.cx + 2, size.cy + 2, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK LinkProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  HotLink* link = LinkOf(h);
  if (link) {
    try {
      switch (msg) {
        case WM_PAINT: {
          PAINTSTRUCT ps;
          HDC dc = ::BeginPaint(h, &ps);
          Paint(h, dc, *link);
          ::EndPaint(h, &ps);
          return 0;
        }
        case WM_SETCURSOR:
          // The program's wait pointer wins over the link's hand.
          if (!platform::ReapplyMousePointer())
            ::SetCursor(::LoadCursorA(nullptr, link->MousePointer() == 99 ? IDC_HAND : IDC_ARROW));
          return TRUE;
        case WM_MOUSEMOVE: {
          RECT rc;
          ::GetClientRect(h, &rc);
          link->MouseMove(static_cast<int>(wp & 3), 0, GET_X_LPARAM(lp), GET_Y_LPARAM(lp), rc.right, rc.bottom);
          return 0;
        }
        case WM_LBUTTONDOWN: link->MouseDown(1, 0, GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
        case WM_LBUTTONUP:
          link->MouseUp(1, 0, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
          link->DoClick();
          return 0;
      }
    } catch (...) {
    }
  }
  return ::DefWindowProcA(h, msg, wp, lp);
}

}  // namespace

void RegisterHotLinkClass() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = LinkProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = kClassName;
  ::RegisterClassA(&wc);
}

void RefreshHotLink(HotLink& link) {
  HWND h = static_cast<HWND>(link.hwnd());
  ::SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&link));
  if (link.AutoSize()) FitToText(h, link);
  ::EnableWindow(h, link.Enabled());
  ::InvalidateRect(h, nullptr, TRUE);
}

bool CaptureMouseFor(void* hwnd) {
  if (!hwnd) return true;
  HWND before = ::SetCapture(static_cast<HWND>(hwnd));
  return before == nullptr || before == static_cast<HWND>(hwnd);
}

bool ReleaseMouseFrom(void* hwnd) { return hwnd ? ::ReleaseCapture() != 0 : true; }

}  // namespace controls
