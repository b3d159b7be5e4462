// The backup run page: what the archive holds for the demo profile, the
// progress it shows, and how it fails without losing anything.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <vector>

#include "archive/cUnzip.h"
#include "backup/ucBack4.h"
#include "catalog/cProcessItem.h"
#include "demo_profile.h"
#include "helpers/modFunction.h"
#include "platform/files.h"
#include "platform/system.h"
#include "registry/RegistryRoutines.h"
#include "restore/RestoreRun.h"
#include "support/file_lock.h"
#include "support/scripted_user.h"
#ifdef _WIN32
#include "shell/modCheckOE.h"
#else
#include "platform/emulated/emulation.h"
#endif

using backuptest::kAnnaId;
using backuptest::kMainId;
using backuptest::kWorkId;
using Names = std::set<std::string>;

namespace {

const std::string kAll = "1,1,1,1,1,1", kEarlier = "last week's backup";
std::string Bytes(const std::string& path) { return testsupport::FileBytes(path); }
std::string In(const std::string& id, const std::string& name) { return id + "/" + name; }

// The files of a folder, as "id/name" entry names.
Names FilesOf(const std::string& folder, const std::string& id = "") {
  Names names;
  std::vector<platform::DirEntry> entries;
  platform::ListFolder(folder + "*.*", entries);
  for (const auto& e : entries)
    if (!(e.attributes & platform::kAttrDirectory)) names.insert(id.empty() ? e.name : In(id, e.name));
  return names;
}

class BackupRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(demo.ok());
#ifdef _WIN32
    ASSERT_TRUE(modCheckOE::ExtractZipLibraries());
#endif
    platform::CreateFolder(demo.Box().Path("out"));
    page.Catalogue(&items);
    page.Finish = [this] { ++finished; };
  }
  const testsupport::Sandbox& box() const { return demo.Box(); }

  // Takes part: the identity with these flags; everyone else stays out.
  void Choose(const std::map<std::string, std::string>& flags) {
    OneBasedList<bool> selected;
    for (std::int32_t k = 1; k <= items.IdentitiesID().Count(); ++k) {
      auto it = flags.find(items.IdentitiesID().At(k));
      selected.Add(it != flags.end());
      if (it != flags.end()) items.Detail().At(k) = it->second;
    }
    items.SelectIdentity(selected);
    page.TotalItem(static_cast<std::int32_t>(flags.size()));
  }
  bool Run(const std::string& password = "", const std::string& comment = "") {
    page.ZipFileName(archive);
    page.Password(password);
    page.Comment(comment);
    page.InitNow();
    page.StartBackup();
    return page.Succeeded();
  }
  // Entry name ("a/b") -> content, extracted through cUnzip.
  std::map<std::string, std::string> Archive(const std::string& password = "") {
    std::map<std::string, std::string> out;
    cUnzip u;
    u.ZipFile(archive);
    u.UseFolderNames(true);
    u.OverwriteExisting(true);
    u.UnzipFolder(box().Path("back\\"));
    u.PasswordRequest = [password](std::string& p, bool&) { p = password; };
    u.Directory();
    EXPECT_TRUE(u.Unzip());
    for (const UnzipEntry& e : u.Entries()) {
      std::string rel = e.FileDirectory.empty() ? e.Filename : e.FileDirectory + "\\" + e.Filename;
      std::string name = rel;
      std::replace(name.begin(), name.end(), '\\', '/');
      out[name] = Bytes(box().Path("back\\") + rel);
    }
    return out;
  }
  Names EntryNames() {
    Names names;
    for (const auto& e : Archive()) names.insert(e.first);
    return names;
  }
  // The result of a failed run: no archive named, no advice to copy it, but
  // what failed; the user told with one message, if any.
  void ExpectFailure(const std::string& says, const std::string& message = "", int icon = -1) {
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(page.lblTitle.Caption(), "Backup Fail");
    EXPECT_EQ(page.lblFileName.Caption(), "");
    EXPECT_FALSE(page.lblFileName.Visible());
    EXPECT_NE(page.lblAdvice.Caption().find(says), std::string::npos) << page.lblAdvice.Caption();
    EXPECT_EQ(page.lblVerified.Caption(), "");
    if (message.empty()) return;
    ASSERT_EQ(user.Shown().size(), 1u);
    EXPECT_EQ(user.Shown()[0].text.substr(0, message.size()), message);
    if (icon >= 0) { EXPECT_EQ(user.Shown()[0].Icon(), icon); }
  }
  // The earlier archive as it was, nothing beside it, and no working
  // folder (plain copies of the user's data) left behind.
  void ExpectEarlierArchiveKept() {
    platform::SetAttributes(archive, platform::kAttrNormal);
    EXPECT_TRUE(Bytes(archive) == kEarlier);
    EXPECT_EQ(FilesOf(box().Path("out\\")), Names{"demo.qmb"});
#ifndef _WIN32  // under Wine the temporary folder is shared with the other test programs
    std::vector<platform::DirEntry> work;
    platform::ListFolder(modFunction::TempPath() + "~oe*", work);
    EXPECT_TRUE(work.empty()) << work[0].name;
#endif
  }

  backuptest::DemoProfile demo;
  cProcessItem items;  // read from the seeded registry
  ucBack4 page;
  testsupport::ScriptedUser user;
  int finished = 0;
  std::string archive = demo.Box().Path("out\\demo.qmb");
};

