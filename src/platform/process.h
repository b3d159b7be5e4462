#pragma once
// The running processes: their ids, executable paths and working sets.
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct ProcessInfo {
  std::uint32_t id = 0;
  std::string exePath;            // as the system reports the first module
  std::uint64_t workingSet = 0;   // bytes
};

// True on the Windows NT family (GetVersionEx platform id 2).
bool IsNtPlatform();

// The processes that could be opened and queried, in the order the system
// lists them; others are left out. `beforeEach` runs before each process is
// looked at (the callers let window messages run there).
std::vector<ProcessInfo> ListProcesses(void (*beforeEach)() = nullptr);

std::uint32_t CurrentProcessId();
// Whether a process of this id still runs; one that cannot be asked is
// taken as running.
bool ProcessRunning(std::uint32_t id);

}  // namespace platform
