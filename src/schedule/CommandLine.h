#pragma once
// The pieces of the command-line runs that need no window: the switches of
// an unattended backup, whether it is due, and a free name for its archive.
#include <cstdint>
#include <string>

namespace CommandLine {

constexpr std::int32_t kDefaultInterval = 7;
constexpr std::int32_t kMinInterval = 1;
constexpr std::int32_t kMaxInterval = 300;

struct UnattendedSwitches {
  std::string ScriptPath;  // as given, quotes included
  std::int32_t Interval = kDefaultInterval;
  bool Overwrite = false;
};

// Reads "/S <script>", "/I <days>" and "/O" (switch letters in either case)
// from the command line. An "I" switch that is the last piece is ignored; an interval outside
// 1..300 becomes 7; "O" counts only as a piece of exactly one character.
UnattendedSwitches ParseUnattendedSwitches(const std::string& line);

// The text without any double quote character.
std::string RemoveQuotes(const std::string& text);

// The script file that the "S" switch names: without its quotes and without
// the blanks around it (a blank before the next switch follows a quoted
// path; no Windows path begins or ends with one).
std::string ScriptFileOf(const std::string& scriptSwitch);

// True once `interval` calendar days (local day boundaries, not 24-hour
// periods) have begun since `lastBackupDate`; both are OLE dates.
bool IsBackupDue(double lastBackupDate, double now, std::int32_t interval);

// The first free name "<base>_NNNN<ext>" (at least four digits), the counter
// starting after the position of the extension's dot; a name without an
// extension gets ".qmb" and starts at 0001.
std::string MakeUniqueBackupName(const std::string& path);

}  // namespace CommandLine