TEST_F(BackupRunTest, RegistryExportsHoldTheirBranches) {
  Choose({{kAnnaId, "0,1,0,1,1,1"}});
  ASSERT_TRUE(Run());
  auto entries = Archive();
  // As the export routine writes the same branches (its format: the
  // registry tests; the text of one read by Python: archive_check.py).
  RegistryRoutines reg;
  const std::string base = std::string("Identities\\") + kAnnaId + "\\Software\\Microsoft\\";
  const std::map<std::string, std::string> branches = {
      {In(kAnnaId, "Accounts.bkr"), base + "Internet Account Manager"},
      {In(kAnnaId, "Blocked.bkr"), base + "Outlook Express\\5.0\\Block Senders"},
      {In(kAnnaId, "Rules.bkr"), base + "Outlook Express\\5.0\\Rules"},
      {In(kAnnaId, "Signatures.bkr"), base + "Outlook Express\\5.0\\Signatures"},
      {"Comment.lst", "Software\\Microsoft\\Internet Account Manager"},
      {"GroupState.bkr", "Software\\Microsoft\\MessengerService\\GroupStateCache"},
      {"UserList.bkr", "Software\\Microsoft\\MessengerService\\ListCache"}};
  for (const auto& [entry, key] : branches) {
    ASSERT_TRUE(reg.SaveKey(key, box().Path("expected.bkr"), kHkeyCurrentUser, true, false));
    EXPECT_EQ(entries[entry], Bytes(box().Path("expected.bkr"))) << entry;
  }
  EXPECT_NE(entries["GroupState.bkr"].find("\"demo@example.org\"=hex:01,00,00,00,07,00,00,00"), std::string::npos);
}

// Each item gives its entries only; the shared parts come once; an identity
// without an accounts key or a store gives none; an empty store and a
// signature file that is gone leave nothing behind and no message.
TEST_F(BackupRunTest, EachItemGivesItsOwnEntriesOnly) {
  Choose({{kMainId, "1,0,0,0,0,0"}});
  ASSERT_TRUE(Run());
  Names expected = FilesOf(demo.StoreFolder(kMainId), kMainId);
  expected.insert("IdList.lst");
  EXPECT_EQ(EntryNames(), expected);

  Choose({{kMainId, "0,1,0,0,0,0"}, {kWorkId, "0,1,0,0,0,0"}});
  ASSERT_TRUE(Run());
  EXPECT_EQ(EntryNames(), (Names{"IdList.lst", "Comment.lst", "GroupState.bkr", "UserList.bkr", In(kMainId, "Accounts.bkr")}));

  for (const std::string& f : FilesOf(demo.StoreFolder(kAnnaId))) ASSERT_TRUE(platform::RemoveFile(demo.StoreFolder(kAnnaId) + f));
  ASSERT_TRUE(platform::RemoveFile(demo.SignatureFile("work.htm")));
  Choose({{kAnnaId, "1,0,0,0,0,1"}, {kWorkId, "1,0,0,0,0,0"}});
  ASSERT_TRUE(Run());
  EXPECT_TRUE(user.Shown().empty());
  EXPECT_EQ(EntryNames(), (Names{"IdList.lst", In(kAnnaId, "Signatures.bkr")}));
}

