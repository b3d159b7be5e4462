#pragma once
// Timers that tick on the user-interface thread while messages run: in a
// real message loop, in DoEvents, and on the emulated machine from its
// DoEvents by elapsed time (or when a test fires them).
#include <functional>

namespace platform {

using TimerId = int;

// Calls `tick` every `intervalMs` milliseconds until stopped; 0 on failure.
TimerId StartTimer(unsigned intervalMs, std::function<void()> tick);
void StopTimer(TimerId id);

}  // namespace platform
