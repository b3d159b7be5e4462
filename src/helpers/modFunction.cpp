#include "helpers/modFunction.h"

#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/system.h"
#include "helpers/appinfo.h"

namespace modFunction {

namespace {

std::string WithSlash(std::string path) {
  if (!path.empty() && path.back() != '\\') path += '\\';
  return path;
}

double Random() {
  static std::mt19937 gen(static_cast<unsigned>(
      std::chrono::high_resolution_clock::now().time_since_epoch().count()));
  return std::uniform_real_distribution<double>(0.0, 1.0)(gen);
}

}  // namespace

std::string AppPath() { return WithSlash(platform::ProgramFolder()); }

std::string SystemFolder() { return WithSlash(TrimAtNul(platform::SystemDirectory())); }

std::string TempPath() { return TrimAtNul(platform::TempDirectory()); }

std::string LibraryFolder() {
  std::string base = SpecialFolderPath(platform::kCsidlLocalAppData);
  if (base.empty()) base = TempPath();
  std::string folder = base + appinfo::kPrivateFolderName;
  if (!MakeFolderPath(folder)) return TempPath();
  return folder + "\\";
}

std::string MakeTempFolder() {
  char name[16];
  std::snprintf(name, sizeof name, "~oe%05d", static_cast<int>(Random() * 99999));
  std::string path = TempPath() + name;
  while (IsFolder(path)) {
    std::snprintf(name, sizeof name, "scr%d", static_cast<int>(Random() * 9000));
    path = TempPath() + name;
    platform::DoEvents();
  }
  MakeFolderPath(path);
  return path + "\\";
}

bool MakeFolderPath(std::string& path) {
  for (std::size_t at; (at = path.find("\\\\")) != std::string::npos;) path.replace(at, 2, "\\");
  if (path.find_first_not_of(' ') == std::string::npos) return false;
  if (IsFolder(path)) return true;

  std::vector<std::string> pieces;
  for (std::size_t start = 0;;) {
    std::size_t cut = path.find('\\', start);
    pieces.push_back(path.substr(start, cut == std::string::npos ? std::string::npos : cut - start));
    if (cut == std::string::npos) break;
    start = cut + 1;
  }
  std::string cur = pieces[0];
  if (!IsFolder(cur)) return false;
  for (std::size_t i = 1; i < pieces.size(); ++i) {
    if (pieces[i].empty()) continue;
    cur += "\\" + pieces[i];
    if (!IsFolder(cur) && !platform::CreateFolder(cur)) return false;
  }
  return true;
}

void DeleteFolderTree(const std::string& folder) {
  // A listing visits at most 4000 entries; list again while the last
  // listing was full and still made progress.
  constexpr std::size_t kMaxEntries = 4000;
  std::vector<platform::DirEntry> entries;
  for (bool again = true; again;) {
    again = false;
    if (!platform::ListFolder(folder + "\\*.*", entries, kMaxEntries)) break;
    bool progress = false;
    for (const platform::DirEntry& e : entries) {
      if (e.name == "." || e.name == "..") continue;
      std::string path = folder + "\\" + e.name;
      if (e.attributes & platform::kAttrDirectory) {
        DeleteFolderTree(path);
        progress |= !platform::IsDirectory(path);
      } else {
        platform::SetAttributes(path, platform::kAttrNormal);
        progress |= platform::RemoveFile(path);
      }
    }
    again = entries.size() >= kMaxEntries && progress;
  }
  platform::RemoveFolder(folder);
}

bool FileExists(const std::string& path) {
  std::uint64_t size = 0;
  return !path.empty() && platform::GetFileSize(path, size) && !platform::IsDirectory(path);
}

bool IsFolder(std::string& path) {
  if (path.empty()) return false;
  std::uint32_t a = platform::GetAttributes(path);
  return a != platform::kInvalidAttributes && (a & platform::kAttrDirectory);
}

std::string SpecialFolderPath(std::int32_t csidl) {
  std::string p = TrimAtNul(platform::SpecialFolder(csidl));
  return p.empty() ? p : WithSlash(p);
}

std::string ShortPathName(const std::string& path) { return TrimAtNul(platform::ShortPath(path)); }

std::string TrimAtNul(const std::string& text) {
  std::size_t nul = text.find('\0');
  return (nul == std::string::npos || nul == 0) ? text : text.substr(0, nul);
}

bool IsWin9x() { return (platform::VersionWord() & 0x80000000u) != 0; }

}  // namespace modFunction
