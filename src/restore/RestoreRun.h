#pragma once
// The restore run without windows: carries out the restore plan. For each
// chosen record it extracts what the record needs from the archive into the
// work folder, imports the registry exports under the target identity's
// keys, replaces the target's message store files and copies the address
// book back. It reports its progress to a view: the restore run page, or a
// test.
#include <cstdint>
#include <string>
#include <vector>

#include "archive/cUnzip.h"
#include "controls/ProgressBar.h"
#include "registry/RegistryRoutines.h"
#include "restore/clsRestore.h"
#include "shell/KeepAlive.h"

namespace restore {

class RunView {
 public:
  virtual ~RunView() = default;
  virtual controls::ProgressBar& Bar() = 0;
  // Lets the window messages that are waiting run (paint, timers).
  virtual void Repaint() = 0;
  // Step 0, 1 or 2 of a record begins (SetStep).
  virtual void SetStep(int step) = 0;
  // The record now restored goes to this identity.
  virtual void ShowIdentity(const std::string& name) = 0;
  // The user gave up after a failed record: back to the ready state.
  virtual void InitNow() = 0;
};

struct RunSettings {
  std::string ZipFileName;
  std::string TempFolder;  // ends in "\"
  std::string Password;
};

// Messages of the run.
constexpr const char kRecordFailedQuestion[] =
    "Error! Maybe this is an invalid file!        \r\n\r\nDo you wish to continue? ";
// The line added to it: the identity the record was restored onto.
constexpr const char kRecordFailedIdentity[] = "Not restored completely: ";
constexpr const char kFailedSuffix[] = "These identities were not restored completely: ";
constexpr const char kStoreKeptMessage[] =
    "The message store files could not be replaced; the earlier message store files are left as "
    "they were in this folder:";
constexpr const char kExtractFailMessage[] =
    "The data of this identity could not be read from the backup file (the file may be damaged):";
constexpr const char kRefusedEntriesMessage[] =
    "Some files of this identity cannot be written on this system (their names lead outside the work folder "
    "or cannot be written in this system's code page), so it was not restored:";
constexpr const char kRegistryFailMessage[] =
    "Some registry data or signature files of this identity could not be restored:";
constexpr const char kAddressBookFailMessage[] =
    "The address book could not be replaced; the address book file is left as it was:";
constexpr const char kSameTargetMessage[] =
    "Another identity of this backup is already restored onto the same identity; this one was not restored:";
constexpr const char kSignaturesNotRestoredMessage[] =
    "These signature files were not restored (the backup named a place outside the identity's own folder, or "
    "they could not be written):";
// The folder below an identity's store folder that holds its restored
// signature files.
constexpr const char kSignatureFolder[] = "Signatures";

class RestoreRun {
 public:
  RestoreRun(const clsRestore& plan, RunView& view, RunSettings settings);

  // Every chosen record in plan order. True when each of them was restored
  // completely.
  bool Run();
  // Names (targets) of the records that failed, in plan order.
  const std::vector<std::string>& Failed() const { return failed_; }
  // The signatures whose files were not restored.
  const std::vector<std::string>& SignaturesNotRestored() const { return signaturesNotRestored_; }
  // The user answered Cancel after a failed record.
  bool Abandoned() const { return abandoned_; }
  std::string OEFileName() const { return oeFileName_; }

  // The message store folder of an identity, ending in "\". With bMacro the
  // NT form keeps "%UserProfile%" (for the "Store Root" value).
  static std::string GetOEPath(const std::string& iD, bool bMacro = false);
  // The mail client's program, "" when its install root is unknown.
  static std::string GetOEExeFile();

 private:

  bool RestoreIdentity(std::int32_t i);
  bool SelectAndExtract(std::int32_t i);
  bool RestoreRegistryItems(std::int32_t i);
  bool RestoreAccounts(const std::string& toID, const std::string& file);
  bool RestoreMessenger(const std::string& userList, const std::string& groupState);
  bool RestoreBelow(const std::string& toID, const std::string& key, const std::string& file);
  bool RestoreSignatureFiles(const std::string& toID, const std::string& src);
  bool RestoreStoreAndAddressBook(std::int32_t i);
  bool ReplaceStoreFiles(const std::string& src, const std::string& folder,
                         const std::vector<std::string>& files);
  bool PrepareAddressBook(std::int32_t i);
  bool PlaceAddressBook(std::int32_t i);
  std::string GetWabFile();
  void Add(double amount);
  bool Field(int k) const;
  std::string Value(std::int32_t item, std::int32_t i) const { return plan_.GetItemValue(item, i); }

  const clsRestore& plan_;
  RunView& view_;
  KeepAlive alive_{[this] { view_.Repaint(); }};
  RunSettings settings_;
  cUnzip unzip_;
  RegistryRoutines reg_;
  std::string detail_;  // the current record's ToRestoreDetail
  std::string addressBookEntry_;
  std::int32_t extractTotal_ = 0, extractDone_ = 0;
  bool addressBookDone_ = false, messengerDone_ = false, sharedAccountsDone_ = false;
  std::vector<std::string> failed_;
  std::vector<std::string> signaturesNotRestored_;  // "<saved identity>: <signature> (<file>)"
  std::string preparedBook_;  // the saved address book copied beside the user's
  std::int32_t currentRecord_ = 0;
  bool abandoned_ = false;
  std::string oeFileName_;
};

}  // namespace restore
