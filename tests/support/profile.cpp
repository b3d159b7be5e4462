#include "support/profile.h"

#include "platform/registry.h"
#include "support/registry_keys.h"

namespace testsupport {

void RemoveProfileKeys() {
  for (const char* key : {"Identities", "Software\\Microsoft\\Internet Account Manager",
                          "Software\\Microsoft\\WAB", "Software\\Microsoft\\MessengerService"})
    (void)platform::DeleteRegBranch(platform::kRegCurrentUser, key);
}

SeededProfile::SeededProfile(const Sandbox& sandbox, const std::string& regText) {
  RemoveProfileKeys();
  ok_ = SeedRegistry(regText, sandbox);
}

SeededProfile::~SeededProfile() { RemoveProfileKeys(); }

}  // namespace testsupport
