// What a killed run leaves is cleared at the next start: the half-written
// archive and the work folders go, moved-aside store files come back (or
// go, once the new ones were complete), and nothing else is touched, not
// even files named like the program's own. (A kill at each write of the
// record, in a real backup and restore: tests/restore/RestoreRun_test.cpp.)
#include "helpers/RunRecord.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/files.h"
#include "platform/paths.h"
#include "helpers/modFunction.h"
#include "support/sandbox.h"
#ifndef _WIN32
#include "platform/emulated/emulation.h"
#endif

namespace {

// A process id no process has.
constexpr const char kDeadRecord[] = "~qmrun899999996.lst";

std::string Read(const std::string& path) {
  std::string bytes;
  return platform::ReadWholeFile(path, bytes) ? bytes : "<missing>";
}

// The record this process wrote, handed over as if its process had been killed.
void Die() {
  ASSERT_TRUE(platform::MoveFileReplace(RunRecord::RecordFile(), modFunction::LibraryFolder() + kDeadRecord));
}

class RunRecordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RunRecord::Remove();
    platform::RemoveFile(modFunction::LibraryFolder() + kDeadRecord);
    store = box.Path("store\\");
    platform::CreateFolder(box.Path("store"));
    aside = store + "~qm-old\\";
    platform::CreateFolder(box.Path("store\\~qm-old"));
    platform::WriteWholeFile(aside + "Inbox.dbx", "old inbox");
    platform::WriteWholeFile(aside + "Gone.dbx", "old only");
    platform::WriteWholeFile(store + "Inbox.dbx", "new, half copied");
    platform::WriteWholeFile(store + "notes.txt", "the user's");
  }
  void TearDown() override {
    RunRecord::SetWriteHook({});
    RunRecord::Remove();
    platform::RemoveFile(modFunction::LibraryFolder() + kDeadRecord);
  }
  testsupport::Sandbox box;
  std::string store, aside;
};

TEST_F(RunRecordTest, KilledBackupLeavesNoArchiveAndNoPlainCopies) {
  std::string work = RunRecord::MakeWorkFolder();
  ASSERT_TRUE(modFunction::IsFolder(work));
  platform::WriteWholeFile(work + "Inbox.dbx", "a plain copy of the mail");
  const std::string partial = RunRecord::MakeArchiveFile(box.Root());
  ASSERT_TRUE(modFunction::FileExists(partial));
  // The user's files, named like the archive plus something.
  const std::vector<std::string> users = {partial + ".mydata1", partial + ".2024-01", partial + ".a1B2c3"};
  for (const std::string& u : users) platform::WriteWholeFile(u, "the user's");
  const std::string foreign = box.Path("keep.tmp");
  platform::WriteWholeFile(foreign, "not the program's");
  RunRecord::NoteArchive(foreign);                  // not a name the program makes
  RunRecord::NoteWorkFolder(box.Path("elsewhere"));  // not below the temporary folder
  box.MakeFolder("elsewhere");

  RunRecord::Recover();  // this process still runs: its record stays
  EXPECT_TRUE(modFunction::IsFolder(work));
  EXPECT_TRUE(modFunction::FileExists(RunRecord::RecordFile()));
  Die();
  EXPECT_GE(RunRecord::Recover(), 1);
  EXPECT_FALSE(modFunction::IsFolder(work));
  EXPECT_FALSE(modFunction::FileExists(partial));
  for (const std::string& u : users) EXPECT_EQ(Read(u), "the user's") << u;
  EXPECT_EQ(Read(foreign), "not the program's");
  EXPECT_TRUE(box.Exists("elsewhere"));
  EXPECT_FALSE(modFunction::FileExists(modFunction::LibraryFolder() + kDeadRecord));

  // At start-up a record under the program's own id was left by a dead
  // process whose id the system has handed out again.
  std::string stale = RunRecord::MakeWorkFolder();
  EXPECT_GE(RunRecord::Recover(true), 1);
  EXPECT_FALSE(modFunction::IsFolder(stale));
}

