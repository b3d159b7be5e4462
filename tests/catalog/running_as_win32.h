#pragma once
// A stand-in program for the tests: the sleeper copied into the sandbox under
// a given file name and started; ended and removed on destruction.
#include <windows.h>

#include <string>

#include "support/sandbox.h"

namespace testsupport {

class RunningAs {
 public:
  RunningAs(const testsupport::Sandbox& box, const std::string& name) : path_(box.Path(name)) {
    char self[MAX_PATH];
    std::string me(self, ::GetModuleFileNameA(nullptr, self, MAX_PATH));
    std::string sleeper = me.substr(0, me.find_last_of('\\') + 1) + "qm_sleeper.exe";
    ::CopyFileA(sleeper.c_str(), path_.c_str(), FALSE);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::string cmd = "\"" + path_ + "\"";
    started_ = ::CreateProcessA(path_.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_);
    ::Sleep(300);
  }
  ~RunningAs() {
    if (started_) {
      ::TerminateProcess(pi_.hProcess, 0);
      ::WaitForSingleObject(pi_.hProcess, 5000);
      ::CloseHandle(pi_.hProcess);
      ::CloseHandle(pi_.hThread);
    }
    ::DeleteFileA(path_.c_str());
  }
  bool started() const { return started_; }

 private:
  std::string path_;
  PROCESS_INFORMATION pi_ = {};
  bool started_ = false;
};

}  // namespace testsupport
