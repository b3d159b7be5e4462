#pragma once
// A user who answers message boxes, file dialogs and modal windows in the
// order a test sets, and keeps every one shown so a test can assert the exact
// texts. Installed for its lifetime.
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace testsupport {

struct ShownBox {
  std::string text;
  unsigned style = 0;
  std::string title;
  void* owner = nullptr;
  unsigned Icon() const { return style & 0xF0; }
  unsigned Buttons() const { return style & 0x0F; }
  unsigned DefaultButton() const { return style & 0xF00; }
};

// What a scripted user does in a file dialog: cancel, or confirm a path
// with the filter entry left selected (1-based).
struct FileAnswer {
  bool confirm = false;
  std::string path;
  int filterIndex = 1;
  bool readOnlyTicked = false;

  static FileAnswer Cancel() { return FileAnswer(); }
  static FileAnswer Confirm(std::string path, int filterIndex = 1, bool readOnlyTicked = false) {
    FileAnswer a;
    a.confirm = true;
    a.path = std::move(path);
    a.filterIndex = filterIndex;
    a.readOnlyTicked = readOnlyTicked;
    return a;
  }
};

class ScriptedUser : public platform::UserInterface {
 public:
  ScriptedUser();
  ~ScriptedUser() override;
  ScriptedUser(const ScriptedUser&) = delete;
  ScriptedUser& operator=(const ScriptedUser&) = delete;

  // Answers given in order; once they run out, each box gets its default button.
  ScriptedUser& Answer(int answer);
  const std::vector<ShownBox>& Shown() const { return shown_; }

  // File dialogs: answered in order; once the answers run out, cancelled.
  ScriptedUser& AnswerFile(const FileAnswer& answer);
  const std::vector<platform::FileDialogRecord>& FileDialogs() const { return dialogs_; }

  // Modal windows: a handler by form name acts as the user inside the window
  // (sets its fields, presses its buttons) and gives its result; forms
  // without a handler are closed at once with 0.
  using FormHandler = std::function<int(platform::ModalForm&)>;
  ScriptedUser& OnForm(const std::string& name, FormHandler handler);
  struct ShownForm {
    std::string name;
    void* owner = nullptr;
  };
  const std::vector<ShownForm>& Forms() const { return forms_; }

  // File dialogs and modal windows shown for real (still recorded), for
  // tests that answer the real windows themselves; message boxes stay
  // scripted.
  ScriptedUser& RealWindows(bool real = true) {
    real_ = real;
    return *this;
  }

  int ShowMessage(const std::string& text, unsigned style, const std::string& title,
                 void* owner) override;
  int ShowFileDialog(platform::FileDialogRecord& record) override;
  int ShowModal(platform::ModalForm& form, void* owner) override;

 private:
  std::deque<int> answers_;
  std::vector<ShownBox> shown_;
  std::deque<FileAnswer> fileAnswers_;
  std::vector<platform::FileDialogRecord> dialogs_;
  std::map<std::string, FormHandler> handlers_;
  std::vector<ShownForm> forms_;
  platform::UserInterface* previous_;
  bool real_ = false;
};

}  // namespace testsupport
