#pragma once
// A user who answers message boxes in the order a test sets, and keeps every
// box shown so a test can assert the exact texts. Installed for its lifetime.
#include <deque>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace testsupport {

struct ShownBox {
  std::string text;
  unsigned style = 0;
  std::string title;
  unsigned Icon() const { return style & 0xF0; }
  unsigned Buttons() const { return style & 0x0F; }
  unsigned DefaultButton() const { return style & 0xF00; }
};

class ScriptedUser : public platform::UserInterface {
 public:
  ScriptedUser();
  ~ScriptedUser() override;

  // Answers given in order; once they run out, each box gets its default button.
  ScriptedUser& Answer(int answer);
  const std::vector<ShownBox>& Shown() const { return shown_; }

  int ShowMessage(const std::string& text, unsigned style, const std::string& title,
                 void* owner) override;

 private:
  std::deque<int> answers_;
  std::vector<ShownBox> shown_;
  platform::UserInterface* previous_;
};

}  // namespace testsupport
