#include "helpers/RunRecord.h"

#include <chrono>
#include <cstdio>
#include <random>

#include "platform/files.h"
#include "platform/process.h"
#include "helpers/OneBasedList.h"
#include "helpers/modFunction.h"

namespace RunRecord {

namespace {

constexpr const char kPrefix[] = "~qmrun";

std::function<bool(const std::string&)>& Hook() {
  static std::function<bool(const std::string&)> hook;
  return hook;
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::string RecordOf(std::uint32_t pid) { return modFunction::LibraryFolder() + kPrefix + std::to_string(pid) + ".lst"; }

// The file a change is written to before it takes the record's place.
std::string FreshOf(const std::string& record) { return record.substr(0, record.size() - 4) + ".new"; }

// False when the record is there but cannot be read (no record: no lines).
bool Lines(const std::string& file, std::vector<std::string>& lines) {
  lines.clear();
  std::string text;
  if (!platform::ReadWholeFile(file, text)) return platform::GetAttributes(file) == platform::kInvalidAttributes;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find("\r\n", at);
    if (end == std::string::npos) end = text.size();
    if (end > at) lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return true;
}

// The record is replaced whole: a kill at any moment leaves the old one or
// the new one.
bool Write(const std::string& file, const std::vector<std::string>& lines, const std::string& change) {
  if (Hook() && !Hook()(change)) return false;
  if (lines.empty()) return platform::RemoveFile(file) || platform::GetAttributes(file) == platform::kInvalidAttributes;
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";
  const std::string fresh = FreshOf(file);
  if (platform::WriteWholeFileFlushed(fresh, text) && platform::MoveFileReplace(fresh, file)) return true;
  platform::RemoveFile(fresh);
  return false;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> out;
  TextList parts = SplitList(line, "\t");
  for (std::int32_t k = 1; k <= parts.Count(); ++k) out.push_back(parts.At(k));
  return out;
}

bool Add(const std::vector<std::string>& fields) {
  std::string line;
  for (const std::string& f : fields) line += (line.empty() ? "" : "\t") + f;
  std::vector<std::string> lines;
  if (!Lines(RecordFile(), lines)) return false;
  lines.push_back(line);
  return Write(RecordFile(), lines, line);
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
// An old file that cannot come back stays in the aside folder, never
// deleted (the line is struck all the same: a second attempt would take the
// old files that came back for new ones).
void CarryOutStore(const std::vector<std::string>& f, bool copying, bool complete) {
  // store <aside> <store> <new file>...
  if (f.size() < 3) return;
  std::string aside = f[1], store = f[2];
  if (!aside.empty() && aside.back() != '\\') aside += '\\';
  if (!store.empty() && store.back() != '\\') store += '\\';
  if (!IsOwnAsideFolder(aside, store) || platform::GetAttributes(aside) == platform::kInvalidAttributes) return;
  bool back = true;
  if (!complete) {
    for (std::size_t k = 3; k < f.size() && copying; ++k) {
      if (f[k].find_first_of("\\/:") != std::string::npos) continue;
      platform::SetAttributes(store + f[k], platform::kAttrNormal);
      platform::RemoveFile(store + f[k]);
    }
    std::vector<platform::DirEntry> moved;
    platform::ListFolder(aside + "*.*", moved);
    for (const platform::DirEntry& e : moved)
      if (!(e.attributes & platform::kAttrDirectory))
        back = platform::MoveFileReplace(aside + e.name, store + e.name) && back;
  }
  if (back) RemoveTree(aside);
}

// How far the store noted under an aside folder got: copying had begun,
// the copy was complete.
struct StoreState {
  std::vector<std::string> copying, complete;  // aside folders, lower case
  explicit StoreState(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
      std::vector<std::string> f = Fields(line);
      if (f.size() >= 2 && f[0] == "stored") complete.push_back(Lower(f[1]));
      if (f.size() >= 2 && f[0] == "copying") copying.push_back(Lower(f[1]));
    }
  }
  static bool Listed(const std::vector<std::string>& in, const std::string& aside) {
    for (const std::string& c : in)
      if (c == Lower(aside)) return true;
    return false;
  }
  void CarryOut(const std::vector<std::string>& f) const {
    CarryOutStore(f, Listed(copying, f[1]), Listed(complete, f[1]));
  }
};

// False when the record cannot be read: it is left for a later start.
bool CarryOut(const std::string& file) {
  std::vector<std::string> lines;
  if (!Lines(file, lines)) return false;
  const StoreState stores(lines);
  for (const std::string& line : lines) {
    std::vector<std::string> f = Fields(line);
    if (f.size() < 2) continue;
    // The archive is written into the very file noted (no other temporary
    // beside it): that file and nothing else goes.
    if (f[0] == "archive" && IsOwnArchive(f[1])) {
      platform::SetAttributes(f[1], platform::kAttrNormal);
      platform::RemoveFile(f[1]);
    } else if (f[0] == "work" && IsOwnWorkFolder(f[1])) {
      RemoveTree(f[1]);
    } else if (f[0] == "store") {
      stores.CarryOut(f);
    }
  }
  platform::RemoveFile(file);
  return true;
}

// The next number for a name the program makes (collisions are looked for).
std::uint32_t NextNumber(std::uint32_t range) {
  static std::mt19937 gen(static_cast<unsigned>(std::chrono::high_resolution_clock::now().time_since_epoch().count()));
  return std::uniform_int_distribution<std::uint32_t>(1, range)(gen);
}

}  // namespace

std::string RecordFile() { return RecordOf(platform::CurrentProcessId()); }

bool NoteArchive(const std::string& path) { return Add({"archive", path}); }
bool NoteWorkFolder(const std::string& folder) { return Add({"work", folder}); }

bool NoteStore(const std::string& asideFolder, const std::string& storeFolder,
               const std::vector<std::string>& newFiles) {
  std::vector<std::string> f = {"store", asideFolder, storeFolder};
  f.insert(f.end(), newFiles.begin(), newFiles.end());
  return Add(f);
}

bool StoreCopying(const std::string& asideFolder) { return Add({"copying", asideFolder}); }
bool StoreComplete(const std::string& asideFolder) { return Add({"stored", asideFolder}); }

bool PutStoreBack(const std::string& asideFolder) {
  std::vector<std::string> lines;
  if (!Lines(RecordFile(), lines)) return false;
  const StoreState stores(lines);
  for (const std::string& line : lines) {
    std::vector<std::string> f = Fields(line);
    if (f.size() < 3 || f[0] != "store" || Lower(f[1]) != Lower(asideFolder)) continue;
    stores.CarryOut(f);
    Strike(asideFolder);
    return true;
  }
  return false;
}

bool Strike(const std::string& path) {
  std::vector<std::string> lines, kept;
  if (!Lines(RecordFile(), lines)) return false;
  for (const std::string& line : lines) {
    std::vector<std::string> f = Fields(line);
    if (f.size() < 2 || Lower(f[1]) != Lower(path)) kept.push_back(line);
  }
  return kept.size() == lines.size() || Write(RecordFile(), kept, "strike\t" + path);
}

void Remove() {
  platform::RemoveFile(RecordFile());
  platform::RemoveFile(FreshOf(RecordFile()));
}

std::string MakeWorkFolder() {
  const std::string temp = modFunction::TempPath();
  char name[16];
  std::string path;
  for (int tries = 0; tries < 100000; ++tries) {
    if (tries == 0) std::snprintf(name, sizeof name, "~oe%05u", static_cast<unsigned>(NextNumber(99999)));
    else std::snprintf(name, sizeof name, "scr%u", static_cast<unsigned>(NextNumber(9000)));
    path = temp + name;
    if (platform::GetAttributes(path) == platform::kInvalidAttributes) break;
  }
  NoteWorkFolder(path + "\\");
  std::string made = path;
  modFunction::MakeFolderPath(made);
  return path + "\\";
}

std::string MakeArchiveFile(const std::string& folder) {
  std::string dir = folder;
  if (!dir.empty() && dir.back() != '\\') dir += '\\';
  if (!platform::IsDirectory(dir)) return "";
  char hex[8];
  for (int tries = 0; tries < 1000; ++tries) {
    std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(NextNumber(0xFFFF)));
    const std::string path = dir + "qmb" + hex + ".tmp";
    if (platform::GetAttributes(path) != platform::kInvalidAttributes) continue;
    if (!NoteArchive(path)) return "";
    if (platform::CreateNewFile(path)) return path;
    Strike(path);  // made by someone else meanwhile: not the program's
  }
  return "";
}

int Recover(bool atStart) {
  const std::string folder = modFunction::LibraryFolder();
  int done = 0;
  for (const char* kind : {".lst", ".new"}) {
    std::vector<platform::DirEntry> records;
    platform::ListFolder(folder + kPrefix + "*" + kind, records);
    for (const platform::DirEntry& e : records) {
      if (e.name.size() <= sizeof kPrefix - 1 + 4) continue;
      const std::string digits = e.name.substr(sizeof kPrefix - 1, e.name.size() - (sizeof kPrefix - 1) - 4);
      if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) continue;
      if (Lower(e.name.substr(e.name.size() - 4)) != kind) continue;
      const auto pid = static_cast<std::uint32_t>(std::stoul(digits));
      if (platform::ProcessRunning(pid) && !(atStart && pid == platform::CurrentProcessId())) continue;
      // A change that was never moved over its record: the record holds
      // everything made so far.
      if (std::string(kind) == ".new") platform::RemoveFile(folder + e.name);
      else if (CarryOut(folder + e.name)) ++done;
    }
  }
  return done;
}

void SetWriteHook(std::function<bool(const std::string& change)> hook) { Hook() = std::move(hook); }

}  // namespace RunRecord
