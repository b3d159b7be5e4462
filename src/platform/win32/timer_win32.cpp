// Thread timers: SetTimer without a window, dispatched by any message loop
// of the thread (the wizard's, a modal dialog's, DoEvents).
#include <windows.h>

#include <map>

#include "platform/timer.h"

namespace platform {

namespace {
std::map<UINT_PTR, std::function<void()>>& Timers() {
  static std::map<UINT_PTR, std::function<void()>> timers;
  return timers;
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
  auto it = Timers().find(id);
  if (it == Timers().end()) return;
  auto tick = it->second;  // the tick may stop its own timer
  try {
    tick();
  } catch (...) {
  }
}
}  // namespace

TimerId StartTimer(unsigned intervalMs, std::function<void()> tick) {
  UINT_PTR id = ::SetTimer(nullptr, 0, intervalMs ? intervalMs : 1, OnTimer);
  if (!id) return 0;
  Timers()[id] = std::move(tick);
  return static_cast<TimerId>(id);
}

void StopTimer(TimerId id) {
  if (!id) return;
  ::KillTimer(nullptr, static_cast<UINT_PTR>(id));
  Timers().erase(static_cast<UINT_PTR>(id));
}

}  // namespace platform
