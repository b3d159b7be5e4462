// The zip libraries' files on the emulated machine: Windows paths mapped to
// host files by the emulated platform.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <cstdio>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "archive/EntryNames.h"
#include "archive/textcodes.h"
#include "archive/zipfs.h"
#include "platform/emulated/emulation.h"
#include "platform/files.h"

namespace ziplib::fs {

namespace {
// The host names of the folder used last, so that a folder of many files
// is read once per run rather than once per file (the emulated platform
// finds names without regard to letter case by reading the folder).
struct FolderNames {
  std::string host;
  std::map<std::string, std::string> names;  // folded ANSI name -> host name
};
std::map<std::string, FolderNames> g_folders;  // by folded folder path, a few at a time
std::mutex g_foldersMutex;                     // files are read on several threads
// The emulated platform keeps its own state (attributes): one caller at a time.
std::mutex g_platformMutex;

std::string Folded(const std::string& ansi) { return FoldedName(ansi); }

// Windows ignores trailing dots and blanks of a name.
std::string Bare(std::string leaf) {
  while (!leaf.empty() && (leaf.back() == '.' || leaf.back() == ' ')) leaf.pop_back();
  return leaf;
}

bool Split(const std::string& path, std::string& folder, std::string& leaf) {
  std::size_t cut = path.find_last_of('\\');
  if (cut == std::string::npos || cut + 1 >= path.size() || cut < 2) return false;
  folder = path.substr(0, cut);
  leaf = Bare(path.substr(cut + 1));
  return !leaf.empty();
}

FolderNames* Load(const std::string& folder) {
  auto found = g_folders.find(Folded(folder));
  if (found != g_folders.end()) return &found->second;
  std::string host = platform::emu::HostPath(folder);
  DIR* dir = host.empty() ? nullptr : ::opendir(host.c_str());
  if (!dir) return nullptr;
  if (g_folders.size() >= 16) g_folders.clear();
  FolderNames& f = g_folders[Folded(folder)];
  f.host = host;
  while (dirent* e = ::readdir(dir)) f.names[Folded(ziplib::Utf8ToAnsi(e->d_name))] = e->d_name;
  ::closedir(dir);
  return &f;
}

std::string Host(const std::string& path) {
  std::lock_guard<std::mutex> lock(g_foldersMutex);
  std::string folder, leaf;
  FolderNames* f = Split(path, folder, leaf) ? Load(folder) : nullptr;
  if (!f) return platform::emu::HostPath(path);
  auto it = f->names.find(Folded(leaf));
  return f->host + "/" + (it != f->names.end() ? it->second : ziplib::AnsiToUtf8(leaf));
}

bool Known(const std::string& path) {
  std::lock_guard<std::mutex> lock(g_foldersMutex);
  std::string folder, leaf;
  FolderNames* f = Split(path, folder, leaf) ? Load(folder) : nullptr;
  return f && f->names.count(Folded(leaf)) > 0;
}

void Note(const std::string& path, bool present) {
  std::lock_guard<std::mutex> lock(g_foldersMutex);
  std::string folder, leaf;
  if (!Split(path, folder, leaf)) return;
  auto found = g_folders.find(Folded(folder));
  if (found == g_folders.end()) return;
  if (present) found->second.names.emplace(Folded(leaf), ziplib::AnsiToUtf8(leaf));
  else found->second.names.erase(Folded(leaf));
}

std::string Joined(std::string folder, const std::string& name) {
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder + name;
}
}  // namespace

bool List(const std::string& folder, std::vector<Item>& out) {
  std::vector<platform::DirEntry> entries;
  {
    std::lock_guard<std::mutex> lock(g_platformMutex);
    if (!platform::ListFolder(Joined(folder, "*.*"), entries)) return false;
  }
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

bool MakeFolder(const std::string& path) {
  bool ok;
  {
    std::lock_guard<std::mutex> lock(g_platformMutex);
    ok = platform::CreateFolder(path);
  }
  if (ok) Note(path, true);
  return ok;
}

bool RemoveFile(const std::string& path) {
  bool ok;
  {
    std::lock_guard<std::mutex> lock(g_platformMutex);
    ok = platform::RemoveFile(path);
  }
  if (ok) Note(path, false);
  return ok;
}

bool MoveOnto(const std::string& from, const std::string& to) {
  bool ok;
  if (Known(to)) {
    std::lock_guard<std::mutex> lock(g_platformMutex);
    ok = platform::MoveFileReplace(from, to);  // the platform's rules for an existing file
  } else {
    std::string src = Host(from), dst = Host(to);
    ok = !src.empty() && !dst.empty() && ::rename(src.c_str(), dst.c_str()) == 0;
  }
  if (ok) {
    Note(from, false);
    Note(to, true);
  }
  return ok;
}

bool Stream::OpenRead(const std::string& path) {
  Close();
  std::string host = Host(path);
  int fd = host.empty() ? -1 : ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  handle_ = reinterpret_cast<void*>(static_cast<std::intptr_t>(fd) + 1);
  return true;
}

namespace {
void* CreateForWriting(const std::string& path, int flags) {
  std::string host = Host(path);
  int fd = host.empty() ? -1 : ::open(host.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | flags, 0644);
  if (fd < 0) return nullptr;
  Note(path, true);
  return reinterpret_cast<void*>(static_cast<std::intptr_t>(fd) + 1);
}
}  // namespace

bool Stream::Create(const std::string& path) {
  Close();
  handle_ = CreateForWriting(path, O_TRUNC);
  return handle_ != nullptr;
}

bool Stream::CreateNew(const std::string& path) {
  Close();
  // Windows finds an existing file whatever its letter case.
  if (Known(path)) return false;
  handle_ = CreateForWriting(path, O_EXCL);
  return handle_ != nullptr;
}

void Stream::SetModified(std::time_t mtime) {
  if (!handle_) return;
  int fd = static_cast<int>(reinterpret_cast<std::intptr_t>(handle_) - 1);
  struct timespec times[2] = {{mtime, 0}, {mtime, 0}};
  ::futimens(fd, times);
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
  if (!handle_ || !platform::emu::TakeDiskSpace(size)) return false;
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

bool Stream::SeekTo(std::uint64_t offset) {
  if (!handle_) return false;
  int fd = static_cast<int>(reinterpret_cast<std::intptr_t>(handle_) - 1);
  return ::lseek(fd, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

bool Stream::Close() {
  if (!handle_) return true;
  int fd = static_cast<int>(reinterpret_cast<std::intptr_t>(handle_) - 1);
  handle_ = nullptr;
  return ::close(fd) == 0;
}

zip_source_t* ReplacingSource(const std::string& path, zip_error_t* error) {
  std::string host = Host(path);
  if (host.empty()) {
    zip_error_set(error, ZIP_ER_OPEN, ENOENT);
    return nullptr;
  }
  return zip_source_file_create(host.c_str(), 0, -1, error);
}

void BeginRun() {
  {
    std::lock_guard<std::mutex> lock(g_foldersMutex);
    g_folders.clear();  // a new run: what others did since is not known
  }
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
