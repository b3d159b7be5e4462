#include "backup/BackupRun.h"

#include <algorithm>

#include "backup/ArchiveLayout.h"
#include "catalog/DataLocations.h"
#include "platform/ui.h"
#include "shell/RunRecord.h"
#include "shell/modFunction.h"

namespace backup {

BackupRun::BackupRun(const cProcessItem& items, RunView& view, RunSettings settings)
    : items_(items), view_(view), settings_(std::move(settings)) {
  reg_.hKey(kHkeyCurrentUser);
}

void BackupRun::Add(double amount) { view_.Bar().value(view_.Bar().value() + amount); }

std::string BackupRun::ReadValue(const std::string& key, const std::string& name) {
  reg_.KeyRoot(key);
  reg_.Subkey("");
  std::string value = reg_.GetRegistryValue(name, "").AsText();
  return value == "Error!" ? std::string() : value;
}

bool BackupRun::Run() {
  view_.StepStarted(0);
  messagesWanted_ = messengerWanted_ = addressBookWanted_ = false;
  failure_.clear();
  tempDir_ = RunRecord::MakeWorkFolder();
  controls::ProgressBar& bar = view_.Bar();
  bar.Max(settings_.TotalItem * 100.0);
  expected_ = 0;

  // Step 1: registry data.
  const OneBasedList<bool>& selected = items_.SelectIdentity();
  for (std::int32_t k = 1; k <= selected.Count(); ++k) {
    if (!selected.Value(k)) continue;
    if (!GatherIdentity(k)) return false;
    view_.Repaint();
  }
  if (messengerWanted_ && !GatherMessenger()) return false;
  bar.value(100);
  view_.StepDone(0);
  view_.StepStarted(1);

  // Step 2: data files and the identity list.
  bar.Max((settings_.TotalItem + 1) * 100.0);
  bar.value(0);
  for (std::int32_t k = 1; k <= selected.Count(); ++k) {
    if (!selected.Value(k) || !messagesWanted_) continue;
    CopyStoreFolder(k);
    view_.Repaint();
  }
  if (addressBookWanted_) CopyAddressBook();
  Add(100);
  view_.Repaint();
  if (!WriteIdentityList()) return false;
  view_.StepDone(1);
  bar.Max(100);
  bar.value(0);
  view_.StepStarted(2);

  // Step 3: the archive. A backup that misses files it should hold is not
  // written at all: it must not take the place of an earlier, complete one.
  reported_ = 0;
  bool ok = notCopied_.empty() && Compress();
  bar.value(100);
  view_.Repaint();
  std::string folder = tempDir_.substr(0, tempDir_.size() - 1);
  modFunction::DeleteFolderTree(folder);
  RunRecord::Strike(tempDir_);  // emptied: the plain copies are gone
  view_.StepDone(2);
  bar.value(0);
  view_.Repaint();
  if (!notCopied_.empty()) {
    failure_ = "These files could not be read:";
    const std::size_t shown = std::min<std::size_t>(notCopied_.size(), 3);
    for (std::size_t i = 0; i < shown; ++i) failure_ += (i ? ", " : " ") + notCopied_[i];
    if (notCopied_.size() > shown) failure_ += " and " + std::to_string(notCopied_.size() - shown) + " more";
    failure_ += ".";
    TellNotCopied();
  }
  return ok;
}

void BackupRun::TellNotCopied() const {
  std::string text = kNotCopiedMessage;
  text += "\r\n";
  for (const std::string& file : notCopied_) text += "\r\n" + file;
  platform::MsgBox(text, platform::kCritical);
}

}  // namespace backup
