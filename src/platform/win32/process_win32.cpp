// The process list through the process status functions.
#include <windows.h>
#include <psapi.h>

#include "platform/process.h"
#include "platform/win32/handle.h"

namespace platform {

bool IsNtPlatform() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!::GetVersionExA(&info)) return false;
#pragma GCC diagnostic pop
  return info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

std::vector<ProcessInfo> ListProcesses(void (*beforeEach)()) {
  std::vector<ProcessInfo> out;
  // Grow the id buffer until the system no longer fills it completely.
  std::vector<DWORD> ids(4);
  DWORD bytes = 0;
  for (;;) {
    if (!::EnumProcesses(ids.data(), static_cast<DWORD>(ids.size() * sizeof(DWORD)), &bytes)) return out;
    if (bytes < ids.size() * sizeof(DWORD)) break;
    ids.resize(ids.size() * 2);
  }
  ids.resize(bytes / sizeof(DWORD));

  for (DWORD id : ids) {
    if (beforeEach) beforeEach();
    win32::FileHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id));
    if (!process) continue;
    HMODULE modules[50];
    DWORD needed = 0;
    if (!::EnumProcessModules(process.get(), modules, sizeof modules, &needed) || needed == 0) continue;
    char path[MAX_PATH] = {};
    DWORD n = ::GetModuleFileNameExA(process.get(), modules[0], path, MAX_PATH);
    ProcessInfo info;
    info.id = id;
    info.exePath.assign(path, n);
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (::GetProcessMemoryInfo(process.get(), &counters, sizeof counters))
      info.workingSet = counters.WorkingSetSize;
    out.push_back(std::move(info));
  }
  return out;
}

std::uint32_t CurrentProcessId() { return ::GetCurrentProcessId(); }

bool ProcessRunning(std::uint32_t id) {
  HANDLE h = ::OpenProcess(SYNCHRONIZE, FALSE, id);
  if (!h) return ::GetLastError() != ERROR_INVALID_PARAMETER;  // no such process
  const bool running = ::WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
  ::CloseHandle(h);
  return running;
}

}  // namespace platform
