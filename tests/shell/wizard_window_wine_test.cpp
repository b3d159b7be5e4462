// The wizard's real window under Wine: it opens on the welcome page, and its
// real buttons move to the method page and back; the association written
// at load is in the registry; Help opens the help file through the shell.
#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include "support/pump_win32.h"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <thread>
#include <vector>

#include "resources/resource.h"
#include "shell/CheckExtName.h"
#include "shell/WizardParts.h"
#include "shell/WizardWindow.h"
#include "helpers/modFunction.h"
#include "support/scripted_user.h"
#include "support/window_driver_win32.h"
#include "test_pages.h"

namespace {

using testsupport::Pump;

HWND Item(frmMain& f, int id) { return ::GetDlgItem(static_cast<HWND>(f.hwnd()), id); }

bool Shows(wizard::Page& page) { return ::IsWindowVisible(static_cast<HWND>(page.Surface().hwnd())) != 0; }

// With the test's services, which log what the wizard asks of them.
struct RealWizard : testsupport::ShownWizard<testpages::Services> {
  testpages::Log log;
  RealWizard() : ShownWizard(log) { EXPECT_TRUE(Show()); }
  ~RealWizard() {
    if (form.hwnd()) {
      form.bNotAskExit(true);
      ::PostMessageA(static_cast<HWND>(form.hwnd()), WM_CLOSE, 0, 0);
      wizard::RunWizardLoop(form);
    }
  }
};

TEST(RealWindow, OpensOnTheWelcomePage) {
  RealWizard w;
  HWND dlg = static_cast<HWND>(w.form.hwnd());
  ASSERT_TRUE(::IsWindowVisible(dlg));
  char caption[64] = {};
  ::GetWindowTextA(dlg, caption, sizeof caption);
  EXPECT_STREQ(caption, "Quillmere");
  EXPECT_TRUE(Shows(w.form.ucStep01));
  EXPECT_FALSE(Shows(w.form.ucStep11));
  EXPECT_FALSE(::IsWindowEnabled(Item(w.form, IDC_MAIN_BACK)));
  char next[32] = {};
  ::GetWindowTextA(Item(w.form, IDC_MAIN_NEXT), next, sizeof next);
  EXPECT_STREQ(next, "&Next >");
}

TEST(RealWindow, WelcomeTextShowsBoldNameThenPlainText) {
  RealWizard w;
  HWND rich = ::GetDlgItem(static_cast<HWND>(w.form.ucStep01.Surface().hwnd()), IDC_STEP0_TEXT);
  ASSERT_NE(rich, nullptr);
  char text[512] = {};
  ::GetWindowTextA(rich, text, sizeof text);
  EXPECT_EQ(std::string(text).rfind("Quillmere allows you to back up", 0), 0u) << text;
  CHARFORMAT2A cf = {};
  cf.cbSize = sizeof cf;
  ::SendMessageA(rich, EM_SETSEL, 0, 9);
  ::SendMessageA(rich, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  EXPECT_TRUE((cf.dwMask & CFM_BOLD) && (cf.dwEffects & CFE_BOLD));
  ::SendMessageA(rich, EM_SETSEL, 11, 20);
  ::SendMessageA(rich, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  EXPECT_FALSE(cf.dwEffects & CFE_BOLD);
}

TEST(RealWindow, NextAndBackWithTheRealButtons) {
  RealWizard w;
  ::SendMessageA(Item(w.form, IDC_MAIN_NEXT), BM_CLICK, 0, 0);
  Pump(100);
  EXPECT_EQ(w.form.CurrentPage(), 1);
  EXPECT_TRUE(Shows(w.form.ucStep11));
  EXPECT_FALSE(Shows(w.form.ucStep01));
  EXPECT_TRUE(::IsWindowEnabled(Item(w.form, IDC_MAIN_BACK)));
  HWND page = static_cast<HWND>(w.form.ucStep11.Surface().hwnd());
  EXPECT_EQ(::SendDlgItemMessageA(page, IDC_STEP1_OPT0, BM_GETCHECK, 0, 0), BST_CHECKED);

  ::SendMessageA(Item(w.form, IDC_MAIN_BACK), BM_CLICK, 0, 0);
  Pump(100);
  EXPECT_EQ(w.form.CurrentPage(), 0);
  EXPECT_TRUE(Shows(w.form.ucStep01));
  EXPECT_FALSE(::IsWindowEnabled(Item(w.form, IDC_MAIN_BACK)));
}

TEST(RealWindow, ClickingAnOptionSetsTheMethod) {
  RealWizard w;
  ::SendMessageA(Item(w.form, IDC_MAIN_NEXT), BM_CLICK, 0, 0);
  Pump(100);
  HWND page = static_cast<HWND>(w.form.ucStep11.Surface().hwnd());
  ::SendMessageA(::GetDlgItem(page, IDC_STEP1_OPT1), BM_CLICK, 0, 0);
  Pump(100);
  EXPECT_EQ(w.form.ucStep11.Method(), 1);
  w.form.ucStep11.Method(2);  // from code: the real option follows
  EXPECT_EQ(::SendDlgItemMessageA(page, IDC_STEP1_OPT2, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(::SendDlgItemMessageA(page, IDC_STEP1_OPT1, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

// A key pressed in the wizard, through the wizard's own loop handling; a
// letter comes as the character it types. A key the wizard does not get
// through within ten seconds ends the test program: the window no longer
// answers.
void Key(frmMain& form, WPARAM vk, bool withAlt = false) {
  std::atomic<bool> done{false};
  std::thread watchdog([&done, vk] {
    for (int i = 0; i < 200 && !done; ++i) ::Sleep(50);
    if (done) return;
    std::fprintf(stderr, "the wizard stopped answering at key %u\n", static_cast<unsigned>(vk));
    std::fflush(stderr);
    ::TerminateProcess(::GetCurrentProcess(), 3);
  });
  const bool letter = vk >= 'A' && vk <= 'Z', alt = letter && withAlt;
  const std::vector<UINT> messages = alt      ? std::vector<UINT>{WM_SYSCHAR}
                                     : letter ? std::vector<UINT>{WM_CHAR}
                                              : std::vector<UINT>{WM_KEYDOWN, WM_KEYUP};
  for (UINT m : messages) {
    MSG msg{::GetFocus(), m, letter ? vk - 'A' + 'a' : vk, m == WM_KEYUP ? 0xC0000001 : alt ? 0x20000001 : 1, 0, {}};
    if (!wizard::TranslateWizardMessage(form, &msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
  Pump(30);
  done = true;
  watchdog.join();
}

// Tab runs through the page and then Back, Next, Cancel, Help, About, and
// round again; the arrows move between the options (and choose them).
TEST(RealWindow, KeyboardTabsThroughPageAndButtonsAndArrowsChooseTheMethod) {
  RealWizard w;
  ::SendMessageA(Item(w.form, IDC_MAIN_NEXT), BM_CLICK, 0, 0);
  Pump(100);
  HWND page = static_cast<HWND>(w.form.ucStep11.Surface().hwnd());
  ::SetFocus(::GetDlgItem(page, IDC_STEP1_OPT0));
  Key(w.form, VK_DOWN);
  EXPECT_EQ(::GetFocus(), ::GetDlgItem(page, IDC_STEP1_OPT1));
  EXPECT_EQ(w.form.ucStep11.Method(), 1);
  Key(w.form, VK_DOWN);
  EXPECT_EQ(w.form.ucStep11.Method(), 2);
  Key(w.form, VK_UP);
  Key(w.form, VK_UP);
  EXPECT_EQ(w.form.ucStep11.Method(), 0);
  std::vector<int> order;
  for (int i = 0; i < 6; ++i) {
    Key(w.form, VK_TAB);
    order.push_back(::GetDlgCtrlID(::GetFocus()));
  }
  EXPECT_EQ(order, (std::vector<int>{IDC_MAIN_BACK, IDC_MAIN_NEXT, IDC_MAIN_CANCEL, IDC_MAIN_HELP, IDC_MAIN_ABOUT,
                                     IDC_STEP1_OPT0}));
  // Enter on the page is Next.
  Key(w.form, VK_RETURN);
  EXPECT_EQ(w.form.CurrentPage(), 2);
}

// By keys alone through both branches: each page shown takes the focus on
// its first control (the chosen option), typing lands in the page's box and
// never stops the window answering; the arrows stay off the wizard's buttons.
TEST(RealWindow, KeysAloneThroughBothBranchesTypeIntoThePages) {
  RealWizard w;
  HWND method = static_cast<HWND>(w.form.ucStep11.Surface().hwnd());
  Key(w.form, VK_RETURN);
  ASSERT_EQ(w.form.CurrentPage(), 1);
  EXPECT_EQ(::GetFocus(), ::GetDlgItem(method, IDC_STEP1_OPT0));
  Key(w.form, VK_DOWN);
  Key(w.form, VK_RETURN);
  ASSERT_EQ(w.form.CurrentPage(), 8);
  HWND file = testsupport::PageItem(w.form.ucRestor11, IDC_RESTOR1_FILENAME);
  EXPECT_EQ(::GetFocus(), file);
  for (WPARAM k : {'A', 'B', 'C'}) Key(w.form, k);
  EXPECT_EQ(testsupport::Caption(file), "abc");
  DWORD_PTR answer = 0;
  EXPECT_NE(::SendMessageTimeoutA(static_cast<HWND>(w.form.hwnd()), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer), 0);

  Key(w.form, 'B', true);  // Alt+B: back to the method page, its option chosen
  Pump(100);
  ASSERT_EQ(w.form.CurrentPage(), 1);
  EXPECT_EQ(::GetFocus(), ::GetDlgItem(method, IDC_STEP1_OPT1));
  Key(w.form, VK_UP);
  Key(w.form, VK_RETURN);
  ASSERT_EQ(w.form.CurrentPage(), 2);
  HWND selection = static_cast<HWND>(w.form.ucBack11.Surface().hwnd());
  EXPECT_TRUE(::IsChild(selection, ::GetFocus()));
  Key(w.form, 'Q');
  EXPECT_EQ(w.form.CurrentPage(), 2);
  Key(w.form, 'B', true);  // Alt+B, and Alt+N back again: the access keys of Back and Next
  EXPECT_EQ(w.form.CurrentPage(), 1);
  Key(w.form, 'N', true);
  EXPECT_EQ(w.form.CurrentPage(), 2);

  // Down on Next leaves the focus there.
  ::SetFocus(Item(w.form, IDC_MAIN_NEXT));
  Key(w.form, VK_DOWN);
  EXPECT_EQ(::GetFocus(), Item(w.form, IDC_MAIN_NEXT));
}

TEST(RealWindow, CloseBoxAsksAndNoKeepsTheWindow) {
  testsupport::ScriptedUser user;
  user.Answer(platform::kAnswerNo);
  RealWizard w;
  ::SendMessageA(static_cast<HWND>(w.form.hwnd()), WM_CLOSE, 0, 0);
  EXPECT_TRUE(::IsWindow(static_cast<HWND>(w.form.hwnd())));
  ASSERT_EQ(user.Shown().size(), 1u);
  EXPECT_EQ(user.Shown()[0].text, "Do you want to close Quillmere? ");
  EXPECT_EQ(user.Shown()[0].owner, w.form.hwnd());
}

std::string DefaultValue(const char* key) {
  char buf[512] = {};
  LONG size = sizeof buf;
  if (::RegQueryValueA(HKEY_CLASSES_ROOT, key, buf, &size) != ERROR_SUCCESS) return "(missing)";
  return buf;
}

std::string RegQueryOutput(const std::string& key) {
  char tmp[MAX_PATH];
  ::GetTempPathA(MAX_PATH, tmp);
  std::string out = std::string(tmp) + "qm_reg_query.txt";
  std::string cmd = "cmd.exe /c reg query \"" + key + "\" /ve > \"" + out + "\"";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  if (!::CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
    return "";
  ::WaitForSingleObject(pi.hProcess, 30000);
  ::CloseHandle(pi.hProcess);
  ::CloseHandle(pi.hThread);
  std::ifstream in(out);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ::DeleteFileA(out.c_str());
  return all;
}

TEST(Association, LoadingTwiceWritesTheSameFourValues) {
  for (const char* key : {"QuillmereFile\\shell\\open\\command", "QuillmereFile\\shell\\open",
                          "QuillmereFile\\shell", "QuillmereFile\\DefaultIcon", "QuillmereFile", ".qmb"})
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, key);
  char exe[MAX_PATH];
  ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
  const std::string program = exe;

  ASSERT_TRUE(CheckExtName());
  const std::string first = RegQueryOutput("HKCR\\.qmb");
  ASSERT_TRUE(CheckExtName());
  EXPECT_EQ(RegQueryOutput("HKCR\\.qmb"), first);
  EXPECT_NE(first.find("QuillmereFile"), std::string::npos) << first;

  EXPECT_EQ(DefaultValue(".qmb"), "QuillmereFile");
  EXPECT_EQ(DefaultValue("QuillmereFile"), "Quillmere File");
  EXPECT_EQ(DefaultValue("QuillmereFile\\DefaultIcon"), program + ",0");
  EXPECT_EQ(DefaultValue("QuillmereFile\\shell\\open\\command"), "\"" + program + "\" \"%1\"");
}

// The help viewer's window: a top-level window titled after the help file.
HWND FindHelpWindow() {
  struct Find {
    static BOOL CALLBACK Each(HWND h, LPARAM lp) {
      char title[128] = {};
      ::GetWindowTextA(h, title, sizeof title);
      if (::IsWindowVisible(h) && std::string(title).find("Quillmere Help") != std::string::npos) {
        *reinterpret_cast<HWND*>(lp) = h;
        return FALSE;
      }
      return TRUE;
    }
  };
  HWND found = nullptr;
  ::EnumWindows(Find::Each, reinterpret_cast<LPARAM>(&found));
  return found;
}

TEST(Help, OpensHelpFileThroughTheShell) {
  const std::string chm = modFunction::AppPath() + "help.chm";
  ASSERT_NE(::GetFileAttributesA(chm.c_str()), INVALID_FILE_ATTRIBUTES) << chm;
  testpages::Log log;
  testpages::Services services{log};
  frmMain form{wizard::MakeProgramPages(), services};
  form.Load();
  form.cmdHelp.Press();
  HWND help = nullptr;
  for (int i = 0; i < 200 && !help; ++i) {
    Pump(100);
    help = FindHelpWindow();
  }
  ASSERT_NE(help, nullptr);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(help, &pid);
  EXPECT_NE(pid, ::GetCurrentProcessId());  // a viewer of its own
  ::PostMessageA(help, WM_CLOSE, 0, 0);
  form.bNotAskExit(true);
  form.Unload();
}

// F1 opens the help at the page's topic.
TEST(Help, F1OpensTheHelpAtThePagesTopic) {
  RealWizard w;
  ::SendMessageA(Item(w.form, IDC_MAIN_NEXT), BM_CLICK, 0, 0);
  Pump(100);
  EXPECT_EQ(w.form.HelpTopic(), "index.html");
  Key(w.form, VK_F1);
  HWND help = nullptr;
  for (int i = 0; i < 200 && !help; ++i) {
    Pump(100);
    help = FindHelpWindow();
  }
  ASSERT_NE(help, nullptr);
  ::PostMessageA(help, WM_CLOSE, 0, 0);
}

}  // namespace

namespace {
// Guards against control objects left pointing at destroyed windows.
TEST(RealWindow, ClosingUnbindsEveryControlObject) {
  testpages::Log log;
  testpages::Services services{log};
  frmMain form{wizard::MakeProgramPages(), services};
  ASSERT_NE(wizard::CreateWizardWindow(form), nullptr);
  form.bNotAskExit(true);
  ::PostMessageA(static_cast<HWND>(form.hwnd()), WM_CLOSE, 0, 0);
  wizard::RunWizardLoop(form);
  EXPECT_TRUE(form.Unloaded());
  EXPECT_FALSE(form.cmdNext.Bound());
  EXPECT_FALSE(form.ucStep11.Surface().Bound());
  EXPECT_FALSE(form.ucStep11.optMethod.Button(0).Bound());
  form.cmdNext.Caption("still an object");  // no window behind it any more
  EXPECT_EQ(form.cmdNext.Caption(), "still an object");
}
}  // namespace
