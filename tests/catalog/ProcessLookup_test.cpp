// Finding the mail client and the messenger among the running processes
// (real ones under Wine: ucBack3_test.cpp).
#include "catalog/ProcessLookup.h"

#include <gtest/gtest.h>

#include "support/sandbox.h"

#ifndef _WIN32
#include "platform/emulated/emulation.h"
#endif

namespace {

#ifndef _WIN32
// The whole file name in any letter case; the last match counts, window
// messages run between the entries; nothing outside the NT family.
TEST(ProcessLookup, WholeFileNameInAnyLetterCase) {
  testsupport::Sandbox box;
  platform::emu::SetProcesses({{4, "C:\\WINDOWS\\explorer.exe", 30 << 20},
                               {8, "C:\\Program Files\\Outlook Express\\MSIMN.EXE", 5 << 20},
                               {9, "C:\\Tools\\xmsimn.exe", 1 << 20},
                               {1, "C:\\a\\msmsgs.exe", 2048},
                               {2, "C:\\b\\msmsgs.exe", 4096}});
  EXPECT_EQ(catalog::ProcessLookup(" msimn.exe "), "5120");
  EXPECT_EQ(catalog::ProcessLookup("imn.exe"), "");
  const int before = platform::emu::DoEventsCount();
  EXPECT_EQ(catalog::ProcessLookup("msmsgs.exe"), "4");
  EXPECT_EQ(platform::emu::DoEventsCount() - before, 5);
  platform::emu::SetVersionWord(0xC0000A04u);  // the 95/98/Me family
  EXPECT_EQ(catalog::ProcessLookup("msimn.exe"), "");
}
#endif

}  // namespace
