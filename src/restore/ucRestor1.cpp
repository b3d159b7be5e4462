#include "restore/ucRestor1.h"

#include <memory>
#include <vector>

#include "archive/cUnzip.h"
#include "backup/ArchiveLayout.h"
#include "backup/IdentityList.h"
#include "controls/GCommonDialog.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "resources/resource.h"
#include "restore/frmPassword.h"
#include "helpers/RunRecord.h"
#include "catalog/SharedObjects.h"
#include "helpers/modFunction.h"

namespace {
constexpr const char kNoneDetail[] = "0,0,0,0,0,0";
}

ucRestor1::ucRestor1() {
  lblTitle.Caption("Restore backup data from");
  cmdBrowse.Caption("B&rowse...");
  fmeComment.Caption("Comment");
  cmdBrowse.Click = [this] { Browse(); };
}

int ucRestor1::TemplateId() const { return IDD_RESTOR1; }

void ucRestor1::Bind(controls::ControlBinder& binder) {
  binder.Bind(lblTitle, IDC_RESTOR1_TITLE);
  binder.Bind(txtFileName, IDC_RESTOR1_FILENAME);
  binder.Bind(cmdBrowse, IDC_RESTOR1_BROWSE);
  binder.Bind(lblEncryption, IDC_RESTOR1_ENCRYPTION);
  binder.Bind(fmeComment, IDC_RESTOR1_COMMENTFRAME);
  binder.Bind(txtComment, IDC_RESTOR1_COMMENT);
}

void ucRestor1::Browse() {
  controls::GCommonDialog dialog;
  std::string file = txtFileName.Text(), title, filter = "Backup Files(*.qmb)|*.qmb";
  bool readOnly = false;
  std::int32_t filterIndex = 1, flags = 0;
  if (!dialog.VBGetOpenFileName(file, title, true, false, readOnly, false, filter, filterIndex, "", "Open", "qmb",
                                Surface().hwnd(), flags))
    return;
  if (OpenBackupFile(file)) {
    txtFileName.Text(file);
  } else if (txtFileName.Text().empty() || !cancelled_) {
    txtFileName.Text("");
  } else if (!loaded_.empty()) {
    txtFileName.Text(loaded_);  // the archive loaded before stays the loaded one
  }
}

void ucRestor1::Loadbackupfile() {
  if (!OpenBackupFile(txtFileName.Text())) txtFileName.Text("");
}

void ucRestor1::DropWorkFolder() {
  if (!restoreFolder_.empty()) modFunction::DeleteFolderTree(restoreFolder_.substr(0, restoreFolder_.size() - 1));
  restoreFolder_.clear();
  loaded_.clear();
  lblEncryption.Caption("");
}

// Each opening reads its own archive's list: the cancel flag is cleared and
// a list left by an earlier opening removed before extracting. The password
// of the loaded archive changes only when another archive has been loaded.
bool ucRestor1::OpenBackupFile(const std::string& path) {
  cancelled_ = false;
  asked_ = 0;
  offered_.clear();
  try {
    if (restoreFolder_.empty()) {
      restoreFolder_ = RunRecord::MakeWorkFolder();
    }
    const std::string list = restoreFolder_ + ArchiveLayout::kIdListEntry;
    platform::SetAttributes(list, platform::kAttrNormal);
    platform::RemoveFile(list);
    auto reader = std::make_unique<cUnzip>();
    reader->PasswordRequest = [this](std::string& sPassword, bool& bCancel) {
      cUnzipOE_PasswordRequest(sPassword, bCancel);
    };
    reader->ZipFile(path);
    reader->Directory();
    const std::int32_t listed = reader->LastResult();
    bool found = false;
    for (std::int32_t k = 1; k <= reader->FileCount(); ++k) {
      const bool take = !found && reader->FileDirectory(k).empty() && reader->Filename(k) == ArchiveLayout::kIdListEntry;
      reader->FileSelected(k, take);
      found = found || take;
    }
    if (found) {
      reader->OverwriteExisting(true);
      reader->UnzipFolder(restoreFolder_);
      reader->Unzip();
    }
    if (cancelled_ && !loaded_.empty()) return false;  // no message: the earlier archive stays loaded
    if (!modFunction::FileExists(list)) {
      const char* cause = cancelled_                                       ? kNoPasswordCause
                          : found && reader->LastResult() == kUzBadPassword ? kWrongPasswordCause
                          : found                                          ? kDamagedCause
                          : listed != kUzOk && reader->FileCount() == 0    ? kUnreadableCause
                                                                           : kNotABackupCause;
      platform::MsgBox(std::string(kIncorrectMessage) + "\r\n" + cause, platform::kOkOnly | platform::kCritical);
      DropWorkFolder();
      return false;
    }
    if (!ReadIDlist()) return false;
    txtComment.Text(reader->Comment());
    // The weakest cipher of its entries is what protects the archive.
    bool aes = false, traditional = false;
    for (const UnzipEntry& e : reader->Entries()) {
      aes = aes || e.FileAes;
      traditional = traditional || (e.FileEncrypted && !e.FileAes);
    }
    lblEncryption.Caption(traditional ? kCompatibleMessage : aes ? kStrongMessage : kUnprotectedMessage);
    password_ = offered_;
    loaded_ = path;
    return true;
  } catch (const UnzipError& e) {
    platform::MsgBox(e.what(), platform::kOkOnly | platform::kCritical, e.Source);
  } catch (const std::exception& e) {
    platform::MsgBox(e.what(), platform::kOkOnly | platform::kCritical);
  }
  restoreFolder_.clear();
  return false;
}

