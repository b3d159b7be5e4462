// The unattended switches, the due test and the unique archive names.
#include "schedule/CommandLine.h"

#include <gtest/gtest.h>

#include "schedule/OleDate.h"
#include "support/sandbox.h"

using CommandLine::ParseUnattendedSwitches;
using testsupport::Sandbox;

namespace {

TEST(UnattendedSwitches, ScriptPathAloneKeepsTheDefaults) {
  auto s = ParseUnattendedSwitches("/S C:\\A.OES");
  EXPECT_EQ(s.ScriptPath, "C:\\A.OES");
  EXPECT_EQ(s.Interval, 7);
  EXPECT_FALSE(s.Overwrite);
}

TEST(UnattendedSwitches, QuotedPathThenIntervalAndOverwrite) {
  auto s = ParseUnattendedSwitches("/S \"C:\\MY DOCS\\A.OES\" /I 3 /O");
  EXPECT_EQ(s.ScriptPath, "\"C:\\MY DOCS\\A.OES\" ");  // trailing blank stays
  EXPECT_EQ(CommandLine::RemoveQuotes(s.ScriptPath), "C:\\MY DOCS\\A.OES ");
  EXPECT_EQ(CommandLine::ScriptFileOf(s.ScriptPath), "C:\\MY DOCS\\A.OES");  // the file itself
  EXPECT_EQ(s.Interval, 3);
  EXPECT_TRUE(s.Overwrite);
}

TEST(UnattendedSwitches, IntervalAsLastPieceIsIgnored) {
  EXPECT_EQ(ParseUnattendedSwitches("/S C:\\A.OES /I 3").Interval, 7);
  EXPECT_EQ(ParseUnattendedSwitches("/S C:\\A.OES /I 3/").Interval, 3);
}

TEST(UnattendedSwitches, IntervalOutsideOneTo300BecomesSeven) {
  EXPECT_EQ(ParseUnattendedSwitches("/S C:\\A.OES /I 0 /O").Interval, 7);
  EXPECT_EQ(ParseUnattendedSwitches("/S C:\\A.OES /I 400 /O").Interval, 7);
  EXPECT_EQ(ParseUnattendedSwitches("/S C:\\A.OES /I 300 /O").Interval, 300);
  EXPECT_EQ(ParseUnattendedSwitches("/S C:\\A.OES /I 1 /O").Interval, 1);
  EXPECT_EQ(ParseUnattendedSwitches("/S C:\\A.OES /I -5 /O").Interval, 7);
  EXPECT_EQ(ParseUnattendedSwitches("/S C:\\A.OES /I XY /O").Interval, 7);
  // Guards against an overflow on a number too large for 32 bits.
  EXPECT_EQ(ParseUnattendedSwitches("/S C:\\A.OES /I 99999999999999999999 /O").Interval, 7);
}

TEST(UnattendedSwitches, OverwriteOnlyAsAOneCharacterPiece) {
  EXPECT_TRUE(ParseUnattendedSwitches("/S C:\\A.OES /O").Overwrite);
  EXPECT_TRUE(ParseUnattendedSwitches("/O/S C:\\A.OES").Overwrite);
  auto s = ParseUnattendedSwitches("/S C:\\A.OES /O /I 3");
  EXPECT_FALSE(s.Overwrite);  // "O " is two characters
  EXPECT_EQ(s.Interval, 7);
  EXPECT_FALSE(ParseUnattendedSwitches("/S C:\\A.OES /OX").Overwrite);
}

TEST(UnattendedSwitches, NoScriptSwitchLeavesThePathEmpty) {
  EXPECT_EQ(ParseUnattendedSwitches("/S").ScriptPath, "");
  EXPECT_EQ(ParseUnattendedSwitches("").ScriptPath, "");
}

TEST(DueTest, CountsCalendarDaysNotHours) {
  double lateYesterday = OleDate::FromParts(2026, 3, 9, 23, 59, 0);
  double earlyToday = OleDate::FromParts(2026, 3, 10, 0, 1, 0);
  double lateToday = OleDate::FromParts(2026, 3, 10, 23, 59, 0);
  EXPECT_TRUE(CommandLine::IsBackupDue(lateYesterday, earlyToday, 1));
  EXPECT_FALSE(CommandLine::IsBackupDue(earlyToday, lateToday, 1));
  double weekLater = OleDate::FromParts(2026, 3, 17, 0, 0, 0);
  EXPECT_FALSE(CommandLine::IsBackupDue(lateToday, weekLater - 1, 7));
  EXPECT_TRUE(CommandLine::IsBackupDue(lateToday, weekLater, 7));
  // A last backup dated in the future is not due.
  EXPECT_FALSE(CommandLine::IsBackupDue(weekLater, earlyToday, 1));
}

TEST(MakeUniqueBackupName, CounterStartsAfterTheDotPosition) {
  Sandbox box;
  EXPECT_EQ(CommandLine::MakeUniqueBackupName("D:\\SAVE\\MAIL.QMB"), "D:\\SAVE\\MAIL_0014.QMB");
  EXPECT_EQ(CommandLine::MakeUniqueBackupName("D:\\B.QMB"), "D:\\B_0006.QMB");
  EXPECT_EQ(CommandLine::MakeUniqueBackupName("D:\\SAVE\\MAIL"), "D:\\SAVE\\MAIL_0001.qmb");
}

TEST(MakeUniqueBackupName, SkipsNamesThatExist) {
  Sandbox box;
  std::string root = box.Root();
  int first = static_cast<int>(root.size()) + 3;  // the dot of "B.QMB" is at position root + 2
  auto numbered = [&](int n) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04d", n);
    return root + "B_" + digits + ".QMB";
  };
  box.WriteFile("B.QMB", "x");
  EXPECT_EQ(CommandLine::MakeUniqueBackupName(root + "B.QMB"), numbered(first));
  box.WriteFile(numbered(first).substr(root.size()), "x");
  box.WriteFile(numbered(first + 1).substr(root.size()), "x");
  EXPECT_EQ(CommandLine::MakeUniqueBackupName(root + "B.QMB"), numbered(first + 2));
}

// Guards against a numbered name landing in a folder that does not exist.
TEST(MakeUniqueBackupName, DotInAFolderNameIsNoExtension) {
  EXPECT_EQ(CommandLine::MakeUniqueBackupName("D:\\SAVE.OLD\\MAIL"), "D:\\SAVE.OLD\\MAIL_0001.qmb");
  EXPECT_EQ(CommandLine::MakeUniqueBackupName("D:\\SAVE.OLD\\MAIL.QMB"), "D:\\SAVE.OLD\\MAIL_0018.QMB");
}

}  // namespace
