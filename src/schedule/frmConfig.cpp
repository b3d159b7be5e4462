#include "schedule/frmConfig.h"

#include <cctype>
#include <initializer_list>

#include "controls/GCommonDialog.h"
#include "platform/paths.h"
#include "platform/system.h"
#include "registry/RegistryRoutines.h"
#include "schedule/ScriptLog.h"
#include "resources/resource.h"
#include "schedule/CommandLine.h"
#include "helpers/NumericText.h"
#include "helpers/OneBasedList.h"
#include "helpers/modFunction.h"

namespace {

// The save and cancel buttons are the dialog's own OK and Cancel (IDOK,
// IDCANCEL), so that Enter and Escape reach them.
constexpr int kSaveId = 1, kCancelId = 2;

std::string Trimmed(const std::string& s) {
  std::size_t b = s.find_first_not_of(' '), e = s.find_last_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

std::string ProgramPath() { return modFunction::AppPath() + platform::ProgramFileName() + ".exe"; }

// Where the Run value goes on after the program's path, its long one or
// (as earlier versions wrote it) its short one, letter case ignored as the
// system ignores it; npos when the value names neither.
std::size_t AfterProgram(const std::string& text) {
  if (text.empty()) return std::string::npos;
  const std::string folded = platform::FoldCase(text);
  for (const std::string& program : {frmConfig::ProgramLongPath(), frmConfig::ProgramShortPath()}) {
    const std::size_t at = folded.find(platform::FoldCase(program));
    if (at != std::string::npos) return at + program.size();
  }
  return std::string::npos;
}

bool IsSwitch(const std::string& part, char upper) { return part[0] == upper || part[0] == upper - 'A' + 'a'; }

RegistryRoutines RunKey() {
  RegistryRoutines reg;
  reg.hKey(kHkeyCurrentUser);
  reg.KeyRoot(frmConfig::kRunKey);
  return reg;
}

// The Run value as both readers see it: trimmed, no quotes, letter case as
// written (the script's path is used as it stands).
std::string RunValueRead() {
  TaggedValue value = RunKey().GetRegistryValue(frmConfig::kValueName);
  return CommandLine::RemoveQuotes(Trimmed(value.IsText() ? value.AsText() : std::string()));
}

// The days the box holds: digits alone (blanks around them aside), 1 to
// 300; 0 for anything else (a pasted text is not read by its first digits).
int IntervalOf(const std::string& text) {
  const std::string digits = Trimmed(text);
  if (digits.empty() || digits.size() > 3 || digits.find_first_not_of("0123456789") != std::string::npos) return 0;
  const int days = std::stoi(digits);
  return days < CommandLine::kMinInterval || days > CommandLine::kMaxInterval ? 0 : days;
}

// The Run value for a schedule that is on. The program by its long path in
// quotes: a volume may have no short names, and the long path may hold
// blanks. "/I" comes before the script, so that it is never the last
// switch; both readers drop the blank between the script's closing quote
// and "/O".
std::string RunValueText(const std::string& script, int interval, bool overwrite) {
  return "\"" + frmConfig::ProgramLongPath() + "\" /I " + std::to_string(interval) + " /S \"" + script + "\"" +
         (overwrite ? " /O" : "");
}

}  // namespace

frmConfig::frmConfig() {
  lblText.Caption(
      "Quillmere can repeat a backup by itself when you log on to Windows. It runs a backup "
      "script that you saved after a backup (\"Save Script\").");
  chkEnable.Caption("&Back up automatically when I log on");
  Frame1.Caption("Backup script");
  cmdBrowse.Caption("B&rowse...");
  Frame2.Caption("Interval");
  lblEvery.Caption("Back up every");
  lblDays.Caption("days (checked each time you log on)");
  Frame3.Caption("When the backup file already exists");
  optOverwrite.Button(0).Caption("&Overwrite it");
  optOverwrite.Button(1).Caption("&Keep it and give the new backup a numbered name");
  cmdSave.Caption("&Save");
  cmdCancel.Caption("Cancel");
  cmdSave.Default(true);

  // The upper arrow raises the interval.
  VScroll1.Min(CommandLine::kMaxInterval);
  VScroll1.Max(CommandLine::kMinInterval);
  VScroll1.Value(CommandLine::kDefaultInterval);
  // The box and the scroll bar follow each other; a number typed into the
  // box moves the scroll bar without being written back while it is typed.
  VScroll1.Change = [this] {
    if (!typing_) txtInterval.Text(std::to_string(VScroll1.Value()));
  };
  txtInterval.Change = [this] {
    const int days = IntervalOf(txtInterval.Text());
    if (days == 0) return;
    typing_ = true;
    VScroll1.Value(days);
    typing_ = false;
  };
  chkEnable.Click = [this] { chkEnable_Click(); };
  cmdBrowse.Click = [this] { ChooseScript(); };
  cmdSave.Click = [this] { cmdSave_Click(); };
  cmdCancel.Click = [this] { Close(); };
}

void frmConfig::Bind(controls::ControlBinder& binder) {
  binder.Bind(lblText, IDC_CONFIG_TEXT);
  binder.Bind(chkEnable, IDC_CONFIG_ENABLE);
  binder.Bind(Frame1, IDC_CONFIG_FRAME1);
  binder.Bind(txtScript, IDC_CONFIG_SCRIPT);
  binder.Bind(lblLastRun, IDC_CONFIG_LASTRUN);
  binder.Bind(cmdBrowse, IDC_CONFIG_BROWSE);
  binder.Bind(Frame2, IDC_CONFIG_FRAME2);
  binder.Bind(lblEvery, IDC_CONFIG_EVERY);
  binder.Bind(txtInterval, IDC_CONFIG_INTERVAL);
  binder.Bind(VScroll1, IDC_CONFIG_SCROLL);
  binder.Bind(lblDays, IDC_CONFIG_DAYS);
  binder.Bind(Frame3, IDC_CONFIG_FRAME3);
  binder.BindOptions(optOverwrite, {IDC_CONFIG_OVERWRITE0, IDC_CONFIG_OVERWRITE1});
  binder.Bind(cmdSave, kSaveId);
  binder.Bind(cmdCancel, kCancelId);
}

std::string frmConfig::ProgramLongPath() {
  // Started through its short path, the program sees that one.
  const std::string longPath = platform::LongPath(ProgramPath());
  return longPath.empty() ? ProgramPath() : longPath;
}

std::string frmConfig::ProgramShortPath() {
  const std::string shortPath = modFunction::ShortPathName(ProgramPath());
  return shortPath.empty() ? ProgramPath() : shortPath;
}

void frmConfig::Form_Load() {
  const std::string text = RunValueRead();
  const std::size_t after = AfterProgram(text);
  loading_ = true;
  bool intervalRead = false, overwrite = false;
  if (after != std::string::npos) {
    chkEnable.Value(1);
    TextList parts = SplitList(Trimmed(text.substr(after)), "/");
    for (std::int32_t k = 1; k <= parts.Count(); ++k) {
      const std::string& part = parts.At(k);
      if (part.size() == 1 && IsSwitch(part, 'O')) {
        overwrite = true;
      } else if (part.size() >= 3 && IsSwitch(part, 'S') && part[1] == ' ') {
        txtScript.Text(Trimmed(part.substr(2)));
      } else if (part.size() >= 2 && IsSwitch(part, 'I') && part[1] == ' ' && k < parts.Count()) {
        // Read as the unattended run reads it: rounded, 7 outside 1..300.
        const double number = NumericValue(part.substr(2));
        int days = number < CommandLine::kMinInterval - 0.5 || number > CommandLine::kMaxInterval + 0.5
                       ? 0
                       : RoundToWhole(number);
        if (days < CommandLine::kMinInterval) days = CommandLine::kDefaultInterval;
        txtInterval.Text(std::to_string(days));
        VScroll1.Value(days);
        intervalRead = true;
      }
    }
  }
  if (intervalRead) {
    optOverwrite.Value(overwrite ? 0 : 1);
  } else {
    chkEnable.Value(0);
    txtInterval.Text(std::to_string(VScroll1.Value()));
    optOverwrite.Value(1);
  }
  EnableSettings(intervalRead);
  ShowLastRun();
  loading_ = false;
}

void frmConfig::ShowLastRun() {
  const std::string script = Trimmed(txtScript.Text());
  const std::string line = script.empty() ? std::string() : ScriptLog::LastLine(script);
  lblLastRun.Caption(line.empty() ? std::string() : kLastRunCaption + line);
}

void frmConfig::txtScript_Validate() { ShowLastRun(); }

void frmConfig::EnableSettings(bool enabled) {
  for (controls::Control* c : std::initializer_list<controls::Control*>{
           &txtScript, &cmdBrowse, &Frame1, &Frame2, &Frame3, &optOverwrite, &optOverwrite.Button(0),
           &optOverwrite.Button(1), &txtInterval, &VScroll1, &lblEvery, &lblDays})
    c->Enabled(enabled);
}

bool frmConfig::ChooseScript() {
  controls::GCommonDialog dialog;
  std::string file = txtScript.Text(), title, filter = "Script Files(*.oes)|*.oes";
  bool readOnly = false;
  std::int32_t filterIndex = 1, flags = 0;
  if (!dialog.VBGetOpenFileName(file, title, true, false, readOnly, true, filter, filterIndex, "", "Open", "oes",
                                hwnd, flags))
    return false;
  txtScript.Text(file);
  ShowLastRun();
  return true;
}

void frmConfig::chkEnable_Click() {
  if (loading_) return;  // the program's own change while it fills the dialog
  if (chkEnable.Value() == 0) {
    EnableSettings(false);
  } else if (ChooseScript()) {
    EnableSettings(true);
    cmdBrowse.SetFocus();
  } else {
    chkEnable.Value(0);
    EnableSettings(false);
  }
}

void frmConfig::txtInterval_KeyPress(int& KeyAscii) {
  if ((KeyAscii < '0' || KeyAscii > '9') && KeyAscii != 8) KeyAscii = 0;
}

bool frmConfig::txtInterval_KeyDown(int KeyCode) {
  if (KeyCode != kKeyUp && KeyCode != kKeyDown) return false;
  // The scroll bar's upper arrow raises the interval.
  VScroll1.OnWindowNotify(KeyCode == kKeyUp ? controls::ScrollBar::kLineUp : controls::ScrollBar::kLineDown);
  return true;
}

void frmConfig::cmdSave_Click() {
  RegistryRoutines reg = RunKey();
  if (chkEnable.Value() == 1) {
    if (IntervalOf(txtInterval.Text()) == 0) {
      platform::MsgBox(kIntervalMessage, platform::kOkOnly | platform::kInformation, "", hwnd);
      txtInterval.SetFocus();
      return;
    }
    std::string script = Trimmed(txtScript.Text());
    // "/" would end the switch early; Windows takes "\" for it.
    for (char& c : script)
      if (c == '/') c = '\\';
    if (script.empty()) {
      platform::MsgBox(kNoScriptMessage, platform::kOkOnly | platform::kInformation, "", hwnd);
      txtScript.SetFocus();
      return;
    }
    RegistryRoutines maker;  // the Run key, should the user have none yet
    maker.hKey(kHkeyCurrentUser);
    const std::string text = RunValueText(script, IntervalOf(txtInterval.Text()), optOverwrite.Value() == 0);
    const bool stored =
        (reg.KeyExists() || maker.CreateKey(kRunKey) == "0") && reg.SetRegistryValue(kValueName, text, kRegSz);
    if (!stored) {
      platform::MsgBox(kSaveFailedMessage, platform::kOkOnly | platform::kCritical, "", hwnd);
      return;
    }
  } else {
    // Only a value that starts this program is removed; one of the same
    // name that starts another program is not this program's to delete.
    const std::string text = RunValueRead();
    if (AfterProgram(text) != std::string::npos &&
        !reg.DeleteRegistryValue(kValueName)) {
      platform::MsgBox(kSaveFailedMessage, platform::kOkOnly | platform::kCritical, "", hwnd);
      return;
    }
  }
  saved_ = true;
  Close();
}

void frmConfig::Close() {
  closed_ = true;
  if (CloseWindow) CloseWindow();
}

#ifndef _WIN32
int frmConfig::ShowReal(void*) { return 0; }  // no real windows natively
#endif
