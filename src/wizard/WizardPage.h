#pragma once
// The page contract of the wizard frame: every page is a page control that
// the frame shows and hides, asks `CheckReady` before leaving it, and reaches
// through the members of its role below. Pages of later parts of the program
// implement these roles; the frame knows them only through this header.
#include <cstdint>
#include <functional>
#include <string>

#include "controls/Control.h"
#include "controls/ControlBinder.h"

namespace wizard {

class Page {
 public:
  virtual ~Page() = default;

  // The page control itself (its child window when the frame is real).
  controls::Control& Surface() { return surface_; }
  bool Visible() const { return surface_.Visible(); }
  void Visible(bool visible) { surface_.Visible(visible); }

  // Asked by Next before the frame leaves a page that gates it; a page that
  // refuses has already told the user why.
  virtual bool CheckReady() { return true; }

  // The dialog template of the page and the binding of its controls to it.
  virtual int TemplateId() const = 0;
  virtual void Bind(controls::ControlBinder& binder) {}

 private:
  controls::Control surface_;
};

// Page 2: which identities and items to back up.
class SelectionPage : public Page {
 public:
  virtual void LoadIdenList() = 0;
  virtual std::int32_t TotalItem() const = 0;
};

// Page 3: the archive path, password and comment.
class DestinationPage : public Page {
 public:
  virtual std::string ZipFileName() const = 0;
  virtual std::string Password() const = 0;
  virtual std::string Comment() const = 0;
  // With a password: the traditional cipher in place of AES.
  virtual bool CompatibleEncryption() const { return false; }
};

// Pages 4 and 10: waits until the mail client and the messenger are closed.
class RunningClientsPage : public Page {
 public:
  // Before it is shown: page 10 stands before the restore, page 4 before
  // the backup.
  virtual void ForRestore(bool restore) {}
  virtual void CheckRunning() = 0;
};

// A page that runs something long and raises `Finish` at its end. The run
// can be stopped: the frame asks the user, and on Yes calls Stop; the run
// ends at its next tick, keeping what it must not lose.
class RunPage : public Page {
 public:
  std::function<void()> Finish;
  void Stop() { stopRequested_ = true; }
  bool StopRequested() const { return stopRequested_; }

 protected:
  void RaiseFinish() {
    if (Finish) Finish();
  }
  // A run begins: no stop asked for yet.
  void ClearStop() { stopRequested_ = false; }

 private:
  bool stopRequested_ = false;
};

// Pages 5 and 6: the backup run.
class BackupRunPage : public RunPage {
 public:
  virtual void InitNow() = 0;
  virtual void TotalItem(std::int32_t total) = 0;
  virtual void ZipFileName(const std::string& path) = 0;
  virtual void Password(const std::string& password) = 0;
  virtual void Comment(const std::string& comment) = 0;
  virtual void CompatibleEncryption(bool) {}
  // Runs the backup to its end, then raises Finish.
  virtual void StartBackup() = 0;
  virtual std::string TempDir() const = 0;
};

// Page 8: the archive to restore from.
class RestoreSourcePage : public Page {
 public:
  virtual std::string RestoreFile() const = 0;
  virtual std::string RestoreFolder() const = 0;
  virtual std::string Password() const = 0;
};

// Page 9: saved identities mapped onto local ones.
class RestoreMappingPage : public Page {
 public:
  virtual void LoadIDList() = 0;
};

// Pages 11 and 12: the restore run.
class RestoreRunPage : public RunPage {
 public:
  virtual void ZipFileName(const std::string& path) = 0;
  virtual void TempFolder(const std::string& folder) = 0;
  virtual void Password(const std::string& password) = 0;
  // Runs the restore to its end, then raises Finish.
  virtual void StartRestore() = 0;
  virtual std::int32_t ShellOE() const = 0;
  virtual std::string OEFileName() const = 0;
};

}  // namespace wizard
