#pragma once
// The wizard frame: five buttons, nine page controls stacked in one place,
// the page index and the navigation between pages. Everything here runs
// without a window (tests, the unattended run); frmMain_win32.cpp gives it
// its real window.
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/Control.h"
#include "platform/ui.h"
#include "wizard/WizardPage.h"
#include "shell/ucStep0.h"
#include "shell/ucStep1.h"

namespace wizard {

// What a saved script holds (the backup's choices).
struct ScriptContent {
  std::string BackupFile, Comments, Password;
  bool CompatibleEncryption = false;  // with a password: the traditional cipher
  std::time_t LastBackupDate = 0;
  std::vector<std::string> Identities, IDdetails;
};

// The program-wide objects and forms the frame uses but does not own the
// logic of: the identity catalogue and restore plan, the script file, the
// schedule dialog and the about box. The program's own set lives in
// WizardParts.cpp; tests hand in theirs.
class WizardServices {
 public:
  virtual ~WizardServices() = default;
  // Creates / releases the identity catalogue and the restore plan.
  virtual void CreateSharedObjects() {}
  virtual void ReleaseSharedObjects() {}
  // The catalogue's selected identities: (name, item flags) per entry.
  virtual std::vector<std::pair<std::string, std::string>> SelectedIdentities() { return {}; }
  // Writes a script file; false on failure.
  virtual bool WriteScriptFile(const ScriptContent& script, const std::string& path) = 0;
  virtual platform::ModalForm& ScheduleDialog() = 0;
  virtual platform::ModalForm& AboutBox() = 0;
  // Associates the backup file type with the program.
  virtual void CheckExtName() = 0;
};

// The nine page controls (the backup run page and the restore run page each
// serve two indexes; the running-client page serves both branches).
struct PageSet {
  std::unique_ptr<ucStep0> step0;
  std::unique_ptr<ucStep1> step1;
  std::unique_ptr<SelectionPage> back1;
  std::unique_ptr<DestinationPage> back2;
  std::unique_ptr<RunningClientsPage> back3;
  std::unique_ptr<BackupRunPage> back4;
  std::unique_ptr<RestoreSourcePage> restor1;
  std::unique_ptr<RestoreMappingPage> restor2;
  std::unique_ptr<RestoreRunPage> restor3;
};

}  // namespace wizard

class frmMain {
 public:
  frmMain(wizard::PageSet pages, wizard::WizardServices& services);
  ~frmMain();
  frmMain(const frmMain&) = delete;
  frmMain& operator=(const frmMain&) = delete;

  // Window load: page 0, the shared objects, the file association.
  void Load();

  void cmdNext_Click();
  // F1: the help at the current page's topic (HelpTopic: a page of help.chm).
  void cmdHelpTopic();
  std::string HelpTopic() const;
  void cmdBack_Click();
  void cmdCancel_Click();
  void cmdHelp_Click();
  void cmdAbout_Click();
  void ShowPage();
  // The focus onto the current page's first control (else Next, else Cancel).
  void FocusCurrentPage();
  void SaveScript();

  // Closing for any reason: asks unless bNotAskExit, builds the clean-up
  // folder list; false when the user said No.
  bool QueryUnload();
  // Closes the window (asking first); true when it has unloaded.
  bool Unload();
  bool Unloaded() const { return unloaded_; }

  std::int32_t CurrentPage() const { return currentPage_; }
  bool bNotAskExit() const { return notAskExit_; }
  void bNotAskExit(bool value) { notAskExit_ = value; }

  // The window handle for dialogs this window owns (null headless).
  void* hwnd() const { return hwnd_; }
  void SetWindow(void* hwnd) { hwnd_ = hwnd; }
  // Called once the window has unloaded (the real window destroys itself).
  std::function<void()> OnUnloaded;

  controls::CommandButton cmdHelp, cmdAbout, cmdCancel, cmdBack, cmdNext;
  controls::Image imgBanner;
  ucStep0& ucStep01;
  ucStep1& ucStep11;
  wizard::SelectionPage& ucBack11;
  wizard::DestinationPage& ucBack21;
  wizard::RunningClientsPage& ucBack31;
  wizard::BackupRunPage& ucBack41;
  wizard::RestoreSourcePage& ucRestor11;
  wizard::RestoreMappingPage& ucRestor21;
  wizard::RestoreRunPage& ucRestor31;

  // The nine page controls in their hiding order.
  std::vector<wizard::Page*> AllPages();
  // The page shown for an index (null for the exits 7 and 13).
  wizard::Page* PageAt(std::int32_t index);

  // A backup or restore run is going on (inside ShowPage).
  bool Running() const { return running_; }

  static constexpr const char kCloseQuestion[] = "Do you want to close Quillmere? ";
  // Asked when Cancel or the close box is pressed while a run goes on.
  static constexpr const char kStopBackupQuestion[] =
      "Do you want to stop the backup?\r\n\r\n"
      "No backup file will be written; an earlier backup file of the same name is left as it was.";
  static constexpr const char kStopRestoreQuestion[] =
      "Do you want to stop the restore?\r\n\r\n"
      "The identities already restored stay restored; the identity being restored is left as it was.";
  static const std::string kRestoreQuestion;

 private:
  // While a run goes on: asks whether to stop it; Yes stops it at its next
  // tick. The window stays.
  void AskToStop();
  void OnBackupFinish();
  void OnRestoreFinish();
  void DoUnload();

  wizard::PageSet pages_;
  wizard::WizardServices& services_;
  std::int32_t currentPage_ = 0;
  bool notAskExit_ = false;
  bool unloaded_ = false;
  bool running_ = false;
  bool stepping_ = false;  // Next or Back is being acted on
  bool askingToStop_ = false;
  void Step(void (frmMain::*click)());
  void* hwnd_ = nullptr;
};
