// The backup run's first two steps: registry exports, signature files and
// the identity list into the working folder, the message store files and the
// address book listed to be packed from where they lie, all under the names
// of the archive layout.
#include <vector>

#include "backup/ArchiveLayout.h"
#include "backup/BackupRun.h"
#include "backup/IdentityList.h"
#include "catalog/DataLocations.h"
#include "catalog/ItemFlags.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "helpers/modFunction.h"

namespace backup {

namespace al = ArchiveLayout;
namespace dl = DataLocations;

// An export that cannot be written loses the user's settings from the
// backup: the run stops and says which file it was.
bool BackupRun::Export(const std::string& key, const std::string& file) {
  alive_();
  StopIfAsked();
  const bool saved = reg_.SaveKey(key, file, kHkeyCurrentUser, true, false);
  CountGathered(kExportBytes);
  alive_();
  StopIfAsked();
  if (saved) return true;
  platform::MsgBox(std::string(kExportFailMessage) + "\r\n\r\n" + file, platform::kCritical);
  failure_ = "The registry data could not be saved to " + file + ".";
  return false;
}

bool BackupRun::GatherIdentity(std::int32_t k) {
  const std::string id = items_.IdentitiesID().Value(k);
  const std::string flags = items_.Detail().Value(k);
  std::string idFolder = al::IdentityFolder(tempDir_, id);
  modFunction::MakeFolderPath(idFolder);
  const std::string keyBase = dl::IdentityKey(id) + "\\";
  using namespace ItemFlags;

  if (IsOne(flags, kMessages)) messagesWanted_ = true;
  if (IsOne(flags, kAccounts)) {
    if (!ExportAccounts(keyBase, idFolder)) return false;
    messengerWanted_ = true;
  }
  Repaint();
  if (IsOne(flags, kAddressBook)) addressBookWanted_ = true;
  if (IsOne(flags, kRules) && !Export(keyBase + dl::kRulesKey, idFolder + al::kRulesFile)) return false;
  Repaint();
  if (IsOne(flags, kBlockedSenders) && !Export(keyBase + dl::kBlockedSendersKey, idFolder + al::kBlockedFile))
    return false;
  Repaint();
  if (IsOne(flags, kSignatures)) {
    const std::string signatureKey = keyBase + dl::kSignaturesKey;
    if (!Export(signatureKey, idFolder + al::kSignaturesFile)) return false;
    CopySignatureFiles(signatureKey, idFolder);
  }
  Repaint();
  return true;
}

bool BackupRun::ExportAccounts(const std::string& keyBase, const std::string& idFolder) {
  reg_.KeyRoot(keyBase + dl::kAccountsKey);
  reg_.Subkey("");
  if (reg_.KeyExists() && !Export(keyBase + dl::kAccountsKey, idFolder + al::kAccountsFile))
    return false;
  const std::string shared = tempDir_ + al::kSharedAccountsEntry;
  if (!modFunction::FileExists(shared) && !Export(dl::kSharedAccountsKey, shared)) return false;
  return true;
}

void BackupRun::CopySignatureFiles(const std::string& signatureKey, const std::string& idFolder) {
  std::string key = signatureKey;
  if (key.empty() || key.back() != '\\') key += "\\";
  for (const std::string& sub : reg_.EnumRegistryKeys(kHkeyCurrentUser, signatureKey)) {
    std::string file = ReadValue(key + sub, dl::kSignatureFileValue);
    if (file.empty() || !modFunction::FileExists(file)) continue;
    std::string folder = idFolder + sub;
    modFunction::MakeFolderPath(folder);
    CopyInto(file, folder + "\\" + al::LastPart(file));
  }
}

bool BackupRun::GatherMessenger() {
  if (!Export(dl::kMessengerGroupStateKey, tempDir_ + al::kGroupStateEntry)) return false;
  Repaint();
  return Export(dl::kMessengerListCacheKey, tempDir_ + al::kUserListEntry);
}

// A copy that fails leaves the file out of the archive (a half-written
// copy too): it is remembered so the user learns which files the backup
// lacks. A copy the user stopped stops the run.
void BackupRun::CopyInto(const std::string& from, const std::string& to) {
  const bool copied = platform::CopyOneFile(from, to, false, [this](std::uint64_t done, std::uint64_t) {
    progress_.Done(gathered_ + done);
    alive_();
    return !view_.Stopping();
  });
  std::uint64_t size = 0;
  if (copied) {
    platform::GetFileSize(to, size);
    CountGathered(size);
    return;
  }
  platform::RemoveFile(to);
  StopIfAsked();
  notCopied_.push_back(from);
}

// A file the archive takes from where it lies: it counts as gathered. One
// that cannot be read now (locked by another program) is named with the
// others before anything is packed; the packing still fails the run on a
// file that cannot be read later.
void BackupRun::PackInPlace(const std::string& path, const std::string& entry, std::uint64_t size) {
  if (!platform::CanReadExisting(path)) {
    notCopied_.push_back(path);
    return;
  }
  inPlace_.push_back({path, entry, size});
  CountGathered(size);
}

void BackupRun::ListStoreFolder(std::int32_t k) {
  const std::string id = items_.IdentitiesID().Value(k);
  std::string root = ReadValue(dl::IdentitySubkey(id, dl::kMailDataKey), dl::kStoreRootValue);
  if (root.empty()) return;
  if (root.back() != '\\') root += "\\";
  std::vector<platform::DirEntry> listed, files;
  if (platform::ListFolder(root + "*.*", listed)) {
    for (const platform::DirEntry& e : listed)
      if (!(e.attributes & (platform::kAttrDirectory | platform::kAttrHidden | platform::kAttrSystem)))
        files.push_back(e);
  }
  const std::string idFolder = al::IdentityFolder(tempDir_, id).substr(tempDir_.size());
  for (const platform::DirEntry& e : files) PackInPlace(root + e.name, idFolder + e.name, e.size);
}

void BackupRun::ListAddressBook() {
  std::string path = ReadValue(dl::kAddressBookKey, "");
  std::uint64_t size = 0;
  if (modFunction::FileExists(path) && platform::GetFileSize(path, size))
    PackInPlace(path, al::AddressBookEntry(path), size);
}

bool BackupRun::WriteIdentityList() {
  OneBasedList<IdListEntry> entries;
  const OneBasedList<bool>& selected = items_.SelectIdentity();
  for (std::int32_t k = 1; k <= selected.Count(); ++k)
    if (selected.Value(k))
      entries.Add({items_.Identities().Value(k), items_.IdentitiesID().Value(k), items_.Detail().Value(k)});
  if (IdentityList::Write(tempDir_ + al::kIdListEntry, entries)) return true;
  failure_ = "The list of identities could not be written to " + tempDir_ + ".";
  return false;
}

}  // namespace backup
