#include "restore_world.h"

#include <vector>

#include "backup/ucBack4.h"
#include "catalog/cProcessItem.h"
#include "platform/files.h"
#include "restore/RestoreRun.h"
#include "catalog/SharedObjects.h"
#include "helpers/modFunction.h"
#ifdef _WIN32
#include "shell/modCheckOE.h"
#endif

namespace restoretest {

namespace {

std::string Escaped(const std::string& path) {
  std::string out;
  for (char c : path) {
    out += c;
    if (c == '\\') out += '\\';
  }
  return out;
}

void RemoveTree(const std::string& folder) {
  std::string f = folder;
  if (!f.empty() && f.back() == '\\') f.pop_back();
  modFunction::DeleteFolderTree(f);
  platform::RemoveFolder(f);
}

}  // namespace

std::string RestoreWorld::StoreFolder(const std::string& id) { return restore::RestoreRun::GetOEPath(id); }

std::map<std::string, std::string> RestoreWorld::Files(const std::string& folder) {
  std::map<std::string, std::string> out;
  std::vector<platform::DirEntry> entries;
  platform::ListFolder(folder + "*.*", entries);
  for (const auto& e : entries) {
    if (e.attributes & platform::kAttrDirectory) continue;
    std::string bytes;
    platform::ReadWholeFile(folder + e.name, bytes);
    out[e.name] = Digest(bytes);
  }
  return out;
}

std::string RestoreWorld::Digest(const std::string& bytes) {
  if (bytes.size() <= 40) return bytes;
  std::uint64_t h = 14695981039346656037ull;
  for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
  return std::to_string(bytes.size()) + " bytes, " + std::to_string(h);
}

std::string RestoreWorld::SecondProfileText() const {
  const std::string m = std::string("[HKEY_CURRENT_USER\\Identities\\") + kNewMainId;
  const std::string h = std::string("[HKEY_CURRENT_USER\\Identities\\") + kHomeId;
  return "REGEDIT4\r\n\r\n"
         "[HKEY_CURRENT_USER\\Identities]\r\n\"Default User ID\"=\"" + std::string(kNewMainId) + "\"\r\n\r\n" +
         m + "]\r\n\"Username\"=\"Main Identity\"\r\n\"User ID\"=\"" + kNewMainId + "\"\r\n\r\n" +
         m + "\\Software\\Microsoft\\Outlook Express\\5.0]\r\n\"LastVer\"=\"6.0.2900.5512\"\r\n\r\n" +
         m + "\\Software\\Microsoft\\Internet Account Manager\\Accounts\\00000009]\r\n"
             "\"Account Name\"=\"Own account\"\r\n\"POP3 Server\"=\"pop.own.example\"\r\n"
             "\"POP3 Port\"=dword:0000006e\r\n\r\n" +
         h + "]\r\n\"Username\"=\"Home\"\r\n\"User ID\"=\"" + kHomeId + "\"\r\n\r\n" +
         h + "\\Software\\Microsoft\\Outlook Express\\5.0]\r\n\r\n"
             "[HKEY_CURRENT_USER\\Software\\Microsoft\\WAB\\WAB4\\Wab File Name]\r\n@=\"" +
         Escaped(AddressBook()) + "\"\r\n";
}

RestoreWorld::RestoreWorld(const std::string& password, bool compatible,
                           const std::vector<std::size_t>& largeStore)
    : archive_(demo_.Box().Path("out\\demo.qmb")) {
  if (!demo_.ok() || !backuptest::AddLargeStoreFiles(demo_.StoreFolder(backuptest::kMainId), largeStore) ||
      !backuptest::AddLargeStoreFiles(demo_.StoreFolder(backuptest::kAnnaId), largeStore))
    return;
#ifdef _WIN32
  if (!modCheckOE::ExtractZipLibraries()) return;
#endif
  platform::CreateFolder(Box().Path("out"));
  {
    cProcessItem items;
    OneBasedList<bool> selected;
    std::int32_t total = 0;
    for (std::int32_t k = 1; k <= items.IdentitiesID().Count(); ++k) {
      const std::string& id = items.IdentitiesID().At(k);
      const bool take = id == backuptest::kMainId || id == backuptest::kAnnaId;
      selected.Add(take);
      if (take) {
        items.Detail().At(k) = "1,1,1,1,1,1";
        ++total;
      }
    }
    items.SelectIdentity(selected);
    ucBack4 page;
    page.Catalogue(&items);
    page.TotalItem(total);
    page.ZipFileName(archive_);
    page.Password(password);
    page.CompatibleEncryption(compatible);
    page.Comment("Before the move");
    page.StartBackup();
    if (!page.Succeeded()) return;
  }
  ok_ = Reseed();
}

bool RestoreWorld::Reseed() {
  if (shared::HaveSharedObjects()) shared::ReleaseSharedObjects();
  second_.reset();
  second_ = std::make_unique<testsupport::SeededProfile>(Box(), SecondProfileText());
  if (!second_->ok()) return false;
  platform::CreateFolder(Box().Path("second"));
  platform::WriteWholeFile(AddressBook(), "the second machine's address book");
  for (const char* id : {kNewMainId, kHomeId}) RemoveTree(StoreFolder(id));
  std::string store = StoreFolder(kNewMainId);
  if (!modFunction::MakeFolderPath(store)) return false;
  platform::WriteWholeFile(StoreFolder(kNewMainId) + "Inbox.dbx", kOldInbox);
  platform::WriteWholeFile(StoreFolder(kNewMainId) + "Old Folder.dbx", kOldOnly);
  platform::WriteWholeFile(StoreFolder(kNewMainId) + "notes.txt", kNotes);
  shared::CreateSharedObjects();
  return true;
}

RestoreWorld::~RestoreWorld() {
  if (shared::HaveSharedObjects()) shared::ReleaseSharedObjects();
  for (const char* id : {kNewMainId, kHomeId}) {
    // The store folders live in the user's real profile under Wine.
    std::string identity = StoreFolder(id);
    identity = identity.substr(0, identity.find(id) + std::string(id).size());
    RemoveTree(identity);
  }
}

}  // namespace restoretest
