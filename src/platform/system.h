#pragma once
// Process-level services: command line, version, shell, resources,
// libraries, the message pump, the mouse pointer and data kept for the user.
#include <cstdint>
#include <functional>
#include <string>

namespace platform {

// The arguments of the process command line, without the program name.
std::string CommandLineArgs();

// The raw 32-bit value of GetVersion (high bit set on the 95/98/Me family).
std::uint32_t VersionWord();

// ShellExecute: the shell's value (> 32 is success).
std::intptr_t ShellRun(void* owner, const std::string& verb, const std::string& file,
                           const std::string& parameters, const std::string& folder,
                           int show);
constexpr int kSwHide = 0;
constexpr int kSwShowNormal = 1;
constexpr int kSwShowMinimized = 2;

// Bytes of resource (type, id) of the running program; false when missing.
bool LoadProgramResource(const std::string& type, int id, std::string& bytes);

// Loads / releases a library by name or full path; null on failure.
void* LoadModule(const std::string& name);
void ReleaseModule(void* module);

// Initialises the common controls with the given class set.
bool InitCommonControls(std::uint32_t classes);

// "Let pending window messages run" once.
void DoEvents();
// Drops the presses of the mouse and the BM_CLICK messages still queued for
// one control: clicks that came while the program was busy with the last one.
void DiscardQueuedClicks(void* control);
// Gives the keyboard focus to the first control of `container` the user can
// tab to (the chosen one of a group of option buttons), else to `fallback`
// when it can take it. The focus never stays on a control of a page that is
// hidden: typing there would send the dialog manager's search for an access
// key round a window it never gets back to.
// False when neither could take it.
bool FocusFirstControl(void* container, void* fallback);

enum class MousePointer { Default, ArrowHourglass, Hourglass };
void SetMousePointer(MousePointer pointer);
MousePointer CurrentMousePointer();
// Called when the system asks a window for its pointer (WM_SETCURSOR): puts
// the program's pointer back and returns true, unless it is the default.
bool ReapplyMousePointer();

void SleepMs(unsigned ms);

// Text between the ANSI code page and UTF-8 (what a password typed in any
// script becomes). `lossless`, when given, says whether every character
// had a form in the code page (none turned into "?" or a look-alike).
std::string AnsiToUtf8(const std::string& ansi);
std::string Utf8ToAnsi(const std::string& utf8, bool* lossless = nullptr);

// The text upper-cased as the system compares names (CharUpperBuff in the
// ANSI code page: double-byte characters stay whole), for comparing only;
// never a path to use.
std::string FoldCase(const std::string& text);

// Today's date in the user's short date form (as GetDateFormat gives it with
// DATE_SHORTDATE); the emulated machine always writes M/d/yyyy.
std::string ShortDateToday();
// The system's description of the last failure of a file or process call
// on this thread, without a trailing line break.
std::string LastErrorDescription();

// Seals bytes so that only the current user's account on this computer can
// unseal them (CryptProtectData without a prompt); false when the system
// refuses. UnprotectForUser gives the bytes back; false, leaving `plain` as
// it was, for data sealed by another user or on another computer and for
// damaged data.
bool ProtectForUser(const std::string& plain, std::string& sealed);
bool UnprotectForUser(const std::string& sealed, std::string& plain);

}  // namespace platform
