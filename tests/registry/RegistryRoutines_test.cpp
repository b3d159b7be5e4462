// RegistryRoutines against the registry of either build.
#include "registry/RegistryRoutines.h"

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "support/registry_keys.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/emulated/emulation.h"
#endif

using testsupport::TestKey;

namespace {


RegistryRoutines At(const std::string& keyRoot) {
  RegistryRoutines r;
  r.hKey(kHkeyCurrentUser);
  r.Subkey("");
  r.KeyRoot(keyRoot);
  return r;
}

TaggedValue Bytes(const std::string& s) {
  return TaggedValue::FromBytes(std::vector<std::uint8_t>(s.begin(), s.end()));
}

const std::string kNul(1, '\0');

}  // namespace

// CreateKey gives "0" and makes missing levels (below KeyRoot, or Subkey
// below the root without either); KeyExists looks at KeyRoot joined with
// Subkey; the identities are listed once each, in the registry's order.
TEST(RegistryKeys, CreateExistAndEnumerate) {
  TestKey t;
  RegistryRoutines r = At(t.Path());
  EXPECT_TRUE(r.KeyExists());  // "KeyRoot\" names KeyRoot itself
  EXPECT_EQ("0", r.CreateKey("a\\b\\c"));
  r.Subkey("nope");
  EXPECT_FALSE(r.KeyExists());
  r.Subkey("");
  r.KeyRoot(t.Path("a\\b\\c"));
  EXPECT_TRUE(r.KeyExists());
  r.hKey(0);
  EXPECT_EQ("", r.CreateKey("x"));
  RegistryRoutines fresh = At("");
  fresh.Subkey(t.Path("fresh"));
  EXPECT_EQ("0", fresh.CreateKey());
  EXPECT_EQ((std::vector<std::string>{"a", "fresh"}), fresh.EnumRegistryKeys(kHkeyCurrentUser, t.Path()));

  ASSERT_TRUE(testsupport::SeedRegistry(
      testsupport::MoveBelow(testsupport::ReadFixture("profile/profile.reg"), t.Path()), t.Files()));
  EXPECT_EQ((std::vector<std::string>{"{3F2A8C41-7B1E-4D5A-9C3E-1A2B3C4D5E6F}",
                                      "{8D4E2B17-5C3A-4F6B-A1D2-9E8F7A6B5C4D}",
                                      "{C1B2A3D4-E5F6-4789-ABCD-0123456789AB}"}),
            r.EnumRegistryKeys(kHkeyCurrentUser, t.Path("Identities")));
  EXPECT_TRUE(r.EnumRegistryKeys(kHkeyCurrentUser, t.Path("missing")).empty());
  EXPECT_TRUE(r.EnumRegistryValuesEx(kHkeyCurrentUser, t.Path("missing")).empty());
}

