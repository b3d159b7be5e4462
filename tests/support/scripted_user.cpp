#include "support/scripted_user.h"

namespace testsupport {

ScriptedUser::ScriptedUser() : previous_(&platform::Ui()) { platform::SetUi(this); }
ScriptedUser::~ScriptedUser() { platform::SetUi(nullptr); }

ScriptedUser& ScriptedUser::Answer(int answer) {
  answers_.push_back(answer);
  return *this;
}

int ScriptedUser::ShowMessage(const std::string& text, unsigned style, const std::string& title, void*) {
  shown_.push_back({text, style, title});
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

}  // namespace testsupport
