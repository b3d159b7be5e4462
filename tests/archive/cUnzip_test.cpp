// cUnzip over the unzip library: listing, selection, extraction, and the
// archives it must not trust.
#include "archive/cUnzip.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "archive/mUnzip.h"
#include "archive_test_support.h"
#include "platform/files.h"
#include "support/sandbox.h"

using archivetest::MakeRawArchive;
using testsupport::Sandbox;

namespace {

class UnzipTest : public ::testing::Test {
 protected:
  void SetUp() override {
    archivetest::ProvideLibraries();
    box.MakeFolder("out");
  }
  std::string Read(const std::string& rel) {
    std::string bytes;
    return platform::ReadWholeFile(box.Path(rel), bytes) ? bytes : "<missing>";
  }
  // The files below out\, as relative names.
  std::vector<std::string> Extracted(const std::string& rel = "out") {
    std::vector<std::string> names;
    std::vector<platform::DirEntry> entries;
    platform::ListFolder(box.Path(rel + "\\*.*"), entries);
    for (const auto& e : entries) {
      if (e.name == "." || e.name == "..") continue;
      if (e.attributes & platform::kAttrDirectory) {
        for (const auto& n : Extracted(rel + "\\" + e.name)) names.push_back(e.name + "\\" + n);
      } else {
        names.push_back(e.name);
      }
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  Sandbox box;
};

TEST_F(UnzipTest, ListsRootAndFolderEntriesWithoutFolderEntries) {
  MakeRawArchive(box.Path("a.qmb"), {{"IdList.lst", "ids"}, {"D/", ""}, {"D/F", "f"}});
  cUnzip u;
  u.ZipFile(box.Path("a.qmb"));
  u.Directory();
  ASSERT_EQ(u.FileCount(), 2);
  EXPECT_EQ(u.FileDirectory(1), "");
  EXPECT_EQ(u.Filename(1), "IdList.lst");
  EXPECT_EQ(u.FileDirectory(2), "D");
  EXPECT_EQ(u.Filename(2), "F");
  EXPECT_TRUE(u.FileSelected(1));
  EXPECT_EQ(u.Filename(3), "");
  u.ZipFile(box.Path("a.qmb"));  // setting it again empties the list
  EXPECT_EQ(u.FileCount(), 0);
}

TEST_F(UnzipTest, SelectAllExtractsEverythingDeselectOneExtractsTheRestByName) {
  MakeRawArchive(box.Path("a.qmb"), {{"IdList.lst", "ids"}, {"{1}/Inbox.dbx", "in"}, {"{1}/Sent.dbx", "sent"}});
  cUnzip u;
  u.ZipFile(box.Path("a.qmb"));
  u.UseFolderNames(true);
  u.UnzipFolder(box.Path("out\\"));
  u.Directory();
  EXPECT_TRUE(u.Unzip());
  EXPECT_EQ(Extracted(), (std::vector<std::string>{"IdList.lst", "{1}\\Inbox.dbx", "{1}\\Sent.dbx"}));

  platform::RemoveFile(box.Path("out\\IdList.lst"));
  platform::RemoveFile(box.Path("out\\{1}\\Inbox.dbx"));
  platform::RemoveFile(box.Path("out\\{1}\\Sent.dbx"));
  u.FileSelected(2, false);
  EXPECT_TRUE(u.Unzip());
  EXPECT_EQ(Extracted(), (std::vector<std::string>{"IdList.lst", "{1}\\Sent.dbx"}));
}

// An entry selected by the names it is listed under is extracted, or
// refused: never passed over while the run reports success. Some writers
// separate folders by "\\"; a name with a leading "/" is listed at the top.
TEST_F(UnzipTest, EntriesAreSelectedByTheNamesTheyAreListedUnder) {
  MakeRawArchive(box.Path("b.qmb"),
                 {{"IdList.lst", "ids"}, {"{1}\\Inbox.dbx", "in"}, {"{1}\\Sent.dbx", "sent"}, {"/Top.dbx", "t"}});
  cUnzip u;
  u.ZipFile(box.Path("b.qmb"));
  u.UseFolderNames(true);
  u.UnzipFolder(box.Path("out\\"));
  u.Directory();
  ASSERT_EQ(u.FileCount(), 4);
  EXPECT_EQ(u.FileDirectory(2), "{1}");
  EXPECT_EQ(u.Filename(2), "Inbox.dbx");
  EXPECT_EQ(u.FileDirectory(4), "");
  EXPECT_EQ(u.Filename(4), "Top.dbx");
  u.FileSelected(3, false);
  u.FileSelected(4, false);
  EXPECT_TRUE(u.Unzip()) << u.LastResult();
  EXPECT_EQ(Extracted(), (std::vector<std::string>{"IdList.lst", "{1}\\Inbox.dbx"}));
  u.FileSelected(4, true);
  EXPECT_FALSE(u.Unzip());
  EXPECT_EQ(u.LastResult(), kUzWarn);  // refused: the name points outside the folder
  EXPECT_EQ(Extracted(), (std::vector<std::string>{"IdList.lst", "{1}\\Inbox.dbx"}));
}

TEST_F(UnzipTest, OnlyTheIdentityListWithoutFolderNames) {
  MakeRawArchive(box.Path("a.qmb"), {{"{1}/IdList.lst", "not this"}, {"IdList.lst", "ids"}});
  cUnzip u;
  u.ZipFile(box.Path("a.qmb"));
  u.Directory();
  for (std::int32_t i = 1; i <= u.FileCount(); ++i) u.FileSelected(i, u.FileDirectory(i).empty() && u.Filename(i) == "IdList.lst");
  u.OverwriteExisting(true);
  u.UnzipFolder(box.Path("out\\"));
  EXPECT_TRUE(u.Unzip());
  EXPECT_EQ(Read("out\\IdList.lst"), "ids");
  EXPECT_EQ(Extracted(), (std::vector<std::string>{"IdList.lst"}));
}

TEST_F(UnzipTest, NothingSelectedExtractsNothing) {
  // Guards against an empty selection turning into "every entry".
  MakeRawArchive(box.Path("a.qmb"), {{"a", "1"}, {"b", "2"}});
  cUnzip u;
  u.ZipFile(box.Path("a.qmb"));
  u.Directory();
  u.FileSelected(1, false);
  u.FileSelected(2, false);
  u.UnzipFolder(box.Path("out\\"));
  u.Unzip();
  EXPECT_TRUE(Extracted().empty());
}

TEST_F(UnzipTest, CommentIsReadAndAnArchiveWithoutOneLeavesItUnchanged) {
  cZip zip;
  box.MakeFolder("w");
  box.WriteFile("w\\f.txt", "f");
  archivetest::SetUpBackupZip(zip, box.Path("w\\"), box.Path("c.qmb"), "", "Sauvegarde d'\xE9t\xE9");
  zip.Zip();
  ASSERT_TRUE(zip.Success());
  cUnzip u;
  u.ZipFile(box.Path("c.qmb"));
  u.Directory();
  EXPECT_EQ(u.Comment(), "Sauvegarde d'\xE9t\xE9");
  MakeRawArchive(box.Path("n.qmb"), {{"a", "1"}});
  u.ZipFile(box.Path("n.qmb"));
  u.Directory();
  EXPECT_EQ(u.Comment(), "Sauvegarde d'\xE9t\xE9");
}

TEST_F(UnzipTest, FlaggedUtf8AndOemNamesBothReachTheProgramInAnsi) {
  // libzip flags the UTF-8 name; the raw OEM one (as Info-ZIP writes on Windows) has no flag.
  MakeRawArchive(box.Path("a.qmb"), {{"Bo\xC3\xAEte/Gel\xC3\xB6scht.dbx", "u"}}, nullptr, ZIP_FL_ENC_UTF_8);
  MakeRawArchive(box.Path("b.qmb"), {{"r\x82su/Gel\x94scht.dbx", "o"}}, nullptr, ZIP_FL_ENC_CP437);
  // Info-ZIP on Unix: UTF-8 bytes without the flag, made on Unix.
  MakeRawArchive(box.Path("c.qmb"), {{"\xC3\xA9t\xC3\xA9/Gel\xC3\xB6scht.dbx", "x"}}, nullptr, ZIP_FL_ENC_RAW);
  for (const char* name : {"a.qmb", "b.qmb", "c.qmb"}) {
    cUnzip u;
    u.ZipFile(box.Path(name));
    u.UseFolderNames(true);
    u.UnzipFolder(box.Path("out\\"));
    u.Directory();
    ASSERT_EQ(u.FileCount(), 1);
    EXPECT_EQ(u.Filename(1), "Gel\xF6scht.dbx");
    EXPECT_TRUE(u.Unzip()) << name;
  }
  EXPECT_EQ(Read("out\\Bo\xEEte\\Gel\xF6scht.dbx"), "u");
  EXPECT_EQ(Read("out\\r\xE9su\\Gel\xF6scht.dbx"), "o");
  EXPECT_EQ(Read("out\\\xE9t\xE9\\Gel\xF6scht.dbx"), "x");
}

TEST_F(UnzipTest, HostileNamesExtractNothingOutsideTheFolder) {
  box.MakeFolder("out\\deep");
  MakeRawArchive(box.Path("h.qmb"), {{"../x", "1"}, {"C:\\x", "2"}, {"\\x", "3"}, {"a/../../x", "4"},
                                     {"CON", "5"}, {"/abs", "6"}, {"fine.txt", "ok"}});
  cUnzip u;
  u.ZipFile(box.Path("h.qmb"));
  u.UseFolderNames(true);
  u.OverwriteExisting(true);
  u.UnzipFolder(box.Path("out\\deep\\"));
  std::vector<std::string> msgs;
  u.Progress = [&](std::int32_t, const std::string& m) { msgs.push_back(m); };
  u.Directory();
  EXPECT_FALSE(u.Unzip());  // the caller learns that entries were refused
  EXPECT_EQ(u.LastResult(), kUzWarn);
  EXPECT_EQ(Extracted(), (std::vector<std::string>{"deep\\fine.txt"}));
  EXPECT_FALSE(box.Exists("x"));
  EXPECT_FALSE(box.Exists("abs"));
  int refused = 0;
  for (const auto& m : msgs) refused += m.find("skipped") != std::string::npos;
  EXPECT_EQ(refused, 6);
}

// Both ciphers: AES (what the program writes) and the traditional one
// (earlier backups, other tools). A wrong password is a wrong password and
// leaves everything as it was; damage with the right one is damage.
TEST_F(UnzipTest, WrongPasswordLeavesNoFileAndKeepsTheEarlierOne) {
  for (const zip_uint16_t cipher : {ZIP_EM_AES_256, ZIP_EM_TRAD_PKWARE}) {
    SCOPED_TRACE(cipher == ZIP_EM_AES_256 ? "AES-256" : "traditional");
    platform::RemoveFile(box.Path("out\\b.txt"));
    std::string mail(50000, '\0');  // does not deflate: its data fills the archive's first 50,000 bytes
    std::uint32_t x = 2463534242u;
    for (char& c : mail) {
      x ^= x << 13, x ^= x >> 17, x ^= x << 5;
      c = static_cast<char>(x);
    }
    MakeRawArchive(box.Path("p.qmb"), {{"Inbox.dbx", mail}, {"b.txt", "b"}}, "right", ZIP_FL_ENC_RAW, cipher);
    box.WriteFile("out\\Inbox.dbx", "earlier");
    cUnzip u;
    u.ZipFile(box.Path("p.qmb"));
    u.OverwriteExisting(true);
    u.UnzipFolder(box.Path("out\\"));
    int asked = 0;
    u.PasswordRequest = [&](std::string& p, bool&) {
      ++asked;
      p = "wrong";
    };
    u.Directory();
    EXPECT_TRUE(u.Entries()[0].FileEncrypted);
    EXPECT_EQ(u.Entries()[0].FileAes, cipher == ZIP_EM_AES_256);
    EXPECT_FALSE(u.Unzip());
    EXPECT_EQ(u.LastResult(), kUzBadPassword);
    EXPECT_EQ(Read("out\\Inbox.dbx"), "earlier");
    EXPECT_EQ(Extracted(), (std::vector<std::string>{"Inbox.dbx"}));
    EXPECT_GE(asked, 1);

    // An empty answer gives up: no further requests in this run.
    asked = 0;
    u.PasswordRequest = [&](std::string& p, bool&) { ++asked; };
    EXPECT_FALSE(u.Unzip());
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(mUnzip::Cancelled());

    u.PasswordRequest = [&](std::string& p, bool&) { p = "right"; };
    EXPECT_TRUE(u.Unzip());
    EXPECT_EQ(Read("out\\Inbox.dbx"), mail);

    // A byte of the large entry's data changed: damage, not a wrong password.
    std::string bytes;
    ASSERT_TRUE(platform::ReadWholeFile(box.Path("p.qmb"), bytes));
    bytes[20000] = static_cast<char>(bytes[20000] ^ 0x55);
    platform::WriteWholeFile(box.Path("p.qmb"), bytes);
    box.WriteFile("out\\Inbox.dbx", "earlier");
    cUnzip damaged;
    damaged.ZipFile(box.Path("p.qmb"));
    damaged.OverwriteExisting(true);
    damaged.UnzipFolder(box.Path("out\\"));
    damaged.PasswordRequest = [&](std::string& p, bool&) { p = "right"; };
    EXPECT_FALSE(damaged.Test());
    EXPECT_EQ(damaged.LastResult(), kUzErr);
    EXPECT_FALSE(damaged.Unzip());
    EXPECT_EQ(damaged.LastResult(), kUzErr);
    EXPECT_EQ(Read("out\\Inbox.dbx"), "earlier");
  }
}

// A password other than `right` that the check byte in entry `index`'s
// header lets through (about one in 256 does).
std::string WrongPasswordTheHeaderTakes(const std::string& archive, zip_uint64_t index) {
  int err = 0;
  zip_t* za = zip_open(archivetest::LibzipPath(archive).c_str(), ZIP_RDONLY, &err);
  if (!za) return "";
  std::string found;
  for (int k = 0; k < 100000 && found.empty(); ++k) {
    std::string candidate = "wrong" + std::to_string(k);
    if (zip_file_t* f = zip_fopen_index_encrypted(za, index, 0, candidate.c_str())) {
      zip_fclose(f);
      found = candidate;
    }
    zip_error_clear(za);
  }
  zip_discard(za);
  return found;
}

// Guards against a wrong password reported as a damaged archive when it
// happens to pass the one-byte check; and against real damage, with the
// right password, reported as a wrong password.
TEST_F(UnzipTest, WrongPasswordPassingTheHeaderCheckIsStillAWrongPassword) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, std::string>> entries;
    zip_uint64_t passes;  // the entry whose header takes the wrong password
  };
  const Case cases[] = {
      {"one entry", {{"IdList.lst", std::string(300, 'i')}}, 0},
      {"small entry first", {{"IdList.lst", "ids"}, {"Inbox.dbx", std::string(50000, 'm')}}, 0},
      {"large entry takes it", {{"IdList.lst", "ids"}, {"Inbox.dbx", std::string(50000, 'm')}}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MakeRawArchive(box.Path("w.qmb"), c.entries, "right");
    const std::string wrong = WrongPasswordTheHeaderTakes(box.Path("w.qmb"), c.passes);
    ASSERT_FALSE(wrong.empty());
    for (bool test : {false, true}) {
      cUnzip u;
      u.ZipFile(box.Path("w.qmb"));
      u.UnzipFolder(box.Path("out\\"));
      int asked = 0;
      u.PasswordRequest = [&](std::string& p, bool&) {
        ++asked;
        p = wrong;
      };
      EXPECT_FALSE(test ? u.Test() : u.Unzip());
      EXPECT_EQ(u.LastResult(), kUzBadPassword);
      EXPECT_EQ(asked, 3);  // asked again, then given up
      EXPECT_TRUE(Extracted().empty());
    }
  }

  // The right password reads the small entry back: the large one is damaged.
  MakeRawArchive(box.Path("d.qmb"), {{"IdList.lst", "ids"}, {"Inbox.dbx", std::string(50000, 'm')}}, "right");
  std::string bytes;
  ASSERT_TRUE(platform::ReadWholeFile(box.Path("d.qmb"), bytes));
  bytes[150] = static_cast<char>(bytes[150] ^ 0x55);
  platform::WriteWholeFile(box.Path("d.qmb"), bytes);
  cUnzip u;
  u.ZipFile(box.Path("d.qmb"));
  u.UnzipFolder(box.Path("out\\"));
  u.PasswordRequest = [&](std::string& p, bool&) { p = "right"; };
  EXPECT_FALSE(u.Test());
  EXPECT_EQ(u.LastResult(), kUzErr);
  EXPECT_FALSE(u.Unzip());
  EXPECT_EQ(u.LastResult(), kUzErr);
  EXPECT_EQ(Extracted(), (std::vector<std::string>{"IdList.lst"}));
}

// Reading back writes nothing, not even the folders of folder entries (a
// test has no folder to make them in: they went to the current folder), and
// finds damage that listing does not.
TEST_F(UnzipTest, TestReadsEveryEntryBackAndWritesNothing) {
  std::string big;
  for (int i = 0; i < 20000; ++i) big += std::to_string(i * 7919) + ",";
  MakeRawArchive(box.Path("g.qmb"), {{"data.bin", big}, {"QmTestMakesNoFolder/", ""}, {"D/ok.txt", "ok"}});
  cUnzip u;
  u.ZipFile(box.Path("g.qmb"));
  u.UnzipFolder(box.Path("out\\"));
  u.UseFolderNames(true);
  std::vector<std::string> msgs;
  u.Progress = [&](std::int32_t, const std::string& m) { msgs.push_back(m); };
  EXPECT_TRUE(u.Test());
  EXPECT_EQ(msgs.size(), 2u);
  EXPECT_EQ(platform::GetAttributes(platform::CurrentFolder() + "\\QmTestMakesNoFolder"), platform::kInvalidAttributes);
  EXPECT_TRUE(Extracted().empty());
  std::string bytes;
  ASSERT_TRUE(platform::ReadWholeFile(box.Path("g.qmb"), bytes));
  bytes[200] = static_cast<char>(bytes[200] ^ 0x55);
  platform::WriteWholeFile(box.Path("g.qmb"), bytes);
  u.Directory();
  EXPECT_EQ(u.FileCount(), 2);
  EXPECT_FALSE(u.Test());
  EXPECT_EQ(u.LastResult(), kUzErr);
  EXPECT_TRUE(Extracted().empty());
}

TEST_F(UnzipTest, DamagedEntryFailsCleanlyAndTruncatedArchiveIsRefused) {
  std::string big;
  for (int i = 0; i < 20000; ++i) big += std::to_string(i * 7919) + ",";
  MakeRawArchive(box.Path("d.qmb"), {{"data.bin", big}, {"ok.txt", "ok"}});
  std::string bytes;
  ASSERT_TRUE(platform::ReadWholeFile(box.Path("d.qmb"), bytes));
  platform::WriteWholeFile(box.Path("t.qmb"), bytes.substr(0, bytes.size() / 2));
  bytes[200] = static_cast<char>(bytes[200] ^ 0x55);  // inside data.bin's compressed data
  platform::WriteWholeFile(box.Path("d.qmb"), bytes);

  cUnzip u;
  u.ZipFile(box.Path("d.qmb"));
  u.UnzipFolder(box.Path("out\\"));
  u.Directory();
  EXPECT_FALSE(u.Unzip());
  EXPECT_EQ(u.LastResult(), kUzErr);
  EXPECT_EQ(Extracted(), (std::vector<std::string>{"ok.txt"}));

  u.ZipFile(box.Path("t.qmb"));
  u.Directory();
  EXPECT_EQ(u.FileCount(), 0);
  EXPECT_FALSE(u.Unzip());
  EXPECT_EQ(u.LastResult(), kUzNoZip);
  EXPECT_EQ(Extracted(), (std::vector<std::string>{"ok.txt"}));
}

// Guards against the temporary file of a replaced file clashing with an
// entry or a file of the user's, and against a selected name read as a
// wildcard ("Id*" selecting "IdList.lst").
TEST_F(UnzipTest, ReplacementsAndSelectionsTouchOnlyTheirOwnFiles) {
  MakeRawArchive(box.Path("p.qmb"), {{"p.txt", "new p"}, {"p.txt.qm~part", "other entry"}});
  for (int round = 0; round < 5; ++round) {
    box.WriteFile("out\\p.txt", "old p");
    box.WriteFile("out\\p.txt.qm~1", "the user's own");
    cUnzip u;
    u.ZipFile(box.Path("p.qmb"));
    u.UnzipFolder(box.Path("out\\"));
    u.OverwriteExisting(true);
    EXPECT_TRUE(u.Unzip()) << u.LastResult();
    EXPECT_EQ(Read("out\\p.txt"), "new p");
    EXPECT_EQ(Read("out\\p.txt.qm~part"), "other entry");
    EXPECT_EQ(Read("out\\p.txt.qm~1"), "the user's own");
    EXPECT_EQ(Extracted().size(), 3u);
  }
  MakeRawArchive(box.Path("w.qmb"), {{"IdList.lst", "list"}, {"Id*", "odd"}, {"a.txt", "a"}});
  cUnzip u;
  u.ZipFile(box.Path("w.qmb"));
  u.UnzipFolder(box.Path("sel\\"));
  u.Directory();
  ASSERT_EQ(u.FileCount(), 3);
  u.FileSelected(1, false);  // only "Id*" and "a.txt"
  u.Unzip();
  EXPECT_EQ(Extracted("sel"), (std::vector<std::string>{"a.txt"}));  // "Id*" itself is no safe name
}

std::uint32_t U32(const std::string& b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}
void PutU32(std::string& b, std::size_t at, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) b[at + k] = static_cast<char>(v >> (8 * k));
}
void PutU16(std::string& b, std::size_t at, std::uint32_t v) {
  for (int k = 0; k < 2; ++k) b[at + k] = static_cast<char>(v >> (8 * k));
}

// Guards against hostile sizes: an entry that holds other than the bytes
// it declares, and a small file whose entries share their bytes so that it
// would expand without end; neither leaves anything behind.
TEST_F(UnzipTest, EntriesThatLieAboutTheirSizeAreRefused) {
  const std::string zeros(300000, '\0');
  MakeRawArchive(box.Path("one.qmb"), {{"a00", zeros}});
  std::string bytes;
  ASSERT_TRUE(platform::ReadWholeFile(box.Path("one.qmb"), bytes));
  const std::size_t eocd = bytes.size() - 22, cd = U32(bytes, eocd + 16);
  ASSERT_EQ(U32(bytes, cd), 0x02014b50u);
  struct Case {
    const char* what;
    std::string archive;
  };
  std::vector<Case> cases;
  for (std::uint32_t declared : {299999u, 300001u}) {
    std::string lie = bytes;
    PutU32(lie, 22, declared);      // local header
    PutU32(lie, cd + 24, declared);  // central directory
    cases.push_back({declared < 300000 ? "fewer bytes declared" : "more bytes declared", lie});
  }
  {
    // No bytes at all declared, the CRC still that of the data.
    std::string lie = bytes;
    for (std::size_t at : {std::size_t{18}, std::size_t{22}, cd + 20, cd + 24}) PutU32(lie, at, 0);
    cases.push_back({"no bytes declared", lie});
  }
  {
    // 200 central records, all pointing at the one entry's bytes.
    const std::string record = bytes.substr(cd, eocd - cd);
    std::string central;
    for (int k = 0; k < 200; ++k) {
      std::string r = record;
      r[46 + 1] = static_cast<char>('0' + k / 10 % 10);
      r[46 + 2] = static_cast<char>('0' + k % 10);
      r[46] = static_cast<char>('a' + k / 100);
      central += r;
    }
    std::string bomb = bytes.substr(0, cd) + central + bytes.substr(eocd);
    const std::size_t end = bomb.size() - 22;
    PutU16(bomb, end + 8, 200);
    PutU16(bomb, end + 10, 200);
    PutU32(bomb, end + 12, static_cast<std::uint32_t>(central.size()));
    cases.push_back({"overlapping entries", bomb});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    platform::WriteWholeFile(box.Path("h.qmb"), c.archive);
    cUnzip u;
    u.ZipFile(box.Path("h.qmb"));
    u.UnzipFolder(box.Path("out\\"));
    u.Directory();  // listing is harmless
    EXPECT_EQ(u.FileCount(), c.archive.size() > bytes.size() ? 200 : 1);
    EXPECT_FALSE(u.Unzip());
    EXPECT_EQ(u.LastResult(), kUzErr);
    EXPECT_TRUE(Extracted().empty());
    EXPECT_FALSE(u.Test());
  }
}

// An entry in an encryption libzip has no decoder for (the strong
// encryption flag) is damaged: never opened, no password asked for it.
TEST_F(UnzipTest, EntryInAnEncryptionWithoutDecoderIsDamaged) {
  MakeRawArchive(box.Path("s.qmb"), {{"a.txt", "a"}, {"b.txt", "b"}}, "s3cret");
  std::string bytes;
  ASSERT_TRUE(platform::ReadWholeFile(box.Path("s.qmb"), bytes));
  const std::size_t eocd = bytes.size() - 22, cd = U32(bytes, eocd + 16);
  ASSERT_EQ(U32(bytes, cd), 0x02014b50u);
  bytes[cd + 8] = static_cast<char>(bytes[cd + 8] | 0x40);  // a.txt: strong encryption
  bytes[6] = static_cast<char>(bytes[6] | 0x40);
  platform::WriteWholeFile(box.Path("s.qmb"), bytes);
  cUnzip u;
  u.ZipFile(box.Path("s.qmb"));
  u.UnzipFolder(box.Path("out\\"));
  int asked = 0;
  u.PasswordRequest = [&](std::string& password, bool&) {
    ++asked;
    password = "s3cret";
  };
  u.Directory();
  ASSERT_EQ(u.FileCount(), 2);
  u.FileSelected(2, false);
  EXPECT_FALSE(u.Unzip());
  EXPECT_EQ(u.LastResult(), kUzErr);
  EXPECT_EQ(asked, 0);
  EXPECT_TRUE(Extracted().empty());
  u.FileSelected(2, true);
  EXPECT_FALSE(u.Test());  // b.txt reads back, a.txt does not
  EXPECT_EQ(u.LastResult(), kUzErr);
}

// A file entry where a folder stands cannot be written: the run fails
// rather than report an entry extracted that is not there.
TEST_F(UnzipTest, FileWhereAFolderStandsFailsTheRun) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, std::string>> entries;
    std::vector<std::string> extracted;
  };
  const Case cases[] = {
      {"folder of an earlier entry", {{"a/b", "x"}, {"a", "y"}, {"c", "z"}}, {"a\\b", "c"}},
      {"folder entry", {{"a/", ""}, {"a", "y"}, {"c", "z"}}, {"c"}},
      {"the work folder itself", {{".", "d"}, {"c", "z"}}, {"c"}},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string folder = "w" + std::to_string(++n);
    MakeRawArchive(box.Path(folder + ".qmb"), c.entries);
    cUnzip u;
    u.ZipFile(box.Path(folder + ".qmb"));
    u.UseFolderNames(true);
    u.OverwriteExisting(true);
    u.UnzipFolder(box.Path(folder + "\\"));
    u.Directory();
    EXPECT_FALSE(u.Unzip());
    EXPECT_EQ(u.LastResult(), kUzErr);
    EXPECT_EQ(Extracted(folder), c.extracted);
  }
}

