// The registry seam: the emulated registry on the native build, Wine's
// registry on the Windows build, held to the same behaviour.
#include <gtest/gtest.h>

#include <vector>

#include "platform/registry.h"
#include "support/registry_keys.h"

using namespace platform;
using testsupport::TestKey;

namespace {

std::vector<std::string> Subkeys(const std::string& path) {
  std::vector<std::string> names;
  RegKey key;
  if (OpenRegKey(kRegCurrentUser, path, kRegKeyRead, key) != kRegOk) return names;
  std::string name;
  for (std::uint32_t i = 0; EnumRegSubkey(key, i, name) == kRegOk; ++i) names.push_back(name);
  return names;
}

std::vector<RegValue> Values(const std::string& path) {
  std::vector<RegValue> values;
  RegKey key;
  if (OpenRegKey(kRegCurrentUser, path, kRegKeyRead, key) != kRegOk) return values;
  RegValue v;
  for (std::uint32_t i = 0; EnumRegValue(key, i, v) == kRegOk; ++i) values.push_back(v);
  return values;
}


const std::string kSz = "x";
const std::string kNul(1, '\0');

}  // namespace

// ---- Order and letter case ----

TEST(RegistryOrder, SubkeysAndValuesComeSortedByLowerCaseCharacters) {
  TestKey t;
  // "\xE9" is e-acute, "\x80" the euro sign (U+20AC).
  const std::vector<std::string> scrambled = {"b", "\x80", "Zz", "10", "A_", "{", "2",
                                              "z", "\xE9", "aa", "1"};
  for (const std::string& n : scrambled) {
    RegKey k;
    ASSERT_EQ(kRegOk, CreateRegKey(kRegCurrentUser, t.Path(n), k));
    testsupport::PutRawValue(t.Path(), n, kRegTypeSz, kSz + kNul);
  }
  testsupport::PutRawValue(t.Path(), "", kRegTypeSz, kSz + kNul);
  const std::vector<std::string> expected = {"1", "10", "2", "A_", "aa", "b",
                                             "z", "Zz", "{", "\xE9", "\x80"};
  EXPECT_EQ(expected, Subkeys(t.Path()));
  std::vector<std::string> valueNames;
  for (const RegValue& v : Values(t.Path())) valueNames.push_back(v.name);
  std::vector<std::string> withDefault = {""};
  withDefault.insert(withDefault.end(), expected.begin(), expected.end());
  EXPECT_EQ(withDefault, valueNames);
}

TEST(RegistryOrder, NamesIgnoreLetterCaseAndKeepTheirFirstSpelling) {
  TestKey t;
  testsupport::PutRawValue(t.Path("Accounts"), "Account Name", kRegTypeSz, "one" + kNul);
  testsupport::PutRawValue(t.Path("ACCOUNTS"), "ACCOUNT NAME", kRegTypeSz, "two" + kNul);
  EXPECT_EQ(std::vector<std::string>{"Accounts"}, Subkeys(t.Path()));
  std::vector<RegValue> values = Values(t.Path("accounts"));
  ASSERT_EQ(1u, values.size());
  EXPECT_EQ("Account Name", values[0].name);
  EXPECT_EQ("two" + kNul, values[0].data);
  // Windows-1252 letters beyond ASCII match their other case too.
  testsupport::PutRawValue(t.Path("\xC4rger"), "v", kRegTypeSz, kSz + kNul);
  RegKey k;
  EXPECT_EQ(kRegOk, OpenRegKey(kRegCurrentUser, t.Path("\xE4RGER"), kRegKeyRead, k));
}

// ---- Paths ----

TEST(RegistryPaths, TrailingAndDoubledBackslashesAreToleratedALeadingOneIsNot) {
  TestKey t;
  RegKey k;
  ASSERT_EQ(kRegOk, CreateRegKey(kRegCurrentUser, t.Path("a\\b"), k));
  EXPECT_EQ(kRegOk, OpenRegKey(kRegCurrentUser, t.Path("a\\"), kRegKeyRead, k));
  EXPECT_EQ(kRegOk, OpenRegKey(kRegCurrentUser, t.Path("a\\\\b"), kRegKeyRead, k));
  EXPECT_EQ(kRegBadPath, OpenRegKey(kRegCurrentUser, "\\" + t.Path("a"), kRegKeyRead, k));
  EXPECT_EQ(kRegBadPath, CreateRegKey(kRegCurrentUser, "\\" + t.Path("c"), k));
  EXPECT_EQ(kRegNotFound, OpenRegKey(kRegCurrentUser, t.Path("missing\\"), kRegKeyRead, k));
}

