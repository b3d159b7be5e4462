// Finding the mail client and the messenger among the running processes.
#include "catalog/ProcessLookup.h"

#include <gtest/gtest.h>

#include "support/sandbox.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/files.h"
#else
#include "platform/emulated/emulation.h"
#endif

namespace {

#ifndef _WIN32
TEST(ProcessLookup, WholeFileNameInAnyLetterCase) {
  testsupport::Sandbox box;
  platform::emu::SetProcesses({{4, "C:\\WINDOWS\\explorer.exe", 30 << 20},
                               {8, "C:\\Program Files\\Outlook Express\\MSIMN.EXE", 5 << 20},
                               {9, "C:\\Tools\\xmsimn.exe", 1 << 20}});
  EXPECT_EQ(catalog::ProcessLookup(" msimn.exe "), "5120");
  EXPECT_EQ(catalog::ProcessLookup("msmsgs.exe"), "");
  EXPECT_EQ(catalog::ProcessLookup("imn.exe"), "");
}

TEST(ProcessLookup, LastMatchCountsAndWindowMessagesRun) {
  testsupport::Sandbox box;
  platform::emu::SetProcesses({{1, "C:\\a\\msmsgs.exe", 2048}, {2, "C:\\b\\msmsgs.exe", 4096}});
  int before = platform::emu::DoEventsCount();
  EXPECT_EQ(catalog::ProcessLookup("msmsgs.exe"), "4");
  EXPECT_EQ(platform::emu::DoEventsCount() - before, 2);
}

TEST(ProcessLookup, NothingOutsideTheNtFamily) {
  testsupport::Sandbox box;
  platform::emu::SetVersionWord(0xC0000A04u);  // the 95/98/Me family
  platform::emu::SetProcesses({{8, "C:\\msimn.exe", 4096}});
  EXPECT_EQ(catalog::ProcessLookup("msimn.exe"), "");
}
#else
// Starts the sleeper program copied under `name`; ended and removed on destruction.
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

TEST(ProcessLookup, RealProcessesUnderWine) {
  testsupport::Sandbox box;
  EXPECT_EQ(catalog::ProcessLookup("msimn.exe"), "");
  {
    RunningAs decoy(box, "xmsimn.exe");
    ASSERT_TRUE(decoy.started());
    EXPECT_EQ(catalog::ProcessLookup("msimn.exe"), "");  // the whole name must match
  }
  RunningAs client(box, "msimn.exe");
  ASSERT_TRUE(client.started());
  std::string kb = catalog::ProcessLookup("MSIMN.EXE");
  EXPECT_FALSE(kb.empty());
  EXPECT_EQ(kb.find_first_not_of("0123456789"), std::string::npos) << kb;
}
#endif

}  // namespace
