#pragma once
// Pages that keep the page contract for the frame's tests: each records
// the calls it gets into one shared log, answers CheckReady as told, and the
// run pages call `during` and then raise Finish as their run.
#include <functional>
#include <string>
#include <vector>

#include "shell/frmMain.h"

namespace testpages {

using Log = std::vector<std::string>;

template <typename Role>
class Recording : public Role {
 public:
  Recording(Log& log, std::string name) : log_(log), name_(std::move(name)) {}
  int TemplateId() const override { return 0; }
  bool CheckReady() override { return Note("CheckReady"), ready; }
  bool ready = true;
  std::function<void()> during;  // run pages: called while the run goes on

 protected:
  void Note(const std::string& what) { log_.push_back(name_ + "." + what); }
  void Run(const char* what) {
    Note(what);
    if (during) during();
    this->RaiseFinish();
  }

 private:
  Log& log_;
  std::string name_;
};

struct Selection : Recording<wizard::SelectionPage> {
  using Recording::Recording;
  void LoadIdenList() override { Note("LoadIdenList"); }
  std::int32_t TotalItem() const override { return total; }
  std::int32_t total = 12;
};

struct Destination : Recording<wizard::DestinationPage> {
  using Recording::Recording;
  std::string ZipFileName() const override { return zip; }
  std::string Password() const override { return password; }
  std::string Comment() const override { return comment; }
  bool CompatibleEncryption() const override { return true; }
  std::string zip = "D:\\Save\\mail.qmb", password = "secret", comment = "weekly";
};

struct Running : Recording<wizard::RunningClientsPage> {
  using Recording::Recording;
  void CheckRunning() override { Note("CheckRunning"); }
};

struct BackupRun : Recording<wizard::BackupRunPage> {
  using Recording::Recording;
  void InitNow() override { Note("InitNow"); }
  void TotalItem(std::int32_t t) override { total = t; }
  void ZipFileName(const std::string& z) override { zip = z; }
  void Password(const std::string& p) override { password = p; }
  void Comment(const std::string& c) override { comment = c; }
  void StartBackup() override { Run("StartBackup"); }
  std::string TempDir() const override { return tempDir; }
  std::int32_t total = 0;
  std::string zip, password, comment, tempDir = "C:\\Temp\\~oe00001\\";
};

struct RestoreSource : Recording<wizard::RestoreSourcePage> {
  using Recording::Recording;
  std::string RestoreFile() const override { return file; }
  std::string RestoreFolder() const override { return folder; }
  std::string Password() const override { return password; }
  std::string file = "D:\\Save\\old.qmb", folder = "C:\\Temp\\~oe00002\\", password = "pw";
};

struct Mapping : Recording<wizard::RestoreMappingPage> {
  using Recording::Recording;
  void LoadIDList() override { Note("LoadIDList"); }
};

struct RestoreRun : Recording<wizard::RestoreRunPage> {
  using Recording::Recording;
  void ZipFileName(const std::string& z) override { zip = z; }
  void TempFolder(const std::string& f) override { folder = f; }
  void Password(const std::string& p) override { password = p; }
  void StartRestore() override { Run("StartRestore"); }
  std::int32_t ShellOE() const override { return shellOE; }
  std::string OEFileName() const override { return oeFile; }
  std::string zip, folder, password;
  std::int32_t shellOE = 0;
  std::string oeFile = "C:\\Program Files\\Outlook Express\\msimn.exe";
};

// A modal form that records nothing itself: the scripted user sees its name.
struct Form : platform::ModalForm {
  explicit Form(std::string n) : name(std::move(n)) {}
  std::string FormName() const override { return name; }
  int ShowReal(void*) override { return 0; }
  std::string name;
};

struct Services : wizard::WizardServices {
  explicit Services(Log& l) : log(l) {}
  void CreateSharedObjects() override { log.push_back("CreateSharedObjects"); }
  void ReleaseSharedObjects() override { log.push_back("ReleaseSharedObjects"); }
  std::vector<std::pair<std::string, std::string>> SelectedIdentities() override { return selected; }
  bool WriteScriptFile(const wizard::ScriptContent& s, const std::string& path) override {
    return written = s, writtenPath = path, writeResult;
  }
  platform::ModalForm& ScheduleDialog() override { return schedule; }
  platform::ModalForm& AboutBox() override { return about; }
  void CheckExtName() override { log.push_back("CheckExtName"); }

  Log& log;
  std::vector<std::pair<std::string, std::string>> selected;
  wizard::ScriptContent written;
  std::string writtenPath;
  bool writeResult = true;
  Form schedule{"frmConfig"}, about{"frmAbout"};
};

// A frame with test pages, plus handles on them.
struct Wizard {
  Log log;
  Services services{log};
  Selection* back1 = new Selection(log, "ucBack11");
  Destination* back2 = new Destination(log, "ucBack21");
  Running* back3 = new Running(log, "ucBack31");
  BackupRun* back4 = new BackupRun(log, "ucBack41");
  RestoreSource* restor1 = new RestoreSource(log, "ucRestor11");
  Mapping* restor2 = new Mapping(log, "ucRestor21");
  RestoreRun* restor3 = new RestoreRun(log, "ucRestor31");
  std::unique_ptr<frmMain> form;

  Wizard() {
    wizard::PageSet s;
    s.step0 = std::make_unique<ucStep0>();
    s.step1 = std::make_unique<ucStep1>();
    s.back1.reset(back1);
    s.back2.reset(back2);
    s.back3.reset(back3);
    s.back4.reset(back4);
    s.restor1.reset(restor1);
    s.restor2.reset(restor2);
    s.restor3.reset(restor3);
    form = std::make_unique<frmMain>(std::move(s), services);
  }
  frmMain& f() { return *form; }
  // The visible pages (exactly one while the window is open).
  std::vector<wizard::Page*> VisiblePages() {
    std::vector<wizard::Page*> v;
    for (auto* p : form->AllPages())
      if (p->Visible()) v.push_back(p);
    return v;
  }
};

}  // namespace testpages
