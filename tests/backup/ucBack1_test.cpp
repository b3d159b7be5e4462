// The backup selection page: check rules, the catalogue's Detail list kept
// in step with the boxes, the readiness check, the unattended selection.
#include "backup/ucBack1.h"

#include <gtest/gtest.h>

#include "platform/ui.h"
#include "catalog/SharedObjects.h"
#include "support/profile.h"
#include "support/sandbox.h"
#include "support/scripted_user.h"

using testsupport::Sandbox;
using testsupport::ScriptedUser;
using testsupport::SeededProfile;

namespace {

const char kA[] = "{11111111-AAAA-4AAA-8AAA-000000000001}";
const char kB[] = "{22222222-BBBB-4BBB-8BBB-000000000002}";
const char kC[] = "{33333333-CCCC-4CCC-8CCC-000000000003}";

// An identity; with `opened` the mail client has written its data key.
std::string Identity(const std::string& id, const std::string& name, bool opened) {
  std::string key = "[HKEY_CURRENT_USER\\Identities\\" + id;
  std::string text = key + "]\r\n\"Username\"=\"" + name + "\"\r\n\"User ID\"=\"" + id + "\"\r\n\r\n";
  if (opened) text += key + "\\Software\\Microsoft\\Outlook Express\\5.0]\r\n\"Store Root\"=\"C:\\\\s\"\r\n\r\n";
  return text;
}

class SelectionPage : public ::testing::Test {
 protected:
  void Seed(const std::string& identities) {
    profile_ = std::make_unique<SeededProfile>(box_, "REGEDIT4\r\n\r\n" + identities);
    ASSERT_TRUE(profile_->ok());
    shared::CreateSharedObjects();
  }
  void SetUp() override {
    Seed(Identity(kA, "Main Identity", true) + Identity(kB, "Work", true) +
         Identity(kC, "Never Opened", false));
  }
  void TearDown() override { shared::ReleaseSharedObjects(); }

  std::string Detail(int k) const { return shared::Catalogue().Detail().Value(k); }
  std::string Shown() const {
    std::string out;
    for (int j = 0; j < page.lstDetail.ListCount(); ++j) out += page.lstDetail.Checked(j) ? '1' : '0';
    return out;
  }
  // What a click on a row's box does: the box changes, then the row is current.
  void ClickIdentityBox(int row, bool checked) {
    page.lstIdentity.Checked(row, checked);
    page.lstIdentity.ListIndex(row);
  }

