// Painting of the progress bar: background, bar and caption drawn into an
// off-screen bitmap, then copied to the window in one step.
#include <windows.h>

#include "controls/ProgressBar.h"

namespace controls {

namespace {

const char kClassName[] = "QmProgressBar";

void DrawBar(HDC dc, const RECT& rc, ProgressBar& bar) {
  HBRUSH back = ::CreateSolidBrush(bar.BackColor());
  ::FillRect(dc, &rc, back);
  ::DeleteObject(back);
  HBRUSH edge = ::CreateSolidBrush(RGB(160, 160, 160));
  ::FrameRect(dc, &rc, edge);
  ::DeleteObject(edge);

  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  const int len = bar.FillLength(bar.Vertical() ? h : w);
  RECT fill;
  switch (bar.Direction()) {
    case 1: fill = {w - 2 - len, 2, w - 2, h - 2}; break;  // right to left
    case 2: fill = {2, h - 2 - len, w - 2, h - 2}; break;  // bottom to top
    case 3: fill = {2, 2, w - 2, 2 + len}; break;          // top to bottom
    default: fill = {2, 2, 2 + len, h - 2}; break;         // left to right
  }
  HBRUSH br = ::CreateSolidBrush(bar.BarColor());
  if (bar.SmoothScrolling()) {
    ::FillRect(dc, &fill, br);
  } else {  // blocks of 8 pixels with a gap of 2
    const bool vertical = bar.Vertical();
    const int from = vertical ? fill.top : fill.left, to = vertical ? fill.bottom : fill.right;
    for (int p = from; p < to; p += 10) {
      RECT b = fill;
      if (vertical) { b.top = p; b.bottom = p + 8 < to ? p + 8 : to; }
      else { b.left = p; b.right = p + 8 < to ? p + 8 : to; }
      ::FillRect(dc, &b, br);
    }
  }
  ::DeleteObject(br);

  if (!bar.ShowCaption()) return;
  HFONT font = static_cast<HFONT>(bar.Font() ? bar.Font() : ::GetStockObject(DEFAULT_GUI_FONT));
  HGDIOBJ oldFont = ::SelectObject(dc, font);
  ::SetBkMode(dc, TRANSPARENT);
  RECT text = {rc.left + bar.CaptionOffsetX(), rc.top + bar.CaptionOffsetY(),
               rc.right + bar.CaptionOffsetX(), rc.bottom + bar.CaptionOffsetY()};
  const std::string& caption = bar.Caption();
  if (bar.UseCaptionColor()) {
    ::SetTextColor(dc, bar.CaptionColor());
    ::DrawTextA(dc, caption.c_str(), -1, &text, static_cast<UINT>(bar.CaptionAlignment()));
  } else {  // dark over the background, white where it crosses the bar
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::DrawTextA(dc, caption.c_str(), -1, &text, static_cast<UINT>(bar.CaptionAlignment()));
    HRGN clip = ::CreateRectRgnIndirect(&fill);
    ::SelectClipRgn(dc, clip);
    ::SetTextColor(dc, RGB(255, 255, 255));
    ::DrawTextA(dc, caption.c_str(), -1, &text, static_cast<UINT>(bar.CaptionAlignment()));
    ::SelectClipRgn(dc, nullptr);
    ::DeleteObject(clip);
  }
  ::SelectObject(dc, oldFont);
}

void PaintInto(HWND hwnd, HDC target, ProgressBar& bar) {
  RECT rc;
  ::GetClientRect(hwnd, &rc);
  if (rc.right <= 0 || rc.bottom <= 0) return;
  HDC mem = ::CreateCompatibleDC(target);
  HBITMAP bmp = ::CreateCompatibleBitmap(target, rc.right, rc.bottom);
  HGDIOBJ old = ::SelectObject(mem, bmp);
  DrawBar(mem, rc, bar);
  ::BitBlt(target, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
  ::SelectObject(mem, old);
  ::DeleteObject(bmp);
  ::DeleteDC(mem);
}

LRESULT CALLBACK BarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* bar = reinterpret_cast<ProgressBar*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd, &ps);
      if (bar) PaintInto(hwnd, dc, *bar);
      ::EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SIZE: ::InvalidateRect(hwnd, nullptr, FALSE); return 0;
  }
  return ::DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

void RegisterProgressBarClass() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = BarProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = kClassName;
  ::RegisterClassA(&wc);
}

void PaintProgressBar(ProgressBar& bar) {
  HWND hwnd = static_cast<HWND>(bar.hwnd());
  ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&bar));
  HDC dc = ::GetDC(hwnd);
  PaintInto(hwnd, dc, bar);
  ::ReleaseDC(hwnd, dc);
}

}  // namespace controls
