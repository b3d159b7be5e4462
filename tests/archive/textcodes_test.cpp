// Text conversions and entry names of the zip libraries.
#include "archive/textcodes.h"

#include <gtest/gtest.h>

#include <tuple>

#include "archive/EntryNames.h"

using namespace ziplib;

TEST(TextCodes, ConvertsBetweenAnsiOemAndUtf8) {
  EXPECT_EQ(AnsiToUtf8("Bo\xE9te plain.dbx"), "Bo\xC3\xA9te plain.dbx");
  EXPECT_EQ(Utf8ToAnsi("Gel\xC3\xB6scht"), "Gel\xF6scht");
  EXPECT_EQ(Utf8ToAnsi(""), "");
  // Info-ZIP on Windows stores "\xE9" and "\xF6" as OEM bytes 0x82 and 0x94.
  EXPECT_EQ(OemTextToAnsi("Gel\x94scht/r\x82su.dbx"), "Gel\xF6scht/r\xE9su.dbx");
  for (const char* text : {"abc", "\xC3\xA9\xC3\xB6", "\xF0\x9F\x98\x80", ""}) EXPECT_TRUE(IsUtf8(text)) << text;
  // A lone Windows-1252 byte, cut short, overlong "/", a surrogate, past U+10FFFF, a 4-byte overlong.
  for (const char* text : {"\xE9", "a\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF0\x8F\xBF\xBF"})
    EXPECT_FALSE(IsUtf8(text)) << text;
  EXPECT_TRUE(IsAscii("Inbox.dbx"));
  EXPECT_FALSE(IsAscii("\xC3\xA9"));
}

TEST(EntryNames, OnlyNamesThatStayInsideTheFolderAreSafe) {
  for (const char* name : {"IdList.lst", "{1234}/00000000/sig.txt", "a/./b", "console.txt", "Gel\xF6scht.dbx",
                           "COMA", "lpt0x"})
    EXPECT_TRUE(IsSafeEntryName(name)) << name;
  for (const char* name : {"../x", "..\\x", "a/../../x", "a/..", "/x", "\\x", "C:\\x", "C:x", "c:/x", "CON",
                           "con.txt", "d/NUL", "COM1", "lpt9.log", "a/AUX ", "x:stream", "..", "a/...", "a/ ",
                           "bad\x01name", "q?.txt", "", "COM\xB9", "lpt\xB2.txt", "d/Com\xB3"})
    EXPECT_FALSE(IsSafeEntryName(name)) << name;
}

TEST(EntryNames, WildcardsMatchLikeWindows) {
  for (auto [spec, name, match] : {std::tuple{"*.*", "noextension", true}, {"*.dbx", "Inbox.DBX", true},
                                   {"idlist.lst", "IdList.lst", true}, {"d/f", "D\\F", true}, {"a?c", "abc", true},
                                   {"a?c", "ac", false}, {"IdList.lst", "IdList.lst.bak", false},
                                   {"*.dbx", "Inbox.dbx.old", false}})
    EXPECT_EQ(MatchesSpec(spec, name), match) << spec << " " << name;
}
