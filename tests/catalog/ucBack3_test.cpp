// The running-client page: the two boxes follow the process list (while the
// page is shown and again at Next), the page waits on its timer, and Next
// is refused while either program runs (only the mail client holds the
// unattended backup back).
#include "catalog/ucBack3.h"

#include <gtest/gtest.h>

#include "platform/ui.h"
#include "support/sandbox.h"
#include "support/scripted_user.h"

#ifdef _WIN32
#include "catalog/running_as_win32.h"
#else
#include "platform/emulated/emulation.h"
#endif

using testsupport::Sandbox;
using testsupport::ScriptedUser;

namespace {

constexpr char kRefusal[] = "You must close Outlook Express and Windows messenger to continue.";
#ifndef _WIN32
const platform::ProcessInfo kMail{8, "C:\\Program Files\\Outlook Express\\msimn.exe", 4096};
const platform::ProcessInfo kMessenger{9, "C:\\Program Files\\Messenger\\msmsgs.exe", 4096};
#endif

class RunningClients : public ::testing::Test {
 protected:
  Sandbox box;
  ScriptedUser user;
  ucBack3 page;
};

TEST_F(RunningClients, ValuesOtherThanOneClearTheBox) {
  page.OEvalue(1);
  EXPECT_EQ(page.OEvalue(), 1);
  page.OEvalue(2);
  page.MessengerValue(1);
  page.MessengerValue(-1);
  EXPECT_EQ(page.OEvalue() + page.MessengerValue(), 0);
}

#ifndef _WIN32
// Neither running (the names ending alike are others) ticks both; the
// mail client in capitals is found.
TEST_F(RunningClients, NeitherRunningTicksBothAndWaitsLongerAfterwards) {
  EXPECT_EQ(page.tmrWait.Interval(), 200u);
  platform::emu::SetProcesses({{9, "C:\\Tools\\xmsimn.exe", 4096}, {3, "C:\\m\\xmsmsgs.exe", 4096}});
  page.CheckRunning();
  EXPECT_EQ(page.OEvalue() + page.MessengerValue(), 2);
  EXPECT_FALSE(page.lblChecking.Visible() || page.lblDone.Visible() || page.tmrWait.Enabled());
  EXPECT_EQ(page.tmrWait.Interval(), 400u);
  EXPECT_TRUE(page.tmrWatch.Enabled());  // looks again while shown
  EXPECT_TRUE(page.CheckReady());
  platform::emu::SetProcesses({{8, "C:\\Program Files\\Outlook Express\\MSIMN.EXE", 4096}});
  platform::emu::AddDoEventsHook([] { platform::emu::FireTimers(); });
  page.CheckRunning();
  EXPECT_EQ(page.OEvalue(), 0);
  EXPECT_EQ(page.MessengerValue(), 1);
  EXPECT_FALSE(page.CheckReady());
  EXPECT_EQ(user.Shown().back().text, kRefusal);
}

// Closing the programs is enough: Next looks again, and so does the page
// while it is shown; a hidden page stops looking.
TEST_F(RunningClients, NextAndTheShownPageLookAgain) {
  platform::emu::SetProcesses({kMail, kMessenger});
  page.CheckRunning();
  EXPECT_FALSE(page.CheckReady());
  ASSERT_EQ(user.Shown().size(), 1u);
  EXPECT_EQ(user.Shown()[0].text, kRefusal);
  EXPECT_EQ(user.Shown()[0].Icon(), platform::kInformation);
  platform::emu::SetProcesses({});
  EXPECT_TRUE(page.CheckReady());
  platform::emu::SetProcesses({kMail});
  EXPECT_FALSE(page.CheckReady());  // started again after the boxes were ticked
  EXPECT_EQ(page.OEvalue(), 0);

  platform::emu::SetProcesses({});
  platform::emu::FireTimers();
  EXPECT_EQ(page.OEvalue(), 1);
  page.Visible(false);
  platform::emu::SetProcesses({kMail});
  platform::emu::FireTimers();
  EXPECT_EQ(page.OEvalue(), 1);
  EXPECT_FALSE(page.tmrWatch.Enabled());
  EXPECT_EQ(platform::emu::RunningTimers(), 0);
}

// The unattended backup waits for the mail client only: the messenger's
// data is read from the registry while it runs.
TEST_F(RunningClients, UnattendedOnlyTheMailClientHoldsItBack) {
  page.Unattended(true);
  platform::emu::SetProcesses({kMessenger});
  EXPECT_TRUE(page.CheckReady());
  platform::emu::SetProcesses({kMail});
  EXPECT_FALSE(page.CheckReady());
  EXPECT_TRUE(ucBack3::MailClientRunning());
}

TEST_F(RunningClients, LabelsShowWhileTheTimerRuns) {
  platform::emu::SetProcesses({});
  std::vector<std::string> seen;
  platform::emu::AddDoEventsHook([&] {
    std::string now = std::string(page.lblChecking.Visible() ? "C" : "-") + (page.lblDone.Visible() ? "D" : "-");
    if (seen.empty() || seen.back() != now) seen.push_back(now);
    platform::emu::FireTimers();
  });
  page.CheckRunning();
  EXPECT_EQ(seen, (std::vector<std::string>{"C-", "CD"}));
}

// Where the process list cannot be read, the boxes stay the user's to tick.
TEST_F(RunningClients, NothingIsLookedAtOutsideTheNtFamily) {
  platform::emu::SetVersionWord(0xC0000A04u);
  platform::emu::SetProcesses({kMail});
  page.MessengerValue(1);
  page.CheckRunning();
  EXPECT_EQ(page.OEvalue(), 0);
  EXPECT_EQ(page.MessengerValue(), 1);
  EXPECT_EQ(platform::emu::DoEventsCount(), 0);
  EXPECT_FALSE(page.chkOE.Locked() || page.chkMessenger.Locked());
  EXPECT_FALSE(page.CheckReady());
  page.chkOE.Value(1);
  EXPECT_TRUE(page.CheckReady());
  EXPECT_EQ(user.Shown().size(), 1u);
}
#else
using testsupport::RunningAs;

// Real processes: only the exact file name counts as the mail client.
TEST_F(RunningClients, StandInMailClientUnderWine) {
  {
    RunningAs decoy(box, "xmsimn.exe");
    ASSERT_TRUE(decoy.started());
    page.CheckRunning();
    EXPECT_EQ(page.OEvalue(), 1);
    EXPECT_EQ(page.MessengerValue(), 1);
  }
  {
    RunningAs client(box, "msimn.exe");
    ASSERT_TRUE(client.started());
    page.CheckRunning();
    EXPECT_EQ(page.OEvalue(), 0);
    EXPECT_EQ(page.MessengerValue(), 1);
    EXPECT_FALSE(page.CheckReady());
    ASSERT_EQ(user.Shown().size(), 1u);
    EXPECT_EQ(user.Shown()[0].text, kRefusal);
    page.OEvalue(1);  // set by code while it still runs: Next looks again
    EXPECT_FALSE(page.CheckReady());
  }
  EXPECT_TRUE(page.CheckReady());  // closed
  EXPECT_EQ(user.Shown().size(), 2u);
}
#endif

}  // namespace
