// The wizard's real window under Wine: the welcome page's rich text, the
// real buttons, keys and access keys, the close box, the association in the
// real registry, F1 opening the help viewer, and the control objects let go
// of their windows at the close.
#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include "support/pump_win32.h"

#include <atomic>
#include <cstdio>
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

TEST(RealWindow, OpensOnTheWelcomePageWithTheNameInBold) {
  RealWizard w;
  HWND dlg = static_cast<HWND>(w.form.hwnd());
  ASSERT_TRUE(::IsWindowVisible(dlg));
  EXPECT_EQ(testsupport::Caption(dlg), "Quillmere");
  EXPECT_TRUE(Shows(w.form.ucStep01));
  EXPECT_FALSE(Shows(w.form.ucStep11));
  EXPECT_FALSE(::IsWindowEnabled(Item(w.form, IDC_MAIN_BACK)));
  HWND rich = testsupport::PageItem(w.form.ucStep01, IDC_STEP0_TEXT);
  const std::string text = testsupport::Caption(rich);
  EXPECT_EQ(text.rfind("Quillmere allows you to back up", 0), 0u) << text;
  CHARFORMAT2A cf = {};
  cf.cbSize = sizeof cf;
  ::SendMessageA(rich, EM_SETSEL, 0, 9);
  ::SendMessageA(rich, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  EXPECT_TRUE((cf.dwMask & CFM_BOLD) && (cf.dwEffects & CFE_BOLD));
  ::SendMessageA(rich, EM_SETSEL, 11, 20);
  ::SendMessageA(rich, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  EXPECT_FALSE(cf.dwEffects & CFE_BOLD);
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

// By keys alone through both branches: each page shown takes the focus on
// its first control, the arrows choose the method and stay off the wizard's
// buttons, Tab runs through the page and the buttons, typing lands in the
// page's box without the window ever stopping to answer, and Alt+B, Alt+N
// are Back and Next.
TEST(RealWindow, KeysAloneThroughBothBranches) {
  RealWizard w;
  HWND method = static_cast<HWND>(w.form.ucStep11.Surface().hwnd());
  Key(w.form, VK_RETURN);
  ASSERT_EQ(w.form.CurrentPage(), 1);
  EXPECT_TRUE(Shows(w.form.ucStep11) && !Shows(w.form.ucStep01));
  EXPECT_TRUE(::IsWindowEnabled(Item(w.form, IDC_MAIN_BACK)));
  EXPECT_EQ(::GetFocus(), ::GetDlgItem(method, IDC_STEP1_OPT0));
  Key(w.form, VK_DOWN);
  Key(w.form, VK_DOWN);
  EXPECT_EQ(w.form.ucStep11.Method(), 2);
  w.form.ucStep11.Method(1);  // from code: the real option follows
  EXPECT_EQ(::SendDlgItemMessageA(method, IDC_STEP1_OPT1, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(::SendDlgItemMessageA(method, IDC_STEP1_OPT2, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  w.form.ucStep11.Method(2);
  Key(w.form, VK_UP);
  EXPECT_EQ(::GetFocus(), ::GetDlgItem(method, IDC_STEP1_OPT1));
  std::vector<int> order;
  for (int i = 0; i < 6; ++i) {
    Key(w.form, VK_TAB);
    order.push_back(::GetDlgCtrlID(::GetFocus()));
  }
  EXPECT_EQ(order, (std::vector<int>{IDC_MAIN_BACK, IDC_MAIN_NEXT, IDC_MAIN_CANCEL, IDC_MAIN_HELP, IDC_MAIN_ABOUT,
                                     IDC_STEP1_OPT1}));
  Key(w.form, VK_RETURN);
  ASSERT_EQ(w.form.CurrentPage(), 8);
  HWND file = testsupport::PageItem(w.form.ucRestor11, IDC_RESTOR1_FILENAME);
  EXPECT_EQ(::GetFocus(), file);
  for (WPARAM k : {'A', 'B', 'C'}) Key(w.form, k);
  EXPECT_EQ(testsupport::Caption(file), "abc");
  DWORD_PTR answer = 0;
  EXPECT_NE(::SendMessageTimeoutA(static_cast<HWND>(w.form.hwnd()), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer), 0);

  Key(w.form, 'B', true);
  ASSERT_EQ(w.form.CurrentPage(), 1);
  EXPECT_EQ(::GetFocus(), ::GetDlgItem(method, IDC_STEP1_OPT1));
  Key(w.form, VK_UP);
  Key(w.form, VK_RETURN);
  ASSERT_EQ(w.form.CurrentPage(), 2);
  EXPECT_TRUE(::IsChild(static_cast<HWND>(w.form.ucBack11.Surface().hwnd()), ::GetFocus()));
  Key(w.form, 'Q');
  EXPECT_EQ(w.form.CurrentPage(), 2);
  Key(w.form, 'B', true);
  EXPECT_EQ(w.form.CurrentPage(), 1);
  Key(w.form, 'N', true);
  EXPECT_EQ(w.form.CurrentPage(), 2);
  ::SetFocus(Item(w.form, IDC_MAIN_NEXT));
  Key(w.form, VK_DOWN);
  EXPECT_EQ(::GetFocus(), Item(w.form, IDC_MAIN_NEXT));
}

TEST(RealWindow, CloseBoxAsksOverTheWindowAndNoKeepsIt) {
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

TEST(Association, InTheRealRegistryTheSameAfterASecondLoad) {
  for (const char* key : {"QuillmereFile\\shell\\open\\command", "QuillmereFile\\shell\\open",
                          "QuillmereFile\\shell", "QuillmereFile\\DefaultIcon", "QuillmereFile", ".qmb"})
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, key);
  char exe[MAX_PATH];
  const std::string program(exe, ::GetModuleFileNameA(nullptr, exe, MAX_PATH));
  for (int load = 0; load < 2; ++load) {
    ASSERT_TRUE(CheckExtName());
    EXPECT_EQ(DefaultValue(".qmb"), "QuillmereFile");
    EXPECT_EQ(DefaultValue("QuillmereFile"), "Quillmere File");
    EXPECT_EQ(DefaultValue("QuillmereFile\\DefaultIcon"), program + ",0");
    EXPECT_EQ(DefaultValue("QuillmereFile\\shell\\open\\command"), "\"" + program + "\" \"%1\"");
  }
}

// F1 opens the help file, in a viewer of its own, at the page's topic.
TEST(Help, F1OpensTheHelpViewer) {
  ASSERT_NE(::GetFileAttributesA((modFunction::AppPath() + "help.chm").c_str()), INVALID_FILE_ATTRIBUTES);
  RealWizard w;
  testsupport::Click(w.next);
  EXPECT_EQ(w.form.HelpTopic(), "index.html");
  Key(w.form, VK_F1);
  HWND help = nullptr;
  for (int i = 0; i < 200 && !help; ++i) {
    Pump(100);
    help = testsupport::FindWindowWhere([](HWND h) {
      return ::IsWindowVisible(h) && testsupport::Caption(h).find("Quillmere Help") != std::string::npos;
    });
  }
  ASSERT_NE(help, nullptr);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(help, &pid);
  EXPECT_NE(pid, ::GetCurrentProcessId());
  ::PostMessageA(help, WM_CLOSE, 0, 0);
}

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
  EXPECT_FALSE(form.cmdNext.Bound() || form.ucStep11.Surface().Bound() || form.ucStep11.optMethod.Button(0).Bound());
  form.cmdNext.Caption("still an object");  // no window behind it any more
  EXPECT_EQ(form.cmdNext.Caption(), "still an object");
}

}  // namespace
