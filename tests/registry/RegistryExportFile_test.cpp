// The registry export file: SaveKey and RestoreKey, on either build.
#include <gtest/gtest.h>

#include <map>

#include "platform/files.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "registry/RegistryRoutines.h"
#include "support/registry_keys.h"
#include "support/sandbox.h"

using testsupport::TestKey;

// Readable failure messages.
void PrintTo(const TaggedValue& v, std::ostream* os) {
  if (v.IsNumber()) *os << "number " << v.number();
  else if (v.IsText()) *os << "text \"" << v.text() << "\"";
  else if (v.IsBytes()) *os << "bytes[" << v.bytes().size() << "]";
  else *os << "nothing";
}

namespace {

std::string Lines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\r\n";
  return out;
}


bool Exists(const std::string& path) {
  platform::RegKey key;
  return platform::OpenRegKey(platform::kRegCurrentUser, path, platform::kRegKeyRead, key) ==
         platform::kRegOk;
}

// Every key of a branch (by its path below the branch) with its values.
using Snapshot = std::map<std::string, std::vector<std::pair<std::string, TaggedValue>>>;
void Take(const std::string& base, const std::string& rel, Snapshot& snap) {
  RegistryRoutines r;
  std::string path = rel.empty() ? base : base + "\\" + rel;
  auto& values = snap[rel];
  for (const RegistryValueEntry& e : r.EnumRegistryValuesEx(kHkeyCurrentUser, path))
    values.emplace_back(e.Name, e.Data);
  for (const std::string& sub : r.EnumRegistryKeys(kHkeyCurrentUser, path))
    Take(base, rel.empty() ? sub : rel + "\\" + sub, snap);
}
Snapshot Take(const std::string& base) {
  Snapshot s;
  Take(base, "", s);
  return s;
}

// As the backup run exports and the restore run imports.
std::string Export(const std::string& key, const std::string& file) {
  RegistryRoutines r;
  r.hKey(kHkeyCurrentUser);
  r.Subkey("");
  r.KeyRoot(key);
  EXPECT_TRUE(r.SaveKey(r.KeyRoot(), file, kHkeyCurrentUser, true, false));
  return testsupport::FileBytes(file);
}
bool Import(const std::string& target, const std::string& file) {
  RegistryRoutines r;
  r.hKey(kHkeyCurrentUser);
  r.Subkey("");
  r.KeyRoot(target);
  r.CreateKey();
  return r.RestoreKey(r.KeyRoot(), file, kHkeyCurrentUser);
}

const std::string kNul(1, '\0');
const std::vector<std::string> kExample = {
    "Quillmere Registry File",
    "",
    "[HKEY_CURRENT_USER\\<%QuillmereKeyName%>]",
    "@=\"Main\"",
    "\"Path\"=\"C:\\\\Data\\\\\\\"x\\\"\"",
    "\"Count\"=dword:5",
    "",
    "[HKEY_CURRENT_USER\\<%QuillmereKeyName%>\\Sub]",
    "\"Blob\"=hex:01,A0",
    ""};

}  // namespace

// ---- Writing ----

TEST(ExportFileWrite, TheExampleBranchIsWrittenByteForByte) {
  TestKey t;
  testsupport::PutRawValue(t.Path("src"), "", kRegSz, "Main" + kNul);
  testsupport::PutRawValue(t.Path("src"), "Path", kRegSz, "C:\\Data\\\"x\"" + kNul);
  testsupport::PutRawValue(t.Path("src"), "Count", kRegDword, std::string("\x05\0\0\0", 4));
  testsupport::PutRawValue(t.Path("src\\Sub"), "Blob", kRegBinary, "\x01\xA0");
  std::string file = t.Files().Path("example.bkr");
  // Values come in the registry's order; this registry sorts them by name,
  // so "Count" comes before "Path".
  std::vector<std::string> expected = kExample;
  std::swap(expected[4], expected[5]);
  EXPECT_EQ(Lines(expected), Export(t.Path("src"), file));
}

