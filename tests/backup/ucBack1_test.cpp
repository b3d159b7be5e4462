// The backup selection page: check rules, the catalogue's Detail list kept
// in step with the boxes, the readiness check, the unattended selection.
#include "backup/ucBack1.h"

#include <gtest/gtest.h>

#include "catalog/SharedObjects.h"
#include "platform/ui.h"
#include "support/profile.h"
#include "support/sandbox.h"
#include "support/scripted_user.h"

namespace {

// An identity; with `opened` the mail client has written its data key.
std::string Identity(const std::string& id, const std::string& name, bool opened) {
  std::string key = "[HKEY_CURRENT_USER\\Identities\\" + id;
  std::string text = key + "]\r\n\"Username\"=\"" + name + "\"\r\n\"User ID\"=\"" + id + "\"\r\n\r\n";
  if (opened) text += key + "\\Software\\Microsoft\\Outlook Express\\5.0]\r\n\"Store Root\"=\"C:\\\\s\"\r\n\r\n";
  return text;
}

// Main Identity and Work opened in the mail client, Never Opened not.
class SelectionPage : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(profile.ok());
    shared::CreateSharedObjects();
    page.LoadIdenList();
  }
  void TearDown() override { shared::ReleaseSharedObjects(); }

  std::string Detail(int k) const { return shared::Catalogue().Detail().Value(k); }
  // The detail boxes shown, then the identity boxes.
  std::string Shown() const {
    std::string out;
    for (int j = 0; j < page.lstDetail.ListCount(); ++j) out += page.lstDetail.Checked(j) ? '1' : '0';
    out += '|';
    for (int i = 0; i < page.lstIdentity.ListCount(); ++i) out += page.lstIdentity.Checked(i) ? '1' : '0';
    return out;
  }
  // What a click on a row's box does: the box changes, then the row is current.
  void ClickIdentityBox(int row, bool checked) {
    page.lstIdentity.Checked(row, checked);
    page.lstIdentity.ListIndex(row);
  }
  void SetDetails(const std::string& flags) {
    for (int j = 0; j < 6; ++j) page.lstDetail.Checked(j, flags[j] == '1');
  }
  void ExpectMessage(std::size_t k, const std::string& text) {
    ASSERT_EQ(user.Shown().size(), k + 1);
    EXPECT_EQ(user.Shown()[k].text, text);
    EXPECT_EQ(user.Shown()[k].Icon(), platform::kInformation);
  }

  testsupport::Sandbox box;
  testsupport::SeededProfile profile{box, "REGEDIT4\r\n\r\n" +
                                              Identity("{11111111-AAAA-4AAA-8AAA-000000000001}", "Main Identity", true) +
                                              Identity("{22222222-BBBB-4BBB-8BBB-000000000002}", "Work", true) +
                                              Identity("{33333333-CCCC-4CCC-8CCC-000000000003}", "Never Opened", false)};
  testsupport::ScriptedUser user;
  ucBack1 page;
};

// Identities with data start ticked with all items; one never opened in the
// mail client starts unticked, named in the note, so that Next on the
// defaults goes on; a second visit keeps the rows and their checks.
TEST_F(SelectionPage, IdentitiesWithDataStartTickedAndTheDefaultsGoOn) {
  ASSERT_EQ(page.lstIdentity.ListCount(), 3);
  EXPECT_EQ(page.lstIdentity.List(1), "Work");
  EXPECT_EQ(Shown(), "111111|110");
  EXPECT_NE(page.lblNote.Caption().find(std::string(kNoDataNote) + "Never Opened"), std::string::npos);
  EXPECT_EQ(page.lstIdentity.ListIndex(), 0);
  EXPECT_EQ(page.lstDetail.ListIndex(), 0);
  EXPECT_EQ(page.lstDetail.List(3), "Mail & News Rules");
  EXPECT_EQ(page.TotalItem(), 0);
  ASSERT_TRUE(page.CheckReady());
  EXPECT_TRUE(user.Shown().empty());
  EXPECT_EQ(page.TotalItem(), 2);
  EXPECT_EQ(shared::Catalogue().SelectIdentity(), (OneBasedList<bool>{true, true, false}));
  ASSERT_TRUE(page.CheckReady());  // Back and Next again count alike
  EXPECT_EQ(page.TotalItem(), 2);
  ClickIdentityBox(1, false);
  page.LoadIdenList();
  EXPECT_EQ(Shown(), "000000|100");
}

