// Files and folders through kernel32's ANSI functions.
#include <windows.h>

#include <algorithm>

#include "platform/files.h"
#include "platform/win32/handle.h"

namespace platform {

using win32::FileHandle;
using win32::FindHandle;

bool CopyOneFile(const std::string& from, const std::string& to, bool bFailIfExists) {
  return ::CopyFileA(from.c_str(), to.c_str(), bFailIfExists ? TRUE : FALSE) != 0;
}

namespace {
// PROGRESS_CANCEL ends the copy and deletes the part copied.
DWORD CALLBACK CopyProgress(LARGE_INTEGER size, LARGE_INTEGER done, LARGE_INTEGER, LARGE_INTEGER, DWORD, DWORD,
                            HANDLE, HANDLE, LPVOID tick) {
  try {
    if (!(*static_cast<const CopyTick*>(tick))(static_cast<std::uint64_t>(done.QuadPart),
                                               static_cast<std::uint64_t>(size.QuadPart)))
      return PROGRESS_CANCEL;
  } catch (...) {
  }
  return PROGRESS_CONTINUE;
}
}  // namespace

bool CopyOneFile(const std::string& from, const std::string& to, bool bFailIfExists, const CopyTick& tick) {
  if (!tick) return CopyOneFile(from, to, bFailIfExists);
  return ::CopyFileExA(from.c_str(), to.c_str(), CopyProgress, const_cast<CopyTick*>(&tick), nullptr,
                       bFailIfExists ? COPY_FILE_FAIL_IF_EXISTS : 0) != 0;
}

bool RemoveFile(const std::string& path) { return ::DeleteFileA(path.c_str()) != 0; }

bool MoveFileReplace(const std::string& from, const std::string& to) {
  return ::MoveFileExA(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH) != 0;
}

std::uint32_t GetAttributes(const std::string& path) {
  DWORD a = ::GetFileAttributesA(path.c_str());
  return a == INVALID_FILE_ATTRIBUTES ? kInvalidAttributes : static_cast<std::uint32_t>(a);
}

bool SetAttributes(const std::string& path, std::uint32_t attributes) {
  return ::SetFileAttributesA(path.c_str(), attributes) != 0;
}

bool ListFolder(const std::string& pattern, std::vector<DirEntry>& out, std::size_t maxEntries) {
  out.clear();
  WIN32_FIND_DATAA fd;
  FindHandle find(::FindFirstFileA(pattern.c_str(), &fd));
  if (!find) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    if (out.size() >= maxEntries) break;
    DirEntry e;
    e.name = fd.cFileName;
    e.attributes = fd.dwFileAttributes;
    e.size = (static_cast<std::uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
    out.push_back(std::move(e));
  } while (::FindNextFileA(find.get(), &fd));
  return true;
}

bool CreateFolder(const std::string& path) { return ::CreateDirectoryA(path.c_str(), nullptr) != 0; }
bool RemoveFolder(const std::string& path) { return ::RemoveDirectoryA(path.c_str()) != 0; }

bool IsDirectory(const std::string& path) {
  DWORD a = ::GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool GetFileSize(const std::string& path, std::uint64_t& size) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
  size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return true;
}

bool FreeDiskSpace(const std::string& folder, std::uint64_t& bytes) {
  ULARGE_INTEGER available;
  if (!::GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr)) return false;
  bytes = available.QuadPart;
  return true;
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  FileHandle f(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f) return false;
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(f.get(), &size) || size.QuadPart > 0x7FFFFFFF) return false;
  bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
    if (!::ReadFile(f.get(), &bytes[done], want, &got, nullptr) || got == 0) return false;
    done += got;
  }
  return true;
}

bool CanWriteExisting(const std::string& path) {
  // The attribute is asked first: a process with backup rights (or a
  // compatibility layer running as the superuser) opens read-only files anyway.
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  FileHandle f(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(f);
}

bool CanReadExisting(const std::string& path) {
  FileHandle f(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f) return false;
  char byte = 0;
  DWORD got = 0;
  return ::ReadFile(f.get(), &byte, 1, &got, nullptr) != 0;
}

namespace {
// Writes every byte into an open file (flushed when asked) and closes it;
// false when any step fails.
bool WriteAllAndClose(FileHandle f, const std::string& bytes, bool flush) {
  if (!f) return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD put = 0;
    DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
    if (!::WriteFile(f.get(), bytes.data() + done, want, &put, nullptr) || put == 0) return false;
    done += put;
  }
  if (flush && !::FlushFileBuffers(f.get())) return false;
  HANDLE h = f.release();
  return ::CloseHandle(h) != 0;
}

bool Write(const std::string& path, const std::string& bytes, bool flush) {
  return WriteAllAndClose(FileHandle(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                   FILE_ATTRIBUTE_NORMAL, nullptr)),
                          bytes, flush);
}
}  // namespace

bool WriteWholeFile(const std::string& path, const std::string& bytes) { return Write(path, bytes, false); }
bool WriteWholeFileFlushed(const std::string& path, const std::string& bytes) { return Write(path, bytes, true); }

bool AppendToFile(const std::string& path, const std::string& bytes) {
  // Opened for appending only: every write goes to the end, nothing before
  // it can be overwritten.
  return WriteAllAndClose(FileHandle(::CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)),
                          bytes, false);
}

bool ReadFileTail(const std::string& path, std::size_t maxBytes, std::string& bytes) {
  FileHandle f(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size;
  if (!f || !::GetFileSizeEx(f.get(), &size)) return false;
  const std::uint64_t total = static_cast<std::uint64_t>(size.QuadPart);
  const std::uint64_t want = std::min<std::uint64_t>(total, maxBytes);
  LARGE_INTEGER from;
  from.QuadPart = static_cast<LONGLONG>(total - want);
  if (!::SetFilePointerEx(f.get(), from, nullptr, FILE_BEGIN)) return false;
  std::string read(static_cast<std::size_t>(want), '\0');
  std::size_t done = 0;
  while (done < read.size()) {
    DWORD got = 0;
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(read.size() - done, 1 << 20));
    if (!::ReadFile(f.get(), &read[done], chunk, &got, nullptr) || got == 0) return false;
    done += got;
  }
  bytes = std::move(read);
  return true;
}

bool CreateNewFile(const std::string& path) {
  FileHandle f(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f) return false;
  HANDLE h = f.release();
  return ::CloseHandle(h) != 0;
}

bool ExistingName(const std::string& path, std::string& name) {
  // Without wildcards the search finds the one entry the system opens for
  // this name, through its short name too, and reports its long name.
  if (path.find_first_of("*?") != std::string::npos) return false;
  WIN32_FIND_DATAA fd;
  FindHandle find(::FindFirstFileA(path.c_str(), &fd));
  if (!find) return false;
  name = fd.cFileName;
  return true;
}

std::string CurrentFolder() {
  char buf[MAX_PATH + 1];
  DWORD n = ::GetCurrentDirectoryA(sizeof buf, buf);
  return (n == 0 || n > MAX_PATH) ? std::string() : std::string(buf, n);
}

}  // namespace platform