TEST(ExportFileWrite, KeyWithoutValuesNumbersAndEmptyBinary) {
  TestKey t;
  testsupport::PutRawValue(t.Path("k"), "min", kRegDword, std::string("\0\0\0\x80", 4));
  testsupport::PutRawValue(t.Path("k"), "none", kRegBinary, "");
  testsupport::PutRawValue(t.Path("k"), "q", platform::kRegTypeQword, "12345678");
  platform::RegKey empty;
  ASSERT_EQ(platform::kRegOk,
            platform::CreateRegKey(platform::kRegCurrentUser, t.Path("k\\empty"), empty));
  std::string file = t.Files().Path("k.bkr");
  EXPECT_EQ(Lines({"Quillmere Registry File", "", "[HKEY_CURRENT_USER\\<%QuillmereKeyName%>]",
                   "\"min\"=dword:-2147483648", "\"none\"=hex:", "\"q\"=", "",
                   "[HKEY_CURRENT_USER\\<%QuillmereKeyName%>\\empty]", ""}),
            Export(t.Path("k"), file));
}

TEST(ExportFileWrite, AppendingAddsBlocksWithoutASecondHeader) {
  TestKey t;
  testsupport::PutRawValue(t.Path("a"), "v", kRegSz, "1" + kNul);
  testsupport::PutRawValue(t.Path("b"), "w", kRegSz, "2" + kNul);
  std::string file = t.Files().Path("two.bkr");
  RegistryRoutines r;
  ASSERT_TRUE(r.SaveKey(t.Path("a") + "\\", file, kHkeyCurrentUser));
  EXPECT_EQ(t.Path("a"), r.Subkey());  // the branch base, without the trailing backslash
  ASSERT_TRUE(r.SaveKey(t.Path("a\\sub"), file, kHkeyCurrentUser, false, true));
  r.Subkey("");
  ASSERT_TRUE(r.SaveKey(t.Path("b"), file, kHkeyCurrentUser, false, true));
  EXPECT_EQ(Lines({"Quillmere Registry File", "", "[HKEY_CURRENT_USER\\<%QuillmereKeyName%>]",
                   "\"v\"=\"1\"", "", "[HKEY_CURRENT_USER\\<%QuillmereKeyName%>\\sub]", "",
                   "[HKEY_CURRENT_USER\\" + t.Path("b") + "]", "\"w\"=\"2\"", ""}),
            testsupport::FileBytes(file));
}

TEST(ExportFileWrite, AppendingToANewFileStartsWithTheHeader) {
  TestKey t;
  std::string file = t.Files().Path("new.bkr");
  RegistryRoutines r;
  ASSERT_TRUE(r.SaveKey(t.Path(), file, kHkeyCurrentUser, false, true));
  EXPECT_EQ(0u, testsupport::FileBytes(file).find("Quillmere Registry File\r\n\r\n[HKEY_CURRENT_USER\\"));
}

TEST(ExportFileWrite, AFileThatCannotBeWrittenIsReported) {
  // Guards against reporting a failed export as done.
  TestKey t;
  RegistryRoutines r;
  platform::SetMousePointer(platform::MousePointer::Default);
  EXPECT_FALSE(r.SaveKey(t.Path(), t.Files().Path("no such folder\\x.bkr"), kHkeyCurrentUser));
  EXPECT_EQ(platform::MousePointer::Default, platform::CurrentMousePointer());
}

TEST(ExportFileWrite, OnlyTheLeadingBaseBecomesThePlaceholder) {
  // Guards against a subkey path that repeats the base being moved on import.
  TestKey t;
  std::string base = t.Path("b");
  testsupport::PutRawValue(base + "\\" + base, "deep", kRegSz, "x" + kNul);
  std::string file = t.Files().Path("repeat.bkr");
  std::string text = Export(base, file);
  EXPECT_NE(std::string::npos,
            text.find("[HKEY_CURRENT_USER\\<%QuillmereKeyName%>\\" + base + "]\r\n\"deep\"=\"x\""));
  ASSERT_TRUE(Import(t.Path("other"), file));
  EXPECT_EQ("x" + kNul, testsupport::RawValue(t.Path("other") + "\\" + base, "deep").data);
}

