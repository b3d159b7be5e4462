#include "catalog/ucBack3.h"

#include <chrono>

#include "catalog/ProcessLookup.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "resources/resource.h"
#include "shell/modFunction.h"

ucBack3::ucBack3() {
  lblTitle.Caption("Close Outlook Express and Windows Messenger");
  lblText.Caption(
      "In order to backup your Outlook Express and Windows Messenger correctly, You must close "
      "Outlook Express and Windows Messenger before proceeding to the next step of the backup "
      "procedure.");
  chkOE.Caption("Outlook Express is not running");
  chkMessenger.Caption("Windows Messenger is not running");
  lblChecking.Caption("Auto-Checking now, Please wait...");
  lblDone.Caption("Done!");
  lblChecking.Visible(false);
  lblDone.Visible(false);
  tmrWait.Interval(200);
  tmrWait.Tick = [this] { tmrWait.Enabled(false); };
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

void ucBack3::CheckRunning() {
  if (modFunction::IsWin9x()) return;
  lblChecking.Visible(true);
  lblDone.Visible(false);
  Wait();
  chkOE.Value(catalog::ProcessLookup(catalog::kMailClientExe).empty() ? 1 : 0);
  Wait();
  chkMessenger.Value(catalog::ProcessLookup(catalog::kMessengerExe).empty() ? 1 : 0);
  platform::DoEvents();
  lblDone.Visible(true);
  tmrWait.Interval(400);
  Wait();
  lblDone.Visible(false);
  lblChecking.Visible(false);
}

bool ucBack3::CheckReady() {
  if (chkOE.Value() && chkMessenger.Value()) return true;
  platform::MsgBox("You must close Outlook Express and Windows messenger to continue.",
                   platform::kOkOnly | platform::kInformation);
  return false;
}
