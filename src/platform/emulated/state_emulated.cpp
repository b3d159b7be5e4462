// The emulated machine's state and the mapping of Windows paths onto host folders.
#include <mutex>
#include <dirent.h>
#include <sys/stat.h>

#include <cctype>

#include "platform/emulated/codepage.h"
#include "platform/emulated/state.h"

namespace platform::emu {

State& state() {
  static State s;
  return s;
}

std::string Lower(std::string s) {
  // Windows-1252 letters, accented ones included.
  for (char& ch : s) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 'A' && c <= 'Z') c += 0x20;
    else if (c >= 0xC0 && c <= 0xDE && c != 0xD7) c += 0x20;
    else if (c == 0x8A || c == 0x8C || c == 0x8E) c += 0x10;
    else if (c == 0x9F) c = 0xFF;
    ch = static_cast<char>(c);
  }
  return s;
}

std::string Absolute(const std::string& windowsPath) {
  std::string p = windowsPath;
  for (char& c : p)
    if (c == '/') c = '\\';
  if (p.size() >= 2 && std::isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':') return p;
  if (!p.empty() && p[0] == '\\') {
    if (p.size() > 1 && p[1] == '\\') return p;  // network path: not mapped
    return state().currentFolder.substr(0, 2) + p;
  }
  std::string base = state().currentFolder;
  if (base.empty() || base.back() != '\\') base += '\\';
  return base + p;
}

std::string HostPath(const std::string& windowsPath) {
  std::string p = Absolute(windowsPath);
  if (p.size() < 2 || p[1] != ':') return "";
  auto drive = state().drives.find(static_cast<char>(std::toupper(static_cast<unsigned char>(p[0]))));
  if (drive == state().drives.end()) return "";
  std::string host = drive->second;
  std::size_t pos = 2;
  while (pos <= p.size()) {
    std::size_t next = p.find('\\', pos);
    if (next == std::string::npos) next = p.size();
    std::string piece = p.substr(pos, next - pos);
    pos = next + 1;
    if (piece.empty() || piece == ".") continue;
    if (piece == "..") {
      std::size_t cut = host.find_last_of('/');
      if (cut != std::string::npos && host.size() > drive->second.size()) host.erase(cut);
      continue;
    }
    // Windows ignores trailing dots and blanks of a name.
    while (!piece.empty() && (piece.back() == '.' || piece.back() == ' ')) piece.pop_back();
    if (piece.empty()) continue;
    piece = AnsiToUtf8(piece);
    std::string exact = host + "/" + piece;
    struct stat st{};
    if (::stat(exact.c_str(), &st) != 0) {
      if (DIR* dir = ::opendir(host.c_str())) {
        std::string want = Lower(Utf8ToAnsi(piece));
        while (dirent* e = ::readdir(dir)) {
          if (Lower(Utf8ToAnsi(e->d_name)) == want) {
            exact = host + "/" + e->d_name;
            break;
          }
        }
        ::closedir(dir);
      }
    }
    host = exact;
  }
  return host;
}

void Reset() { state() = State(); }

void MapDrive(char letter, const std::string& hostFolder) {
  std::string h = hostFolder;
  while (h.size() > 1 && h.back() == '/') h.pop_back();
  state().drives[static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))] = h;
}

void SetProgramPath(const std::string& exePath) { state().programPath = exePath; }
void SetSystemDirectory(const std::string& path) { state().systemDirectory = path; }
void SetTempDirectory(const std::string& path) { state().tempDirectory = path; }
void SetSpecialFolder(int csidl, const std::string& path) { state().specialFolders[csidl] = path; }
void SetEnvironment(const std::string& name, const std::string& value) {
  std::string key = name;
  for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  state().environment[key] = value;
}
void SetCommandLine(const std::string& args) { state().commandLine = args; }
void SetVersionWord(std::uint32_t version) { state().versionWord = version; }
void SetResource(const std::string& type, int id, const std::string& bytes) {
  state().resources[{type, id}] = bytes;
}
void SetCurrentFolder(const std::string& path) { state().currentFolder = path; }
void SetCurrentUser(const std::string& name) { state().currentUser = name; }
const std::vector<ShellCall>& ShellCalls() { return state().shellCalls; }
void SetShellResult(std::intptr_t value) { state().shellResult = value; }
void SetDiskSpace(std::int64_t bytes) { state().diskSpace = bytes; }

std::int64_t DiskSpaceLeft() { return state().diskSpace; }

bool TakeDiskSpace(std::size_t bytes) {
  static std::mutex guard;  // the zip workers write too
  std::lock_guard<std::mutex> lock(guard);
  std::int64_t& left = state().diskSpace;
  if (left < 0) return true;
  if (static_cast<std::int64_t>(bytes) > left) {
    left = 0;
    return false;
  }
  left -= static_cast<std::int64_t>(bytes);
  return true;
}

void AddDoEventsHook(std::function<void()> hook) { state().doEventsHooks.push_back(std::move(hook)); }
int DoEventsCount() { return state().doEventsCount; }

}  // namespace platform::emu
