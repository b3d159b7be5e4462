#include "support/sandbox.h"

#include <cstdlib>
#include <string>

#include "platform/files.h"
#include "platform/paths.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include <filesystem>

#include "platform/emulated/emulation.h"
#endif

namespace testsupport {

namespace {
int g_counter = 0;
}

std::string FileBytes(const std::string& path) {
  std::string bytes;
  return platform::ReadWholeFile(path, bytes) ? bytes : std::string();
}

Sandbox::Sandbox() {
#ifdef _WIN32
  char temp[MAX_PATH + 1];
  ::GetTempPathA(MAX_PATH, temp);
  do {
    root_ = std::string(temp) + "qmtest-" + std::to_string(::GetCurrentProcessId()) + "-" +
            std::to_string(++g_counter) + "\\";
  } while (::GetFileAttributesA(root_.c_str()) != INVALID_FILE_ATTRIBUTES);
  ::CreateDirectoryA(root_.c_str(), nullptr);
#else
  platform::emu::Reset();
  const char* tmp = std::getenv("TMPDIR");
  std::string tmpl = std::string(tmp && *tmp ? tmp : "/tmp") + "/qmtest-XXXXXX";
  host_ = ::mkdtemp(tmpl.data());
  platform::emu::MapDrive('T', host_);
  // A small Windows machine on drive C: of its own.
  std::filesystem::create_directories(host_ + "/C/Windows/system32");
  std::filesystem::create_directories(host_ + "/C/Users/user/Local Settings/Temp");
  std::filesystem::create_directories(host_ + "/C/Users/user/Application Data");
  std::filesystem::create_directories(host_ + "/C/Program Files/Quillmere");
  std::filesystem::create_directories(host_ + "/T");
  platform::emu::MapDrive('C', host_ + "/C");
  platform::emu::MapDrive('T', host_ + "/T");
  platform::emu::SetSystemDirectory("C:\\Windows\\system32");
  platform::emu::SetTempDirectory("C:\\Users\\user\\Local Settings\\Temp\\");
  platform::emu::SetSpecialFolder(platform::kCsidlLocalAppData, "C:\\Users\\user\\Local Settings");
  platform::emu::SetSpecialFolder(platform::kCsidlAppData, "C:\\Users\\user\\Application Data");
  platform::emu::SetSpecialFolder(platform::kCsidlProfile, "C:\\Users\\user");
  platform::emu::SetEnvironment("USERPROFILE", "C:\\Users\\user");
  platform::emu::SetEnvironment("SystemRoot", "C:\\Windows");
  platform::emu::SetProgramPath("C:\\Program Files\\Quillmere\\quillmere.exe");
  root_ = "T:\\";
  ++g_counter;
#endif
}

static void RemoveTree(const std::string& folder) {
  std::vector<platform::DirEntry> entries;
  if (platform::ListFolder(folder + "*.*", entries)) {
    for (const auto& e : entries) {
      if (e.name == "." || e.name == "..") continue;
      std::string p = folder + e.name;
      platform::SetAttributes(p, platform::kAttrNormal);
      if (e.attributes & platform::kAttrDirectory) RemoveTree(p + "\\");
      else platform::RemoveFile(p);
    }
  }
  platform::RemoveFolder(folder);
}

Sandbox::~Sandbox() {
#ifdef _WIN32
  RemoveTree(root_);
#else
  std::error_code ec;
  std::filesystem::remove_all(host_, ec);
  platform::emu::Reset();
#endif
}

void Sandbox::WriteFile(const std::string& relative, const std::string& bytes) const {
  platform::WriteWholeFile(Path(relative), bytes);
}

void Sandbox::MakeFolder(const std::string& relative) const { platform::CreateFolder(Path(relative)); }

bool Sandbox::Exists(const std::string& relative) const {
  return platform::GetAttributes(Path(relative)) != platform::kInvalidAttributes;
}

}  // namespace testsupport