// Names reach the system as C strings: a NUL ends them, as on Windows (a
// name kept whole natively once sent a branch export round in circles).
TEST(RegistryPaths, NamesEndAtANul) {
  TestKey t;
  RegKey k;
  ASSERT_EQ(kRegOk, CreateRegKey(kRegCurrentUser, t.Path("a" + kNul + "b"), k));
  testsupport::PutRawValue(t.Path("a"), "v" + kNul + "w", kRegTypeSz, kSz + kNul);
  EXPECT_EQ(std::vector<std::string>{"a"}, Subkeys(t.Path()));
  ASSERT_EQ(1u, Values(t.Path("a")).size());
  EXPECT_EQ("v", Values(t.Path("a"))[0].name);
}

TEST(RegistryPaths, CreateMakesEveryMissingLevelAndDeleteRemovesTheBranch) {
  TestKey t;
  RegKey k;
  ASSERT_EQ(kRegOk, CreateRegKey(kRegCurrentUser, t.Path("one\\two\\three"), k));
  k.Close();
  EXPECT_EQ(std::vector<std::string>{"two"}, Subkeys(t.Path("one")));
  EXPECT_EQ(kRegOk, DeleteRegBranch(kRegCurrentUser, t.Path("one")));
  EXPECT_EQ(kRegNotFound, OpenRegKey(kRegCurrentUser, t.Path("one\\two"), kRegKeyRead, k));
  EXPECT_TRUE(Subkeys(t.Path()).empty());
}

// ---- Access ----

TEST(RegistryAccess, AKeyOpenedForReadingIsNotWrittenAndViceVersa) {
  TestKey t;
  testsupport::PutRawValue(t.Path(), "v", kRegTypeSz, kSz + kNul);
  RegKey reading;
  ASSERT_EQ(kRegOk, OpenRegKey(kRegCurrentUser, t.Path(), kRegKeyRead, reading));
  EXPECT_EQ(kRegAccessDenied, SetRegValue(reading, "w", kRegTypeSz, kSz + kNul));
  RegKey writing;
  ASSERT_EQ(kRegOk, OpenRegKey(kRegCurrentUser, t.Path(), kRegKeyWrite, writing));
  RegValue v;
  EXPECT_EQ(kRegAccessDenied, EnumRegValue(writing, 0, v));
  EXPECT_EQ(kRegOk, SetRegValue(writing, "w", kRegTypeSz, kSz + kNul));
  EXPECT_EQ(2u, Values(t.Path()).size());
}

// ---- Data ----

TEST(RegistryData, LargeDataAndLongNamesEnumerateWholeAndTheNextValueFollows) {
  TestKey t;
  std::string big(9000, 'x');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>('a' + i % 26);
  std::string longName(300, 'n');
  testsupport::PutRawValue(t.Path(), "a big", kRegTypeBinary, big);
  testsupport::PutRawValue(t.Path(), longName, kRegTypeBinary, "abc");
  testsupport::PutRawValue(t.Path(), "z after", kRegTypeDword, std::string("\x05\0\0\0", 4));
  std::vector<RegValue> values = Values(t.Path());
  ASSERT_EQ(3u, values.size());
  EXPECT_EQ(big, values[0].data);
  EXPECT_EQ(longName, values[1].name);
  EXPECT_EQ("abc", values[1].data);
  EXPECT_EQ("z after", values[2].name);
  EXPECT_EQ(big, testsupport::RawValue(t.Path(), "A BIG").data);
}

TEST(RegistryData, OtherTypesAndEmptyDataKeepTheirRawBytes) {
  TestKey t;
  testsupport::PutRawValue(t.Path(), "q", kRegTypeQword, "12345678");
  testsupport::PutRawValue(t.Path(), "none", kRegTypeNone, "\x01\x02");
  testsupport::PutRawValue(t.Path(), "empty", kRegTypeBinary, "");
  testsupport::PutRawValue(t.Path(), "zero", kRegTypeSz, "");
  RegValue q = testsupport::RawValue(t.Path(), "q");
  EXPECT_EQ(kRegTypeQword, q.type);
  EXPECT_EQ("12345678", q.data);
  EXPECT_EQ(kRegTypeNone, testsupport::RawValue(t.Path(), "none").type);
  EXPECT_EQ("\x01\x02", testsupport::RawValue(t.Path(), "none").data);
  EXPECT_EQ(kRegTypeBinary, testsupport::RawValue(t.Path(), "empty").type);
  EXPECT_EQ("", testsupport::RawValue(t.Path(), "empty").data);
  EXPECT_EQ("", testsupport::RawValue(t.Path(), "zero").data);
}

