#pragma once
// The backup run page: shows the three steps of a run (registry data, data
// files, archive) with a progress bar and animated step markers, runs the
// backup when the wizard starts it, and shows the outcome.
#include <cstdint>
#include <string>

#include "backup/BackupRun.h"
#include "backup/StepRow.h"
#include "controls/Control.h"
#include "controls/ProgressBar.h"
#include "controls/Timer.h"
#include "wizard/WizardPage.h"

class cProcessItem;

class ucBack4 : public wizard::BackupRunPage, private backup::RunView {
 public:
  ucBack4();
  int TemplateId() const override;
  void Bind(controls::ControlBinder& binder) override;

  void InitNow() override;
  void StartBackup() override;

  std::int32_t TotalItem() const { return totalItem_; }
  void TotalItem(std::int32_t total) override { totalItem_ = total; }
  const std::string& ZipFileName() const { return zipFileName_; }
  void ZipFileName(const std::string& path) override;
  const std::string& Password() const { return password_; }
  void Password(const std::string& password) override { password_ = password; }
  const std::string& Comment() const { return comment_; }
  void Comment(const std::string& comment) override { comment_ = comment; }
  bool CompatibleEncryption() const { return compatible_; }
  void CompatibleEncryption(bool compatible) override { compatible_ = compatible; }
  std::string TempDir() const override { return tempDir_; }

  // The argument of the last Finish: true after a completed run.
  bool Succeeded() const { return succeeded_; }
  // What failed in the last run, as the page says it ("" when it succeeded
  // or the run could not tell).
  const std::string& Failure() const { return failure_; }
  // The last run was stopped by the user.
  bool Stopped() const { return stopped_; }
  int CurrentStep() const { return currentStep_; }
  // The catalogue the run reads; the program's shared one unless set.
  void Catalogue(const cProcessItem* items) { items_ = items; }

  controls::Frame fmeProcess;
  controls::ProgressBar ProgressBar1;
  controls::Label lblState;
  backup::StepMarker imgStep[3];
  backup::StepLabel lblStep[3];
  controls::Frame fmeResult;
  backup::StepLabel lblTitle;
  controls::Label lblNotice, lblFileName, lblAdvice, lblVerified;
  controls::Timer tmrStep;

  static constexpr const char kCompletedTitle[] = "Backup Completed";
  static constexpr const char kFailedTitle[] = "Backup Fail";
  static constexpr const char kCompletedNotice[] =
      "Your Outlook Express data has been successfully backed up to the following file:";
  static constexpr const char kVerifiedNote[] =
      "The backup file has been read back and every file in it checked.";
  static constexpr const char kAdvice[] =
      "We recommend that you copy this file to a reliable medium like a removeable drive and "
      "store it in a safe place.";
  static constexpr const char kNothingWritten[] = "No backup file was written.";
  static constexpr const char kFailedNotice[] =
      "Your Outlook Express data haven't backed up successfully, please try again! ";
  static constexpr const char kStoppedTitle[] = "Backup Stopped";
  static constexpr const char kStoppedNotice[] =
      "The backup was stopped. No backup file was written; an earlier backup file of the same name is left as "
      "it was.";

 private:
  // RunView.
  controls::ProgressBar& Bar() override { return ProgressBar1; }
  void Repaint() override;
  void StepStarted(int step) override;
  void StepDone(int step) override;
  bool Stopping() override { return StopRequested(); }

  void Animate();
  void ShowResult(bool completed);
  void ShowProcessing(bool processing);

  std::int32_t totalItem_ = 0;
  std::string zipFileName_, password_, comment_, tempDir_, failure_;
  bool compatible_ = false;
  const cProcessItem* items_ = nullptr;
  int currentStep_ = 0;
  int frame_ = 0;  // the animation's counter
  bool succeeded_ = false;
  bool stopped_ = false;
};
