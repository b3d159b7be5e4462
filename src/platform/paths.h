#pragma once
// Where things are: the program, the system, the temporary folder, the
// user's special folders; short names and environment expansion.
#include <cstdint>
#include <string>

namespace platform {

std::string ProgramFolder();    // raw, as the system reports it (no trailing "\" unless a root)
std::string ProgramFileName();  // the program's own file name without folder and extension
std::string SystemDirectory();  // raw, as GetSystemDirectory gives it
std::string TempDirectory();    // as GetTempPath gives it, ending in "\"
// GetTempFileName: creates an empty file "<folder><prefix(3)><hex>.tmp" and
// returns its path, or "" on failure.
std::string TempFileName(const std::string& folder, const std::string& prefix);
std::string ShortPath(const std::string& path);  // 8.3 form, or "" on failure
std::string LongPath(const std::string& path);   // every part in its long form, or "" on failure
// Shell special folder by CSIDL value; "" when unknown. No trailing "\".
std::string SpecialFolder(int csidl);
std::string ExpandEnvironment(const std::string& text);

// CSIDL values used by the program.
constexpr int kCsidlAppData = 0x1a;
constexpr int kCsidlLocalAppData = 0x1c;
constexpr int kCsidlProfile = 0x28;
constexpr int kCsidlPersonal = 0x05;

}  // namespace platform