// A tick that cancels ends the run there: the entries being extracted are
// given up, a new file of theirs removed and an earlier one kept as it was.
TEST_F(UnzipTest, TickThatCancelsGivesUpTheEntriesBeingExtracted) {
  const std::string large(32 << 20, 'x');
  MakeRawArchive(box.Path("big.qmb"), {{"kept.dbx", large}, {"new.dbx", large}});
  box.WriteFile("out\\kept.dbx", "the earlier file");
  cUnzip u;
  u.ZipFile(box.Path("big.qmb"));
  u.UnzipFolder(box.Path("out"));
  u.OverwriteExisting(true);
  std::vector<std::uint64_t> read;
  u.Tick = [&](std::uint64_t bytes, bool& cancel) {
    read.push_back(bytes);
    cancel = true;
  };
  u.Directory();
  EXPECT_FALSE(u.Unzip());
  EXPECT_EQ(u.LastResult(), 80);
  ASSERT_EQ(read.size(), 1u);
  EXPECT_LT(read[0], 2 * large.size());
  EXPECT_EQ(Extracted(), std::vector<std::string>{"kept.dbx"});
  EXPECT_TRUE(Read("out\\kept.dbx") == "the earlier file");
}

TEST_F(UnzipTest, ExistingFileIsReplacedOnlyWhenTheOwnerSaysSo) {
  MakeRawArchive(box.Path("a.qmb"), {{"a.txt", "new a"}, {"b.txt", "new b"}});
  box.WriteFile("out\\a.txt", "old a");
  box.WriteFile("out\\B.TXT", "old b");  // the same file to Windows
  cUnzip u;
  u.ZipFile(box.Path("a.qmb"));
  u.UnzipFolder(box.Path("out\\"));
  std::vector<std::string> asked;
  u.OverwritePrompt = [&](const std::string& name, std::int32_t& response) {
    asked.push_back(name);
    EXPECT_EQ(response, 100);
    if (name.find("a.txt") != std::string::npos) response = kUzReplaceYes;
  };
  u.Unzip();
  EXPECT_EQ(asked.size(), 2u);
  EXPECT_EQ(Read("out\\a.txt"), "new a");
  EXPECT_EQ(Read("out\\b.txt"), "old b");
}

