// The zip libraries' files on the emulated machine: Windows paths mapped to
// host files by the emulated platform.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "archive/zipfs.h"
#include "platform/emulated/emulation.h"
#include "platform/files.h"

namespace ziplib::fs {

namespace {
std::string Host(const std::string& path) { return platform::emu::HostPath(path); }
std::string Joined(std::string folder, const std::string& name) {
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder + name;
}
}  // namespace

bool List(const std::string& folder, std::vector<Item>& out) {
  std::vector<platform::DirEntry> entries;
  if (!platform::ListFolder(Joined(folder, "*.*"), entries)) return false;
  for (const auto& e : entries) {
    if (e.name == "." || e.name == "..") continue;
    Item item;
    if (!Stat(Joined(folder, e.name), item)) continue;
    item.name = e.name;
    out.push_back(item);
  }
  return true;
}

bool Stat(const std::string& path, Item& out) {
  struct stat st{};
  std::string host = Host(path);
  if (host.empty() || ::stat(host.c_str(), &st) != 0) return false;
  out.folder = S_ISDIR(st.st_mode);
  out.size = out.folder ? 0 : static_cast<std::uint64_t>(st.st_size);
  out.mtime = st.st_mtime;
  return true;
}

bool MakeFolder(const std::string& path) { return platform::CreateFolder(path); }
bool RemoveFile(const std::string& path) { return platform::RemoveFile(path); }
bool MoveOnto(const std::string& from, const std::string& to) {
  return platform::MoveFileReplace(from, to);
}

void SetModified(const std::string& path, std::time_t mtime) {
  struct timeval times[2] = {{mtime, 0}, {mtime, 0}};
  ::utimes(Host(path).c_str(), times);
}

bool Stream::OpenRead(const std::string& path) {
  Close();
  std::string host = Host(path);
  int fd = host.empty() ? -1 : ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  handle_ = reinterpret_cast<void*>(static_cast<std::intptr_t>(fd) + 1);
  return true;
}

bool Stream::Create(const std::string& path) {
  Close();
  std::string host = Host(path);
  int fd = host.empty() ? -1 : ::open(host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  handle_ = reinterpret_cast<void*>(static_cast<std::intptr_t>(fd) + 1);
  return true;
}

std::int64_t Stream::Read(void* buffer, std::size_t size) {
  if (!handle_) return -1;
  int fd = static_cast<int>(reinterpret_cast<std::intptr_t>(handle_) - 1);
  for (;;) {
    ssize_t n = ::read(fd, buffer, size);
    if (n >= 0) return n;
    if (errno != EINTR) return -1;
  }
}

bool Stream::Write(const void* data, std::size_t size) {
  if (!handle_) return false;
  int fd = static_cast<int>(reinterpret_cast<std::intptr_t>(handle_) - 1);
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::write(fd, p, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool Stream::Close() {
  if (!handle_) return true;
  int fd = static_cast<int>(reinterpret_cast<std::intptr_t>(handle_) - 1);
  handle_ = nullptr;
  return ::close(fd) == 0;
}

zip_source_t* ArchiveSource(const std::string& path, zip_error_t* error) {
  std::string host = Host(path);
  if (host.empty()) {
    zip_error_set(error, ZIP_ER_OPEN, ENOENT);
    return nullptr;
  }
  return zip_source_file_create(host.c_str(), 0, -1, error);
}

void KeepAllocatedMemory() {
#ifdef __GLIBC__
  static bool done = false;
  if (done) return;
  done = true;
  // A compressor's buffers (a few hundred KB) would otherwise be mapped and
  // unmapped once per entry, and the heap top trimmed after each: thousands
  // of page faults for a folder of small files.
  ::mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
  ::mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif
}

}  // namespace ziplib::fs
