#include "schedule/CommandLine.h"

#include <cstdio>

#include "platform/system.h"
#include "schedule/OleDate.h"
#include "helpers/NumericText.h"
#include "helpers/OneBasedList.h"
#include "helpers/modFunction.h"

namespace CommandLine {

UnattendedSwitches ParseUnattendedSwitches(const std::string& line) {
  UnattendedSwitches out;
  TextList pieces = SplitList(line, "/");
  // The switch letters in either case; the script's path as given.
  auto is = [](const std::string& piece, char upper) { return piece[0] == upper || piece[0] == upper - 'A' + 'a'; };
  for (std::int32_t k = 1; k <= pieces.Count(); ++k) {
    const std::string& piece = pieces.At(k);
    if (piece.size() < 3) {
      if (piece.size() == 1 && is(piece, 'O')) out.Overwrite = true;
    } else if (is(piece, 'S') && piece[1] == ' ') {
      out.ScriptPath = piece.substr(2);
    } else if (is(piece, 'I') && piece[1] == ' ' && k < pieces.Count()) {
      double days = NumericValue(piece.substr(2));
      // Compared before rounding, so a huge number cannot overflow.
      out.Interval = days < kMinInterval - 0.5 || days > kMaxInterval + 0.5 ? 0 : RoundToWhole(days);
    }
  }
  if (out.Interval < kMinInterval || out.Interval > kMaxInterval) out.Interval = kDefaultInterval;
  return out;
}

std::string RemoveQuotes(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != '"') out += c;
  return out;
}

std::string ScriptFileOf(const std::string& scriptSwitch) {
  const std::string path = RemoveQuotes(scriptSwitch);
  const std::size_t from = path.find_first_not_of(' '), to = path.find_last_not_of(' ');
  return from == std::string::npos ? std::string() : path.substr(from, to - from + 1);
}

bool IsBackupDue(double lastBackupDate, double now, std::int32_t interval) {
  return OleDate::CalendarDaysBetween(lastBackupDate, now) >= interval;
}

std::string MakeUniqueBackupName(const std::string& path) {
  // Only a dot in the file's own name starts its extension; a dot in a
  // folder name does not.
  std::size_t dot = path.find_last_of('.');
  std::size_t slash = path.find_last_of("\\/");
  if (dot != std::string::npos && slash != std::string::npos && dot < slash) dot = std::string::npos;
  std::string base = dot == std::string::npos ? path : path.substr(0, dot);
  std::string ext = dot == std::string::npos ? std::string(".qmb") : path.substr(dot);
  long long n = dot == std::string::npos ? 0 : static_cast<long long>(dot) + 1;  // 1-based position
  std::string candidate;
  do {
    ++n;
    char digits[24];
    std::snprintf(digits, sizeof digits, "%04lld", n);
    candidate = base + "_" + digits + ext;
    platform::DoEvents();
  } while (modFunction::FileExists(candidate));
  return candidate;
}

}  // namespace CommandLine