// Entries are extracted on several threads: one file named twice (in two
// letter cases) and a file that turns up while the run goes on must still be
// written once, in order, and only with the owner's consent.
TEST_F(UnzipTest, SameFileTwiceAndAFileThatTurnsUpAreHandledInOrder) {
  MakeRawArchive(box.Path("d.qmb"), {{"a.txt", std::string(300000, '1')}, {"m.txt", "m"},
                                     {"A.TXT", std::string(200000, '2')}, {"b.txt", "new b"}});
  cUnzip u;
  u.ZipFile(box.Path("d.qmb"));
  u.UnzipFolder(box.Path("out\\"));
  u.OverwriteExisting(true);
  EXPECT_TRUE(u.Unzip()) << u.LastResult();
  EXPECT_EQ(Read("out\\a.txt"), std::string(200000, '2'));
  EXPECT_EQ(Read("out\\b.txt"), "new b");

  // b.txt appears after the run has read the folder: the owner is asked.
  cUnzip again;
  again.ZipFile(box.Path("d.qmb"));
  again.UnzipFolder(box.Path("fresh\\"));
  again.Cancel = [&](const std::string& name, bool&) {
    if (name.find("b.txt") != std::string::npos) box.WriteFile("fresh\\b.txt", "someone's");
  };
  std::vector<std::string> asked;
  again.OverwritePrompt = [&](const std::string& name, std::int32_t& response) { asked.push_back(name); };
  again.Unzip();
  EXPECT_EQ(Read("fresh\\b.txt"), "someone's");
  ASSERT_FALSE(asked.empty());
  EXPECT_NE(asked.back().find("b.txt"), std::string::npos);
}

