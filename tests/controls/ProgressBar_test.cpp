// The progress bar's arithmetic: clamp, range repair, captions, fill length.
#include "controls/ProgressBar.h"

#include <gtest/gtest.h>

using controls::ProgressBar;

namespace {

TEST(Defaults, AsANewControl) {
  ProgressBar p;
  EXPECT_EQ(p.Min(), 0);
  EXPECT_EQ(p.Max(), 100);
  EXPECT_EQ(p.value(), 50);
  EXPECT_EQ(p.BackColor(), 15594226u);
  EXPECT_EQ(p.BarColor(), 12941855u);
  EXPECT_TRUE(p.ShowCaption());
  EXPECT_EQ(p.CaptionMask(), "%Val");
  EXPECT_EQ(p.CaptionAlignment(), 37);
  EXPECT_TRUE(p.SmoothScrolling());
  EXPECT_EQ(p.Caption(), "50%");
}

TEST(Defaults, UseDefaultPropertiesRestoresThem) {
  ProgressBar p;
  p.Max(20);
  p.CaptionType(3);
  p.Direction(2);
  p.UseDefaultProperties(true);
  EXPECT_EQ(p.Max(), 100);
  EXPECT_EQ(p.CaptionType(), 0);
  EXPECT_FALSE(p.Vertical());
}

TEST(Clamp, ValueStaysInRange) {
  ProgressBar p;
  p.value(150);
  EXPECT_EQ(p.value(), 100);
  p.value(-5);
  EXPECT_EQ(p.value(), 0);
  p.value(90);
  p.Inc(25);
  EXPECT_EQ(p.value(), 100);
  p.Dec(300);
  EXPECT_EQ(p.value(), 0);
  p.Min(10);
  p.Reset();
  EXPECT_EQ(p.value(), 10);
}

TEST(Range, MaxEqualToMinBecomesMinPlusOne) {
  ProgressBar p;
  p.Min(5);
  p.Max(5);
  EXPECT_EQ(p.Max(), 6);
}

TEST(Caption, TheFourTypes) {
  ProgressBar p;
  p.Max(20);
  p.value(7);
  p.CaptionType(3);
  EXPECT_EQ(p.Caption(), "7/20");
  p.CaptionType(0);
  EXPECT_EQ(p.Caption(), "35%");
  p.CaptionType(1);
  EXPECT_EQ(p.Caption(), "35.00%");
  p.value(7.5);
  p.CaptionType(2);
  EXPECT_EQ(p.Caption(), "7.5");
  p.CaptionType(3);
  EXPECT_EQ(p.Caption(), "7/20");
}

TEST(Caption, PlaceholdersInAnyLetterCase) {
  ProgressBar p;
  p.Max(20);
  p.value(7);
  p.CaptionType(3);
  p.CaptionMask("%VAL of %max (from %MIN)");
  EXPECT_EQ(p.Caption(), "7/20 of 20 (from 0)");
  p.CaptionMask("%val %Val");
  EXPECT_EQ(p.Caption(), "7/20 7/20");
}

TEST(Paint, FillLengthLeavesTwoPixelsAtEachEnd) {
  ProgressBar p;
  p.value(50);
  EXPECT_EQ(p.FillLength(104), 50);
  p.value(100);
  EXPECT_EQ(p.FillLength(104), 100);
  p.value(0);
  EXPECT_EQ(p.FillLength(104), 0);
  EXPECT_EQ(p.FillLength(3), 0);  // too small to show anything
}

TEST(Direction, TwoAndThreeAreVertical) {
  ProgressBar p;
  for (int d : {0, 1, 2, 3}) {
    p.Direction(d);
    EXPECT_EQ(p.Vertical(), d >= 2);
  }
}

}  // namespace

namespace {
// Guards against a value left outside a narrowed range (a caption of 5000%).
TEST(Range, NarrowingTheRangeKeepsTheValueInside) {
  ProgressBar p;
  p.Max(20);
  EXPECT_EQ(p.value(), 20);
  EXPECT_EQ(p.Caption(), "100%");
}
}  // namespace
