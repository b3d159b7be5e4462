#pragma once
// cUnzip: lists a ZIP archive, reads its comment and extracts the selected
// entries through the unzip library, asking its owner through events.
#include <cstdint>
#include <ctime>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "archive/ziplib.h"

// A run-time error of a library run, raised again to the caller with the
// source "<program>.VBUnzip".
class UnzipError : public std::runtime_error {
 public:
  UnzipError(std::int32_t number, const std::string& description, const std::string& source)
      : std::runtime_error(description), Number(number), Source(source) {}
  std::int32_t Number;
  std::string Source;
};

struct UnzipEntry {
  std::string Filename;       // after the last "\"
  std::string FileDirectory;  // before it, "\" between folders; "" at the root
  bool FileSelected = true;
  bool FileEncrypted = false;
  bool FileAes = false;  // encrypted with AES (else, when encrypted, the traditional cipher)
  std::uint64_t Size = 0, CompressedSize = 0;
  std::int32_t Factor = 0;
  std::uint32_t Crc = 0;
  std::string Method;
  std::tm Date{};
};

class cUnzip {
 public:
  const std::string& ZipFile() const { return zipFile_; }
  void ZipFile(const std::string& value);  // empties the entry list
  void UnzipFolder(const std::string& value) { unzipFolder_ = value; }
  void UseFolderNames(bool value) { options_.restorePaths = value ? 1 : 0; }
  void OverwriteExisting(bool value) { options_.overwriteAll = value ? 1 : 0; }

  // Lists the archive into the entry list (appending) and fills Comment.
  void Directory();
  std::int32_t FileCount() const { return static_cast<std::int32_t>(entries_.size()); }
  // 1-based; an index out of range gives "" / false.
  std::string Filename(std::int32_t lIndex) const;
  std::string FileDirectory(std::int32_t lIndex) const;
  bool FileSelected(std::int32_t lIndex) const;
  void FileSelected(std::int32_t lIndex, bool value);
  const std::vector<UnzipEntry>& Entries() const { return entries_; }
  const std::string& Comment() const { return comment_; }

  // Extracts the selected entries into UnzipFolder. True when the library
  // reports that every one of them was extracted.
  bool Unzip();
  // Reads every selected entry back and checks its CRC, writing nothing.
  // True when the library reports that every one of them read back.
  bool Test();
  // The library's result of the last run (0: everything went well).
  std::int32_t LastResult() const { return lastResult_; }

  // Events, in this order; the owner sets the ones it handles.
  std::function<void(const std::string& sMsg, bool& bCancel)> Cancel;
  std::function<void(const std::string& sFile, std::int32_t& lResponse)> OverwritePrompt;
  std::function<void(std::string& sPassword, bool& bCancel)> PasswordRequest;
  std::function<void(std::int32_t lCount, const std::string& sMsg)> Progress;
  // About every 50 ms while entries are read or extracted, with the bytes of
  // them read so far (for a window that must stay alive and show how far the
  // run is). Setting bCancel stops the run there: the entries being read are
  // given up, no file of them is left, and the run's result is kUzAbort.
  std::function<void(std::uint64_t bytesRead, bool& bCancel)> Tick;

 private:
  friend struct UnzipRunAccess;
  void Run(const std::vector<std::string>& includes);
  bool RunSelected(bool test);
  const UnzipEntry* At(std::int32_t lIndex) const;

  std::string zipFile_, unzipFolder_, comment_;
  UzOptions options_{};
  std::vector<UnzipEntry> entries_;
  std::int32_t lastResult_ = 0;
};