// Guards against a fixed limit on the names a run selects: a backup holds as
// many store files as the user has folders, and the restore passes them all
// but the identity list by name.
TEST_F(UnzipTest, MissingArchiveFailsAndThousandsOfSelectedNamesAreExtractedExactly) {
  cUnzip u;
  EXPECT_FALSE(u.Unzip());  // no ZipFile
  u.ZipFile(box.Path("none.qmb"));
  u.Directory();
  EXPECT_EQ(u.LastResult(), kUzNoZip);

  constexpr int kEntries = 3000;
  std::vector<std::pair<std::string, std::string>> entries;
  for (int i = 0; i < kEntries; ++i) entries.push_back({"{1}/f" + std::to_string(i) + ".dbx", std::to_string(i)});
  MakeRawArchive(box.Path("many.qmb"), entries);
  u.ZipFile(box.Path("many.qmb"));
  u.UseFolderNames(true);
  u.UnzipFolder(box.Path("out\\"));
  u.Directory();
  ASSERT_EQ(u.FileCount(), kEntries);
  std::vector<std::string> expected;
  for (std::int32_t i = 1; i <= kEntries; ++i) {
    u.FileSelected(i, i % 3 != 0);  // 2000 names
    if (i % 3 != 0) expected.push_back("{1}\\" + u.Filename(i));
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_TRUE(u.Test()) << u.LastResult();
  EXPECT_TRUE(Extracted().empty());
  EXPECT_TRUE(u.Unzip()) << u.LastResult();
  EXPECT_EQ(Extracted(), expected);
  EXPECT_EQ(Read("out\\{1}\\f1999.dbx"), "1999");
}

// Once the password is known the workers open the entries themselves; one
// they cannot open (here: sealed with another password) comes back to the
// calling thread, where the user is asked again, and is never counted as
// read back or extracted.
TEST_F(UnzipTest, EntryAWorkerCannotOpenIsAskedForAndNotExtracted) {
  int err = 0;
  zip_t* za = zip_open(archivetest::LibzipPath(box.Path("two.qmb")).c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
  ASSERT_NE(za, nullptr);
  const std::string big(60000, 'm');
  const struct {
    const char *name, *password;
    std::string bytes;
  } entries[] = {{"IdList.lst", "right", "ids"}, {"a.txt", "right", "a"}, {"b.txt", "right", "b"},
                 {"Inbox.dbx", "other", big}};
  for (const auto& e : entries) {
    zip_int64_t i = zip_file_add(za, e.name, zip_source_buffer(za, e.bytes.data(), e.bytes.size(), 0), 0);
    ASSERT_GE(i, 0);
    ASSERT_EQ(zip_file_set_encryption(za, static_cast<zip_uint64_t>(i), ZIP_EM_AES_256, e.password), 0);
  }
  ASSERT_EQ(zip_close(za), 0);
  for (bool test : {true, false}) {
    SCOPED_TRACE(test ? "test" : "unzip");
    cUnzip u;
    u.ZipFile(box.Path("two.qmb"));
    u.UnzipFolder(box.Path("out\\"));
    int asked = 0;
    u.PasswordRequest = [&](std::string& p, bool&) {
      ++asked;
      p = "right";
    };
    EXPECT_FALSE(test ? u.Test() : u.Unzip());
    EXPECT_EQ(u.LastResult(), kUzBadPassword);
    EXPECT_EQ(asked, 4);  // once for the archive, three times for the entry
    const std::vector<std::string> expected = {"IdList.lst", "a.txt", "b.txt"};
    EXPECT_EQ(Extracted(), test ? std::vector<std::string>() : expected);
  }
}

}  // namespace
