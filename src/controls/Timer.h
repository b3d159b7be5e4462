#pragma once
// A timer control: while enabled it raises `Tick` every `Interval`
// milliseconds from the thread's message loop or DoEvents, bound or not.
#include <functional>

#include "platform/timer.h"

namespace controls {

class Timer {
 public:
  Timer() = default;
  ~Timer() { Stop(); }
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  unsigned Interval() const { return interval_; }
  void Interval(unsigned ms);
  bool Enabled() const { return enabled_; }
  void Enabled(bool enabled);
  std::function<void()> Tick;

 private:
  void Start();
  void Stop();
  unsigned interval_ = 0;
  bool enabled_ = false;
  platform::TimerId id_ = 0;
};

}  // namespace controls