// Each type converts by the table; data longer than the first buffer comes
// whole and the next value follows; text the registry never terminated
// keeps its last character.
TEST(RegistryEnumValues, EachTypeLongDataAndUnterminatedText) {
  TestKey t;
  std::string big(5000, 'q');
  big[4999] = 'Z';
  testsupport::PutRawValue(t.Path(), "a empty sz", kRegSz, "");
  testsupport::PutRawValue(t.Path(), "b multi", kRegMultiSz, std::string("a\0b\0\0", 5));
  testsupport::PutRawValue(t.Path(), "c dword", kRegDword, "\xFF\xFF\xFF\xFF");
  testsupport::PutRawValue(t.Path(), "d expand", kRegExpandSz, "%QMTESTVAR%\\x" + kNul);
  testsupport::PutRawValue(t.Path(), "e binary", kRegBinary, std::string("\x0A\xFF\x00", 3));
  testsupport::PutRawValue(t.Path(), "f qword", platform::kRegTypeQword, "12345678");
  testsupport::PutRawValue(t.Path(), "g none", platform::kRegTypeNone, "zz");
  testsupport::PutRawValue(t.Path(), "h empty binary", kRegBinary, "");
  testsupport::PutRawValue(t.Path(), "i big", kRegSz, big + kNul);
  testsupport::PutRawValue(t.Path(), "j next", kRegDword, std::string("\x07\0\0\0", 4));
  testsupport::PutRawValue(t.Path(), "k multi unterminated", kRegMultiSz, std::string("a\0b", 3));
  testsupport::PutRawValue(t.Path(), "l unterminated", kRegSz, "abc");
  std::vector<RegistryValueEntry> e = RegistryRoutines().EnumRegistryValuesEx(kHkeyCurrentUser, t.Path());
  ASSERT_EQ(12u, e.size());
  const TaggedValue want[] = {TaggedValue(""), TaggedValue("a,b"), TaggedValue(-1), TaggedValue("%QMTESTVAR%\\x"),
                              Bytes(std::string("\x0A\xFF\x00", 3)), TaggedValue(), TaggedValue(), Bytes(""),
                              TaggedValue(big), TaggedValue(7), TaggedValue("a,b"), TaggedValue("abc")};
  for (std::size_t i = 0; i < e.size(); ++i) EXPECT_EQ(want[i], e[i].Data) << e[i].Name;
  EXPECT_EQ("f qword", e[5].Name);
  EXPECT_EQ(TaggedValue("abc"), At(t.Path()).GetRegistryValue("l unterminated"));
}

// ---- GetRegistryValue ----

TEST(RegistryGetValue, MissingKeyGivesErrorMissingValueGivesTheDefault) {
  TestKey t;
  RegistryRoutines r = At(t.Path("missing"));
  EXPECT_EQ(TaggedValue("Error!"), r.GetRegistryValue("x", TaggedValue("dflt")));
  r.KeyRoot(t.Path());
  EXPECT_EQ(TaggedValue("dflt"), r.GetRegistryValue("x", TaggedValue("dflt")));
  EXPECT_TRUE(r.GetRegistryValue("x").IsNothing());
  testsupport::PutRawValue(t.Path(), "empty", kRegSz, "");
  EXPECT_EQ(TaggedValue(5), r.GetRegistryValue("empty", TaggedValue(5)));
}

TEST(RegistryGetValue, EachTypeComesBackAsItsKind) {
  TestKey t;
#ifdef _WIN32
  ::SetEnvironmentVariableA("QMTESTVAR", "C:\\expanded");
#else
  platform::emu::SetEnvironment("QMTESTVAR", "C:\\expanded");
#endif
  testsupport::PutRawValue(t.Path(), "sz", kRegSz, "text" + kNul);
  testsupport::PutRawValue(t.Path(), "exp", kRegExpandSz, "%QMTESTVAR%\\x" + kNul);
  testsupport::PutRawValue(t.Path(), "bin", kRegBinary, std::string("\x01\x00\x02", 3));
  testsupport::PutRawValue(t.Path(), "dw", kRegDword, std::string("\0\0\0\x80", 4));
  testsupport::PutRawValue(t.Path(), "multi", kRegMultiSz, std::string("a\0b\0\0", 5));
  testsupport::PutRawValue(t.Path(), "emptymulti", kRegMultiSz, std::string("\0\0", 2));
  testsupport::PutRawValue(t.Path(), "q", platform::kRegTypeQword, "12345678");
  RegistryRoutines r = At(t.Path());
  EXPECT_EQ(TaggedValue("text"), r.GetRegistryValue("sz"));
  EXPECT_EQ(TaggedValue("C:\\expanded\\x"), r.GetRegistryValue("exp"));
  EXPECT_EQ(Bytes(std::string("\x01\x00\x02", 3)), r.GetRegistryValue("bin"));
  EXPECT_EQ(TaggedValue(static_cast<std::int32_t>(0x80000000u)), r.GetRegistryValue("dw"));
  EXPECT_EQ(TaggedValue(std::string("a\0b", 3)), r.GetRegistryValue("multi"));
  EXPECT_EQ(TaggedValue("d"), r.GetRegistryValue("emptymulti", TaggedValue("d")));
  EXPECT_EQ(TaggedValue("d"), r.GetRegistryValue("q", TaggedValue("d")));
}

