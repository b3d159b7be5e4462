#include "restore/ucRestor3.h"

#include "controls/window_link.h"
#include "platform/system.h"
#include "resources/resource.h"
#include "catalog/SharedObjects.h"

namespace {
// In the order a record goes through them: the store before the registry
// data, so that a stop while the store is copied leaves the identity as it
// was.
const char* const kStepCaptions[] = {
    "Extracting data...",
    "Restoring Outlook Express Data Files...",
    "Restoring Registry data...",
};
}  // namespace

ucRestor3::ucRestor3() {
  fmeStep[0].Caption("Processing");
  for (int k = 0; k < 3; ++k) lblStep[k].Caption(kStepCaptions[k]);
  lblIDCaption.Caption("Restoring identity:");
  lblTitle.Caption(kCompletedTitle);
  lblTitle.Bold(true);
  chkShell.Caption("&Run Outlook Express");
  Timer1.Interval(300);
  Timer1.Tick = [this] { Animate(); };
  InitNow();
}

int ucRestor3::TemplateId() const { return IDD_RESTOR3; }

void ucRestor3::Bind(controls::ControlBinder& binder) {
  binder.Bind(fmeStep[0], IDC_RESTOR3_PROCESS);
  binder.BindProgressBar(ProgressBar1, IDC_RESTOR3_PROGRESS);
  binder.Bind(lblState, IDC_RESTOR3_STATE);
  for (int k = 0; k < 3; ++k) {
    binder.Bind(imgStep[k], IDC_RESTOR3_MARK0 + k);
    binder.Bind(lblStep[k], IDC_RESTOR3_STEP0 + k);
  }
  binder.Bind(lblIDCaption, IDC_RESTOR3_IDCAPTION);
  binder.Bind(lblID, IDC_RESTOR3_ID);
  binder.Bind(fmeStep[1], IDC_RESTOR3_RESULT);
  binder.Bind(lblTitle, IDC_RESTOR3_TITLE);
  binder.Bind(lblFinishState, IDC_RESTOR3_FINISHSTATE);
  binder.Bind(chkShell, IDC_RESTOR3_SHELL);
}

// Frame 0 shows the run, frame 1 the outcome, in the same place.
void ucRestor3::ShowFrame(int frame) {
  const bool run = frame == 0;
  fmeStep[0].Visible(run);
  if (ProgressBar1.hwnd()) controls::link::SetVisible(ProgressBar1.hwnd(), run);
  for (controls::Control* c : {static_cast<controls::Control*>(&lblState), static_cast<controls::Control*>(&lblIDCaption),
                               static_cast<controls::Control*>(&lblID)})
    c->Visible(run);
  for (int k = 0; k < 3; ++k) {
    imgStep[k].Visible(run);
    lblStep[k].Visible(run);
  }
  fmeStep[1].Visible(!run);
  lblTitle.Visible(!run);
  lblFinishState.Visible(!run);
  if (run) chkShell.Visible(false);
}

void ucRestor3::InitNow() {
  Timer1.Enabled(false);
  ShowFrame(0);
  lblState.Caption("Ready to Restore");
  lblID.Caption("");
  ProgressBar1.value(0);
  currentStep_ = 0;
  for (int k = 0; k < 3; ++k) {
    imgStep[k].Show(backup::StepMarker::kNeutral);
    lblStep[k].Bold(false);
  }
}

void ucRestor3::Repaint() { platform::DoEvents(); }

void ucRestor3::Animate() {
  if (++counter_ > 2) counter_ = 0;
  imgStep[currentStep_].ShowArrow(counter_);
}

void ucRestor3::SetStep(int n) {
  if (n < 0 || n > 2) return;
  Timer1.Enabled(false);
  currentStep_ = n;
  switch (n) {
    case 0:
      imgStep[0].ShowArrow(0);
      lblStep[0].Bold(true);
      imgStep[1].Show(backup::StepMarker::kNeutral);
      imgStep[2].Show(backup::StepMarker::kNeutral);
      lblStep[1].Bold(false);
      lblStep[2].Bold(false);
      break;
    case 1:
      imgStep[0].Show(backup::StepMarker::kTick);
      lblStep[0].Bold(false);
      imgStep[1].ShowArrow(0);
      lblStep[1].Bold(true);
      break;
    default:
      imgStep[1].Show(backup::StepMarker::kTick);
      lblStep[1].Bold(false);
      imgStep[2].ShowArrow(0);
      lblStep[2].Bold(true);
      break;
  }
  Repaint();
  Timer1.Enabled(true);
}

void ucRestor3::StartRestore() {
  ClearStop();
  lblState.Caption("Restoring Outlook Express Data");
  lblStep[0].Bold(true);
  Repaint();
  platform::SetMousePointer(platform::MousePointer::ArrowHourglass);
  restore::RunSettings settings{zipFileName_, tempFolder_, password_};
  clsRestore none;  // no plan to share: nothing is chosen
  const clsRestore& plan = shared::HaveSharedObjects() ? shared::RestorePlan() : none;
  bool ok = false;
  std::string failedNames, restoredNames, leftAsItWas;
  auto joined = [](const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
  };
  {
    restore::RestoreRun run(plan, *this, settings);
    ok = run.Run();
    stopped_ = run.Stopped();
    oeFileName_ = run.OEFileName();
    failedNames = joined(run.Failed());
    restoredNames = joined(run.Restored());
    leftAsItWas = run.LeftAsItWas();
  }
  ShowFrame(1);
  succeeded_ = ok;
  lblTitle.Caption(stopped_ ? kStoppedTitle : kCompletedTitle);
  if (ok) {
    lblFinishState.Caption(kSuccessText);
    // Offered only when the mail client's program was found.
    chkShell.Value(0);
    chkShell.Visible(!oeFileName_.empty());
  } else {
    // What was stopped and what was kept; or that something failed.
    std::string text = stopped_ ? kStoppedText : kErrorText;
    if (stopped_) {
      text += "\r\n\r\n" + (restoredNames.empty() ? std::string(kNothingRestored)
                                                   : kRestoredBeforeStop + restoredNames + ".");
      if (!leftAsItWas.empty()) text += "\r\nThe identity " + leftAsItWas + kLeftAsItWas;
    }
    if (!failedNames.empty()) text += "\r\n\r\n" + std::string(restore::kFailedSuffix) + failedNames;
    lblFinishState.Caption(text);
    chkShell.Value(0);
    chkShell.Visible(false);
  }
  Timer1.Enabled(false);
  platform::SetMousePointer(platform::MousePointer::Default);
  RaiseFinish();
}
