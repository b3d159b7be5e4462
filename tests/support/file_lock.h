#pragma once
// Holds a file so that nobody else can read it while the object lives.
#include <string>

namespace testsupport {

class FileLock {
 public:
  explicit FileLock(const std::string& path);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool ok() const { return ok_; }

 private:
  std::string path_, saved_;
  void* handle_ = nullptr;
  bool ok_ = false;
};

}  // namespace testsupport
