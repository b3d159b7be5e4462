// The zip libraries' files on Windows, through the ANSI functions.
#include <windows.h>

#include <cstring>

#include "archive/zipfs.h"

namespace ziplib::fs {

namespace {
constexpr std::uint64_t kEpochDiff = 116444736000000000ULL;  // 1601 to 1970 in 100 ns

std::time_t ToTime(const FILETIME& ft) {
  std::uint64_t v = (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  return v < kEpochDiff ? 0 : static_cast<std::time_t>((v - kEpochDiff) / 10000000ULL);
}

FILETIME ToFileTime(std::time_t mtime) {
  std::uint64_t v = static_cast<std::uint64_t>(mtime) * 10000000ULL + kEpochDiff;
  return FILETIME{static_cast<DWORD>(v), static_cast<DWORD>(v >> 32)};
}

std::string Joined(std::string folder, const std::string& name) {
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder + name;
}

void Fill(const WIN32_FIND_DATAA& fd, Item& item) {
  item.name = fd.cFileName;
  item.folder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  item.size = item.folder ? 0 : (static_cast<std::uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
  item.mtime = ToTime(fd.ftLastWriteTime);
}

HANDLE H(void* handle) { return static_cast<HANDLE>(handle); }
}  // namespace

bool List(const std::string& folder, std::vector<Item>& out) {
  WIN32_FIND_DATAA fd;
  HANDLE find = ::FindFirstFileA(Joined(folder, "*.*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    if (std::strcmp(fd.cFileName, ".") == 0 || std::strcmp(fd.cFileName, "..") == 0) continue;
    Item item;
    Fill(fd, item);
    out.push_back(item);
  } while (::FindNextFileA(find, &fd));
  ::FindClose(find);
  return true;
}

bool Stat(const std::string& path, Item& out) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
  out.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  out.size = out.folder ? 0 : (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  out.mtime = ToTime(data.ftLastWriteTime);
  return true;
}

bool MakeFolder(const std::string& path) { return ::CreateDirectoryA(path.c_str(), nullptr) != 0; }
bool RemoveFile(const std::string& path) { return ::DeleteFileA(path.c_str()) != 0; }
bool MoveOnto(const std::string& from, const std::string& to) {
  return ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != 0;
}

bool Stream::OpenRead(const std::string& path) {
  Close();
  HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  handle_ = h;
  return true;
}

namespace {
HANDLE CreateForWriting(const std::string& path, DWORD disposition) {
  return ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}
}  // namespace

bool Stream::Create(const std::string& path) {
  Close();
  HANDLE h = CreateForWriting(path, CREATE_ALWAYS);
  if (h == INVALID_HANDLE_VALUE) return false;
  handle_ = h;
  return true;
}

bool Stream::CreateNew(const std::string& path) {
  Close();
  HANDLE h = CreateForWriting(path, CREATE_NEW);
  if (h == INVALID_HANDLE_VALUE) return false;
  handle_ = h;
  return true;
}

void Stream::SetModified(std::time_t mtime) {
  FILETIME ft = ToFileTime(mtime);
  if (handle_) ::SetFileTime(H(handle_), nullptr, nullptr, &ft);
}

std::int64_t Stream::Read(void* buffer, std::size_t size) {
  DWORD got = 0;
  if (!handle_ || !::ReadFile(H(handle_), buffer, static_cast<DWORD>(size), &got, nullptr)) return -1;
  return got;
}

bool Stream::Write(const void* data, std::size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    DWORD put = 0;
    DWORD chunk = static_cast<DWORD>(size > (1u << 30) ? (1u << 30) : size);
    if (!handle_ || !::WriteFile(H(handle_), p, chunk, &put, nullptr) || put == 0) return false;
    p += put;
    size -= put;
  }
  return true;
}

bool Stream::SeekTo(std::uint64_t offset) {
  LARGE_INTEGER to;
  to.QuadPart = static_cast<LONGLONG>(offset);
  return handle_ && ::SetFilePointerEx(H(handle_), to, nullptr, FILE_BEGIN);
}

bool Stream::Close() {
  if (!handle_) return true;
  bool ok = ::CloseHandle(H(handle_)) != 0;
  handle_ = nullptr;
  return ok;
}

zip_source_t* ReplacingSource(const std::string& path, zip_error_t* error) {
  // libzip takes char* names as UTF-8 on Windows; its "win32a" source keeps
  // the ANSI name as it is.
  return zip_source_win32a_create(path.c_str(), 0, -1, error);
}

void BeginRun() {}

}  // namespace ziplib::fs