bool ucRestor1::ReadIDlist() {
  const std::string file = restoreFolder_ + ArchiveLayout::kIdListEntry;
  std::uint64_t size = 0;
  if (!platform::GetFileSize(file, size) || size == 0) return false;
  OneBasedList<IdListEntry> entries;
  if (!IdentityList::Read(file, entries)) return false;
  if (entries.Count() > kMaxSavedIdentities) {
    platform::MsgBox(std::string(kIncorrectMessage) + "\r\n" + kTooManyIdentitiesMessage,
                     platform::kOkOnly | platform::kCritical);
    return false;
  }
  clsRestore& plan = shared::RestorePlan();
  const cProcessItem& items = shared::Catalogue();
  plan.ClearData();
  // Each identity of this machine is the target of one saved identity at
  // the most: a second one of the same name stays without a target.
  std::vector<bool> taken(static_cast<std::size_t>(items.Identities().Count()) + 1, false);
  for (std::int32_t k = 1; k <= entries.Count(); ++k) {
    const IdListEntry& e = entries.At(k);
    plan.AddItemData(e.Name, e.Id, e.Flags, "False", "", "", kNoneDetail);
    for (std::int32_t j = 1; j <= items.Identities().Count(); ++j) {
      if (taken[static_cast<std::size_t>(j)] || items.Identities().At(j) != e.Name) continue;
      taken[static_cast<std::size_t>(j)] = true;
      plan.SetItemValue(clsRestore::Selected, "True");
      plan.SetItemValue(clsRestore::ToID, items.IdentitiesID().At(j));
      plan.SetItemValue(clsRestore::ToIDName, items.Identities().At(j));
      plan.SetItemValue(clsRestore::ToRestoreDetail, e.Flags);
      break;
    }
  }
  return true;
}

void ucRestor1::cUnzipOE_PasswordRequest(std::string& sPassword, bool& bCancel) {
  // Asked again in the same opening: the password given was wrong.
  if (asked_++ > 0) platform::MsgBox(kWrongPasswordMessage, platform::kOkOnly | platform::kExclamation);
  frmPassword dialog;
  platform::ShowModalForm(dialog, Surface().hwnd());
  if (dialog.Cancelled()) {
    bCancel = true;
    cancelled_ = true;
    offered_.clear();
  } else {
    sPassword = dialog.Password();
    offered_ = dialog.Password();
  }
}

bool ucRestor1::CheckReady() {
  if (restoreFolder_.empty() || txtFileName.Text().empty()) {
    platform::MsgBox(kChooseFirstMessage, platform::kOkOnly | platform::kInformation);
    return false;
  }
  // A path typed into the box after an archive was opened names another
  // archive: it is opened now, so that the plan and the password are its own.
  if (txtFileName.Text() != loaded_) return OpenBackupFile(txtFileName.Text());
  return true;
}
