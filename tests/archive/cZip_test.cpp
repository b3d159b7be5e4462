// cZip over the zip library: the archive it writes, the events it raises.
#include "archive/cZip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

#include "platform/files.h"

#include "archive/cUnzip.h"
#include "archive/mZip.h"
#include "archive_test_support.h"
#include "support/file_lock.h"
#include "support/sandbox.h"
#include "support/scripted_user.h"

using archivetest::ReadArchive;
using testsupport::Sandbox;

namespace {

class ZipTest : public ::testing::Test {
 protected:
  void SetUp() override {
    archivetest::ProvideLibraries();
    box.MakeFolder("work");
    box.MakeFolder("work\\{1234}");
    box.MakeFolder("work\\{1234}\\00000000");
    box.MakeFolder("work\\empty");
    box.WriteFile("work\\IdList.lst", "ids");
    box.WriteFile("work\\{1234}\\Inbox.dbx", std::string(200000, 'm'));
    box.WriteFile("work\\{1234}\\00000000\\sig.txt", "-- Anna");
  }
  std::string Work() const { return box.Path("work\\"); }
  Sandbox box;
};

TEST_F(ZipTest, PacksTheFolderWithRelativeNamesAndNoFolderEntries) {
  cZip zip;
  std::vector<std::string> progress;
  archivetest::SetUpBackupZip(zip, Work(), box.Path("out.qmb"), "", "");
  zip.Progress = [&](std::int32_t n, const std::string& m) { progress.push_back(m); };
  zip.Zip();
  EXPECT_TRUE(zip.Success()) << zip.LastResult();
  auto entries = ReadArchive(box.Path("out.qmb"));
  std::vector<std::string> names;
  for (auto& [n, c] : entries) names.push_back(n);
  EXPECT_EQ(names, (std::vector<std::string>{"IdList.lst", "{1234}/00000000/sig.txt", "{1234}/Inbox.dbx"}));
  EXPECT_EQ(entries["{1234}/Inbox.dbx"], std::string(200000, 'm'));
  // One "adding" message per file, with backslashes, each followed by a "(deflated" one.
  int adding = 0, deflated = 0;
  for (const auto& m : progress) {
    if (m.find("(deflated") != std::string::npos) ++deflated;
    else if (m.rfind("  adding: ", 0) == 0) ++adding;
    EXPECT_EQ(m.find('/'), std::string::npos) << m;
  }
  EXPECT_EQ(adding, 3);
  EXPECT_EQ(deflated, 3);
  EXPECT_NE(std::find(progress.begin(), progress.end(), "  adding: {1234}\\00000000\\sig.txt"), progress.end());
}

TEST_F(ZipTest, EmptyCommentGivesNoCommentAndSuccess) {
  cZip zip;
  archivetest::SetUpBackupZip(zip, Work(), box.Path("out.qmb"), "", "   ");
  zip.Zip();
  EXPECT_TRUE(zip.Success());
  EXPECT_EQ(archivetest::ArchiveComment(box.Path("out.qmb")), "");
}

TEST_F(ZipTest, PasswordIsAskedTwiceThenVerified) {
  cZip zip;
  archivetest::SetUpBackupZip(zip, Work(), box.Path("out.qmb"), "s3cret", "My backup");
  std::vector<bool> confirms;
  std::vector<std::int32_t> sizes;
  zip.PasswordRequest = [&](std::string& p, std::int32_t max, bool confirm, bool&) {
    confirms.push_back(confirm);
    sizes.push_back(max);
    p = "  s3cret ";  // blanks around it are dropped
  };
  zip.Zip();
  ASSERT_TRUE(zip.Success()) << zip.LastResult();
  EXPECT_EQ(confirms, (std::vector<bool>{false, true}));
  EXPECT_EQ(sizes, (std::vector<std::int32_t>{256, 256}));
  EXPECT_TRUE(ReadArchive(box.Path("out.qmb")).empty() ||
              ReadArchive(box.Path("out.qmb"))["IdList.lst"] != "ids");  // unreadable without it
  EXPECT_EQ(ReadArchive(box.Path("out.qmb"), "s3cret")["IdList.lst"], "ids");
  EXPECT_EQ(archivetest::ArchiveComment(box.Path("out.qmb")), "My backup");
}

// Guards against archives the program cannot open itself: the writer and
// the reader keep the same number of characters of a long password.
TEST_F(ZipTest, LongestPasswordsReadBack) {
  for (std::size_t length : {254u, 255u, 256u, 300u}) {
    SCOPED_TRACE(length);
    std::string password;
    for (std::size_t k = 0; k < length; ++k) password += static_cast<char>('a' + k % 26);
    cZip zip;
    archivetest::SetUpBackupZip(zip, Work(), box.Path("long.qmb"), password, "");
    zip.Zip();
    ASSERT_TRUE(zip.Success());
    EXPECT_EQ(ReadArchive(box.Path("long.qmb"), password.substr(0, 255).c_str())["IdList.lst"], "ids");
    cUnzip u;
    u.ZipFile(box.Path("long.qmb"));
    u.PasswordRequest = [&](std::string& p, bool&) { p = password; };
    EXPECT_TRUE(u.Test()) << u.LastResult();
  }
}

TEST_F(ZipTest, DifferentPasswordsOrACancelledOneFailWithoutAnArchive) {
  cZip zip;
  archivetest::SetUpBackupZip(zip, Work(), box.Path("out.qmb"), "x", "");
  int calls = 0;
  zip.PasswordRequest = [&](std::string& p, std::int32_t, bool, bool&) { p = ++calls == 1 ? "one" : "two"; };
  zip.Zip();
  EXPECT_FALSE(zip.Success());
  EXPECT_FALSE(box.Exists("out.qmb"));

  zip.PasswordRequest = [&](std::string& p, std::int32_t, bool, bool& cancel) { cancel = true; };
  zip.Zip();
  EXPECT_FALSE(zip.Success());
  EXPECT_TRUE(mZip::Cancelled());
  EXPECT_FALSE(box.Exists("out.qmb"));
}

TEST_F(ZipTest, LongCommentIsCutTo255Bytes) {
  cZip zip;
  std::string comment(300, 'c');
  comment[254] = 'E';
  archivetest::SetUpBackupZip(zip, Work(), box.Path("out.qmb"), "", comment);
  zip.Zip();
  ASSERT_TRUE(zip.Success());
  EXPECT_EQ(archivetest::ArchiveComment(box.Path("out.qmb")), comment.substr(0, 255));
}

TEST_F(ZipTest, AccentedFolderAndFileNamesAreStoredAsFlaggedUtf8) {
  box.MakeFolder("work\\Bo\xEEte de r\xE9" "ception");
  box.WriteFile("work\\Bo\xEEte de r\xE9" "ception\\Gel\xF6scht.dbx", "deleted");
  box.MakeFolder("St\xF6re \xE9t\xE9");
  box.WriteFile("St\xF6re \xE9t\xE9\\x.txt", "x");
  cZip zip;
  archivetest::SetUpBackupZip(zip, Work(), box.Path("St\xF6re \xE9t\xE9\\out.qmb"), "", "Sauvegarde d'\xE9t\xE9");
  zip.Zip();
  ASSERT_TRUE(zip.Success()) << zip.LastResult();
  auto entries = ReadArchive(box.Path("St\xF6re \xE9t\xE9\\out.qmb"));
  EXPECT_EQ(entries["Bo\xC3\xAEte de r\xC3\xA9" "ception/Gel\xC3\xB6scht.dbx"], "deleted");
  // The comment in the ANSI code page on Windows; natively Debian's libzip
  // takes UTF-8 comments only.
  EXPECT_EQ(archivetest::ArchiveComment(box.Path("St\xF6re \xE9t\xE9\\out.qmb")),
            testsupport::kRealWindows ? "Sauvegarde d'\xE9t\xE9" : "Sauvegarde d'\xC3\xA9t\xC3\xA9");
  cUnzip back;
  back.ZipFile(box.Path("St\xF6re \xE9t\xE9\\out.qmb"));
  back.Directory();
  EXPECT_EQ(back.Comment(), "Sauvegarde d'\xE9t\xE9");
}

// Either event stops the run where it is: before a file (the service event)
// or within one (the bytes event, which counts the bytes of all the files).
TEST_F(ZipTest, CancelFromTheServiceOrBytesEventAbortsTheRun) {
  for (const bool withinAFile : {false, true}) {
    SCOPED_TRACE(withinAFile ? "bytes" : "service");
    cZip zip;
    archivetest::SetUpBackupZip(zip, Work(), box.Path("out.qmb"), "", "c");
    int asked = 0;
    std::uint64_t done = 0, total = 0;
    if (withinAFile) {
      zip.Bytes = [&](std::uint64_t d, std::uint64_t t, bool& cancel) {
        ++asked;
        done = d;
        total = t;
        cancel = true;
      };
    } else {
      zip.Cancel = [&](const std::string&, bool& cancel) {
        ++asked;
        cancel = true;
      };
    }
    zip.Zip();
    EXPECT_EQ(zip.LastResult(), 9);
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
    cZip zip;
    archivetest::SetUpBackupZip(zip, Work(), box.Path("new.qmb"), "", "");
    std::set<std::string> seen;
    auto look = [&] {
      std::vector<platform::DirEntry> entries;
      platform::ListFolder(box.Path("new.qmb*"), entries);
      for (const platform::DirEntry& e : entries) seen.insert(e.name);
    };
    zip.Bytes = [&](std::uint64_t, std::uint64_t, bool&) { look(); };
    {
      std::unique_ptr<testsupport::FileLock> lock;
      if (unreadable) lock = std::make_unique<testsupport::FileLock>(box.Path("work\\{1234}\\Inbox.dbx"));
      zip.Zip();
    }
    look();
    EXPECT_EQ(zip.Success(), !unreadable);
    EXPECT_EQ(seen, std::set<std::string>{"new.qmb"});
    std::uint64_t size = 0;
    EXPECT_TRUE(platform::GetFileSize(box.Path("new.qmb"), size));
    EXPECT_EQ(size > 0, !unreadable);
  }
}

TEST_F(ZipTest, NewObjectAsksForNoFolderEntriesStrippedNamesNoRecursion) {
  cZip zip;
  EXPECT_EQ(zip.Options().noDirEntries, 1);
  EXPECT_EQ(zip.Options().junkDirNames, 1);
  EXPECT_EQ(zip.Options().recurse, 0);
  EXPECT_EQ(zip.Options().encrypt, 0);
  zip.StoreFolderNames(true);
  zip.RecurseSubDirs(true);
  EXPECT_EQ(zip.Options().junkDirNames, 0);
  EXPECT_EQ(zip.Options().recurse, 2);
}

TEST_F(ZipTest, NothingToPackOrTooManySpecsFails) {
  cZip zip;
  archivetest::SetUpBackupZip(zip, box.Path("work\\empty\\"), box.Path("out.qmb"), "", "");
  zip.Zip();
  EXPECT_FALSE(zip.Success());
  EXPECT_FALSE(box.Exists("out.qmb"));

  testsupport::ScriptedUser user;
  for (int i = 0; i < 1100; ++i) zip.AddFileSpec("f" + std::to_string(i));
  zip.Zip();
  EXPECT_FALSE(zip.Success());
  ASSERT_EQ(user.Shown().size(), 1u);
  EXPECT_EQ(user.Shown()[0].text, "Subscript out of range");
  EXPECT_EQ(user.Shown()[0].Icon(), platform::kCritical);
}

TEST_F(ZipTest, UnreadableFileFailsTheRunAndKeepsTheEarlierArchive) {
  // Guards against a backup that reports success while a file is missing from it.
  box.WriteFile("out.qmb", "earlier");
  cZip zip;
  archivetest::SetUpBackupZip(zip, Work(), box.Path("out.qmb"), "", "");
  {
    testsupport::FileLock lock(box.Path("work\\{1234}\\Inbox.dbx"));
    ASSERT_TRUE(lock.ok());
    zip.Zip();
  }
  EXPECT_FALSE(zip.Success());
  EXPECT_EQ(zip.LastResult(), 18);
  std::string bytes;
  platform::ReadWholeFile(box.Path("out.qmb"), bytes);
  EXPECT_EQ(bytes, "earlier");

  zip.AddFileSpec("missing.dbx");  // a named file that is not there
  zip.Zip();
  EXPECT_FALSE(zip.Success());

  // A file from elsewhere that is not there: the run fails and says which.
  std::vector<std::string> unreadable;
  zip.Unreadable = [&](const std::string& path) { unreadable.push_back(path); };
  zip.ClearFileSpecs();
  zip.AddFileSpec("*.*");
  zip.AddFileAs(box.Path("gone.dbx"), "{1234}\\gone.dbx");
  zip.Zip();
  EXPECT_EQ(zip.LastResult(), 18);
  EXPECT_EQ(unreadable, std::vector<std::string>{box.Path("gone.dbx")});
  EXPECT_EQ(bytes, "earlier");
}

// Files packed from where they lie take their entry names as given, folders
// kept; one named like a file of the folder replaces it in its place.
TEST_F(ZipTest, FileNamedTwiceIsOneEntryAndFilesFromElsewhereKeepTheirNames) {
  box.MakeFolder("store");
  box.WriteFile("store\\Inbox.dbx", "from the store");
  box.WriteFile("store\\Sent.dbx", std::string(300000, 's'));
  cZip zip;
  archivetest::SetUpBackupZip(zip, Work(), box.Path("out.qmb"), "", "");
  zip.AddFileSpec("IdList.lst");  // also matched by "*.*"
  zip.AddFileAs(box.Path("store\\Inbox.dbx"), "{1234}\\Inbox.dbx");
  zip.AddFileAs(box.Path("store\\Sent.dbx"), "{1234}\\Sent.dbx");
  zip.Zip();
  ASSERT_TRUE(zip.Success()) << zip.LastResult();
  auto entries = ReadArchive(box.Path("out.qmb"));
  EXPECT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries["IdList.lst"], "ids");
  EXPECT_EQ(entries["{1234}/Inbox.dbx"], "from the store");
  EXPECT_EQ(entries["{1234}/Sent.dbx"], std::string(300000, 's'));
}

}  // namespace
