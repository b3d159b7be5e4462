#pragma once
// The restore run page: shows the three steps of each restored identity
// (extracting, registry data, data files) with a progress bar and animated
// step markers, runs the restore when the wizard starts it, and shows the
// outcome with the choice to start the mail client.
#include <cstdint>
#include <string>

#include "backup/StepRow.h"
#include "controls/Control.h"
#include "controls/InputControls.h"
#include "controls/ProgressBar.h"
#include "controls/Timer.h"
#include "restore/RestoreRun.h"
#include "wizard/WizardPage.h"

class ucRestor3 : public wizard::RestoreRunPage, private restore::RunView {
 public:
  ucRestor3();
  int TemplateId() const override;
  void Bind(controls::ControlBinder& binder) override;

  void InitNow() override;
  void StartRestore() override;

  const std::string& ZipFileName() const { return zipFileName_; }
  void ZipFileName(const std::string& path) override { zipFileName_ = path; }
  const std::string& TempFolder() const { return tempFolder_; }
  void TempFolder(const std::string& folder) override { tempFolder_ = folder; }
  const std::string& Password() const { return password_; }
  void Password(const std::string& password) override { password_ = password; }
  std::string OEFileName() const override { return oeFileName_; }
  void OEFileName(const std::string& path) { oeFileName_ = path; }
  std::int32_t ShellOE() const override { return chkShell.Value(); }
  void ShellOE(std::int32_t value) { chkShell.Value(value); }
  // True after a run in which every chosen identity was restored.
  bool Succeeded() const { return succeeded_; }
  // The last run was stopped by the user.
  bool Stopped() const { return stopped_; }
  int CurrentStep() const { return currentStep_; }

  controls::Frame fmeStep[2];
  controls::ProgressBar ProgressBar1;
  controls::Label lblState, lblIDCaption, lblID;
  backup::StepMarker imgStep[3];
  backup::StepLabel lblStep[3];
  backup::StepLabel lblTitle;
  controls::Label lblFinishState;
  controls::CheckBox chkShell;
  controls::Timer Timer1;

  static constexpr const char kSuccessText[] = "Your Outlook Express data has been restored successfully!";
  static constexpr const char kErrorText[] = "There is at least one error happened in the course of restoring. ";
  static constexpr const char kCompletedTitle[] = "Restore Completed";
  static constexpr const char kStoppedTitle[] = "Restore Stopped";
  static constexpr const char kStoppedText[] = "The restore was stopped.";
  // Followed by the names, then ".".
  static constexpr const char kRestoredBeforeStop[] = "Restored before the stop: ";
  static constexpr const char kNothingRestored[] = "No identity was restored before the stop.";
  // Between "The identity " and this, the name of the one being restored.
  static constexpr const char kLeftAsItWas[] = " was left as it was.";

 private:
  // RunView.
  controls::ProgressBar& Bar() override { return ProgressBar1; }
  void Repaint() override;
  void SetStep(int step) override;
  void ShowIdentity(const std::string& name) override { lblID.Caption(name); }
  bool Stopping() override { return StopRequested(); }

  void Animate();
  void ShowFrame(int frame);

  std::string zipFileName_, tempFolder_, password_, oeFileName_;
  int currentStep_ = 0;
  int counter_ = 0;  // the animation's counter
  bool succeeded_ = false;
  bool stopped_ = false;
};
