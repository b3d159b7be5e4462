#pragma once
// The demo profile of tests/fixtures/profile for the backup tests: its files
// copied into a fresh sandbox ("drive_c\" below it), its registry text
// pointed at that copy and seeded as the current user's data (test programs
// that use it take the ctest resource lock "user_profile").
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/profile.h"
#include "support/sandbox.h"

namespace backuptest {

constexpr const char kMainId[] = "{3F2A8C41-7B1E-4D5A-9C3E-1A2B3C4D5E6F}";
constexpr const char kAnnaId[] = "{8D4E2B17-5C3A-4F6B-A1D2-9E8F7A6B5C4D}";
constexpr const char kWorkId[] = "{C1B2A3D4-E5F6-4789-ABCD-0123456789AB}";  // no store, no accounts

class DemoProfile {
 public:
  DemoProfile();
  bool ok() const { return profile_ && profile_->ok() && copied_; }
  const testsupport::Sandbox& Box() const { return box_; }
  // The copy of the demo's drive C:, ending in "\".
  std::string Drive() const { return box_.Path("drive_c\\"); }
  // An identity's store folder in the copy, ending in "\".
  std::string StoreFolder(const std::string& id) const;
  std::string SignatureFile(const std::string& name) const;
  std::string AddressBook() const;

 private:
  testsupport::Sandbox box_;
  std::unique_ptr<testsupport::SeededProfile> profile_;
  bool copied_ = false;
};

// Bytes for a large store file: text that deflates about as mail does
// (lines of words, none repeated), or, with `random`, bytes that do not
// deflate at all.
std::string Mailbox(std::size_t size, bool random = false, std::uint32_t seed = 12345);
// Writes store files of these sizes into `folder` ("Large<n>.dbx"), three
// of every four of mail, the fourth random; false when one cannot be written.
bool AddLargeStoreFiles(const std::string& folder, const std::vector<std::size_t>& sizes);

}  // namespace backuptest