TEST_F(RunRecordTest, KilledRestoreLeavesTheStoreAllOldOrAllNew) {
  struct Case {
    const char* what;
    bool complete;
    bool diskFull;  // the disk is full when the copy is noted complete
    const char* inbox;
    bool gone;  // Gone.dbx is there afterwards
  };
  std::vector<Case> cases = {{"killed during the copy", false, false, "old inbox", true},
                             {"killed after the copy", true, false, "new, half copied", false}};
#ifndef _WIN32
  // The failed write leaves the record as it was, not empty.
  cases.push_back({"killed after the last note failed", true, true, "old inbox", true});
#endif
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    platform::RemoveFile(store + "Gone.dbx");
    platform::RemoveFile(store + "New.dbx");
    SetUp();
    ASSERT_TRUE(RunRecord::NoteStore(aside, store, {"Inbox.dbx", "New.dbx"}));
    ASSERT_TRUE(RunRecord::StoreCopying(aside));
    platform::WriteWholeFile(store + "New.dbx", "new folder");
#ifndef _WIN32
    if (c.diskFull) platform::emu::SetDiskSpace(0);
#endif
    if (c.complete) {
      EXPECT_EQ(RunRecord::StoreComplete(aside), !c.diskFull);
    }
#ifndef _WIN32
    platform::emu::SetDiskSpace(-1);
#endif
    Die();
    EXPECT_GE(RunRecord::Recover(), 1);
    EXPECT_EQ(Read(store + "Inbox.dbx"), c.inbox);
    EXPECT_EQ(modFunction::FileExists(store + "Gone.dbx"), c.gone);
    EXPECT_EQ(modFunction::FileExists(store + "New.dbx"), c.complete && !c.diskFull);
    EXPECT_EQ(Read(store + "notes.txt"), "the user's");
    std::string folder = aside;
    EXPECT_FALSE(modFunction::IsFolder(folder));
  }
}

// Killed while the old files were still being moved aside: a file of a new
// one's name is still the old file and must stay.
TEST_F(RunRecordTest, KilledBeforeCopyingKeepsEveryOldFile) {
  platform::WriteWholeFile(store + "Inbox.dbx", "old inbox, not moved yet");
  platform::RemoveFile(aside + "Inbox.dbx");
  RunRecord::NoteStore(aside, store, {"Inbox.dbx"});
  Die();
  RunRecord::Recover();
  EXPECT_EQ(Read(store + "Inbox.dbx"), "old inbox, not moved yet");
  EXPECT_EQ(Read(store + "Gone.dbx"), "old only");
  std::string folder = aside;
  EXPECT_FALSE(modFunction::IsFolder(folder));
}

// Put back by the run itself (a copy that failed, a stop) as by the next
// start: the new files go, the old ones come back, the line is gone. An old
// file that cannot come back (a folder stands in its place) stays aside,
// never deleted.
TEST_F(RunRecordTest, StorePutBackKeepsAnOldFileThatCannotComeBack) {
  for (const bool byTheRun : {true, false}) {
    SCOPED_TRACE(byTheRun ? "by the run" : "at the next start");
    SetUp();
    platform::CreateFolder(store + "Gone.dbx");
    ASSERT_TRUE(RunRecord::NoteStore(aside, store, {"Inbox.dbx"}));
    ASSERT_TRUE(RunRecord::StoreCopying(aside));
    if (byTheRun) {
      EXPECT_TRUE(RunRecord::PutStoreBack(aside));
    } else {
      Die();
      RunRecord::Recover();
    }
    EXPECT_EQ(Read(store + "Inbox.dbx"), "old inbox");
    EXPECT_EQ(Read(aside + "Gone.dbx"), "old only");
    EXPECT_FALSE(modFunction::FileExists(RunRecord::RecordFile()));
    EXPECT_FALSE(RunRecord::PutStoreBack(aside));  // struck: nothing is taken twice
    platform::RemoveFolder(store + "Gone.dbx");
    modFunction::DeleteFolderTree(aside.substr(0, aside.size() - 1));
  }
}

// Nothing is made under a name that could not be noted.
TEST_F(RunRecordTest, WhatCannotBeNotedIsNotMade) {
  int writes = 0;
  RunRecord::SetWriteHook([&](const std::string&) { return ++writes > 1; });
  EXPECT_EQ(RunRecord::MakeArchiveFile(box.Root()), "");
  std::vector<platform::DirEntry> made;
  platform::ListFolder(box.Path("qmb*.*"), made);
  EXPECT_TRUE(made.empty());
  EXPECT_FALSE(modFunction::FileExists(RunRecord::RecordFile()));
  EXPECT_EQ(writes, 1);
}

TEST_F(RunRecordTest, StruckLinesAreNotCarriedOut) {
  std::string work = RunRecord::MakeWorkFolder();
  RunRecord::NoteStore(aside, store, {"Inbox.dbx"});
  RunRecord::Strike(aside);
  RunRecord::Strike(work);
  EXPECT_FALSE(modFunction::FileExists(RunRecord::RecordFile()));  // nothing left to record
  RunRecord::NoteArchive(box.Path("qmb1.tmp"));
  Die();
  RunRecord::Recover();
  EXPECT_TRUE(modFunction::IsFolder(work));
  EXPECT_EQ(Read(store + "Inbox.dbx"), "new, half copied");
}

}  // namespace
