// The backup run's last step: the working folder, and the store files and
// address book from where they lie, packed into the archive.
// The archive is written under a temporary name beside its destination, read
// back in full, and takes the destination's name only once it has been found
// complete, so a backup that fails (full disk, read-only file or folder, a
// file that does not read back) leaves an earlier backup of that name as it
// was.
#include <algorithm>
#include <memory>
#include <set>
#include <vector>

#include "archive/cUnzip.h"
#include "archive/cZip.h"
#include "backup/ArchiveLayout.h"
#include "backup/BackupRun.h"
#include "backup/IdentityList.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/ui.h"
#include "helpers/RunRecord.h"

namespace backup {

namespace {

std::string Trimmed(const std::string& text) {
  std::size_t from = text.find_first_not_of(' ');
  if (from == std::string::npos) return std::string();
  return text.substr(from, text.find_last_not_of(' ') - from + 1);
}

// The folder part of a path, ending in "\"; the current folder when the
// path names none.
std::string FolderOf(const std::string& path) {
  std::size_t cut = path.find_last_of('\\');
  if (cut != std::string::npos) return path.substr(0, cut + 1);
  std::string current = platform::CurrentFolder();
  return current.empty() || current.back() == '\\' ? current : current + "\\";
}

// Every file below `folder` (ending in "\"), as "sub\name" relative to it.
void Gathered(const std::string& folder, const std::string& relative, std::set<std::string>& out) {
  std::vector<platform::DirEntry> entries;
  platform::ListFolder(folder + relative + "*.*", entries);
  for (const platform::DirEntry& e : entries) {
    if (e.name == "." || e.name == "..") continue;
    if (e.attributes & platform::kAttrDirectory) Gathered(folder, relative + e.name + "\\", out);
    else out.insert(relative + e.name);
  }
}

// Bytes of every file below `folder` (ending in "\"), from the listings.
std::uint64_t GatheredBytes(const std::string& folder) {
  std::vector<platform::DirEntry> entries;
  platform::ListFolder(folder + "*.*", entries);
  std::uint64_t total = 0;
  for (const platform::DirEntry& e : entries) {
    if (e.name == "." || e.name == "..") continue;
    total += e.attributes & platform::kAttrDirectory ? GatheredBytes(folder + e.name + "\\") : e.size;
  }
  return total;
}

std::string SizeText(std::uint64_t bytes) {
  constexpr std::uint64_t kKb = 1024, kMb = 1024 * 1024;
  return bytes < kMb ? std::to_string((bytes + kKb - 1) / kKb) + " KB" : std::to_string((bytes + kMb - 1) / kMb) + " MB";
}

bool IsIdentityList(const UnzipEntry& e) {
  return e.FileDirectory.empty() && e.Filename == ArchiveLayout::kIdListEntry;
}

}  // namespace

// The archive is read back the way the restore opens it, through the same
// selection by name: listed, its identity list extracted on its own and read,
// then every other entry selected (no record of a restore selects more) and
// read back to its CRC. A limit or a fault on that path shows here, before
// the archive takes the place of an earlier one.
bool BackupRun::Verify(const std::string& archive) {
  std::set<std::string> gathered;
  Gathered(tempDir_, "", gathered);
  for (const InPlace& f : inPlace_) gathered.insert(f.entry);
  if (!gathered.count(ArchiveLayout::kIdListEntry)) return false;
  cUnzip reader;
  reader.ZipFile(archive);
  reader.Tick = [this](std::uint64_t bytesRead, bool& bCancel) {
    progress_.Done(bytesRead);
    alive_();
    bCancel = view_.Stopping();
  };
  reader.PasswordRequest = [this](std::string& sPassword, bool& bCancel) {
    sPassword = settings_.Password;
    bCancel = Trimmed(settings_.Password).empty();
  };
  try {
    reader.Directory();
    std::set<std::string> listed;
    for (const UnzipEntry& e : reader.Entries())
      listed.insert(e.FileDirectory.empty() ? e.Filename : e.FileDirectory + "\\" + e.Filename);
    if (listed != gathered || static_cast<std::size_t>(reader.FileCount()) != gathered.size()) return false;
    if (!IdentityListReadsBack(reader)) return false;
    std::uint64_t bytes = 0;
    for (std::int32_t k = 1; k <= reader.FileCount(); ++k) {
      const UnzipEntry& e = reader.Entries()[static_cast<std::size_t>(k - 1)];
      reader.FileSelected(k, !IsIdentityList(e));
      bytes += IsIdentityList(e) ? 0 : e.Size;
    }
    progress_.Begin(kReadingBack, bytes);
    return reader.Test();
  } catch (const UnzipError&) {
    return false;
  }
}

// The identity list, selected alone and extracted into a folder of its own
// in the working folder: it must come out as it was written and read as the
// restore reads it.
bool BackupRun::IdentityListReadsBack(cUnzip& reader) {
  std::string folder;
  for (int n = 0; folder.empty() && n < 100; ++n) {
    const std::string candidate = tempDir_ + "~readback" + (n ? std::to_string(n) : std::string());
    if (platform::GetAttributes(candidate) == platform::kInvalidAttributes) folder = candidate + "\\";
  }
  if (folder.empty() || !platform::CreateFolder(folder.substr(0, folder.size() - 1))) return false;
  for (std::int32_t k = 1; k <= reader.FileCount(); ++k)
    reader.FileSelected(k, IsIdentityList(reader.Entries()[static_cast<std::size_t>(k - 1)]));
  reader.UseFolderNames(false);
  reader.UnzipFolder(folder);
  std::string written, extracted;
  OneBasedList<IdListEntry> records;
  return reader.Unzip() && platform::ReadWholeFile(tempDir_ + ArchiveLayout::kIdListEntry, written) &&
         platform::ReadWholeFile(folder + ArchiveLayout::kIdListEntry, extracted) && extracted == written &&
         IdentityList::Read(folder + ArchiveLayout::kIdListEntry, records);
}

std::uint64_t BackupRun::ArchivedBytes() const {
  std::uint64_t bytes = GatheredBytes(tempDir_);
  for (const InPlace& f : inPlace_) bytes += f.size;
  return bytes;
}

// The archive being written, until it has taken its destination's name: a
// run that fails or is stopped removes it (and strikes it from the record).
struct PartialArchive {
  std::string path;
  void Remove() {
    if (path.empty()) return;
    platform::RemoveFile(path);
    RunRecord::Strike(path);
    path.clear();
  }
  ~PartialArchive() { Remove(); }
};

bool BackupRun::Compress() {
  // A new, empty file of a unique name, noted before it is made; the writer
  // writes the archive into it.
  PartialArchive partialArchive{RunRecord::MakeArchiveFile(FolderOf(settings_.ZipFileName))};
  const std::string partial = partialArchive.path;
  bool ok = false;
  if (!partial.empty()) {
    progress_.Begin(kPacking, ArchivedBytes());
    auto zip = std::make_unique<cZip>();
    zip->PasswordRequest = [this](std::string& sPassword, std::int32_t, bool, bool& bCancel) {
      if (!settings_.Password.empty()) sPassword = settings_.Password;
      else bCancel = true;
    };
    zip->CommentRequest = [this](std::string& sComment, bool&) { sComment = settings_.Comment; };
    // The window repaints with each file and, within large files, as their
    // bytes are packed; the bar moves by the bytes.
    zip->Progress = [this](std::int32_t, const std::string&) { view_.Repaint(); };
    zip->Cancel = [this](const std::string&, bool& bCancel) { bCancel = view_.Stopping(); };
    zip->Bytes = [this](std::uint64_t done, std::uint64_t, bool& bCancel) {
      progress_.Done(done);
      alive_();
      bCancel = view_.Stopping();
    };
    // A store file that cannot be read whole (locked, damaged, or changing
    // size as it is packed) fails the run as a file that was not copied.
    zip->Unreadable = [this](const std::string& path) { notCopied_.push_back(path); };
    zip->ZipFile(partial);
    zip->Encrypt(!Trimmed(settings_.Password).empty(), settings_.CompatibleEncryption);
    zip->AddComment(true);
    zip->BasePath(tempDir_);
    zip->ClearFileSpecs();
    zip->AddFileSpec("*.*");
    for (const InPlace& f : inPlace_) zip->AddFileAs(f.path, f.entry);
    zip->StoreFolderNames(true);
    zip->RecurseSubDirs(true);
    zip->Zip();
    ok = zip->Success();
    zip.reset();
    StopIfAsked();
    if (ok && !Verify(partial)) {
      StopIfAsked();
      partialArchive.Remove();
      platform::MsgBox(kVerifyFailMessage, platform::kExclamation);
      failure_ = "The new backup file did not read back correctly.";
      return false;
    }
    // The last moment to stop: from here the new archive takes the place
    // of an earlier one.
    StopIfAsked();
    ok = ok && platform::MoveFileReplace(partial, settings_.ZipFileName);
    if (ok) {
      RunRecord::Strike(partial);
      partialArchive.path.clear();
    }
  }
  if (!ok && !notCopied_.empty()) {
    partialArchive.Remove();  // the run says which files it could not read
  } else if (!ok) {
    partialArchive.Remove();
    // Say what failed: most often the disk the archive goes to is full.
    const std::string folder = FolderOf(settings_.ZipFileName);
    failure_ = "The backup file could not be written to " + folder + ".";
    std::uint64_t free = 0;
    const std::uint64_t data = ArchivedBytes();
    if (platform::FreeDiskSpace(folder, free) && free < data)
      failure_ += " Its disk is full: " + SizeText(free) + " free for " + SizeText(data) + " of data.";
    platform::MsgBox(kCompressFailMessage, platform::kExclamation);
  }
  verified_ = ok;
  return ok;
}

}  // namespace backup
