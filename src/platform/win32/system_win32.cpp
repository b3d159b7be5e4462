// Paths, places and process services through the Windows API (ANSI).
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include "platform/paths.h"
#include "platform/system.h"

namespace platform {

namespace {
std::string ModulePath() {
  char buf[MAX_PATH + 1];
  DWORD n = ::GetModuleFileNameA(nullptr, buf, MAX_PATH);
  return std::string(buf, n);
}
}  // namespace

std::string ProgramFolder() {
  std::string p = ModulePath();
  std::size_t cut = p.find_last_of('\\');
  if (cut == std::string::npos) return "";
  return cut == 2 ? p.substr(0, 3) : p.substr(0, cut);
}

std::string ProgramFileName() {
  std::string p = ModulePath();
  std::string name = p.substr(p.find_last_of('\\') + 1);
  std::size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string SystemDirectory() {
  char buf[256] = {};
  UINT n = ::GetSystemDirectoryA(buf, 255);
  return n > 0 && n < 255 ? std::string(buf, n) : std::string();
}

std::string TempDirectory() {
  char buf[256] = {};
  DWORD n = ::GetTempPathA(255, buf);
  return n > 0 && n < 255 ? std::string(buf, n) : std::string();
}

std::string TempFileName(const std::string& folder, const std::string& prefix) {
  char buf[MAX_PATH + 1] = {};
  if (!::GetTempFileNameA(folder.c_str(), prefix.c_str(), 0, buf)) return "";
  return buf;
}

std::string ShortPath(const std::string& path) {
  char buf[MAX_PATH + 1] = {};
  DWORD n = ::GetShortPathNameA(path.c_str(), buf, MAX_PATH);
  return n > 0 && n <= MAX_PATH ? std::string(buf, n) : std::string();
}

std::string LongPath(const std::string& path) {
  std::string buf(MAX_PATH + 1, '\0');
  DWORD n = ::GetLongPathNameA(path.c_str(), &buf[0], static_cast<DWORD>(buf.size()));
  if (n >= buf.size()) {  // longer than MAX_PATH: n is the size it needs
    buf.assign(n + 1, '\0');
    n = ::GetLongPathNameA(path.c_str(), &buf[0], static_cast<DWORD>(buf.size()));
  }
  return n > 0 && n < buf.size() ? buf.substr(0, n) : std::string();
}

std::string SpecialFolder(int csidl) {
  LPITEMIDLIST pidl = nullptr;
  if (FAILED(::SHGetSpecialFolderLocation(nullptr, csidl, &pidl)) || !pidl) return "";
  char buf[512] = {};
  BOOL ok = ::SHGetPathFromIDListA(pidl, buf);
  ::CoTaskMemFree(pidl);
  return ok ? std::string(buf) : std::string();
}

std::string ExpandEnvironment(const std::string& text) {
  DWORD need = ::ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
  if (need == 0) return text;
  std::string out(need, '\0');
  DWORD got = ::ExpandEnvironmentStringsA(text.c_str(), &out[0], need);
  if (got == 0 || got > need) return text;
  out.resize(got - 1);
  return out;
}

std::string CommandLineArgs() {
  const char* p = ::GetCommandLineA();
  if (!p) return "";
  // Skip the program name, quoted or not, as the C runtime does.
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    while (*p && *p != ' ' && *p != '\t') ++p;
  }
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

std::uint32_t VersionWord() {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  return static_cast<std::uint32_t>(::GetVersion());
#pragma GCC diagnostic pop
}

std::intptr_t ShellRun(void* owner, const std::string& verb, const std::string& file,
                           const std::string& parameters, const std::string& folder, int show) {
  HINSTANCE h = ::ShellExecuteA(static_cast<HWND>(owner), verb.empty() ? nullptr : verb.c_str(),
                                file.c_str(), parameters.empty() ? nullptr : parameters.c_str(),
                                folder.empty() ? nullptr : folder.c_str(), show);
  return reinterpret_cast<std::intptr_t>(h);
}

bool LoadProgramResource(const std::string& type, int id, std::string& bytes) {
  HMODULE self = ::GetModuleHandleA(nullptr);
  HRSRC info = ::FindResourceA(self, MAKEINTRESOURCEA(id), type.c_str());
  if (!info) return false;
  HGLOBAL data = ::LoadResource(self, info);
  DWORD size = ::SizeofResource(self, info);
  const void* p = data ? ::LockResource(data) : nullptr;
  if (!p && size) return false;
  bytes.assign(static_cast<const char*>(p), size);
  return true;
}

void* LoadModule(const std::string& name) { return ::LoadLibraryA(name.c_str()); }
void ReleaseModule(void* module) {
  if (module) ::FreeLibrary(static_cast<HMODULE>(module));
}

bool InitCommonControls(std::uint32_t classes) {
  INITCOMMONCONTROLSEX icc;
  icc.dwSize = sizeof icc;  // 8 bytes
  icc.dwICC = classes;
  return ::InitCommonControlsEx(&icc) != 0;
}

// The loops take messages in their wide form: a character typed into a
// Unicode window (a password box) reaches it whole; ANSI windows get theirs
// converted by the system as before.
void DoEvents() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    // The keys of a dialog (Tab, arrows, Enter, Esc) work in it meanwhile.
    HWND active = ::GetActiveWindow();
    if (active && (msg.hwnd == active || ::IsChild(active, msg.hwnd)) && ::IsDialogMessageW(active, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

void DiscardQueuedClicks(void* control) {
  HWND h = static_cast<HWND>(control);
  if (!h) return;
  MSG msg;
  // The presses only: a release without its press does nothing to a button.
  for (UINT m : {static_cast<UINT>(WM_LBUTTONDOWN), static_cast<UINT>(WM_LBUTTONDBLCLK), static_cast<UINT>(BM_CLICK)})
    while (::PeekMessageA(&msg, h, m, m, PM_REMOVE)) {
    }
}

namespace {
bool TakesFocus(HWND h) { return h && ::IsWindowVisible(h) && ::IsWindowEnabled(h); }
}  // namespace

bool FocusFirstControl(void* container, void* fallback) {
  HWND page = static_cast<HWND>(container), target = nullptr;
  if (page && ::IsWindowVisible(page)) {
    // The search starts after the last control and wraps to the first.
    HWND first = ::GetNextDlgTabItem(page, nullptr, FALSE);
    if (TakesFocus(first) && ::IsChild(page, first)) {
      target = first;
      // Of a group of option buttons, the one that is chosen.
      if (::SendMessageA(first, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
        HWND h = first;
        do {
          if (::SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED && TakesFocus(h)) {
            target = h;
            break;
          }
          h = ::GetNextDlgGroupItem(page, h, FALSE);
        } while (h && h != first);
      }
    }
  }
  if (!target && TakesFocus(static_cast<HWND>(fallback))) target = static_cast<HWND>(fallback);
  if (!target) return false;
  HWND dialog = ::GetAncestor(target, GA_ROOT);
  // Through the dialog, so that it moves its default button as it does for Tab.
  ::SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
  return true;
}

namespace {
MousePointer g_pointer = MousePointer::Default;
}

namespace {
HCURSOR PointerCursor(MousePointer pointer) {
  LPCSTR id = pointer == MousePointer::ArrowHourglass ? IDC_APPSTARTING
              : pointer == MousePointer::Hourglass    ? IDC_WAIT
                                                      : IDC_ARROW;
  return ::LoadCursorA(nullptr, id);
}
}  // namespace

void SetMousePointer(MousePointer pointer) {
  g_pointer = pointer;
  ::SetCursor(PointerCursor(pointer));
}

bool ReapplyMousePointer() {
  if (g_pointer == MousePointer::Default) return false;
  ::SetCursor(PointerCursor(g_pointer));
  return true;
}
MousePointer CurrentMousePointer() { return g_pointer; }

void SleepMs(unsigned ms) { ::Sleep(ms); }

std::string ShortDateToday() {
  char buf[80];
  int n = ::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, buf, sizeof buf);
  return n > 0 ? std::string(buf, static_cast<std::size_t>(n - 1)) : std::string();
}

std::string LastErrorDescription() {
  const DWORD code = ::GetLastError();
  char buf[512];
  DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                             0, buf, sizeof buf, nullptr);
  std::string text(buf, n);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
    text.pop_back();
  return text.empty() ? "Error " + std::to_string(code) : text;
}

namespace {
std::wstring Wide(const std::string& text, UINT codePage) {
  if (text.empty()) return std::wstring();
  const int n = ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
  return wide;
}
}  // namespace

std::string AnsiToUtf8(const std::string& ansi) {
  const std::wstring wide = Wide(ansi, CP_ACP);
  if (wide.empty()) return std::string();
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &out[0], n, nullptr, nullptr);
  return out;
}

std::string Utf8ToAnsi(const std::string& utf8, bool* lossless) {
  const std::wstring wide = Wide(utf8, CP_UTF8);
  BOOL defaulted = FALSE;
  std::string out;
  if (!wide.empty()) {
    // No look-alikes: a character the code page lacks is a loss, not an "a" for an "a-umlaut".
    const int n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                        nullptr, 0, nullptr, &defaulted);
    out.assign(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
      ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), &out[0], n,
                            nullptr, &defaulted);
  }
  if (lossless) *lossless = !defaulted && AnsiToUtf8(out) == utf8;
  return out;
}

std::string FoldCase(const std::string& text) {
  std::string out = text;
  if (!out.empty()) ::CharUpperBuffA(&out[0], static_cast<DWORD>(out.size()));
  return out;
}

}  // namespace platform