// ---- Reading ----

TEST(ExportFileRead, TheExampleImportsBelowAnotherKey) {
  TestKey t;
  t.Files().WriteFile("example.bkr", Lines(kExample));
  ASSERT_TRUE(Import(t.Path("P"), t.Files().Path("example.bkr")));
  EXPECT_EQ("Main" + kNul, testsupport::RawValue(t.Path("P"), "").data);
  EXPECT_EQ("C:\\Data\\\"x\"" + kNul, testsupport::RawValue(t.Path("P"), "Path").data);
  EXPECT_EQ(std::string("\x05\0\0\0", 4), testsupport::RawValue(t.Path("P"), "Count").data);
  EXPECT_EQ(kRegDword, testsupport::RawValue(t.Path("P"), "Count").type);
  EXPECT_EQ("\x01\xA0", testsupport::RawValue(t.Path("P\\Sub"), "Blob").data);
  EXPECT_EQ(kRegBinary, testsupport::RawValue(t.Path("P\\Sub"), "Blob").type);
}

TEST(ExportFileRead, HeaderRules) {
  TestKey t;
  const std::string body = "[HKEY_CURRENT_USER\\<%QuillmereKeyName%>]\r\n\"v\"=\"x\"\r\n\r\n";
  t.Files().WriteFile("spaces.bkr", "  Quillmere Registry File  \r\n\r\n" + body);
  t.Files().WriteFile("case.bkr", "Quillmere registry file\r\n\r\n" + body);
  t.Files().WriteFile("empty.bkr", "");
  t.Files().MakeFolder("folder.bkr");
  RegistryRoutines r;
  EXPECT_TRUE(r.RestoreKey(t.Path("a"), t.Files().Path("spaces.bkr"), kHkeyCurrentUser));
  EXPECT_EQ("x" + kNul, testsupport::RawValue(t.Path("a"), "v").data);
  EXPECT_FALSE(r.RestoreKey(t.Path("b"), t.Files().Path("case.bkr"), kHkeyCurrentUser));
  EXPECT_FALSE(Exists(t.Path("b")));
  EXPECT_FALSE(r.RestoreKey(t.Path("c"), t.Files().Path("empty.bkr"), kHkeyCurrentUser));
  EXPECT_FALSE(r.RestoreKey(t.Path("c"), t.Files().Path("folder.bkr"), kHkeyCurrentUser));
  EXPECT_FALSE(r.RestoreKey(t.Path("c"), t.Files().Path("missing.bkr"), kHkeyCurrentUser));
}

TEST(ExportFileRead, LinesItCannotReadArePassedOver) {
  TestKey t;
  t.Files().WriteFile(
      "odd.bkr", Lines({"Quillmere Registry File", "", "[HKEY_CURRENT_USER\\<%QuillmereKeyName%>]",
                        "\"a\"=", "\"b\"=x", "\"c\"=hex:zz", "\"d\"=dword:12x", "\"e\"=dword:99999999999",
                        "\"f", "; comment", "@=", "\"g\"=dword:7", "\"C:\\new\"=\"kept\"",
                        "\"\\\\srv\"=\"two\""}));
  RegistryRoutines r;
  ASSERT_TRUE(r.RestoreKey(t.Path("k"), t.Files().Path("odd.bkr"), kHkeyCurrentUser));
  EXPECT_EQ(t.Path("k"), r.KeyRoot());
  std::vector<RegistryValueEntry> e = r.EnumRegistryValuesEx(kHkeyCurrentUser, t.Path("k"));
  ASSERT_EQ(3u, e.size());
  // Names read as they always were: "\n" in a name is a backslash and an n.
  EXPECT_EQ("\\srv", e[0].Name);
  EXPECT_EQ("C:\\new", e[1].Name);
  EXPECT_EQ(TaggedValue("kept"), e[1].Data);
  EXPECT_EQ(TaggedValue(7), e[2].Data);
}

