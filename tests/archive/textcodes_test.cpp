// Text conversions and entry names of the zip libraries.
#include "archive/textcodes.h"

#include <gtest/gtest.h>

#include "archive/EntryNames.h"

using namespace ziplib;

namespace {
const std::string kAnsiE = "\xE9";        // é in Windows-1252
const std::string kAnsiO = "\xF6";        // ö
const std::string kUtf8E = "\xC3\xA9";
const std::string kUtf8O = "\xC3\xB6";
}  // namespace

TEST(TextCodes, AnsiAndUtf8RoundTrip) {
  EXPECT_EQ(AnsiToUtf8("Bo" + kAnsiE + "te de r" + kAnsiE + "ception"), "Bo" + kUtf8E + "te de r" + kUtf8E + "ception");
  EXPECT_EQ(Utf8ToAnsi("Gel" + kUtf8O + "scht"), "Gel" + kAnsiO + "scht");
  EXPECT_EQ(AnsiToUtf8("plain.dbx"), "plain.dbx");
  EXPECT_EQ(Utf8ToAnsi(""), "");
}

TEST(TextCodes, OemNamesReachTheProgramInAnsi) {
  // Info-ZIP on Windows stores "é" and "ö" as OEM bytes 0x82 and 0x94.
  EXPECT_EQ(OemTextToAnsi("Gel\x94scht/r\x82su.dbx"), "Gel" + kAnsiO + "scht/r" + kAnsiE + "su.dbx");
  EXPECT_EQ(OemTextToAnsi("Inbox.dbx"), "Inbox.dbx");
}

TEST(TextCodes, RecognisesUtf8) {
  EXPECT_TRUE(IsUtf8("abc"));
  EXPECT_TRUE(IsUtf8(kUtf8E + kUtf8O));
  EXPECT_FALSE(IsUtf8(kAnsiE));                 // a lone Windows-1252 byte
  EXPECT_FALSE(IsUtf8("\xC3"));                 // cut short
  EXPECT_FALSE(IsUtf8("\xC0\xAF"));             // overlong "/"
  EXPECT_FALSE(IsUtf8("\xED\xA0\x80"));         // a surrogate
  EXPECT_TRUE(IsAscii("Inbox.dbx"));
  EXPECT_FALSE(IsAscii(kUtf8E));
}

TEST(EntryNames, SafeNamesStayInsideTheFolder) {
  EXPECT_TRUE(IsSafeEntryName("IdList.lst"));
  EXPECT_TRUE(IsSafeEntryName("{1234}/Inbox.dbx"));
  EXPECT_TRUE(IsSafeEntryName("{1234}/00000000/sig.txt"));
  EXPECT_TRUE(IsSafeEntryName("a/./b"));
  EXPECT_TRUE(IsSafeEntryName("console.txt"));
  EXPECT_TRUE(IsSafeEntryName("Gel" + kAnsiO + "scht.dbx"));
}

TEST(EntryNames, HostileNamesAreRefused) {
  for (const char* name : {"../x", "..\\x", "a/../../x", "a/..", "/x", "\\x", "C:\\x", "C:x", "c:/x",
                           "CON", "con.txt", "d/NUL", "COM1", "lpt9.log", "a/AUX ", "x:stream", "..",
                           "a/...", "a/ ", "bad\x01name", "q?.txt", "", "COM\xB9", "lpt\xB2.txt", "d/Com\xB3"})
    EXPECT_FALSE(IsSafeEntryName(name)) << name;
}

TEST(EntryNames, WildcardsMatchLikeWindows) {
  EXPECT_TRUE(MatchesSpec("*.*", "noextension"));
  EXPECT_TRUE(MatchesSpec("*.dbx", "Inbox.DBX"));
  EXPECT_TRUE(MatchesSpec("idlist.lst", "IdList.lst"));
  EXPECT_TRUE(MatchesSpec("d/f", "D\\F"));
  EXPECT_TRUE(MatchesSpec("a?c", "abc"));
  EXPECT_FALSE(MatchesSpec("a?c", "ac"));
  EXPECT_FALSE(MatchesSpec("IdList.lst", "IdList.lst.bak"));
  EXPECT_FALSE(MatchesSpec("*.dbx", "Inbox.dbx.old"));
}
