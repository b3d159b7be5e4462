#pragma once
// A stand-in program for the tests: the sleeper copied into the sandbox under
// a given file name and started; ended and removed on destruction.
#include <windows.h>

#include <memory>
#include <string>

#include "support/sandbox.h"
#include "support/window_driver_win32.h"

namespace testsupport {

class RunningAs {
 public:
  RunningAs(const testsupport::Sandbox& box, const std::string& name) : path_(box.Path(name)) {
    char self[MAX_PATH];
    std::string me(self, ::GetModuleFileNameA(nullptr, self, MAX_PATH));
    ::CopyFileA((me.substr(0, me.find_last_of('\\') + 1) + "qm_sleeper.exe").c_str(), path_.c_str(), FALSE);
    program_ = std::make_unique<StartedProgram>("\"" + path_ + "\"");
    ::Sleep(300);
  }
  ~RunningAs() {
    program_.reset();
    ::DeleteFileA(path_.c_str());
  }
  bool started() const { return program_->Started(); }

 private:
  std::string path_;
  std::unique_ptr<StartedProgram> program_;
};

}  // namespace testsupport
