#pragma once
// Where mZip and mUnzip find the zip libraries: on Windows the two DLLs in
// the program's private library folder, loaded by full path (never through
// the search path); natively the same code linked in.
#include <string>

#include "archive/ziplib.h"

namespace ziplib {

// The two libraries' file names in the program's library folder.
constexpr const char kZipLibraryName[] = "qmlibzip32.dll";
constexpr const char kUnzipLibraryName[] = "qmlibunzip.dll";

// What writes the libraries into the library folder again when one is
// missing at binding (the program that carries them sets it); none: a
// missing library fails the binding.
using LibraryWriter = bool (*)();
void SetLibraryWriter(LibraryWriter writer);

struct ZipEntryPoints {
  int (*init)(const ZpCallbacks*) = nullptr;
  int (*setOptions)(const ZpOptions*) = nullptr;
  int (*archive)(int, const char*, const char* const*) = nullptr;
};

struct UnzipEntryPoints {
  int (*unzip)(int, const char* const*, int, const char* const*, const UzOptions*, UzCallbacks*) = nullptr;
};

// A failure to bind, as a run-time error: its number and description.
struct BindError {
  int number = 0;
  std::string description;
};

[[nodiscard]] bool BindZipLibrary(ZipEntryPoints& out, BindError& error);
[[nodiscard]] bool BindUnzipLibrary(UnzipEntryPoints& out, BindError& error);

}  // namespace ziplib
