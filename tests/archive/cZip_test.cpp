// cZip over the zip library: the archive it writes, the events it raises.
#include "archive/cZip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

#include "archive/cUnzip.h"
#include "archive/mZip.h"
#include "archive_test_support.h"
#include "platform/files.h"
#include "support/file_lock.h"
#include "support/sandbox.h"
#include "support/scripted_user.h"

using archivetest::ArchiveComment;
using archivetest::ReadArchive;

namespace {

class ZipTest : public ::testing::Test {
 protected:
  void SetUp() override {
    archivetest::ProvideLibraries();
    for (const char* folder : {"work", "work\\{1234}", "work\\{1234}\\00000000", "work\\empty"}) box.MakeFolder(folder);
    box.WriteFile("work\\IdList.lst", "ids");
    box.WriteFile("work\\{1234}\\Inbox.dbx", std::string(200000, 'm'));
    box.WriteFile("work\\{1234}\\00000000\\sig.txt", "-- Anna");
  }
  // A cZip set up as the backup uses it, packing work\ into `archive`.
  cZip& Zip(const std::string& password = "", const std::string& comment = "",
            const std::string& archive = "out.qmb") {
    zip = std::make_unique<cZip>();
    archivetest::SetUpBackupZip(*zip, box.Path("work\\"), box.Path(archive), password, comment);
    return *zip;
  }
  testsupport::Sandbox box;
  std::unique_ptr<cZip> zip;
};

TEST_F(ZipTest, PacksTheFolderWithRelativeNamesAndNoFolderEntries) {
  std::vector<std::string> progress;
  Zip().Progress = [&](std::int32_t, const std::string& m) { progress.push_back(m); };
  zip->Zip();
  EXPECT_TRUE(zip->Success()) << zip->LastResult();
  auto entries = ReadArchive(box.Path("out.qmb"));
  std::vector<std::string> names;
  for (auto& [n, c] : entries) names.push_back(n);
  EXPECT_EQ(names, (std::vector<std::string>{"IdList.lst", "{1234}/00000000/sig.txt", "{1234}/Inbox.dbx"}));
  EXPECT_EQ(entries["{1234}/Inbox.dbx"], std::string(200000, 'm'));
  std::uint64_t packed = 0;
  ASSERT_TRUE(platform::GetFileSize(box.Path("out.qmb"), packed));
  EXPECT_LT(packed, 20000u);  // deflated at the default level, not stored
  // One "adding" message per file, with backslashes, each followed by a "(deflated" one.
  int adding = 0, deflated = 0;
  for (const auto& m : progress) {
    deflated += m.find("(deflated") != std::string::npos;
    adding += m.rfind("  adding: ", 0) == 0;
    EXPECT_EQ(m.find('/'), std::string::npos) << m;
  }
  EXPECT_EQ(adding, 3);
  EXPECT_EQ(deflated, 3);
  EXPECT_NE(std::find(progress.begin(), progress.end(), "  adding: {1234}\\00000000\\sig.txt"), progress.end());
}

// Blanks alone are no comment; a long one is cut to 255 bytes; accented
// folder, file and archive names (entry names stored as flagged UTF-8), and
// an accented comment in the ANSI code page on Windows (natively Debian's
// libzip takes UTF-8 comments only), read back by cUnzip in ANSI.
TEST_F(ZipTest, CommentsAndAccentedNames) {
  std::string longComment(300, 'c');
  longComment[254] = 'E';
  for (const auto& [given, stored] : {std::pair<std::string, std::string>{"   ", ""}, {longComment, longComment.substr(0, 255)}}) {
    Zip("", given).Zip();
    ASSERT_TRUE(zip->Success());
    EXPECT_EQ(ArchiveComment(box.Path("out.qmb")), stored);
  }
  box.MakeFolder("work\\Bo\xEEte de r\xE9" "ception");
  box.WriteFile("work\\Bo\xEEte de r\xE9" "ception\\Gel\xF6scht.dbx", "deleted");
  box.MakeFolder("St\xF6re \xE9t\xE9");
  const std::string archive = "St\xF6re \xE9t\xE9\\out.qmb";
  Zip("", "Sauvegarde d'\xE9t\xE9", archive).Zip();
  ASSERT_TRUE(zip->Success()) << zip->LastResult();
  EXPECT_EQ(ReadArchive(box.Path(archive))["Bo\xC3\xAEte de r\xC3\xA9" "ception/Gel\xC3\xB6scht.dbx"], "deleted");
  EXPECT_EQ(ArchiveComment(box.Path(archive)),
            testsupport::kRealWindows ? "Sauvegarde d'\xE9t\xE9" : "Sauvegarde d'\xC3\xA9t\xC3\xA9");
  cUnzip back;
  back.ZipFile(box.Path(archive));
  back.Directory();
  EXPECT_EQ(back.Comment(), "Sauvegarde d'\xE9t\xE9");
}

// Asked twice (the second to confirm), blanks around it dropped; the writer
// and the reader keep the same number of characters of a long password;
// two different answers or a cancelled request leave no archive.
TEST_F(ZipTest, PasswordIsAskedTwiceVerifiedAndReadsBack) {
  std::vector<std::pair<bool, std::int32_t>> asked;  // confirm, longest
  Zip("s3cret", "My backup").PasswordRequest = [&](std::string& p, std::int32_t max, bool confirm, bool&) {
    asked.push_back({confirm, max});
    p = "  s3cret ";
  };
  zip->Zip();
  ASSERT_TRUE(zip->Success()) << zip->LastResult();
  EXPECT_EQ(asked, (std::vector<std::pair<bool, std::int32_t>>{{false, 256}, {true, 256}}));
  EXPECT_NE(ReadArchive(box.Path("out.qmb"))["IdList.lst"], "ids");  // unreadable without it
  EXPECT_EQ(ReadArchive(box.Path("out.qmb"), "s3cret")["IdList.lst"], "ids");
  EXPECT_EQ(ArchiveComment(box.Path("out.qmb")), "My backup");

  for (std::size_t length : {254u, 255u, 256u, 300u}) {
    SCOPED_TRACE(length);
    std::string password;
    for (std::size_t k = 0; k < length; ++k) password += static_cast<char>('a' + k % 26);
    Zip(password, "", "long.qmb").Zip();
    ASSERT_TRUE(zip->Success());
    EXPECT_EQ(ReadArchive(box.Path("long.qmb"), password.substr(0, 255).c_str())["IdList.lst"], "ids");
    cUnzip u;
    u.ZipFile(box.Path("long.qmb"));
    u.PasswordRequest = [&](std::string& p, bool&) { p = password; };
    EXPECT_TRUE(u.Test()) << u.LastResult();
  }

  int calls = 0;
  Zip("x").PasswordRequest = [&](std::string& p, std::int32_t, bool, bool&) { p = ++calls == 1 ? "one" : "two"; };
  platform::RemoveFile(box.Path("out.qmb"));
  zip->Zip();
  EXPECT_FALSE(zip->Success());
  EXPECT_FALSE(box.Exists("out.qmb"));
  zip->PasswordRequest = [&](std::string&, std::int32_t, bool, bool& cancel) { cancel = true; };
  zip->Zip();
  EXPECT_FALSE(zip->Success());
  EXPECT_TRUE(mZip::Cancelled());
  EXPECT_FALSE(box.Exists("out.qmb"));
}

// Either event stops the run where it is: before a file (the service event)
// or within one (the bytes event, which counts the bytes of all the files).
TEST_F(ZipTest, CancelFromTheServiceOrBytesEventAbortsTheRun) {
  for (const bool withinAFile : {false, true}) {
    SCOPED_TRACE(withinAFile ? "bytes" : "service");
    int asked = 0;
    std::uint64_t done = 0, total = 0;
    if (withinAFile) {
      Zip("", "c").Bytes = [&](std::uint64_t d, std::uint64_t t, bool& cancel) { ++asked, done = d, total = t, cancel = true; };
    } else {
      Zip("", "c").Cancel = [&](const std::string&, bool& cancel) { ++asked, cancel = true; };
    }
    zip->Zip();
    EXPECT_EQ(zip->LastResult(), 9);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(box.Exists("out.qmb"));
    if (withinAFile) {
      EXPECT_EQ(total, 200000u + 3 + 7);
      EXPECT_LT(done, total);
    }
  }
}

// The backup makes an empty file for the archive (noted for the next start
// before it is made) and the writer writes into it: no file of another
// name appears beside it, which a killed run would leave behind. A failed
// write leaves the file empty.
TEST_F(ZipTest, NewArchiveIsWrittenIntoItsOwnFileOnly) {
  for (const bool unreadable : {false, true}) {
    SCOPED_TRACE(unreadable ? "a file that cannot be read" : "written");
    box.WriteFile("new.qmb", "");
    std::set<std::string> seen;
    auto look = [&] {
      std::vector<platform::DirEntry> entries;
      platform::ListFolder(box.Path("new.qmb*"), entries);
      for (const platform::DirEntry& e : entries) seen.insert(e.name);
    };
    Zip("", "", "new.qmb").Bytes = [&](std::uint64_t, std::uint64_t, bool&) { look(); };
    {
      std::unique_ptr<testsupport::FileLock> lock;
      if (unreadable) lock = std::make_unique<testsupport::FileLock>(box.Path("work\\{1234}\\Inbox.dbx"));
      zip->Zip();
    }
    look();
    EXPECT_EQ(zip->Success(), !unreadable);
    EXPECT_EQ(seen, std::set<std::string>{"new.qmb"});
    EXPECT_EQ(testsupport::FileBytes(box.Path("new.qmb")).empty(), unreadable);
  }
}

// Guards against a backup that reports success while a file is missing
// from it: a file that cannot be read (locked, named but not there, from
// elsewhere and gone) fails the run, says which, and keeps the earlier archive.
TEST_F(ZipTest, UnreadableOrMissingFileFailsTheRunAndKeepsTheEarlierArchive) {
  box.WriteFile("out.qmb", "earlier");
  Zip();
  {
    testsupport::FileLock lock(box.Path("work\\{1234}\\Inbox.dbx"));
    ASSERT_TRUE(lock.ok());
    zip->Zip();
  }
  EXPECT_FALSE(zip->Success());
  EXPECT_EQ(zip->LastResult(), 18);
  zip->AddFileSpec("missing.dbx");
  zip->Zip();
  EXPECT_FALSE(zip->Success());
  std::vector<std::string> unreadable;
  Zip().Unreadable = [&](const std::string& path) { unreadable.push_back(path); };
  zip->AddFileAs(box.Path("gone.dbx"), "{1234}\\gone.dbx");
  zip->Zip();
  EXPECT_EQ(zip->LastResult(), 18);
  EXPECT_EQ(unreadable, std::vector<std::string>{box.Path("gone.dbx")});
  EXPECT_EQ(testsupport::FileBytes(box.Path("out.qmb")), "earlier");
}

TEST_F(ZipTest, NothingToPackOrTooManySpecsFails) {
  archivetest::SetUpBackupZip(Zip(), box.Path("work\\empty\\"), box.Path("out.qmb"), "", "");
  zip->Zip();
  EXPECT_FALSE(zip->Success());
  EXPECT_FALSE(box.Exists("out.qmb"));
  testsupport::ScriptedUser user;
  for (int i = 0; i < 1100; ++i) zip->AddFileSpec("f" + std::to_string(i));
  zip->Zip();
  EXPECT_FALSE(zip->Success());
  ASSERT_EQ(user.Shown().size(), 1u);
  EXPECT_EQ(user.Shown()[0].text, "Subscript out of range");
  EXPECT_EQ(user.Shown()[0].Icon(), platform::kCritical);
}

// Files packed from where they lie take their entry names as given, folders
// kept; one named like a file of the folder replaces it in its place.
TEST_F(ZipTest, FileNamedTwiceIsOneEntryAndFilesFromElsewhereKeepTheirNames) {
  box.MakeFolder("store");
  box.WriteFile("store\\Inbox.dbx", "from the store");
  box.WriteFile("store\\Sent.dbx", std::string(300000, 's'));
  Zip().AddFileSpec("IdList.lst");  // also matched by "*.*"
  zip->AddFileAs(box.Path("store\\Inbox.dbx"), "{1234}\\Inbox.dbx");
  zip->AddFileAs(box.Path("store\\Sent.dbx"), "{1234}\\Sent.dbx");
  zip->Zip();
  ASSERT_TRUE(zip->Success()) << zip->LastResult();
  auto entries = ReadArchive(box.Path("out.qmb"));
  EXPECT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries["IdList.lst"], "ids");
  EXPECT_EQ(entries["{1234}/Inbox.dbx"], "from the store");
  EXPECT_EQ(entries["{1234}/Sent.dbx"], std::string(300000, 's'));
}

}  // namespace
