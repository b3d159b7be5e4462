#pragma once
// The current user's mail-client data, seeded from REGEDIT4 text for one
// test and removed afterwards. Under Wine this is the test prefix's real
// HKEY_CURRENT_USER, so test programs that use it take the ctest resource
// lock "user_profile".
#include <string>

#include "support/sandbox.h"

namespace testsupport {

class SeededProfile {
 public:
  SeededProfile(const Sandbox& sandbox, const std::string& regText);
  ~SeededProfile();
  SeededProfile(const SeededProfile&) = delete;
  SeededProfile& operator=(const SeededProfile&) = delete;
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
};

// The keys below HKEY_CURRENT_USER that a profile seeds.
void RemoveProfileKeys();

}  // namespace testsupport
