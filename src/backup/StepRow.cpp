#include "backup/StepRow.h"

#include "resources/resource.h"

namespace backup {

void StepLabel::Bold(bool bold) {
  bold_ = bold;
  if (Bound()) ShowBold(hwnd(), bold);
}

void StepLabel::PushState() {
  Label::PushState();
  ShowBold(hwnd(), bold_);
}

void StepMarker::Show(State state) {
  state_ = state;
  if (Bound()) ShowMarkerBitmap(hwnd(), MarkerBitmap(state));
}

void StepMarker::PushState() { ShowMarkerBitmap(hwnd(), MarkerBitmap(state_)); }

int MarkerBitmap(StepMarker::State state) {
  switch (state) {
    case StepMarker::kTick: return IDB_MARK_TICK;
    case StepMarker::kArrow0: return IDB_MARK_ARROW0;
    case StepMarker::kArrow1: return IDB_MARK_ARROW1;
    case StepMarker::kArrow2: return IDB_MARK_ARROW2;
    default: return IDB_MARK_NEUTRAL;
  }
}

}  // namespace backup
