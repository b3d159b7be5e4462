// Natively the library code is part of the program.
#include "archive/LibraryBinding.h"

namespace ziplib {

void SetLibraryWriter(LibraryWriter) {}  // nothing to write

bool BindZipLibrary(ZipEntryPoints& out, BindError&) {
  out.init = &ZpInit;
  out.setOptions = &ZpSetOptions;
  out.archive = &ZpArchive;
  return true;
}

bool BindUnzipLibrary(UnzipEntryPoints& out, BindError&) {
  out.unzip = &Wiz_SingleEntryUnzip;
  return true;
}

}  // namespace ziplib
