// Without a test's scripted user, the emulated machine answers every box
// with its default button, cancels every file dialog, closes every modal
// window at once, and keeps nothing.
#include "platform/ui.h"

namespace platform {

namespace {
class DefaultAnswers : public UserInterface {
 public:
  int ShowMessage(const std::string&, unsigned style, const std::string&, void*) override {
    static const int first[] = {kAnswerOk, kAnswerOk, kAnswerAbort, kAnswerYes, kAnswerYes, kAnswerRetry};
    static const int second[] = {kAnswerOk, kAnswerCancel, kAnswerRetry, kAnswerNo, kAnswerNo, kAnswerCancel};
    unsigned buttons = style & 0xF;
    if (buttons > 5) return kAnswerOk;
    return (style & kDefaultButton2) ? second[buttons] : first[buttons];
  }
  int ShowFileDialog(FileDialogRecord&) override { return 0; }
  int ShowModal(ModalForm&, void*) override { return 0; }
};
}  // namespace

UserInterface& RealUi() {
  static DefaultAnswers ui;
  return ui;
}

}  // namespace platform
