#pragma once
// The running-client page: looks for the mail client and the messenger
// among the running processes and lets the wizard on only when neither
// runs. The two boxes show what it found; a click does not change them. It
// looks again while it is shown and when Next is pressed, so closing the
// programs is enough to go on.
#include <cstdint>

#include "controls/Control.h"
#include "controls/InputControls.h"
#include "controls/Timer.h"
#include "wizard/WizardPage.h"

class ucBack3 : public wizard::RunningClientsPage {
 public:
  ucBack3();
  int TemplateId() const override;
  void Bind(controls::ControlBinder& binder) override;

  // The text speaks of the run that follows: the backup or the restore.
  void ForRestore(bool restore) override;
  // Looks for both programs and sets the boxes, then keeps looking while the
  // page is shown. Outside the NT family nothing can be looked at: the
  // boxes are then the user's to tick.
  void CheckRunning() override;
  // Looks again; true when neither program runs.
  bool CheckReady() override;

  // The unattended backup: only the mail client, whose store files it
  // copies, holds it back; the messenger's data is registry values, read
  // safely while it runs.
  void Unattended(bool unattended) { unattended_ = unattended; }

  // Whether the mail client runs now (never outside the NT family).
  static bool MailClientRunning();

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
  // Looks again every two seconds while the page is shown.
  controls::Timer tmrWatch;

  static constexpr const char kBackupText[] =
      "In order to backup your Outlook Express and Windows Messenger correctly, You must close "
      "Outlook Express and Windows Messenger before proceeding to the next step of the backup "
      "procedure.";
  static constexpr const char kRestoreText[] =
      "In order to restore your Outlook Express and Windows Messenger correctly, You must close "
      "Outlook Express and Windows Messenger before proceeding to the next step of the restore "
      "procedure.";
  static constexpr const char kRefusal[] = "You must close Outlook Express and Windows messenger to continue.";

 private:
  // Switches the timer on and lets window messages run until it is off again.
  void Wait();
  // Both boxes from a fresh look.
  void Look();
  void Watch();

  bool unattended_ = false;
  bool looking_ = false;
};
