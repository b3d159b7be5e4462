// The identity catalogue read from the registry, on both builds.
#include "catalog/cProcessItem.h"

#include <gtest/gtest.h>

#include "support/profile.h"
#include "support/registry_keys.h"
#include "support/sandbox.h"

using testsupport::Sandbox;
using testsupport::SeededProfile;

namespace {

std::string Identity(const std::string& id, const std::string& name) {
  std::string text = "[HKEY_CURRENT_USER\\Identities\\" + id + "]\r\n";
  if (!name.empty()) text += "\"Username\"=\"" + name + "\"\r\n";
  text += "\"User ID\"=\"" + id + "\"\r\n\r\n";
  return text;
}

const char kA[] = "{11111111-AAAA-4AAA-8AAA-000000000001}";
const char kB[] = "{22222222-BBBB-4BBB-8BBB-000000000002}";
const char kC[] = "{33333333-CCCC-4CCC-8CCC-000000000003}";
const char kD[] = "{44444444-DDDD-4DDD-8DDD-000000000004}";

TEST(Catalogue, NamelessIdentityLeavesTheListsAligned) {
  Sandbox box;
  SeededProfile profile(box, "REGEDIT4\r\n\r\n" + Identity(kA, "Anna") + Identity(kB, "") +
                                 Identity(kC, "Carl"));
  ASSERT_TRUE(profile.ok());
  cProcessItem items;
  EXPECT_EQ(items.Identities(), (TextList{"Anna", "Carl"}));
  EXPECT_EQ(items.IdentitiesID(), (TextList{kA, kC}));
  EXPECT_EQ(items.Detail(), (TextList{"1,1,1,1,1,1", "1,1,1,1,1,1"}));
  EXPECT_EQ(items.SelectIdentity().Count(), 0);
}

// Guards against advancing past the second of two nameless identities in a row.
TEST(Catalogue, TwoNamelessInARowAreBothDropped) {
  Sandbox box;
  SeededProfile profile(box, "REGEDIT4\r\n\r\n" + Identity(kA, "Anna") + Identity(kB, "") +
                                 Identity(kC, "") + Identity(kD, "Dora"));
  cProcessItem items;
  EXPECT_EQ(items.Identities(), (TextList{"Anna", "Dora"}));
  EXPECT_EQ(items.IdentitiesID(), (TextList{kA, kD}));
  EXPECT_EQ(items.Detail().Count(), 2);
}

TEST(Catalogue, SameNameTwiceIsListedTwice) {
  Sandbox box;
  SeededProfile profile(box, "REGEDIT4\r\n\r\n" + Identity(kA, "Main Identity") +
                                 Identity(kB, "Main Identity"));
  cProcessItem items;
  EXPECT_EQ(items.Identities(), (TextList{"Main Identity", "Main Identity"}));
  EXPECT_EQ(items.IdentitiesID(), (TextList{kA, kB}));
}

TEST(Catalogue, NoIdentitiesKeyGivesEmptyLists) {
  Sandbox box;
  SeededProfile profile(box, "REGEDIT4\r\n\r\n");
  cProcessItem items;
  EXPECT_EQ(items.Identities().Count(), 0);
  EXPECT_EQ(items.IdentitiesID().Count(), 0);
  EXPECT_EQ(items.Detail().Count(), 0);
}

TEST(Catalogue, DemoProfileInRegistryOrder) {
  Sandbox box;
  SeededProfile profile(box, testsupport::ReadFixture("profile/profile.reg"));
  ASSERT_TRUE(profile.ok());
  cProcessItem items;
  EXPECT_EQ(items.Identities(), (TextList{"Main Identity", "Anna Berger", "Work"}));
  EXPECT_EQ(items.IdentitiesID().Value(2), "{8D4E2B17-5C3A-4F6B-A1D2-9E8F7A6B5C4D}");
}

}  // namespace
