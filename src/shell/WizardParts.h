#pragma once
// The program's own pages and services for the wizard frame.
#include "shell/frmAbout.h"
#include "shell/frmMain.h"

namespace wizard {

PageSet MakeProgramPages();

class ProgramServices : public WizardServices {
 public:
  void CreateSharedObjects() override;
  void ReleaseSharedObjects() override;
  std::vector<std::pair<std::string, std::string>> SelectedIdentities() override;
  bool WriteScriptFile(const ScriptContent& script, const std::string& path) override;
  platform::ModalForm& ScheduleDialog() override;
  platform::ModalForm& AboutBox() override { return about_; }
  void CheckExtName() override;

 private:
  frmAbout about_;
};

}  // namespace wizard
