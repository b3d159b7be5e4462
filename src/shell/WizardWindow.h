#pragma once
// The real window of the wizard frame (win64 only): a modeless dialog with
// the pages as child dialogs, driven by its own message loop.
#include "shell/frmMain.h"

namespace wizard {

// Creates the window of `form` (hidden), binds its buttons and pages, and
// then loads the form (page 0). Returns the window handle.
void* CreateWizardWindow(frmMain& form);
void ShowWizardWindow(frmMain& form);
// Runs messages until the form has unloaded and its window is gone.
void RunWizardLoop(frmMain& form);
// The wizard's keys for one message (a MSG) of its loop: F1 opens the help
// at the page's topic; Tab, the arrows, Enter and Esc as in any dialog.
// True when the message has been handled.
bool TranslateWizardMessage(frmMain& form, void* msg);

}  // namespace wizard
