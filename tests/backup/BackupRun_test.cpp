// The backup run page: what the archive holds for the demo profile, the
// progress it shows, and how it fails without losing anything.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <vector>

#include "archive/cUnzip.h"
#include "backup/IdentityList.h"
#include "backup/ucBack4.h"
#include "catalog/cProcessItem.h"
#include "demo_profile.h"
#include "platform/files.h"
#include "platform/system.h"
#include "registry/RegistryRoutines.h"
#include "restore/RestoreRun.h"
#include "helpers/modFunction.h"
#include "support/scripted_user.h"
#ifdef _WIN32
#include "shell/modCheckOE.h"
#else
#include "platform/emulated/emulation.h"
#endif

using backuptest::DemoProfile;
using backuptest::Mailbox;
using backuptest::kAnnaId;
using backuptest::kMainId;
using backuptest::kWorkId;
using testsupport::ScriptedUser;

namespace {

const std::string kAll = "1,1,1,1,1,1";

std::string Bytes(const std::string& path) {
  std::string bytes;
  EXPECT_TRUE(platform::ReadWholeFile(path, bytes)) << path;
  return bytes;
}

// Entry name ("a/b") -> content, extracted through cUnzip.
std::map<std::string, std::string> ReadBack(const std::string& archive, const std::string& into,
                                            const std::string& password = "") {
  std::map<std::string, std::string> out;
  cUnzip u;
  u.ZipFile(archive);
  u.UseFolderNames(true);
  u.OverwriteExisting(true);
  u.UnzipFolder(into);
  u.PasswordRequest = [password](std::string& p, bool&) { p = password; };
  u.Directory();
  std::vector<UnzipEntry> entries = u.Entries();
  EXPECT_TRUE(u.Unzip()) << archive;
  for (const UnzipEntry& e : entries) {
    std::string rel = e.FileDirectory.empty() ? e.Filename : e.FileDirectory + "\\" + e.Filename;
    std::string name = rel;
    std::replace(name.begin(), name.end(), '\\', '/');
    out[name] = Bytes(into + rel);
  }
  return out;
}

std::set<std::string> Names(const std::map<std::string, std::string>& entries) {
  std::set<std::string> names;
  for (const auto& e : entries) names.insert(e.first);
  return names;
}

class BackupRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(demo.ok());
#ifdef _WIN32
    ASSERT_TRUE(modCheckOE::ExtractZipLibraries());
#endif
    platform::CreateFolder(box().Path("out"));
    page.Catalogue(&items);
    page.Finish = [this] { ++finished; };
  }
  const testsupport::Sandbox& box() const { return demo.Box(); }

  // Takes part: the identity with these flags; everyone else stays out.
  void Choose(const std::map<std::string, std::string>& flags) {
    std::int32_t total = 0;
    OneBasedList<bool> selected;
    for (std::int32_t k = 1; k <= items.IdentitiesID().Count(); ++k) {
      auto it = flags.find(items.IdentitiesID().At(k));
      selected.Add(it != flags.end());
      if (it != flags.end()) {
        items.Detail().At(k) = it->second;
        ++total;
      }
    }
    items.SelectIdentity(selected);
    page.TotalItem(total);
  }

  bool Run(const std::string& password = "", const std::string& comment = "") {
    page.ZipFileName(archive);
    page.Password(password);
    page.Comment(comment);
    page.InitNow();
    page.StartBackup();
    return page.Succeeded();
  }

  // The result of a failed run: no archive named, no advice to copy it, but
  // what failed.
  void ExpectFailureShown(const std::string& says) {
    EXPECT_EQ(page.lblTitle.Caption(), "Backup Fail");
    EXPECT_EQ(page.lblFileName.Caption(), "");
    EXPECT_FALSE(page.lblFileName.Visible());
    EXPECT_NE(page.lblAdvice.Caption().find(says), std::string::npos) << page.lblAdvice.Caption();
    EXPECT_EQ(page.lblVerified.Caption(), "");
  }

  std::map<std::string, std::string> Archive(const std::string& password = "") {
    return ReadBack(archive, box().Path("back\\"), password);
  }

  DemoProfile demo;
  cProcessItem items;  // read from the seeded registry
  ucBack4 page;
  ScriptedUser user;
  int finished = 0;
  std::string archive = demo.Box().Path("out\\demo.qmb");
};