TEST(RegistryData, TextStoredWithoutItsNulIsHandedOutWithOne) {
  TestKey t;
  testsupport::PutRawValue(t.Path(), "s", kRegTypeSz, "abc");
  EXPECT_EQ("abc" + kNul, testsupport::RawValue(t.Path(), "s").data);
  RegKey k;
  ASSERT_EQ(kRegOk, OpenRegKey(kRegCurrentUser, t.Path(), kRegKeyRead, k));
  RegValue v;
  EXPECT_EQ(kRegNotFound, QueryRegValue(k, "missing", v));
}

// ---- REGEDIT4 seeding (the emulated loader and regedit alike) ----

TEST(RegistrySeeding, TheDemoProfileLoadsWithEveryKindOfValue) {
  TestKey t;
  std::string reg = testsupport::MoveBelow(testsupport::ReadFixture("profile/profile.reg"), t.Path());
  ASSERT_FALSE(reg.empty());
  ASSERT_TRUE(testsupport::SeedRegistry(reg, t.Files()));
  const std::string ids = t.Path("Identities");
  EXPECT_EQ((std::vector<std::string>{"{3F2A8C41-7B1E-4D5A-9C3E-1A2B3C4D5E6F}",
                                      "{8D4E2B17-5C3A-4F6B-A1D2-9E8F7A6B5C4D}",
                                      "{C1B2A3D4-E5F6-4789-ABCD-0123456789AB}"}),
            Subkeys(ids));
  const std::string main = ids + "\\{3F2A8C41-7B1E-4D5A-9C3E-1A2B3C4D5E6F}\\Software\\Microsoft\\";
  RegValue store = testsupport::RawValue(main + "Outlook Express\\5.0", "Store Root");
  EXPECT_EQ(kRegTypeExpandSz, store.type);
  EXPECT_EQ(0u, store.data.find("%SystemDrive%\\Documents and Settings\\demo\\"));
  EXPECT_EQ('\0', store.data.back());
  RegValue groups = testsupport::RawValue(main + "Internet Account Manager\\Accounts\\00000002", "NNTP Group List");
  EXPECT_EQ(kRegTypeMultiSz, groups.type);
  EXPECT_EQ(std::string("comp.mail.misc\0alt.test\0\0", 25), groups.data);
  RegValue port = testsupport::RawValue(main + "Internet Account Manager\\Accounts\\00000001", "POP3 Port");
  EXPECT_EQ(kRegTypeDword, port.type);
  EXPECT_EQ(std::string("\x6e\0\0\0", 4), port.data);
  EXPECT_EQ("Move \"newsletters\" to Newsletters" + kNul,
            testsupport::RawValue(main + "Outlook Express\\5.0\\Rules\\Mail\\000", "Name").data);
  const std::string anna = ids + "\\{8D4E2B17-5C3A-4F6B-A1D2-9E8F7A6B5C4D}\\Software\\Microsoft\\";
  RegValue criteria = testsupport::RawValue(anna + "Outlook Express\\5.0\\Rules\\Mail\\000", "Criteria");
  EXPECT_EQ(kRegTypeBinary, criteria.type);
  EXPECT_EQ("", criteria.data);
  EXPECT_EQ("Kunden \xE4 \xF6 \xFC" + kNul,
            testsupport::RawValue(anna + "Outlook Express\\5.0\\Rules\\Mail\\000", "Name").data);
  EXPECT_EQ("C:\\Documents and Settings\\demo\\Application Data\\Microsoft\\Address Book\\demo.wab" +
                kNul,
            testsupport::RawValue(t.Path("Software\\Microsoft\\WAB\\WAB4\\Wab File Name"), "").data);
}

TEST(RegistrySeeding, AMinusKeyLineDeletesTheBranch) {
  TestKey t;
  ASSERT_TRUE(testsupport::SeedRegistry(
      "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\" + t.Path("gone\\deep") + "]\r\n\"v\"=dword:00000001\r\n\r\n" +
          "[HKEY_CURRENT_USER\\" + t.Path("kept") + "]\r\n\r\n[-HKEY_CURRENT_USER\\" + t.Path("gone") +
          "]\r\n\r\n",
      t.Files()));
  EXPECT_EQ(std::vector<std::string>{"kept"}, Subkeys(t.Path()));
}
