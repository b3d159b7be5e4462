// Waits until it is ended: a process that tests start under chosen names.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ::Sleep(120000);
  return 0;
}
