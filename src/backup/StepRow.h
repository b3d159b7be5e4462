#pragma once
// The two controls of a step row on the backup run page: a label that can be
// bold, and a marker picture showing one of the step states.
#include "controls/Control.h"

namespace backup {

class StepLabel : public controls::Label {
 public:
  bool Bold() const { return bold_; }
  void Bold(bool bold);

 protected:
  void PushState() override;

 private:
  bool bold_ = false;
};

class StepMarker : public controls::Control {
 public:
  enum State { kNeutral, kTick, kArrow0, kArrow1, kArrow2 };
  State Shown() const { return state_; }
  void Show(State state);
  // Arrow frame 0, 1 or 2.
  void ShowArrow(int frame) { Show(static_cast<State>(kArrow0 + frame)); }

 protected:
  void PushState() override;

 private:
  State state_ = kNeutral;
};

// The window side (StepRow_win32.cpp; nothing natively).
void ShowBold(void* hwnd, bool bold);
void ShowMarkerBitmap(void* hwnd, int bitmapId);
int MarkerBitmap(StepMarker::State state);

}  // namespace backup
