#pragma once
// The about box: product name, version, and links to the web site and the
// support mail.
#include <string>

#include "controls/Control.h"
#include "controls/ControlBinder.h"
#include "controls/HotLink.h"
#include "platform/ui.h"

class frmAbout : public platform::ModalForm {
 public:
  frmAbout();
  std::string FormName() const override { return "frmAbout"; }
  int ShowReal(void* owner) override;
  void Bind(controls::ControlBinder& binder);

  controls::Label lblName, lblVersion, lblText;
  controls::HotLink lnkWeb, lnkMail;
};
