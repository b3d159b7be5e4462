// The process entry of quillmere.exe.
#include <windows.h>

#include "shell/WizardParts.h"
#include "shell/WizardWindow.h"
#include "shell/modCheckOE.h"

namespace {

class WizardTargets : public modCheckOE::StartTargets {
 public:
  void ShowWizard() override {
    {
      wizard::ProgramServices services;
      frmMain form(wizard::MakeProgramPages(), services);
      if (wizard::CreateWizardWindow(form)) {
        wizard::ShowWizardWindow(form);
        wizard::RunWizardLoop(form);
      }
    }
    modCheckOE::ExitCleanup();
  }
  // The command-line runs drive the same window; until they are in place
  // the wizard opens as usual.
  void OpenBackupFromCommandLine(const std::string&) override { ShowWizard(); }
  void RunBackupScript(const std::string&) override { ShowWizard(); }
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  WizardTargets targets;
  return modCheckOE::Main(targets);
}
