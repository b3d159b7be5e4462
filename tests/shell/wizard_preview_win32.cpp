// Opens the wizard's real window with the program's pages and a recording
// stand-in for the program-wide services, for looking at it (screenshots).
#include <windows.h>

#include "shell/WizardParts.h"
#include "shell/WizardWindow.h"
#include "test_pages.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  testpages::Log log;
  testpages::Services services{log};
  frmMain form(wizard::MakeProgramPages(), services);
  if (!wizard::CreateWizardWindow(form)) return 1;
  wizard::ShowWizardWindow(form);
  wizard::RunWizardLoop(form);
  return 0;
}
