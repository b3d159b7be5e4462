#pragma once
// The user-interface service: every message box, file dialog and modal
// window goes through it, so tests replace the real user with a scripted one.
#include <cstdint>
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

// The file dialog record: the system's Open/Save description in portable
// form. `filter` is already in the system's notation (NUL-separated pairs,
// two NULs at the end); `file` and `fileTitle` are the padded buffers.
struct FileDialogRecord {
  bool save = false;
  void* owner = nullptr;
  std::string filter;
  std::int32_t filterIndex = 0;
  std::string file;       // in: caller's name padded with NULs; out: the chosen path
  std::string fileTitle;  // in: padded; out: the chosen name without folder
  std::string initDir, title, defaultExt;
  std::uint32_t flags = 0;
};

// A modal window (about box, password dialog, schedule dialog). The real
// user sees its window; a scripted user answers it by name.
class ModalForm {
 public:
  virtual ~ModalForm() = default;
  virtual std::string FormName() const = 0;
  // Shows the real window modally; returns the window's result.
  virtual int ShowReal(void* owner) = 0;
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  virtual int ShowMessage(const std::string& text, unsigned style, const std::string& title,
                         void* owner) = 0;
  // The system's Open or Save dialog: 1 when the user confirmed a file,
  // 0 when cancelled or failed.
  virtual int ShowFileDialog(FileDialogRecord& record) = 0;
  virtual int ShowModal(ModalForm& form, void* owner) = 0;
};

// The service in force: the real one unless a test has installed another.
UserInterface& Ui();
// Installs a service (not owned); nullptr goes back to the real one.
void SetUi(UserInterface* ui);

// The product's message box: title defaults to the application title.
int MsgBox(const std::string& text, unsigned style = kOkOnly, const std::string& title = "",
           void* owner = nullptr);

// A modal window through the service in force.
int ShowModalForm(ModalForm& form, void* owner = nullptr);

// File dialog flags, as the system numbers them.
constexpr std::uint32_t kOfnReadOnly = 0x1, kOfnOverwritePrompt = 0x2, kOfnHideReadOnly = 0x4,
                        kOfnEnableHook = 0x20, kOfnEnableTemplate = 0x40,
                        kOfnAllowMultiSelect = 0x200, kOfnFileMustExist = 0x1000;

}  // namespace platform
