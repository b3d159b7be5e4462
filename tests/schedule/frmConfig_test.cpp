// The schedule dialog without its window: what it reads from the Run value,
// the interval box, the check box with the file dialog, the script's last
// run, and what Save writes, read back by the dialog and the unattended run.
#include "schedule/frmConfig.h"

#include <gtest/gtest.h>

#include <cctype>
#include <initializer_list>
#include <memory>
#include <tuple>

#include "platform/registry.h"
#include "schedule/CommandLine.h"
#include "shell/WizardParts.h"
#include "support/registry_keys.h"
#include "support/scripted_user.h"
#ifndef _WIN32
#include "platform/emulated/emulation.h"
#endif

using testsupport::FileAnswer;

namespace {

const std::string kNone = "<no value>";

// A fresh Run value; on Windows the user's own is put back afterwards.
class ScheduleTest : public ::testing::Test {
 protected:
  void SetUp() override {
#ifndef _WIN32
    // A program path with blanks, as on a volume without short names.
    box.MakeFolder("Program Files");
    box.WriteFile("Program Files\\quillmere.exe", "MZ");
    platform::emu::SetProgramPath(box.Path("Program Files\\quillmere.exe"));
#endif
    program = frmConfig::ProgramShortPath();
    longProgram = frmConfig::ProgramLongPath();
    Remove();
  }
  void TearDown() override {
    Remove();
    if (kept.type != platform::kRegTypeNone)
      testsupport::PutRawValue(frmConfig::kRunKey, frmConfig::kValueName, kept.type, kept.data);
  }
  static void Remove() {
    platform::RegKey key;
    if (platform::OpenRegKey(platform::kRegCurrentUser, frmConfig::kRunKey, platform::kRegKeyWrite, key) == 0)
      (void)platform::DeleteRegValue(key, frmConfig::kValueName);
  }
  static void Put(const std::string& text) {
    testsupport::PutRawValue(frmConfig::kRunKey, frmConfig::kValueName, platform::kRegTypeSz, text + '\0');
  }
  static std::string Stored() {
    platform::RegValue v = testsupport::RawValue(frmConfig::kRunKey, frmConfig::kValueName);
    return v.type == platform::kRegTypeNone ? kNone : v.data.substr(0, v.data.find('\0'));
  }
  static std::unique_ptr<frmConfig> Opened() {
    auto f = std::make_unique<frmConfig>();
    f->Form_Load();
    return f;
  }
  // Keys typed into the interval box ('\b' is Backspace).
  static void Type(frmConfig& f, const std::string& keys) {
    for (char c : keys) {
      int key = static_cast<unsigned char>(c);
      f.txtInterval_KeyPress(key);
      std::string text = f.txtInterval.Text();
      if (key == 8 && !text.empty()) text.pop_back();
      else if (key && key != 8) text += static_cast<char>(key);
      f.txtInterval.Text(text);
    }
  }
  static bool Enabled(frmConfig& f) {
    const bool on = f.txtScript.Enabled();
    for (controls::Control* c : std::initializer_list<controls::Control*>{
             &f.cmdBrowse, &f.Frame1, &f.Frame2, &f.Frame3, &f.txtInterval, &f.VScroll1, &f.optOverwrite.Button(0),
             &f.optOverwrite.Button(1)})
      EXPECT_EQ(c->Enabled(), on);
    return on;
  }

