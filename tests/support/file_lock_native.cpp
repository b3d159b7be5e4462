// The emulated machine has no sharing modes: the file's host name is made a
// link to memory that cannot be read (reads fail with an I/O error even for
// the superuser), and put back afterwards.
#include <unistd.h>

#include <cstdio>

#include "support/file_lock.h"
#include "platform/emulated/emulation.h"
#include "platform/files.h"

namespace testsupport {

FileLock::FileLock(const std::string& path) : path_(path) {
  std::string host = platform::emu::HostPath(path);
  ok_ = !host.empty() && platform::ReadWholeFile(path, saved_) && ::unlink(host.c_str()) == 0 &&
        ::symlink("/proc/self/mem", host.c_str()) == 0;
}

FileLock::~FileLock() {
  if (!ok_) return;
  ::unlink(platform::emu::HostPath(path_).c_str());
  platform::WriteWholeFile(path_, saved_);
}

}  // namespace testsupport
