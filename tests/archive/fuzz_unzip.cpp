// Fuzz target: an archive from anywhere, read the way the restore reads one:
// listed, some entries selected, extracted with their folder names into a
// work folder, the password asked for answered with a fixed one. An input is
// two control bytes, then the archive:
//   byte 0  entry k (from 1) is selected when bit (k - 1) % 8 is set
//   byte 1  bit 0: OverwriteExisting; bit 1: a file of the first selected
//           entry's name is there beforehand; bit 2: Test() runs first;
//           bits 3-4: OverwritePrompt answers nothing / yes / all / none;
//           bit 5: the run is cancelled at the second file
// After each input: nothing changed outside the work folder but the archive
// itself; Test() wrote nothing; every file in the work folder is a selected
// entry with its listed size and CRC (or the file that was there before);
// a run reported as successful left every selected entry there; an archive
// that could not be listed is never reported as extracted.
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>

#include "archive/EntryNames.h"
#include "archive/cUnzip.h"
#include "archive/cZip.h"
#include "archive_test_support.h"
#include "platform/emulated/emulation.h"
#include "platform/files.h"
#include "support/fuzz_support.h"
#include "support/sandbox.h"

using testsupport::Require;
namespace hostfs = std::filesystem;

namespace {

constexpr char kPassword[] = "s3cret", kUsersFile[] = "the user's own file";

// Every path below the host folder, folders ending in "/".
std::set<std::string> Tree(const std::string& root) {
  std::set<std::string> out;
  for (const auto& e : hostfs::recursive_directory_iterator(root))
    out.insert(hostfs::relative(e.path(), root).string() + (e.is_directory() ? "/" : ""));
  return out;
}

struct Machine {
  testsupport::Sandbox box;
  std::string archive = box.Path("in.qmb"), work = box.Path("out\\");
  std::string root = hostfs::path(platform::emu::HostPath(box.Root())).parent_path().string();
  std::string workHost = platform::emu::HostPath(box.Root()) + "/out";
  std::set<std::string> before = Tree(root);
};

Machine& M() {
  static Machine m;
  return m;
}

// The file an entry stands for below the work folder as Windows resolves its
// name: "." and empty parts dropped, trailing dots and blanks cut, letter
// case ignored. "" when the name leads nowhere below it.
std::string Resolved(const std::string& name) {
  std::string out;
  for (std::size_t start = 0, end; start <= name.size(); start = end + 1) {
    end = std::min(name.find('\\', start), name.size());
    std::string part = name.substr(start, end - start);
    if (part.empty() || part == ".") continue;
    if (part == "..") return "";
    while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
    if (part.empty()) return "";
    out += (out.empty() ? "" : "\\") + ziplib::FoldedName(part);
  }
  return out;
}

std::string EntryName(const UnzipEntry& e) {
  return e.FileDirectory.empty() ? e.Filename : e.FileDirectory + "\\" + e.Filename;
}

// The files below the work folder by resolved name, with their contents.
void Files(const std::string& folder, const std::string& rel, std::map<std::string, std::string>& out) {
  std::vector<platform::DirEntry> entries;
  platform::ListFolder(folder + "*.*", entries);
  for (const auto& e : entries) {
    if (e.name == "." || e.name == "..") continue;
    const std::string name = rel.empty() ? e.name : rel + "\\" + e.name;
    if (e.attributes & platform::kAttrDirectory) {
      Files(folder + e.name + "\\", name, out);
      continue;
    }
    std::string bytes;
    Require(platform::ReadWholeFile(folder + e.name, bytes), "an extracted file does not read: " + name);
    out[Resolved(name)] = bytes;
  }
}

std::uint32_t Crc(const std::string& bytes) {
  return static_cast<std::uint32_t>(crc32(0L, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

void WriteSeeds(Machine& m) {
  // The program's own archives, with and without the password, and with a
  // password the run does not know: everything selected; every other
  // entry, the file there and Test() first.
  const std::string src = m.box.Path("src\\"), id = "{3F2A8C41-7B1E-4D5A-9C3E-1A2B3C4D5E6F}";
  for (const std::string& folder : {src, src + id, src + id + "\\00000000"}) platform::CreateFolder(folder);
  platform::WriteWholeFile(src + "IdList.lst", std::string("\x08\x00\x0B\x00" "Main\x01{1}\x01" "1\0", 15));
  platform::WriteWholeFile(src + id + "\\Inbox.dbx", std::string(300, 'm'));
  platform::WriteWholeFile(src + id + "\\00000000\\main.txt", "Regards");
  for (const auto& [name, password] : {std::pair<std::string, std::string>{"own", ""}, {"own-password", kPassword},
                                       {"own-other-password", "other"}}) {
    cZip zip;
    archivetest::SetUpBackupZip(zip, src, m.archive, password, "Quillmere backup");
    zip.Zip();
    std::string bytes;
    Require(zip.Success() && platform::ReadWholeFile(m.archive, bytes), "no seed archive");
    testsupport::WriteSeed("unzip-" + name, std::string("\xFF\x00", 2) + bytes);
    testsupport::WriteSeed("unzip-" + name + "-some", std::string("\x55\x1E", 2) + bytes);
  }
  // Archives made by libzip itself: names no writer of ours makes.
  for (const char* password : {static_cast<const char*>(nullptr), kPassword}) {
    archivetest::MakeRawArchive(m.archive, {{"a.txt", "a"}, {"D/", ""}, {"D/F", "f"}, {"A.TXT", "second"},
                                            {"D\\G", "g"}, {"../x", "1"}, {"e.", "e"}}, password);
    testsupport::WriteSeed(std::string("unzip-libzip") + (password ? "-password" : ""),
                           std::string("\xFB\x19", 2) + testsupport::FileBytes(m.archive));
  }
  platform::RemoveFile(m.archive);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Machine& m = M();
  if (!testsupport::SeedFolder().empty()) {
    WriteSeeds(m);
    hostfs::remove_all(hostfs::path(platform::emu::HostPath(m.box.Path("src"))));
    m.before = Tree(m.root);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Machine& m = M();
  const unsigned select = size > 0 ? data[0] : 0xFF, control = size > 1 ? data[1] : 0;
  const std::size_t skip = std::min<std::size_t>(size, 2);
  hostfs::remove_all(m.workHost);
  m.box.WriteFile("in.qmb", std::string(reinterpret_cast<const char*>(data) + skip, size - skip));

  cUnzip u;
  u.ZipFile(m.archive);
  u.UseFolderNames(true);
  u.UnzipFolder(m.work);
  u.OverwriteExisting(control & 1);
  u.PasswordRequest = [](std::string& password, bool&) { password = kPassword; };
  if (const unsigned answer = (control >> 3) & 3) {
    u.OverwritePrompt = [answer](const std::string&, std::int32_t& response) {
      response = answer == 1 ? kUzReplaceYes : answer == 2 ? kUzReplaceAll : kUzReplaceNone;
    };
  }
  int served = 0;
  if (control & 32) u.Cancel = [&served](const std::string&, bool& cancel) { cancel = ++served == 2; };
  u.Directory();
  const std::int32_t listing = u.LastResult();

  // A file of the user's where the first selected entry goes (plain names
  // only: this program makes it beforehand itself).
  std::string usersFile;
  std::multimap<std::string, const UnzipEntry*> selected, all;
  for (std::int32_t k = 1; k <= u.FileCount(); ++k) {
    u.FileSelected(k, (select >> ((k - 1) % 8)) & 1);
    const std::string name = Resolved(EntryName(u.Entries()[k - 1]));
    all.emplace(name, &u.Entries()[k - 1]);
    if (!u.FileSelected(k)) continue;
    selected.emplace(name, &u.Entries()[k - 1]);
    const bool plain = !name.empty() && std::all_of(name.begin(), name.end(), [](unsigned char c) {
      return std::isalnum(c) || std::strchr(" ._-{}\\", c);
    });
    if ((control & 2) && usersFile.empty() && plain) usersFile = name;
  }
  if (!usersFile.empty()) {
    platform::CreateFolder(m.work.substr(0, m.work.size() - 1));
    for (std::size_t cut = usersFile.find('\\'); cut != std::string::npos; cut = usersFile.find('\\', cut + 1))
      platform::CreateFolder(m.work + usersFile.substr(0, cut));
    platform::WriteWholeFile(m.work + usersFile, kUsersFile);
  }

  // The machine's files, checked: only the work folder and the archive are new.
  auto checkedTree = [&m] {
    std::set<std::string> now = Tree(m.root);
    for (const std::string& p : now)
      Require(m.before.count(p) || p == "T/in.qmb" || p.rfind("T/out/", 0) == 0, "a file outside the work folder: " + p);
    for (const std::string& p : m.before) Require(now.count(p) > 0, "a file outside the work folder went: " + p);
    return now;
  };
  if (control & 4) {
    const std::set<std::string> before = checkedTree();
    const bool tested = u.Test();
    Require(checkedTree() == before, "Test() changed the files");
    Require(listing == 0 || !tested, "an archive that cannot be listed tested whole");
  }
  bool extracted = false, raised = false;
  try {
    extracted = u.Unzip();
  } catch (const UnzipError&) {
    raised = true;  // too many names to select: nothing is run
  }
  checkedTree();
  Require(listing == 0 || !extracted, "an archive that cannot be listed was extracted");

  std::map<std::string, std::string> files;
  Files(m.work, "", files);
  for (const auto& [name, bytes] : files) {
    if (name == usersFile && bytes == kUsersFile) continue;
    // Entries are selected by name: of several entries of one name, any may
    // be the one written. AES entries keep no CRC (their authentication code
    // stands for it).
    bool matches = false;
    for (auto [it, end] = all.equal_range(name); it != end && !matches && selected.count(name); ++it)
      matches = it->second->Size == bytes.size() && (it->second->FileAes || it->second->Crc == Crc(bytes));
    Require(matches, "a file that is no selected entry's content: " + name);
  }
  if (!extracted || raised) return 0;
  for (const auto& [name, entry] : selected)
    Require(!name.empty() && files.count(name), "reported extracted but not there: " + EntryName(*entry));
  return 0;
}
