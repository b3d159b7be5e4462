#include "backup/ucBack2.h"

#include <algorithm>
#include <vector>

#include "controls/GCommonDialog.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "resources/resource.h"
#include "helpers/modFunction.h"

namespace {

std::string TrimBlanks(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

void Refuse(const std::string& text, controls::Control& focus) {
  platform::MsgBox(text, platform::kOkOnly | platform::kInformation);
  focus.SetFocus();
}

// The system's words, and on a line of their own the file they are about.
void ReportSystemError(const std::string& description, const std::string& path) {
  platform::MsgBox(description + "\r\n" + ucBack2::kCannotWriteLine + path, platform::kOkOnly | platform::kCritical);
}

}  // namespace

std::string DefaultBackupFileName() {
  std::string date = platform::ShortDateToday();
  std::replace(date.begin(), date.end(), '/', '-');
  // The user's documents, where a user's own files belong (and which the
  // user can write, unlike Program Files); the program's folder only when
  // there is no documents folder to be found.
  std::string documents = modFunction::SpecialFolderPath(platform::kCsidlPersonal);
  if (!documents.empty() && documents.back() != '\\') documents += '\\';
  const std::string folder = documents.empty() ? modFunction::AppPath() : documents;
  return folder + "OE" + date + ".qmb";
}

ucBack2::ucBack2() {
  lblTitle.Caption("Choose a Backup Filename");
  cmdBrowse.Caption("B&rowse...");
  chkProtect.Caption("&Protect the backup file with a password");
  lblPassword.Caption("Pass&word:");
  lblConfirm.Caption("C&onfirm Password:");
  optEncryption.Button(kStrong).Caption("S&trong encryption (AES-256)");
  optEncryption.Button(kCompatible).Caption("Co&mpatible encryption (for older unzip programs)");
  lblEncryptionCost.Caption(kCompatibleCost);
  optEncryption.Value(kStrong);
  fmeComment.Caption("Comment");
  txtFileName.Text(DefaultBackupFileName());
  txtComment.Text("Quillmere File\r\nOutlook Express backup");
  // Passwords in any script, in UTF-8.
  txtPassword.Unicode(true);
  txtConfirm.Unicode(true);
  ProtectChanged();
  chkProtect.Click = [this] { ProtectChanged(); };
  cmdBrowse.Click = [this] { Browse(); };
}

int ucBack2::TemplateId() const { return IDD_BACK2; }

void ucBack2::Bind(controls::ControlBinder& binder) {
  binder.Bind(lblTitle, IDC_BACK2_TITLE);
  binder.Bind(txtFileName, IDC_BACK2_FILENAME);
  binder.Bind(cmdBrowse, IDC_BACK2_BROWSE);
  binder.Bind(chkProtect, IDC_BACK2_PROTECT);
  binder.Bind(fmePassword, IDC_BACK2_PWFRAME);
  binder.Bind(lblPassword, IDC_BACK2_PWLABEL);
  binder.Bind(txtPassword, IDC_BACK2_PASSWORD);
  binder.Bind(lblConfirm, IDC_BACK2_CONFIRMLABEL);
  binder.Bind(txtConfirm, IDC_BACK2_CONFIRM);
  binder.BindOptions(optEncryption, {IDC_BACK2_STRONG, IDC_BACK2_COMPATIBLE});
  binder.Bind(lblEncryptionCost, IDC_BACK2_COST);
  binder.Bind(fmeComment, IDC_BACK2_COMMENTFRAME);
  binder.Bind(txtComment, IDC_BACK2_COMMENT);
}

// As it encrypts: without the blanks around it.
std::string ucBack2::Password() const { return chkProtect.Value() ? TrimBlanks(txtPassword.Text()) : ""; }

void ucBack2::Password(const std::string& password) {
  txtPassword.Text(password);
  if (TrimBlanks(password).empty()) return;
  chkProtect.Value(1);
  txtConfirm.Text(password);
}

void ucBack2::ProtectChanged() {
  const bool on = chkProtect.Value() != 0;
  txtPassword.Enabled(on);
  txtConfirm.Enabled(on);
  for (int i = 0; i < optEncryption.Count(); ++i) optEncryption.Button(i).Enabled(on);
  lblEncryptionCost.Enabled(on);
  if (on) txtPassword.SetFocus();
}

void ucBack2::Browse() {
  controls::GCommonDialog dialog;
  std::string file = txtFileName.Text(), title, filter = "Backup Files(*.qmb)|*.qmb";
  std::int32_t filterIndex = 1, flags = 0;
  if (dialog.VBGetSaveFileName(file, title, false, filter, filterIndex, "", "Save as", "qmb",
                               Surface().hwnd(), flags))
    txtFileName.Text(file);
}

// The folders of `folder` (ending in "\\") that do not exist yet, deepest first.
static std::vector<std::string> MissingFolders(const std::string& folder) {
  std::vector<std::string> missing;
  std::string f = folder;
  while (!f.empty() && f.back() == '\\') f.pop_back();
  while (!f.empty() && f.back() != ':' && platform::GetAttributes(f) == platform::kInvalidAttributes) {
    missing.push_back(f);
    const std::size_t cut = f.find_last_of('\\');
    if (cut == std::string::npos) break;
    f.erase(cut);
  }
  return missing;
}

// Removes what MissingFolders listed, as long as each is empty.
static void RemoveFolders(const std::vector<std::string>& folders) {
  for (const std::string& f : folders) platform::RemoveFolder(f);
}

bool ucBack2::CheckReady() {
  const std::string path = TrimBlanks(txtFileName.Text());
  txtFileName.Text(path);
  if (path.empty()) {
    Refuse("The filename field is empty!     \r\n\r\nPlease choose a filename first", txtFileName);
    return false;
  }
  if (promptExist_ && modFunction::FileExists(path)) {
    const int answer = platform::MsgBox(
        "\"" + path + "\" already exists,\r\nDo you want to replace it?",
        platform::kYesNo | platform::kQuestion | platform::kDefaultButton2);
    if (answer != platform::kAnswerYes) return false;
  }
  if (chkProtect.Value() && !PasswordsAccepted()) return false;
  // The folder is made only once everything else is accepted, and taken
  // away again when the archive cannot be written there after all.
  const std::size_t cut = path.find_last_of('\\');
  std::string folder = cut == std::string::npos ? "" : path.substr(0, cut + 1);
  const std::vector<std::string> made = MissingFolders(folder);
  if (!modFunction::MakeFolderPath(folder)) {
    RemoveFolders(made);
    platform::MsgBox("Cann't create path " + folder, platform::kOkOnly | platform::kCritical);
    return false;
  }
  if (ProbeDestination(path, folder)) return true;
  RemoveFolders(made);
  return false;
}

// The rules apply to the password as it will be used, its blanks trimmed:
// blanks alone are no password.
bool ucBack2::PasswordsAccepted() {
  const std::string first = TrimBlanks(txtPassword.Text());
  if (first.empty()) {
    Refuse("Please input your protection password.", txtPassword);
    return false;
  }
  if (txtPassword.Text() != txtConfirm.Text()) {
    Refuse("The new and confirm passwords do not match. Try again", txtPassword);
    return false;
  }
  // Characters, not bytes: the boxes give UTF-8.
  const auto characters = std::count_if(first.begin(), first.end(), [](char c) { return (c & 0xC0) != 0x80; });
  if (characters < 5) {
    Refuse("The password must be at least 5 characters! ", txtPassword);
    return false;
  }
  bool fits = true;
  if (optEncryption.Value() == kCompatible) platform::Utf8ToAnsi(first, &fits);
  if (!fits) {
    Refuse(kCompatiblePasswordMessage, txtPassword);
    return false;
  }
  return true;
}

// A new name is created and removed again. An existing archive is only
// opened for writing, and a fresh file beside it shows that the run can
// write its new archive there before it replaces the old one.
bool ucBack2::ProbeDestination(const std::string& path, const std::string& folder) {
  if (platform::GetAttributes(path) == platform::kInvalidAttributes) {
    if (!platform::WriteWholeFile(path, "")) {
      ReportSystemError(platform::LastErrorDescription(), path);
      return false;
    }
    if (!platform::RemoveFile(path)) {
      ReportSystemError(platform::LastErrorDescription(), path);
      return false;
    }
    return true;
  }
  if (!platform::CanWriteExisting(path)) {
    ReportSystemError(platform::LastErrorDescription(), path);
    return false;
  }
  const std::string probe = platform::TempFileName(folder, "qmb");
  if (probe.empty()) {
    ReportSystemError(platform::LastErrorDescription(), path);
    return false;
  }
  if (!platform::RemoveFile(probe)) {
    ReportSystemError(platform::LastErrorDescription(), path);
    return false;
  }
  return true;
}