  Sandbox box_;
  std::unique_ptr<SeededProfile> profile_;
  ScriptedUser user;
  ucBack1 page;
};

// --- Filling the list ---

// Identities with data start ticked with all items; one never opened in the
// mail client starts unticked, named in the note, so that Next on the
// defaults goes on.
TEST_F(SelectionPage, IdentitiesWithDataStartTickedWithAllItemsAndTheFirstCurrent) {
  page.LoadIdenList();
  ASSERT_EQ(page.lstIdentity.ListCount(), 3);
  EXPECT_EQ(page.lstIdentity.List(1), "Work");
  for (int i = 0; i < 2; ++i) EXPECT_TRUE(page.lstIdentity.Checked(i));
  EXPECT_FALSE(page.lstIdentity.Checked(2));
  EXPECT_NE(page.lblNote.Caption().find(std::string(kNoDataNote) + "Never Opened"), std::string::npos);
  EXPECT_EQ(page.lstIdentity.ListIndex(), 0);
  EXPECT_EQ(Shown(), "111111");
  EXPECT_EQ(page.lstDetail.ListIndex(), 0);
  EXPECT_EQ(page.lstDetail.List(3), "Mail & News Rules");
  EXPECT_EQ(page.TotalItem(), 0);
  EXPECT_TRUE(page.CheckReady());  // the defaults go on
  EXPECT_TRUE(user.Shown().empty());
  EXPECT_EQ(page.TotalItem(), 2);
}

TEST_F(SelectionPage, SecondVisitKeepsTheRowsAndTheirChecks) {
  page.LoadIdenList();
  ClickIdentityBox(1, false);
  page.LoadIdenList();
  EXPECT_EQ(page.lstIdentity.ListCount(), 3);
  EXPECT_FALSE(page.lstIdentity.Checked(1));
}

// --- Check rules ---

TEST_F(SelectionPage, ClearingAllDetailRowsUnticksTheIdentityAndOneTicksItAgain) {
  page.LoadIdenList();
  for (int j = 0; j < 6; ++j) page.lstDetail.Checked(j, false);
  EXPECT_EQ(Detail(1), "0,0,0,0,0,0");
  EXPECT_FALSE(page.lstIdentity.Checked(0));
  page.lstDetail.Checked(4, true);
  EXPECT_EQ(Detail(1), "0,0,0,0,1,0");
  EXPECT_TRUE(page.lstIdentity.Checked(0));
  EXPECT_EQ(Detail(2), "1,1,1,1,1,1");  // the others untouched
}

TEST_F(SelectionPage, TickingAnIdentityAgainSelectsEverythingNotItsOldFlags) {
  page.LoadIdenList();
  page.lstDetail.Checked(2, false);
  EXPECT_EQ(Detail(1), "1,1,0,1,1,1");
  ClickIdentityBox(0, false);
  EXPECT_EQ(Detail(1), "0,0,0,0,0,0");
  EXPECT_EQ(Shown(), "000000");
  ClickIdentityBox(0, true);
  EXPECT_EQ(Detail(1), "1,1,1,1,1,1");
  EXPECT_EQ(Shown(), "111111");
}

TEST_F(SelectionPage, UntickingAnotherIdentityShowsItsClearedFlagsOnceCurrent) {
  page.LoadIdenList();
  ClickIdentityBox(1, false);
  EXPECT_EQ(Detail(2), "0,0,0,0,0,0");
  EXPECT_EQ(page.lstIdentity.ListIndex(), 1);
  EXPECT_EQ(Shown(), "000000");
  EXPECT_EQ(Detail(1), "1,1,1,1,1,1");
}

TEST_F(SelectionPage, SwitchingRowsShowsEachOnesFlagsAndKeepsBoth) {
  page.LoadIdenList();
  for (int j = 1; j < 6; ++j) page.lstDetail.Checked(j, false);  // "1,0,0,0,0,0"
  page.lstIdentity.ListIndex(1);
  for (int j = 0; j < 5; ++j) page.lstDetail.Checked(j, false);  // "0,0,0,0,0,1"
  // Passing through "0,0,0,0,0,0" on the way must not leave an identity unticked.
  page.lstIdentity.ListIndex(0);
  EXPECT_EQ(Shown(), "100000");
  page.lstIdentity.ListIndex(1);
  EXPECT_EQ(Shown(), "000001");
  EXPECT_EQ(Detail(1), "1,0,0,0,0,0");
  EXPECT_EQ(Detail(2), "0,0,0,0,0,1");
  EXPECT_TRUE(page.lstIdentity.Checked(0));
  EXPECT_TRUE(page.lstIdentity.Checked(1));
}

// --- Readiness ---

TEST_F(SelectionPage, NothingTickedIsRefused) {
  page.LoadIdenList();
  for (int i = 0; i < 3; ++i) ClickIdentityBox(i, false);
  EXPECT_FALSE(page.CheckReady());
  ASSERT_EQ(user.Shown().size(), 1u);
  EXPECT_EQ(user.Shown()[0].text, "Nothing to backup, Please select at least one item to backup");
  EXPECT_EQ(user.Shown()[0].Icon(), platform::kInformation);
}

TEST_F(SelectionPage, IdentityNeverOpenedIsNamedAndNothingChanges) {
  page.LoadIdenList();
  ClickIdentityBox(2, true);  // ticked by the user all the same
  EXPECT_FALSE(page.CheckReady());
  ASSERT_EQ(user.Shown().size(), 1u);
  EXPECT_EQ(user.Shown()[0].text,
            "Cannot find any data for the identity Never Opened.  \r\n"
            "Open Outlook Express and switch to this identity, then try it again!");
  EXPECT_EQ(user.Shown()[0].Icon(), platform::kInformation);
  EXPECT_EQ(shared::Catalogue().SelectIdentity().Count(), 0);
  EXPECT_EQ(page.TotalItem(), 0);
}

TEST_F(SelectionPage, ReadyWritesTheSelectionAndCountsItTwiceAlike) {
  page.LoadIdenList();
  ClickIdentityBox(2, false);
  ASSERT_TRUE(page.CheckReady());
  EXPECT_EQ(page.TotalItem(), 2);
  EXPECT_EQ(shared::Catalogue().SelectIdentity(), (OneBasedList<bool>{true, true, false}));
  ASSERT_TRUE(page.CheckReady());  // Back and Next again
  EXPECT_EQ(page.TotalItem(), 2);
  EXPECT_TRUE(user.Shown().empty());
}

// --- Unattended selection ---

TEST_F(SelectionPage, SelectItemOnlyAddsChecks) {
  page.LoadIdenList();
  page.SelectItem("Work", "0,1,0,0,0,0");
  EXPECT_EQ(page.lstIdentity.ListIndex(), 1);
  EXPECT_EQ(Detail(2), "1,1,1,1,1,1");
  page.lstIdentity.ListIndex(0);
  for (int j = 1; j < 6; ++j) page.lstDetail.Checked(j, false);
  page.lstIdentity.ListIndex(1);
  page.SelectItem("Main Identity", "0,0,0,1,0,1");
  EXPECT_EQ(Detail(1), "1,0,0,1,0,1");
  EXPECT_EQ(Shown(), "100101");
}

TEST_F(SelectionPage, SelectItemMatchesTheWholeNameExactly) {
  page.LoadIdenList();
  ClickIdentityBox(1, false);
  page.SelectItem("work", "1,1,1,1,1,1");
  page.SelectItem("Work ", "1,1,1,1,1,1");
  EXPECT_FALSE(page.lstIdentity.Checked(1));
  EXPECT_EQ(Detail(2), "0,0,0,0,0,0");
}

TEST(SelectionPageEmpty, NoIdentitiesDisablesTheDetailsAndRefusesNext) {
  Sandbox box;
  SeededProfile profile(box, "REGEDIT4\r\n\r\n");
  shared::CreateSharedObjects();
  ScriptedUser user;
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