TEST_F(BackupRunTest, PasswordEncryptsAndBlanksDoNot) {
  Choose({{kAnnaId, "1,0,0,0,1,0"}});
  for (const char* password : {"s3cret", "   "}) {
    ASSERT_TRUE(Run(password, "  my comment  "));
    cUnzip u;
    u.ZipFile(archive);
    u.Directory();
    EXPECT_EQ(u.Comment(), "my comment");
    ASSERT_GT(u.FileCount(), 0);
    for (const UnzipEntry& e : u.Entries()) EXPECT_EQ(e.FileEncrypted, *password != ' ') << e.Filename;
    if (*password != ' ') {
      EXPECT_EQ(Archive(password)[In(kAnnaId, "Inbox.dbx")], Bytes(demo.StoreFolder(kAnnaId) + "Inbox.dbx"));
    }
  }
}

// The steps are marked in turn and the result shown; the new archive takes
// the earlier one's place only once complete and read back. Guards against
// a bar that jumps back, fills before the work is done or moves by steps
// rather than by the work: one bar over the run, by the bytes, gathering,
// packing and reading back each keeping to its share.
TEST_F(BackupRunTest, StepsAreMarkedTheBarRisesWithTheBytesAndTheResultIsShown) {
  ASSERT_TRUE(platform::WriteWholeFile(demo.StoreFolder(kMainId) + "Large.dbx", backuptest::Mailbox(12 << 20)));
  box().WriteFile("out\\demo.qmb", kEarlier);
  Choose({{kMainId, kAll}, {kAnnaId, kAll}});
  std::vector<std::pair<int, double>> seen;  // step, bar
#ifndef _WIN32
  int ticks = 0;
  platform::emu::AddDoEventsHook([&] {
    seen.push_back({page.CurrentStep(), page.ProgressBar1.value()});
    if (page.imgStep[page.CurrentStep()].Shown() == backup::StepMarker::kNeutral) ++ticks;
    ticks += platform::emu::FireTimers();
  });
#endif
  EXPECT_EQ(page.lblState.Caption(), "Ready to Back up");
  ASSERT_TRUE(Run());
  EXPECT_EQ(page.lblState.Caption(), "Backing Up");
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(page.imgStep[i].Shown(), backup::StepMarker::kTick);
    EXPECT_FALSE(page.lblStep[i].Bold());
  }
  EXPECT_FALSE(page.tmrStep.Enabled());
  EXPECT_FALSE(page.fmeProcess.Visible());
  EXPECT_TRUE(page.fmeResult.Visible());
  EXPECT_EQ(page.lblTitle.Caption(), "Backup Completed");
  EXPECT_EQ(page.lblNotice.Caption(), ucBack4::kCompletedNotice);
  EXPECT_EQ(page.lblFileName.Caption(), archive);
  EXPECT_EQ(page.lblVerified.Caption(), ucBack4::kVerifiedNote);
  EXPECT_EQ(page.lblAdvice.Caption(), ucBack4::kAdvice);
  EXPECT_EQ(platform::CurrentMousePointer(), platform::MousePointer::Default);
  EXPECT_FALSE(platform::IsDirectory(page.TempDir()));  // the working folder is gone
  EXPECT_NE(Bytes(archive), kEarlier);
  EXPECT_EQ(FilesOf(box().Path("out\\")), Names{"demo.qmb"});
  const double full = page.ProgressBar1.Max();
  EXPECT_EQ(page.ProgressBar1.value(), full);
