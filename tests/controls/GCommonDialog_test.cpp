// The file dialog wrapper against a scripted user: the record it hands the
// system, and what comes back on confirm and on cancel.
#include "controls/GCommonDialog.h"

#include <gtest/gtest.h>

#include "support/scripted_user.h"

using controls::GCommonDialog;
using testsupport::FileAnswer;
using testsupport::ScriptedUser;

namespace {

struct OpenCall {
  std::string file = "start.qmb", title, filter = "Backup Files(*.qmb)|*.qmb|All Files|*.*";
  std::int32_t index = 1, flags = 0;
  bool readOnly = false;
  bool Run(GCommonDialog& d, void* owner = nullptr) {
    return d.VBGetOpenFileName(file, title, true, false, readOnly, true, filter, index, "C:\\", "Open",
                               "qmb", owner, flags);
  }
};

TEST(Filter, BarsAndColonsBecomeNulsWithTwoAtTheEnd) {
  EXPECT_EQ(GCommonDialog::ConvertFilter("A(*.a)|*.a|B|*.b"), std::string("A(*.a)\0*.a\0B\0*.b\0\0", 18));
  EXPECT_EQ(GCommonDialog::ConvertFilter("x:y"), std::string("x\0y\0\0", 5));
}

TEST(Filter, EntryByIndex) {
  std::string f = GCommonDialog::ConvertFilter("A|*.a|B|*.b");
  EXPECT_EQ(GCommonDialog::FilterEntry(f, 1), std::string("A\0*.a", 5));
  EXPECT_EQ(GCommonDialog::FilterEntry(f, 2), std::string("B\0*.b", 5));
  EXPECT_EQ(GCommonDialog::FilterEntry(f, 3), "");
  EXPECT_EQ(GCommonDialog::FilterEntry(f, 0), "");
}

TEST(Record, FlagsBuffersAndTexts) {
  ScriptedUser user;
  GCommonDialog d;
  OpenCall c;
  c.flags = 0x20 | 0x40 | 0x80000;  // hook and template never reach the system
  c.Run(d, reinterpret_cast<void*>(0x42));
  ASSERT_EQ(user.FileDialogs().size(), 1u);
  const auto& r = user.FileDialogs()[0];
  EXPECT_FALSE(r.save);
  EXPECT_EQ(r.flags, 0x1000u | 0x4u | 0x80000u);
  EXPECT_EQ(r.file.size(), 260u);
  EXPECT_EQ(r.file.substr(0, 10), std::string("start.qmb\0", 10));
  EXPECT_EQ(r.fileTitle, std::string(260, '\0'));
  EXPECT_EQ(r.title, "Open");
  EXPECT_EQ(r.initDir, "C:\\");
  EXPECT_EQ(r.defaultExt, "qmb");
  EXPECT_EQ(r.owner, reinterpret_cast<void*>(0x42));
}

TEST(Record, SaveAlwaysHidesReadOnlyAndAsksBeforeOverwriting) {
  ScriptedUser user;
  GCommonDialog d;
  std::string file, title, filter = "Script Files(*.oes)|*.oes";
  std::int32_t index = 1, flags = 0;
  d.VBGetSaveFileName(file, title, true, filter, index, "", "Save as", "oes", nullptr, flags);
  EXPECT_TRUE(user.FileDialogs()[0].save);
  EXPECT_EQ(user.FileDialogs()[0].flags, 0x4u | 0x2u);
}

TEST(Cancel, OpenGivesFalseEmptyAndMinusOne) {
  ScriptedUser user;
  user.AnswerFile(FileAnswer::Cancel());
  GCommonDialog d;
  OpenCall c;
  c.flags = 7;
  EXPECT_FALSE(c.Run(d));
  EXPECT_EQ(c.file, "");
  EXPECT_EQ(c.title, "");
  EXPECT_EQ(c.filter, "");
  EXPECT_EQ(c.index, -1);
  EXPECT_EQ(c.flags, 0);
  EXPECT_EQ(d.APIReturn(), 0);
}

TEST(Cancel, SaveGivesZeroIndex) {
  ScriptedUser user;
  GCommonDialog d;
  std::string file = "x", title, filter = "A|*.a";
  std::int32_t index = 1, flags = 0;
  EXPECT_FALSE(d.VBGetSaveFileName(file, title, false, filter, index, "", "", "", nullptr, flags));
  EXPECT_EQ(index, 0);
  EXPECT_EQ(file, "");
}

TEST(Confirm, PathTitleIndexAndChosenFilter) {
  ScriptedUser user;
  user.AnswerFile(FileAnswer::Confirm("D:\\Save\\mail.qmb", 2, true));
  GCommonDialog d;
  OpenCall c;
  EXPECT_TRUE(c.Run(d));
  EXPECT_EQ(d.APIReturn(), 1);
  EXPECT_EQ(c.file, "D:\\Save\\mail.qmb");
  EXPECT_EQ(c.title, "mail.qmb");
  EXPECT_EQ(c.index, 2);
  EXPECT_EQ(c.filter, std::string("All Files\0*.*", 13));
  EXPECT_TRUE(c.readOnly);
}

TEST(Confirm, LongNameIsCutToTheBuffer) {
  ScriptedUser user;
  user.AnswerFile(FileAnswer::Confirm("C:\\" + std::string(400, 'a')));
  GCommonDialog d;
  OpenCall c;
  EXPECT_TRUE(c.Run(d));
  EXPECT_EQ(c.file.size(), 259u);
}

}  // namespace
