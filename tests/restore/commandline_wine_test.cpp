// The command-line runs of quillmere.exe itself under Wine, started as the
// system starts it: the log-on entry that the program's own schedule dialog
// saves (read back with Wine's reg), from a folder with blanks in its path,
// with the log each run leaves; and the command line of a double-clicked
// archive.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "archive_test_support.h"
#include "platform/files.h"
#include "restore_world.h"
#include "registry/RegistryRoutines.h"
#include "schedule/OleDate.h"
#include "resources/resource.h"
#include "schedule/ScriptCFG.h"
#include "schedule/ScriptLog.h"
#include "schedule/frmConfig.h"
#include "support/registry_keys.h"
#include "support/window_driver_win32.h"

using testsupport::DialogDriver;

namespace {

std::string Program() {
  std::string path = "Z:" + std::string(QM_PROGRAM);
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

using testsupport::Caption;
using testsupport::StartedProgram;

// Closes the wizard window of another process: the close question, a
// message box the wizard owns, is answered Yes.
void CloseAnsweringYes(HWND wizard) {
  ::PostMessageA(wizard, WM_CLOSE, 0, 0);
  for (int i = 0; i < 100; ++i) {
    if (HWND box = testsupport::FindWindowWhere(
            [wizard](HWND w) { return ::GetWindow(w, GW_OWNER) == wizard && ::IsWindowVisible(w); })) {
      ::PostMessageA(box, WM_COMMAND, IDYES, 0);
      return;
    }
    ::Sleep(100);
  }
  ADD_FAILURE() << "no close question";
}

// Runs a command line as the system starts a log-on entry; while it runs,
// notes whether a window of it was ever visible. Returns its exit code (-1:
// still running after half a minute, then ended, the texts of its window
// reported).
int RunProgram(const std::string& line, bool& shown) {
  StartedProgram program(line);
  if (!program.Started()) return -2;
  int code = -1;
  for (int i = 0; i < 600 && code == -1; ++i) {
    shown = shown || program.Window();
    code = program.Ended(50);
  }
  if (HWND w = code == -1 ? program.Window() : nullptr)
    testsupport::FindChildWhere(w, [](HWND c) {
      if (!Caption(c).empty()) ADD_FAILURE() << "still open: " << Caption(c);
      return false;
    });
  return code;
}

std::set<std::string> Names(const std::string& archive) {
  std::set<std::string> names;
  for (const auto& e : archivetest::ReadArchive(archive, "s3cret")) names.insert(e.first);
  return names;
}

double Date(const std::string& script) {
  ScriptCFG s;
  return s.ReadScriptFile(script) ? s.LastBackupDate() : 0;
}

// Names in the ANSI code page: Western, or Japanese (932), where the second
// byte of each character of "backup" in katakana is a small letter.
struct CodePageNames {
  const char *folder, *script, *archive, *comment;
};
CodePageNames NamesOfThisCodePage() {
  if (::GetACP() == 932) {
    return {"\x83o\x83\x62\x83N\x83\x41\x83\x62\x83v\\", "\x83o\x83\x62\x83N\x83\x41\x83\x62\x83v.oes",
            "Post \x83o\x83\x62\x83N\x83\x41\x83\x62\x83v.qmb", "\x83o\x83\x62\x83N"};
  }
  return {"Sicherung \xFC" "ber\\", "W\xF6" "chentlich.oes", "Post \xE9t\xE9.qmb", "Gr\xF6\xDF" "e"};
}

// The program started as a user starts it: its wizard's method page, the
// third option, Next; in the schedule dialog the box ticked, the script
// chosen in the Open dialog, overwrite chosen, Save; then the wizard closed.
void SaveEntryInItsDialog(const std::string& program, const std::string& script) {
  StartedProgram started("\"" + program + "\"");
  HWND wizard = started.Window("Quillmere", 30000);
  ASSERT_NE(wizard, nullptr);
  {
    DialogDriver driver({{"Quillmere",
                          [](HWND main) {
                            DialogDriver::PostClick(main, IDC_MAIN_NEXT);
                            ::Sleep(500);
                            ::PostMessageA(testsupport::Descendant(main, IDC_STEP1_OPT2), BM_CLICK, 0, 0);
                            ::Sleep(300);
                            DialogDriver::PostClick(main, IDC_MAIN_NEXT);
                          }},
                         {"Auto-Backup", [](HWND dlg) { DialogDriver::PostClick(dlg, IDC_CONFIG_ENABLE); }},
                         DialogDriver::AnswerOpen(script),
                         {"Auto-Backup",
                          [](HWND dlg) {
                            DialogDriver::PostClick(dlg, IDC_CONFIG_OVERWRITE0);
                            ::Sleep(300);
                            DialogDriver::Press(dlg, IDOK);
                          }}},
                        started.Thread());
    EXPECT_TRUE(driver.WaitDone(4, 60000));
  }
  // Saved: the dialog has closed itself.
  for (int i = 0; i < 100 && testsupport::FindThreadWindow(started.Thread(), "Auto-Backup"); ++i) ::Sleep(100);
  EXPECT_EQ(testsupport::FindThreadWindow(started.Thread(), "Auto-Backup"), nullptr);
  CloseAnsweringYes(wizard);
  EXPECT_NE(started.Ended(30000), -1);
}

// The dialog saves the log-on entry; started as Windows would start it, the
// program backs up exactly what the script names, hidden, and ends, leaving
// a line in the script's log; names in the ANSI code page come through
// whole.
TEST(LogOn, TheSavedEntryRunsTheBackupHiddenWhenDue) {
  if (const char* acp = std::getenv("QM_EXPECT_ACP")) {
    ASSERT_EQ(::GetACP(), static_cast<UINT>(std::atoi(acp)));
  }
  const CodePageNames cp = NamesOfThisCodePage();
  backuptest::DemoProfile demo;
  ASSERT_TRUE(demo.ok());
  const std::string folder = demo.Box().Path(cp.folder);
  platform::CreateFolder(folder.substr(0, folder.size() - 1));
  const std::string script = folder + cp.script, archive = folder + cp.archive;
  {
    ScriptCFG s;
    s.BackupFile(archive);
    s.Comments(cp.comment);
    s.Password("s3cret");
    s.Identities().Add("Anna Berger");
    s.IDdetails().Add("1,1,0,1,1,1");
    s.LastBackupDate(OleDate::Now() - 8);
    ASSERT_TRUE(s.WriteScriptFile(script));
  }
  // The program in a folder with blanks in its path, its entry saved by its
  // own schedule dialog, opened from the method page's third option.
  const std::string installed = demo.Box().Path("Program Files\\Quill mere\\");
  ASSERT_TRUE(platform::CreateFolder(demo.Box().Path("Program Files")));
  ASSERT_TRUE(platform::CreateFolder(installed.substr(0, installed.size() - 1)));
  ASSERT_TRUE(platform::CopyOneFile(Program(), installed + "quillmere.exe", false));
  const std::string program = installed + "quillmere.exe";
  testsupport::RunForOutput(
      "reg delete \"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\" /v OutlookExpressAutoBackup /f");
  SaveEntryInItsDialog(program, script);
  // Wine's own reg sees the entry; its bytes (in the ANSI code page, which
  // reg prints in the OEM one) are read exactly through the registry.
  const std::string query = testsupport::RunForOutput(
      "reg query \"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\" /v OutlookExpressAutoBackup");
  EXPECT_NE(query.find("REG_SZ"), std::string::npos) << query;
  EXPECT_NE(query.find(" /I 7 /S \""), std::string::npos) << query;
  RegistryRoutines reg;
  reg.hKey(kHkeyCurrentUser);
  reg.KeyRoot(frmConfig::kRunKey);
  const std::string entry = reg.GetRegistryValue(frmConfig::kValueName, "").AsText();
  char longPath[MAX_PATH];
  ASSERT_GT(::GetLongPathNameA(program.c_str(), longPath, MAX_PATH), 0u);
  // The long path in quotes, every byte of the script as it was, a blank
  // before "/O".
  EXPECT_EQ(entry, "\"" + std::string(longPath) + "\" /I 7 /S \"" + script + "\" /O");
  bool shown = false;
  EXPECT_EQ(RunProgram(entry, shown), 0);
  EXPECT_FALSE(shown);
  const std::string anna = backuptest::kAnnaId, main = backuptest::kMainId;
  std::set<std::string> names = Names(archive);
  EXPECT_TRUE(names.count(anna + "/Inbox.dbx"));
  EXPECT_FALSE(names.count("demo.wab"));
  for (const std::string& n : names) EXPECT_EQ(n.find(main), std::string::npos) << n;
  // In the ANSI code page, as the script file keeps it.
  EXPECT_EQ(archivetest::ArchiveComment(archive), cp.comment);
  EXPECT_GT(Date(script), OleDate::Now() - 1);
  const std::string log = folder + std::string(cp.script).substr(0, std::string(cp.script).size() - 4) + ".log";
  auto logged = [&] {
    const std::string line = ScriptLog::LastLine(script);
    return line.size() > 22 ? line.substr(22) : line;  // after date and time
  };
  EXPECT_EQ(logged(), archive + " | backed up");
  EXPECT_NE(platform::GetAttributes(log), platform::kInvalidAttributes);  // named in the code page too

  // Not due, "/O" and the log's later lines are the native command-line
  // tests'; the entry runs the same code.
  testsupport::RunForOutput(
      "reg delete \"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\" /v OutlookExpressAutoBackup /f");
}

// A double-clicked archive: the association's command line opens the
// wizard on the restore source page with the archive loaded, after its
// password.
TEST(DoubleClick, OpensTheWizardOnTheArchive) {
  restoretest::RestoreWorld world;
  ASSERT_TRUE(world.ok());
  StartedProgram started("\"" + Program() + "\" \"" + world.Archive() + "\"");
  HWND password = started.Window("Password", 30000);
  ASSERT_NE(password, nullptr);
  DWORD_PTR done = 0;
  ASSERT_TRUE(::SendMessageTimeoutA(::GetDlgItem(password, 682), WM_SETTEXT, 0,  // IDC_PASSWORD_TEXT
                                    reinterpret_cast<LPARAM>("s3cret"), SMTO_ABORTIFHUNG, 5000, &done));
  ::PostMessageA(password, WM_COMMAND, IDOK, 0);
  HWND wizard = started.Window("Quillmere", 30000);
  ASSERT_NE(wizard, nullptr);
  // The command line arrives upper-cased, which the file system ignores.
  auto upper = [](std::string text) {
    ::CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
  };
  HWND shown = nullptr;
  for (int i = 0; i < 50 && !shown; ++i, ::Sleep(100))
    shown = testsupport::FindChildWhere(wizard, [&](HWND c) {
      char text[1024] = {}, cls[64] = {};
      ::GetClassNameA(c, cls, sizeof cls);
      DWORD_PTR got = 0;
      ::SendMessageTimeoutA(c, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &got);
      return std::string(cls) == "Edit" && ::IsWindowVisible(c) && upper(text) == upper(world.Archive());
    });
  EXPECT_NE(shown, nullptr) << "the restore source page does not show the archive";
  CloseAnsweringYes(wizard);
  EXPECT_NE(started.Ended(30000), -1);
}

}  // namespace
