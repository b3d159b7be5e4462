// The step rows' window side: a bold copy of the label's font, and the
// marker bitmaps with their background in the window colour.
#include <windows.h>

#include "backup/StepRow.h"

namespace backup {

namespace {

// The dialog's font and its bold twin, made once and kept for the program's
// lifetime (the page lives as long as the wizard).
struct Fonts {
  HFONT normal = nullptr;
  HFONT bold = nullptr;
  ~Fonts() {
    if (bold) ::DeleteObject(bold);
  }
};

Fonts& FontsFor(HWND h) {
  static Fonts fonts;
  if (!fonts.normal) {
    fonts.normal = reinterpret_cast<HFONT>(::SendMessageA(::GetParent(h), WM_GETFONT, 0, 0));
    LOGFONTA lf{};
    if (fonts.normal && ::GetObjectA(fonts.normal, sizeof lf, &lf)) {
      lf.lfWeight = FW_BOLD;
      fonts.bold = ::CreateFontIndirectA(&lf);
    }
  }
  return fonts;
}

}  // namespace

void ShowBold(void* hwnd, bool bold) {
  HWND h = static_cast<HWND>(hwnd);
  if (!h) return;
  Fonts& f = FontsFor(h);
  HFONT font = bold && f.bold ? f.bold : f.normal;
  if (font) ::SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void ShowMarkerBitmap(void* hwnd, int bitmapId) {
  HWND h = static_cast<HWND>(hwnd);
  if (!h) return;
  // The bitmaps are palette images whose first pixel is the background.
  HBITMAP bmp = static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmapId),
                                                  IMAGE_BITMAP, 0, 0, LR_LOADTRANSPARENT));
  HBITMAP old = reinterpret_cast<HBITMAP>(
      ::SendMessageA(h, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bmp)));
  if (old && old != bmp) ::DeleteObject(old);
}

}  // namespace backup
