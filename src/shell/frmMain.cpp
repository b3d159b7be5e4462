#include "shell/frmMain.h"

#include "controls/BusyScope.h"
#include "controls/GCommonDialog.h"
#include "platform/system.h"
#include "shell/mGeneral.h"
#include "shell/modCheckOE.h"
#include "helpers/modFunction.h"

const std::string frmMain::kRestoreQuestion =
    "Your current email and news messages will be replaced       \r\n"
    "with the messages from the selected Backup file. \r\n\r\n"
    "Do you want to countinue?\r\n";

frmMain::frmMain(wizard::PageSet pages, wizard::WizardServices& services)
    : ucStep01(*pages.step0),
      ucStep11(*pages.step1),
      ucBack11(*pages.back1),
      ucBack21(*pages.back2),
      ucBack31(*pages.back3),
      ucBack41(*pages.back4),
      ucRestor11(*pages.restor1),
      ucRestor21(*pages.restor2),
      ucRestor31(*pages.restor3),
      pages_(std::move(pages)),
      services_(services) {
  cmdHelp.Caption("&Help...");
  cmdAbout.Caption("&About...");
  cmdCancel.Caption("&Cancel");
  cmdBack.Caption("< &Back");
  cmdNext.Caption("&Next >");
  cmdNext.Default(true);
  cmdHelp.Click = [this] { cmdHelp_Click(); };
  cmdAbout.Click = [this] { cmdAbout_Click(); };
  cmdCancel.Click = [this] { cmdCancel_Click(); };
  cmdBack.Click = [this] { Step(&frmMain::cmdBack_Click); };
  cmdNext.Click = [this] { Step(&frmMain::cmdNext_Click); };
  ucBack41.Finish = [this] { OnBackupFinish(); };
  ucRestor31.Finish = [this] { OnRestoreFinish(); };
}

frmMain::~frmMain() {
  ucBack41.Finish = nullptr;
  ucRestor31.Finish = nullptr;
}

std::vector<wizard::Page*> frmMain::AllPages() {
  return {&ucBack11, &ucBack21, &ucBack31, &ucStep01, &ucBack41,
          &ucStep11, &ucRestor11, &ucRestor21, &ucRestor31};
}

wizard::Page* frmMain::PageAt(std::int32_t index) {
  switch (index) {
    case 0: return &ucStep01;
    case 1: return &ucStep11;
    case 2: return &ucBack11;
    case 3: return &ucBack21;
    case 4: case 10: return &ucBack31;
    case 5: case 6: return &ucBack41;
    case 8: return &ucRestor11;
    case 9: return &ucRestor21;
    case 11: case 12: return &ucRestor31;
    default: return nullptr;
  }
}

void frmMain::Load() {
  currentPage_ = 0;
  services_.CreateSharedObjects();
  services_.CheckExtName();
  ShowPage();
}

// One click, one step: a click that comes while the wizard is still moving
// to a page (its first check runs the message loop) is not acted on, nor is
// one that was queued meanwhile, such as the second half of a double click.
void frmMain::Step(void (frmMain::*click)()) {
  if (stepping_) return;
  {
    controls::BusyScope busy(stepping_);
    (this->*click)();
  }
  platform::DiscardQueuedClicks(cmdNext.hwnd());
  platform::DiscardQueuedClicks(cmdBack.hwnd());
}

void frmMain::cmdNext_Click() {
  std::int32_t p = currentPage_;
  switch (p) {
    case 1: {
      std::int16_t m = ucStep11.Method();
      if (m == ucStep1::kRestore) {
        currentPage_ = 8;
        ShowPage();
      } else if (m == ucStep1::kSchedule) {
        platform::ShowModalForm(services_.ScheduleDialog(), hwnd_);
      } else {
        currentPage_ = 2;
        ShowPage();
      }
      return;
    }
    case 2: case 3: case 4: case 8: case 9: case 10:
      if (!PageAt(p)->CheckReady()) return;
      break;
    case 11:
      if (platform::MsgBox(kRestoreQuestion, platform::kOkCancel | platform::kDefaultButton2 |
                                                 platform::kQuestion, "", hwnd_) ==
          platform::kAnswerCancel)
        return;
      break;
    default: break;
  }
  currentPage_ = p + 1;
  ShowPage();
}

