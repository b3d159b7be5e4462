#pragma once
// Controls of the emulated platform, for the native build's tests: which
// host folder stands for which drive, where the system's folders are, what
// the shell did, and so on. Reset() gives a fresh machine.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/process.h"

namespace platform::emu {

void Reset();

// Windows paths on drive `letter` live below `hostFolder`.
void MapDrive(char letter, const std::string& hostFolder);
// Host path of a Windows path ("" when its drive is not mapped). Existing
// components are matched without regard to letter case.
std::string HostPath(const std::string& windowsPath);

void SetProgramPath(const std::string& exePath);  // "C:\Program Files\Quillmere\quillmere.exe"
void SetSystemDirectory(const std::string& path);
void SetTempDirectory(const std::string& path);   // ends in "\"
void SetSpecialFolder(int csidl, const std::string& path);
void SetEnvironment(const std::string& name, const std::string& value);
void SetCommandLine(const std::string& args);
void SetVersionWord(std::uint32_t version);
void SetResource(const std::string& type, int id, const std::string& bytes);
void SetCurrentFolder(const std::string& path);
// The account the program runs as ("user" after Reset): what the emulated
// ProtectForUser binds data to. "" stands for no one signed in, where
// sealing fails.
void SetCurrentUser(const std::string& name);

struct ShellCall {
  std::string verb, file, parameters, folder;
  int show = 0;
};
const std::vector<ShellCall>& ShellCalls();
// What the emulated shell answers for a file that exists (default 42).
void SetShellResult(std::intptr_t value);

// Loads a REGEDIT4 file (ANSI text) into the emulated registry, as
// "regedit /s" loads one into the real registry: keys, "[-key]" deletions,
// text, dword:, hex:, hex(N): and "-" (delete) values. False when the file
// cannot be read or does not begin with "REGEDIT4"; lines it cannot read are
// passed over. LoadRegFile takes a host path.
bool LoadRegFile(const std::string& hostPath);
bool LoadRegText(const std::string& text);

// The disk is full after this many more bytes are written by file copies
// and whole-file writes (-1: never; Reset() sets that).
void SetDiskSpace(std::int64_t bytes);
// Takes `bytes` from that space (any thread); false, and the disk full from
// then on, when they do not fit.
bool TakeDiskSpace(std::size_t bytes);
// What SetDiskSpace left; -1 when there is no limit.
std::int64_t DiskSpaceLeft();

// A file another program holds open without sharing its deletion: it
// cannot be moved, replaced or removed (it can still be read) until let go.
void SetInUse(const std::string& path, bool inUse);

// Called on every DoEvents (the emulated message pump).
void AddDoEventsHook(std::function<void()> hook);
int DoEventsCount();

// The running processes the emulated machine reports.
void SetProcesses(std::vector<ProcessInfo> processes);

// Ticks every running timer once, whatever time has passed; returns how many.
int FireTimers();
int RunningTimers();

}  // namespace platform::emu
