// The restore source and mapping pages without windows: opening archives
// (passwords, damaged and foreign files), reading the identity list into
// the plan, and every rule of the mapping page.
#include <gtest/gtest.h>

#include "archive_test_support.h"
#include "platform/files.h"
#include "restore/frmPassword.h"
#include "restore/ucRestor1.h"
#include "restore/ucRestor2.h"
#include "restore_world.h"
#include "catalog/SharedObjects.h"
#include "helpers/modFunction.h"
#include "support/profile.h"
#include "support/scripted_user.h"

using restoretest::kHomeId;
using restoretest::kNewMainId;
using restoretest::RestoreWorld;
using testsupport::FileAnswer;
using testsupport::ScriptedUser;

namespace {

// Answers the password dialogs with each text in turn, pressing OK (the
// dialog stays open after a blank one and takes the next text), or cancels
// when the text is null or the texts have run out.
void AnswerPasswords(ScriptedUser& user, std::vector<const char*> answers, int* shown = nullptr) {
  auto queue = std::make_shared<std::vector<const char*>>(std::move(answers));
  user.OnForm("frmPassword", [queue, shown](platform::ModalForm& form) {
    auto& dialog = static_cast<frmPassword&>(form);
    if (shown) ++*shown;
    while (!dialog.Closed()) {
      EXPECT_TRUE(dialog.Cancelled());  // until OK accepts a password
      const char* text = queue->empty() ? nullptr : queue->front();
      if (!queue->empty()) queue->erase(queue->begin());
      if (!text) {
        dialog.cmdCancel.Press();
        break;
      }
      dialog.txtPassword.Text(text);
      dialog.cmdOK.Press();
    }
    return 0;
  });
}

std::string Plan(std::int32_t i) {
  const clsRestore& p = shared::RestorePlan();
  std::string out;
  for (std::int32_t item = 0; item < clsRestore::kItemCount; ++item)
    out += (item ? "|" : "") + p.GetItemValue(item, i);
  return out;
}

class SourcePageTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(world.ok()); }
  RestoreWorld world;
  ScriptedUser user;
  ucRestor1 page;
};

TEST_F(SourcePageTest, OpeningReadsOnlyTheListAndMapsByExactName) {
  int shown = 0;
  AnswerPasswords(user, {"   ", "  s3cret  "}, &shown);
  page.RestoreFile(world.Archive());
  page.Loadbackupfile();
  EXPECT_EQ(shown, 1);  // blanks keep the dialog open
  ASSERT_EQ(user.Shown().size(), 1u) << user.Shown().back().text;
  EXPECT_EQ(user.Shown()[0].text, frmPassword::kEmptyMessage);
  EXPECT_EQ(user.Shown()[0].Icon(), platform::kInformation);
  EXPECT_EQ(page.Password(), "s3cret");
  EXPECT_EQ(page.RestoreFile(), world.Archive());
  EXPECT_EQ(page.txtComment.Text(), "Before the move");
  EXPECT_EQ(page.lblEncryption.Caption(), ucRestor1::kStrongMessage);
  // Only the list was extracted.
  EXPECT_EQ(RestoreWorld::Files(page.RestoreFolder()).size(), 1u);
  EXPECT_TRUE(modFunction::FileExists(page.RestoreFolder() + "IdList.lst"));
  ASSERT_EQ(shared::RestorePlan().Count(), 2);
  EXPECT_EQ(Plan(1), std::string("Main Identity|") + backuptest::kMainId + "|1,1,1,1,1,1|True|" + kNewMainId +
                         "|Main Identity|1,1,1,1,1,1");
  EXPECT_EQ(Plan(2), std::string("Anna Berger|") + backuptest::kAnnaId + "|1,1,1,1,1,1|False|||0,0,0,0,0,0");
  EXPECT_TRUE(page.CheckReady());
}

