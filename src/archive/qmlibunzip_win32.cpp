// qmlibunzip.dll: the zip reader's exported function.
#include <windows.h>

#include "archive/ziplib.h"

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

__declspec(dllexport) int Wiz_SingleEntryUnzip(int includeCount, const char* const* includes, int excludeCount,
                                               const char* const* excludes, const UzOptions* options,
                                               UzCallbacks* callbacks) {
  return ziplib::Wiz_SingleEntryUnzip(includeCount, includes, excludeCount, excludes, options, callbacks);
}

}  // extern "C"
