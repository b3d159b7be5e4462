#pragma once
// The password dialog of the restore source page: asks for the password of
// an encrypted backup file. Read Password and Cancelled after it closes.
#include <functional>
#include <string>

#include "controls/Control.h"
#include "controls/ControlBinder.h"
#include "controls/InputControls.h"
#include "platform/ui.h"

class frmPassword : public platform::ModalForm {
 public:
  frmPassword();
  std::string FormName() const override { return "frmPassword"; }
  int ShowReal(void* owner) override;
  void Bind(controls::ControlBinder& binder);

  const std::string& Password() const { return password_; }
  // True until OK has accepted a password.
  bool Cancelled() const { return cancelled_; }
  // Whether the dialog has closed (OK with a password, or Cancel).
  bool Closed() const { return closed_; }

  controls::Label lblPrompt;
  controls::TextBox txtPassword;
  controls::CommandButton cmdOK, cmdCancel;

  // The real dialog ends itself through this; headless it is not set.
  std::function<void()> CloseWindow;
  // The window that owns the dialog's message boxes (null headless).
  void* hwnd = nullptr;

  static constexpr const char kEmptyMessage[] = "Please enter a password.  ";

 private:
  void OK();
  void Close();

  std::string password_;
  bool cancelled_ = true;
  bool closed_ = false;
};
