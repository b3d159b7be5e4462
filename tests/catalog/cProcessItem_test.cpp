// The identity catalogue read from the registry, on both builds.
#include "catalog/cProcessItem.h"

#include <gtest/gtest.h>

#include "support/profile.h"
#include "support/registry_keys.h"
#include "support/sandbox.h"

namespace {

const char kA[] = "{11111111-AAAA-4AAA-8AAA-000000000001}", kB[] = "{22222222-BBBB-4BBB-8BBB-000000000002}",
           kC[] = "{33333333-CCCC-4CCC-8CCC-000000000003}", kD[] = "{44444444-DDDD-4DDD-8DDD-000000000004}";

std::string Identity(const std::string& id, const std::string& name) {
  return "[HKEY_CURRENT_USER\\Identities\\" + id + "]\r\n" + (name.empty() ? "" : "\"Username\"=\"" + name + "\"\r\n") +
         "\"User ID\"=\"" + id + "\"\r\n\r\n";
}

// Guards against advancing past the second of two nameless identities in a
// row, and against lists that no longer line up.
TEST(Catalogue, NamelessIdentitiesAreDroppedAndTheListsStayAligned) {
  const struct {
    std::string reg;
    TextList names, ids;
  } cases[] = {
      {Identity(kA, "Anna") + Identity(kB, "") + Identity(kC, "Carl"), {"Anna", "Carl"}, {kA, kC}},
      {Identity(kA, "Anna") + Identity(kB, "") + Identity(kC, "") + Identity(kD, "Dora"), {"Anna", "Dora"}, {kA, kD}},
      {Identity(kA, "Main Identity") + Identity(kB, "Main Identity"), {"Main Identity", "Main Identity"}, {kA, kB}},
      {"", {}, {}},
  };
  for (const auto& c : cases) {
    testsupport::Sandbox box;
    testsupport::SeededProfile profile(box, "REGEDIT4\r\n\r\n" + c.reg);
    ASSERT_TRUE(profile.ok());
    cProcessItem items;
    EXPECT_EQ(items.Identities(), c.names);
    EXPECT_EQ(items.IdentitiesID(), c.ids);
    EXPECT_EQ(items.Detail(), TextList(std::vector<std::string>(c.names.Count(), "1,1,1,1,1,1")));
    EXPECT_EQ(items.SelectIdentity().Count(), 0);
  }
}

TEST(Catalogue, DemoProfileInRegistryOrder) {
  testsupport::Sandbox box;
  testsupport::SeededProfile profile(box, testsupport::ReadFixture("profile/profile.reg"));
  ASSERT_TRUE(profile.ok());
  cProcessItem items;
  EXPECT_EQ(items.Identities(), (TextList{"Main Identity", "Anna Berger", "Work"}));
  EXPECT_EQ(items.IdentitiesID().Value(2), "{8D4E2B17-5C3A-4F6B-A1D2-9E8F7A6B5C4D}");
}

}  // namespace