#ifndef _WIN32
  EXPECT_GT(ticks, 0);
  const double packingFrom = full * backup::BackupRun::kPackingFrom;
  double last = 0;
  int packing = 0;
  for (const auto& [step, bar] : seen) {
    SCOPED_TRACE("step " + std::to_string(step) + " at " + std::to_string(bar));
    EXPECT_GE(bar, last);
    EXPECT_LT(bar, full);
    if (step < 2) { EXPECT_LE(bar, packingFrom); }
    packing += step == 2 && bar > packingFrom && bar < full * backup::BackupRun::kReadingBackFrom;
    last = bar;
  }
  EXPECT_GT(packing, 1);
  EXPECT_GE(last + 1, full * backup::BackupRun::kReadingBackFrom);  // reading back began
#endif
  page.InitNow();
  for (auto& marker : page.imgStep) EXPECT_EQ(marker.Shown(), backup::StepMarker::kNeutral);
  EXPECT_EQ(page.lblState.Caption(), "Ready to Back up");
  EXPECT_EQ(page.ProgressBar1.value(), 0);
}

// ---- Failures lose nothing ---------------------------------------------------------

// Guards against a locked message store silently missing from a "successful"
// backup, and against that incomplete backup taking the earlier one's place;
// every file that cannot be read is named at once.
TEST_F(BackupRunTest, FileThatCannotBeCopiedFailsTheRunAndKeepsTheEarlierArchive) {
  const std::string locked = demo.StoreFolder(kMainId) + "Inbox.dbx", also = demo.StoreFolder(kMainId) + "Sent Items.dbx";
  box().WriteFile("out\\demo.qmb", kEarlier);
  Choose({{kMainId, "1,0,1,0,0,0"}});
  {
    testsupport::FileLock lock(locked), alsoLock(also);
    ASSERT_TRUE(lock.ok() && alsoLock.ok());
    EXPECT_FALSE(Run());
  }
  const std::string message = std::string(backup::kNotCopiedMessage) + "\r\n\r\n" + locked + "\r\n" + also;
  ExpectFailure("These files could not be read: " + locked + ", " + also + ".", message, platform::kCritical);
  EXPECT_EQ(user.Shown()[0].text, message);
  EXPECT_EQ(page.lblNotice.Caption(), ucBack4::kFailedNotice);
  ExpectEarlierArchiveKept();
}

// Guards against the earlier backup deleted before a new one that then
// fails: the archive cannot be replaced (read-only on the emulated machine;
// in use by another program under Wine, which lets a read-only file be
// replaced by a rename), or its folder is a file.
TEST_F(BackupRunTest, FailedCompressionKeepsTheEarlierArchive) {
  box().WriteFile("out\\demo.qmb", kEarlier);
  Choose({{kAnnaId, "0,0,0,0,1,0"}});
  {
#ifdef _WIN32
    testsupport::FileLock inUse(archive);
    ASSERT_TRUE(inUse.ok());
#else
    platform::SetAttributes(archive, platform::kAttrReadOnly);
#endif
    EXPECT_FALSE(Run());
  }
  ExpectFailure("The backup file could not be written to " + box().Path("out\\") + ".", backup::kCompressFailMessage,
                platform::kExclamation);
  ExpectEarlierArchiveKept();

  box().WriteFile("blocker", "a file where the folder should be");
  archive = box().Path("blocker\\demo.qmb");
  finished = 0;
  EXPECT_FALSE(Run());
  EXPECT_EQ(user.Shown().size(), 2u);
  EXPECT_EQ(user.Shown().back().text, backup::kCompressFailMessage);
  EXPECT_EQ(finished, 1);
}