std::set<std::string> StoreEntries(const std::string& id, const std::string& folder) {
  std::set<std::string> names;
  std::vector<platform::DirEntry> entries;
  platform::ListFolder(folder + "*.*", entries);
  for (const auto& e : entries)
    if (!(e.attributes & platform::kAttrDirectory)) names.insert(id + "/" + e.name);
  return names;
}

// ---- What the archive holds -------------------------------------------------

TEST_F(BackupRunTest, DemoProfileGivesExactlyTheLayoutsEntries) {
  Choose({{kMainId, kAll}, {kAnnaId, kAll}});
  ASSERT_TRUE(Run("", "Weekly backup"));
  EXPECT_EQ(finished, 1);
  EXPECT_TRUE(user.Shown().empty());
  auto entries = Archive();

  std::set<std::string> expected = {"IdList.lst", "Comment.lst", "GroupState.bkr", "UserList.bkr", "demo.wab"};
  for (const char* id : {kMainId, kAnnaId})
    for (const char* f : {"Accounts.bkr", "Rules.bkr", "Blocked.bkr", "Signatures.bkr"})
      expected.insert(std::string(id) + "/" + f);
  expected.insert(std::string(kMainId) + "/00000000/main.txt");
  expected.insert(std::string(kAnnaId) + "/00000000/work.htm");
  auto mainStore = StoreEntries(kMainId, demo.StoreFolder(kMainId));
  auto annaStore = StoreEntries(kAnnaId, demo.StoreFolder(kAnnaId));
  EXPECT_EQ(mainStore.size(), 8u);
  EXPECT_EQ(annaStore.size(), 4u);
  expected.insert(mainStore.begin(), mainStore.end());
  expected.insert(annaStore.begin(), annaStore.end());
  EXPECT_EQ(Names(entries), expected);

  // Files byte for byte.
  for (const auto& [entry, content] : entries) {
    if (entry.find(".dbx") == std::string::npos) continue;
    const std::string id = entry.substr(0, entry.find('/'));
    EXPECT_EQ(content, Bytes(demo.StoreFolder(id) + entry.substr(entry.find('/') + 1))) << entry;
  }
  EXPECT_EQ(entries["demo.wab"], Bytes(demo.AddressBook()));
  EXPECT_EQ(entries[std::string(kMainId) + "/00000000/main.txt"], Bytes(demo.SignatureFile("main.txt")));
  EXPECT_EQ(entries[std::string(kAnnaId) + "/00000000/work.htm"], Bytes(demo.SignatureFile("work.htm")));

  // The identity list: two records in catalogue order.
  OneBasedList<IdListEntry> list;
  for (std::int32_t k = 1; k <= items.IdentitiesID().Count(); ++k)
    if (items.SelectIdentity().Value(k))
      list.Add({items.Identities().At(k), items.IdentitiesID().At(k), kAll});
  std::string idList;
  ASSERT_TRUE(IdentityList::Build(list, idList));
  EXPECT_EQ(entries["IdList.lst"], idList);
  EXPECT_EQ(IdentityList::Parse(entries["IdList.lst"]).Count(), 2);
}

TEST_F(BackupRunTest, RegistryExportsHoldTheirBranches) {
  Choose({{kAnnaId, "0,1,0,1,1,1"}});
  ASSERT_TRUE(Run());
  auto entries = Archive();
  const std::string a = std::string(kAnnaId) + "/";
  // Written by hand from the export format: header, key lines naming the
  // branch by the placeholder, the values in the registry's order.
  const std::string head =
      "Quillmere Registry File\r\n\r\n"
      "[HKEY_CURRENT_USER\\<%QuillmereKeyName%>]\r\n\r\n"
      "[HKEY_CURRENT_USER\\<%QuillmereKeyName%>\\Mail]\r\n\r\n"
      "[HKEY_CURRENT_USER\\<%QuillmereKeyName%>\\Mail\\Criteria]\r\n\r\n"
      "[HKEY_CURRENT_USER\\<%QuillmereKeyName%>\\Mail\\Criteria\\0]\r\n";
  const std::string value = "\"Value\"=\"noreply@ads.example\"\r\n", type = "\"Type\"=dword:1\r\n";
  const std::string blocked = entries[a + "Blocked.bkr"];
  EXPECT_TRUE(blocked == head + value + type + "\r\n" || blocked == head + type + value + "\r\n") << blocked;
  // The others as the export routine writes the same branches.
  RegistryRoutines reg;
  const std::string base = std::string("Identities\\") + kAnnaId + "\\Software\\Microsoft\\";
  std::map<std::string, std::string> branches = {
      {a + "Accounts.bkr", base + "Internet Account Manager"},
      {a + "Rules.bkr", base + "Outlook Express\\5.0\\Rules"},
      {a + "Signatures.bkr", base + "Outlook Express\\5.0\\Signatures"},
      {"Comment.lst", "Software\\Microsoft\\Internet Account Manager"},
      {"GroupState.bkr", "Software\\Microsoft\\MessengerService\\GroupStateCache"},
      {"UserList.bkr", "Software\\Microsoft\\MessengerService\\ListCache"}};
  for (const auto& [entry, key] : branches) {
    ASSERT_TRUE(reg.SaveKey(key, box().Path("expected.bkr"), kHkeyCurrentUser, true, false));
    EXPECT_EQ(entries[entry], Bytes(box().Path("expected.bkr"))) << entry;
  }
  EXPECT_NE(entries["GroupState.bkr"].find("\"demo@example.org\"=hex:01,00,00,00,07,00,00,00"), std::string::npos);
}