// ---- Writing only below the target ----

TEST(ExportFileTarget, KeyLinesThatDoNotLeadBelowTheTargetWriteNothing) {
  // Guards against a crafted archive writing any key of the user.
  TestKey t;
  t.Files().WriteFile(
      "crafted.bkr",
      Lines({"Quillmere Registry File", "", "\"early\"=\"x\"", "",
             "[HKEY_CURRENT_USER\\" + t.Path("outside") + "]", "\"a\"=\"x\"", "",
             "[HKEY_CURRENT_USER\\" + t.Path("x") + "<%QuillmereKeyName%>]", "\"b\"=\"x\"", "",
             "[HKEY_CURRENT_USER\\<%QuillmereKeyName%>\\..\\..\\escape]", "\"c\"=\"x\"", "",
             "[HKEY_CURRENT_USER\\<%QuillmereKeyName%>X]", "\"d\"=\"x\"", "",
             "[HKEY_CURRENT_USER\\<%QuillmereKeyName%>\\\\twice]", "\"e\"=\"x\"", "",
             "[<%QuillmereKeyName%>\\sub]", "\"f\"=\"x\"", ""}));
  ASSERT_TRUE(Import(t.Path("target"), t.Files().Path("crafted.bkr")));
  EXPECT_EQ(std::vector<std::string>{"target"}, RegistryRoutines().EnumRegistryKeys(kHkeyCurrentUser, t.Path()));
  EXPECT_TRUE(RegistryRoutines().EnumRegistryKeys(kHkeyCurrentUser, t.Path("target")).empty());
  EXPECT_TRUE(RegistryRoutines().EnumRegistryValuesEx(kHkeyCurrentUser, t.Path("target")).empty());
  EXPECT_TRUE(RegistryRoutines().EnumRegistryValuesEx(kHkeyCurrentUser, t.Path()).empty());
}

// ---- Text with line breaks ----

TEST(ExportFileLineBreaks, AValueWithLineBreaksStaysOneValue) {
  // Guards against text data injecting key or value lines of its own.
  TestKey t;
  const std::string crafted = "line one\r\n[HKEY_CURRENT_USER\\Software\\Evil]\r\n\"x\"=\"y\"\nend\\n\r";
  testsupport::PutRawValue(t.Path("src"), "text", kRegSz, crafted + kNul);
  testsupport::PutRawValue(t.Path("src"), "z", kRegDword, std::string("\x01\0\0\0", 4));
  // A name is written as it is, but for a line break, which stays escaped.
  testsupport::PutRawValue(t.Path("src"), "a\r\n[b]", kRegSz, "named" + kNul);
  std::string file = t.Files().Path("breaks.bkr");
  std::string text = Export(t.Path("src"), file);
  EXPECT_NE(std::string::npos,
            text.find("\"text\"=\"line one\\r\\n[HKEY_CURRENT_USER\\\\Software\\\\Evil]\\r\\n"
                      "\\\"x\\\"=\\\"y\\\"\\nend\\\\n\\r\"\r\n\"z\"=dword:1\r\n"));
  ASSERT_TRUE(Import(t.Path("dst"), file));
  EXPECT_EQ(crafted + kNul, testsupport::RawValue(t.Path("dst"), "text").data);
  EXPECT_EQ(std::string("\x01\0\0\0", 4), testsupport::RawValue(t.Path("dst"), "z").data);
  EXPECT_EQ(std::vector<std::string>{}, RegistryRoutines().EnumRegistryKeys(kHkeyCurrentUser, t.Path("dst")));
  EXPECT_EQ("named" + kNul, testsupport::RawValue(t.Path("dst"), "a\\r\\n[b]").data);
  EXPECT_EQ(3u, RegistryRoutines().EnumRegistryValuesEx(kHkeyCurrentUser, t.Path("dst")).size());
}

// ---- Round trip ----

