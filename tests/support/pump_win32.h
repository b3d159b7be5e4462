#pragma once
// Lets the real windows of a Windows test run for `ms` milliseconds.
#include <windows.h>

namespace testsupport {

inline void Pump(int ms) {
  DWORD end = ::GetTickCount() + static_cast<DWORD>(ms);
  MSG msg;
  while (static_cast<LONG>(end - ::GetTickCount()) > 0) {
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    ::Sleep(10);
  }
}

}  // namespace testsupport
