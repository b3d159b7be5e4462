// The backup script file, byte for byte, and its failure handling.
#include "schedule/ScriptCFG.h"

#include <gtest/gtest.h>

#include <cmath>

#include "helpers/TextRecords.h"
#include "platform/files.h"
#include "platform/system.h"
#include "schedule/OleDate.h"
#include "support/sandbox.h"
#include "support/scripted_user.h"
#ifndef _WIN32
#include "platform/emulated/emulation.h"
#endif

using testsupport::Sandbox;
using testsupport::ScriptedUser;
using Fault = ScriptCFG::Fault;

namespace {

const std::string kSig = "OES1.00      Quillmere backup script file 1.0";
const std::string kNoon2000(std::string("\x00\x00\x00\x00\xD0\xD5\xE1\x40", 8));  // 36526.5
const std::string kSep(3, '\0');
const std::string kSealedField("\0PW-SEALED\0\0", 12);
const std::string kMarker("\0\0\0QMPW\x1A", 8);
const std::string kVersion1("\x01\x00", 2);

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

std::string Length32(std::size_t n) {
  std::string out;
  for (int i = 0; i < 4; ++i) out += static_cast<char>((n >> (8 * i)) & 0xFF);
  return out;
}

// A script's bytes read by hand: what comes before the sealed tail, and that
// tail once unsealed ("" when it is not there or not whole).
struct Sealed {
  std::string head, payload;
  explicit Sealed(const std::string& bytes) {
    std::size_t at = bytes.find(kMarker);
    head = bytes.substr(0, at);
    if (at == std::string::npos || bytes.compare(at + 8, 2, kVersion1) != 0 ||
        bytes.compare(at + 10, 4, Length32(bytes.size() - at - 14)) != 0)
      return;
    EXPECT_TRUE(platform::UnprotectForUser(bytes.substr(at + 14), payload));
  }
};

// A sealed tail made by hand around `payload`.
std::string SealedTail(const std::string& payload) {
  std::string sealed;
  EXPECT_TRUE(platform::ProtectForUser(payload, sealed));
  return kMarker + kVersion1 + Length32(sealed.size()) + sealed;
}

// A script of the earlier form: the password complemented in its field.
std::string EarlierForm(const std::string& password) {
  std::string field(12, '\0');
  for (std::size_t i = 0; i < password.size() && i < 12; ++i) field[i] = static_cast<char>(~static_cast<unsigned char>(password[i]));
  return kSig + kNoon2000 + field + "D:\\B.qmb" + kSep + kSep + std::string("\x08\x00\x06\x00", 4) + "A\x01\r\n\r" +
         std::string(1, '\0');
}

TEST(ScriptBytes, WholeFileByHand) {
  // No password, empty comment, mixed flags; then the sealed tail.
  std::string expected = kSig + kNoon2000 + kSealedField + "D:\\B.qmb" + kSep + kSep +
                         std::string("\x08\x00\x11\x00", 4) + "Main\x01" + "\r\n0\n\r\n\r\n0\n0" +
                         std::string(1, '\0');
  EXPECT_EQ(kSig.size(), 45u);
  Sealed file(Bytes(Script("Main", "1,0,1,1,0,0")));
  EXPECT_EQ(file.head, expected);
  EXPECT_EQ(file.payload, std::string(1, '\0'));  // AES-256, no password
  Sealed all(Bytes(Script("A", "1,1,1,1,1,1")));
  EXPECT_EQ(all.head.substr(all.head.size() - 13), "\x01\r\n\r\n\r\n\r\n\r\n\r" + std::string(1, '\0'));
}

// Guards against a password cut to 12 bytes, or kept where anyone reads
// it; every stored field comes back, long names too (once lost when records
// were split at 0x00/0x01).
TEST(ScriptBytes, RoundTripKeepsEveryFieldAndTheWholePasswordSealed) {
  struct Case {
    std::string password;
    bool compatible;
    std::size_t nameLength;
  };
  for (const Case& c : {Case{"", true, 243}, Case{"secret", false, 244}, Case{"ABCDEFGHIJKLMNO", true, 500},
                        Case{std::string(300, 'p') + "\xE9", false, 755}}) {
    SCOPED_TRACE(c.password);
    const std::string name(c.nameLength, 'n');
    ScriptCFG s = Script(name, "1,0,1,1,0,0");
    s.Comments("weekly");
    s.Identities().Add("Ben");
    s.IDdetails().Add("0,0,0,0,0,1");
    s.Password(c.password);
    s.CompatibleEncryption(c.compatible);
    const std::string bytes = Bytes(s);
    EXPECT_EQ(Sealed(bytes).payload, std::string(1, c.compatible ? '\x01' : '\x00') + c.password);
    if (!c.password.empty()) {
      EXPECT_EQ(bytes.find(c.password.substr(0, 5)), std::string::npos);
      EXPECT_EQ(bytes.find(EarlierForm(c.password).substr(53, 5)), std::string::npos);
    }
    ScriptCFG back;
    back.Password("old");
    back.CompatibleEncryption(!c.compatible);
    ASSERT_TRUE(back.LoadBytes(bytes));
    EXPECT_EQ(back.Password(), c.password);
    EXPECT_EQ(back.CompatibleEncryption(), c.compatible);
    EXPECT_EQ(back.BackupFile() + "|" + back.Comments(), "D:\\B.qmb|weekly");
    EXPECT_EQ(back.LastBackupDate(), 36526.5);
    EXPECT_EQ(back.Identities(), (TextList{name, "Ben"}));
    EXPECT_EQ(back.IDdetails(), (TextList{"1,0,1,1,0,0", "0,0,0,0,0,1"}));
  }
}

TEST(ScriptBytes, EarlierFormStillReads) {
  struct Case {
    std::string field, password;
  };
  for (const Case& c : {Case{"secret", "secret"}, Case{"ABCDEFGHIJKL", "ABCDEFGHIJKL"}, Case{"", "old"}}) {
    ScriptCFG back;
    back.Password("old");  // a field without a password leaves it
    back.CompatibleEncryption(true);
    Fault fault = Fault::kCannotSeal;
    ASSERT_TRUE(back.LoadBytes(EarlierForm(c.field), &fault)) << c.field;
    EXPECT_EQ(fault, Fault::kNone);
    EXPECT_EQ(back.Password(), c.password);
    EXPECT_FALSE(back.CompatibleEncryption());
    EXPECT_EQ(back.Identities(), TextList{"A"});
  }
}

// A reader of the earlier form sees neither records to the end nor three parts.
TEST(ScriptBytes, EarlierReaderRefusesTheCurrentForm) {
  const std::string text = Bytes(Script("A", "1,1,1,1,1,1")).substr(65);
  TextList records;
  EXPECT_FALSE(TextRecords::Parse(text, text.find(kSep + kSep) + 6, records));
  EXPECT_GT(SplitList(text, kSep).Count(), 3);
}

TEST(ScriptBytes, FileThatDoesNotFrameIsReadBySplitting) {
  // Records with another type code and a stray byte at the end.
  std::string text = "D:\\X.qmb" + kSep + "c" + kSep + std::string("\x02\x00\x09\x00", 4) + "P\x01\r\n0\n\r" +
                     std::string(1, '\0') + std::string("\x02\x00\x05\x00", 4) + "Q\x01\r" + std::string(1, '\0') + "z";
  ScriptCFG back;
  ASSERT_TRUE(back.LoadBytes(kSig + kNoon2000 + std::string(12, '\0') + text));
  EXPECT_EQ(back.BackupFile() + "|" + back.Comments(), "D:\\X.qmb|c");
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

TEST(ScriptBytes, EveryTruncationIsRefused) {
  ScriptCFG s = Script(std::string(300, 'n'), "1,0,1,1,0,0");
  s.Identities().Add("B");
  s.IDdetails().Add("1,1,1,1,1,1");
  s.Password("secret");
  const std::string good = Bytes(s);
  for (std::size_t n = 0; n < good.size(); ++n) {
    ScriptCFG back;
    Fault fault = Fault::kNone;
    EXPECT_FALSE(back.LoadBytes(good.substr(0, n), &fault)) << n;
    EXPECT_EQ(fault, n < ScriptCFG::kHeaderSize ? Fault::kNotAScript : Fault::kPasswordDamaged) << n;
  }
}

// Under Wine the password goes through the system's data protection.
TEST(ScriptFile, WriteThenReadOnDisk) {
  Sandbox box;
  ScriptedUser user;
  ScriptCFG s = Script("Anna", "1,1,0,1,1,1");
  s.Password("a passphrase of many words");
  s.CompatibleEncryption(true);
  ASSERT_TRUE(s.WriteScriptFile(box.Path("a.oes")));
  const std::string bytes = testsupport::FileBytes(box.Path("a.oes"));
  EXPECT_EQ(Sealed(bytes).head, Sealed(Bytes(s)).head);
  EXPECT_EQ(bytes.find("passphrase"), std::string::npos);
  ScriptCFG back;
  ASSERT_TRUE(back.ReadScriptFile(box.Path("a.oes")));
  EXPECT_EQ(back.Identities(), TextList{"Anna"});
  EXPECT_EQ(back.Password(), "a passphrase of many words");
  EXPECT_TRUE(back.CompatibleEncryption() && user.Shown().empty());
  // A shorter script replaces the longer file whole.
  ScriptCFG shorter = Script("S", "1,1,1,1,1,1");
  ASSERT_TRUE(shorter.WriteScriptFile(box.Path("a.oes")));
  EXPECT_EQ(Sealed(testsupport::FileBytes(box.Path("a.oes"))).head, Sealed(Bytes(shorter)).head);
}

// Guards against a failed write leaving a damaged script or a stray file
// behind. A script without identities, or without their flags, is not written.
TEST(ScriptFile, FailedWriteKeepsTheOldScript) {
  Sandbox box;
  ScriptedUser user;
  ScriptCFG none;
  std::string out;
  EXPECT_FALSE(none.SaveBytes(out));
  none.Identities().Add("A");
  EXPECT_FALSE(none.SaveBytes(out) || none.WriteScriptFile(box.Path("a.oes")));
  EXPECT_FALSE(box.Exists("a.oes"));
  EXPECT_TRUE(user.Shown().empty());
  ScriptCFG old = Script("Old", "1,1,1,1,1,1");
  ASSERT_TRUE(old.WriteScriptFile(box.Path("a.oes")));
  ASSERT_TRUE(platform::SetAttributes(box.Path("a.oes"), platform::kAttrReadOnly));
  EXPECT_FALSE(Script("New", "1,1,1,1,1,1").WriteScriptFile(box.Path("a.oes")));
  ASSERT_EQ(user.Shown().size(), 1u);
  EXPECT_EQ(user.Shown()[0].text + "|" + user.Shown()[0].title, "Permission denied|WriteScriptFile");
  EXPECT_EQ(user.Shown()[0].Icon(), platform::kCritical);
  EXPECT_EQ(Sealed(testsupport::FileBytes(box.Path("a.oes"))).head, Sealed(Bytes(old)).head);
  std::vector<platform::DirEntry> entries;
  platform::ListFolder(box.Path("*.oes*"), entries);
  EXPECT_EQ(entries.size(), 1u);
  platform::SetAttributes(box.Path("a.oes"), platform::kAttrNormal);
  EXPECT_FALSE(Script("A", "1,1,1,1,1,1").WriteScriptFile(box.Path("none\\a.oes")));
  EXPECT_EQ(user.Shown().back().text, "Path not found");
  EXPECT_EQ(user.Shown().back().title, "WriteScriptFile");
}

// A file that cannot be read, or whose sealed tail is damaged or foreign:
// a clear message, the object as it was, never a script read with no
// password. What is no script at all shows no box: the caller tells the user.
TEST(ScriptFile, UnreadableFilesAndPasswordsAreReportedAndRefused) {
  Sandbox box;
  ScriptedUser user;
  box.MakeFolder("dir.oes");
  box.WriteFile("short.oes", kSig);
  for (auto [name, text] : {std::pair{"none.oes", "File not found"}, {"dir.oes", "Path/File access error"}, {"short.oes", ""}}) {
    ScriptCFG read;
    const std::size_t shown = user.Shown().size();
    EXPECT_FALSE(read.ReadScriptFile(box.Path(name)));
    ASSERT_EQ(user.Shown().size(), shown + (*text ? 1 : 0)) << name;
    if (*text) { EXPECT_EQ(user.Shown().back().text, text); }
  }
  ScriptCFG s = Script("A", "1,1,1,1,1,1");
  s.Password("secret");
  const std::string good = Bytes(s);
  const std::size_t at = good.find(kMarker);
  auto with = [&](std::size_t offset, const std::string& bytes) { return std::string(good).replace(offset, bytes.size(), bytes); };
  const std::string damaged = "The password in this backup script cannot be read: the file is damaged.",
                    notOurs = "The password in this backup script cannot be read. It was saved by another user or "
                              "on another computer, or the file is damaged.";
  struct Case {
    const char* what;
    std::string bytes;
    Fault fault;
    std::string message;
  };
  const Case cases[] = {
      {"tail cut off", good.substr(0, at), Fault::kPasswordDamaged, damaged},
      {"earlier password field", with(53, EarlierForm("secret").substr(53, 12)), Fault::kPasswordDamaged, damaged},
      {"marker changed", with(at + 4, "X"), Fault::kPasswordDamaged, damaged},
      {"later version", with(at + 8, "\x02"), Fault::kPasswordTooNew,
       "The password in this backup script cannot be read: the script was saved by a later version of Quillmere."},
      {"length one more", with(at + 10, Length32(good.size() - at - 13)), Fault::kPasswordDamaged, damaged},
      {"a byte added", good + "x", Fault::kPasswordDamaged, damaged},
      {"sealed byte changed", with(good.size() - 1, std::string(1, static_cast<char>(good.back() ^ 1))),
       Fault::kPasswordNotOurs, notOurs},
      {"encryption neither 0 nor 1", good.substr(0, at) + SealedTail("\x02secret"), Fault::kPasswordDamaged, damaged},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptCFG back = Script("Kept", "1");
    back.Password("kept");
    Fault fault = Fault::kNone;
    EXPECT_FALSE(back.LoadBytes(c.bytes, &fault));
    EXPECT_EQ(fault, c.fault);
    box.WriteFile("a.oes", c.bytes);
    const std::size_t shown = user.Shown().size();
    EXPECT_FALSE(back.ReadScriptFile(box.Path("a.oes")));
    ASSERT_EQ(user.Shown().size(), shown + 1);
    EXPECT_EQ(user.Shown().back().text, c.message);
    EXPECT_EQ(back.Password(), "kept");
    EXPECT_EQ(back.Identities(), TextList{"Kept"});
  }
  for (const auto& shown : user.Shown()) {
    EXPECT_EQ(shown.title, "ReadScriptFile");
    EXPECT_EQ(shown.Icon(), platform::kCritical);
  }
  // The same bytes made whole again read.
  ScriptCFG back;
  EXPECT_TRUE(back.LoadBytes(good.substr(0, at) + SealedTail(std::string("\0secret", 7))));
  EXPECT_EQ(back.Password(), "secret");
#ifndef _WIN32
  // Another account, and no account to seal for.
  box.WriteFile("a.oes", good);
  platform::emu::SetCurrentUser("someone else");
  EXPECT_FALSE(back.ReadScriptFile(box.Path("a.oes")));
  EXPECT_EQ(user.Shown().back().text, notOurs);
  platform::emu::SetCurrentUser("");
  EXPECT_FALSE(s.WriteScriptFile(box.Path("b.oes")));
  EXPECT_EQ(user.Shown().back().text,
            "The password could not be protected for your user account, so the script was not saved.");
  EXPECT_EQ(user.Shown().back().title, "WriteScriptFile");
  EXPECT_FALSE(box.Exists("b.oes"));
#endif
}

TEST(OleDate, CalendarConversions) {
  EXPECT_EQ(OleDate::FromParts(1899, 12, 30), 0.0);
  EXPECT_EQ(OleDate::FromParts(2000, 1, 1, 12), 36526.5);
  EXPECT_EQ(OleDate::FromParts(1899, 12, 29, 6), -1.25);
  EXPECT_EQ(OleDate::FromParts(1899, 12, 30, 6), 0.25);  // day 0 counts forward
  EXPECT_EQ(OleDate::FromParts(2000, 3, 1), 36586.0);
  EXPECT_TRUE(OleDate::IsValid(OleDate::kMin));
  EXPECT_FALSE(OleDate::IsValid(OleDate::kMax));
  EXPECT_EQ(OleDate::DayNumber(-1.25), -1);
  EXPECT_EQ(OleDate::DayNumber(std::nan("")), 0);
  EXPECT_EQ(OleDate::CalendarDaysBetween(36526.99, 36527.01), 1);
  EXPECT_GT(OleDate::Now(), OleDate::FromParts(2020, 1, 1));
}

}  // namespace
