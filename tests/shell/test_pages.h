#pragma once
// Pages that keep the page contract for the frame's tests: each records
// the calls it gets, answers CheckReady as told, and the run pages raise
// Finish at the end of their run.
#include <functional>
#include <string>
#include <vector>

#include "shell/frmMain.h"

namespace testpages {

// The calls every test page records, in order, into one shared log.
using Log = std::vector<std::string>;

template <typename Role>
class Recording : public Role {
 public:
  Recording(Log& log, std::string name) : log_(log), name_(std::move(name)) {}
  int TemplateId() const override { return 0; }
  bool CheckReady() override {
    Note("CheckReady");
    return ready;
  }
  bool ready = true;

 protected:
  void Note(const std::string& what) { log_.push_back(name_ + "." + what); }

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
  void StartBackup() override {
    Note("StartBackup");
    if (during) during();
    RaiseFinish();
  }
  std::function<void()> during;  // runs while the run goes on
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
  void StartRestore() override {
    Note("StartRestore");
    if (during) during();
    RaiseFinish();
  }
  std::function<void()> during;  // runs while the run goes on
  std::int32_t ShellOE() const override { return shellOE; }
  std::string OEFileName() const override { return oeFile; }
  std::string zip, folder, password;
  std::int32_t shellOE = 0;
  std::string oeFile = "C:\\Program Files\\Outlook Express\\msimn.exe";
};

// A modal form that records that it was shown.
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
    written = s;
    writtenPath = path;
    return writeResult;
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
  Selection* back1;
  Destination* back2;
  Running* back3;
  BackupRun* back4;
  RestoreSource* restor1;
  Mapping* restor2;
  RestoreRun* restor3;
  std::unique_ptr<frmMain> form;

  Wizard() {
    wizard::PageSet s;
    s.step0 = std::make_unique<ucStep0>();
    s.step1 = std::make_unique<ucStep1>();
    s.back1 = std::make_unique<Selection>(log, "ucBack11");
    s.back2 = std::make_unique<Destination>(log, "ucBack21");
    s.back3 = std::make_unique<Running>(log, "ucBack31");
    s.back4 = std::make_unique<BackupRun>(log, "ucBack41");
    s.restor1 = std::make_unique<RestoreSource>(log, "ucRestor11");
    s.restor2 = std::make_unique<Mapping>(log, "ucRestor21");
    s.restor3 = std::make_unique<RestoreRun>(log, "ucRestor31");
    back1 = static_cast<Selection*>(s.back1.get());
    back2 = static_cast<Destination*>(s.back2.get());
    back3 = static_cast<Running*>(s.back3.get());
    back4 = static_cast<BackupRun*>(s.back4.get());
    restor1 = static_cast<RestoreSource*>(s.restor1.get());
    restor2 = static_cast<Mapping*>(s.restor2.get());
    restor3 = static_cast<RestoreRun*>(s.restor3.get());
    form = std::make_unique<frmMain>(std::move(s), services);
  }
  frmMain& f() { return *form; }
  // The visible page controls (exactly one while the window is open).
  std::vector<wizard::Page*> VisiblePages() {
    std::vector<wizard::Page*> v;
    for (auto* p : form->AllPages())
      if (p->Visible()) v.push_back(p);
    return v;
  }
};

}  // namespace testpages
