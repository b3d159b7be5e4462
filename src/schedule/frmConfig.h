#pragma once
// The schedule dialog: turns the automatic backup at log-on on or off. The
// setting lives only in the value "OutlookExpressAutoBackup" of the user's
// Run key: the program's long path in quotes followed by the switches of an
// unattended run, "/I <days>", "/S "<script>"" and, to overwrite an existing
// archive, " /O". Form_Load reads that value into the controls (a value
// that names the program by its short path, unquoted, as earlier versions
// wrote it, too); cmdSave writes it back, or removes it when the schedule
// is off. Below the script, the last line of its log says how its last
// unattended run went.
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
  // A key pressed in txtInterval: Up and Down step the interval as the
  // scroll bar's arrows do; true when the key was taken.
  bool txtInterval_KeyDown(int KeyCode);
  // The user leaves txtScript: the last run of the script it names.
  void txtScript_Validate();

  // Whether the dialog has closed, and whether cmdSave stored the setting.
  bool Closed() const { return closed_; }
  bool Saved() const { return saved_; }

  controls::Label lblText, lblEvery, lblDays, lblLastRun;
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
  static constexpr const char kIntervalMessage[] = "Please enter a number of days from 1 to 300.";
  static constexpr const char kLastRunCaption[] = "Last run: ";
  static constexpr int kKeyUp = 0x26, kKeyDown = 0x28;  // VK_UP, VK_DOWN

  // The program's own path in its long form, as the Run value names it.
  static std::string ProgramLongPath();
  // The same in its short form, as earlier versions wrote it (the long path
  // when the system has no short form for it).
  static std::string ProgramShortPath();

 private:
  void EnableSettings(bool enabled);
  bool ChooseScript();
  void ShowLastRun();
  void chkEnable_Click();
  void cmdSave_Click();
  void Close();

  bool loading_ = false;
  bool typing_ = false;
  bool closed_ = false;
  bool saved_ = false;
};