// Guards against a wrong or cancelled password losing the archive loaded
// before, and against a later opening reading an earlier archive's list.
TEST_F(SourcePageTest, FailedOpeningsAndTheArchiveLoadedBefore) {
  AnswerPasswords(user, {"s3cret", nullptr, nullptr, "wrong", "wrong", "wrong"});
  archivetest::MakeRawArchive(world.Box().Path("second.qmb"), {{"IdList.lst", "Other\x01{1}\x01" "1,1,1,1,1,1"}},
                              "other");
  archivetest::MakeRawArchive(world.Box().Path("nolist.qmb"), {{"readme.txt", "not a backup"}});
  user.AnswerFile(FileAnswer::Confirm(world.Archive()))
      .AnswerFile(FileAnswer::Confirm(world.Box().Path("second.qmb")))
      .AnswerFile(FileAnswer::Confirm(world.Box().Path("second.qmb")))
      .AnswerFile(FileAnswer::Confirm(world.Box().Path("nolist.qmb")))
      .AnswerFile(FileAnswer::Confirm(world.Box().Path("second.qmb")));
  page.Browse();
  ASSERT_EQ(page.RestoreFile(), world.Archive());
  const std::string first = Plan(1);

  page.Browse();  // its password dialog cancelled: the first stays loaded
  EXPECT_TRUE(user.Shown().empty());
  EXPECT_EQ(page.RestoreFile(), world.Archive());
  EXPECT_EQ(page.Password(), "s3cret");
  EXPECT_EQ(Plan(1), first);
  EXPECT_TRUE(page.CheckReady());
  page.RestoreFile(world.Box().Path("typed.qmb"));  // a name typed, then another archive's password cancelled
  page.Browse();
  EXPECT_EQ(page.RestoreFile(), world.Archive());

  // The message of a failed opening, and the cause on its second line.
  auto incorrect = [](const char* cause) { return std::string(ucRestor1::kIncorrectMessage) + "\r\n" + cause; };
  std::string work = page.RestoreFolder();
  page.Browse();  // no identity list in it
  EXPECT_FALSE(modFunction::IsFolder(work));  // the earlier archive's work folder went with it
  ASSERT_EQ(user.Shown().size(), 1u);
  EXPECT_EQ(user.Shown()[0].text, incorrect(ucRestor1::kNotABackupCause));
  EXPECT_EQ(user.Shown()[0].Icon(), platform::kCritical);
  EXPECT_EQ(page.RestoreFile(), "");
  EXPECT_EQ(page.RestoreFolder(), "");
  EXPECT_FALSE(page.CheckReady());
  EXPECT_EQ(user.Shown()[1].text, ucRestor1::kChooseFirstMessage);

  page.Browse();  // the wrong password three times: said before each new request
  ASSERT_EQ(user.Shown().size(), 5u);
  EXPECT_EQ(user.Shown()[2].text, ucRestor1::kWrongPasswordMessage);
  EXPECT_EQ(user.Shown()[3].text, ucRestor1::kWrongPasswordMessage);
  EXPECT_EQ(user.Shown()[4].text, incorrect(ucRestor1::kWrongPasswordCause));
  EXPECT_EQ(page.RestoreFile(), "");
  EXPECT_EQ(Plan(1), first);  // a failed opening leaves the plan

  // A path typed into the box after an archive was opened is opened at
  // Next, with its own password and plan.
  AnswerPasswords(user, {"s3cret"});
  page.RestoreFile(world.Archive());
  page.Loadbackupfile();
  ASSERT_EQ(page.RestoreFile(), world.Archive());
  page.RestoreFile(world.Box().Path("second.qmb"));
  AnswerPasswords(user, {"other"});
  EXPECT_TRUE(page.CheckReady());
  EXPECT_EQ(page.Password(), "other");
  EXPECT_EQ(Plan(1), "Other|{1}|1,1,1,1,1,1|False|||0,0,0,0,0,0");
  EXPECT_EQ(page.lblEncryption.Caption(), ucRestor1::kCompatibleMessage);  // the traditional cipher

  // Unencrypted: no dialog. An empty list fails without a message.
  archivetest::MakeRawArchive(world.Box().Path("plain.qmb"), {{"IdList.lst", ""}});
  const std::size_t before = user.Shown().size();
  page.RestoreFile(world.Box().Path("plain.qmb"));
  page.Loadbackupfile();
  EXPECT_EQ(user.Shown().size(), before);
  EXPECT_EQ(user.Forms().size(), 8u);  // no dialog for it
  EXPECT_EQ(page.RestoreFile(), "");
  archivetest::MakeRawArchive(world.Box().Path("open.qmb"), {{"IdList.lst", "Open\x01{2}\x01" "1,1,1,1,1,1"}});
  page.RestoreFile(world.Box().Path("open.qmb"));
  page.Loadbackupfile();
  EXPECT_EQ(page.lblEncryption.Caption(), ucRestor1::kUnprotectedMessage);

  // No zip file at all; a list whose bytes were changed.
  std::string bytes;
  ASSERT_TRUE(platform::ReadWholeFile(world.Box().Path("open.qmb"), bytes));
  bytes[44] = static_cast<char>(bytes[44] ^ 0x5A);
  ASSERT_TRUE(platform::WriteWholeFile(world.Box().Path("damaged.qmb"), bytes));
  ASSERT_TRUE(platform::WriteWholeFile(world.Box().Path("text.qmb"), "a letter, not a backup"));
  for (const auto& [file, cause] : {std::pair{"text.qmb", ucRestor1::kUnreadableCause},
                                    std::pair{"damaged.qmb", ucRestor1::kDamagedCause}}) {
    page.RestoreFile(world.Box().Path(file));
    page.Loadbackupfile();
    EXPECT_EQ(user.Shown().back().text, incorrect(cause)) << file;
  }
}