void frmMain::cmdBack_Click() {
  if (ucStep11.Method() == ucStep1::kRestore && currentPage_ == 8) currentPage_ = 1;
  else if (currentPage_ > 0) currentPage_ -= 1;
  ShowPage();
}

void frmMain::ShowPage() {
  const std::int32_t p = currentPage_;
  if (p == 7) {
    notAskExit_ = true;
    Unload();
    return;
  }
  if (p == 13) {
    notAskExit_ = true;
    if (ucRestor31.ShellOE() == 1)
      platform::ShellRun(nullptr, "", ucRestor31.OEFileName(), "", "", platform::kSwShowMinimized);
    Unload();
    return;
  }
  for (wizard::Page* page : AllPages()) page->Visible(false);
  cmdBack.Enabled(p != 0);
  wizard::Page* page = PageAt(p);
  if (!page) return;
  page->Visible(true);
  FocusCurrentPage();
  switch (p) {
    case 2: ucBack11.LoadIdenList(); break;
    case 4: case 10:
      ucBack31.ForRestore(p == 10);
      ucBack31.CheckRunning();
      break;
    case 5: ucBack41.InitNow(); break;
    case 6:
      ucBack41.TotalItem(ucBack11.TotalItem());
      ucBack41.ZipFileName(ucBack21.ZipFileName());
      ucBack41.Password(ucBack21.Password());
      ucBack41.Comment(ucBack21.Comment());
      ucBack41.CompatibleEncryption(ucBack21.CompatibleEncryption());
      // No second Next or Back while it runs; Cancel asks whether to stop it.
      cmdBack.Enabled(false);
      cmdNext.Enabled(false);
      running_ = true;
      ucBack41.StartBackup();
      running_ = false;
      break;
    case 8: case 11: platform::DoEvents(); break;
    case 9:
      platform::DoEvents();
      ucRestor21.LoadIDList();
      break;
    case 12:
      ucRestor31.ZipFileName(ucRestor11.RestoreFile());
      ucRestor31.TempFolder(ucRestor11.RestoreFolder());
      ucRestor31.Password(ucRestor11.Password());
      // As during a backup.
      cmdBack.Enabled(false);
      cmdNext.Enabled(false);
      running_ = true;
      ucRestor31.StartRestore();
      running_ = false;
      break;
    default: break;
  }
}

void frmMain::FocusCurrentPage() {
  wizard::Page* page = PageAt(currentPage_);
  if (!platform::FocusFirstControl(page ? page->Surface().hwnd() : nullptr, cmdNext.hwnd()))
    platform::FocusFirstControl(nullptr, cmdCancel.hwnd());
}

void frmMain::OnBackupFinish() {
  try {
    cmdNext.Caption("&Finish");
    cmdNext.Enabled(true);
    cmdNext.Default(true);
    cmdNext.SetFocus();
    cmdCancel.SetFocus();
    cmdCancel.Caption("&Save Script");
    cmdCancel.Enabled(true);
    cmdBack.Enabled(false);
  } catch (...) {  // a hidden window cannot take the focus
  }
}

void frmMain::OnRestoreFinish() {
  try {
    cmdNext.Caption("&Finish");
    cmdNext.Enabled(true);
    cmdNext.Default(true);
    cmdNext.SetFocus();
    cmdCancel.Enabled(false);
    cmdBack.Enabled(false);
  } catch (...) {
  }
}

void frmMain::cmdCancel_Click() {
  if (running_) AskToStop();
  else if (cmdCancel.Caption() == "&Save Script") SaveScript();
  else Unload();
}

