#include "backup/BackupRun.h"

#include <algorithm>

#include "backup/ArchiveLayout.h"
#include "catalog/DataLocations.h"
#include "catalog/ItemFlags.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "helpers/RunRecord.h"
#include "helpers/modFunction.h"

namespace backup {

namespace dl = DataLocations;

BackupRun::BackupRun(const cProcessItem& items, RunView& view, RunSettings settings)
    : items_(items), view_(view), settings_(std::move(settings)), progress_(view.Bar()) {
  reg_.hKey(kHkeyCurrentUser);
}

std::string BackupRun::ReadValue(const std::string& key, const std::string& name) const {
  reg_.KeyRoot(key);
  reg_.Subkey("");
  std::string value = reg_.GetRegistryValue(name, "").AsText();
  return value == "Error!" ? std::string() : value;
}

void BackupRun::StopIfAsked() {
  if (view_.Stopping()) throw Stop();
}

void BackupRun::Repaint() {
  view_.Repaint();
  StopIfAsked();
}

void BackupRun::CountGathered(std::uint64_t bytes) {
  gathered_ += bytes;
  progress_.Done(gathered_);
}

std::uint64_t BackupRun::PlanGathering() const {
  using namespace ItemFlags;
  const OneBasedList<bool>& selected = items_.SelectIdentity();
  bool messages = false, book = false, accounts = false;
  std::uint64_t exports = 0;
  for (std::int32_t k = 1; k <= selected.Count(); ++k) {
    if (!selected.Value(k)) continue;
    const std::string flags = items_.Detail().Value(k);
    messages |= IsOne(flags, kMessages);
    book |= IsOne(flags, kAddressBook);
    accounts |= IsOne(flags, kAccounts);
    exports += IsOne(flags, kAccounts) + IsOne(flags, kRules) + IsOne(flags, kBlockedSenders) +
               IsOne(flags, kSignatures);
  }
  if (accounts) exports += 3;  // the shared accounts and the two Messenger caches
  std::uint64_t bytes = exports * kExportBytes;
  std::vector<platform::DirEntry> listed;
  for (std::int32_t k = 1; messages && k <= selected.Count(); ++k) {
    if (!selected.Value(k)) continue;
    std::string root = ReadValue(dl::IdentitySubkey(items_.IdentitiesID().Value(k), dl::kMailDataKey),
                                 dl::kStoreRootValue);
    if (root.empty()) continue;
    if (root.back() != '\\') root += "\\";
    if (!platform::ListFolder(root + "*.*", listed)) continue;
    for (const platform::DirEntry& e : listed)
      if (!(e.attributes & (platform::kAttrDirectory | platform::kAttrHidden | platform::kAttrSystem)))
        bytes += e.size;
  }
  std::uint64_t size = 0;
  if (book && platform::GetFileSize(ReadValue(dl::kAddressBookKey, ""), size)) bytes += size;
  return bytes;
}

bool BackupRun::Run() {
  stopped_ = false;
  try {
    // A step that fails before the archive (an export the disk has no room
    // for, say) leaves no plain copies of the user's data behind either.
    const bool ok = Steps();
    if (!ok) RemoveWorkFolder();
    return ok;
  } catch (const Stop&) {
    // Nothing of a stopped run stays: the working folder goes whole (the
    // partial archive has gone with the packing), an earlier archive stays.
    stopped_ = true;
    failure_.clear();
    notCopied_.clear();
    RemoveWorkFolder();
    return false;
  }
}

void BackupRun::RemoveWorkFolder() {
  if (tempDir_.empty()) return;
  modFunction::DeleteFolderTree(tempDir_.substr(0, tempDir_.size() - 1));
  RunRecord::Strike(tempDir_);
}

bool BackupRun::Steps() {
  view_.StepStarted(0);
  messagesWanted_ = messengerWanted_ = addressBookWanted_ = false;
  failure_.clear();
  inPlace_.clear();
  tempDir_ = RunRecord::MakeWorkFolder();
  // One bar over the run: what is gathered is packed and read back again.
  const std::uint64_t planned = PlanGathering();
  progress_.Plan({{planned, kGatheringCost}, {planned, kPackingCost}, {planned, kReadingBackCost}});
  progress_.Begin(kGathering, planned);
  gathered_ = 0;
  StopIfAsked();

  // Step 1: registry data.
  const OneBasedList<bool>& selected = items_.SelectIdentity();
  for (std::int32_t k = 1; k <= selected.Count(); ++k) {
    if (!selected.Value(k)) continue;
    if (!GatherIdentity(k)) return false;
    Repaint();
  }
  if (messengerWanted_ && !GatherMessenger()) return false;
  view_.StepDone(0);
  view_.StepStarted(1);
  StopIfAsked();

  // Step 2: data files (packed from where they lie) and the identity list.
  for (std::int32_t k = 1; k <= selected.Count(); ++k) {
    if (!selected.Value(k) || !messagesWanted_) continue;
    ListStoreFolder(k);
    Repaint();
  }
  if (addressBookWanted_) ListAddressBook();
  Repaint();
  if (!WriteIdentityList()) return false;
  view_.StepDone(1);
  view_.StepStarted(2);
  StopIfAsked();

  // Step 3: the archive. A backup that misses files it should hold is not
  // written at all: it must not take the place of an earlier, complete one.
  bool ok = notCopied_.empty() && Compress();
  view_.Repaint();
  RemoveWorkFolder();  // the plain copies are gone
  view_.StepDone(2);
  view_.Repaint();
  if (!notCopied_.empty()) {
    failure_ = "These files could not be read:";
    const std::size_t shown = std::min<std::size_t>(notCopied_.size(), 3);
    for (std::size_t i = 0; i < shown; ++i) failure_ += (i ? ", " : " ") + notCopied_[i];
    if (notCopied_.size() > shown) failure_ += " and " + std::to_string(notCopied_.size() - shown) + " more";
    failure_ += ".";
    TellNotCopied();
  }
  if (ok) progress_.Complete();  // nothing left to do
  return ok;
}

void BackupRun::TellNotCopied() const {
  std::string text = kNotCopiedMessage;
  text += "\r\n";
  for (const std::string& file : notCopied_) text += "\r\n" + file;
  platform::MsgBox(text, platform::kCritical);
}

}  // namespace backup
