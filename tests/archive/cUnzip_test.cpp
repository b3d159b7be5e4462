// cUnzip over the unzip library: listing, selection, extraction, and the
// archives it must not trust.
#include "archive/cUnzip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "archive/mUnzip.h"
#include "archive/textcodes.h"
#include "archive_test_support.h"
#include "platform/files.h"
#include "support/sandbox.h"

using archivetest::MakeRawArchive;
using Entries = std::vector<std::pair<std::string, std::string>>;
using Names = std::vector<std::string>;

namespace {

class UnzipTest : public ::testing::Test {
 protected:
  void SetUp() override {
    archivetest::ProvideLibraries();
    box.MakeFolder("out");
  }
  // A reader of the sandbox's `archive` into `folder` with folder names,
  // replacing files, answering `password`; listed unless told otherwise.
  cUnzip& Open(const std::string& archive, const std::string& password = "", bool list = true,
               const std::string& folder = "out") {
    u = std::make_unique<cUnzip>();
    u->ZipFile(box.Path(archive));
    u->UnzipFolder(box.Path(folder + "\\"));
    u->UseFolderNames(true);
    u->OverwriteExisting(true);
    u->PasswordRequest = [password](std::string& p, bool&) { p = password; };
    if (list) u->Directory();
    return *u;
  }
  std::string Read(const std::string& rel) {
    std::string bytes;
    return platform::ReadWholeFile(box.Path(rel), bytes) ? bytes : "<missing>";
  }
  // Flips the byte at `at` of a file in the sandbox, or cuts the file there.
  void Damage(const std::string& rel, std::size_t at, bool cut = false) {
    std::string bytes = testsupport::FileBytes(box.Path(rel));
    ASSERT_LT(at, bytes.size());
    if (cut) bytes.resize(at);
    else bytes[at] = static_cast<char>(bytes[at] ^ 0x55);
    platform::WriteWholeFile(box.Path(rel), bytes);
  }
  // The files below a folder of the sandbox, as sorted relative names.
  Names Extracted(const std::string& rel = "out") {
    Names names;
    std::vector<platform::DirEntry> entries;
    platform::ListFolder(box.Path(rel + "\\*.*"), entries);
    for (const auto& e : entries) {
      if (e.name == "." || e.name == "..") continue;
      if (!(e.attributes & platform::kAttrDirectory)) names.push_back(e.name);
      else for (const auto& n : Extracted(rel + "\\" + e.name)) names.push_back(e.name + "\\" + n);
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  void ExpectRun(bool test, std::int32_t result, const Names& extracted, const std::string& folder = "out") {
    EXPECT_EQ(test ? u->Test() : u->Unzip(), result == 0);
    EXPECT_EQ(u->LastResult(), result);
    EXPECT_EQ(Extracted(folder), extracted);
  }
  testsupport::Sandbox box;
  std::unique_ptr<cUnzip> u;
};

// Folder entries are not listed; some writers separate folders by "\\"; an
// entry selected by the names it is listed under is extracted, or refused
// (a name with a leading "/" is listed at the top but points outside; "Id*"
// is no safe name and selects nothing else), never passed over while the run
// reports success; nothing selected extracts nothing.
TEST_F(UnzipTest, ListsEntriesAndExtractsExactlyTheSelection) {
  MakeRawArchive(box.Path("a.qmb"), {{"IdList.lst", "ids"}, {"D/", ""}, {"{1}\\Inbox.dbx", "in"},
                                     {"{1}/Sent.dbx", "sent"}, {"/Top.dbx", "t"}, {"Id*", "odd"}});
  Open("a.qmb");
  const Names listed = {"|IdList.lst", "{1}|Inbox.dbx", "{1}|Sent.dbx", "|Top.dbx", "|Id*"};
  ASSERT_EQ(u->FileCount(), 5);
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(u->FileDirectory(i) + "|" + u->Filename(i), listed[i - 1]);
  EXPECT_EQ(u->Filename(6), "");
  EXPECT_TRUE(u->FileSelected(1));
  const struct {
    const char* selected;
    std::int32_t result;
    Names extracted;
  } rounds[] = {{"11100", 0, {"IdList.lst", "{1}\\Inbox.dbx", "{1}\\Sent.dbx"}},
                {"10100", 0, {"IdList.lst", "{1}\\Sent.dbx"}},
                {"00000", 0, {}},
                {"01011", kUzWarn, {"{1}\\Inbox.dbx"}},
                {"11111", kUzWarn, {"IdList.lst", "{1}\\Inbox.dbx", "{1}\\Sent.dbx"}}};
  int n = 0;
  for (const auto& r : rounds) {
    SCOPED_TRACE(r.selected);
    const std::string folder = "r" + std::to_string(++n);
    u->UnzipFolder(box.Path(folder + "\\"));
    for (int i = 1; i <= 5; ++i) u->FileSelected(i, r.selected[i - 1] == '1');
    if (!r.extracted.empty()) ExpectRun(false, r.result, r.extracted, folder);
    else u->Unzip();
    EXPECT_EQ(Extracted(folder), r.extracted);
  }
  u->ZipFile(box.Path("a.qmb"));  // setting it again empties the list
  EXPECT_EQ(u->FileCount(), 0);

  // Without folder names only the root's identity list, not the other one.
  MakeRawArchive(box.Path("l.qmb"), {{"{1}/IdList.lst", "not this"}, {"IdList.lst", "ids"}});
  Open("l.qmb").UseFolderNames(false);
  u->FileSelected(1, false);
  ExpectRun(false, 0, {"IdList.lst"});
  EXPECT_EQ(Read("out\\IdList.lst"), "ids");
}

// A comment of one character is a comment (accented ones: cZip's tests).
TEST_F(UnzipTest, CommentIsReadAndAnArchiveWithoutOneLeavesItUnchanged) {
  cZip zip;
  box.MakeFolder("w");
  box.WriteFile("w\\f.txt", "f");
  archivetest::SetUpBackupZip(zip, box.Path("w\\"), box.Path("c.qmb"), "", "x");
  zip.Zip();
  ASSERT_TRUE(zip.Success());
  EXPECT_EQ(Open("c.qmb").Comment(), "x");
  MakeRawArchive(box.Path("n.qmb"), {{"a", "1"}});
  u->ZipFile(box.Path("n.qmb"));
  u->Directory();
  EXPECT_EQ(u->Comment(), "x");
}

// Flagged UTF-8 (libzip), raw OEM made on FAT (Info-ZIP on Windows), UTF-8
// without the flag made on Unix (Info-ZIP on Unix): all reach the program in ANSI.
TEST_F(UnzipTest, FlaggedUtf8AndOemNamesBothReachTheProgramInAnsi) {
  const struct {
    const char* raw;
    zip_flags_t flags;
    const char* folder;
  } cases[] = {{"Bo\xC3\xAEte/Gel\xC3\xB6scht.dbx", ZIP_FL_ENC_UTF_8, "Bo\xEEte"},
               {"r\x82su/Gel\x94scht.dbx", ZIP_FL_ENC_CP437, "r\xE9su"},
               {"\xC3\xA9t\xC3\xA9/Gel\xC3\xB6scht.dbx", ZIP_FL_ENC_RAW, "\xE9t\xE9"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    MakeRawArchive(box.Path("a.qmb"), {{c.raw, c.folder}}, nullptr, c.flags);
    Open("a.qmb");
    ASSERT_EQ(u->FileCount(), 1);
    EXPECT_EQ(u->Filename(1), "Gel\xF6scht.dbx");
    EXPECT_TRUE(u->Unzip());
    EXPECT_EQ(Read(std::string("out\\") + c.folder + "\\Gel\xF6scht.dbx"), c.folder);
  }
  // Made on NTFS without the flag: OEM text, even where its bytes would
  // read as UTF-8 (the bytes patched in, the central record's system NTFS).
  MakeRawArchive(box.Path("n.qmb"), {{"XX.dbx", "x"}});
  std::string bytes = Read("n.qmb");
  for (std::size_t at = 0; (at = bytes.find("XX.dbx", at)) != std::string::npos;) bytes.replace(at, 2, "\xC3\xA4");
  const std::size_t central = bytes.find("PK\x01\x02");
  ASSERT_NE(central, std::string::npos);
  bytes[central + 5] = static_cast<char>(ZIP_OPSYS_WINDOWS_NTFS);
  ASSERT_TRUE(platform::WriteWholeFile(box.Path("n.qmb"), bytes));
  Open("n.qmb");
  EXPECT_EQ(u->Filename(1), ziplib::OemTextToAnsi("\xC3\xA4.dbx"));
}

TEST_F(UnzipTest, HostileNamesExtractNothingOutsideTheFolder) {
  box.MakeFolder("out\\deep");
  MakeRawArchive(box.Path("h.qmb"), {{"../x", "1"}, {"C:\\x", "2"}, {"\\x", "3"}, {"a/../../x", "4"},
                                     {"CON", "5"}, {"/abs", "6"}, {"fine.txt", "ok"}});
  Open("h.qmb", "", true, "out\\deep");
  int refused = 0;
  u->Progress = [&](std::int32_t, const std::string& m) { refused += m.find("skipped") != std::string::npos; };
  ExpectRun(false, kUzWarn, {"deep\\fine.txt"});  // the caller learns that entries were refused
  EXPECT_FALSE(box.Exists("x") || box.Exists("abs"));
  EXPECT_EQ(refused, 6);
}

// Both ciphers: AES (what the program writes) and the traditional one
// (earlier backups, other tools). A wrong password is a wrong password and
// leaves everything as it was; an empty answer gives up; damage with the
// right one is damage.
TEST_F(UnzipTest, WrongPasswordLeavesNoFileAndKeepsTheEarlierOne) {
  std::string mail(50000, '\0');  // does not deflate: its data fills the archive's first 50,000 bytes
  std::uint32_t x = 2463534242u;
  for (char& c : mail) x ^= x << 13, x ^= x >> 17, x ^= x << 5, c = static_cast<char>(x);
  for (const zip_uint16_t cipher : {ZIP_EM_AES_256, ZIP_EM_TRAD_PKWARE}) {
    SCOPED_TRACE(cipher == ZIP_EM_AES_256 ? "AES-256" : "traditional");
    platform::RemoveFile(box.Path("out\\b.txt"));
    MakeRawArchive(box.Path("p.qmb"), {{"Inbox.dbx", mail}, {"b.txt", "b"}}, "right", ZIP_FL_ENC_RAW, cipher);
    box.WriteFile("out\\Inbox.dbx", "earlier");
    Open("p.qmb");
    int asked = 0, said = 0;
    u->PasswordRequest = [&](std::string& p, bool&) { ++asked, p = "wrong"; };
    u->Progress = [&](std::int32_t, const std::string& m) { said += m.find("incorrect password") != std::string::npos; };
    EXPECT_TRUE(u->Entries()[0].FileEncrypted);
    EXPECT_EQ(u->Entries()[0].FileAes, cipher == ZIP_EM_AES_256);
    ExpectRun(false, kUzBadPassword, {"Inbox.dbx"});
    EXPECT_EQ(Read("out\\Inbox.dbx"), "earlier");
    EXPECT_GE(asked, 1);
    EXPECT_GE(said, 1);
    asked = 0;
    u->PasswordRequest = [&](std::string&, bool&) { ++asked; };
    EXPECT_FALSE(u->Unzip());
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(mUnzip::Cancelled());
    u->PasswordRequest = [&](std::string& p, bool&) { p = "right"; };
    EXPECT_TRUE(u->Unzip());
    EXPECT_EQ(Read("out\\Inbox.dbx"), mail);

    Damage("p.qmb", 20000);  // inside the large entry's data
    box.WriteFile("out\\Inbox.dbx", "earlier");
    Open("p.qmb", "right");
    ExpectRun(true, kUzErr, {"Inbox.dbx", "b.txt"});
    ExpectRun(false, kUzErr, {"Inbox.dbx", "b.txt"});
    EXPECT_EQ(Read("out\\Inbox.dbx"), "earlier");
  }
}

// A password other than `right` that the check byte in entry `index`'s
// header lets through (about one in 256 does).
std::string WrongPasswordTheHeaderTakes(const std::string& archive, zip_uint64_t index) {
  int err = 0;
  zip_t* za = zip_open(archivetest::LibzipPath(archive).c_str(), ZIP_RDONLY, &err);
  std::string found;
  for (int k = 0; za && k < 100000 && found.empty(); ++k) {
    std::string candidate = "wrong" + std::to_string(k);
    if (zip_file_t* f = zip_fopen_index_encrypted(za, index, 0, candidate.c_str())) {
      zip_fclose(f);
      found = candidate;
    }
    zip_error_clear(za);
  }
  if (za) zip_discard(za);
  return found;
}

// Guards against a wrong password reported as a damaged archive when it
// happens to pass the one-byte check; and against real damage, with the
// right password, reported as a wrong password.
TEST_F(UnzipTest, WrongPasswordPassingTheHeaderCheckIsStillAWrongPassword) {
  const Entries two = {{"IdList.lst", "ids"}, {"Inbox.dbx", std::string(50000, 'm')}};
  const struct {
    Entries entries;
    zip_uint64_t passes;  // the entry whose header takes the wrong password
  } cases[] = {{{{"IdList.lst", std::string(300, 'i')}}, 0}, {two, 0}, {two, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.entries.size()) + " entries, passing at " + std::to_string(c.passes));
    MakeRawArchive(box.Path("w.qmb"), c.entries, "right");
    const std::string wrong = WrongPasswordTheHeaderTakes(box.Path("w.qmb"), c.passes);
    ASSERT_FALSE(wrong.empty());
    for (bool test : {false, true}) {
      Open("w.qmb", "", false);
      int asked = 0;
      u->PasswordRequest = [&](std::string& p, bool&) { ++asked, p = wrong; };
      ExpectRun(test, kUzBadPassword, {});
      EXPECT_EQ(asked, 3);  // asked again, then given up
    }
  }
  MakeRawArchive(box.Path("d.qmb"), two, "right");
  Damage("d.qmb", 150);  // the small entry reads back: the large one is damaged
  Open("d.qmb", "right", false);
  ExpectRun(true, kUzErr, {});
  ExpectRun(false, kUzErr, {"IdList.lst"});
}

// Reading back writes nothing, not even the folders of folder entries (a
// test has no folder to make them in: they went to the current folder), and
// finds damage that listing does not; a damaged entry leaves no file, the
// others are extracted; a truncated archive does not list.
TEST_F(UnzipTest, DamagedAndTruncatedArchives) {
  std::string big;
  for (int i = 0; i < 20000; ++i) big += std::to_string(i * 7919) + ",";
  MakeRawArchive(box.Path("g.qmb"), {{"data.bin", big}, {"QmTestMakesNoFolder/", ""}, {"D/ok.txt", "ok"}});
  platform::CopyOneFile(box.Path("g.qmb"), box.Path("t.qmb"), false);
  Open("g.qmb", "", false);
  std::vector<std::string> msgs;
  u->Progress = [&](std::int32_t, const std::string& m) { msgs.push_back(m); };
  ExpectRun(true, 0, {});
  EXPECT_EQ(msgs.size(), 2u);
  EXPECT_EQ(platform::GetAttributes(platform::CurrentFolder() + "\\QmTestMakesNoFolder"), platform::kInvalidAttributes);
  Damage("g.qmb", 200);  // inside data.bin's compressed data
  u->Directory();
  EXPECT_EQ(u->FileCount(), 2);
  ExpectRun(true, kUzErr, {});
  ExpectRun(false, kUzErr, {"D\\ok.txt"});

  Damage("t.qmb", testsupport::FileBytes(box.Path("t.qmb")).size() / 2, true);
  Open("t.qmb", "", true, "cut");
  EXPECT_EQ(u->FileCount(), 0);
  ExpectRun(false, kUzNoZip, {}, "cut");
}

// Guards against the temporary file of a replaced file clashing with an
// entry or a file of the user's.
TEST_F(UnzipTest, ReplacementsTouchOnlyTheirOwnFiles) {
  MakeRawArchive(box.Path("p.qmb"), {{"p.txt", "new p"}, {"p.txt.qm~part", "other entry"}});
  for (int round = 0; round < 5; ++round) {
    box.WriteFile("out\\p.txt", "old p");
    box.WriteFile("out\\p.txt.qm~1", "the user's own");
    Open("p.qmb", "", false);
    ExpectRun(false, 0, {"p.txt", "p.txt.qm~1", "p.txt.qm~part"});
    EXPECT_EQ(Read("out\\p.txt") + Read("out\\p.txt.qm~part") + Read("out\\p.txt.qm~1"),
              "new pother entrythe user's own");
  }
}

std::uint32_t U32(const std::string& b, std::size_t at) {
  std::uint32_t v = 0;
  for (int k = 3; k >= 0; --k) v = v << 8 | static_cast<unsigned char>(b[at + k]);
  return v;
}
void Put(std::string& b, std::size_t at, std::uint32_t v, int bytes = 4) {
  for (int k = 0; k < bytes; ++k) b[at + k] = static_cast<char>(v >> (8 * k));
}

// Guards against hostile sizes: an entry that holds other than the bytes
// it declares, and a small file whose entries share their bytes so that it
// would expand without end; neither leaves anything behind.
TEST_F(UnzipTest, EntriesThatLieAboutTheirSizeAreRefused) {
  MakeRawArchive(box.Path("one.qmb"), {{"a00", std::string(300000, '\0')}});
  const std::string bytes = testsupport::FileBytes(box.Path("one.qmb"));
  const std::size_t eocd = bytes.size() - 22, cd = U32(bytes, eocd + 16);
  ASSERT_EQ(U32(bytes, cd), 0x02014b50u);
  std::vector<std::pair<const char*, std::string>> cases;
  for (std::uint32_t declared : {299999u, 300001u, 0u}) {
    std::string lie = bytes;
    Put(lie, 22, declared);  // local header
    Put(lie, cd + 24, declared);  // central directory
    if (declared == 0) Put(lie, 18, 0), Put(lie, cd + 20, 0);  // no bytes at all, the CRC still the data's
    cases.push_back({declared == 0 ? "no bytes declared" : declared < 300000 ? "fewer declared" : "more declared", lie});
  }
  // Central records all pointing at the one entry's bytes: many, and just
  // two (the first one's bytes count too).
  for (int n : {200, 2}) {
    std::string central;
    for (int k = 0; k < n; ++k) {
      std::string r = bytes.substr(cd, eocd - cd);
      r[46] = static_cast<char>('a' + k / 100), r[47] = static_cast<char>('0' + k / 10 % 10),
      r[48] = static_cast<char>('0' + k % 10);
      central += r;
    }
    std::string bomb = bytes.substr(0, cd) + central + bytes.substr(eocd);
    Put(bomb, bomb.size() - 14, n, 2);
    Put(bomb, bomb.size() - 12, n, 2);
    Put(bomb, bomb.size() - 10, static_cast<std::uint32_t>(central.size()));
    cases.push_back({n == 2 ? "two entries sharing their bytes" : "many entries sharing their bytes", bomb});
  }
  for (const auto& [what, archive] : cases) {
    SCOPED_TRACE(what);
    platform::WriteWholeFile(box.Path("h.qmb"), archive);
    Open("h.qmb");  // listing is harmless
    const std::size_t records = archive.size() > bytes.size() ? (archive.size() - bytes.size()) / (eocd - cd) + 1 : 1;
    EXPECT_EQ(u->FileCount(), static_cast<std::int32_t>(records));
    ExpectRun(false, kUzErr, {});
    EXPECT_FALSE(u->Test());
  }
}

// An entry in an encryption libzip has no decoder for (the strong
// encryption flag) is damaged: never opened, no password asked for it.
TEST_F(UnzipTest, EntryInAnEncryptionWithoutDecoderIsDamaged) {
  MakeRawArchive(box.Path("s.qmb"), {{"a.txt", "a"}, {"b.txt", "b"}}, "s3cret");
  std::string bytes = testsupport::FileBytes(box.Path("s.qmb"));
  const std::size_t cd = U32(bytes, bytes.size() - 22 + 16);
  bytes[cd + 8] = static_cast<char>(bytes[cd + 8] | 0x40);  // a.txt: strong encryption
  bytes[6] = static_cast<char>(bytes[6] | 0x40);
  platform::WriteWholeFile(box.Path("s.qmb"), bytes);
  Open("s.qmb");
  int asked = 0;
  u->PasswordRequest = [&](std::string& password, bool&) { ++asked, password = "s3cret"; };
  ASSERT_EQ(u->FileCount(), 2);
  u->FileSelected(2, false);
  ExpectRun(false, kUzErr, {});
  EXPECT_EQ(asked, 0);
  u->FileSelected(2, true);
  ExpectRun(true, kUzErr, {});  // b.txt reads back, a.txt does not
}

// A file entry where a folder stands cannot be written: the run fails
// rather than report an entry extracted that is not there.
TEST_F(UnzipTest, FileWhereAFolderStandsFailsTheRun) {
  const struct {
    Entries entries;
    Names extracted;
  } cases[] = {{{{"a/b", "x"}, {"a", "y"}, {"c", "z"}}, {"a\\b", "c"}},  // the folder of an earlier entry
               {{{"a/", ""}, {"a", "y"}, {"c", "z"}}, {"c"}},  // a folder entry
               {{{".", "d"}, {"c", "z"}}, {"c"}}};  // the work folder itself
  int n = 0;
  for (const auto& c : cases) {
    const std::string folder = "w" + std::to_string(++n);
    SCOPED_TRACE(folder);
    MakeRawArchive(box.Path(folder + ".qmb"), c.entries);
    Open(folder + ".qmb", "", true, folder);
    ExpectRun(false, kUzErr, c.extracted, folder);
  }
}

// A tick that cancels ends the run there: the entries being extracted are
// given up, a new file of theirs removed and an earlier one kept as it was.
TEST_F(UnzipTest, TickThatCancelsGivesUpTheEntriesBeingExtracted) {
  const std::string large(32 << 20, 'x');
  MakeRawArchive(box.Path("big.qmb"), {{"kept.dbx", large}, {"new.dbx", large}});
  box.WriteFile("out\\kept.dbx", "the earlier file");
  Open("big.qmb");
  std::vector<std::uint64_t> read;
  u->Tick = [&](std::uint64_t bytes, bool& cancel) { read.push_back(bytes), cancel = true; };
  ExpectRun(false, 80, {"kept.dbx"});
  ASSERT_EQ(read.size(), 1u);
  EXPECT_LT(read[0], 2 * large.size());
  EXPECT_TRUE(Read("out\\kept.dbx") == "the earlier file");
}

// Entries are extracted on several threads: an existing file is replaced only
// when the owner says so (asked by its own name); one file named twice (in two
// letter cases) and a file that turns up while the run goes on must still be
// written once, in order, and only with the owner's consent.
TEST_F(UnzipTest, ExistingFilesAreReplacedInOrderAndOnlyWhenTheOwnerSaysSo) {
  MakeRawArchive(box.Path("a.qmb"), {{"a.txt", "new a"}, {"b.txt", "new b"}});
  box.WriteFile("out\\a.txt", "old a");
  box.WriteFile("out\\B.TXT", "old b");  // the same file to Windows
  Open("a.qmb", "", false).OverwriteExisting(false);
  std::vector<std::string> asked;
  u->OverwritePrompt = [&](const std::string& name, std::int32_t& response) {
    asked.push_back(name);
    EXPECT_EQ(response, 100);
    if (name.find("a.txt") != std::string::npos) response = kUzReplaceYes;
  };
  u->Unzip();
  EXPECT_EQ(asked.size(), 2u);
  EXPECT_EQ(Read("out\\a.txt") + Read("out\\b.txt"), "new aold b");

  MakeRawArchive(box.Path("d.qmb"), {{"a.txt", std::string(300000, '1')}, {"m.txt", "m"},
                                     {"A.TXT", std::string(200000, '2')}, {"b.txt", "new b"}});
  Open("d.qmb", "", false, "twice");
  EXPECT_TRUE(u->Unzip()) << u->LastResult();
  EXPECT_EQ(Extracted("twice").size(), 3u);
  EXPECT_EQ(Read("twice\\a.txt"), std::string(200000, '2'));
  Open("d.qmb", "", false, "fresh").OverwriteExisting(false);
  u->Cancel = [&](const std::string& name, bool&) {
    if (name.find("b.txt") != std::string::npos) box.WriteFile("fresh\\b.txt", "someone's");
  };
  asked.clear();
  u->OverwritePrompt = [&](const std::string& name, std::int32_t&) { asked.push_back(name); };
  u->Unzip();
  EXPECT_EQ(Read("fresh\\b.txt"), "someone's");
  ASSERT_FALSE(asked.empty());
  EXPECT_NE(asked.back().find("b.txt"), std::string::npos);
}

// Guards against a fixed limit on the names a run selects: a backup holds as
// many store files as the user has folders, and the restore passes them all
// but the identity list by name.
TEST_F(UnzipTest, MissingArchiveFailsAndThousandsOfSelectedNamesAreExtractedExactly) {
  cUnzip none;
  EXPECT_FALSE(none.Unzip());  // no ZipFile
  EXPECT_EQ(Open("none.qmb").LastResult(), kUzNoZip);
  Entries entries;
  for (int i = 0; i < 3000; ++i) entries.push_back({"{1}/f" + std::to_string(i) + ".dbx", std::to_string(i)});
  MakeRawArchive(box.Path("many.qmb"), entries);
  Open("many.qmb");
  ASSERT_EQ(u->FileCount(), 3000);
  Names expected;
  for (std::int32_t i = 1; i <= 3000; ++i) {
    u->FileSelected(i, i % 3 != 0);  // 2000 names
    if (i % 3 != 0) expected.push_back("{1}\\" + u->Filename(i));
  }
  std::sort(expected.begin(), expected.end());
  ExpectRun(true, 0, {});
  ExpectRun(false, 0, expected);
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
