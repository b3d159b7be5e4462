// The file seam, paths and the data sealed for the user behave as Windows
// does, on both builds.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/system.h"
#include "support/sandbox.h"
#ifndef _WIN32
#include "platform/emulated/emulation.h"
#endif

using namespace platform;
using testsupport::Sandbox;

namespace {

bool Listed(const std::vector<DirEntry>& entries, const std::string& name, std::uint32_t* attrs = nullptr) {
  for (const auto& e : entries) {
    if (e.name == name) {
      if (attrs) *attrs = e.attributes;
      return true;
    }
  }
  return false;
}

TEST(Files, WriteReadCopyMoveAndFolders) {
  Sandbox box;
  const std::string bytes("a\0b\r\nc", 6);
  ASSERT_TRUE(WriteWholeFile(box.Path("a"), bytes));
  EXPECT_EQ(testsupport::FileBytes(box.Path("a")), bytes);
  std::uint64_t size = 0;
  ASSERT_TRUE(GetFileSize(box.Path("a"), size));
  EXPECT_EQ(size, 6u);
  std::string back;
  EXPECT_FALSE(ReadWholeFile(box.Path("missing"), back));
  EXPECT_FALSE(GetFileSize(box.Path("missing"), size));
  WriteWholeFile(box.Path("b"), "old");
  EXPECT_FALSE(CopyOneFile(box.Path("a"), box.Path("b"), true));  // replaces only when asked
  EXPECT_EQ(testsupport::FileBytes(box.Path("b")), "old");
  EXPECT_TRUE(CopyOneFile(box.Path("a"), box.Path("b"), false));
  EXPECT_EQ(testsupport::FileBytes(box.Path("b")), bytes);
  EXPECT_FALSE(CopyOneFile(box.Path("missing"), box.Path("c"), false));

  ASSERT_TRUE(CreateFolder(box.Path("d")));
  EXPECT_FALSE(CreateFolder(box.Path("d")));
  EXPECT_FALSE(CreateFolder(box.Path("x\\y")));  // one level only
  WriteWholeFile(box.Path("d\\f"), "1");
  EXPECT_FALSE(RemoveFolder(box.Path("d")));  // not empty
  ASSERT_TRUE(MoveFileReplace(box.Path("b"), box.Path("d\\f")));
  EXPECT_EQ(testsupport::FileBytes(box.Path("d\\f")), bytes);
  EXPECT_FALSE(box.Exists("b"));
  RemoveFile(box.Path("d\\f"));
  EXPECT_TRUE(RemoveFolder(box.Path("d")));
}

TEST(Files, NamesIgnoreLetterCase) {
  Sandbox box;
  ASSERT_TRUE(CreateFolder(box.Path("Mail")));
  ASSERT_TRUE(WriteWholeFile(box.Path("Mail\\Inbox.dbx"), "x"));
  EXPECT_TRUE(IsDirectory(box.Path("MAIL")));
  std::string back;
  EXPECT_TRUE(ReadWholeFile(box.Path("mail\\INBOX.DBX"), back));
  EXPECT_EQ(back, "x");
  // The name as stored, for another spelling: accented letters folded in
  // the code page, a short name found by its long one.
  ASSERT_TRUE(WriteWholeFile(box.Path("Mail\\\xC9t\xE9.txt"), "y"));
  ASSERT_TRUE(WriteWholeFile(box.Path("Mail\\A rather long name.dbx"), "z"));
  struct Case {
    std::string asked, stored;
  };
  for (const Case& c : {Case{box.Path("mail\\INBOX.DBX"), "Inbox.dbx"}, Case{box.Path("MAIL\\\xE9T\xC9.TXT"), "\xC9t\xE9.txt"},
                        Case{ShortPath(box.Path("Mail\\A rather long name.dbx")), "A rather long name.dbx"},
                        Case{box.Path("Mail\\none.dbx"), ""}}) {
    SCOPED_TRACE(c.asked);
    std::string name;
    EXPECT_EQ(ExistingName(c.asked, name), !c.stored.empty());
    EXPECT_EQ(name, c.stored);
  }
}

// A copy's tick sees the bytes go by and can stop the copy: it then fails
// and leaves no part of the file. (Wine's CopyFileEx calls no progress
// routine: there the copy runs whole and the test says so.)
TEST(Files, CopyStoppedByItsTickLeavesNothing) {
  Sandbox box;
  WriteWholeFile(box.Path("big"), std::string(4 << 20, 'm'));
  std::vector<std::uint64_t> seen;
  const bool copied = CopyOneFile(box.Path("big"), box.Path("copy"), false, [&](std::uint64_t done, std::uint64_t size) {
    seen.push_back(done);
    EXPECT_EQ(size, 4u << 20);
    return seen.size() < 3;
  });
  if (seen.empty() && copied) GTEST_SKIP() << "this system's file copy calls no progress routine";
  EXPECT_FALSE(copied);
  EXPECT_EQ(seen.size(), 3u);
  EXPECT_EQ(GetAttributes(box.Path("copy")), kInvalidAttributes);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
}

TEST(Files, ReadOnlyFilesResistDeletionUntilCleared) {
  Sandbox box;
  WriteWholeFile(box.Path("ro.txt"), "keep");
  ASSERT_TRUE(SetAttributes(box.Path("ro.txt"), kAttrReadOnly | kAttrHidden));
  EXPECT_EQ(GetAttributes(box.Path("ro.txt")) & (kAttrReadOnly | kAttrHidden | kAttrDirectory), kAttrReadOnly | kAttrHidden);
  EXPECT_FALSE(RemoveFile(box.Path("ro.txt")));
  ASSERT_TRUE(SetAttributes(box.Path("ro.txt"), kAttrNormal));
  EXPECT_TRUE(RemoveFile(box.Path("ro.txt")));
  EXPECT_EQ(GetAttributes(box.Path("ro.txt")), kInvalidAttributes);
}

TEST(Files, ListingShowsHiddenSystemAndFolders) {
  Sandbox box;
  CreateFolder(box.Path("sub"));
  WriteWholeFile(box.Path("h.txt"), "1");
  WriteWholeFile(box.Path("s.dbx"), "22");
  SetAttributes(box.Path("h.txt"), kAttrHidden);
  SetAttributes(box.Path("s.dbx"), kAttrSystem);
  std::vector<DirEntry> all;
  ASSERT_TRUE(ListFolder(box.Path("*.*"), all));
  for (auto [name, attribute] : {std::pair{"sub", kAttrDirectory}, {"h.txt", kAttrHidden}, {"s.dbx", kAttrSystem}}) {
    std::uint32_t attrs = 0;
    EXPECT_TRUE(Listed(all, name, &attrs)) << name;
    EXPECT_TRUE(attrs & attribute) << name;
  }

  std::vector<DirEntry> dbx;
  ASSERT_TRUE(ListFolder(box.Path("*.DBX"), dbx));
  ASSERT_EQ(dbx.size(), 1u);
  EXPECT_EQ(dbx[0].size, 2u);

  std::vector<DirEntry> capped;
  ASSERT_TRUE(ListFolder(box.Path("*.*"), capped, 2));
  EXPECT_EQ(capped.size(), 2u);
}

TEST(Paths, TempFileNamesShortPathsAndEnvironment) {
  Sandbox box;
  const std::string a = TempFileName(box.Root(), "~exe"), b = TempFileName(box.Root(), "~exe");
  EXPECT_NE(a, b);
  EXPECT_EQ(a.rfind(box.Root() + "~ex", 0), 0u) << a;
  EXPECT_NE(GetAttributes(a), kInvalidAttributes);
  EXPECT_NE(GetAttributes(b), kInvalidAttributes);
  EXPECT_EQ(TempFileName(box.Path("missing\\"), "~exe"), "");
  CreateFolder(box.Path("A long folder name"));
  const std::string s = ShortPath(box.Path("A long folder name"));
  EXPECT_TRUE(IsDirectory(s)) << s;
  if (testsupport::kRealWindows) { EXPECT_EQ(s.find(' '), std::string::npos) << s; }  // 8.3 names carry no blanks
  EXPECT_EQ(ShortPath(box.Path("nothing here")), "");
  const std::string profile = ExpandEnvironment("%USERPROFILE%\\x");
  EXPECT_EQ(profile.find('%'), std::string::npos);
  EXPECT_EQ(profile.substr(profile.size() - 2), "\\x");
  EXPECT_EQ(ExpandEnvironment("%QM_NO_SUCH_VARIABLE%"), "%QM_NO_SUCH_VARIABLE%");
}

// Under Wine these go through the system's own data protection.
TEST(Protect, SealedDataComesBackOnlyWhole) {
  Sandbox box;  // a fresh emulated machine
  for (const std::string& plain : {std::string(), std::string("s3cret"), std::string(300, '\xE9'),
                                   std::string("a\0b", 3)}) {
    std::string sealed, back = "unchanged";
    ASSERT_TRUE(ProtectForUser(plain, sealed));
    if (!plain.empty()) {
      EXPECT_EQ(sealed.find(plain), std::string::npos);
    }
    ASSERT_TRUE(UnprotectForUser(sealed, back));
    EXPECT_EQ(back, plain);
    // Cut short, or its first or last byte changed (Wine's own check passes
    // over some bytes between, such as the salt).
    std::vector<std::string> damaged = {"", sealed.substr(0, sealed.size() / 2), sealed.substr(0, sealed.size() - 1),
                                        sealed, sealed};
    damaged[3].front() ^= 0x20;
    damaged[4].back() ^= 0x20;
    for (const std::string& bytes : damaged) {
      back = "unchanged";
      EXPECT_FALSE(UnprotectForUser(bytes, back)) << bytes.size();
      EXPECT_EQ(back, "unchanged");
    }
  }
}

#ifndef _WIN32
TEST(Protect, AnotherUserCannotUnseal) {
  Sandbox box;
  std::string sealed, back;
  ASSERT_TRUE(ProtectForUser("s3cret", sealed));
  emu::SetCurrentUser("Other");
  EXPECT_FALSE(UnprotectForUser(sealed, back));
  emu::SetCurrentUser("USER");  // account names compare without case
  EXPECT_TRUE(UnprotectForUser(sealed, back));
  emu::SetCurrentUser("");
  EXPECT_FALSE(ProtectForUser("s3cret", sealed));
}
#endif

#ifndef _WIN32
// The list is a snapshot: what runs between its entries (a run's pump, a
// test's hook) may change the processes meanwhile.
TEST(Processes, ListedFromASnapshotWhileTheyChange) {
  emu::SetProcesses({{1, "C:\\a.exe", 0}, {2, "C:\\b.exe", 0}});
  static int calls = 0;
  calls = 0;
  std::vector<ProcessInfo> listed = ListProcesses([] {
    if (++calls == 1) emu::SetProcesses({{3, "C:\\c.exe", 0}});
  });
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[1].exePath, "C:\\b.exe");
  emu::SetProcesses({});
}
#endif

}  // namespace
