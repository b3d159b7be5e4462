#pragma once
// The program's own pages and services for the wizard frame. Pages whose
// part of the program is not in place yet are stood in for by interim pages
// that say so and let nobody past them.
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

// The text an interim page shows and says when Next is pressed on it.
constexpr const char kInterimText[] =
    "This part of the wizard is not available in this version yet.";

}  // namespace wizard