#ifndef _WIN32
// Guards against a backup reported complete while a registry export could not be written.
TEST_F(BackupRunTest, ExportThatCannotBeWrittenFailsTheRunAtOnce) {
  box().WriteFile("blocker", "a file where the temporary folder should be");
  Choose({{kAnnaId, "0,0,0,1,0,0"}});
  platform::emu::SetTempDirectory(box().Path("blocker") + "\\");  // for this test only
  EXPECT_FALSE(Run());
  ExpectFailure("The registry data could not be saved to ", backup::kExportFailMessage, platform::kCritical);
  EXPECT_NE(user.Shown()[0].text.find("Rules.bkr"), std::string::npos);
  EXPECT_EQ(platform::GetAttributes(archive), platform::kInvalidAttributes);
}

// Guards against an archive that does not read back taking the earlier
// one's place: a file slipped into the working folder while it is packed
// is not in the archive, and the check after writing finds that.
TEST_F(BackupRunTest, ArchiveThatDoesNotMatchWhatWasGatheredIsNotKept) {
  box().WriteFile("out\\demo.qmb", kEarlier);
  Choose({{kAnnaId, "0,0,0,1,1,0"}});
  bool slipped = false;
  int calls = 0;  // the first comes as the step begins, before packing
  platform::emu::AddDoEventsHook([&] {
    if (slipped || page.CurrentStep() != 2 || ++calls < 2) return;
    std::vector<platform::DirEntry> work;
    platform::ListFolder(modFunction::TempPath() + "~oe*", work);
    for (const auto& e : work) slipped |= platform::WriteWholeFile(modFunction::TempPath() + e.name + "\\late.txt", "late");
  });
  EXPECT_FALSE(Run());
  ASSERT_TRUE(slipped);
  ExpectFailure("did not read back correctly", backup::kVerifyFailMessage);
  ExpectEarlierArchiveKept();
}

// The disk of the temporary folder fills up at points all through gathering:
// the run fails and the earlier archive stays, with nothing beside it; the
// same page after failures names the archive again, with the advice.
TEST_F(BackupRunTest, FullDiskAtAnyPointKeepsTheEarlierArchive) {
  box().WriteFile("out\\demo.qmb", kEarlier);
  Choose({{kMainId, kAll}});
  std::int64_t space = 0;
  for (; space < 4000000; space = space * 3 + 1000) {
    SCOPED_TRACE(space);
    platform::emu::SetDiskSpace(space);
    finished = 0;
    const bool ok = Run();
    platform::emu::SetDiskSpace(-1);
    if (ok) break;
    ExpectFailure(" could not be ");
    ExpectEarlierArchiveKept();
  }
  EXPECT_LT(space, 4000000);
  EXPECT_NE(Bytes(archive), kEarlier);
  EXPECT_TRUE(page.lblFileName.Visible());
  EXPECT_EQ(page.lblFileName.Caption(), archive);
  EXPECT_EQ(page.lblAdvice.Caption(), ucBack4::kAdvice);
}

// Guards against a stop that loses the earlier backup or leaves plain
// copies of the mail behind: the run is stopped at each of its repaints in
// turn (as the wizard does when the user answers Yes). Until the new
// archive has taken the earlier one's place, a stop leaves the earlier one
// byte for byte, no partial archive beside it and no working folder, and
// the last page says so. (Stops within a large file: the wizard's test in
// the real window.)
TEST_F(BackupRunTest, StopAtAnyRepaintKeepsTheEarlierArchive) {
  box().WriteFile("out\\demo.qmb", kEarlier);
  Choose({{kAnnaId, kAll}});
  int at = 0, calls = 0;
  platform::emu::AddDoEventsHook([&] {
    if (++calls == at) page.Stop();
  });
  bool completed = false;
  for (at = 1; !completed && at < 200; ++at) {
    SCOPED_TRACE("stopped at repaint " + std::to_string(at));
    calls = finished = 0;
    completed = Run();
    EXPECT_EQ(finished, 1);
    EXPECT_TRUE(user.Shown().empty()) << user.Shown()[0].text;
    if (completed) break;
    EXPECT_TRUE(page.Stopped());
    EXPECT_FALSE(platform::IsDirectory(page.TempDir()));
    ExpectEarlierArchiveKept();
    EXPECT_EQ(page.lblTitle.Caption(), ucBack4::kStoppedTitle);
    EXPECT_EQ(page.lblNotice.Caption(), ucBack4::kStoppedNotice);
    EXPECT_EQ(page.lblAdvice.Caption(), "");
    EXPECT_FALSE(page.lblFileName.Visible());
  }
  EXPECT_TRUE(completed);
  EXPECT_GT(at, 20);
  EXPECT_EQ(page.lblTitle.Caption(), "Backup Completed");
}
#endif

