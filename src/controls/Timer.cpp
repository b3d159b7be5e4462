#include "controls/Timer.h"

namespace controls {

// As with the system's timer control, an interval of 0 keeps it silent.
void Timer::Interval(unsigned ms) {
  interval_ = ms;
  if (enabled_) {
    Stop();
    Start();
  }
}

void Timer::Enabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (enabled) Start();
  else Stop();
}

void Timer::Start() {
  if (interval_ == 0 || id_) return;
  id_ = platform::StartTimer(interval_, [this] {
    if (enabled_ && Tick) Tick();
  });
}

void Timer::Stop() {
  if (id_) platform::StopTimer(id_);
  id_ = 0;
}

}  // namespace controls
