// The scroll bar control's window: a system scroll bar (SB_CTL).
#include <windows.h>

#include "controls/ScrollBar.h"

namespace controls {

void ScrollBarShow(void* hwnd, int span, int position) {
  SCROLLINFO si = {};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
  si.nMin = 0;
  si.nMax = span;
  si.nPos = position;
  ::SetScrollInfo(static_cast<HWND>(hwnd), SB_CTL, &si, TRUE);
}

int ScrollBarTrackPosition(void* hwnd) {
  SCROLLINFO si = {};
  si.cbSize = sizeof si;
  si.fMask = SIF_TRACKPOS;
  ::GetScrollInfo(static_cast<HWND>(hwnd), SB_CTL, &si);
  return si.nTrackPos;
}

}  // namespace controls
