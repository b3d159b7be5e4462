#include "catalog/ucBack3.h"

#include <chrono>

#include "catalog/ProcessLookup.h"
#include "controls/BusyScope.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "resources/resource.h"
#include "helpers/modFunction.h"

ucBack3::ucBack3() {
  lblTitle.Caption("Close Outlook Express and Windows Messenger");
  lblText.Caption(kBackupText);
  chkOE.Caption("Outlook Express is not running");
  chkMessenger.Caption("Windows Messenger is not running");
  lblChecking.Caption("Auto-Checking now, Please wait...");
  lblDone.Caption("Done!");
  lblChecking.Visible(false);
  lblDone.Visible(false);
  tmrWait.Interval(200);
  tmrWait.Tick = [this] { tmrWait.Enabled(false); };
  tmrWatch.Interval(2000);
  tmrWatch.Tick = [this] { Watch(); };
}

int ucBack3::TemplateId() const { return IDD_BACK3; }

void ucBack3::Bind(controls::ControlBinder& binder) {
  binder.Bind(lblTitle, IDC_BACK3_TITLE);
  binder.Bind(lblText, IDC_BACK3_TEXT);
  binder.Bind(chkOE, IDC_BACK3_OE);
  binder.Bind(chkMessenger, IDC_BACK3_MESSENGER);
  binder.Bind(lblChecking, IDC_BACK3_CHECKING);
  binder.Bind(lblDone, IDC_BACK3_DONE);
}

void ucBack3::ForRestore(bool restore) { lblText.Caption(restore ? kRestoreText : kBackupText); }

bool ucBack3::MailClientRunning() { return !catalog::ProcessLookup(catalog::kMailClientExe).empty(); }

void ucBack3::Wait() {
  // A timer the system could not start never fires: give up well after it
  // should have, rather than hang the wizard.
  const auto limit = std::chrono::steady_clock::now() +
                     std::chrono::milliseconds(tmrWait.Interval() + 5000);
  tmrWait.Enabled(true);
  while (tmrWait.Enabled() && std::chrono::steady_clock::now() < limit) {
    platform::DoEvents();
    if (tmrWait.Enabled()) platform::SleepMs(5);
  }
  tmrWait.Enabled(false);
}

void ucBack3::Look() {
  chkOE.Value(MailClientRunning() ? 0 : 1);
  chkMessenger.Value(catalog::ProcessLookup(catalog::kMessengerExe).empty() ? 1 : 0);
}

// While the page is shown; a hidden page stops its own watch.
void ucBack3::Watch() {
  if (!Visible()) {
    tmrWatch.Enabled(false);
    return;
  }
  if (looking_) return;  // the lookup lets messages run: no second one inside it
  controls::BusyScope busy(looking_);
  Look();
}

void ucBack3::CheckRunning() {
  const bool canLook = !modFunction::IsWin9x();
  chkOE.Locked(canLook);
  chkMessenger.Locked(canLook);
  if (!canLook) return;
  tmrWatch.Enabled(false);
  lblChecking.Visible(true);
  lblDone.Visible(false);
  Wait();
  chkOE.Value(MailClientRunning() ? 0 : 1);
  Wait();
  chkMessenger.Value(catalog::ProcessLookup(catalog::kMessengerExe).empty() ? 1 : 0);
  platform::DoEvents();
  lblDone.Visible(true);
  tmrWait.Interval(400);
  Wait();
  lblDone.Visible(false);
  lblChecking.Visible(false);
  tmrWatch.Enabled(true);
}

bool ucBack3::CheckReady() {
  if (!modFunction::IsWin9x()) Look();
  else if (unattended_) return true;  // nothing to look at, and nobody to tick the boxes
  if (chkOE.Value() && (chkMessenger.Value() || unattended_)) return true;
  platform::MsgBox(kRefusal, platform::kOkOnly | platform::kInformation);
  return false;
}
