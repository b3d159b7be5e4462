// The unattended switches, the due test and the unique archive names.
#include "schedule/CommandLine.h"

#include <gtest/gtest.h>

#include "schedule/OleDate.h"
#include "support/sandbox.h"

using CommandLine::ParseUnattendedSwitches;

namespace {

TEST(UnattendedSwitches, ScriptIntervalAndOverwrite) {
  const struct {
    const char* line;
    const char* script;  // nullptr: not looked at
    int interval;
    bool overwrite;
  } cases[] = {
      {"/S C:\\A.OES", "C:\\A.OES", 7, false},
      {"/S \"C:\\MY DOCS\\A.OES\" /I 3 /O", "\"C:\\MY DOCS\\A.OES\" ", 3, true},  // trailing blank stays
      {"/S C:\\A.OES /I 3", nullptr, 7, false},                            // "I" as the last piece
      {"/S C:\\A.OES /I 3/", nullptr, 3, false},
      {"/S C:\\A.OES /I 300 /O", nullptr, 300, true},
      {"/S C:\\A.OES /I 1 /O", nullptr, 1, true},
      {"/S C:\\A.OES /I 0 /O", nullptr, 7, true},
      {"/S C:\\A.OES /I 400 /O", nullptr, 7, true},
      {"/S C:\\A.OES /I -5 /O", nullptr, 7, true},
      {"/S C:\\A.OES /I XY /O", nullptr, 7, true},
      {"/S C:\\A.OES /I 99999999999999999999 /O", nullptr, 7, true},  // no overflow
      {"/O/S C:\\A.OES", nullptr, 7, true},
      {"/S C:\\A.OES /O /I 3", nullptr, 7, false},  // "O " is two characters
      {"/S C:\\A.OES /OX", nullptr, 7, false},
      {"/S", "", 7, false},
      {"", "", 7, false},
  };
  for (const auto& c : cases) {
    auto s = ParseUnattendedSwitches(c.line);
    if (c.script) { EXPECT_EQ(s.ScriptPath, c.script) << c.line; }
    EXPECT_EQ(s.Interval, c.interval) << c.line;
    EXPECT_EQ(s.Overwrite, c.overwrite) << c.line;
  }
  EXPECT_EQ(CommandLine::RemoveQuotes("\"C:\\MY DOCS\\A.OES\" "), "C:\\MY DOCS\\A.OES ");
  EXPECT_EQ(CommandLine::ScriptFileOf("\"C:\\MY DOCS\\A.OES\" "), "C:\\MY DOCS\\A.OES");
}

TEST(DueTest, CountsCalendarDaysNotHours) {
  const double lateYesterday = OleDate::FromParts(2026, 3, 9, 23, 59, 0), earlyToday = OleDate::FromParts(2026, 3, 10, 0, 1, 0),
               lateToday = OleDate::FromParts(2026, 3, 10, 23, 59, 0), weekLater = OleDate::FromParts(2026, 3, 17);
  EXPECT_TRUE(CommandLine::IsBackupDue(lateYesterday, earlyToday, 1));
  EXPECT_FALSE(CommandLine::IsBackupDue(earlyToday, lateToday, 1));
  EXPECT_FALSE(CommandLine::IsBackupDue(lateToday, weekLater - 1, 7));
  EXPECT_TRUE(CommandLine::IsBackupDue(lateToday, weekLater, 7));
  EXPECT_FALSE(CommandLine::IsBackupDue(weekLater, earlyToday, 1));  // a last backup in the future
}

// The counter starts after the dot's position; names that exist are
// skipped; a dot in a folder name is no extension.
TEST(MakeUniqueBackupName, CounterSkipsNamesThatExist) {
  testsupport::Sandbox box;
  for (auto [asked, made] : {std::pair{"D:\\SAVE\\MAIL.QMB", "D:\\SAVE\\MAIL_0014.QMB"}, {"D:\\B.QMB", "D:\\B_0006.QMB"},
                             {"D:\\SAVE\\MAIL", "D:\\SAVE\\MAIL_0001.qmb"}, {"D:\\SAVE.OLD\\MAIL", "D:\\SAVE.OLD\\MAIL_0001.qmb"},
                             {"D:\\SAVE.OLD\\MAIL.QMB", "D:\\SAVE.OLD\\MAIL_0018.QMB"}})
    EXPECT_EQ(CommandLine::MakeUniqueBackupName(asked), made);
  const std::string root = box.Root();
  auto numbered = [&](std::size_t n) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04d", static_cast<int>(n));
    return "B_" + std::string(digits) + ".QMB";
  };
  const std::size_t first = root.size() + 3;  // the dot of "B.QMB" is at position root + 2
  box.WriteFile("B.QMB", "x");
  EXPECT_EQ(CommandLine::MakeUniqueBackupName(root + "B.QMB"), root + numbered(first));
  box.WriteFile(numbered(first), "x");
  box.WriteFile(numbered(first + 1), "x");
  EXPECT_EQ(CommandLine::MakeUniqueBackupName(root + "B.QMB"), root + numbered(first + 2));
}

}  // namespace
