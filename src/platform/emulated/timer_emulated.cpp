// Timers of the emulated machine: due ones tick from DoEvents by elapsed
// time; tests may also fire every running timer at once.
#include <chrono>

#include "platform/emulated/state.h"
#include "platform/timer.h"

namespace platform {

namespace {
std::chrono::steady_clock::time_point Now() { return std::chrono::steady_clock::now(); }
}  // namespace

TimerId StartTimer(unsigned intervalMs, std::function<void()> tick) {
  auto& s = emu::state();
  TimerId id = s.nextTimerId++;
  s.timers[id] = {intervalMs, Now(), std::move(tick)};
  return id;
}

void StopTimer(TimerId id) { emu::state().timers.erase(id); }

namespace emu {

void RunDueTimers() {
  auto& s = state();
  std::vector<TimerId> due;
  auto now = Now();
  for (auto& [id, t] : s.timers)
    if (now - t.last >= std::chrono::milliseconds(t.intervalMs)) due.push_back(id);
  for (TimerId id : due) {
    auto it = s.timers.find(id);
    if (it == s.timers.end()) continue;  // stopped by an earlier tick
    it->second.last = now;
    auto tick = it->second.tick;
    tick();
  }
}

int FireTimers() {
  auto& s = state();
  std::vector<TimerId> ids;
  for (auto& entry : s.timers) ids.push_back(entry.first);
  int fired = 0;
  for (TimerId id : ids) {
    auto it = s.timers.find(id);
    if (it == s.timers.end()) continue;
    auto tick = it->second.tick;
    tick();
    ++fired;
  }
  return fired;
}

int RunningTimers() { return static_cast<int>(state().timers.size()); }

}  // namespace emu
}  // namespace platform