TEST_F(BackupRunTest, MessagesOnlyGiveStoreFilesAndTheList) {
  Choose({{kMainId, "1,0,0,0,0,0"}});
  ASSERT_TRUE(Run());
  auto names = Names(Archive());
  auto expected = StoreEntries(kMainId, demo.StoreFolder(kMainId));
  expected.insert("IdList.lst");
  EXPECT_EQ(names, expected);
}

TEST_F(BackupRunTest, SharedPartsOnceAndNoAccountsWithoutTheirKey) {
  // Work has no accounts key and no store folder.
  Choose({{kMainId, "0,1,0,0,0,0"}, {kWorkId, "0,1,0,0,0,0"}});
  ASSERT_TRUE(Run());
  EXPECT_EQ(Names(Archive()), (std::set<std::string>{"IdList.lst", "Comment.lst", "GroupState.bkr",
                                                      "UserList.bkr", std::string(kMainId) + "/Accounts.bkr"}));
}

TEST_F(BackupRunTest, EmptyStoreAndMissingSignatureFileLeaveNothingBehind) {
  std::vector<platform::DirEntry> files;
  platform::ListFolder(demo.StoreFolder(kAnnaId) + "*.dbx", files);
  for (const auto& f : files) ASSERT_TRUE(platform::RemoveFile(demo.StoreFolder(kAnnaId) + f.name));
  ASSERT_TRUE(platform::RemoveFile(demo.SignatureFile("work.htm")));
  Choose({{kAnnaId, "1,0,0,0,0,1"}, {kWorkId, "1,0,0,0,0,0"}});
  ASSERT_TRUE(Run());
  EXPECT_TRUE(user.Shown().empty());
  EXPECT_EQ(Names(Archive()), (std::set<std::string>{"IdList.lst", std::string(kAnnaId) + "/Signatures.bkr"}));
}

// ---- Password and comment ----------------------------------------------------

TEST_F(BackupRunTest, PasswordEncryptsAndBlanksDoNot) {
  Choose({{kAnnaId, "1,0,0,0,1,0"}});
  ASSERT_TRUE(Run("s3cret", "  my comment  "));
  cUnzip u;
  u.ZipFile(archive);
  u.Directory();
  EXPECT_EQ(u.Comment(), "my comment");
  for (const UnzipEntry& e : u.Entries()) EXPECT_TRUE(e.FileEncrypted) << e.Filename;
  EXPECT_EQ(Archive("s3cret")[std::string(kAnnaId) + "/Inbox.dbx"], Bytes(demo.StoreFolder(kAnnaId) + "Inbox.dbx"));

  ASSERT_TRUE(Run("   "));
  cUnzip plain;
  plain.ZipFile(archive);
  plain.Directory();
  ASSERT_GT(plain.FileCount(), 0);
  for (const UnzipEntry& e : plain.Entries()) EXPECT_FALSE(e.FileEncrypted) << e.Filename;
}

// ---- What the page shows -------------------------------------------------------

