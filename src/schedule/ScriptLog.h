#pragma once
// The record the unattended runs of a backup script leave beside it: every
// run started with "/S" adds one line to "<script's folder>\<script's
// name>.log" (ANSI text, lines ending in CR LF), for example
//   2024-05-03 08:15:02 | D:\Backups\mail.qmb | backed up
//   2024-05-04 08:14:40 | D:\Backups\mail.qmb | not run | not due yet: last backup on 2024-05-03, every 7 days
//   2024-05-11 08:20:13 | - | failed | script unreadable
// Date and time (local), the archive ("-" while the run did not know it),
// the result and, after anything but a backup made and recorded, the
// reason. Fields are separated by " | ", which no path holds; line breaks
// and other control characters inside a field become blanks.
#include <string>

namespace ScriptLog {

enum class Result { kBackedUp, kNotRun, kFailed };

// The log of a script: its extension replaced by ".log" ("weekly.oes" ->
// "weekly.log"); a script that itself ends in ".log" gets ".log" added, so
// the log is never the script.
std::string LogFileOf(const std::string& script);

// "YYYY-MM-DD hh:mm:ss" of an OLE date; "YYYY-MM-DD" alone when `withTime`
// is false.
std::string DateText(double oleDate, bool withTime = true);

// One line of the log, without its line break.
std::string Line(double when, const std::string& archive, Result result, const std::string& reason);

// Adds the line at the end of the script's log, after a line break should
// the log not end in one. Earlier lines are never rewritten. False when the
// log could not be written.
bool Append(const std::string& script, const std::string& line);

// The last line of the script's log, control characters made blanks; ""
// when there is no log or nothing in it.
std::string LastLine(const std::string& script);

}  // namespace ScriptLog
