#pragma once
// The files the zip libraries read and write, addressed by ANSI Windows
// paths: the real file system on Windows, the emulated machine natively.
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include <zip.h>

namespace ziplib::fs {

struct Item {
  std::string name;  // name only
  bool folder = false;
  std::uint64_t size = 0;
  std::time_t mtime = 0;
};

// Entries of a folder (no "." and ".."); false when it cannot be listed.
bool List(const std::string& folder, std::vector<Item>& out);
// What is at `path`; false when nothing is.
bool Stat(const std::string& path, Item& out);
bool MakeFolder(const std::string& path);  // one level
bool RemoveFile(const std::string& path);
// Moves `from` onto `to`, replacing it.
bool MoveOnto(const std::string& from, const std::string& to);

// A file opened for streaming; closes itself.
class Stream {
 public:
  Stream() = default;
  ~Stream() { Close(); }
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;

  bool OpenRead(const std::string& path);
  bool Create(const std::string& path);  // creates or truncates
  bool CreateNew(const std::string& path);  // false when the file exists
  // The file's last-write time, kept when the file is closed.
  void SetModified(std::time_t mtime);
  // Bytes read (0 at the end), -1 on error.
  std::int64_t Read(void* buffer, std::size_t size);
  bool Write(const void* data, std::size_t size);
  bool SeekTo(std::uint64_t offset);
  bool Close();  // false when writing the last bytes failed
  bool IsOpen() const { return handle_ != nullptr; }

 private:
  void* handle_ = nullptr;
};

// A libzip source for writing the archive `path`; null with `error` set on
// failure. A new archive (no file there yet, or an empty one the caller
// made for it) is written straight into that file, which is removed or left
// empty again when the write fails: libzip makes no temporary beside it,
// whose name a killed run would leave unknown. An existing archive is
// replaced through libzip's own temporary file, so that a failed write
// keeps it (ReplacingSource).
zip_source_t* ArchiveSource(const std::string& path, zip_error_t* error);
zip_source_t* ReplacingSource(const std::string& path, zip_error_t* error);
// A read-only libzip source for an archive that reads ahead in large blocks:
// libzip asks for small pieces and seeks before each, which costs a system
// call apiece (and a server round trip under Wine).
zip_source_t* BufferedArchiveSource(const std::string& path, zip_error_t* error);

// Called when a library run starts: forgets what the file access remembered
// of folders, and keeps the C library from handing freed memory back to the
// system after every entry (each entry allocates and frees a compressor).
void BeginRun();

}  // namespace ziplib::fs
