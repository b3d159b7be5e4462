#pragma once
// The restore source page: the user picks a backup file; the page extracts
// only its identity list (asking for the password when the file has one),
// turns it into the restore plan, each saved identity mapped onto the local
// identity of the same name, and shows the file's comment.
#include <string>

#include "controls/Control.h"
#include "controls/InputControls.h"
#include "wizard/WizardPage.h"

class cUnzip;

class ucRestor1 : public wizard::RestoreSourcePage {
 public:
  ucRestor1();
  int TemplateId() const override;
  void Bind(controls::ControlBinder& binder) override;

  // The command-line run: opens the archive named in the file box.
  void Loadbackupfile();
  bool CheckReady() override;
  // Reads the extracted identity list into the plan; false for an empty list.
  bool ReadIDlist();
  // "Browse...": the open-file dialog, then the chosen archive is opened.
  void Browse();

  std::string RestoreFolder() const override { return restoreFolder_; }
  void RestoreFolder(const std::string& folder) { restoreFolder_ = folder; }
  std::string Password() const override { return password_; }
  void Password(const std::string& password) { password_ = password; }
  std::string RestoreFile() const override { return txtFileName.Text(); }
  void RestoreFile(const std::string& path) { txtFileName.Text(path); }

  controls::Label lblTitle;
  controls::TextBox txtFileName;
  controls::CommandButton cmdBrowse;
  controls::Label lblEncryption;  // how the loaded archive is protected
  controls::Frame fmeComment;
  controls::TextBox txtComment;

  static constexpr const char kStrongMessage[] = "This backup file is protected with strong encryption (AES-256).";
  static constexpr const char kCompatibleMessage[] =
      "This backup file is protected with compatible (traditional ZIP) encryption.";
  static constexpr const char kUnprotectedMessage[] = "This backup file is not protected with a password.";

  static constexpr const char kIncorrectMessage[] = "Incorrect backup file or password, please choose another file.";
  static constexpr const char kChooseFirstMessage[] = "Click Browse button to choose a Backup file first !";
  // The second line of kIncorrectMessage: why the file could not be opened.
  static constexpr const char kNotABackupCause[] =
      "It is not a backup file of this program: it holds no list of identities.";
  static constexpr const char kWrongPasswordCause[] = "The password is not the one it was protected with.";
  static constexpr const char kNoPasswordCause[] = "No password was given for it.";
  static constexpr const char kDamagedCause[] = "It is damaged: its list of identities does not read back.";
  static constexpr const char kUnreadableCause[] =
      "It cannot be read as a backup file: it is missing, cannot be opened, or is not a zip file.";
  // Said before the password dialog asks again.
  static constexpr const char kWrongPasswordMessage[] = "The password is not correct. Please try again.";
  // More saved identities than any backup of this program holds: a list
  // that is damaged or made to waste the restore's time.
  static constexpr int kMaxSavedIdentities = 1000;
  static constexpr const char kTooManyIdentitiesMessage[] =
      "Its list of identities is damaged (more than 1000 identities).";

 private:
  bool OpenBackupFile(const std::string& path);
  void cUnzipOE_PasswordRequest(std::string& sPassword, bool& bCancel);
  void DropWorkFolder();

  std::string restoreFolder_, password_;
  std::string offered_;   // the password given during the current opening
  std::string loaded_;    // the archive the plan was last read from
  bool cancelled_ = false;
  int asked_ = 0;         // password dialogs shown during the current opening
};
