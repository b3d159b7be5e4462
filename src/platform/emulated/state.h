#pragma once
// Shared state of the emulated platform (internal to platform/emulated).
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/emulated/emulation.h"
#include "platform/process.h"

namespace platform::emu {

struct RegistryStore;  // registry_emulated.cpp
struct EmuTimer {
  unsigned intervalMs = 0;
  std::chrono::steady_clock::time_point last;
  std::function<void()> tick;
};

struct State {
  std::map<char, std::string> drives;  // upper-case letter -> host folder
  std::map<std::string, std::uint32_t> attributes;  // lower-cased Windows path -> extra bits
  std::string programPath = "C:\\Program Files\\Quillmere\\quillmere.exe";
  std::string systemDirectory = "C:\\Windows\\system32";
  std::string tempDirectory = "C:\\Users\\user\\Temp\\";
  std::string currentFolder = "C:\\";
  std::string currentUser = "user";  // "" when no one is signed in
  std::map<int, std::string> specialFolders;
  std::map<std::string, std::string> environment;  // upper-cased names
  std::string commandLine;
  std::uint32_t versionWord = 0x0A280105;  // NT family, 5.1
  std::map<std::pair<std::string, int>, std::string> resources;
  std::vector<ShellCall> shellCalls;
  std::intptr_t shellResult = 42;
  std::vector<std::function<void()>> doEventsHooks;
  int doEventsCount = 0;
  unsigned tempCounter = 0;
  std::vector<ProcessInfo> processes;
  std::shared_ptr<RegistryStore> registry;  // made on first use
  std::map<int, EmuTimer> timers;
  int nextTimerId = 1;
  std::int64_t diskSpace = -1;  // bytes the file copies and writes may still use; -1: no limit
  std::set<std::string> inUse;  // lower-cased paths another program holds open
};


// Ticks the timers whose interval has passed (from DoEvents).
void RunDueTimers();

State& state();

// Lower-cases ASCII letters (Windows names compare without case).
std::string Lower(std::string s);
// Cleans a Windows path: "/" to "\", relative paths against the current folder.
std::string Absolute(const std::string& windowsPath);

}  // namespace platform::emu
