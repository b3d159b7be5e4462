#include "shell/RunRecord.h"

#include "platform/files.h"
#include "platform/process.h"
#include "shell/OneBasedList.h"
#include "shell/modFunction.h"

namespace RunRecord {

namespace {

constexpr const char kPrefix[] = "~qmrun";

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::string RecordOf(std::uint32_t pid) { return modFunction::LibraryFolder() + kPrefix + std::to_string(pid) + ".lst"; }

std::vector<std::string> Lines(const std::string& file) {
  std::string text;
  std::vector<std::string> lines;
  if (!platform::ReadWholeFile(file, text)) return lines;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find("\r\n", at);
    if (end == std::string::npos) end = text.size();
    if (end > at) lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

void Write(const std::string& file, const std::vector<std::string>& lines) {
  if (lines.empty()) {
    platform::RemoveFile(file);
    return;
  }
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";
  platform::WriteWholeFile(file, text);
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> out;
  TextList parts = SplitList(line, "\t");
  for (std::int32_t k = 1; k <= parts.Count(); ++k) out.push_back(parts.At(k));
  return out;
}

void Add(const std::vector<std::string>& fields) {
  std::string line;
  for (const std::string& f : fields) line += (line.empty() ? "" : "\t") + f;
  std::vector<std::string> lines = Lines(RecordFile());
  lines.push_back(line);
  Write(RecordFile(), lines);
}

std::string LastPart(const std::string& path) {
  std::string p = path;
  while (!p.empty() && p.back() == '\\') p.pop_back();
  return p.substr(p.find_last_of('\\') + 1);
}

std::string Parent(const std::string& path) {
  std::string p = path;
  while (!p.empty() && p.back() == '\\') p.pop_back();
  std::size_t cut = p.find_last_of('\\');
  return cut == std::string::npos ? std::string() : p.substr(0, cut + 1);
}

// Only what this program makes, by its own name patterns.
bool IsOwnArchive(const std::string& path) {
  const std::string name = Lower(LastPart(path));
  return name.rfind("qmb", 0) == 0 && name.size() > 7 && name.compare(name.size() - 4, 4, ".tmp") == 0;
}

bool IsOwnWorkFolder(const std::string& folder) {
  const std::string name = Lower(LastPart(folder));
  return Lower(Parent(folder)) == Lower(modFunction::TempPath()) &&
         (name.rfind("~oe", 0) == 0 || name.rfind("scr", 0) == 0);
}

bool IsOwnAsideFolder(const std::string& aside, const std::string& store) {
  return Lower(Parent(aside)) == Lower(store) && Lower(LastPart(aside)).rfind("~qm-old", 0) == 0;
}

void RemoveTree(const std::string& folder) {
  std::string f = folder;
  while (!f.empty() && f.back() == '\\') f.pop_back();
  if (f.empty()) return;
  modFunction::DeleteFolderTree(f);
  platform::RemoveFolder(f);
}

// Unless the copy was complete, the new files go (only once copying had
// begun: before that a file of a new one's name is still an old one) and
// the old ones come back.
void PutStoreBack(const std::vector<std::string>& f, bool copying, bool complete) {
  // store <aside> <store> <new file>...
  if (f.size() < 3) return;
  std::string aside = f[1], store = f[2];
  if (!aside.empty() && aside.back() != '\\') aside += '\\';
  if (!store.empty() && store.back() != '\\') store += '\\';
  if (!IsOwnAsideFolder(aside, store) || platform::GetAttributes(aside) == platform::kInvalidAttributes) return;
  if (!complete) {
    for (std::size_t k = 3; k < f.size() && copying; ++k) {
      if (f[k].find_first_of("\\/:") != std::string::npos) continue;
      platform::SetAttributes(store + f[k], platform::kAttrNormal);
      platform::RemoveFile(store + f[k]);
    }
    std::vector<platform::DirEntry> moved;
    platform::ListFolder(aside + "*.*", moved);
    for (const platform::DirEntry& e : moved)
      if (!(e.attributes & platform::kAttrDirectory)) platform::MoveFileReplace(aside + e.name, store + e.name);
  }
  RemoveTree(aside);
}

void CarryOut(const std::string& file) {
  const std::vector<std::string> lines = Lines(file);
  std::vector<std::string> complete, copying;
  for (const std::string& line : lines) {
    std::vector<std::string> f = Fields(line);
    if (f.size() >= 2 && f[0] == "stored") complete.push_back(Lower(f[1]));
    if (f.size() >= 2 && f[0] == "copying") copying.push_back(Lower(f[1]));
  }
  auto listed = [](const std::vector<std::string>& in, const std::string& aside) {
    for (const std::string& c : in)
      if (c == Lower(aside)) return true;
    return false;
  };
  for (const std::string& line : lines) {
    std::vector<std::string> f = Fields(line);
    if (f.size() < 2) continue;
    if (f[0] == "archive" && IsOwnArchive(f[1])) {
      platform::SetAttributes(f[1], platform::kAttrNormal);
      platform::RemoveFile(f[1]);
      // The zip library writes the archive into "<name>.<random>" and
      // renames it at the end: what a killed run leaves is that file.
      std::vector<platform::DirEntry> partial;
      platform::ListFolder(f[1] + ".*", partial);
      for (const platform::DirEntry& e : partial) {
        const std::string suffix = e.name.substr(LastPart(f[1]).size());
        if (suffix.size() < 7 || suffix.size() > 9 || suffix.find_first_of("\\/:.", 1) != std::string::npos) continue;
        platform::SetAttributes(Parent(f[1]) + e.name, platform::kAttrNormal);
        platform::RemoveFile(Parent(f[1]) + e.name);
      }
    } else if (f[0] == "work" && IsOwnWorkFolder(f[1])) {
      RemoveTree(f[1]);
    } else if (f[0] == "store") {
      PutStoreBack(f, listed(copying, f[1]), listed(complete, f[1]));
    }
  }
  platform::RemoveFile(file);
}

}  // namespace

std::string RecordFile() { return RecordOf(platform::CurrentProcessId()); }

void NoteArchive(const std::string& path) { Add({"archive", path}); }
void NoteWorkFolder(const std::string& folder) { Add({"work", folder}); }

void NoteStore(const std::string& asideFolder, const std::string& storeFolder,
               const std::vector<std::string>& newFiles) {
  std::vector<std::string> f = {"store", asideFolder, storeFolder};
  f.insert(f.end(), newFiles.begin(), newFiles.end());
  Add(f);
}

void StoreCopying(const std::string& asideFolder) { Add({"copying", asideFolder}); }
void StoreComplete(const std::string& asideFolder) { Add({"stored", asideFolder}); }

void Strike(const std::string& path) {
  std::vector<std::string> kept;
  for (const std::string& line : Lines(RecordFile())) {
    std::vector<std::string> f = Fields(line);
    if (f.size() < 2 || Lower(f[1]) != Lower(path)) kept.push_back(line);
  }
  Write(RecordFile(), kept);
}

void Remove() { platform::RemoveFile(RecordFile()); }

int Recover(bool atStart) {
  const std::string folder = modFunction::LibraryFolder();
  std::vector<platform::DirEntry> records;
  platform::ListFolder(folder + kPrefix + "*.lst", records);
  int done = 0;
  for (const platform::DirEntry& e : records) {
    const std::string digits = e.name.substr(sizeof kPrefix - 1, e.name.size() - (sizeof kPrefix - 1) - 4);
    if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) continue;
    const auto pid = static_cast<std::uint32_t>(std::stoul(digits));
    if (platform::ProcessRunning(pid) && !(atStart && pid == platform::CurrentProcessId())) continue;
    CarryOut(folder + e.name);
    ++done;
  }
  return done;
}

}  // namespace RunRecord
