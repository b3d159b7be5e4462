// The user-interface service in force, shared by both builds.
#include "platform/ui.h"

namespace platform {

UserInterface& RealUi();  // per build

namespace {
UserInterface* g_installed = nullptr;
}

UserInterface& Ui() { return g_installed ? *g_installed : RealUi(); }
void SetUi(UserInterface* ui) { g_installed = ui; }

int MsgBox(const std::string& text, unsigned style, const std::string& title, void* owner) {
  return Ui().ShowMessage(text, style, title.empty() ? std::string(QM_PRODUCT_NAME) : title, owner);
}

int ShowModalForm(ModalForm& form, void* owner) { return Ui().ShowModal(form, owner); }

}  // namespace platform
