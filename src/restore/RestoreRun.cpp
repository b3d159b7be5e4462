#include "restore/RestoreRun.h"

#include <array>
#include <cstring>
#include <set>

#include "backup/ArchiveLayout.h"
#include "catalog/DataLocations.h"
#include "catalog/ItemFlags.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/ui.h"
#include "helpers/OneBasedList.h"
#include "helpers/RunRecord.h"
#include "helpers/modFunction.h"

namespace restore {

namespace {

using clsItem = clsRestore::Item;

// The registry exports of an identity's folder: imported, never copied
// into the message store folder.
bool IsExport(const std::string& name) {
  for (const char* e : {ArchiveLayout::kAccountsFile, ArchiveLayout::kRulesFile, ArchiveLayout::kBlockedFile,
                        ArchiveLayout::kSignaturesFile})
    if (name == e) return true;
  return false;
}

// An Id from the archive is used as a folder name in the work folder: it
// must be one plain name.
bool IsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("\\/:*?\"<>|") == std::string::npos;
}

// Plain files directly in a folder (no folders, hidden or system files), in
// the order the system lists them.
std::vector<std::string> PlainFiles(const std::string& folder, const std::string& spec = "*.*") {
  std::vector<std::string> names;
  std::vector<platform::DirEntry> entries;
  platform::ListFolder(folder + spec, entries);
  for (const platform::DirEntry& e : entries) {
    if (e.attributes & (platform::kAttrDirectory | platform::kAttrHidden | platform::kAttrSystem)) continue;
    names.push_back(e.name);
  }
  return names;
}

std::string WithSlash(const std::string& path) {
  return path.empty() || path.back() == '\\' ? path : path + "\\";
}

std::string Folded(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && Folded(s.substr(s.size() - tail.size())) == tail;
}

// One part of a path that names nothing but itself: not empty, "." or "..",
// no character Windows refuses or takes as a separator or stream, no
// trailing dot or blank, no device name (CON, NUL, COM1, LPT1.txt, ...).
bool IsPlainPart(const std::string& part) {
  if (part.empty() || part.back() == '.' || part.back() == ' ') return false;
  for (unsigned char c : part)
    if (c < 0x20 || std::strchr("<>:\"/\\|?*", c)) return false;
  std::string base = part.substr(0, part.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (char& c : base) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CLOCK$", "CONIN$", "CONOUT$"})
    if (base == device) return false;
  const unsigned char digit = base.size() == 4 ? static_cast<unsigned char>(base[3]) : 0;
  return !(base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           ((digit >= '0' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3));
}

// A signature's file as the restored registry names it may be used only when
// it is a plain absolute path on a local drive ("C:\folder\name.txt"): no
// NUL, no UNC or device path, no "." or ".." part, no device name, a text or
// HTML file, shorter than MAX_PATH.
bool IsPlainLocalSignaturePath(const std::string& path) {
  if (path.size() < 4 || path.size() >= 260 || path.find('\0') != std::string::npos) return false;
  const unsigned char drive = static_cast<unsigned char>(path[0]);
  if (!((drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z')) || path[1] != ':' || path[2] != '\\')
    return false;
  const std::string rest = path.substr(3);
  std::size_t from = 0;
  for (;;) {
    const std::size_t to = rest.find('\\', from);
    if (!IsPlainPart(rest.substr(from, to == std::string::npos ? std::string::npos : to - from))) return false;
    if (to == std::string::npos) break;
    from = to + 1;
  }
  const std::string name = ArchiveLayout::LastPart(rest);
  return EndsWith(name, ".txt") || EndsWith(name, ".htm") || EndsWith(name, ".html");
}

// "X:\..." or "\\server\share\...".
bool IsAbsolute(const std::string& path) {
  const bool drive = path.size() >= 3 && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
                     path[1] == ':' && path[2] == '\\';
  return drive || (path.size() > 2 && path[0] == '\\' && path[1] == '\\' && path[2] != '\\');
}

// A folder beside the store files that does not exist yet.
std::string FreshAsideFolder(const std::string& folder) {
  for (int n = 0; n < 1000; ++n) {
    std::string candidate = folder + "~qm-old" + (n ? std::to_string(n) : std::string());
    if (platform::GetAttributes(candidate) == platform::kInvalidAttributes) return candidate + "\\";
  }
  return "";
}

}  // namespace

RestoreRun::RestoreRun(const clsRestore& plan, RunView& view, RunSettings settings)
    : plan_(plan), view_(view), settings_(std::move(settings)), progress_(view.Bar()) {
  reg_.hKey(kHkeyCurrentUser);
  unzip_.PasswordRequest = [this](std::string& sPassword, bool&) { sPassword = settings_.Password; };
  // The window repaints and answers while large entries are extracted, the
  // bar moving by their bytes; a stop gives up what is being extracted.
  unzip_.Tick = [this](std::uint64_t bytesRead, bool& bCancel) {
    progress_.Done(bytesRead);
    view_.Repaint();
    bCancel = view_.Stopping();
  };
  unzip_.Progress = [this](std::int32_t, const std::string&) { view_.Repaint(); };
  unzip_.Cancel = [this](const std::string&, bool& bCancel) { bCancel = view_.Stopping(); };
}

bool RestoreRun::Field(int k) const { return ItemFlags::IsOne(detail_, k); }

RestoreRun::Use RestoreRun::EntryUse(const std::string& d, const std::string& f, const std::string& id,
                                     const std::string& detail) {
  auto field = [&detail](int k) { return ItemFlags::IsOne(detail, k); };
  auto when = [](bool set, Use use) { return set ? use : Use::kNone; };
  if (d == id) {
    if (f == ArchiveLayout::kAccountsFile) return when(field(ItemFlags::kAccounts), Use::kRegistry);
    if (f == ArchiveLayout::kRulesFile) return when(field(ItemFlags::kRules), Use::kRegistry);
    if (f == ArchiveLayout::kBlockedFile) return when(field(ItemFlags::kBlockedSenders), Use::kRegistry);
    if (f == ArchiveLayout::kSignaturesFile) return when(field(ItemFlags::kSignatures), Use::kRegistry);
    return when(field(ItemFlags::kMessages), Use::kStore);
  }
  if (d.empty()) {
    if (f == ArchiveLayout::kUserListEntry || f == ArchiveLayout::kGroupStateEntry)
      return when(field(ItemFlags::kAccounts), Use::kRegistry);
    if (f == ArchiveLayout::kIdListEntry) return Use::kNone;
    if (f == ArchiveLayout::kSharedAccountsEntry) return Use::kRegistry;
    return when(field(ItemFlags::kAddressBook), Use::kAddressBook);
  }
  if (d.find(id) != std::string::npos) return when(field(ItemFlags::kSignatures), Use::kRegistry);
  return Use::kNone;
}

// Only what was both chosen and saved: a choice the backup cannot serve (a
// plan edited by hand, a page that got it wrong) restores nothing of that
// item.
std::string RestoreRun::ItemsToRestore(std::int32_t i) const {
  std::array<bool, ItemFlags::kItemCount> both{};
  const std::string chosen = Value(clsItem::ToRestoreDetail, i), saved = Value(clsItem::IDDetail, i);
  for (int k = 0; k < ItemFlags::kItemCount; ++k)
    both[static_cast<std::size_t>(k)] = ItemFlags::IsOne(chosen, k + 1) && ItemFlags::IsOne(saved, k + 1);
  return ItemFlags::Build(both);
}

// One bar over the run: per chosen record the bytes it extracts, the bytes
// of store files and address book it copies, and the registry data it
// imports.
void RestoreRun::PlanProgress() {
  phases_.clear();
  for (std::int32_t i = 1; i <= plan_.Count(); ++i) {
    if (Value(clsItem::Selected, i) != "True") continue;
    const std::string detail = ItemsToRestore(i), id = Value(clsItem::IDList, i);
    std::uint64_t extract = 0, copy = 0, import = 0;
    for (const UnzipEntry& e : unzip_.Entries()) {
      const Use use = EntryUse(e.FileDirectory, e.Filename, id, detail);
      if (use == Use::kNone) continue;
      extract += e.Size;
      (use == Use::kRegistry ? import : copy) += e.Size;
    }
    phases_.push_back({extract, kExtractingCost});
    phases_.push_back({copy, kCopyingCost});
    phases_.push_back({import, kImportingCost});
  }
  progress_.Plan(phases_);
  record_ = 0;
}

void RestoreRun::BeginPhase(Phase phase) {
  const std::size_t k = record_ * kPhasesPerRecord + phase;
  progress_.Begin(k, k < phases_.size() ? phases_[k].bytes : 0);
  importedFifths_ = 0;
}

// The registry step moves the bar in fifths.
void RestoreRun::Imported(int fifths) {
  importedFifths_ += fifths;
  const std::size_t k = record_ * kPhasesPerRecord + kImporting;
  if (k < phases_.size()) progress_.Done(phases_[k].bytes * static_cast<std::uint64_t>(importedFifths_) / 5);
  view_.Repaint();
}

bool RestoreRun::Run() {
  std::string temp = settings_.TempFolder;
  if (modFunction::IsFolder(temp)) platform::RemoveFile(temp + ArchiveLayout::kIdListEntry);
  else modFunction::MakeFolderPath(temp);
  addressBookDone_ = messengerDone_ = sharedAccountsDone_ = false;
  unzip_.ZipFile(settings_.ZipFileName);
  unzip_.UseFolderNames(true);
  unzip_.UnzipFolder(settings_.TempFolder);
  try {
    unzip_.Directory();
  } catch (const UnzipError& e) {
    platform::MsgBox(e.what(), platform::kCritical, e.Source);
  }
  PlanProgress();
  stopped_ = false;
  std::set<std::string> targets;
  std::size_t chosen = 0;
  for (std::int32_t i = 1; i <= plan_.Count(); ++i) {
    if (Value(clsItem::Selected, i) != "True") continue;
    record_ = chosen++;
    if (view_.Stopping()) stopped_ = true;  // asked between records: this one is not begun
    if (stopped_) {
      leftAsItWas_ = Value(clsItem::ToIDName, i);
      break;
    }
    view_.ShowIdentity(Value(clsItem::ToIDName, i));
    // One target takes one saved identity: a second would replace the
    // first one's store.
    const bool first = targets.insert(Folded(Value(clsItem::ToID, i))).second;
    if (!first) platform::MsgBox(std::string(kSameTargetMessage) + "\r\n\r\n" + Value(clsItem::IDName, i),
                                 platform::kCritical);
    const bool restored = first && RestoreIdentity(i);
    if (!preparedBook_.empty()) platform::RemoveFile(preparedBook_);  // not placed: the user's book stays
    preparedBook_.clear();
    if (stopped_) {
      leftAsItWas_ = Value(clsItem::ToIDName, i);
      break;
    }
    if (restored) {
      restored_.push_back(Value(clsItem::ToIDName, i));
      continue;
    }
    failed_.push_back(Value(clsItem::ToIDName, i));
    if (platform::MsgBox(std::string(kRecordFailedQuestion) + "\r\n\r\n" + kRecordFailedIdentity +
                             Value(clsItem::ToIDName, i),
                         platform::kOkCancel | platform::kDefaultButton2 | platform::kCritical) == platform::kAnswerCancel) {
      view_.InitNow();
      abandoned_ = true;
      break;
    }
  }
  std::string folder = settings_.TempFolder;
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  if (!folder.empty()) modFunction::DeleteFolderTree(folder);
  RunRecord::Strike(settings_.TempFolder);
  oeFileName_ = GetOEExeFile();
  if (!signaturesNotRestored_.empty()) {
    std::string list;
    for (const std::string& name : signaturesNotRestored_) list += "\r\n" + name;
    platform::MsgBox(std::string(kSignaturesNotRestoredMessage) + "\r\n" + list, platform::kExclamation);
  }
  if (!stopped_ && !abandoned_) progress_.Complete();
  return failed_.empty() && !abandoned_ && !stopped_;
}

bool RestoreRun::RestoreIdentity(std::int32_t i) {
  try {
    currentRecord_ = i;
    detail_ = ItemsToRestore(i);
    const std::string toID = Value(clsItem::ToID, i);
    if (!IsPlainName(Value(clsItem::IDList, i)) || !IsPlainName(toID)) return false;
    view_.SetStep(0);
    BeginPhase(kExtracting);
    if (!SelectAndExtract(i)) return false;
    // The address book is made ready beside the user's before anything of
    // the target changes: one that cannot be copied fails the record here.
    if (Field(ItemFlags::kAddressBook) && !addressBookDone_ && !PrepareAddressBook(i)) return false;
    if (view_.Stopping()) {  // nothing of the target changed yet
      stopped_ = true;
      return false;
    }
    // The store first: a stop while it is copied puts the old one back, and
    // the target is then as it was. The registry data follows it.
    view_.SetStep(1);
    BeginPhase(kCopying);
    reg_.hKey(kHkeyCurrentUser);
    if (!RestoreStoreAndAddressBook(i)) return false;  // a failed step ends the record
    view_.SetStep(2);
    BeginPhase(kImporting);
    return RestoreRegistryItems(i);
  } catch (const UnzipError& e) {
    platform::MsgBox(e.what(), platform::kCritical, e.Source);
  } catch (const std::exception& e) {
    platform::MsgBox(e.what(), platform::kCritical);
  }
  return false;
}

bool RestoreRun::SelectAndExtract(std::int32_t i) {
  const std::string id = Value(clsItem::IDList, i);
  for (std::int32_t j = 1; j <= unzip_.FileCount(); ++j) {
    const std::string d = unzip_.FileDirectory(j), f = unzip_.Filename(j);
    const Use use = EntryUse(d, f, id, detail_);
    if (use == Use::kAddressBook) addressBookEntry_ = f;  // the last such entry wins
    unzip_.FileSelected(j, use != Use::kNone);
  }
  // What the record needs must arrive whole: a damaged entry, or one the
  // reader refused (a name that leads out of the work folder or cannot be
  // written on this system), fails the record before anything of the target
  // identity has been changed. A file an earlier record left in the work
  // folder is kept (result 0).
  if (unzip_.Unzip()) return true;
  if (unzip_.LastResult() == kUzAbort && view_.Stopping()) {  // stopped, not failed
    stopped_ = true;
    return false;
  }
  const char* why = unzip_.LastResult() == kUzWarn ? kRefusedEntriesMessage : kExtractFailMessage;
  platform::MsgBox(std::string(why) + "\r\n\r\n" + Value(clsItem::IDName, i), platform::kCritical);
  return false;
}

bool RestoreRun::RestoreRegistryItems(std::int32_t i) {
  const std::string toID = Value(clsItem::ToID, i);
  const std::string src = settings_.TempFolder + Value(clsItem::IDList, i) + "\\";
  bool ok = true;
  if (Field(ItemFlags::kAccounts)) {
    ok = RestoreAccounts(toID, src + ArchiveLayout::kAccountsFile) && ok;
    Imported(1);
    RestoreMessenger(settings_.TempFolder + ArchiveLayout::kUserListEntry,
                     settings_.TempFolder + ArchiveLayout::kGroupStateEntry);
    Imported(1);
  } else {
    Imported(2);
  }
  if (Field(ItemFlags::kRules)) ok = RestoreBelow(toID, DataLocations::kRulesKey, src + ArchiveLayout::kRulesFile) && ok;
  Imported(1);
  if (Field(ItemFlags::kBlockedSenders))
    ok = RestoreBelow(toID, DataLocations::kBlockedSendersKey, src + ArchiveLayout::kBlockedFile) && ok;
  Imported(1);
  if (Field(ItemFlags::kSignatures)) {
    ok = RestoreBelow(toID, DataLocations::kSignaturesKey, src + ArchiveLayout::kSignaturesFile) && ok;
    ok = RestoreSignatureFiles(toID, src) && ok;
  }
  Imported(1);
  if (!ok) platform::MsgBox(std::string(kRegistryFailMessage) + "\r\n\r\n" + Value(clsItem::IDName, i),
                            platform::kCritical);
  return ok;
}

// False when an export that is there could not be imported.
bool RestoreRun::RestoreAccounts(const std::string& toID, const std::string& file) {
  const std::string shared = settings_.TempFolder + ArchiveLayout::kSharedAccountsEntry;
  reg_.KeyRoot(DataLocations::IdentitySubkey(toID, DataLocations::kAccountsKey));
  reg_.Subkey("");
  bool ok = !reg_.CreateKey().empty();
  if (modFunction::FileExists(file)) {
    ok = reg_.RestoreKey(reg_.KeyRoot(), file, kHkeyCurrentUser) && ok;
    platform::RemoveFile(file);
  } else if (modFunction::FileExists(shared)) {
    // The backup kept no accounts of the identity's own: the shared ones.
    ok = reg_.RestoreKey(reg_.KeyRoot(), shared, kHkeyCurrentUser) && ok;
    platform::RemoveFile(shared);
  }
  if (sharedAccountsDone_) return ok;
  sharedAccountsDone_ = true;
  if (!modFunction::FileExists(shared)) return ok;
  reg_.KeyRoot(DataLocations::kSharedAccountsKey);
  ok = !reg_.CreateKey().empty() && reg_.RestoreKey(reg_.KeyRoot(), shared, kHkeyCurrentUser) && ok;
  platform::RemoveFile(shared);
  return ok;
}

bool RestoreRun::RestoreMessenger(const std::string& userList, const std::string& groupState) {
  if (messengerDone_) return true;
  if (!modFunction::FileExists(userList) || !modFunction::FileExists(groupState)) return false;
  messengerDone_ = true;
  reg_.Subkey("");
  reg_.KeyRoot(DataLocations::kMessengerGroupStateKey);
  reg_.CreateKey();
  reg_.RestoreKey(reg_.KeyRoot(), groupState, kHkeyCurrentUser);
  reg_.KeyRoot(DataLocations::kMessengerListCacheKey);
  reg_.CreateKey();
  reg_.RestoreKey(reg_.KeyRoot(), userList, kHkeyCurrentUser);
  platform::RemoveFile(userList);
  platform::RemoveFile(groupState);
  return true;
}

// Rules, blocked senders and signatures: the export goes below the same key
// of the target identity (the import never writes above that key).
bool RestoreRun::RestoreBelow(const std::string& toID, const std::string& key, const std::string& file) {
  if (!modFunction::FileExists(file)) return true;
  reg_.Subkey("");
  reg_.KeyRoot(DataLocations::IdentitySubkey(toID, key));
  return !reg_.CreateKey().empty() && reg_.RestoreKey(reg_.KeyRoot(), file, kHkeyCurrentUser);
}

// A saved signature file never goes back to the path the archive names: it
// goes into the program's own folder below the target's store folder, under
// its plain saved name, and the restored "file" value is pointed there. A
// value that is not a plain local path is removed, whatever its extension.
// False when a signature's file could not be restored; the names of those
// are kept for the user.
bool RestoreRun::RestoreSignatureFiles(const std::string& toID, const std::string& src) {
  const std::string key = DataLocations::IdentitySubkey(toID, DataLocations::kSignaturesKey);
  const std::string own = GetOEPath(toID, false) + kSignatureFolder + "\\";
  bool ok = true;
  for (const std::string& sub : reg_.EnumRegistryKeys(kHkeyCurrentUser, key)) {
    if (!IsPlainName(sub)) continue;
    platform::RegKey k;
    if (platform::OpenRegKey(kHkeyCurrentUser, key + "\\" + sub, platform::kRegKeyAllAccess, k) != platform::kRegOk) continue;
    platform::RegValue v;
    if (platform::QueryRegValue(k, DataLocations::kSignatureFileValue, v) != platform::kRegOk) continue;
    std::string path = v.data;
    while (!path.empty() && path.back() == '\0') path.pop_back();
    if (v.type == kRegExpandSz && path.find('\0') == std::string::npos) path = platform::ExpandEnvironment(path);
    const bool text = v.type == kRegSz || v.type == kRegExpandSz;
    if (text && path.empty()) continue;  // a signature of text alone names no file
    const std::string name = ArchiveLayout::LastPart(path);
    const std::string saved = src + sub + "\\" + name;
    const std::string target = own + sub + "\\" + name;
    if (text && IsPlainLocalSignaturePath(path)) {
      if (!modFunction::FileExists(saved)) continue;  // the backup had none: the value stays as it was
      std::string folder = own + sub;
      // The folder is the program's own: a copy an earlier restore left
      // there is replaced.
      if (IsPlainLocalSignaturePath(target) && modFunction::MakeFolderPath(folder) &&
          (platform::GetAttributes(target) == platform::kInvalidAttributes ||
           platform::SetAttributes(target, platform::kAttrNormal)) &&
          platform::CopyOneFile(saved, target, false) &&
          platform::SetRegValue(k, DataLocations::kSignatureFileValue, kRegSz, target + std::string(1, '\0')) ==
              platform::kRegOk)
        continue;
    } else {
      (void)platform::DeleteRegValue(k, DataLocations::kSignatureFileValue);
    }
    ok = false;
    std::string shown = name.substr(0, name.find('\0'));
    signaturesNotRestored_.push_back(Value(clsItem::IDName, currentRecord_) + ": " + sub +
                                     (shown.empty() ? std::string() : " (" + shown + ")"));
  }
  return ok;
}

bool RestoreRun::RestoreStoreAndAddressBook(std::int32_t i) {
  const std::string toID = Value(clsItem::ToID, i);
  const std::string src = settings_.TempFolder + Value(clsItem::IDList, i) + "\\";
  bool ok = true;
  if (Field(ItemFlags::kMessages)) {
    std::vector<std::string> files;
    for (const std::string& name : PlainFiles(src))
      if (!IsExport(name)) files.push_back(name);
    // Nothing saved for the store (an identity without store files): the
    // target's store stays as it is.
    if (!files.empty()) {
      // A profile folder the system does not tell leaves a relative path:
      // nothing is made there.
      std::string folder = GetOEPath(toID, false);
      ok = IsAbsolute(folder);
      if (ok && !modFunction::IsFolder(folder)) modFunction::MakeFolderPath(folder);
      folder = WithSlash(folder);
      ok = ok && modFunction::IsFolder(folder) && ReplaceStoreFiles(src, folder, files);
      if (ok) {
        reg_.hKey(kHkeyCurrentUser);
        reg_.Subkey("");
        reg_.KeyRoot(DataLocations::IdentitySubkey(toID, DataLocations::kMailDataKey));
        const std::string store = GetOEPath(toID, true);
        reg_.SetRegistryValue(DataLocations::kStoreRootValue, TaggedValue(store),
                              modFunction::IsWin9x() ? kRegSz : kRegExpandSz);
      } else if (!stopped_) {
        platform::MsgBox(std::string(kStoreKeptMessage) + "\r\n\r\n" + folder, platform::kCritical);
      }
    }
  }
  if (ok && Field(ItemFlags::kAddressBook) && !addressBookDone_) {
    if (!preparedBook_.empty()) ok = PlaceAddressBook(i);
    addressBookDone_ = ok;
  }
  view_.Repaint();
  return ok;
}

// The store is never left empty or half replaced: the old store files (and
// any file a new one would replace) are moved aside on the same volume, the
// new ones copied in, and the old ones removed only once every new file is
// in place. If a copy fails, the new files go and the old ones come back.
bool RestoreRun::ReplaceStoreFiles(const std::string& src, const std::string& folder,
                                   const std::vector<std::string>& files) {
  // An existing file is found as the system opens it (letter case folded in
  // the code page, short names too): the one a new file would replace goes
  // aside under its own name.
  std::set<std::string> asideSet;
  std::vector<std::string> aside;
  for (const std::string& name : PlainFiles(folder))
    if (EndsWith(name, ".dbx") && asideSet.insert(name).second) aside.push_back(name);
  for (const std::string& name : files) {
    std::string existing;
    const std::uint32_t attributes = platform::GetAttributes(folder + name);
    if (attributes == platform::kInvalidAttributes || !platform::ExistingName(folder + name, existing)) continue;
    if (attributes & platform::kAttrDirectory) return false;  // a folder of a new file's name: not replaced
    if (asideSet.insert(existing).second) aside.push_back(existing);
  }
  const std::string asideFolder = aside.empty() ? std::string() : FreshAsideFolder(folder);
  std::vector<std::string> moved, copied;
  auto undo = [&] {
    // Put back as the next start would after a kill, from the record.
    if (!asideFolder.empty() && RunRecord::PutStoreBack(asideFolder)) return false;
    for (const std::string& name : copied) {
      platform::SetAttributes(folder + name, platform::kAttrNormal);
      platform::RemoveFile(folder + name);
    }
    for (const std::string& name : moved) platform::MoveFileReplace(asideFolder + name, folder + name);
    if (!asideFolder.empty() && platform::RemoveFolder(asideFolder.substr(0, asideFolder.size() - 1)))
      RunRecord::Strike(asideFolder);
    return false;
  };
  if (view_.Stopping()) {  // nothing of the store changed yet
    stopped_ = true;
    return false;
  }
  if (!aside.empty()) {
    // Noted before anything is made, so that a kill at any point is undone;
    // what cannot be noted is not begun.
    if (asideFolder.empty() || !RunRecord::NoteStore(asideFolder, folder, files)) return false;
    if (!platform::CreateFolder(asideFolder.substr(0, asideFolder.size() - 1))) {
      RunRecord::Strike(asideFolder);
      return false;
    }
    for (const std::string& name : aside) {
      if (!platform::MoveFileReplace(folder + name, asideFolder + name)) return undo();
      moved.push_back(name);
    }
    if (!RunRecord::StoreCopying(asideFolder)) return undo();
  }
  // A stop asked for while the new files are copied in puts the old ones
  // back; once every new file is in place the store is kept.
  std::uint64_t copiedBytes = 0;
  for (const std::string& name : files) {
    const platform::CopyTick tick = [&](std::uint64_t done, std::uint64_t) {
      progress_.Done(copiedBytes + done);
      alive_();
      return !view_.Stopping();
    };
    if (view_.Stopping() || !platform::CopyOneFile(src + name, folder + name, false, tick)) {
      stopped_ = view_.Stopping();
      return undo();
    }
    copied.push_back(name);
    std::uint64_t size = 0;
    platform::GetFileSize(folder + name, size);
    progress_.Done(copiedBytes += size);
    view_.Repaint();
  }
  if (!asideFolder.empty()) {
    // The old files go only once the record says the new ones are whole: a
    // kill while they are deleted then keeps the new store.
    if (!RunRecord::StoreComplete(asideFolder)) return undo();
    std::string gone = asideFolder.substr(0, asideFolder.size() - 1);
    modFunction::DeleteFolderTree(gone);
    platform::RemoveFolder(gone);
    RunRecord::Strike(asideFolder);
  }
  return true;
}

// The saved address book copied beside the user's ("<book>.qm~new"). True
// when there is none to restore (nothing saved, no address book configured)
// or the copy is whole.
bool RestoreRun::PrepareAddressBook(std::int32_t i) {
  const std::string target = GetWabFile();
  const std::string saved = settings_.TempFolder + addressBookEntry_;
  if (addressBookEntry_.empty() || target.empty() || !modFunction::FileExists(saved)) return true;
  const std::string fresh = target + ".qm~new";
  if (platform::CopyOneFile(saved, fresh, false)) {
    preparedBook_ = fresh;
    return true;
  }
  platform::RemoveFile(fresh);
  platform::MsgBox(std::string(kAddressBookFailMessage) + "\r\n\r\n" + target + "\r\n\r\n" +
                       Value(clsItem::IDName, i), platform::kCritical);
  return false;
}

// Moves the prepared copy over the user's address book: replaced whole or
// not at all.
bool RestoreRun::PlaceAddressBook(std::int32_t i) {
  const std::string target = preparedBook_.substr(0, preparedBook_.size() - std::string(".qm~new").size());
  if (platform::MoveFileReplace(preparedBook_, target)) {
    preparedBook_.clear();
    return true;
  }
  platform::MsgBox(std::string(kAddressBookFailMessage) + "\r\n\r\n" + target + "\r\n\r\n" +
                       Value(clsItem::IDName, i), platform::kCritical);
  return false;
}

std::string RestoreRun::GetWabFile() {
  RegistryRoutines r;
  r.hKey(kHkeyCurrentUser);
  r.KeyRoot(DataLocations::kAddressBookKey);
  std::string path = r.GetRegistryValue("", "").AsText();
  return path == "Error!" ? std::string() : path;
}

std::string RestoreRun::GetOEPath(const std::string& iD, bool bMacro) {
  std::string path;
  if (modFunction::IsWin9x()) {
    path = modFunction::SpecialFolderPath(platform::kCsidlAppData) + "Identities\\" + iD +
           "\\Microsoft\\Outlook Express\\";
  } else {
    path = "%UserProfile%\\Local Settings\\Application Data\\Identities\\" + iD + "\\Microsoft\\Outlook Express\\";
    if (!bMacro) {
      const std::string profile = modFunction::SpecialFolderPath(platform::kCsidlProfile);
      const std::string macro = "%UserProfile%\\";
      for (std::size_t at = 0; (at = path.find(macro, at)) != std::string::npos; at += profile.size())
        path.replace(at, macro.size(), profile);
    }
  }
  return WithSlash(path);
}

std::string RestoreRun::GetOEExeFile() {
  RegistryRoutines r;
  r.hKey(kHkeyLocalMachine);
  r.KeyRoot("SOFTWARE\\Microsoft\\Outlook Express");
  std::string root = r.GetRegistryValue("InstallRoot", "").AsText();
  if (root.empty() || root == "Error!") return "";
  // Only a program that is there: the last page offers to start it.
  const std::string exe = WithSlash(root) + "msimn.exe";
  return modFunction::FileExists(exe) ? exe : "";
}

}  // namespace restore
