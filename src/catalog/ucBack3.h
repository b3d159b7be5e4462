#pragma once
// The running-client page: looks for the mail client and the messenger
// among the running processes and lets the wizard on only when both boxes
// say the program is not running. The user may tick the boxes by hand.
#include <cstdint>

#include "controls/Control.h"
#include "controls/InputControls.h"
#include "controls/Timer.h"
#include "shell/WizardPage.h"

class ucBack3 : public wizard::RunningClientsPage {
 public:
  ucBack3();
  int TemplateId() const override;
  void Bind(controls::ControlBinder& binder) override;

  // Looks for both programs (not on the 95/98/Me family) and sets the boxes.
  void CheckRunning() override;
  bool CheckReady() override;

  // 1 ticked, 0 clear; writing anything but 1 clears the box.
  std::int32_t OEvalue() const { return chkOE.Value(); }
  void OEvalue(std::int32_t value) { chkOE.Value(value == 1 ? 1 : 0); }
  std::int32_t MessengerValue() const { return chkMessenger.Value(); }
  void MessengerValue(std::int32_t value) { chkMessenger.Value(value == 1 ? 1 : 0); }

  controls::Label lblTitle, lblText;
  controls::CheckBox chkOE, chkMessenger;
  controls::Label lblChecking, lblDone;
  // Off until the page waits; switches itself off when it fires.
  controls::Timer tmrWait;

 private:
  // Switches the timer on and lets window messages run until it is off again.
  void Wait();
};