void frmMain::AskToStop() {
  const bool restore = currentPage_ == 12;
  wizard::RunPage& run = restore ? static_cast<wizard::RunPage&>(ucRestor31) : ucBack41;
  if (askingToStop_ || run.StopRequested()) return;  // asked already: it stops at its next tick
  controls::BusyScope asking(askingToStop_);
  if (platform::MsgBox(restore ? kStopRestoreQuestion : kStopBackupQuestion,
                       platform::kYesNo | platform::kDefaultButton2 | platform::kQuestion, "",
                       hwnd_) == platform::kAnswerYes)
    run.Stop();
}

void frmMain::SaveScript() {
  try {
    controls::GCommonDialog dialog;
    // Proposed: the archive's name with the script's extension, in the
    // archive's folder.
    const std::string archive = ucBack21.ZipFileName();
    const std::size_t cut = archive.find_last_of('\\');
    const std::string folder = cut == std::string::npos ? "" : archive.substr(0, cut + 1);
    std::string file = archive.substr(cut == std::string::npos ? 0 : cut + 1);
    if (const std::size_t dot = file.find_last_of('.'); dot != std::string::npos && dot > 0) file.erase(dot);
    if (!file.empty()) file += ".oes";
    std::string title, filter = "Script Files(*.oes)|*.oes";
    std::int32_t index = 1, flags = 0;
    if (!dialog.VBGetSaveFileName(file, title, true, filter, index, folder, "Save as", "oes", hwnd_, flags))
      return;
    wizard::ScriptContent script;
    script.BackupFile = ucBack21.ZipFileName();
    script.Comments = ucBack21.Comment();
    script.LastBackupDate = std::time(nullptr);
    script.Password = ucBack21.Password();
    script.CompatibleEncryption = ucBack21.CompatibleEncryption();
    for (const auto& [name, detail] : services_.SelectedIdentities()) {
      script.Identities.push_back(name);
      script.IDdetails.push_back(detail);
    }
    if (services_.WriteScriptFile(script, file)) {
      platform::MsgBox("Save script file successfully!    ", platform::kInformation, "", hwnd_);
      notAskExit_ = true;
      Unload();
    } else {
      platform::MsgBox("Save script file unsuccessfully!       ", platform::kCritical, "", hwnd_);
    }
  } catch (...) {  // the window stays
  }
}

bool frmMain::QueryUnload() {
  // The run reads the shared objects that unloading releases: the window
  // stays until the run has ended, and the user may stop it.
  if (running_) {
    AskToStop();
    return false;
  }
  if (!notAskExit_ &&
      platform::MsgBox(kCloseQuestion, platform::kYesNo | platform::kQuestion, "", hwnd_) ==
          platform::kAnswerNo)
    return false;
  modCheckOE::CleanupFolderList() = ucBack41.TempDir() + "/" + ucRestor11.RestoreFolder();
  return true;
}

bool frmMain::Unload() {
  if (unloaded_) return true;
  if (!QueryUnload()) return false;
  DoUnload();
  return true;
}

void frmMain::DoUnload() {
  unloaded_ = true;
  try {
    services_.ReleaseSharedObjects();
    modCheckOE::ReleaseShellLibrary();
  } catch (...) {
  }
  if (OnUnloaded) OnUnloaded();
}

std::string frmMain::HelpTopic() const {
  if (currentPage_ >= 2 && currentPage_ <= 7) return "backup.html";
  if (currentPage_ >= 8) return "restore.html";
  return "index.html";
}

void frmMain::cmdHelpTopic() {
  // The help viewer opens the file at a topic; the Help button opens it at
  // its start.
  std::string verb = "open";
  void* owner = nullptr;
  mGeneral::ShellOpen("hh.exe", platform::kSwShowNormal, modFunction::AppPath() + "help.chm::/" + HelpTopic(), "",
                      verb, owner);
}

void frmMain::cmdHelp_Click() {
  std::string verb = "open";
  void* owner = nullptr;
  mGeneral::ShellOpen(modFunction::AppPath() + "help.chm", platform::kSwShowNormal, "", "", verb,
                      owner);
}

void frmMain::cmdAbout_Click() { platform::ShowModalForm(services_.AboutBox(), hwnd_); }
