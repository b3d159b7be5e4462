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
#include "controls/RunProgress.h"
#include "registry/RegistryRoutines.h"
#include "catalog/clsRestore.h"
#include "helpers/KeepAlive.h"

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
  // The user asked to stop the run; it is looked at with each tick.
  virtual bool Stopping() { return false; }
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
  // completely. A stop asked for ends the run before the next record, or
  // within a record before its target is changed: while its extraction
  // runs, or while its new store files are copied in (the old ones are put
  // back). Once a record's store is in place it is completed.
  bool Run();
  // Names (targets) of the records that failed, in plan order.
  const std::vector<std::string>& Failed() const { return failed_; }
  // Names (targets) of the records restored completely, in plan order.
  const std::vector<std::string>& Restored() const { return restored_; }
  // The user stopped the run; the target of the record it stopped at (or
  // would have begun next) was left as it was.
  bool Stopped() const { return stopped_; }
  const std::string& LeftAsItWas() const { return leftAsItWas_; }

  // Each record's phases on the bar, and what a byte of each costs.
  enum Phase { kExtracting, kCopying, kImporting, kPhasesPerRecord };
  static constexpr double kExtractingCost = 1, kCopyingCost = 1, kImportingCost = 4;
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

  // What an archive entry serves for a record with these items.
  enum class Use { kNone, kStore, kRegistry, kAddressBook };
  static Use EntryUse(const std::string& d, const std::string& f, const std::string& id, const std::string& detail);
  // The record's items that were both chosen and saved.
  std::string ItemsToRestore(std::int32_t i) const;
  void PlanProgress();
  void BeginPhase(Phase phase);
  void Imported(int fifths);

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
  bool addressBookDone_ = false, messengerDone_ = false, sharedAccountsDone_ = false;
  controls::RunProgress progress_;
  std::vector<controls::RunProgress::Phase> phases_;  // as planned, kPhasesPerRecord per chosen record
  std::size_t record_ = 0;                            // the current record among the chosen ones
  int importedFifths_ = 0;
  std::vector<std::string> failed_, restored_;
  bool stopped_ = false;
  std::string leftAsItWas_;
  std::vector<std::string> signaturesNotRestored_;  // "<saved identity>: <signature> (<file>)"
  std::string preparedBook_;  // the saved address book copied beside the user's
  std::int32_t currentRecord_ = 0;
  bool abandoned_ = false;
  std::string oeFileName_;
};

}  // namespace restore
