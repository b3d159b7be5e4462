#pragma once
// A round trip for the restore tests: the demo profile backed up by the
// program, then a second profile seeded in its place, in which "Main
// Identity" has another Id, an older message store and an account of its
// own, and "Home" has no data yet. The shared catalogue and plan are made
// from the second profile.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "demo_profile.h"
#include "support/profile.h"

namespace restoretest {

constexpr const char kNewMainId[] = "{5A1C9E22-3B4D-4E6F-8A7B-C9D0E1F2A3B4}";
constexpr const char kHomeId[] = "{0B7E3D5C-9A1F-4C2E-B3D4-E5F6A7B8C9D0}";
// Files in the second profile's "Main Identity" store before the restore.
constexpr const char kOldInbox[] = "an older inbox";
constexpr const char kOldOnly[] = "a folder the backup does not have";
constexpr const char kNotes[] = "a file of the user's own";

class RestoreWorld {
 public:
  // Makes the backup (with this password, in AES-256 or the compatible
  // cipher, the saved stores grown by large files of these sizes) and
  // seeds the second profile.
  explicit RestoreWorld(const std::string& password = "s3cret", bool compatible = false,
                        const std::vector<std::size_t>& largeStore = {});
  ~RestoreWorld();
  bool ok() const { return ok_; }
  // The second profile as it was before any restore (registry, stores,
  // address book, the shared objects made again).
  bool Reseed();

  const backuptest::DemoProfile& Demo() const { return demo_; }
  const testsupport::Sandbox& Box() const { return demo_.Box(); }
  const std::string& Archive() const { return archive_; }
  // The standard store folder of an identity of the second profile.
  static std::string StoreFolder(const std::string& id);
  std::string AddressBook() const { return Box().Path("second\\home.wab"); }
  // The second profile's registry text.
  std::string SecondProfileText() const;
  // Every file directly in a folder: name -> its size and a digest of its
  // bytes (short texts as they are).
  static std::map<std::string, std::string> Files(const std::string& folder);
  static std::string Digest(const std::string& bytes);

 private:
  backuptest::DemoProfile demo_;
  std::unique_ptr<testsupport::SeededProfile> second_;
  std::string archive_;
  bool ok_ = false;
};

}  // namespace restoretest
