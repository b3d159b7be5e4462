// Files and folders of the emulated platform: Windows paths on host folders.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "platform/emulated/codepage.h"
#include "platform/emulated/state.h"
#include "platform/files.h"

namespace platform {
namespace {

using emu::state;

constexpr std::uint32_t kStoredBits = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;

std::string Key(const std::string& path) {
  std::string k = emu::Lower(emu::Absolute(path));
  while (k.size() > 3 && k.back() == '\\') k.pop_back();
  return k;
}

std::uint32_t Extra(const std::string& path) {
  auto it = state().attributes.find(Key(path));
  return it == state().attributes.end() ? 0 : it->second;
}

void Forget(const std::string& path) { state().attributes.erase(Key(path)); }

bool InUse(const std::string& path) { return state().inUse.count(Key(path)) > 0; }

bool HostStat(const std::string& host, struct stat& st) {
  return !host.empty() && ::stat(host.c_str(), &st) == 0;
}

bool ReadOnly(const std::string& path) { return (Extra(path) & kAttrReadOnly) != 0; }

// Windows wildcard match, letter case ignored ("*.*" matches every name).
bool Match(const char* pat, const char* name) {
  if (std::strcmp(pat, "*.*") == 0 || std::strcmp(pat, "*") == 0) return true;
  while (*pat) {
    if (*pat == '*') {
      ++pat;
      if (!*pat) return true;
      for (const char* n = name; *n; ++n)
        if (Match(pat, n)) return true;
      return Match(pat, "");
    }
    if (!*name) return false;
    if (*pat != '?' && std::tolower((unsigned char)*pat) != std::tolower((unsigned char)*name))
      return false;
    ++pat;
    ++name;
  }
  return *name == 0;
}

}  // namespace

bool CopyOneFile(const std::string& from, const std::string& to, bool bFailIfExists) {
  return CopyOneFile(from, to, bFailIfExists, nullptr);
}

bool CopyOneFile(const std::string& from, const std::string& to, bool bFailIfExists, const CopyTick& tick) {
  std::string src = emu::HostPath(from), dst = emu::HostPath(to);
  struct stat st{};
  if (!HostStat(src, st) || S_ISDIR(st.st_mode) || dst.empty()) return false;
  struct stat dt{};
  if (HostStat(dst, dt)) {
    if (bFailIfExists || S_ISDIR(dt.st_mode) || ReadOnly(to)) return false;
  }
  int in = ::open(src.c_str(), O_RDONLY);
  if (in < 0) return false;
  int out = ::open(dst.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (out < 0) {
    ::close(in);
    return false;
  }
  char buf[1 << 16];
  bool ok = true, stopped = false;
  std::uint64_t done = 0;
  for (;;) {
    ssize_t n = ::read(in, buf, sizeof buf);
    if (n < 0) { ok = false; break; }
    if (n == 0) break;
    if (tick && !tick(done, static_cast<std::uint64_t>(st.st_size))) {
      ok = false;
      stopped = true;
      break;
    }
    done += static_cast<std::uint64_t>(n);
    if (!emu::TakeDiskSpace(static_cast<std::size_t>(n))) { ok = false; break; }
    for (ssize_t done = 0; done < n;) {
      ssize_t w = ::write(out, buf + done, n - done);
      if (w <= 0) { ok = false; break; }
      done += w;
    }
    if (!ok) break;
  }
  ::close(in);
  if (::close(out) != 0) ok = false;
  if (stopped) ::unlink(dst.c_str());  // as Windows deletes a copy stopped by its progress routine
  if (ok) state().attributes[Key(to)] = Extra(from) | kAttrArchive;
  return ok;
}

bool RemoveFile(const std::string& path) {
  std::string host = emu::HostPath(path);
  struct stat st{};
  if (!HostStat(host, st) || S_ISDIR(st.st_mode) || ReadOnly(path) || InUse(path)) return false;
  if (::unlink(host.c_str()) != 0) return false;
  Forget(path);
  return true;
}

bool MoveFileReplace(const std::string& from, const std::string& to) {
  std::string src = emu::HostPath(from), dst = emu::HostPath(to);
  struct stat st{}, dt{};
  if (!HostStat(src, st) || dst.empty() || InUse(from) || InUse(to)) return false;
  if (HostStat(dst, dt) && (S_ISDIR(dt.st_mode) || ReadOnly(to))) return false;
  if (::rename(src.c_str(), dst.c_str()) != 0) return false;
  std::uint32_t bits = Extra(from);
  Forget(from);
  state().attributes[Key(to)] = bits;
  return true;
}

std::uint32_t GetAttributes(const std::string& path) {
  struct stat st{};
  if (!HostStat(emu::HostPath(path), st)) return kInvalidAttributes;
  std::uint32_t bits = Extra(path) & kStoredBits;
  if (S_ISDIR(st.st_mode)) bits |= kAttrDirectory;
  if (bits == 0) bits = kAttrNormal;
  return bits;
}

bool SetAttributes(const std::string& path, std::uint32_t attributes) {
  struct stat st{};
  if (!HostStat(emu::HostPath(path), st)) return false;
  std::uint32_t bits = attributes & kStoredBits;
  if (bits) state().attributes[Key(path)] = bits; else Forget(path);
  return true;
}

bool ListFolder(const std::string& pattern, std::vector<DirEntry>& out, std::size_t maxEntries) {
  out.clear();
  std::string abs = emu::Absolute(pattern);
  std::size_t cut = abs.find_last_of('\\');
  if (cut == std::string::npos) return false;
  std::string folder = abs.substr(0, cut + 1), spec = abs.substr(cut + 1);
  std::string host = emu::HostPath(folder);
  DIR* dir = host.empty() ? nullptr : ::opendir(host.c_str());
  if (!dir) return false;
  std::vector<std::string> names;
  std::vector<std::string> hostNames;
  while (dirent* e = ::readdir(dir)) hostNames.emplace_back(e->d_name);
  ::closedir(dir);
  for (const std::string& h : hostNames) names.push_back(emu::Utf8ToAnsi(h));
  // Windows lists "." and ".." first; keep a stable order for the rest.
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    bool da = a == "." || a == "..", db = b == "." || b == "..";
    if (da != db) return da;
    return emu::Lower(a) < emu::Lower(b);
  });
  for (const std::string& name : names) {
    if (out.size() >= maxEntries) break;
    if (!Match(spec.c_str(), name.c_str())) continue;
    DirEntry entry;
    entry.name = name;
    struct stat st{};
    if (::stat((host + "/" + emu::AnsiToUtf8(name)).c_str(), &st) != 0) continue;
    entry.attributes = (name == "." || name == "..") ? kAttrDirectory
                                                    : GetAttributes(folder + name);
    entry.size = S_ISDIR(st.st_mode) ? 0 : static_cast<std::uint64_t>(st.st_size);
    out.push_back(std::move(entry));
  }
  return true;
}

