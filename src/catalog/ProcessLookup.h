#pragma once
// Looks for a running process by the file name of its executable.
#include <string>

namespace catalog {

// The working-set size in kilobytes (decimal text) of a running process whose
// executable has the file name `exeName` (letter case ignored, whole name
// only), or "" when none runs. With several, the last one listed counts.
// Outside the NT family the answer is always "".
std::string ProcessLookup(const std::string& exeName);

constexpr const char kMailClientExe[] = "msimn.exe";
constexpr const char kMessengerExe[] = "msmsgs.exe";

}  // namespace catalog