TEST(ExportFileRoundTrip, AnIdentityBranchMovesToAnotherIdentity) {
  TestKey t;
  ASSERT_TRUE(testsupport::SeedRegistry(
      testsupport::MoveBelow(testsupport::ReadFixture("profile/profile.reg"), t.Path()), t.Files()));
  const std::string from = t.Path("Identities\\{3F2A8C41-7B1E-4D5A-9C3E-1A2B3C4D5E6F}\\Software\\Microsoft\\");
  const std::string to = t.Path("Identities\\{C1B2A3D4-E5F6-4789-ABCD-0123456789AB}\\Software\\Microsoft\\");
  testsupport::PutRawValue(from + "Outlook Express\\5.0\\Signatures\\00000001", "C:\\odd \"name\"", kRegSz,
      "\\\\server\\share\\\"quoted\"\\" + kNul);
  testsupport::PutRawValue(from + "Outlook Express\\5.0\\Signatures\\00000001", "unc", kRegSz,
      "\\\\server\\share\\\"quoted\"\\" + kNul);
  testsupport::PutRawValue(from + "Outlook Express\\5.0\\Signatures\\00000001", "multi", kRegMultiSz,
      std::string("a\0b\0\0", 5));
  for (const std::string branch : {"Internet Account Manager", "Outlook Express\\5.0"}) {
    std::string file = t.Files().Path("branch.bkr");
    Export(from + branch, file);
    ASSERT_TRUE(Import(to + branch, file));
    Snapshot want = Take(from + branch);
    // A name holding a double quote ends at that quote and is not restored.
    auto sig = want.find("Signatures\\00000001");
    if (sig != want.end()) {
      auto& values = sig->second;
      for (auto it = values.begin(); it != values.end(); ++it)
        if (it->first == "C:\\odd \"name\"") {
          values.erase(it);
          break;
        }
    }
    EXPECT_EQ(want, Take(to + branch)) << branch;
  }
  EXPECT_EQ(kRegSz, testsupport::RawValue(to + "Internet Account Manager\\Accounts\\00000002", "NNTP Group List").type);
  EXPECT_EQ("comp.mail.misc,alt.test" + kNul,
            testsupport::RawValue(to + "Internet Account Manager\\Accounts\\00000002", "NNTP Group List").data);
  EXPECT_EQ(kRegSz, testsupport::RawValue(to + "Outlook Express\\5.0", "Store Root").type);
  EXPECT_EQ(0u, testsupport::RawValue(to + "Outlook Express\\5.0", "Store Root").data.find("%SystemDrive%\\"));
}

TEST(ExportFileRoundTrip, AnEmptyBinaryValueComesBackEmptyAndTheRestFollows) {
  TestKey t;
  ASSERT_TRUE(testsupport::SeedRegistry(
      testsupport::MoveBelow(testsupport::ReadFixture("profile/profile.reg"), t.Path()), t.Files()));
  const std::string rules =
      t.Path("Identities\\{8D4E2B17-5C3A-4F6B-A1D2-9E8F7A6B5C4D}\\Software\\Microsoft\\Outlook Express\\5.0\\Rules");
  std::string file = t.Files().Path("rules.bkr");
  EXPECT_NE(std::string::npos, Export(rules, file).find("\"Criteria\"=hex:\r\n"));
  ASSERT_TRUE(Import(t.Path("copy"), file));
  platform::RegValue criteria = testsupport::RawValue(t.Path("copy\\Mail\\000"), "Criteria");
  EXPECT_EQ(kRegBinary, criteria.type);
  EXPECT_EQ("", criteria.data);
  EXPECT_EQ(std::string("\x01\0\0\0", 4), testsupport::RawValue(t.Path("copy\\Mail\\000"), "Enabled").data);
  EXPECT_EQ("Kunden \xE4 \xF6 \xFC" + kNul, testsupport::RawValue(t.Path("copy\\Mail\\000"), "Name").data);
  EXPECT_EQ("000" + kNul, testsupport::RawValue(t.Path("copy\\Mail"), "Order").data);
}
