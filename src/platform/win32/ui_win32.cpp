// The real user: MessageBoxA.
#include <windows.h>

#include "platform/ui.h"

namespace platform {

namespace {
class RealUser : public UserInterface {
 public:
  int ShowMessage(const std::string& text, unsigned style, const std::string& title,
                 void* owner) override {
    return ::MessageBoxA(static_cast<HWND>(owner), text.c_str(), title.c_str(),
                         style | MB_SETFOREGROUND);
  }
};
}  // namespace

UserInterface& RealUi() {
  static RealUser ui;
  return ui;
}

}  // namespace platform
