#pragma once
// The schedule dialog: turns the automatic backup at log-on on or off. The
// setting lives only in the value "OutlookExpressAutoBackup" of the user's
// Run key: the program's short path followed by the switches of an
// unattended run, "/I <days>", "/S "<script>"" and, to overwrite an existing
// archive, "/O". Form_Load reads that value into the controls; cmdSave
// writes it back, or removes it when the schedule is off.
#include <functional>
#include <string>

#include "controls/Control.h"
#include "controls/ControlBinder.h"
#include "controls/InputControls.h"
#include "controls/ScrollBar.h"
#include "platform/ui.h"

class frmConfig : public platform::ModalForm {
 public:
  frmConfig();
  std::string FormName() const override { return "frmConfig"; }
  int ShowReal(void* owner) override;
  void Bind(controls::ControlBinder& binder);

  // Fills the controls from the Run value. Called once, before the dialog
  // shows.
  void Form_Load();
  // A key typed into txtInterval: digits and Backspace pass, every other key
  // is set to 0 (discarded).
  void txtInterval_KeyPress(int& KeyAscii);
  // The user leaves txtInterval: an interval outside 1..300 becomes 7.
  void txtInterval_Validate();

  // Whether the dialog has closed, and whether cmdSave stored the setting.
  bool Closed() const { return closed_; }
  bool Saved() const { return saved_; }

  controls::Label lblText, lblEvery, lblDays;
  controls::CheckBox chkEnable;
  controls::Frame Frame1, Frame2, Frame3;
  controls::TextBox txtScript, txtInterval;
  controls::CommandButton cmdBrowse, cmdSave, cmdCancel;
  controls::ScrollBar VScroll1;
  controls::OptionArray optOverwrite{2};

  // The real dialog ends itself through this; headless it is not set.
  std::function<void()> CloseWindow;
  // The window that owns the dialog's file dialog and messages (null headless).
  void* hwnd = nullptr;

  static constexpr const char kValueName[] = "OutlookExpressAutoBackup";
  static constexpr const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  static constexpr const char kNoScriptMessage[] = "Please choose the backup script to run.";
  static constexpr const char kSaveFailedMessage[] = "The automatic backup could not be stored in the registry.";

  // The program's own path in its short form, as the Run value starts with
  // it (the long path when the system has no short form for it).
  static std::string ProgramShortPath();

 private:
  void EnableSettings(bool enabled);
  bool ChooseScript();
  void chkEnable_Click();
  void cmdSave_Click();
  void Close();

  bool loading_ = false;
  bool typing_ = false;
  bool closed_ = false;
  bool saved_ = false;
};
