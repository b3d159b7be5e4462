// qmlibzip32.dll: the zip writer's exported functions.
#include <windows.h>

#include "archive/ziplib.h"

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

__declspec(dllexport) int ZpInit(const ZpCallbacks* callbacks) { return ziplib::ZpInit(callbacks); }
__declspec(dllexport) int ZpSetOptions(const ZpOptions* options) { return ziplib::ZpSetOptions(options); }
__declspec(dllexport) int ZpArchive(int count, const char* zipFile, const char* const* names) {
  return ziplib::ZpArchive(count, zipFile, names);
}

}  // extern "C"
