#pragma once
// Files and folders, addressed by Windows paths ("C:\dir\file.ext") in the
// ANSI code page. Failures are results, never exceptions.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

// Attribute bits, the values Windows uses.
enum FileAttr : std::uint32_t {
  kAttrReadOnly = 0x01,
  kAttrHidden = 0x02,
  kAttrSystem = 0x04,
  kAttrDirectory = 0x10,
  kAttrArchive = 0x20,
  kAttrNormal = 0x80,
};
constexpr std::uint32_t kInvalidAttributes = 0xFFFFFFFFu;

struct DirEntry {
  std::string name;        // name only, no folder
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
};

// True on success. With bFailIfExists an existing target makes it fail.
bool CopyOneFile(const std::string& from, const std::string& to, bool bFailIfExists);
// The same, calling `tick` between the pieces of a large file with the bytes
// copied so far and the file's size (so that the caller can keep its window
// alive and show how far it is). A tick that returns false stops the copy:
// it fails, and the part copied is removed.
using CopyTick = std::function<bool(std::uint64_t done, std::uint64_t size)>;
bool CopyOneFile(const std::string& from, const std::string& to, bool bFailIfExists, const CopyTick& tick);
bool RemoveFile(const std::string& path);            // fails on read-only files
bool MoveFileReplace(const std::string& from, const std::string& to);
std::uint32_t GetAttributes(const std::string& path);  // kInvalidAttributes if missing
bool SetAttributes(const std::string& path, std::uint32_t attributes);
// Entries matching a pattern such as "C:\dir\*.*" or "C:\dir\*.dbx", hidden and
// system entries included, "." and ".." included for folders as Windows lists them.
// At most maxEntries entries; false when the folder cannot be listed.
bool ListFolder(const std::string& pattern, std::vector<DirEntry>& out,
                std::size_t maxEntries = SIZE_MAX);
bool CreateFolder(const std::string& path);   // one level
bool RemoveFolder(const std::string& path);   // empty folders only
bool IsDirectory(const std::string& path);
// Size in bytes; false when the path does not exist.
bool GetFileSize(const std::string& path, std::uint64_t& size);
// Bytes the current user may still write on the disk that holds `folder`;
// false when it cannot be told.
bool FreeDiskSpace(const std::string& folder, std::uint64_t& bytes);
bool ReadWholeFile(const std::string& path, std::string& bytes);
// Creates or truncates.
bool WriteWholeFile(const std::string& path, const std::string& bytes);
// The same, and the bytes handed to the disk before it returns.
bool WriteWholeFileFlushed(const std::string& path, const std::string& bytes);
// Adds the bytes at the end of a file, making it when it is missing; what
// the file held stays as it was. Others may read it meanwhile.
bool AppendToFile(const std::string& path, const std::string& bytes);
// At most the last `maxBytes` bytes of a file; false when it cannot be read.
bool ReadFileTail(const std::string& path, std::size_t maxBytes, std::string& bytes);
// Creates an empty file; false when anything is already there.
bool CreateNewFile(const std::string& path);
// The name of the file or folder the system opens for `path` (letter case
// folded as the system folds it, a short 8.3 name found as well), as it is
// stored in its folder; false when nothing is there.
bool ExistingName(const std::string& path, std::string& name);
// Opens an existing file for writing, nobody else sharing it, and closes it
// again without changing a byte; false when it cannot be written (missing,
// read-only, locked by another program, a folder).
bool CanWriteExisting(const std::string& path);
// Opens an existing file for reading, as a copy would, reads its first byte
// and closes it; false when it cannot be read (missing, locked by another
// program, its start locked, a folder).
bool CanReadExisting(const std::string& path);
std::string CurrentFolder();  // without trailing "\" unless a root

}  // namespace platform
