// Finding the mail client and the messenger among the running processes.
#include "catalog/ProcessLookup.h"

#include <gtest/gtest.h>

#include "support/sandbox.h"

#ifdef _WIN32
#include "catalog/running_as_win32.h"
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
using testsupport::RunningAs;

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
