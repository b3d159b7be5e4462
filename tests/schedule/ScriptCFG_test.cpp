// The backup script file, byte for byte, and its failure handling.
#include "schedule/ScriptCFG.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/files.h"
#include "schedule/OleDate.h"
#include "support/sandbox.h"
#include "support/scripted_user.h"

using testsupport::Sandbox;
using testsupport::ScriptedUser;

namespace {

const std::string kSig = "OES1.00      Quillmere backup script file 1.0";
const std::string kNoon2000(std::string("\x00\x00\x00\x00\xD0\xD5\xE1\x40", 8));  // 36526.5
const std::string kSep(3, '\0');

ScriptCFG Script(const std::string& name, const std::string& flags) {
  ScriptCFG s;
  s.BackupFile("D:\\B.qmb");
  s.LastBackupDate(36526.5);  // 1 January 2000, 12:00
  s.Identities().Add(name);
  s.IDdetails().Add(flags);
  return s;
}

std::string Bytes(const ScriptCFG& s) {
  std::string out;
  EXPECT_TRUE(s.SaveBytes(out));
  return out;
}

TEST(ScriptBytes, WholeFileByHand) {
  // No password, empty comment, mixed flags.
  std::string expected = kSig + kNoon2000 + std::string(12, '\0') + "D:\\B.qmb" + kSep + kSep +
                         std::string("\x08\x00\x11\x00", 4) + "Main\x01" + "\r\n0\n\r\n\r\n0\n0" +
                         std::string(1, '\0');
  EXPECT_EQ(kSig.size(), 45u);
  EXPECT_EQ(Bytes(Script("Main", "1,0,1,1,0,0")), expected);
}

TEST(ScriptBytes, AllFlagsAreCrLfPairs) {
  std::string bytes = Bytes(Script("A", "1,1,1,1,1,1"));
  EXPECT_EQ(bytes.substr(bytes.size() - 13), "\x01\r\n\r\n\r\n\r\n\r\n\r" + std::string(1, '\0'));
}

TEST(ScriptBytes, PasswordIsComplementedAndCutAtTwelve) {
  ScriptCFG s = Script("A", "1,1,1,1,1,1");
  s.Password("secret");
  EXPECT_EQ(Bytes(s).substr(53, 12), std::string("\x8C\x9A\x9C\x8D\x9A\x8B", 6) + std::string(6, '\0'));
  s.Password("ABCDEFGHIJKLMNO");
  std::string bytes = Bytes(s);
  EXPECT_EQ(bytes[53], static_cast<char>(~'A'));
  EXPECT_EQ(bytes[64], static_cast<char>(~'L'));
  EXPECT_EQ(bytes.substr(65, 8), "D:\\B.qmb");  // nothing of "MNO" is kept
  ScriptCFG back;
  ASSERT_TRUE(back.LoadBytes(bytes));
  EXPECT_EQ(back.Password(), "ABCDEFGHIJKL");
}

TEST(ScriptBytes, RoundTripKeepsEveryStoredProperty) {
  ScriptCFG s = Script("Anna", "1,0,1,1,0,0");
  s.Comments("weekly");
  s.Password("abcde");
  s.Identities().Add("Ben");
  s.IDdetails().Add("0,0,0,0,0,1");
  ScriptCFG back;
  back.Password("old");
  ASSERT_TRUE(back.LoadBytes(Bytes(s)));
  EXPECT_EQ(back.BackupFile(), "D:\\B.qmb");
  EXPECT_EQ(back.Comments(), "weekly");
  EXPECT_EQ(back.Password(), "abcde");
  EXPECT_EQ(back.LastBackupDate(), 36526.5);
  EXPECT_EQ(back.Identities(), (TextList{"Anna", "Ben"}));
  EXPECT_EQ(back.IDdetails(), (TextList{"1,0,1,1,0,0", "0,0,0,0,0,1"}));
}

TEST(ScriptBytes, NoPasswordReadsBackEmptyAndEmptyCommentAsEmpty) {
  ScriptCFG back;
  ASSERT_TRUE(back.LoadBytes(Bytes(Script("A", "1,1,1,1,1,1"))));
  EXPECT_EQ(back.Password(), "");
  EXPECT_EQ(back.Comments(), "");
}

// Guards against names of 256+ bytes lost when records were split at 0x00/0x01.
TEST(ScriptBytes, LongNamesSurvive) {
  for (std::size_t length : {243u, 244u, 300u, 499u, 500u, 755u}) {
    std::string name(length, 'n');
    std::string bytes = Bytes(Script(name, "1,1,1,1,1,1"));
    ScriptCFG back;
    ASSERT_TRUE(back.LoadBytes(bytes)) << length;
    EXPECT_EQ(back.Identities(), TextList{name}) << length;
    EXPECT_EQ(back.IDdetails(), TextList{"1,1,1,1,1,1"}) << length;
  }
}

TEST(ScriptBytes, FileThatDoesNotFrameIsReadBySplitting) {
  // Records with another type code and a stray byte at the end.
  std::string text = "D:\\X.qmb" + kSep + "c" + kSep + std::string("\x02\x00\x09\x00", 4) + "P\x01\r\n0\n\r" +
                     std::string(1, '\0') + std::string("\x02\x00\x05\x00", 4) + "Q\x01\r" + std::string(1, '\0') + "z";
  ScriptCFG back;
  ASSERT_TRUE(back.LoadBytes(kSig + kNoon2000 + std::string(12, '\0') + text));
  EXPECT_EQ(back.BackupFile(), "D:\\X.qmb");
  EXPECT_EQ(back.Comments(), "c");
  EXPECT_EQ(back.Identities(), (TextList{"P", "Q"}));
  EXPECT_EQ(back.IDdetails(), (TextList{"1,0,1", "1"}));
}

TEST(ScriptBytes, RefusesWhatIsNoScript) {
  const std::string good = Bytes(Script("A", "1,1,1,1,1,1"));
  ScriptCFG s;
  s.Comments("unchanged");
  EXPECT_FALSE(s.LoadBytes(good.substr(0, 49)));
  EXPECT_FALSE(s.LoadBytes(good.substr(0, 64)));  // header cut short
  std::string otherSig = good;
  otherSig[20] = 'x';  // "OES1.00" intact, the rest differs
  EXPECT_FALSE(s.LoadBytes(otherSig));
  EXPECT_FALSE(s.LoadBytes(kSig + kNoon2000 + std::string(12, '\0') + "only one part" + kSep));
  EXPECT_FALSE(s.LoadBytes(kSig + kNoon2000 + std::string(12, '\0') + "a" + kSep + "b" + kSep + "c" + kSep));
  std::string nanDate = good;
  nanDate.replace(45, 8, std::string("\x00\x00\x00\x00\x00\x00\xF8\x7F", 8));
  EXPECT_FALSE(s.LoadBytes(nanDate));
  EXPECT_EQ(s.Comments(), "unchanged");
}

TEST(ScriptBytes, EveryTruncationIsSafe) {
  ScriptCFG s = Script(std::string(300, 'n'), "1,0,1,1,0,0");
  s.Identities().Add("B");
  s.IDdetails().Add("1,1,1,1,1,1");
  const std::string good = Bytes(s);
  for (std::size_t n = 0; n < good.size(); ++n) {
    ScriptCFG back;
    if (back.LoadBytes(good.substr(0, n))) {
      EXPECT_LE(back.Identities().Count(), 2) << n;
    }
  }
}

TEST(ScriptBytes, NoIdentitiesNothingToSave) {
  ScriptCFG s;
  std::string out;
  EXPECT_FALSE(s.SaveBytes(out));
  s.Identities().Add("A");
  EXPECT_FALSE(s.SaveBytes(out));  // no flags for it
}

TEST(ScriptFile, WriteThenReadOnDisk) {
  Sandbox box;
  ScriptedUser user;
  ScriptCFG s = Script("Anna", "1,1,0,1,1,1");
  ASSERT_TRUE(s.WriteScriptFile(box.Path("a.oes")));
  std::string bytes;
  ASSERT_TRUE(platform::ReadWholeFile(box.Path("a.oes"), bytes));
  EXPECT_EQ(bytes, Bytes(s));
  ScriptCFG back;
  ASSERT_TRUE(back.ReadScriptFile(box.Path("a.oes")));
  EXPECT_EQ(back.Identities(), TextList{"Anna"});
  EXPECT_TRUE(user.Shown().empty());
}

TEST(ScriptFile, ShorterScriptReplacesALongerFileWhole) {
  Sandbox box;
  ScriptCFG longer = Script(std::string(200, 'L'), "1,1,1,1,1,1");
  longer.Comments(std::string(500, 'c'));
  ASSERT_TRUE(longer.WriteScriptFile(box.Path("a.oes")));
  ScriptCFG shorter = Script("S", "1,1,1,1,1,1");
  ASSERT_TRUE(shorter.WriteScriptFile(box.Path("a.oes")));
  std::string bytes;
  ASSERT_TRUE(platform::ReadWholeFile(box.Path("a.oes"), bytes));
  EXPECT_EQ(bytes, Bytes(shorter));
}

TEST(ScriptFile, NoIdentitiesWritesNoFile) {
  Sandbox box;
  ScriptedUser user;
  ScriptCFG s;
  EXPECT_FALSE(s.WriteScriptFile(box.Path("a.oes")));
  EXPECT_FALSE(box.Exists("a.oes"));
  EXPECT_TRUE(user.Shown().empty());
}

std::vector<std::string> Names(const Sandbox& box) {
  std::vector<platform::DirEntry> entries;
  platform::ListFolder(box.Path("*.*"), entries);
  std::vector<std::string> names;
  for (const auto& e : entries)
    if (e.name != "." && e.name != "..") names.push_back(e.name);
  return names;
}

// Guards against a failed write leaving a damaged script or a stray file behind.
TEST(ScriptFile, FailedWriteKeepsTheOldScript) {
  Sandbox box;
  ScriptedUser user;
  ScriptCFG old = Script("Old", "1,1,1,1,1,1");
  ASSERT_TRUE(old.WriteScriptFile(box.Path("a.oes")));
  ASSERT_TRUE(platform::SetAttributes(box.Path("a.oes"), platform::kAttrReadOnly));
  EXPECT_FALSE(Script("New", "1,1,1,1,1,1").WriteScriptFile(box.Path("a.oes")));
  ASSERT_EQ(user.Shown().size(), 1u);
  EXPECT_EQ(user.Shown()[0].text, "Permission denied");
  EXPECT_EQ(user.Shown()[0].title, "WriteScriptFile");
  EXPECT_EQ(user.Shown()[0].Icon(), platform::kCritical);
  std::string bytes;
  ASSERT_TRUE(platform::ReadWholeFile(box.Path("a.oes"), bytes));
  EXPECT_EQ(bytes, Bytes(old));
  EXPECT_EQ(Names(box), std::vector<std::string>{"a.oes"});
  platform::SetAttributes(box.Path("a.oes"), platform::kAttrNormal);
}

TEST(ScriptFile, MissingFolderIsReported) {
  Sandbox box;
  ScriptedUser user;
  EXPECT_FALSE(Script("A", "1,1,1,1,1,1").WriteScriptFile(box.Path("none\\a.oes")));
  ASSERT_EQ(user.Shown().size(), 1u);
  EXPECT_EQ(user.Shown()[0].text, "Path not found");
  EXPECT_EQ(user.Shown()[0].title, "WriteScriptFile");
}

TEST(ScriptFile, UnreadableFilesAreReportedAndRefused) {
  Sandbox box;
  ScriptedUser user;
  ScriptCFG s;
  EXPECT_FALSE(s.ReadScriptFile(box.Path("none.oes")));
  box.MakeFolder("dir.oes");
  EXPECT_FALSE(s.ReadScriptFile(box.Path("dir.oes")));
  ASSERT_EQ(user.Shown().size(), 2u);
  EXPECT_EQ(user.Shown()[0].text, "File not found");
  EXPECT_EQ(user.Shown()[1].text, "Path/File access error");
  for (const auto& shown : user.Shown()) {
    EXPECT_EQ(shown.title, "ReadScriptFile");
    EXPECT_EQ(shown.Icon(), platform::kCritical);
  }
  box.WriteFile("short.oes", kSig);
  EXPECT_FALSE(s.ReadScriptFile(box.Path("short.oes")));
  EXPECT_EQ(user.Shown().size(), 2u);  // not a script: no box, the caller tells the user
}

TEST(OleDate, CalendarConversions) {
  EXPECT_EQ(OleDate::FromParts(1899, 12, 30), 0.0);
  EXPECT_EQ(OleDate::FromParts(2000, 1, 1, 12), 36526.5);
  EXPECT_EQ(OleDate::FromParts(1899, 12, 29, 6), -1.25);
  EXPECT_EQ(OleDate::DayNumber(-1.25), -1);
  EXPECT_EQ(OleDate::DayNumber(std::nan("")), 0);
  EXPECT_EQ(OleDate::CalendarDaysBetween(36526.99, 36527.01), 1);
  double now = OleDate::Now();
  EXPECT_TRUE(OleDate::IsValid(now));
  EXPECT_GT(now, OleDate::FromParts(2020, 1, 1));
}

}  // namespace
