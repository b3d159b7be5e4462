#pragma once
// The backup destination page: the archive's file name, an optional
// password and a comment. CheckReady makes sure the file can be written
// before the wizard goes on; an archive already there is left as it is (the
// run replaces it only once the new one is complete).
#include <string>

#include "controls/Control.h"
#include "controls/InputControls.h"
#include "wizard/WizardPage.h"

class ucBack2 : public wizard::DestinationPage {
 public:
  // The second line of a destination the system refuses, before its path.
  static constexpr const char kCannotWriteLine[] = "The backup file cannot be written: ";
  static constexpr const char kCompatibleCost[] =
      "Compatible encryption can be broken without the password.";
  static constexpr const char kCompatiblePasswordMessage[] =
      "Compatible encryption cannot take some characters of this password. Choose strong encryption "
      "(AES-256) or a password of other characters.";
  ucBack2();
  int TemplateId() const override;
  void Bind(controls::ControlBinder& binder) override;

  bool CheckReady() override;

  std::string ZipFileName() const override { return txtFileName.Text(); }
  void ZipFileName(const std::string& path) { txtFileName.Text(path); }
  // Empty while the protection box is clear, whatever the boxes hold; the
  // blanks around it trimmed.
  std::string Password() const override;
  // A value that is not blank also ticks the protection box and fills the
  // confirm box.
  void Password(const std::string& password);
  std::string Comment() const override { return txtComment.Text(); }
  // Only with a password: the traditional cipher, which every unzip program
  // reads and which falls to a known attack; AES-256 otherwise.
  bool CompatibleEncryption() const override { return chkProtect.Value() && optEncryption.Value() == kCompatible; }
  void CompatibleEncryption(bool compatible) { optEncryption.Value(compatible ? kCompatible : kStrong); }
  void Comment(const std::string& comment) { txtComment.Text(comment); }
  bool PromptExist() const { return promptExist_; }
  void PromptExist(bool prompt) { promptExist_ = prompt; }

  // "Browse...": the save-file dialog; a confirmed name goes into the box.
  void Browse();

  controls::Label lblTitle;
  controls::TextBox txtFileName;
  controls::CommandButton cmdBrowse;
  controls::CheckBox chkProtect;
  controls::Frame fmePassword;
  controls::Label lblPassword, lblConfirm;
  controls::TextBox txtPassword, txtConfirm;
  static constexpr int kStrong = 0, kCompatible = 1;
  controls::OptionArray optEncryption{2};
  controls::Label lblEncryptionCost;
  controls::Frame fmeComment;
  controls::TextBox txtComment;

 private:
  void ProtectChanged();
  bool PasswordsAccepted();
  bool ProbeDestination(const std::string& path, const std::string& folder);

  bool promptExist_ = true;
};

// The starting file name: the program's folder, "OE", today's short date
// with every "/" turned into "-", ".qmb".
std::string DefaultBackupFileName();
