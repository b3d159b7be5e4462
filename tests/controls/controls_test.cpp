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

TEST(Events, OncePerChangeFromCodeAndNoneFromADisabledButton) {
  TextBox text;
  CheckBox check;
  ComboList combo;
  CommandButton button;
  int changes = 0, clicks = 0, comboClicks = 0, presses = 0;
  text.Change = [&] { ++changes; };
  check.Click = [&] { ++clicks; };
  combo.Click = [&] { ++comboClicks; };
  button.Click = [&] { ++presses; };
  for (const char* t : {"a", "a", "ab"}) text.Text(t);
  for (int v : {1, 1, 0}) check.Value(v);
  combo.AddItem("one");
  combo.AddItem("two");
  combo.ListIndex(1);
  combo.ListIndex(1);
  button.Press();
  button.Enabled(false);
  button.Press();
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(comboClicks, 1);
  EXPECT_EQ(combo.Text(), "two");
  EXPECT_EQ(presses, 1);
}

TEST(OptionArray, ExactlyOneChosenAndClickNamesIt) {
  OptionArray opt(3);
  std::vector<int> clicked;
  opt.Click = [&](int i) { clicked.push_back(i); };
  EXPECT_EQ(opt.Value(), -1);
  for (int v : {2, 2, 0}) opt.Value(v);
  EXPECT_EQ(clicked, (std::vector<int>{2, 0}));
  EXPECT_THROW(opt.Value(3), std::out_of_range);
  EXPECT_EQ(opt.Value(), 0);
}

// Ticks are kept per item and raise ItemCheck on a change; the current row
// set from code raises Click even when unchanged, and ticking leaves it.
TEST(CheckList, TicksPerItemAndTheCurrentRow) {
  CheckList list;
  std::vector<int> changed;
  int clicks = 0;
  list.ItemCheck = [&](int i) { changed.push_back(i); };
  list.Click = [&] { ++clicks; };
  list.AddItem("Main Identity", true);
  list.AddItem("Work");
  EXPECT_EQ(list.ListIndex(), -1);
  list.Checked(1, true);
  list.Checked(0, true);  // no change
  EXPECT_TRUE(list.Checked(0) && list.Checked(1));
  EXPECT_EQ(changed, std::vector<int>{1});
  list.ListIndex(1);
  list.ListIndex(1);
  EXPECT_EQ(clicks, 2);
  list.Checked(0, false);
  EXPECT_EQ(list.ListIndex(), 1);
  EXPECT_THROW(list.ListIndex(2), std::out_of_range);
  list.Clear();
  EXPECT_EQ(list.ListCount(), 0);
}

TEST(Timer, TicksFromDoEventsOnceItsIntervalHasPassedAndNotWithoutOne) {
  testsupport::Sandbox box;
  Timer t, silent;
  int ticks = 0, silentTicks = 0;
  t.Tick = [&] { ++ticks; };
  silent.Tick = [&] { ++silentTicks; };
  silent.Enabled(true);  // interval 0
  t.Interval(20);
  t.Enabled(true);
  for (int i = 0; i < 200 && ticks == 0; ++i) {
    platform::SleepMs(5);
    platform::DoEvents();
  }
  EXPECT_GT(ticks, 0);
  t.Enabled(false);
  const int before = ticks;
  platform::SleepMs(40);
  platform::DoEvents();
  EXPECT_EQ(ticks, before);
  EXPECT_EQ(silentTicks, 0);
}

#ifndef _WIN32
TEST(Timer, OnlyRunningTimersFireAndADestroyedOneIsGone) {
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
  {
    Timer t;
    t.Interval(1);
    t.Tick = [] { FAIL(); };
    t.Enabled(true);
  }
  EXPECT_EQ(platform::emu::RunningTimers(), 1);
}
#endif

}  // namespace
