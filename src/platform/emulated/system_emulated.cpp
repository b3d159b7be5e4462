// Paths, places and process services of the emulated platform.
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <cstdio>

#include "platform/emulated/state.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/system.h"

#include "platform/emulated/codepage.h"

namespace platform {

using emu::state;

std::string ProgramFolder() {
  const std::string& p = state().programPath;
  std::size_t cut = p.find_last_of('\\');
  if (cut == std::string::npos) return "";
  return cut == 2 ? p.substr(0, 3) : p.substr(0, cut);
}

std::string ProgramFileName() {
  const std::string& p = state().programPath;
  std::string name = p.substr(p.find_last_of('\\') + 1);
  std::size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string SystemDirectory() { return state().systemDirectory; }
std::string TempDirectory() { return state().tempDirectory; }

std::string TempFileName(const std::string& folder, const std::string& prefix) {
  std::string dir = folder;
  if (!dir.empty() && dir.back() != '\\') dir += '\\';
  if (!IsDirectory(dir)) return "";
  for (int tries = 0; tries < 65535; ++tries) {
    unsigned n = (++state().tempCounter + static_cast<unsigned>(::getpid())) & 0xFFFF;
    if (n == 0) continue;
    char hex[8];
    std::snprintf(hex, sizeof hex, "%X", n);
    std::string path = dir + prefix.substr(0, 3) + hex + ".tmp";
    if (GetAttributes(path) != kInvalidAttributes) continue;
    if (WriteWholeFile(path, "")) return path;
    return "";
  }
  return "";
}

std::string ShortPath(const std::string& path) {
  return GetAttributes(path) == kInvalidAttributes ? "" : path;
}

// No short names here: both forms are the path itself.
std::string LongPath(const std::string& path) { return ShortPath(path); }

std::string SpecialFolder(int csidl) {
  auto it = state().specialFolders.find(csidl);
  return it == state().specialFolders.end() ? "" : it->second;
}

std::string ExpandEnvironment(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t end = text[i] == '%' ? text.find('%', i + 1) : std::string::npos;
    if (end == std::string::npos) {
      out += text[i++];
      continue;
    }
    std::string name = text.substr(i + 1, end - i - 1);
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    auto it = state().environment.find(name);
    if (it != state().environment.end()) {
      out += it->second;
      i = end + 1;
    } else {
      out += text.substr(i, end - i);  // unknown names stay as they are
      i = end;
    }
  }
  return out;
}

std::string CommandLineArgs() { return state().commandLine; }
std::uint32_t VersionWord() { return state().versionWord; }

std::intptr_t ShellRun(void*, const std::string& verb, const std::string& file,
                           const std::string& parameters, const std::string& folder, int show) {
  state().shellCalls.push_back({verb, file, parameters, folder, show});
  if (file.empty() || GetAttributes(file) == kInvalidAttributes) return 2;  // file not found
  return state().shellResult;
}

bool LoadProgramResource(const std::string& type, int id, std::string& bytes) {
  auto it = state().resources.find({type, id});
  if (it == state().resources.end()) return false;
  bytes = it->second;
  return true;
}

void* LoadModule(const std::string& name) {
  static int token;
  return name.empty() ? nullptr : &token;
}
void ReleaseModule(void*) {}
bool InitCommonControls(std::uint32_t) { return true; }

void DoEvents() {
  ++state().doEventsCount;
  auto hooks = state().doEventsHooks;  // a hook may add hooks
  for (auto& hook : hooks) hook();
  emu::RunDueTimers();
}

void DiscardQueuedClicks(void*) {}  // nothing queues clicks here
bool FocusFirstControl(void*, void*) { return false; }  // no windows here

std::string AnsiToUtf8(const std::string& ansi) { return emu::AnsiToUtf8(ansi); }
std::string Utf8ToAnsi(const std::string& utf8, bool* lossless) {
  std::string ansi = emu::Utf8ToAnsi(utf8);
  if (lossless) *lossless = emu::AnsiToUtf8(ansi) == utf8;
  return ansi;
}

namespace {
MousePointer g_pointer = MousePointer::Default;
}
void SetMousePointer(MousePointer pointer) { g_pointer = pointer; }
MousePointer CurrentMousePointer() { return g_pointer; }
bool ReapplyMousePointer() { return g_pointer != MousePointer::Default; }

void SleepMs(unsigned ms) { ::usleep(ms * 1000u); }

std::string ShortDateToday() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return std::to_string(local.tm_mon + 1) + "/" + std::to_string(local.tm_mday) + "/" +
         std::to_string(local.tm_year + 1900);
}

std::string LastErrorDescription() {
  const int code = errno;
  return code ? std::strerror(code) : "The operation could not be completed.";
}

// The emulated machine's code page is Windows-1252: folding to lower case
// compares the same names as Windows' upper-casing does.
std::string FoldCase(const std::string& text) { return emu::Lower(text); }

}  // namespace platform
