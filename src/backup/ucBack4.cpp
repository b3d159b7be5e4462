#include "backup/ucBack4.h"

#include <memory>

#include "catalog/cProcessItem.h"
#include "controls/window_link.h"
#include "platform/system.h"
#include "resources/resource.h"
#include "catalog/SharedObjects.h"

namespace {

const char* const kStepCaptions[] = {
    "Gathering Registry data...",
    "Backing up Outlook Express Data Files...",
    "Archiving Backup File...",
};

}  // namespace

ucBack4::ucBack4() {
  fmeProcess.Caption("Processing");
  for (int i = 0; i < 3; ++i) lblStep[i].Caption(kStepCaptions[i]);
  lblTitle.Bold(true);
  lblAdvice.Caption(kAdvice);
  tmrStep.Interval(300);
  tmrStep.Tick = [this] { Animate(); };
  ZipFileName("Quillmere.qmb");
  ShowProcessing(true);
  InitNow();
}

int ucBack4::TemplateId() const { return IDD_BACK4; }

void ucBack4::Bind(controls::ControlBinder& binder) {
  binder.Bind(fmeProcess, IDC_BACK4_PROCESS);
  binder.BindProgressBar(ProgressBar1, IDC_BACK4_PROGRESS);
  binder.Bind(lblState, IDC_BACK4_STATE);
  for (int i = 0; i < 3; ++i) {
    binder.Bind(imgStep[i], IDC_BACK4_MARK0 + i);
    binder.Bind(lblStep[i], IDC_BACK4_STEP0 + i);
  }
  binder.Bind(fmeResult, IDC_BACK4_RESULT);
  binder.Bind(lblTitle, IDC_BACK4_TITLE);
  binder.Bind(lblNotice, IDC_BACK4_NOTICE);
  binder.Bind(lblFileName, IDC_BACK4_FILE);
  binder.Bind(lblAdvice, IDC_BACK4_ADVICE);
  binder.Bind(lblVerified, IDC_BACK4_VERIFIED);
}

void ucBack4::ZipFileName(const std::string& path) {
  zipFileName_ = path;
  lblFileName.Caption(path);
}

void ucBack4::InitNow() {
  lblState.Caption("Ready to Back up");
  ProgressBar1.value(0);
  currentStep_ = 0;
  for (auto& marker : imgStep) marker.Show(backup::StepMarker::kNeutral);
}

void ucBack4::ShowProcessing(bool processing) {
  fmeProcess.Visible(processing);
  if (ProgressBar1.hwnd()) controls::link::SetVisible(ProgressBar1.hwnd(), processing);
  lblState.Visible(processing);
  for (int i = 0; i < 3; ++i) {
    imgStep[i].Visible(processing);
    lblStep[i].Visible(processing);
  }
  fmeResult.Visible(!processing);
  lblTitle.Visible(!processing);
  lblNotice.Visible(!processing);
  lblFileName.Visible(!processing);
  lblAdvice.Visible(!processing);
  lblVerified.Visible(!processing);
}

void ucBack4::ShowResult(bool completed) {
  tmrStep.Enabled(false);
  ShowProcessing(false);
  lblTitle.Caption(completed ? kCompletedTitle : kFailedTitle);
  lblNotice.Caption(completed ? kCompletedNotice : kFailedNotice);
}

void ucBack4::Repaint() { platform::DoEvents(); }

void ucBack4::Animate() {
  if (++frame_ > 2) frame_ = 0;
  imgStep[currentStep_].ShowArrow(frame_);
}

void ucBack4::StepStarted(int step) {
  currentStep_ = step;
  lblStep[step].Bold(true);
  if (step == 0) {
    Repaint();
    Animate();
  } else {
    imgStep[step].ShowArrow(0);
    Repaint();
  }
  tmrStep.Enabled(true);
}

void ucBack4::StepDone(int step) {
  tmrStep.Enabled(false);
  imgStep[step].Show(backup::StepMarker::kTick);
  lblStep[step].Bold(false);
}

void ucBack4::StartBackup() {
  ClearStop();
  ShowProcessing(true);
  lblAdvice.Caption(kAdvice);
  lblFileName.Caption(zipFileName_);
  lblState.Caption("Backing Up");
  platform::SetMousePointer(platform::MousePointer::ArrowHourglass);
  std::unique_ptr<cProcessItem> own;  // only when there is no catalogue to share
  if (!items_ && !shared::HaveSharedObjects()) own = std::make_unique<cProcessItem>();
  const cProcessItem& items = items_ ? *items_ : own ? *own : shared::Catalogue();
  backup::RunSettings settings{totalItem_, zipFileName_, password_, comment_, compatible_};
  backup::BackupRun run(items, *this, settings);
  succeeded_ = run.Run();
  failure_ = succeeded_ ? std::string() : run.Failure();
  stopped_ = run.Stopped();
  tempDir_ = run.TempDir();
  ShowResult(succeeded_);
  lblVerified.Caption(succeeded_ && run.Verified() ? kVerifiedNote : "");
  if (!succeeded_) {
    // No archive was written: no path to it and no advice to copy it, but
    // what failed, or that the user stopped it.
    lblFileName.Caption("");
    lblFileName.Visible(false);
    lblAdvice.Caption(stopped_ ? std::string() : failure_.empty() ? std::string(kNothingWritten) : failure_);
  }
  if (stopped_) {
    lblTitle.Caption(kStoppedTitle);
    lblNotice.Caption(kStoppedNotice);
  }
  platform::SetMousePointer(platform::MousePointer::Default);
  RaiseFinish();
}
