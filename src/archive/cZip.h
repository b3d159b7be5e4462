#pragma once
// cZip: packs the files below one folder into a ZIP archive through the zip
// library, asking its owner for the password and the comment through events.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "archive/ziplib.h"

class cZip {
 public:
  cZip();

  const std::string& ZipFile() const { return zipFile_; }
  void ZipFile(const std::string& value) { zipFile_ = value; }
  const std::string& BasePath() const { return basePath_; }
  void BasePath(const std::string& value) { basePath_ = value; }
  // With a password: AES-256, or the traditional cipher (compatible).
  void Encrypt(bool value, bool compatible = false) {
    options_.encrypt = !value ? kZpEncryptNone : compatible ? kZpEncryptTraditional : kZpEncryptAes256;
  }
  void AddComment(bool value) { options_.comment = value ? 1 : 0; }
  void StoreDirectories(bool value) { options_.noDirEntries = value ? 0 : 1; }
  void StoreFolderNames(bool value) { options_.junkDirNames = value ? 0 : 1; }
  void RecurseSubDirs(bool value) { options_.recurse = value ? 2 : 0; }

  void ClearFileSpecs() { specs_.clear(); }
  void AddFileSpec(const std::string& sSpec) { specs_.push_back(sSpec); }
  // One file from wherever it lies, packed under `entry` ("\" between
  // folders); it must keep its size until it is packed. Not counted against
  // the limit of file specs.
  void AddFileAs(const std::string& path, const std::string& entry) {
    specs_.push_back(kZpFileAs + path + kZpFileAs + entry);
  }
  const std::vector<std::string>& FileSpecs() const { return specs_; }
  // The option record as it goes to the library (its root folder aside).
  const ZpOptions& Options() const { return options_; }

  // Runs the library over the file specs; the result is kept.
  void Zip();
  bool Success() const { return lastResult_ == 0; }
  std::int32_t LastResult() const { return lastResult_; }

  // Events, in this order; the owner sets the ones it handles.
  std::function<void(const std::string& sMsg, bool& bCancel)> Cancel;
  std::function<void(std::string& sPassword, std::int32_t lMaxPasswordLength, bool bConfirm, bool& bCancel)>
      PasswordRequest;
  std::function<void(std::string& sComment, bool& bCancel)> CommentRequest;
  std::function<void(std::int32_t lCount, const std::string& sMsg)> Progress;
  // About every 50 ms while the files are packed: the bytes of them packed
  // so far and the size of them all (for a window that must stay alive and
  // show how far the run is). Setting bCancel stops the run there.
  std::function<void(std::uint64_t done, std::uint64_t total, bool& bCancel)> Bytes;
  // A file that could not be read whole (full path); the run fails.
  std::function<void(const std::string& path)> Unreadable;

 private:
  std::string zipFile_, basePath_;
  ZpOptions options_{};
  std::vector<std::string> specs_;
  std::int32_t lastResult_ = 0;
};