// Clearing every detail unticks the identity and one detail ticks it again;
// ticking an identity again selects everything, not its old flags; the
// flags of each row are kept apart (passing through none on the way does
// not untick it); the catalogue follows every box.
TEST_F(SelectionPage, CheckRulesKeepTheCatalogueInStep) {
  SetDetails("000000");
  EXPECT_EQ(Detail(1), "0,0,0,0,0,0");
  EXPECT_EQ(Shown(), "000000|010");
  page.lstDetail.Checked(4, true);
  EXPECT_EQ(Detail(1), "0,0,0,0,1,0");
  EXPECT_EQ(Shown(), "000010|110");
  EXPECT_EQ(Detail(2), "1,1,1,1,1,1");
  ClickIdentityBox(0, false);
  EXPECT_EQ(Shown(), "000000|010");
  ClickIdentityBox(0, true);
  EXPECT_EQ(Detail(1), "1,1,1,1,1,1");
  EXPECT_EQ(Shown(), "111111|110");
  ClickIdentityBox(1, false);
  EXPECT_EQ(Detail(2), "0,0,0,0,0,0");
  EXPECT_EQ(page.lstIdentity.ListIndex(), 1);
  EXPECT_EQ(Shown(), "000000|100");
  EXPECT_EQ(Detail(1), "1,1,1,1,1,1");

  ClickIdentityBox(1, true);
  page.lstIdentity.ListIndex(0);
  SetDetails("100000");
  page.lstIdentity.ListIndex(1);
  SetDetails("000001");
  page.lstIdentity.ListIndex(0);
  EXPECT_EQ(Shown(), "100000|110");
  page.lstIdentity.ListIndex(1);
  EXPECT_EQ(Shown(), "000001|110");
  EXPECT_EQ(Detail(1) + " " + Detail(2), "1,0,0,0,0,0 0,0,0,0,0,1");
}

TEST_F(SelectionPage, NothingTickedOrAnIdentityWithoutDataIsRefused) {
  for (int i = 0; i < 3; ++i) ClickIdentityBox(i, false);
  EXPECT_FALSE(page.CheckReady());
  ExpectMessage(0, "Nothing to backup, Please select at least one item to backup");
  ClickIdentityBox(2, true);  // ticked by the user all the same
  EXPECT_FALSE(page.CheckReady());
  ExpectMessage(1, "Cannot find any data for the identity Never Opened.  \r\n"
                   "Open Outlook Express and switch to this identity, then try it again!");
  EXPECT_EQ(shared::Catalogue().SelectIdentity().Count(), 0);
  EXPECT_EQ(page.TotalItem(), 0);
}

// The unattended selection ticks the identity with exactly this name and
// adds the given items to its own; it never takes any away.
TEST_F(SelectionPage, SelectItemOnlyAddsChecksToTheIdentityOfThatName) {
  ClickIdentityBox(1, false);
  page.SelectItem("work", "1,1,1,1,1,1");
  page.SelectItem("Work ", "1,1,1,1,1,1");
  EXPECT_EQ(Detail(2), "0,0,0,0,0,0");
  page.SelectItem("Work", "0,1,0,0,0,0");
  EXPECT_EQ(page.lstIdentity.ListIndex(), 1);
  EXPECT_EQ(Detail(2), "1,1,1,1,1,1");
  page.lstIdentity.ListIndex(0);
  SetDetails("100000");
  page.lstIdentity.ListIndex(1);
  page.SelectItem("Main Identity", "0,0,0,1,0,1");
  EXPECT_EQ(Detail(1), "1,0,0,1,0,1");
  EXPECT_EQ(Shown(), "100101|110");
}

TEST(SelectionPageEmpty, NoIdentitiesDisablesTheDetailsAndRefusesNext) {
  testsupport::Sandbox box;
  testsupport::SeededProfile profile(box, "REGEDIT4\r\n\r\n");
  shared::CreateSharedObjects();
  testsupport::ScriptedUser user;
  ucBack1 page;
  page.LoadIdenList();
  EXPECT_EQ(page.lstIdentity.ListCount(), 0);
  EXPECT_FALSE(page.lstDetail.Enabled());
  EXPECT_FALSE(page.CheckReady());
  ASSERT_EQ(user.Shown().size(), 1u);
  EXPECT_EQ(user.Shown()[0].text.substr(0, 17), "Nothing to backup");
  shared::ReleaseSharedObjects();
}

}  // namespace
