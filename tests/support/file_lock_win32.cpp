// A file held open without sharing: what a running mail client does to
// its message store.
#include <windows.h>

#include "support/file_lock.h"

namespace testsupport {

FileLock::FileLock(const std::string& path) : path_(path) {
  HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  ok_ = h != INVALID_HANDLE_VALUE;
  handle_ = ok_ ? h : nullptr;
}

FileLock::~FileLock() {
  if (handle_) ::CloseHandle(static_cast<HANDLE>(handle_));
}

}  // namespace testsupport