// The list read into the plan: exact, case-sensitive names; the first of
// two local identities of one name; records of other than three fields
// skipped.
TEST(ReadIDlist, MapsByExactNameAndSkipsMalformedRecords) {
  testsupport::Sandbox box;
  testsupport::SeededProfile profile(
      box, "REGEDIT4\r\n\r\n"
           "[HKEY_CURRENT_USER\\Identities\\{A1}]\r\n\"Username\"=\"Twin\"\r\n\r\n"
           "[HKEY_CURRENT_USER\\Identities\\{A2}]\r\n\"Username\"=\"Twin\"\r\n\r\n"
           "[HKEY_CURRENT_USER\\Identities\\{B1}]\r\n\"Username\"=\"main identity\"\r\n");
  ASSERT_TRUE(profile.ok());
  shared::CreateSharedObjects();
  ucRestor1 page;
  box.MakeFolder("work");
  page.RestoreFolder(box.Path("work\\"));
  const std::string list = std::string("Twin\x01{S1}\x01") + "1,0,1,0,1,0" + '\0' + "Main Identity\x01{S2}\x01" +
                           "1,1,1,1,1,1" + '\0' + "Two\x01{S3}" + '\0' + "Four\x01{S4}\x01" + "1,1,1,1,1,1\x01x" + '\0' +
                           '\0' + "Other\x01{S5}\x01" + "0,1,0,0,0,0" + '\0' + "Twin\x01{S6}\x01" + "0,1,0,0,0,0" +
                           '\0' + "Twin\x01{S7}\x01" + "0,1,0,0,0,0" + '\0';
  box.WriteFile("work\\IdList.lst", list);
  ASSERT_TRUE(page.ReadIDlist());
  ASSERT_EQ(shared::RestorePlan().Count(), 5);
  EXPECT_EQ(Plan(1), "Twin|{S1}|1,0,1,0,1,0|True|{A1}|Twin|1,0,1,0,1,0");
  EXPECT_EQ(Plan(2), "Main Identity|{S2}|1,1,1,1,1,1|False|||0,0,0,0,0,0");
  EXPECT_EQ(Plan(3), "Other|{S5}|0,1,0,0,0,0|False|||0,0,0,0,0,0");
  // A local identity is the target of one saved identity at the most.
  EXPECT_EQ(Plan(4), "Twin|{S6}|0,1,0,0,0,0|True|{A2}|Twin|0,1,0,0,0,0");
  EXPECT_EQ(Plan(5), "Twin|{S7}|0,1,0,0,0,0|False|||0,0,0,0,0,0");
  box.WriteFile("work\\IdList.lst", "");
  EXPECT_FALSE(page.ReadIDlist());
  EXPECT_EQ(shared::RestorePlan().Count(), 5);  // left as it was
  // A list of more identities than a backup holds is refused in one pass.
  std::string huge;
  for (int k = 0; k <= ucRestor1::kMaxSavedIdentities; ++k) huge += "Twin\x01{S}\x01" "1,1,1,1,1,1" + std::string(1, '\0');
  box.WriteFile("work\\IdList.lst", huge);
  ScriptedUser user;
  EXPECT_FALSE(page.ReadIDlist());
  EXPECT_EQ(shared::RestorePlan().Count(), 5);
  ASSERT_EQ(user.Shown().size(), 1u);
  EXPECT_NE(user.Shown()[0].text.find(ucRestor1::kTooManyIdentitiesMessage), std::string::npos);
  shared::ReleaseSharedObjects();
}

