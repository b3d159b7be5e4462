#include "restore/frmPassword.h"

#include "resources/resource.h"

namespace {
std::string Trimmed(const std::string& s) {
  std::size_t b = s.find_first_not_of(' '), e = s.find_last_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}
}  // namespace

frmPassword::frmPassword() {
  lblPrompt.Caption("This backup file is protected by a password. Please enter the password:");
  cmdOK.Caption("OK");
  cmdCancel.Caption("Cancel");
  cmdOK.Default(true);
  txtPassword.Unicode(true);  // a password in any script, in UTF-8
  cmdOK.Click = [this] { OK(); };
  cmdCancel.Click = [this] { Close(); };
}

void frmPassword::Bind(controls::ControlBinder& binder) {
  binder.Bind(lblPrompt, IDC_PASSWORD_PROMPT);
  binder.Bind(txtPassword, IDC_PASSWORD_TEXT);
}

void frmPassword::OK() {
  std::string typed = Trimmed(txtPassword.Text());
  if (typed.empty()) {
    platform::MsgBox(kEmptyMessage, platform::kOkOnly | platform::kInformation, "", hwnd);
    txtPassword.SetFocus();
    return;
  }
  password_ = typed;
  cancelled_ = false;
  Close();
}

void frmPassword::Close() {
  closed_ = true;
  if (CloseWindow) CloseWindow();
}

#ifndef _WIN32
int frmPassword::ShowReal(void*) { return 0; }  // no real windows natively
#endif
