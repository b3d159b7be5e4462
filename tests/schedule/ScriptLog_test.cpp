// The log beside a backup script: where it is, its lines, appending to it
// without losing what it held, and reading its last line back.
#include "schedule/ScriptLog.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/files.h"
#include "schedule/OleDate.h"
#include "support/sandbox.h"

using ScriptLog::Result;
using testsupport::Sandbox;

namespace {

TEST(ScriptLog, BesideTheScriptNeverTheScriptItself) {
  const std::pair<const char*, const char*> cases[] = {
      {"D:\\Backups\\weekly.oes", "D:\\Backups\\weekly.log"},
      {"D:\\Backups\\weekly", "D:\\Backups\\weekly.log"},
      {"D:\\My.Backups\\weekly", "D:\\My.Backups\\weekly.log"},
      {"D:\\Backups\\weekly.LOG", "D:\\Backups\\weekly.LOG.log"},
      {"weekly.v2.oes", "weekly.v2.log"},
  };
  for (const auto& [script, log] : cases) EXPECT_EQ(ScriptLog::LogFileOf(script), log) << script;
}

TEST(ScriptLog, DatesToTheSecond) {
  const double lastSecond = OleDate::FromParts(2024, 2, 29, 23, 59, 59);
  const std::pair<double, const char*> cases[] = {
      {36526.5, "2000-01-01 12:00:00"},
      {-1.25, "1899-12-29 06:00:00"},  // the fraction counts forward before 1899
      {lastSecond + 0.4 / 86400, "2024-02-29 23:59:59"},
      {lastSecond + 0.6 / 86400, "2024-03-01 00:00:00"},
      {std::nan(""), "1899-12-30 00:00:00"},
  };
  for (const auto& [date, text] : cases) EXPECT_EQ(ScriptLog::DateText(date), text) << date;
  EXPECT_EQ(ScriptLog::DateText(36526.5, false), "2000-01-01");
}

TEST(ScriptLog, LinesAppendAndTheLastReadsBack) {
  Sandbox box;
  const std::string script = box.Path("weekly.oes");
  const double when = OleDate::FromParts(2024, 5, 3, 8, 15, 2);
  EXPECT_EQ(ScriptLog::LastLine(script), "");
  const std::string made = ScriptLog::Line(when, "D:\\Mail Backups\\mail.qmb", Result::kBackedUp, "");
  const std::string notDue = ScriptLog::Line(when + 1, "", Result::kNotRun, "not due yet");
  // Line breaks inside a field (an archive named by a hostile script, a
  // message) would start a line of their own.
  const std::string failed = ScriptLog::Line(when + 2, "D:\\a\r\nb.qmb", Result::kFailed, "Disk full\r\nTry again");
  EXPECT_EQ(made, "2024-05-03 08:15:02 | D:\\Mail Backups\\mail.qmb | backed up");
  EXPECT_EQ(notDue, "2024-05-04 08:15:02 | - | not run | not due yet");
  EXPECT_EQ(failed, "2024-05-05 08:15:02 | D:\\a  b.qmb | failed | Disk full  Try again");
  for (const std::string& line : {made, notDue, failed}) {
    EXPECT_TRUE(ScriptLog::Append(script, line));
    EXPECT_EQ(ScriptLog::LastLine(script), line);
  }
  std::string text;
  ASSERT_TRUE(platform::ReadWholeFile(box.Path("weekly.log"), text));
  EXPECT_EQ(text, made + "\r\n" + notDue + "\r\n" + failed + "\r\n");

  // A log whose last line was cut off keeps it; the next line starts anew.
  box.WriteFile("cut.log", "2024-05-03 08:1");
  EXPECT_TRUE(ScriptLog::Append(box.Path("cut.oes"), made));
  ASSERT_TRUE(platform::ReadWholeFile(box.Path("cut.log"), text));
  EXPECT_EQ(text, "2024-05-03 08:1\r\n" + made + "\r\n");
}

// A last line longer than what is read of the log shows by its end;
// control characters that someone else wrote show as blanks.
TEST(ScriptLog, ALongLastLineShowsByItsEnd) {
  Sandbox box;
  box.WriteFile("long.log", "first\r\n" + std::string(5000, 'x') + "\tend\r\n\r\n");
  const std::string last = ScriptLog::LastLine(box.Path("long.oes"));
  EXPECT_EQ(last.substr(0, 4), "...x");
  EXPECT_EQ(last.substr(last.size() - 4), " end");
  EXPECT_LT(last.size(), 5000u);
}

}  // namespace