bool CreateFolder(const std::string& path) {
  std::string host = emu::HostPath(path);
  return !host.empty() && ::mkdir(host.c_str(), 0755) == 0;
}

bool RemoveFolder(const std::string& path) {
  std::string host = emu::HostPath(path);
  if (host.empty() || ::rmdir(host.c_str()) != 0) return false;
  Forget(path);
  return true;
}

bool IsDirectory(const std::string& path) {
  struct stat st{};
  return HostStat(emu::HostPath(path), st) && S_ISDIR(st.st_mode);
}

bool GetFileSize(const std::string& path, std::uint64_t& size) {
  struct stat st{};
  if (!HostStat(emu::HostPath(path), st)) return false;
  size = S_ISDIR(st.st_mode) ? 0 : static_cast<std::uint64_t>(st.st_size);
  return true;
}

bool FreeDiskSpace(const std::string& folder, std::uint64_t& bytes) {
  const std::int64_t limit = emu::DiskSpaceLeft();
  if (limit >= 0) {
    bytes = static_cast<std::uint64_t>(limit);
    return true;
  }
  struct statvfs vfs{};
  if (::statvfs(emu::HostPath(folder).c_str(), &vfs) != 0) return false;
  bytes = static_cast<std::uint64_t>(vfs.f_bavail) * vfs.f_frsize;
  return true;
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  std::string host = emu::HostPath(path);
  struct stat st{};
  if (!HostStat(host, st) || S_ISDIR(st.st_mode)) return false;
  std::ifstream in(host, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool CanReadExisting(const std::string& path) {
  std::string host = emu::HostPath(path);
  struct stat st{};
  if (host.empty() || !HostStat(host, st) || S_ISDIR(st.st_mode)) return false;
  FILE* f = std::fopen(host.c_str(), "rb");
  if (!f) return false;
  char byte = 0;
  const bool ok = std::fread(&byte, 1, 1, f) == 1 || !std::ferror(f);
  std::fclose(f);
  return ok;
}

bool CanWriteExisting(const std::string& path) {
  std::string host = emu::HostPath(path);
  struct stat st{};
  if (host.empty() || !HostStat(host, st)) {
    errno = ENOENT;
    return false;
  }
  if (S_ISDIR(st.st_mode) || ReadOnly(path)) {
    errno = EACCES;
    return false;
  }
  FILE* f = std::fopen(host.c_str(), "r+b");
  if (!f) return false;
  std::fclose(f);
  return true;
}

namespace {
bool Write(const std::string& path, const std::string& bytes, bool flush) {
  std::string host = emu::HostPath(path);
  struct stat st{};
  if (host.empty() || (HostStat(host, st) && (S_ISDIR(st.st_mode) || ReadOnly(path))))
    return false;
  FILE* f = std::fopen(host.c_str(), "wb");
  if (!f) return false;
  bool ok = emu::TakeDiskSpace(bytes.size()) && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (flush) ok = ok && std::fflush(f) == 0 && ::fsync(::fileno(f)) == 0;
  if (std::fclose(f) != 0) ok = false;
  return ok;
}
}  // namespace

bool WriteWholeFile(const std::string& path, const std::string& bytes) { return Write(path, bytes, false); }
bool WriteWholeFileFlushed(const std::string& path, const std::string& bytes) { return Write(path, bytes, true); }

bool AppendToFile(const std::string& path, const std::string& bytes) {
  std::string host = emu::HostPath(path);
  struct stat st{};
  const bool existed = HostStat(host, st);
  if (host.empty() || (existed && (S_ISDIR(st.st_mode) || ReadOnly(path)))) return false;
  FILE* f = std::fopen(host.c_str(), "ab");
  if (!f) return false;
  if (!existed) Forget(path);
  bool ok = emu::TakeDiskSpace(bytes.size()) && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0) ok = false;
  return ok;
}

bool ReadFileTail(const std::string& path, std::size_t maxBytes, std::string& bytes) {
  std::string host = emu::HostPath(path);
  struct stat st{};
  if (!HostStat(host, st) || S_ISDIR(st.st_mode)) return false;
  std::ifstream in(host, std::ios::binary);
  if (!in) return false;
  const auto size = static_cast<std::uint64_t>(st.st_size);
  const std::uint64_t want = std::min<std::uint64_t>(size, maxBytes);
  in.seekg(static_cast<std::streamoff>(size - want));
  std::string read(static_cast<std::size_t>(want), '\0');
  if (!in.read(&read[0], static_cast<std::streamsize>(read.size()))) return false;
  bytes = std::move(read);
  return true;
}

bool CreateNewFile(const std::string& path) {
  // The host path of an existing file is found whatever its letter case.
  std::string host = emu::HostPath(path);
  int fd = host.empty() ? -1 : ::open(host.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  ::close(fd);
  Forget(path);
  return true;
}

bool ExistingName(const std::string& path, std::string& name) {
  std::string host = emu::HostPath(path);
  struct stat st{};
  if (!HostStat(host, st)) return false;
  name = emu::Utf8ToAnsi(host.substr(host.find_last_of('/') + 1));
  return true;
}

std::string CurrentFolder() { return state().currentFolder; }

void emu::SetInUse(const std::string& path, bool inUse) {
  if (inUse) state().inUse.insert(Key(path));
  else state().inUse.erase(Key(path));
}

}  // namespace platform