// ---- SetRegistryValue ----

TEST(RegistrySetValue, WritesEachTypeAsTheRegistryStoresIt) {
  TestKey t;
  RegistryRoutines r = At(t.Path());
  EXPECT_TRUE(r.SetRegistryValue("sz", TaggedValue("hello"), kRegSz));
  EXPECT_TRUE(r.SetRegistryValue("multi", TaggedValue(std::string("a\0b\0", 4)), kRegMultiSz));
  EXPECT_TRUE(r.SetRegistryValue("dw", TaggedValue(-2), kRegDword));
  EXPECT_TRUE(r.SetRegistryValue("dwtext", TaggedValue("12"), kRegDword));
  EXPECT_TRUE(r.SetRegistryValue("bin", Bytes("\x01\x02"), kRegBinary));
  EXPECT_EQ("hello" + kNul, testsupport::RawValue(t.Path(), "sz").data);
  EXPECT_EQ(std::string("a\0b\0\0", 5), testsupport::RawValue(t.Path(), "multi").data);
  EXPECT_EQ("\xFE\xFF\xFF\xFF", testsupport::RawValue(t.Path(), "dw").data);
  EXPECT_EQ(std::string("\x0C\0\0\0", 4), testsupport::RawValue(t.Path(), "dwtext").data);
  EXPECT_EQ(kRegBinary, testsupport::RawValue(t.Path(), "bin").type);
  EXPECT_EQ("\x01\x02", testsupport::RawValue(t.Path(), "bin").data);
}

TEST(RegistrySetValue, RefusesWhatItCannotWriteAndCreatesNoKey) {
  TestKey t;
  RegistryRoutines r = At(t.Path("missing"));
  EXPECT_FALSE(r.SetRegistryValue("v", TaggedValue("x"), kRegSz));
  r.KeyRoot(t.Path());
  EXPECT_FALSE(r.KeyRoot().empty());
  EXPECT_TRUE(r.EnumRegistryKeys(kHkeyCurrentUser, t.Path()).empty());
  // A failure is never reported as success.
  EXPECT_FALSE(r.SetRegistryValue("v", TaggedValue("not a number"), kRegDword));
  EXPECT_FALSE(r.SetRegistryValue("v", TaggedValue("x"), platform::kRegTypeQword));
  EXPECT_TRUE(r.EnumRegistryValuesEx(kHkeyCurrentUser, t.Path()).empty());
}

#ifdef _WIN32
TEST(RegistrySetValue, WinesOwnRegQuerySeesTheWrittenValue) {
  TestKey t;
  RegistryRoutines r = At(t.Path());
  ASSERT_TRUE(r.SetRegistryValue("Account Name", TaggedValue("Mail (example.org)"), kRegSz));
  ASSERT_TRUE(r.SetRegistryValue("POP3 Port", TaggedValue(110), kRegDword));
  std::string out = testsupport::RunForOutput("reg.exe query \"HKEY_CURRENT_USER\\" + t.Path() +
                                              "\" /v \"Account Name\" 2>&1");
  EXPECT_NE(std::string::npos, out.find("REG_SZ")) << out;
  EXPECT_NE(std::string::npos, out.find("Mail (example.org)")) << out;
  out = testsupport::RunForOutput("reg.exe query \"HKEY_CURRENT_USER\\" + t.Path() +
                                  "\" /v \"POP3 Port\" 2>&1");
  EXPECT_NE(std::string::npos, out.find("REG_DWORD")) << out;
  EXPECT_NE(std::string::npos, out.find("0x6e")) << out;
}
#endif
