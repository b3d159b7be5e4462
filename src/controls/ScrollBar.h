#pragma once
// A scroll bar that steps a whole number between Min and Max. Min is at the
// top (or left) end; Min may be the larger of the two, so that the upper
// arrow raises the value. Change is raised whenever the value changes.
#include <functional>

#include "controls/Control.h"

namespace controls {

class ScrollBar : public Control {
 public:
  int Min() const { return min_; }
  void Min(int value);
  int Max() const { return max_; }
  void Max(int value);
  int SmallChange() const { return smallChange_; }  // one arrow click
  void SmallChange(int value) { smallChange_ = value; }
  int LargeChange() const { return largeChange_; }  // one click beside the thumb
  void LargeChange(int value) { largeChange_ = value; }
  int Value() const { return value_; }
  // Kept inside the range.
  void Value(int value);
  std::function<void()> Change;

  // The scroll request the window reported (SB_LINEUP .. SB_BOTTOM, as
  // the system numbers them); headless, the arrow and page codes work too.
  void OnWindowNotify(int code) override;

  enum Request { kLineUp = 0, kLineDown = 1, kPageUp = 2, kPageDown = 3, kThumbPosition = 4,
                 kThumbTrack = 5, kTop = 6, kBottom = 7 };

 protected:
  void PushState() override;

 private:
  int Toward(int steps) const;  // steps from Min's end toward Max's
  int min_ = 0, max_ = 32767, value_ = 0, smallChange_ = 1, largeChange_ = 1;
};

// The window side (ScrollBar_win32.cpp; nothing without real windows): the
// range 0..span with the thumb at `position`, and where the thumb is being
// dragged.
void ScrollBarShow(void* hwnd, int span, int position);
int ScrollBarTrackPosition(void* hwnd);

}  // namespace controls