// ---- The mapping page --------------------------------------------------------

class MappingPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(profile.ok());
    shared::CreateSharedObjects();
    clsRestore& plan = shared::RestorePlan();
    plan.AddItemData("Main", "{S1}", "1,1,1,1,1,1", "True", "{L1}", "Main", "1,1,1,1,1,1");
    plan.AddItemData("Anna", "{S2}", "1,0,1,0,0,1", "False", "", "", "0,0,0,0,0,0");
    page.LoadIDList();
  }
  void TearDown() override { shared::ReleaseSharedObjects(); }
  std::string Boxes() const {
    std::string out;
    for (const auto& box : page.chkItem) out += box.Enabled() ? (box.Value() ? "1" : "0") : "-";
    return out;
  }

  testsupport::Sandbox box;
  testsupport::SeededProfile profile{box, "REGEDIT4\r\n\r\n"
                                          "[HKEY_CURRENT_USER\\Identities\\{L1}]\r\n\"Username\"=\"Main\"\r\n\r\n"
                                          "[HKEY_CURRENT_USER\\Identities\\{L2}]\r\n\"Username\"=\"Home\"\r\n"};
  ScriptedUser user;
  ucRestor2 page;
};

TEST_F(MappingPageTest, ShowsEachRecordWithItsTargetAndItems) {
  ASSERT_EQ(page.lstID.ListCount(), 2);
  EXPECT_TRUE(page.lstID.Checked(0));
  EXPECT_FALSE(page.lstID.Checked(1));
  ASSERT_EQ(page.cobToID.ListCount(), 3);
  EXPECT_EQ(page.cobToID.List(2), ucRestor2::kNoTarget);
  EXPECT_EQ(page.cobToID.Text(), "Main");
  EXPECT_EQ(Boxes(), "111111");
  page.lstID.ListIndex(1);
  EXPECT_EQ(page.cobToID.Text(), ucRestor2::kNoTarget);
  EXPECT_EQ(Boxes(), "0-0--0");  // items the backup lacks are disabled

  // Ticking it without a target is taken back.
  page.lstID.Checked(1, true);
  page.lstID.ListIndex(1);
  EXPECT_FALSE(page.lstID.Checked(1));
  ASSERT_FALSE(user.Shown().empty());
  EXPECT_EQ(user.Shown().back().text, ucRestor2::kTargetFirstMessage);
  page.chkItem[0].Value(1);  // an item box too
  EXPECT_EQ(page.chkItem[0].Value(), 0);
  EXPECT_EQ(user.Shown().back().text, ucRestor2::kTargetFirstMessage);
}

