#pragma once
// A fresh folder per test, addressed by a Windows path, on either build:
// natively a host folder mapped as drive T: of the emulated machine (which is
// reset), on Windows a new folder below the real temporary folder.
#include <string>

namespace testsupport {

class Sandbox {
 public:
  Sandbox();
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  // The sandbox folder, ending in "\".
  const std::string& Root() const { return root_; }
  std::string Path(const std::string& relative) const { return root_ + relative; }

  // Helpers that do not go through the code under test.
  void WriteFile(const std::string& relative, const std::string& bytes) const;
  void MakeFolder(const std::string& relative) const;
  bool Exists(const std::string& relative) const;

 private:
  std::string root_;
  std::string host_;  // native only
};

// The bytes of a file through the platform; empty when it cannot be read.
std::string FileBytes(const std::string& path);

// True when the tests run on real Windows (or Wine).
constexpr bool kRealWindows =
#ifdef _WIN32
    true;
#else
    false;
#endif

}  // namespace testsupport
