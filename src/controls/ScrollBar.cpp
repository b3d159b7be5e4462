#include "controls/ScrollBar.h"

#include <algorithm>
#include <cstdlib>

namespace controls {

void ScrollBar::Min(int value) {
  min_ = value;
  Value(value_);
  if (Bound()) PushState();
}

void ScrollBar::Max(int value) {
  max_ = value;
  Value(value_);
  if (Bound()) PushState();
}

void ScrollBar::Value(int value) {
  value = std::clamp(value, std::min(min_, max_), std::max(min_, max_));
  if (value == value_) return;
  value_ = value;
  if (Bound()) PushState();
  if (Change) Change();
}

int ScrollBar::Toward(int steps) const { return max_ >= min_ ? steps : -steps; }

void ScrollBar::OnWindowNotify(int code) {
  switch (code) {
    case kLineUp: Value(value_ - Toward(smallChange_)); break;
    case kLineDown: Value(value_ + Toward(smallChange_)); break;
    case kPageUp: Value(value_ - Toward(largeChange_)); break;
    case kPageDown: Value(value_ + Toward(largeChange_)); break;
    case kThumbPosition:
    case kThumbTrack:
      if (Bound()) Value(min_ + Toward(ScrollBarTrackPosition(hwnd())));
      break;
    case kTop: Value(min_); break;
    case kBottom: Value(max_); break;
    default: break;
  }
}

void ScrollBar::PushState() { ScrollBarShow(hwnd(), std::abs(max_ - min_), std::abs(value_ - min_)); }

}  // namespace controls
