// Control objects unbound: state in memory, events on every change whether
// code or the user made it, and timers that tick while messages run.
#include <gtest/gtest.h>

#include "controls/Control.h"
#include "controls/InputControls.h"
#include "controls/Timer.h"
#include "platform/system.h"
#include "support/sandbox.h"

#ifndef _WIN32
#include "platform/emulated/emulation.h"
#endif

using namespace controls;

namespace {

TEST(Events, SettingFromCodeRaisesTheEventOncePerChange) {
  TextBox text;
  CheckBox check;
  ComboList combo;
  int changes = 0, clicks = 0, comboClicks = 0;
  text.Change = [&] { ++changes; };
  check.Click = [&] { ++clicks; };
  combo.Click = [&] { ++comboClicks; };
  text.Text("a");
  text.Text("a");
  text.Text("ab");
  check.Value(1);
  check.Value(1);
  check.Value(0);
  combo.AddItem("one");
  combo.AddItem("two");
  combo.ListIndex(1);
  combo.ListIndex(1);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(comboClicks, 1);
  EXPECT_EQ(combo.Text(), "two");
}

TEST(Events, DisabledButtonIgnoresPresses) {
  CommandButton b;
  int clicks = 0;
  b.Click = [&] { ++clicks; };
  b.Press();
  b.Enabled(false);
  b.Press();
  EXPECT_EQ(clicks, 1);
}

TEST(OptionArray, ExactlyOneChosenAndClickNamesIt) {
  OptionArray opt(3);
  std::vector<int> clicked;
  opt.Click = [&](int i) { clicked.push_back(i); };
  EXPECT_EQ(opt.Value(), -1);
  opt.Value(2);
  opt.Value(2);
  opt.Value(0);
  EXPECT_EQ(clicked, (std::vector<int>{2, 0}));
  EXPECT_THROW(opt.Value(3), std::out_of_range);
  EXPECT_EQ(opt.Value(), 0);
}

TEST(CheckList, ItemChecksAreKeptPerItem) {
  CheckList list;
  std::vector<int> changed;
  list.ItemCheck = [&](int i) { changed.push_back(i); };
  list.AddItem("Main Identity", true);
  list.AddItem("Work");
  list.Checked(1, true);
  list.Checked(0, true);  // no change
  EXPECT_EQ(list.ListCount(), 2);
  EXPECT_TRUE(list.Checked(0));
  EXPECT_TRUE(list.Checked(1));
  EXPECT_EQ(changed, std::vector<int>{1});
  list.Clear();
  EXPECT_EQ(list.ListCount(), 0);
}

TEST(CheckList, CurrentRowSetFromCodeRaisesClickEvenWhenUnchanged) {
  CheckList list;
  int clicks = 0;
  list.Click = [&] { ++clicks; };
  list.AddItem("a");
  list.AddItem("b");
  EXPECT_EQ(list.ListIndex(), -1);
  list.ListIndex(1);
  list.ListIndex(1);
  EXPECT_EQ(clicks, 2);
  list.Checked(0, true);  // ticking from code leaves the current row alone
  EXPECT_EQ(list.ListIndex(), 1);
  EXPECT_THROW(list.ListIndex(2), std::out_of_range);
}

TEST(Timer, TicksFromDoEventsOnceItsIntervalHasPassed) {
  testsupport::Sandbox box;
  Timer t;
  int ticks = 0;
  t.Tick = [&] { ++ticks; };
  t.Interval(20);
  t.Enabled(true);
  for (int i = 0; i < 200 && ticks == 0; ++i) {
    platform::SleepMs(5);
    platform::DoEvents();
  }
  EXPECT_GT(ticks, 0);
  t.Enabled(false);
  int before = ticks;
  platform::SleepMs(40);
  platform::DoEvents();
  EXPECT_EQ(ticks, before);
}

TEST(Timer, ZeroIntervalStaysSilent) {
  testsupport::Sandbox box;
  Timer t;
  int ticks = 0;
  t.Tick = [&] { ++ticks; };
  t.Enabled(true);
  platform::SleepMs(20);
  platform::DoEvents();
  EXPECT_EQ(ticks, 0);
}

#ifndef _WIN32
TEST(Timer, TestsCanFireRunningTimers) {
  testsupport::Sandbox box;
  Timer a, b;
  int ticks = 0;
  a.Tick = b.Tick = [&] { ++ticks; };
  a.Interval(60000);
  b.Interval(60000);
  a.Enabled(true);
  b.Enabled(true);
  b.Enabled(false);
  EXPECT_EQ(platform::emu::FireTimers(), 1);
  EXPECT_EQ(ticks, 1);
}

TEST(Timer, DestroyedTimerNeverTicks) {
  testsupport::Sandbox box;
  {
    Timer t;
    t.Interval(1);
    t.Tick = [] { FAIL(); };
    t.Enabled(true);
  }
  EXPECT_EQ(platform::emu::RunningTimers(), 0);
}
#endif

}  // namespace