// The steps are marked in turn and the result shown. Guards against a bar
// that jumps back, fills before the work is done or moves by steps rather
// than by the work: one bar over the run, by the bytes, gathering, packing
// and reading back each keeping to its share.
TEST_F(BackupRunTest, StepsAreMarkedAndTheBarRisesWithTheBytes) {
  ASSERT_TRUE(platform::WriteWholeFile(demo.StoreFolder(kMainId) + "Large.dbx", Mailbox(12 << 20)));
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
  EXPECT_EQ(platform::CurrentMousePointer(), platform::MousePointer::Default);
  EXPECT_FALSE(platform::IsDirectory(page.TempDir()));  // the working folder is gone
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
    if (step < 2) {
      EXPECT_LE(bar, packingFrom);
    }
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

// ---- Failures lose nothing -------------------------------------------------------

// Guards against a locked message store silently missing from a "successful"
// backup, and against that incomplete backup taking the earlier one's place;
// every file that cannot be read is named at once.
TEST_F(BackupRunTest, FileThatCannotBeCopiedFailsTheRunAndKeepsTheEarlierArchive) {
  const std::string locked = demo.StoreFolder(kMainId) + "Inbox.dbx";
  const std::string alsoLocked = demo.StoreFolder(kMainId) + "Sent Items.dbx";
  box().WriteFile("out\\demo.qmb", "last week's backup");
  Choose({{kMainId, "1,0,1,0,0,0"}});
  {
    backuptest::FileLock lock(locked), also(alsoLocked);
    ASSERT_TRUE(lock.ok() && also.ok());
    EXPECT_FALSE(Run());
  }
  EXPECT_EQ(finished, 1);
  ExpectFailureShown("These files could not be read: " + locked + ", " + alsoLocked + ".");
  EXPECT_EQ(page.lblNotice.Caption(), ucBack4::kFailedNotice);
  ASSERT_EQ(user.Shown().size(), 1u);
  EXPECT_EQ(user.Shown()[0].text,
            std::string(backup::kNotCopiedMessage) + "\r\n\r\n" + locked + "\r\n" + alsoLocked);
  EXPECT_EQ(user.Shown()[0].Icon(), platform::kCritical);
  EXPECT_EQ(Bytes(archive), "last week's backup");
  std::vector<platform::DirEntry> out;
  platform::ListFolder(box().Path("out\\*.*"), out);
  for (const auto& e : out) EXPECT_TRUE(e.name == "." || e.name == ".." || e.name == "demo.qmb") << e.name;
}

// Guards against the earlier backup deleted before a new one that then fails.
TEST_F(BackupRunTest, FailedCompressionKeepsTheEarlierArchive) {
  box().WriteFile("out\\demo.qmb", "last week's backup");
  Choose({{kAnnaId, "0,0,0,0,1,0"}});
  {
    // Read-only on the emulated machine; in use by another program under
    // Wine (which lets a read-only file be replaced by a rename).
#ifdef _WIN32
    backuptest::FileLock inUse(archive);
    ASSERT_TRUE(inUse.ok());
#else
    platform::SetAttributes(archive, platform::kAttrReadOnly);
#endif
    EXPECT_FALSE(Run());
  }
  ASSERT_EQ(user.Shown().size(), 1u);
  EXPECT_EQ(user.Shown()[0].text, backup::kCompressFailMessage);
  EXPECT_EQ(user.Shown()[0].Icon(), platform::kExclamation);
  ExpectFailureShown("The backup file could not be written to " + box().Path("out\\") + ".");
  platform::SetAttributes(archive, platform::kAttrNormal);
  EXPECT_EQ(Bytes(archive), "last week's backup");
  std::vector<platform::DirEntry> out;
  platform::ListFolder(box().Path("out\\*.*"), out);
  for (const auto& e : out) EXPECT_TRUE(e.name == "." || e.name == ".." || e.name == "demo.qmb") << e.name;
}

#ifndef _WIN32
// Guards against an archive that does not read back taking the earlier
// one's place: a file slipped into the working folder while it is packed
// is not in the archive, and the check after writing finds that.
TEST_F(BackupRunTest, ArchiveThatDoesNotMatchWhatWasGatheredIsNotKept) {
  box().WriteFile("out\\demo.qmb", "last week's backup");
  Choose({{kAnnaId, "0,0,0,1,1,0"}});
  bool slipped = false;
  int calls = 0;  // the first comes as the step begins, before packing
  platform::emu::AddDoEventsHook([&] {
    if (slipped || page.CurrentStep() != 2 || ++calls < 2) return;
    std::vector<platform::DirEntry> work;
    platform::ListFolder(modFunction::TempPath() + "~oe*", work);
    for (const auto& e : work)
      slipped |= platform::WriteWholeFile(modFunction::TempPath() + e.name + "\\late.txt", "late");
  });
  EXPECT_FALSE(Run());
  ASSERT_TRUE(slipped);
  ASSERT_EQ(user.Shown().size(), 1u);
  EXPECT_EQ(user.Shown()[0].text, backup::kVerifyFailMessage);
  ExpectFailureShown("did not read back correctly");
  EXPECT_EQ(Bytes(archive), "last week's backup");
  std::vector<platform::DirEntry> out;
  platform::ListFolder(box().Path("out\\*.*"), out);
  for (const auto& e : out) EXPECT_TRUE(e.name == "." || e.name == ".." || e.name == "demo.qmb") << e.name;
}
#endif

#ifndef _WIN32
// The disk of the temporary folder fills up at points all through gathering:
// the run fails and the earlier archive stays, with nothing beside it.
TEST_F(BackupRunTest, FullDiskAtAnyPointKeepsTheEarlierArchive) {
  box().WriteFile("out\\demo.qmb", "last week's backup");
  Choose({{kMainId, kAll}});
  std::int64_t space = 0;
  for (; space < 4000000; space = space * 3 + 1000) {
    SCOPED_TRACE(space);
    platform::emu::SetDiskSpace(space);
    const bool ok = Run();
    platform::emu::SetDiskSpace(-1);
    if (ok) break;  // enough room at last: the new archive replaced the old
    EXPECT_EQ(Bytes(archive), "last week's backup");
    ExpectFailureShown(" could not be ");
    std::vector<platform::DirEntry> out;
    platform::ListFolder(box().Path("out\\*.*"), out);
    EXPECT_EQ(out.size(), 3u);  // ".", ".." and the earlier archive
  }
  EXPECT_LT(space, 4000000);
  EXPECT_NE(Bytes(archive), "last week's backup");
  // The same page after failures: the archive named again, with the advice.
  EXPECT_TRUE(page.lblFileName.Visible());
  EXPECT_EQ(page.lblFileName.Caption(), archive);
  EXPECT_EQ(page.lblAdvice.Caption(), ucBack4::kAdvice);
}
#endif

// ---- Stopped runs lose nothing ---------------------------------------------------

#ifndef _WIN32
// Guards against a stop that loses the earlier backup or leaves plain
// copies of the mail behind: the run is stopped at each of its repaints in
// turn (as the wizard does when the user answers Yes). Until the new
// archive has taken the earlier one's place, a stop leaves the earlier one
// byte for byte, no partial archive beside it and no working folder, and
// the last page says so. (Stops within a large file: the wizard's test in
// the real window.)
TEST_F(BackupRunTest, StopAtAnyRepaintKeepsTheEarlierArchive) {
  box().WriteFile("out\\demo.qmb", "last week's backup");
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
    EXPECT_FALSE(platform::IsDirectory(page.TempDir()));
    if (completed) break;
    EXPECT_TRUE(page.Stopped());
    EXPECT_TRUE(Bytes(archive) == "last week's backup");
    std::vector<platform::DirEntry> out;
    platform::ListFolder(box().Path("out\\*.*"), out);
    EXPECT_EQ(out.size(), 3u);  // ".", ".." and the earlier archive
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

TEST_F(BackupRunTest, UnwritableDestinationFailsWithTheCompressionMessage) {
  box().WriteFile("blocker", "a file where the folder should be");
  archive = box().Path("blocker\\demo.qmb");
  Choose({{kAnnaId, "0,0,0,0,1,0"}});
  EXPECT_FALSE(Run());
  ASSERT_EQ(user.Shown().size(), 1u);
  EXPECT_EQ(user.Shown()[0].text, backup::kCompressFailMessage);
  EXPECT_EQ(finished, 1);
}

// Points the user's temporary folder somewhere for one test.
class TemporaryFolder {
 public:
  explicit TemporaryFolder(const std::string& folder) {
#ifdef _WIN32
    const char* old = std::getenv("TMP");
    saved_ = old ? old : "";
    _putenv(("TMP=" + folder).c_str());
#else
    platform::emu::SetTempDirectory(folder + "\\");
#endif
  }
  ~TemporaryFolder() {
#ifdef _WIN32
    _putenv(("TMP=" + saved_).c_str());
#endif
  }

 private:
  std::string saved_;
};

// Guards against a backup reported complete while a registry export could not be written.
TEST_F(BackupRunTest, ExportThatCannotBeWrittenFailsTheRunAtOnce) {
  box().WriteFile("blocker", "a file where the temporary folder should be");
  Choose({{kAnnaId, "0,0,0,1,0,0"}});
  {
    TemporaryFolder temp(box().Path("blocker"));
    EXPECT_FALSE(Run());
  }
  EXPECT_EQ(finished, 1);
  ExpectFailureShown("The registry data could not be saved to ");
  ASSERT_EQ(user.Shown().size(), 1u);
  EXPECT_EQ(user.Shown()[0].text.rfind(backup::kExportFailMessage, 0), 0u);
  EXPECT_NE(user.Shown()[0].text.find("Rules.bkr"), std::string::npos);
  EXPECT_FALSE(platform::GetAttributes(archive) != platform::kInvalidAttributes);
}

TEST_F(BackupRunTest, NewArchiveReplacesTheEarlierOneOnlyWhenComplete) {
  box().WriteFile("out\\demo.qmb", "last week's backup");
  Choose({{kAnnaId, "0,0,0,0,1,0"}});
  ASSERT_TRUE(Run());
  EXPECT_EQ(page.lblVerified.Caption(), ucBack4::kVerifiedNote);
  EXPECT_EQ(page.lblFileName.Caption(), archive);
  EXPECT_EQ(page.lblAdvice.Caption(), ucBack4::kAdvice);
  EXPECT_EQ(Names(Archive()), (std::set<std::string>{"IdList.lst", std::string(kAnnaId) + "/Blocked.bkr"}));
  std::vector<platform::DirEntry> out;
  platform::ListFolder(box().Path("out\\*.*"), out);
  for (const auto& e : out) EXPECT_TRUE(e.name == "." || e.name == ".." || e.name == "demo.qmb") << e.name;
}

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
  for (int i = 0; i < 2000; ++i) {
    const std::string n = std::to_string(i);
    ASSERT_TRUE(platform::WriteWholeFile(store + "news.group" + n + ".dbx", "article " + n));
  }
  Choose({{kAnnaId, "1,0,0,0,0,0"}});
  ASSERT_TRUE(Run());
  EXPECT_TRUE(user.Shown().empty());

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

  std::vector<platform::DirEntry> saved, restored;
  platform::ListFolder(store + "*.*", saved);
  platform::ListFolder(target + "*.*", restored);
  auto files = [](const std::vector<platform::DirEntry>& listed) {
    return std::count_if(listed.begin(), listed.end(),
                         [](const platform::DirEntry& e) { return !(e.attributes & platform::kAttrDirectory); });
  };
  EXPECT_EQ(files(saved), 2004);
  EXPECT_EQ(files(restored), files(saved));
  std::vector<std::string> differing;
  for (const platform::DirEntry& e : saved) {
    std::string was, is;
    if (!(e.attributes & platform::kAttrDirectory) &&
        (!platform::ReadWholeFile(store + e.name, was) || !platform::ReadWholeFile(target + e.name, is) || is != was))
      differing.push_back(e.name);
  }
  EXPECT_TRUE(differing.empty()) << differing.size() << " differ or are missing, such as "
                                 << (differing.empty() ? "" : differing.front());
}

}  // namespace