  testsupport::Sandbox box;
  platform::RegValue kept = testsupport::RawValue(frmConfig::kRunKey, frmConfig::kValueName);
  testsupport::ScriptedUser user;
  std::string program, longProgram;
};

TEST_F(ScheduleTest, ReadsTheRunValue) {
  struct Case {
    // "%P": this program's short path, "%p": the same in lower case, "%L": its long path
    std::string value;
    bool on;
    std::string script, interval;
    int option;
  } cases[] = {
      {"\"%L\" /I 14 /S \"c:\\My Backups\\Mail.oes\" /O", true, "c:\\My Backups\\Mail.oes", "14", 0},
      {"%P /I 14 /S \"c:\\My Backups\\Mail.oes\"/O", true, "c:\\My Backups\\Mail.oes", "14", 0},
      {"\"%p\" /S \"c:\\Backups\\Mail.oes\" /I 14 /O", true, "c:\\Backups\\Mail.oes", "14", 0},
      {"  %P /I 3 /S c:\\x.oes  ", true, "c:\\x.oes", "3", 1},
      {"%P /S c:\\x.oes /O /I 14", false, "c:\\x.oes", "7", 1},  // "I" last: not read
      {"C:\\OTHER\\OTHER.EXE /S c:\\x.oes /I 14 /O", false, "", "7", 1},
      {"", false, "", "7", 1},
      {"%P /I 0 /S c:\\x.oes", true, "c:\\x.oes", "7", 1},  // as the unattended run reads it
      {"%P /I 301 /S c:\\x.oes", true, "c:\\x.oes", "7", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    std::string value = c.value, lower = program;
    for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    for (auto [mark, with] : {std::pair{"%P", program}, {"%p", lower}, {"%L", longProgram}})
      if (std::size_t at = value.find(mark); at != std::string::npos) value.replace(at, 2, with);
    value.empty() ? Remove() : Put(value);
    auto f = Opened();
    EXPECT_EQ(f->chkEnable.Value(), c.on ? 1 : 0);
    EXPECT_EQ(Enabled(*f), c.on);
    EXPECT_EQ(f->txtScript.Text(), c.script);
    EXPECT_EQ(f->txtInterval.Text(), c.interval);
    EXPECT_EQ(std::to_string(f->VScroll1.Value()), c.interval);
    EXPECT_EQ(f->optOverwrite.Value(), c.option);
  }
  EXPECT_TRUE(user.FileDialogs().empty());
}

TEST_F(ScheduleTest, IntervalBoxKeysAndScrollBar) {
  auto f = Opened();
  Type(*f, "\b1a4x");  // letters are dropped
  EXPECT_EQ(f->txtInterval.Text(), "14");
  f->VScroll1.OnWindowNotify(controls::ScrollBar::kLineUp);  // on from the typed number
  EXPECT_EQ(f->txtInterval.Text(), "15");
  f->VScroll1.OnWindowNotify(controls::ScrollBar::kLineDown);
  f->VScroll1.OnWindowNotify(controls::ScrollBar::kLineDown);
  EXPECT_EQ(f->txtInterval.Text(), "13");
  // Up and Down in the box step it the same way; other keys are the box's.
  EXPECT_TRUE(f->txtInterval_KeyDown(frmConfig::kKeyUp));
  EXPECT_TRUE(f->txtInterval_KeyDown(frmConfig::kKeyDown) && f->txtInterval_KeyDown(frmConfig::kKeyUp));
  EXPECT_EQ(f->txtInterval.Text(), "14");
  EXPECT_FALSE(f->txtInterval_KeyDown(0x25));  // Left
  EXPECT_EQ(f->txtInterval.Text(), "14");
  f->VScroll1.OnWindowNotify(controls::ScrollBar::kTop);
  f->txtInterval_KeyDown(frmConfig::kKeyUp);
  EXPECT_EQ(f->txtInterval.Text(), "300");
}

// An interval outside 1..300 is not replaced by another one: Save refuses
// it and says why.
TEST_F(ScheduleTest, IntervalOutsideTheRangeIsRefusedAtSave) {
  user.AnswerFile(FileAnswer::Confirm("C:\\x.oes"));
  auto f = Opened();
  f->chkEnable.Value(1);
  for (const char* typed : {"0", "301", "", "7a", "1000"}) {  // "7a" and "1000" pasted, not typed
    f->txtInterval.Text(typed);
    f->cmdSave.Press();
    EXPECT_FALSE(f->Closed()) << typed;
    EXPECT_EQ(f->txtInterval.Text(), typed);
    EXPECT_TRUE(f->txtInterval.HasFocus());
    ASSERT_FALSE(user.Shown().empty());
    EXPECT_EQ(user.Shown().back().text, frmConfig::kIntervalMessage);
  }
  EXPECT_EQ(user.Shown().size(), 5u);
  EXPECT_EQ(Stored(), kNone);
  f->txtInterval.Text("300");
  f->cmdSave.Press();
  EXPECT_TRUE(f->Saved());
  EXPECT_NE(Stored().find(" /I 300 "), std::string::npos) << Stored();
}

TEST_F(ScheduleTest, CheckBoxAndBrowseAskForTheScript) {
  auto f = Opened();
  f->txtScript.Text("D:\\old.oes");
  f->chkEnable.Value(1);  // cancelled: unticked again
  EXPECT_EQ(f->chkEnable.Value(), 0);
  EXPECT_FALSE(Enabled(*f));
  ASSERT_EQ(user.FileDialogs().size(), 1u);
  const platform::FileDialogRecord& asked = user.FileDialogs()[0];
  EXPECT_FALSE(asked.save);
  EXPECT_EQ(asked.title + "|" + asked.defaultExt + "|" + asked.file.c_str(), "Open|oes|D:\\old.oes");
  EXPECT_EQ(asked.filter, std::string("Script Files(*.oes)\0*.oes\0\0", 27));

  user.AnswerFile(FileAnswer::Confirm("D:\\daily.oes")).AnswerFile(FileAnswer::Confirm("D:\\weekly.oes"));
  f->chkEnable.Value(1);
  EXPECT_TRUE(Enabled(*f));
  EXPECT_EQ(f->txtScript.Text(), "D:\\daily.oes");
  EXPECT_TRUE(f->cmdBrowse.HasFocus());
  f->cmdBrowse.Press();
  f->cmdBrowse.Press();  // cancelled: the script stays
  EXPECT_EQ(f->txtScript.Text(), "D:\\weekly.oes");
  f->chkEnable.Value(0);
  EXPECT_FALSE(Enabled(*f));
}

// The unattended run reads its command line: what follows the program's path.
TEST_F(ScheduleTest, SavedValueReadsBackInBothReaders) {
  for (const auto& [script, interval, overwrite] :
       {std::tuple{"C:\\Backups\\Mail.oes", "14", true}, {"C:\\Sauvegarde \xE9t\xE9\\M\xFCller.oes", "1", false},
        {"C:/Forward/slashes.oes", "300", false}}) {
    SCOPED_TRACE(script);
    Remove();
    auto f = Opened();
    user.AnswerFile(FileAnswer::Confirm(script));
    f->chkEnable.Value(1);
    f->txtInterval.Text(interval);
    f->optOverwrite.Value(overwrite ? 0 : 1);
    f->cmdSave.Press();
    EXPECT_TRUE(f->Closed() && f->Saved());
    const std::string start = "\"" + longProgram + "\" ";
    const std::string stored = Stored();
    std::string expectedScript = script;  // in its own letter case
    for (char& c : expectedScript) c = c == '/' ? '\\' : c;
    EXPECT_EQ(stored, start + "/I " + interval + " /S \"" + expectedScript + "\"" + (overwrite ? " /O" : ""));

    auto again = Opened();
    EXPECT_EQ(again->chkEnable.Value(), 1);
    EXPECT_EQ(again->txtScript.Text(), expectedScript);
    EXPECT_EQ(again->txtInterval.Text(), interval);
    EXPECT_EQ(again->optOverwrite.Value(), overwrite ? 0 : 1);
    const auto run = CommandLine::ParseUnattendedSwitches(stored.substr(start.size()));
    EXPECT_EQ(CommandLine::ScriptFileOf(run.ScriptPath) + "|" + std::to_string(run.Interval), expectedScript + "|" + interval);
    EXPECT_EQ(run.Overwrite, overwrite) << stored;
  }
}

TEST_F(ScheduleTest, OffRemovesOnlyThisProgramsValueAndCancelStoresNothing) {
  const std::string ours = program + " /I 5 /S \"C:\\x.oes\"/O";
  Put(ours);
  wizard::ProgramServices services;  // as the method page opens it: loaded before it shows
  user.OnForm("frmConfig", [](platform::ModalForm& form) {
    auto& f = static_cast<frmConfig&>(form);
    EXPECT_EQ(f.chkEnable.Value(), 1);
    f.chkEnable.Value(0);
    f.cmdCancel.Press();
    return 0;
  });
  platform::ShowModalForm(services.ScheduleDialog());
  EXPECT_EQ(Stored(), ours);

  // Off: the value goes, whether it names the program by its short path or
  // by its long one.
  for (const std::string& value : {ours, "\"" + longProgram + "\" /I 5 /S \"C:\\x.oes\" /O"}) {
    Put(value);
    auto f = Opened();
    f->chkEnable.Value(0);
    f->cmdSave.Press();
    EXPECT_EQ(Stored(), kNone) << value;
  }
  Opened()->cmdSave.Press();  // nothing there to remove
  EXPECT_EQ(Stored(), kNone);
  const std::string other = "C:\\OTHER\\OTHER.EXE /S C:\\x.oes /I 5 /O";
  Put(other);
  Opened()->cmdSave.Press();
  EXPECT_EQ(Stored(), other);

  user.AnswerFile(FileAnswer::Confirm("C:\\x.oes"));
  auto f = Opened();
  f->chkEnable.Value(1);
  f->txtScript.Text(" ");
  f->cmdSave.Press();  // on without a script: refused
  ASSERT_EQ(user.Shown().size(), 1u);
  EXPECT_EQ(user.Shown()[0].text, frmConfig::kNoScriptMessage);
  EXPECT_FALSE(f->Closed());
  EXPECT_EQ(Stored(), other);
}

// The last line of the chosen script's log, for the script the value names,
// one chosen with Browse and one typed into the box.
TEST_F(ScheduleTest, ShowsTheLastRunOfTheChosenScript) {
  box.MakeFolder("Mail Backups");
  box.WriteFile("Mail Backups\\weekly.log", "2024-05-03 08:15:02 | D:\\a.qmb | backed up\r\n"
                                            "2024-05-04 08:14:40 | D:\\a.qmb | not run | not due yet\r\n");
  box.WriteFile("Mail Backups\\daily.log", "2024-05-05 07:00:00 | - | failed | script unreadable\r\n");
  const std::string weekly = box.Path("Mail Backups\\weekly.oes"), daily = box.Path("Mail Backups\\daily.oes");
  Put("\"" + longProgram + "\" /I 7 /S \"" + weekly + "\"");
  auto f = Opened();
  EXPECT_EQ(f->lblLastRun.Caption(), "Last run: 2024-05-04 08:14:40 | D:\\a.qmb | not run | not due yet");
  user.AnswerFile(FileAnswer::Confirm(box.Path("none.oes")));
  f->cmdBrowse.Press();
  EXPECT_EQ(f->lblLastRun.Caption(), "");  // no log beside it
  f->txtScript.Text(daily);
  f->txtScript_Validate();
  EXPECT_EQ(f->lblLastRun.Caption(), "Last run: 2024-05-05 07:00:00 | - | failed | script unreadable");
  Remove();
  EXPECT_EQ(Opened()->lblLastRun.Caption(), "");
}

}  // namespace
