#include "cleaner/ExitCleaner.h"

#include <cctype>

#include "platform/files.h"
#include "platform/system.h"
#include "archive/LibraryBinding.h"
#include "helpers/modFunction.h"

namespace ExitCleaner {

namespace {
std::string Trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(' '), e = s.find_last_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}
// Short form of a path that may be gone already: its folder's short form
// and its own name.
std::string Short(const std::string& path) {
  std::string s = modFunction::ShortPathName(path);
  if (!s.empty()) return s;
  std::size_t cut = path.find_last_of('\\', path.size() > 1 ? path.size() - 2 : 0);
  if (cut == std::string::npos) return path;
  std::string folder = modFunction::ShortPathName(path.substr(0, cut + 1));
  return (folder.empty() ? path.substr(0, cut + 1) : folder) + path.substr(cut + 1);
}
std::string NoSlash(std::string s) {
  while (s.size() > 3 && s.back() == '\\') s.pop_back();
  return s;
}
}  // namespace

std::vector<std::string> ParseFolderList(const std::string& commandLine) {
  std::string line = Trim(commandLine);  // paths keep their letter case
  if (!line.empty()) line.pop_back();
  std::vector<std::string> out;
  for (std::size_t start = 0; start <= line.size();) {
    std::size_t cut = line.find('/', start);
    if (cut == std::string::npos) cut = line.size();
    std::string piece = Trim(line.substr(start, cut - start));
    if (!piece.empty()) out.push_back(piece);
    start = cut + 1;
  }
  return out;
}

bool IsCleanableFolder(const std::string& folder, const std::string& tempPath) {
  const std::string f = platform::FoldCase(folder), t = platform::FoldCase(tempPath);
  if (t.empty() || f.size() <= t.size() || f.compare(0, t.size(), t) != 0) return false;
  std::string rest = f.substr(t.size());
  return rest.find("..") == std::string::npos && rest.find('\\') >= rest.size() - 1;
}

void CleanFolders(const std::vector<std::string>& folders) {
  std::vector<platform::DirEntry> entries;
  for (const std::string& folder : folders) {
    std::string f = NoSlash(folder);
    if (!platform::ListFolder(f + "\\*.*", entries)) continue;
    for (const platform::DirEntry& e : entries) {
      if (e.attributes & platform::kAttrDirectory) continue;
      platform::SetAttributes(f + "\\" + e.name, platform::kAttrNormal);
      platform::RemoveFile(f + "\\" + e.name);
    }
    platform::RemoveFolder(f);
  }
}

std::vector<std::string> BatchLines(const std::string& libraryFolder, const std::string& selfPath,
                                    const std::vector<std::string>& folders,
                                    const std::string& batchPath) {
  const std::string zip = libraryFolder + ziplib::kZipLibraryName;
  const std::string unzip = libraryFolder + ziplib::kUnzipLibraryName;
  std::vector<std::string> lines = {
      "@echo off",
      ":START",
      "del " + zip,
      "del " + unzip,
      "del " + selfPath,
      "if exist " + zip + " GOTO START",
      "if exist " + unzip + " GOTO START",
      "if exist " + selfPath + " GOTO START",
  };
  for (const std::string& folder : folders) lines.push_back("rd " + folder);
  lines.push_back("del " + batchPath);
  return lines;
}

std::string FreeBatchName(const std::string& folder) {
  std::string path = folder + "~killzipDLL.bat";
  for (int n = 1; platform::GetAttributes(path) != platform::kInvalidAttributes; ++n)
    path = folder + "~killzipDLL" + std::to_string(n) + ".bat";
  return path;
}

std::string Run(const std::string& commandLine, const std::string& selfPath) {
  std::vector<std::string> folders;
  const std::string temp = modFunction::TempPath();
  for (const std::string& f : ParseFolderList(commandLine))
    if (IsCleanableFolder(f, temp)) folders.push_back(f);
  CleanFolders(folders);

  const std::string libraryFolder = modFunction::LibraryFolder();
  const std::string batch = FreeBatchName(libraryFolder);
  if (!platform::WriteWholeFile(batch, "")) return "";

  std::vector<std::string> shortFolders;
  for (const std::string& f : folders) shortFolders.push_back(NoSlash(Short(NoSlash(f))));
  std::string shortLib = Short(libraryFolder);
  if (!shortLib.empty() && shortLib.back() != '\\') shortLib += '\\';
  std::string text;
  for (const std::string& line : BatchLines(shortLib, Short(selfPath), shortFolders, Short(batch)))
    text += line + "\r\n";
  if (!platform::WriteWholeFile(batch, text)) return "";
  platform::ShellRun(nullptr, "open", batch, "", "", platform::kSwHide);
  return batch;
}

}  // namespace ExitCleaner