namespace {

// Where the archives go for the check with other tools (a host folder named
// by QM_BACKUP_KEEP), as a program path; "" when not asked for.
std::string KeepFolder() {
  const char* host = std::getenv("QM_BACKUP_KEEP");
  if (!host || !*host) return "";
#ifdef _WIN32
  std::string path = "Z:" + std::string(host) + "/";
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
#else
  platform::emu::MapDrive('K', host);
  return "K:\\";
#endif
}

// Leaves the demo profile's archives, without a password, with AES and
// with the compatible cipher, for archive_check.py, which reads them with
// Info-ZIP unzip, 7-Zip and Python.
TEST_F(BackupRunTest, ArchivesForOtherTools) {
  const std::string keep = KeepFolder();
  if (keep.empty()) GTEST_SKIP() << "QM_BACKUP_KEEP not set";
  Choose({{kMainId, kAll}, {kAnnaId, kAll}});
  ASSERT_TRUE(Run("", "Weekly backup"));
  ASSERT_TRUE(platform::CopyOneFile(archive, keep + "demo.qmb", false));
  ASSERT_TRUE(Run("s3cret", "Weekly backup"));
  ASSERT_TRUE(platform::CopyOneFile(archive, keep + "demo-pw.qmb", false));
  page.CompatibleEncryption(true);
  ASSERT_TRUE(Run("s3cret", "Weekly backup"));
  ASSERT_TRUE(platform::CopyOneFile(archive, keep + "demo-compat.qmb", false));
}

}  // namespace
