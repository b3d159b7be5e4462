#pragma once
// The backup run without windows: gathers the chosen identities' registry
// data and signature files into a fresh working folder, packs the folder
// and the message store files and address book (from where they lie) into
// the archive through cZip and empties the folder again. It reports its progress
// to a view: the backup run page, or a test.
#include <cstdint>
#include <string>
#include <vector>

#include "catalog/cProcessItem.h"
#include "controls/ProgressBar.h"
#include "controls/RunProgress.h"
#include "registry/RegistryRoutines.h"
#include "helpers/KeepAlive.h"

class cUnzip;

namespace backup {

// What the run shows while it works.
class RunView {
 public:
  virtual ~RunView() = default;
  virtual controls::ProgressBar& Bar() = 0;
  // Lets the window messages that are waiting run (paint, timers).
  virtual void Repaint() = 0;
  // Step 0, 1 or 2 begins: its label bold, its marker animated.
  virtual void StepStarted(int step) = 0;
  // Step 0, 1 or 2 is done: animation off, tick, label normal.
  virtual void StepDone(int step) = 0;
  // The user asked to stop the run; it is looked at after each repaint.
  virtual bool Stopping() { return false; }
};

struct RunSettings {
  std::int32_t TotalItem = 0;
  std::string ZipFileName;
  std::string Password;
  std::string Comment;
  // With a password: the traditional cipher that every unzip program reads,
  // in place of AES.
  bool CompatibleEncryption = false;
};

// Messages the run shows.
constexpr const char kCompressFailMessage[] =
    "Compress Files Fail, please make sure your target disk has enough disk space? ";
constexpr const char kNotCopiedMessage[] =
    "These files could not be copied, so no backup file was written (an earlier backup file of "
    "the same name is left as it was):";
constexpr const char kVerifyFailMessage[] =
    "The new backup file did not read back correctly, so it was not kept; an earlier backup file "
    "of the same name is left as it was. Please make sure your target disk is working properly "
    "and try again.";
constexpr const char kExportFailMessage[] =
    "The registry data could not be saved to this file, please make sure the disk of your "
    "temporary folder has enough disk space:";

class BackupRun {
 public:
  BackupRun(const cProcessItem& items, RunView& view, RunSettings settings);

  // The three steps; true when the run completed with everything in the
  // archive. Returns early (no archive) when gathering or the identity list
  // fails, or when the user stops it: then the partial archive and the
  // working folder are removed and an earlier archive stays as it was.
  bool Run();
  // The user stopped the run before the archive took its place.
  bool Stopped() const { return stopped_; }

  // The working folder, ending in "\"; set once the run has made it.
  const std::string& TempDir() const { return tempDir_; }
  // Files that belong in the archive but could not be copied or read into it.
  const std::vector<std::string>& NotCopied() const { return notCopied_; }
  // What failed, in a sentence or two; empty after a run that completed.
  const std::string& Failure() const { return failure_; }
  // True once the archive has been read back in full and found complete.
  bool Verified() const { return verified_; }

  // The run's phases on the bar, and what a byte of each costs: packing
  // reads and deflates it, several times slower than reading it back
  // (inflating it, checking its CRC); gathering copies only the registry
  // exports and signature files and lists the rest. What is gathered is
  // packed and read back, so the phases take these shares of the bar.
  enum Phase { kGathering, kPacking, kReadingBack };
  static constexpr double kGatheringCost = 0.2, kPackingCost = 5, kReadingBackCost = 1;
  static constexpr double kPackingFrom = kGatheringCost / (kGatheringCost + kPackingCost + kReadingBackCost);
  static constexpr double kReadingBackFrom =
      (kGatheringCost + kPackingCost) / (kGatheringCost + kPackingCost + kReadingBackCost);
  // A registry export counts as this many bytes on the bar.
  static constexpr std::uint64_t kExportBytes = 64 * 1024;

 private:
  // Thrown from the run's own code (never from a library's callback) when
  // the user has asked it to stop.
  struct Stop {};
  bool Steps();
  // Lets the window repaint, then stops if the user asked to.
  void Repaint();
  void StopIfAsked();
  // The bytes of the archive's files: exports, store files, address book.
  std::uint64_t PlanGathering() const;
  void CountGathered(std::uint64_t bytes);

  // Step 1 (BackupGather.cpp).
  bool GatherIdentity(std::int32_t k);
  bool ExportAccounts(const std::string& keyBase, const std::string& idFolder);
  void CopySignatureFiles(const std::string& signatureKey, const std::string& idFolder);
  bool GatherMessenger();
  bool Export(const std::string& key, const std::string& file);
  // Step 2 (BackupGather.cpp).
  void ListStoreFolder(std::int32_t k);
  void ListAddressBook();
  void PackInPlace(const std::string& path, const std::string& entry, std::uint64_t size);
  bool WriteIdentityList();
  void CopyInto(const std::string& from, const std::string& to);
  // Step 3 (BackupCompress.cpp).
  bool Compress();
  bool Verify(const std::string& archive);
  void RemoveWorkFolder();  // with the plain copies in it, and struck from the record
  bool IdentityListReadsBack(cUnzip& reader);
  void TellNotCopied() const;
  // The bytes of everything the archive will hold.
  std::uint64_t ArchivedBytes() const;

  std::string ReadValue(const std::string& key, const std::string& name) const;

  const cProcessItem& items_;
  RunView& view_;
  RunSettings settings_;
  mutable RegistryRoutines reg_;
  std::string tempDir_;
  std::vector<std::string> notCopied_;
  // Files packed from where they lie (store files, the address book): full
  // path, entry name ("\" between folders), size as listed.
  struct InPlace {
    std::string path, entry;
    std::uint64_t size = 0;
  };
  std::vector<InPlace> inPlace_;
  std::string failure_;
  controls::RunProgress progress_;
  std::uint64_t gathered_ = 0;  // bytes copied and exported so far
  bool messagesWanted_ = false;
  bool messengerWanted_ = false;
  bool addressBookWanted_ = false;
  bool verified_ = false;
  bool stopped_ = false;
  KeepAlive alive_{[this] { view_.Repaint(); }};
};

}  // namespace backup
