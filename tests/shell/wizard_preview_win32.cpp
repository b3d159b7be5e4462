// Opens the wizard's real window with the program's pages and services,
// for looking at it (screenshots) before the program itself links.
#include <windows.h>

#include "shell/WizardParts.h"
#include "shell/WizardWindow.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  wizard::ProgramServices services;
  frmMain form(wizard::MakeProgramPages(), services);
  if (!wizard::CreateWizardWindow(form)) return 1;
  wizard::ShowWizardWindow(form);
  wizard::RunWizardLoop(form);
  return 0;
}
