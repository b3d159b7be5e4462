#pragma once
// The user-interface service: every message box goes through it, so tests
// replace the real user with a scripted one.
#include <string>

namespace platform {

// Button, icon and default-button bits and the answers, as Windows numbers them.
enum MsgStyle : unsigned {
  kOkOnly = 0x0, kOkCancel = 0x1, kAbortRetryIgnore = 0x2, kYesNoCancel = 0x3,
  kYesNo = 0x4, kRetryCancel = 0x5,
  kCritical = 0x10, kQuestion = 0x20, kExclamation = 0x30, kInformation = 0x40,
  kDefaultButton1 = 0x0, kDefaultButton2 = 0x100, kDefaultButton3 = 0x200,
};
enum MsgAnswer : int {
  kAnswerOk = 1, kAnswerCancel = 2, kAnswerAbort = 3, kAnswerRetry = 4,
  kAnswerIgnore = 5, kAnswerYes = 6, kAnswerNo = 7,
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  virtual int ShowMessage(const std::string& text, unsigned style, const std::string& title,
                         void* owner) = 0;
};

// The service in force: the real one unless a test has installed another.
UserInterface& Ui();
// Installs a service (not owned); nullptr goes back to the real one.
void SetUi(UserInterface* ui);

// The product's message box: title defaults to the application title.
int MsgBox(const std::string& text, unsigned style = kOkOnly, const std::string& title = "",
           void* owner = nullptr);

}  // namespace platform
