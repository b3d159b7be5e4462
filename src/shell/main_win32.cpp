// The process entry of quillmere.exe.
#include <windows.h>

#include "platform/ui.h"
#include "resources/resource.h"
#include "shell/appinfo.h"
#include "shell/modCheckOE.h"

namespace {

const char kIntro[] =
    "Quillmere backs up your Outlook Express identities - messages, accounts, "
    "address book, message rules, blocked senders and signatures - into one "
    "backup file, and restores them.\r\n\r\n"
    "The backup and restore pages are being put in place.";

INT_PTR CALLBACK MainProc(HWND dlg, UINT msg, WPARAM wp, LPARAM) {
  try {
    switch (msg) {
      case WM_INITDIALOG: {
        HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_QUILLMERE));
        ::SendMessageA(dlg, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        ::SendMessageA(dlg, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        ::SetDlgItemTextA(dlg, IDC_MAIN_TEXT, kIntro);
        return TRUE;
      }
      case WM_COMMAND:
        if (LOWORD(wp) == IDCANCEL) {
          if (platform::MsgBox("Do you want to close Quillmere? ", platform::kYesNo | platform::kQuestion,
                               "", dlg) != platform::kAnswerYes)
            return TRUE;
          modCheckOE::CleanupFolderList() = "/";
          ::EndDialog(dlg, 0);
          return TRUE;
        }
        break;
    }
  } catch (...) {
  }
  return FALSE;
}

class WizardTargets : public modCheckOE::StartTargets {
 public:
  void ShowWizard() override {
    ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainProc, 0);
    modCheckOE::ReleaseShellLibrary();
    modCheckOE::ExitCleanup();
  }
  void OpenBackupFromCommandLine(const std::string&) override { ShowWizard(); }
  void RunBackupScript(const std::string&) override { ShowWizard(); }
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  WizardTargets targets;
  return modCheckOE::Main(targets);
}
