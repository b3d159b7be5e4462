// The process entry of quillmere.exe.
#include <windows.h>

#include "shell/CommandLineRuns.h"
#include "shell/WizardParts.h"
#include "shell/WizardWindow.h"
#include "shell/modCheckOE.h"

namespace {

class WizardTargets : public modCheckOE::StartTargets {
 public:
  void ShowWizard() override {
    Run([](frmMain&) { return true; });
  }
  // An archive named on the command line (a double-clicked ".qmb"): the
  // wizard opens on the restore source page with it loaded.
  void OpenBackupFromCommandLine(const std::string& line) override {
    Run([&line](frmMain& form) {
      CommandLineRuns::OpenBackupFromCommandLine(form, line);
      return true;
    });
  }
  // "/S": the window is never shown; the run unloads it when it is done.
  void RunBackupScript(const std::string& line) override {
    Run([&line](frmMain& form) {
      CommandLineRuns::RunBackupScript(form, line);
      return false;
    });
  }

 private:
  template <typename Drive>
  void Run(Drive drive) {
    {
      wizard::ProgramServices services;
      frmMain form(wizard::MakeProgramPages(), services);
      if (wizard::CreateWizardWindow(form)) {
        if (drive(form)) wizard::ShowWizardWindow(form);
        wizard::RunWizardLoop(form);
      }
    }
    modCheckOE::ExitCleanup();
  }
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  WizardTargets targets;
  return modCheckOE::Main(targets);
}
