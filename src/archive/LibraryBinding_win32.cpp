// Loads the zip libraries from the private library folder by full path.
#include <windows.h>

#include "archive/LibraryBinding.h"
#include "helpers/modFunction.h"

namespace ziplib {

namespace {
LibraryWriter g_writer = nullptr;

constexpr int kErrFileNotFound = 53;
constexpr int kErrLoadingDll = 48;
constexpr int kErrEntryPoint = 453;

// Kept loaded for the rest of the process once loaded.
HMODULE Load(const char* name, BindError& error) {
  const std::string path = modFunction::LibraryFolder() + name;
  // The clean-up of a run of the program that has just ended may have
  // taken the file away: written again once.
  if (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES && g_writer) g_writer();
  if (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    error = {kErrFileNotFound, std::string("File not found: ") + name};
    return nullptr;
  }
  HMODULE module = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!module) error = {kErrLoadingDll, std::string("Error in loading DLL: ") + name};
  return module;
}

template <typename Fn>
bool Find(HMODULE module, const char* library, const char* entry, Fn& out, BindError& error) {
  out = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, entry)));
  if (!out) error = {kErrEntryPoint, std::string("Can't find DLL entry point ") + entry + " in " + library};
  return out != nullptr;
}
}  // namespace

void SetLibraryWriter(LibraryWriter writer) { g_writer = writer; }

bool BindZipLibrary(ZipEntryPoints& out, BindError& error) {
  static HMODULE module = nullptr;
  if (!module) module = Load(kZipLibraryName, error);
  if (!module) return false;
  const char* lib = kZipLibraryName;
  return Find(module, lib, "ZpInit", out.init, error) && Find(module, lib, "ZpSetOptions", out.setOptions, error) &&
         Find(module, lib, "ZpArchive", out.archive, error);
}

bool BindUnzipLibrary(UnzipEntryPoints& out, BindError& error) {
  static HMODULE module = nullptr;
  if (!module) module = Load(kUnzipLibraryName, error);
  if (!module) return false;
  return Find(module, kUnzipLibraryName, "Wiz_SingleEntryUnzip", out.unzip, error);
}

}  // namespace ziplib
