// For the fault runs: with QM_KILL_AT_RECORD_WRITE=N in the environment the
// process ends itself, as a kill would (no clean-up of any kind), as write N
// of its run record begins.
#pragma once
#include <cstdlib>
#include <string>

#include "helpers/RunRecord.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace bench {

inline void KillAtRecordWriteFromEnvironment() {
  const char* at = std::getenv("QM_KILL_AT_RECORD_WRITE");
  if (!at || std::atoi(at) <= 0) return;
  const int kill = std::atoi(at);
  RunRecord::SetWriteHook([kill, writes = 0](const std::string&) mutable {
    if (++writes == kill) {
#ifdef _WIN32
      TerminateProcess(GetCurrentProcess(), 9);
#else
      ::_exit(9);
#endif
    }
    return true;
  });
}

}  // namespace bench
