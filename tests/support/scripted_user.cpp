#include "support/scripted_user.h"

namespace testsupport {

ScriptedUser::ScriptedUser() : previous_(&platform::Ui()) { platform::SetUi(this); }
ScriptedUser::~ScriptedUser() { platform::SetUi(nullptr); }

ScriptedUser& ScriptedUser::Answer(int answer) {
  answers_.push_back(answer);
  return *this;
}

ScriptedUser& ScriptedUser::AnswerFile(const FileAnswer& answer) {
  fileAnswers_.push_back(answer);
  return *this;
}

ScriptedUser& ScriptedUser::OnForm(const std::string& name, FormHandler handler) {
  handlers_[name] = std::move(handler);
  return *this;
}

int ScriptedUser::ShowMessage(const std::string& text, unsigned style, const std::string& title,
                              void* owner) {
  shown_.push_back({text, style, title, owner});
  if (!answers_.empty()) {
    int a = answers_.front();
    answers_.pop_front();
    return a;
  }
  unsigned buttons = style & 0xF;
  bool second = (style & platform::kDefaultButton2) != 0;
  switch (buttons) {
    case platform::kOkCancel: return second ? platform::kAnswerCancel : platform::kAnswerOk;
    case platform::kYesNo:
    case platform::kYesNoCancel: return second ? platform::kAnswerNo : platform::kAnswerYes;
    case platform::kRetryCancel: return second ? platform::kAnswerCancel : platform::kAnswerRetry;
    default: return platform::kAnswerOk;
  }
}

namespace {
// What the system does with a confirmed name: the path into the file buffer,
// the name without folder into the title buffer, both NUL-terminated.
void Fill(std::string& buffer, const std::string& text) {
  if (buffer.empty()) return;
  std::string t = text.substr(0, buffer.size() - 1);
  buffer.replace(0, t.size(), t);
  buffer[t.size()] = '\0';
}
}  // namespace

int ScriptedUser::ShowFileDialog(platform::FileDialogRecord& record) {
  dialogs_.push_back(record);
  if (real_) return previous_->ShowFileDialog(record);
  if (fileAnswers_.empty()) return 0;
  FileAnswer a = fileAnswers_.front();
  fileAnswers_.pop_front();
  if (!a.confirm) return 0;
  std::string path = a.path;
  if (!record.defaultExt.empty()) {
    std::string::size_type slash = path.find_last_of('\\');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.find('.') == std::string::npos) path += "." + record.defaultExt;
  }
  std::string::size_type slash = path.find_last_of('\\');
  Fill(record.file, path);
  Fill(record.fileTitle, slash == std::string::npos ? path : path.substr(slash + 1));
  record.filterIndex = a.filterIndex;
  if (a.readOnlyTicked) record.flags |= platform::kOfnReadOnly;
  return 1;
}

int ScriptedUser::ShowModal(platform::ModalForm& form, void* owner) {
  forms_.push_back({form.FormName(), owner});
  if (real_) return previous_->ShowModal(form, owner);
  auto it = handlers_.find(form.FormName());
  return it == handlers_.end() ? 0 : it->second(form);
}

}  // namespace testsupport
