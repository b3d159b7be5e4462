// The emulated machine's process list: what the test says runs.
#include "platform/emulated/state.h"
#include "platform/process.h"

#include <unistd.h>

namespace platform {

bool IsNtPlatform() { return (emu::state().versionWord & 0x80000000u) == 0; }

std::vector<ProcessInfo> ListProcesses(void (*beforeEach)()) {
  // A snapshot, as the system takes one: `beforeEach` may run a test's
  // hook that changes the processes meanwhile.
  const std::vector<ProcessInfo> snapshot = emu::state().processes;
  std::vector<ProcessInfo> out;
  for (const ProcessInfo& p : snapshot) {
    if (beforeEach) beforeEach();
    out.push_back(p);
  }
  return out;
}

std::uint32_t CurrentProcessId() { return static_cast<std::uint32_t>(::getpid()); }

bool ProcessRunning(std::uint32_t id) {
  if (id == CurrentProcessId()) return true;
  for (const ProcessInfo& p : emu::state().processes)
    if (p.id == id) return true;
  return false;
}

namespace emu {
void SetProcesses(std::vector<ProcessInfo> processes) { state().processes = std::move(processes); }
}  // namespace emu

}  // namespace platform