// The restore run without a window.
class QuietRestoreView : public restore::RunView {
 public:
  controls::ProgressBar& Bar() override { return bar_; }
  void Repaint() override {}
  void SetStep(int) override {}
  void ShowIdentity(const std::string&) override {}
  void InitNow() override {}

 private:
  controls::ProgressBar bar_;
};

// Guards against a backup reported complete and checked that the restore
// cannot open: a newsgroup reader's store holds thousands of folder files,
// and the restore selects every one of them by name.
TEST_F(BackupRunTest, TwoThousandStoreFilesComeBackThroughTheRestore) {
  const std::string store = demo.StoreFolder(kAnnaId);
  for (int i = 0; i < 2000; ++i)
    ASSERT_TRUE(platform::WriteWholeFile(store + "news.group" + std::to_string(i) + ".dbx", "article " + std::to_string(i)));
  Choose({{kAnnaId, "1,0,0,0,0,0"}});
  ASSERT_TRUE(Run());
  // Anna's store goes to Work, who has none: the restore's own folder for it
  // (in the user's real profile under Wine, so it is removed again).
  const std::string target = restore::RestoreRun::GetOEPath(kWorkId);
  struct Removed {
    std::string folder;
    ~Removed() {
      modFunction::DeleteFolderTree(folder);
      platform::RemoveFolder(folder);
    }
  } removed{target.substr(0, target.find(kWorkId) + std::string(kWorkId).size())};
  clsRestore plan;
  plan.AddItemData("Anna Berger", kAnnaId, "1,0,0,0,0,0", "True", kWorkId, "Work", "1,0,0,0,0,0");
  QuietRestoreView view;
  restore::RestoreRun restoring(plan, view, {archive, box().Path("restoring\\"), ""});
  EXPECT_TRUE(restoring.Run());
  EXPECT_TRUE(user.Shown().empty());
  const Names saved = FilesOf(store);
  EXPECT_EQ(saved.size(), 2004u);
  EXPECT_EQ(FilesOf(target), saved);
  std::vector<std::string> differing;
  for (const std::string& name : saved)
    if (Bytes(store + name) != Bytes(target + name)) differing.push_back(name);
  EXPECT_TRUE(differing.empty()) << differing.size() << " differ, such as " << (differing.empty() ? "" : differing.front());
}

// Leaves the demo profile's archives, without a password, with AES and with
// the compatible cipher, for archive_check.py, which reads them with Info-ZIP
// unzip, 7-Zip and Python (a host folder named by QM_BACKUP_KEEP): exactly
// the layout's entries, the files byte for byte, the identity list's bytes.
TEST_F(BackupRunTest, ArchivesForOtherTools) {
  const char* host = std::getenv("QM_BACKUP_KEEP");
  if (!host || !*host) GTEST_SKIP() << "QM_BACKUP_KEEP not set";
#ifdef _WIN32
  std::string keep = "Z:" + std::string(host) + "/";
  std::replace(keep.begin(), keep.end(), '/', '\\');
#else
  platform::emu::MapDrive('K', host);
  const std::string keep = "K:\\";
#endif
  Choose({{kMainId, kAll}, {kAnnaId, kAll}});
  for (const char* name : {"demo.qmb", "demo-pw.qmb", "demo-compat.qmb"}) {
    page.CompatibleEncryption(std::string(name) == "demo-compat.qmb");
    ASSERT_TRUE(Run(std::string(name) == "demo.qmb" ? "" : "s3cret", "Weekly backup"));
    ASSERT_TRUE(platform::CopyOneFile(archive, keep + name, false));
  }
}

}  // namespace
