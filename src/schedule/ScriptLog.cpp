#include "schedule/ScriptLog.h"

#include <cstdio>

#include "platform/files.h"
#include "schedule/OleDate.h"

namespace ScriptLog {

namespace {

// Enough for any line the program writes; a longer last line (a log
// someone else wrote) is shown by its end.
constexpr std::size_t kTailBytes = 4096;

std::string Blanked(std::string text) {
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  return text;
}

const char* ResultText(Result result) {
  switch (result) {
    case Result::kBackedUp: return "backed up";
    case Result::kNotRun: return "not run";
    default: return "failed";
  }
}

}  // namespace

std::string LogFileOf(const std::string& script) {
  const std::size_t slash = script.find_last_of('\\');
  const std::size_t dot = script.find_last_of('.');
  const bool extension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  std::string ext = extension ? script.substr(dot) : std::string();
  for (char& c : ext) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  if (!extension || ext == ".log") return script + ".log";
  return script.substr(0, dot) + ".log";
}

std::string DateText(double oleDate, bool withTime) {
  const OleDate::Parts p = OleDate::ToParts(oleDate);
  char text[32];
  if (withTime)
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour, p.minute,
                  p.second);
  else
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", p.year, p.month, p.day);
  return text;
}

std::string Line(double when, const std::string& archive, Result result, const std::string& reason) {
  std::string line = DateText(when) + " | " + (archive.empty() ? std::string("-") : Blanked(archive)) + " | " +
                     ResultText(result);
  if (!reason.empty()) line += " | " + Blanked(reason);
  return line;
}

bool Append(const std::string& script, const std::string& line) {
  const std::string log = LogFileOf(script);
  std::string end;
  // A log whose last line was cut off (a full disk, another program) does
  // not swallow this one.
  const bool broken = platform::ReadFileTail(log, 1, end) && !end.empty() && end != "\n";
  return platform::AppendToFile(log, (broken ? "\r\n" : "") + line + "\r\n");
}

std::string LastLine(const std::string& script) {
  std::string tail;
  if (!platform::ReadFileTail(LogFileOf(script), kTailBytes, tail)) return "";
  const bool whole = tail.size() < kTailBytes;
  while (!tail.empty() && (tail.back() == '\n' || tail.back() == '\r')) tail.pop_back();
  const std::size_t cut = tail.find_last_of('\n');
  if (cut != std::string::npos) return Blanked(tail.substr(cut + 1));
  // No line break in the whole tail: the line began before it.
  return whole ? Blanked(tail) : "..." + Blanked(tail);
}

}  // namespace ScriptLog