TEST_F(MappingPageTest, HandlersKeepThePlanAndOneSourcePerTarget) {
  struct Step {
    const char* what;
    std::function<void(ucRestor2&)> act;
    const char* record1;  // Selected|ToID|ToIDName|ToRestoreDetail
    const char* record2;
  };
  const Step steps[] = {
      {"Anna gets Main: Main loses it",
       [](ucRestor2& p) {
         p.lstID.ListIndex(1);
         p.cobToID.ListIndex(0);
       },
       "False|||0,0,0,0,0,0", "False|{L1}|Main|1,0,1,0,0,1"},
      {"one item ticks the identity", [](ucRestor2& p) { p.chkItem[2].Value(1); }, "False|||0,0,0,0,0,0",
       "True|{L1}|Main|0,0,1,0,0,0"},
      {"clearing every item clears it", [](ucRestor2& p) { p.chkItem[2].Value(0); }, "False|||0,0,0,0,0,0",
       "False|{L1}|Main|0,0,0,0,0,0"},
      {"ticking the identity ticks what its backup holds", [](ucRestor2& p) { p.lstID.Checked(1, true); },
       "False|||0,0,0,0,0,0", "True|{L1}|Main|1,0,1,0,0,1"},
      {"no target clears it", [](ucRestor2& p) { p.cobToID.ListIndex(2); }, "False|||0,0,0,0,0,0",
       "True|||0,0,0,0,0,0"},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    s.act(page);
    auto fields = [](std::int32_t i) {
      const clsRestore& p = shared::RestorePlan();
      return p.GetItemValue(clsRestore::Selected, i) + "|" + p.GetItemValue(clsRestore::ToID, i) + "|" +
             p.GetItemValue(clsRestore::ToIDName, i) + "|" + p.GetItemValue(clsRestore::ToRestoreDetail, i);
    };
    EXPECT_EQ(fields(1), s.record1);
    EXPECT_EQ(fields(2), s.record2);
  }
  EXPECT_FALSE(page.lstID.Checked(0));
  EXPECT_FALSE(page.lstID.Checked(1));
  EXPECT_FALSE(page.CheckReady());
  EXPECT_EQ(user.Shown().back().text, ucRestor2::kChooseOneMessage);
  EXPECT_EQ(shared::RestorePlan().GetItemValue(clsRestore::Selected, 2), "False");
}

// The list raises its tick before it moves the current row: the ticked
// record gets what its own backup holds, not the boxes of the row shown.
// Two records onto one target are refused at Next.
TEST_F(MappingPageTest, TickOfAnotherRowAndTwoRecordsOntoOneTarget) {
  clsRestore& plan = shared::RestorePlan();
  plan.SetItemValue(clsRestore::ToID, "{L2}", 2);
  plan.SetItemValue(clsRestore::ToIDName, "Home", 2);
  ASSERT_EQ(page.lstID.ListIndex(), 0);  // Main's six boxes shown
  page.lstID.Checked(1, true);
  EXPECT_EQ(plan.GetItemValue(clsRestore::ToRestoreDetail, 2), "1,0,1,0,0,1");
  EXPECT_EQ(Boxes(), "111111");
  EXPECT_TRUE(page.CheckReady());
  plan.SetItemValue(clsRestore::ToID, "{L1}", 2);
  plan.SetItemValue(clsRestore::ToIDName, "Main", 2);
  EXPECT_FALSE(page.CheckReady());
  EXPECT_EQ(user.Shown().back().text.rfind(ucRestor2::kSameTargetMessage, 0), 0u);
}

TEST_F(MappingPageTest, EmptyPlanGivesAnEmptyListAndNoNext) {
  shared::RestorePlan().ClearData();
  page.LoadIDList();
  EXPECT_EQ(page.lstID.ListCount(), 0);
  EXPECT_FALSE(page.CheckReady());
  EXPECT_EQ(user.Shown().back().text, ucRestor2::kChooseOneMessage);
}

}  // namespace
