// The progress bar's arithmetic: clamp, range repair, captions, fill length.
#include "controls/ProgressBar.h"

#include <gtest/gtest.h>

using controls::ProgressBar;

namespace {

TEST(ProgressBar, ValueStaysInsideTheRange) {
  ProgressBar p;
  EXPECT_EQ(p.Caption(), "50%");
  for (auto [set, got] : {std::pair{150, 100}, {-5, 0}}) {
    p.value(set);
    EXPECT_EQ(p.value(), got);
  }
  p.value(90);
  p.Inc(25);
  EXPECT_EQ(p.value(), 100);
  p.Dec(300);
  EXPECT_EQ(p.value(), 0);
  p.Min(10);
  p.Reset();
  EXPECT_EQ(p.value(), 10);
  p.Max(10);  // equal to Min: one more
  EXPECT_EQ(p.Max(), 11);
  // Guards against a value left outside a narrowed range (a caption of 5000%).
  ProgressBar q;
  q.Max(20);
  EXPECT_EQ(q.value(), 20);
  EXPECT_EQ(q.Caption(), "100%");
}

TEST(ProgressBar, CaptionTypesAndPlaceholdersInAnyCase) {
  ProgressBar p;
  p.Max(20);
  p.value(7);
  for (auto [type, caption] : {std::pair{3, "7/20"}, {0, "35%"}, {1, "35.00%"}}) {
    p.CaptionType(type);
    EXPECT_EQ(p.Caption(), caption);
  }
  p.value(7.5);
  p.CaptionType(2);
  EXPECT_EQ(p.Caption(), "7.5");
  p.CaptionType(3);
  p.CaptionMask("%VAL of %max (from %MIN), %val");
  EXPECT_EQ(p.Caption(), "7/20 of 20 (from 0), 7/20");
  p.Direction(2);
  EXPECT_TRUE(p.Vertical());
  p.UseDefaultProperties(true);
  EXPECT_EQ(p.Max(), 100);
  EXPECT_EQ(p.CaptionType(), 0);
  EXPECT_FALSE(p.Vertical());
}

TEST(ProgressBar, FillLengthLeavesTwoPixelsAtEachEnd) {
  ProgressBar p;
  for (auto [value, fill] : {std::pair{50, 50}, {100, 100}, {0, 0}}) {
    p.value(value);
    EXPECT_EQ(p.FillLength(104), fill);
  }
  EXPECT_EQ(p.FillLength(3), 0);  // too small to show anything
  for (int d : {0, 1, 2, 3}) {
    p.Direction(d);
    EXPECT_EQ(p.Vertical(), d >= 2);
  }
}

}  // namespace
