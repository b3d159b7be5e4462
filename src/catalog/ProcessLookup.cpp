#include "catalog/ProcessLookup.h"

#include <cctype>

#include "platform/process.h"
#include "platform/system.h"

namespace catalog {

namespace {
std::string TrimUpper(const std::string& s) {
  std::string t;
  for (char c : s)
    if (c != '\0') t += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::size_t b = t.find_first_not_of(' '), e = t.find_last_not_of(' ');
  return b == std::string::npos ? std::string() : t.substr(b, e - b + 1);
}
}  // namespace

std::string ProcessLookup(const std::string& exeName) {
  const std::string target = TrimUpper(exeName);
  std::string result;
  if (!platform::IsNtPlatform()) return result;
  for (const platform::ProcessInfo& p : platform::ListProcesses(&platform::DoEvents)) {
    std::string path = TrimUpper(p.exePath);
    std::string file = path.substr(path.find_last_of('\\') + 1);
    if (file == target) result = std::to_string(p.workingSet / 1024);
  }
  return result;
}

}  // namespace catalog
