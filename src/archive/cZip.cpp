#include "archive/cZip.h"

#include "archive/mZip.h"
#include "platform/ui.h"

cZip::cZip() {
  StoreDirectories(false);
  StoreFolderNames(false);
  RecurseSubDirs(false);
}

void cZip::Zip() {
  std::int32_t result = -1;
  mZip::RunError error;
  if (!mZip::Run(*this, options_, basePath_, specs_, result, error)) {
    lastResult_ = -1;  // a run that never happened is no success
    platform::MsgBox(error.description, platform::kCritical, "Zip");
    return;
  }
  lastResult_ = result;
}
