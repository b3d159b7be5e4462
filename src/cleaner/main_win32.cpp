// The clean-up program's entry: its command line is the folder list and a flag.
#include <windows.h>

#include "cleaner/ExitCleaner.h"
#include "platform/system.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char self[MAX_PATH + 1] = {};
  ::GetModuleFileNameA(nullptr, self, MAX_PATH);
  ExitCleaner::Run(platform::CommandLineArgs(), self);
  return 0;
}
