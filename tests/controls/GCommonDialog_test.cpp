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
    return d.VBGetOpenFileName(file, title, true, false, readOnly, true, filter, index, "C:\\", "Open", "qmb", owner,
                               flags);
  }
};

TEST(Filter, BarsAndColonsBecomeNulsAndEntriesByIndex) {
  EXPECT_EQ(GCommonDialog::ConvertFilter("A(*.a)|*.a|B|*.b"), std::string("A(*.a)\0*.a\0B\0*.b\0\0", 18));
  EXPECT_EQ(GCommonDialog::ConvertFilter("x:y"), std::string("x\0y\0\0", 5));
  const std::string f = GCommonDialog::ConvertFilter("A|*.a|B|*.b");
  for (auto [index, entry] : {std::pair{1, std::string("A\0*.a", 5)}, {2, std::string("B\0*.b", 5)}, {3, std::string()},
                              {0, std::string()}})
    EXPECT_EQ(GCommonDialog::FilterEntry(f, index), entry) << index;
}

TEST(Record, FlagsBuffersAndTexts) {
  ScriptedUser user;
  GCommonDialog d;
  OpenCall c;
  c.flags = 0x20 | 0x40 | 0x80000;  // hook and template never reach the system
  c.Run(d, reinterpret_cast<void*>(0x42));
  std::string file, title, filter = "Script Files(*.oes)|*.oes";
  std::int32_t index = 1, flags = 0;
  d.VBGetSaveFileName(file, title, true, filter, index, "", "Save as", "oes", nullptr, flags);
  ASSERT_EQ(user.FileDialogs().size(), 2u);
  const auto& r = user.FileDialogs()[0];
  EXPECT_FALSE(r.save);
  EXPECT_EQ(r.flags, 0x1000u | 0x4u | 0x80000u);
  EXPECT_EQ(r.file.size(), 260u);
  EXPECT_EQ(r.file.substr(0, 10), std::string("start.qmb\0", 10));
  EXPECT_EQ(r.fileTitle, std::string(260, '\0'));
  EXPECT_EQ(r.title + "|" + r.initDir + "|" + r.defaultExt, "Open|C:\\|qmb");
  EXPECT_EQ(r.owner, reinterpret_cast<void*>(0x42));
  // Save always hides read-only and asks before overwriting.
  EXPECT_TRUE(user.FileDialogs()[1].save);
  EXPECT_EQ(user.FileDialogs()[1].flags, 0x4u | 0x2u);
}

TEST(Cancel, OpenGivesEmptyAndMinusOneSaveGivesZero) {
  ScriptedUser user;
  GCommonDialog d;
  OpenCall c;
  c.flags = 7;
  EXPECT_FALSE(c.Run(d));
  EXPECT_EQ(c.file + c.title + c.filter, "");
  EXPECT_EQ(c.index, -1);
  EXPECT_EQ(c.flags, 0);
  EXPECT_EQ(d.APIReturn(), 0);
  std::string file = "x", title, filter = "A|*.a";
  std::int32_t index = 1, flags = 0;
  EXPECT_FALSE(d.VBGetSaveFileName(file, title, false, filter, index, "", "", "", nullptr, flags));
  EXPECT_EQ(index, 0);
  EXPECT_EQ(file, "");
}

TEST(Confirm, PathTitleIndexChosenFilterAndALongNameCut) {
  ScriptedUser user;
  user.AnswerFile(FileAnswer::Confirm("D:\\Save\\mail.qmb", 2, true))
      .AnswerFile(FileAnswer::Confirm("C:\\" + std::string(400, 'a')));
  GCommonDialog d;
  OpenCall c;
  EXPECT_TRUE(c.Run(d));
  EXPECT_EQ(d.APIReturn(), 1);
  EXPECT_EQ(c.file + "|" + c.title, "D:\\Save\\mail.qmb|mail.qmb");
  EXPECT_EQ(c.index, 2);
  EXPECT_EQ(c.filter, std::string("All Files\0*.*", 13));
  EXPECT_TRUE(c.readOnly);
  OpenCall longer;
  EXPECT_TRUE(longer.Run(d));
  EXPECT_EQ(longer.file.size(), 259u);
}

}  // namespace
