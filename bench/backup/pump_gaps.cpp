#include "pump_gaps.h"

#include <algorithm>
#include <chrono>

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/emulated/emulation.h"
#endif

namespace bench {

namespace {
using Clock = std::chrono::steady_clock;
Clock::time_point g_last, g_start;
double g_longest = 0, g_longestAt = 0;
int g_turns = 0;
bool g_on = false;

void Stamp() {
  if (!g_on) return;
  const auto now = Clock::now();
  const double gap = std::chrono::duration<double, std::milli>(now - g_last).count();
  if (gap > g_longest) {
    g_longest = gap;
    g_longestAt = std::chrono::duration<double>(now - g_start).count();
  }
  g_last = now;
  ++g_turns;
}

#ifdef _WIN32
UINT_PTR g_timer = 0;
void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) { Stamp(); }
#endif
}  // namespace

void PumpGaps::Start() {
  g_last = g_start = Clock::now();
  g_longest = g_longestAt = 0;
  g_turns = 0;
  g_on = true;
#ifdef _WIN32
  g_timer = ::SetTimer(nullptr, 0, 10, OnTimer);
#else
  static bool hooked = false;
  if (!hooked) platform::emu::AddDoEventsHook([] { Stamp(); });
  hooked = true;
#endif
}

double PumpGaps::Stop() {
  Stamp();
  g_on = false;
#ifdef _WIN32
  ::KillTimer(nullptr, g_timer);
#endif
  return g_longest;
}

int PumpGaps::Turns() const { return g_turns; }
double PumpGaps::LongestEndedAt() const { return g_longestAt; }

}  // namespace bench
