// The restore run: a backup made by the program comes back whole onto
// another machine's identities, and a restore that fails loses nothing.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "archive/cZip.h"
#include "archive_test_support.h"
#include "backup/ArchiveLayout.h"
#include "platform/files.h"
#include "registry/RegistryRoutines.h"
#include "restore/RestoreRun.h"
#include "restore/ucRestor1.h"
#include "restore/ucRestor2.h"
#include "restore/ucRestor3.h"
#include "restore/frmPassword.h"
#include "restore_world.h"
#include "platform/paths.h"
#include "helpers/RunRecord.h"
#include "catalog/SharedObjects.h"
#include "helpers/modFunction.h"
#include "support/file_lock.h"
#include "support/registry_keys.h"
#include "support/scripted_user.h"
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>

#include "backup/ucBack4.h"
#include "catalog/cProcessItem.h"
#include "platform/emulated/emulation.h"
#endif

using backuptest::kAnnaId;
using backuptest::kMainId;
using restoretest::kHomeId;
using restoretest::kNewMainId;
using restoretest::RestoreWorld;
using testsupport::RawValue;
using testsupport::ScriptedUser;

namespace {

std::string Text(const std::string& key, const std::string& name) {
  std::string data = RawValue(key, name).data;
  while (!data.empty() && data.back() == '\0') data.pop_back();
  return data;
}

bool KeyThere(const std::string& key) {
  RegistryRoutines reg;
  reg.hKey(kHkeyCurrentUser);
  reg.KeyRoot(key);
  return reg.KeyExists();
}

std::string Id(const std::string& id, const std::string& below) { return "Identities\\" + id + "\\" + below; }

// The store files as the demo profile holds them (what the backup saved).
std::map<std::string, std::string> SavedStore(const RestoreWorld& w, const std::string& id) {
  return RestoreWorld::Files(w.Demo().StoreFolder(id));
}

class RestoreRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(world.ok());
    user.OnForm("frmPassword", [](platform::ModalForm& form) {
      auto& dialog = static_cast<frmPassword&>(form);
      dialog.txtPassword.Text("s3cret");
      dialog.cmdOK.Press();
      return 1;
    });
    page.Finish = [this] { ++finished; };
  }

  // The source page opens the archive and the plan is read from it.
  void Open() {
    source.RestoreFile(world.Archive());
    source.Loadbackupfile();
    ASSERT_FALSE(source.RestoreFolder().empty());
  }
  void Run() {
    page.ZipFileName(source.RestoreFile());
    page.TempFolder(source.RestoreFolder());
    page.Password(source.Password());
    page.InitNow();
    page.StartRestore();
  }
  // Sets a record of the plan by hand.
  void Plan(std::int32_t i, const std::string& selected, const std::string& toId, const std::string& toName,
            const std::string& detail) {
    clsRestore& plan = shared::RestorePlan();
    plan.SetItemValue(clsRestore::Selected, selected, i);
    plan.SetItemValue(clsRestore::ToID, toId, i);
    plan.SetItemValue(clsRestore::ToIDName, toName, i);
    plan.SetItemValue(clsRestore::ToRestoreDetail, detail, i);
  }

  RestoreWorld world;
  ScriptedUser user;
  ucRestor1 source;
  ucRestor3 page;
  int finished = 0;
};

// Main Identity comes back onto the local identity of that name (another
// Id), Anna onto "Home", through the three pages.
TEST_F(RestoreRunTest, BackupComesBackWholeOntoOtherIdentities) {
  // A signature file that is gone comes back from the archive.
  const std::string signature = world.Demo().SignatureFile("main.txt");
  std::string signatureBytes;
  ASSERT_TRUE(platform::ReadWholeFile(signature, signatureBytes));
  platform::RemoveFile(signature);
  // An earlier restore onto this identity left its copy, read-only.
  const std::string ownSignature =
      RestoreWorld::StoreFolder(kNewMainId) + restore::kSignatureFolder + "\\00000000\\main.txt";
  std::string ownFolder = RestoreWorld::StoreFolder(kNewMainId) + restore::kSignatureFolder + "\\00000000";
  ASSERT_TRUE(modFunction::MakeFolderPath(ownFolder) &&
              platform::WriteWholeFile(ownSignature, "an earlier restore's copy") &&
              platform::SetAttributes(ownSignature, platform::kAttrReadOnly));

  Open();
  EXPECT_EQ(source.txtComment.Text(), "Before the move");
  ucRestor2 mapping;
  mapping.LoadIDList();
  ASSERT_EQ(mapping.lstID.ListCount(), 2);
  EXPECT_TRUE(mapping.lstID.Checked(0));   // Main Identity, by name
  EXPECT_FALSE(mapping.lstID.Checked(1));  // Anna Berger, no such identity here
  mapping.lstID.ListIndex(1);
  for (int j = 0; j < mapping.cobToID.ListCount(); ++j)
    if (mapping.cobToID.List(j) == "Home") mapping.cobToID.ListIndex(j);
  mapping.chkItem[0].Value(1);   // a tick of an item ticks the identity
  for (int k = 1; k < 6; ++k) mapping.chkItem[k].Value(1);
  ASSERT_TRUE(mapping.CheckReady());
  Run();

  EXPECT_EQ(finished, 1);
  EXPECT_TRUE(page.Succeeded());
  EXPECT_EQ(page.lblFinishState.Caption(), ucRestor3::kSuccessText);
  EXPECT_FALSE(page.chkShell.Visible());  // no mail client in this profile: nothing to offer to run
  // Installed, the program is offered; its install entry alone is not enough.
  RegistryRoutines hklm;
  hklm.hKey(kHkeyLocalMachine);
  hklm.KeyRoot("SOFTWARE\\Microsoft\\Outlook Express");
  hklm.CreateKey();
  ASSERT_TRUE(hklm.SetRegistryValue("InstallRoot", world.Box().Path("oe"), kRegSz));
  EXPECT_EQ(restore::RestoreRun::GetOEExeFile(), "");
  ASSERT_TRUE(platform::CreateFolder(world.Box().Path("oe")) && platform::WriteWholeFile(world.Box().Path("oe\\msimn.exe"), "MZ"));
  EXPECT_EQ(restore::RestoreRun::GetOEExeFile(), world.Box().Path("oe\\msimn.exe"));
  (void)platform::DeleteRegBranch(platform::kRegLocalMachine, "SOFTWARE\\Microsoft\\Outlook Express");
  EXPECT_TRUE(user.Shown().empty()) << user.Shown()[0].text;

  // Accounts merged under the target Id, its own account kept; nothing
  // under the saved Id.
  const std::string accounts = Id(kNewMainId, "Software\\Microsoft\\Internet Account Manager\\Accounts\\");
  EXPECT_EQ(Text(accounts + "00000009", "Account Name"), "Own account");
  EXPECT_EQ(Text(accounts + "00000001", "POP3 Server"), "pop.example.org");
  EXPECT_EQ(RawValue(accounts + "00000001", "POP3 Port").type, platform::kRegTypeDword);
  EXPECT_EQ(RawValue(accounts + "00000001", "POP3 Password2").type, platform::kRegTypeBinary);
  EXPECT_EQ(Text(Id(kHomeId, "Software\\Microsoft\\Internet Account Manager\\Accounts\\00000001"),
                 "IMAP Server"), "imap.example.com");
  EXPECT_FALSE(KeyThere(std::string("Identities\\") + kMainId));
  EXPECT_FALSE(KeyThere(std::string("Identities\\") + kAnnaId));
  // Shared accounts and the messenger caches, once.
  EXPECT_EQ(Text("Software\\Microsoft\\Internet Account Manager\\Accounts\\active_directory_ldap", "Account Name"),
            "Active Directory");
  EXPECT_EQ(RawValue("Software\\Microsoft\\MessengerService\\ListCache\\.NET Messenger Service", "IdentityCount")
                .data.size(), 4u);
  EXPECT_TRUE(KeyThere("Software\\Microsoft\\MessengerService\\GroupStateCache\\.NET Messenger Service"));
  // Rules, blocked senders and signatures under the target.
  const std::string oe = Id(kNewMainId, "Software\\Microsoft\\Outlook Express\\5.0\\");
  EXPECT_EQ(Text(oe + "Rules\\Mail\\000", "Name"), "Move \"newsletters\" to Newsletters");
  EXPECT_EQ(Text(oe + "Block Senders\\Mail\\Criteria\\0", "Value"), "spam@example.net");
  EXPECT_EQ(Text(oe + "Signatures\\00000000", "name"), "Signature #1");
  EXPECT_EQ(Text(Id(kHomeId, "Software\\Microsoft\\Outlook Express\\5.0\\Signatures\\00000000"), "name"), "Work");
  // The signature file comes back into the target's own folder, its value
  // pointed there; the path the backup named is not written.
  EXPECT_EQ(Text(oe + "Signatures\\00000000", "file"), ownSignature);
  std::string back;
  EXPECT_TRUE(platform::ReadWholeFile(ownSignature, back));
  EXPECT_EQ(back, signatureBytes);
  EXPECT_FALSE(modFunction::FileExists(signature));
  // "Store Root": expandable, the standard folder of the target.
  platform::RegValue root = RawValue(oe, "Store Root");
  EXPECT_EQ(root.type, platform::kRegTypeExpandSz);
  EXPECT_EQ(Text(oe, "Store Root"),
            std::string("%UserProfile%\\Local Settings\\Application Data\\Identities\\") + kNewMainId +
                "\\Microsoft\\Outlook Express\\");
  // Store files byte-identical, old ones gone, the user's other file kept,
  // no registry export among them.
  std::map<std::string, std::string> expected = SavedStore(world, kMainId);
  expected["notes.txt"] = restoretest::kNotes;
  EXPECT_EQ(RestoreWorld::Files(RestoreWorld::StoreFolder(kNewMainId)), expected);
  std::map<std::string, std::string> anna = SavedStore(world, kAnnaId);
  EXPECT_EQ(RestoreWorld::Files(RestoreWorld::StoreFolder(kHomeId)), anna);
  std::vector<platform::DirEntry> left;
  platform::ListFolder(RestoreWorld::StoreFolder(kNewMainId) + "*.*", left);
  EXPECT_EQ(left.size(), expected.size() + 3);  // ".", ".." and the signatures' folder
  // The address book replaced, from the first record; the work folder gone.
  std::string book, saved;
  ASSERT_TRUE(platform::ReadWholeFile(world.AddressBook(), book));
  ASSERT_TRUE(platform::ReadWholeFile(world.Demo().AddressBook(), saved));
  EXPECT_EQ(book, saved);
  std::string work = source.RestoreFolder();
  EXPECT_FALSE(modFunction::IsFolder(work));
}

// Cancel at the failed-record question abandons the rest; OK goes on, and
// either way the outcome names what failed and offers no start of the mail
// client. A plan with nothing chosen succeeds and removes the work folder.
TEST_F(RestoreRunTest, FailedRecordIsNamedWhateverTheAnswer) {
  Open();
  struct Case {
    const char* what;
    int answer;
    bool abandoned;
  };
  for (const Case& c : {Case{"Cancel", platform::kAnswerCancel, true}, Case{"OK", platform::kAnswerOk, false}}) {
    SCOPED_TRACE(c.what);
    source.Loadbackupfile();
    // Record 1 goes to an identity whose Id is no plain name: it fails.
    Plan(1, "True", "..\\..\\elsewhere", "Nowhere", "0,1,0,0,0,0");
    shared::RestorePlan().SetItemValue(clsRestore::IDList, "..\\..", 1);
    Plan(2, "True", kHomeId, "Home", "0,0,0,1,0,0");
    user.Answer(c.answer);
    const std::size_t before = user.Shown().size();
    Run();
    ASSERT_EQ(user.Shown().size(), before + 1);
    EXPECT_EQ(user.Shown().back().text,
              std::string(restore::kRecordFailedQuestion) + "\r\n\r\n" + restore::kRecordFailedIdentity + "Nowhere");
    EXPECT_EQ(user.Shown().back().Icon(), platform::kCritical);
    EXPECT_EQ(user.Shown().back().DefaultButton(), platform::kDefaultButton2);
    EXPECT_FALSE(page.Succeeded());
    EXPECT_EQ(page.lblFinishState.Caption(),
              std::string(ucRestor3::kErrorText) + "\r\n\r\n" + restore::kFailedSuffix + "Nowhere");
    EXPECT_FALSE(page.chkShell.Visible());
    EXPECT_EQ(KeyThere(Id(kHomeId, "Software\\Microsoft\\Outlook Express\\5.0\\Rules\\Mail")), !c.abandoned);
    EXPECT_FALSE(KeyThere("Identities\\elsewhere"));
  }
  source.Loadbackupfile();
  Plan(1, "False", "", "", "0,0,0,0,0,0");
  Plan(2, "False", "", "", "0,0,0,0,0,0");
  Run();
  EXPECT_TRUE(page.Succeeded());
  EXPECT_FALSE(modFunction::FileExists(source.RestoreFolder() + "IdList.lst"));
  std::string work = source.RestoreFolder();
  EXPECT_FALSE(modFunction::IsFolder(work));
}

// Two records that both restore the address book and the accounts: the book
// from the first, the shared accounts written once.
TEST_F(RestoreRunTest, OncePerRunItemsComeFromTheFirstRecord) {
  Open();
  Plan(1, "True", kHomeId, "Home", "0,1,1,0,0,0");
  Plan(2, "True", kNewMainId, "Main Identity", "0,1,1,0,0,0");
  platform::CopyOneFile(world.Demo().AddressBook(), world.Box().Path("saved.wab"), false);
  Run();
  EXPECT_TRUE(page.Succeeded());
  // Main's backup onto Home, Anna's onto Main Identity.
  EXPECT_EQ(Text(Id(kHomeId, "Software\\Microsoft\\Internet Account Manager\\Accounts\\00000001"), "POP3 Server"),
            "pop.example.org");
  EXPECT_EQ(Text(Id(kNewMainId, "Software\\Microsoft\\Internet Account Manager\\Accounts\\00000001"),
                 "IMAP Server"), "imap.example.com");
  EXPECT_EQ(RawValue("Software\\Microsoft\\Internet Account Manager", "Server ID").data, std::string("\x03\0\0\0", 4));
  std::string book, saved;
  platform::ReadWholeFile(world.AddressBook(), book);
  platform::ReadWholeFile(world.Box().Path("saved.wab"), saved);
  EXPECT_EQ(book, saved);
  // The store was not chosen: untouched.
  EXPECT_EQ(RestoreWorld::Files(RestoreWorld::StoreFolder(kNewMainId))["Inbox.dbx"], restoretest::kOldInbox);
}

// ---- Failures lose nothing ------------------------------------------------

std::map<std::string, std::string> OldStore() {
  return {{"Inbox.dbx", restoretest::kOldInbox},
          {"Old Folder.dbx", restoretest::kOldOnly},
          {"notes.txt", restoretest::kNotes}};
}

std::map<std::string, std::string> SavedStoreWithNotes(const RestoreWorld& w) {
  std::map<std::string, std::string> expected = SavedStore(w, kMainId);
  expected["notes.txt"] = restoretest::kNotes;
  return expected;
}

// Items the backup does not hold are not restored whatever the plan says;
// an address book that cannot be put in place and a second record onto one
// target fail their record, and the outcome says so.
void SetBook(const std::string& path) {
  testsupport::PutRawValue("Software\\Microsoft\\WAB\\WAB4\\Wab File Name", "", platform::kRegTypeSz,
                           path + std::string(1, '\0'));
}

TEST_F(RestoreRunTest, NoFailedStepReadsAsSuccess) {
  struct Case {
    const char* what;
    std::function<void()> plan;
    bool succeeds;
    const char* message;  // the first shown, or null
  };
  const std::string book = world.AddressBook();
  std::vector<Case> cases = {
      {"every item chosen, the backup holds accounts only",
       [&] {
         Plan(1, "True", kNewMainId, "Main Identity", "1,1,1,1,1,1");
         shared::RestorePlan().SetItemValue(clsRestore::IDDetail, "0,1,0,0,0,0", 1);
       },
       true, nullptr},
      {"the address book's folder is gone",
       [&] {
         Plan(1, "True", kNewMainId, "Main Identity", "0,0,1,0,0,0");
         SetBook(world.Box().Path("gone\\home.wab"));
       },
       false, restore::kAddressBookFailMessage},
      {"two records onto one target",
       [&] {
         Plan(1, "True", kNewMainId, "Main Identity", "1,0,0,0,0,0");
         Plan(2, "True", kNewMainId, "Main Identity", "1,0,0,0,0,0");
       },
       false, restore::kSameTargetMessage},
  };
#ifndef _WIN32
  // The shared accounts' export damaged once it is extracted.
  std::function<void()> atRegistry;
  platform::emu::AddDoEventsHook([&] {
    if (atRegistry && page.CurrentStep() == 2) std::exchange(atRegistry, nullptr)();
  });
  cases.push_back({"the shared accounts cannot be imported",
                   [&] {
                     Plan(1, "True", kNewMainId, "Main Identity", "0,1,0,0,0,0");
                     atRegistry = [&] {
                       platform::WriteWholeFile(source.RestoreFolder() + ArchiveLayout::kSharedAccountsEntry, "bad");
                     };
                   },
                   false, restore::kRegistryFailMessage});
#endif
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Open();
    Plan(1, "False", "", "", "0,0,0,0,0,0");
    Plan(2, "False", "", "", "0,0,0,0,0,0");
    SetBook(book);
    c.plan();
    user.Answer(platform::kAnswerOk);
    const std::size_t before = user.Shown().size();
    Run();
    EXPECT_EQ(page.Succeeded(), c.succeeds);
    if (c.message) {
      ASSERT_GT(user.Shown().size(), before);
      EXPECT_EQ(user.Shown()[before].text.rfind(c.message, 0), 0u) << user.Shown()[before].text;
    }
    std::string bookNow;
    platform::ReadWholeFile(book, bookNow);
    EXPECT_EQ(bookNow, "the second machine's address book");
    if (c.succeeds) {
      EXPECT_EQ(RestoreWorld::Files(RestoreWorld::StoreFolder(kNewMainId)), OldStore());
    }
  }
  EXPECT_EQ(RestoreWorld::Files(RestoreWorld::StoreFolder(kNewMainId)), SavedStoreWithNotes(world));
}


#ifndef _WIN32
// Guards against a target left with no store, or half of a new one, when
// the new store cannot be put in place or its steps cannot be noted for the
// next start. The store holds a file of the user's that a new file reaches
// through another spelling ("BRIEF \xC4.TXT" for "brief \xE4.txt"): it comes
// back too. Each fault is made before the run or once the first new file
// is in (the store step's first repaint), and is taken back after it.
TEST_F(RestoreRunTest, StoreThatCannotBeReplacedIsLeftAsItWas) {
  struct Case {
    const char* what;
    std::function<void()> before, atFirstCopy;
  };
  std::unique_ptr<testsupport::FileLock> lock;
  const std::string held = RestoreWorld::StoreFolder(kNewMainId) + "Old Folder.dbx";
  // The store folder from a profile folder the system does not tell is a
  // relative path: nothing is made there.
  const std::string profile = platform::SpecialFolder(platform::kCsidlProfile);
  std::vector<Case> cases = {
      {"a saved file that cannot be read", {},
       [&] { lock = std::make_unique<testsupport::FileLock>(source.RestoreFolder() + kMainId + "\\Inbox.dbx"); }},
      {"the disk full during the copy", {}, [] { platform::emu::SetDiskSpace(1000); }},
      {"no profile folder", [] { platform::emu::SetSpecialFolder(platform::kCsidlProfile, ""); }, {}},
      {"an old file held open cannot be moved aside", [&] { platform::emu::SetInUse(held, true); }, {}},
  };
  for (const char* line : {"store\t", "copying\t", "stored\t"}) {
    cases.push_back({line, [line] {
                       RunRecord::SetWriteHook([line](const std::string& change) { return change.rfind(line, 0) != 0; });
                     }, {}});
  }
  std::function<void()> atFirstCopy;
  platform::emu::AddDoEventsHook([&] {
    if (atFirstCopy && page.CurrentStep() == 1) std::exchange(atFirstCopy, nullptr)();
  });
  const std::string letter = "BRIEF \xC4.TXT";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Open();
    Plan(1, "True", kNewMainId, "Main Identity", "1,0,0,0,0,0");
    Plan(2, "False", "", "", "0,0,0,0,0,0");
    platform::WriteWholeFile(RestoreWorld::StoreFolder(kNewMainId) + letter, "the user's letter");
    platform::CreateFolder(source.RestoreFolder() + kMainId);
    platform::WriteWholeFile(source.RestoreFolder() + kMainId + "\\brief \xE4.txt", "a letter from the backup");
    if (c.before) c.before();
    atFirstCopy = c.atFirstCopy;
    user.Answer(platform::kAnswerOk);
    Run();
    platform::emu::SetDiskSpace(-1);
    RunRecord::SetWriteHook({});
    platform::emu::SetSpecialFolder(platform::kCsidlProfile, profile);
    platform::emu::SetInUse(held, false);
    lock.reset();
    EXPECT_FALSE(page.Succeeded());
    std::map<std::string, std::string> old = OldStore();
    old[letter] = "the user's letter";
    EXPECT_EQ(RestoreWorld::Files(RestoreWorld::StoreFolder(kNewMainId)), old);
    std::vector<platform::DirEntry> left;
    platform::ListFolder(RestoreWorld::StoreFolder(kNewMainId) + "*.*", left);
    EXPECT_EQ(left.size(), 6u);  // no folder of moved-aside files left
    EXPECT_FALSE(platform::IsDirectory("\\Local Settings"));
    ASSERT_GE(user.Shown().size(), 1u);
    EXPECT_EQ(user.Shown()[user.Shown().size() - 2].text.rfind(restore::kStoreKeptMessage, 0), 0u);
    // Nothing was half done: "Store Root" not rewritten.
    EXPECT_EQ(RawValue(Id(kNewMainId, "Software\\Microsoft\\Outlook Express\\5.0"), "Store Root").type,
              platform::kRegTypeNone);
  }
}
#endif

#ifndef _WIN32
// A kill at any write of the run record, in a restore and in a backup: the
// next start leaves the store all old or all new, no work folder (plain or
// decrypted copies of the mail) and no half-written archive, and removes
// nothing the program did not make, even where it is named like the
// program's own. The run goes on in a child process that ends itself as
// write N of its record begins; the test then recovers as the next start.
TEST_F(RestoreRunTest, KillAtAnyRecordWriteIsClearedAtTheNextStart) {
  const std::string store = RestoreWorld::StoreFolder(kNewMainId), out = world.Box().Path("out\\");
  const std::string temp = modFunction::TempPath();
  const std::vector<std::string> users = {out + "qmb2D98.tmp", out + "qmb2D98.tmp.mydata1", out + "qmb2D98.tmp.2024-01",
                                          store + "~qm-old.txt", temp + "~oe12345.txt"};
  for (const std::string& u : users) ASSERT_TRUE(platform::WriteWholeFile(u, "the user's"));
  const std::map<std::string, std::string> oldStore = RestoreWorld::Files(store);
  std::map<std::string, std::string> newStore = SavedStore(world, kMainId);
  newStore["notes.txt"] = restoretest::kNotes;
  newStore["~qm-old.txt"] = "the user's";
  auto restore = [this] {
    Open();
    Plan(1, "True", kNewMainId, "Main Identity", "1,0,0,0,0,0");
    Plan(2, "False", "", "", "0,0,0,0,0,0");
    Run();
  };
  auto backup = [&out] {
    cProcessItem items;
    OneBasedList<bool> selected;
    for (std::int32_t k = 1; k <= items.IdentitiesID().Count(); ++k) {
      selected.Add(items.IdentitiesID().At(k) == kNewMainId);
      if (selected.Value(k)) items.Detail().At(k) = "1,1,1,1,1,1";
    }
    items.SelectIdentity(selected);
    ucBack4 backupPage;
    backupPage.Catalogue(&items);
    backupPage.TotalItem(1);
    backupPage.ZipFileName(out + "again.qmb");
    backupPage.Password("pw");
    backupPage.StartBackup();
  };
  struct Kind {
    const char* what;
    std::function<void()> run;
  };
  for (const Kind& kind : {Kind{"restore", restore}, Kind{"backup", backup}}) {
    int completed = 0;  // the write count the run ended before
    for (int kill = 1; kill < 40 && !completed; ++kill) {
      SCOPED_TRACE(std::string(kind.what) + ", killed at write " + std::to_string(kill));
      std::fflush(nullptr);
      const pid_t child = ::fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        int writes = 0;
        RunRecord::SetWriteHook([&](const std::string&) {
          if (++writes == kill) ::_exit(0);
          return true;
        });
        kind.run();
        ::_exit(3);
      }
      int status = 0;
      ASSERT_EQ(::waitpid(child, &status, 0), child);
      ASSERT_TRUE(WIFEXITED(status) && (WEXITSTATUS(status) == 0 || WEXITSTATUS(status) == 3)) << status;
      if (WEXITSTATUS(status) == 3) completed = kill;
      RunRecord::Recover();  // the child no longer runs

      const std::map<std::string, std::string> now = RestoreWorld::Files(store);
      EXPECT_TRUE(now == oldStore || now == newStore);
      if (completed && std::string(kind.what) == "restore") {
        EXPECT_EQ(now, newStore);
      }
      std::vector<platform::DirEntry> entries;
      platform::ListFolder(temp + "*.*", entries);
      for (const platform::DirEntry& e : entries)
        EXPECT_TRUE(e.name == "." || e.name == ".." || !(e.attributes & platform::kAttrDirectory)) << e.name;
      platform::ListFolder(out + "qmb*.*", entries);
      EXPECT_EQ(entries.size(), 3u);
      for (const std::string& u : users) EXPECT_TRUE(modFunction::FileExists(u)) << u;
      platform::ListFolder(modFunction::LibraryFolder() + "~qmrun*.*", entries);
      EXPECT_TRUE(entries.empty());
      if (now == oldStore) continue;
      for (const auto& f : now) platform::RemoveFile(store + f.first);
      for (const auto& f : oldStore) platform::WriteWholeFile(store + f.first, f.second);
    }
    EXPECT_GT(completed, 2);
    if (std::string(kind.what) == "backup") {
      EXPECT_TRUE(modFunction::FileExists(out + "again.qmb"));
    }
  }
}
#endif

#ifndef _WIN32
// Guards against a stop that leaves an identity half restored or a store
// half replaced: the run is stopped at each of its repaints in turn (as the
// wizard does when the user answers Yes). An identity restored before the
// stop is whole; the one being restored is as it was, its store byte for
// byte and none of the backup's registry data under it; no work folder, no
// files moved aside and nothing in the run's record are left; the last page
// names both. The run that is not stopped shows one bar over the run, by the
// bytes, full only once the run is over, the first identity taking a part
// of it (not all of it, as a bar that starts again with each identity).
TEST_F(RestoreRunTest, StopAtAnyRepaintLeavesTheIdentityBeingRestoredAsItWas) {
  struct Target {
    const char* name;
    std::string store, key;  // the key the record's registry data makes
    std::map<std::string, std::string> before, restored;
  };
  const std::string oe = "Software\\Microsoft\\Outlook Express\\5.0\\";
  const Target targets[] = {
      {"Main Identity", RestoreWorld::StoreFolder(kNewMainId), Id(kNewMainId, oe + "Rules\\Mail"), OldStore(),
       SavedStoreWithNotes(world)},
      {"Home", RestoreWorld::StoreFolder(kHomeId), Id(kHomeId, oe + "Signatures\\00000000"), {},
       SavedStore(world, kAnnaId)}};
  std::string savedBook;
  ASSERT_TRUE(platform::ReadWholeFile(world.Demo().AddressBook(), savedBook));
  int at = 0, calls = 0;
  std::vector<std::pair<std::string, double>> seen;  // identity, bar
  int storeStepsShown = 0;  // repaints in the store step with its own label in bold, the one before ticked
  platform::emu::AddDoEventsHook([&] {
    seen.push_back({page.lblID.Caption(), page.ProgressBar1.value()});
    if (page.CurrentStep() == 1)
      storeStepsShown += page.lblStep[1].Bold() && page.imgStep[0].Shown() == backup::StepMarker::kTick ? 1 : -1000;
    if (++calls == at) page.Stop();
  });
  bool completed = false;
  for (at = 1; !completed && at < 300; ++at) {
    SCOPED_TRACE("stopped at repaint " + std::to_string(at));
    ASSERT_TRUE(world.Reseed());
    Open();
    Plan(1, "True", kNewMainId, "Main Identity", "1,0,1,1,0,0");
    Plan(2, "True", kHomeId, "Home", "1,0,0,0,0,1");
    calls = 0;
    seen.clear();
    Run();
    completed = page.Succeeded();
    EXPECT_EQ(page.Stopped(), !completed);
    EXPECT_TRUE(user.Shown().empty()) << user.Shown()[0].text;
    std::string work = source.RestoreFolder();
    EXPECT_FALSE(modFunction::IsFolder(work));
    EXPECT_FALSE(modFunction::FileExists(RunRecord::RecordFile()));
    std::vector<std::string> restored;
    std::string left;
    for (const Target& t : targets) {
      const std::map<std::string, std::string> now = RestoreWorld::Files(t.store);
      std::vector<platform::DirEntry> aside;
      platform::ListFolder(t.store + "~qm-old*", aside);
      EXPECT_TRUE(aside.empty()) << t.name;
      if (now == t.restored && KeyThere(t.key)) restored.push_back(t.name);
      else if (left.empty()) left = t.name;
      if (!left.empty()) {  // this one and those after it as they were
        EXPECT_EQ(now, t.before) << t.name;
        EXPECT_FALSE(KeyThere(t.key)) << t.name;
      }
    }
    std::string book;
    platform::ReadWholeFile(world.AddressBook(), book);
    EXPECT_TRUE(book == (restored.empty() ? "the second machine's address book" : savedBook));
    if (completed) continue;
    EXPECT_EQ(page.lblTitle.Caption(), ucRestor3::kStoppedTitle);
    EXPECT_EQ(page.lblFinishState.Caption(),
              std::string(ucRestor3::kStoppedText) + "\r\n\r\n" +
                  (restored.empty() ? std::string(ucRestor3::kNothingRestored)
                                    : ucRestor3::kRestoredBeforeStop + restored[0] + ".") +
                  "\r\nThe identity " + left + ucRestor3::kLeftAsItWas);
    EXPECT_FALSE(page.chkShell.Visible());
  }
  EXPECT_TRUE(completed);
  EXPECT_GT(at, 20);
  EXPECT_GT(storeStepsShown, 0);
  const double full = page.ProgressBar1.Max();
  EXPECT_EQ(page.ProgressBar1.value(), full);
  double last = 0, homeBegins = -1;
  for (const auto& [identity, bar] : seen) {
    EXPECT_GE(bar, last) << identity;
    EXPECT_LT(bar, full) << identity;
    if (identity == "Home" && homeBegins < 0) homeBegins = bar;
    last = bar;
  }
  EXPECT_GT(homeBegins, full / 10);
  EXPECT_LT(homeBegins, full * 9 / 10);
}
#endif

// An archive damaged in the middle of a store file: the record fails before
// the target is touched.
TEST_F(RestoreRunTest, DamagedArchiveLeavesTheTargetAsItWas) {
  Open();
  std::string bytes;
  ASSERT_TRUE(platform::ReadWholeFile(world.Archive(), bytes));
  // The largest store file of the demo lies in the archive's middle.
  const std::size_t at = bytes.find("Inbox.dbx");
  ASSERT_NE(at, std::string::npos);
  for (std::size_t k = at + 200; k < at + 260 && k < bytes.size(); ++k) bytes[k] = static_cast<char>(bytes[k] ^ 0x5a);
  ASSERT_TRUE(platform::WriteWholeFile(world.Archive(), bytes));
  Plan(1, "True", kNewMainId, "Main Identity", "1,1,0,1,0,0");
  Plan(2, "False", "", "", "0,0,0,0,0,0");
  user.Answer(platform::kAnswerOk);
  Run();
  EXPECT_FALSE(page.Succeeded());
  ASSERT_EQ(user.Shown().size(), 2u);
  EXPECT_EQ(user.Shown()[0].text.rfind(restore::kExtractFailMessage, 0), 0u);
  EXPECT_EQ(user.Shown()[1].text.rfind(restore::kRecordFailedQuestion, 0), 0u);
  EXPECT_EQ(RestoreWorld::Files(RestoreWorld::StoreFolder(kNewMainId)), OldStore());
  EXPECT_FALSE(KeyThere(Id(kNewMainId, "Software\\Microsoft\\Outlook Express\\5.0\\Rules")));
  EXPECT_EQ(Text(Id(kNewMainId, "Software\\Microsoft\\Internet Account Manager\\Accounts\\00000009"), "Account Name"),
            "Own account");
  EXPECT_FALSE(KeyThere(Id(kNewMainId, "Software\\Microsoft\\Internet Account Manager\\Accounts\\00000001")));
}

// Read-only store files of the target are replaced all the same.
TEST_F(RestoreRunTest, ReadOnlyStoreFilesAreReplaced) {
  platform::SetAttributes(RestoreWorld::StoreFolder(kNewMainId) + "Inbox.dbx", platform::kAttrReadOnly);
  Open();
  Plan(1, "True", kNewMainId, "Main Identity", "1,0,0,0,0,0");
  Plan(2, "False", "", "", "0,0,0,0,0,0");
  Run();
  EXPECT_TRUE(page.Succeeded());
  std::map<std::string, std::string> expected = SavedStore(world, kMainId);
  expected["notes.txt"] = restoretest::kNotes;
  EXPECT_EQ(RestoreWorld::Files(RestoreWorld::StoreFolder(kNewMainId)), expected);
}

// ---- Hostile archives -------------------------------------------------------

// Archives that look like a backup but whose exports climb out of the target
// key or name another root, whose entries climb out of the work folder, or
// whose signatures name files anywhere: nothing lands outside the target's
// keys, its store folder or the work folder.
TEST_F(RestoreRunTest, HostileArchiveWritesNothingOutsideTheTarget) {
  const std::string id = "{EEEEEEEE-0000-0000-0000-000000000000}";
  const std::string header = std::string(kRegistryFileHeader) + "\r\n\r\n";
  const std::string climbing = header + "[HKEY_CURRENT_USER\\<%QuillmereKeyName%>\\..\\..\\..\\Evil]\r\n\"x\"=\"1\"\r\n\r\n" +
                               "[HKEY_LOCAL_MACHINE\\Software\\QuillmereEvil]\r\n\"x\"=\"1\"\r\n\r\n" +
                               "[HKEY_CURRENT_USER\\Software\\QuillmereEvil]\r\n\"x\"=\"1\"\r\n\r\n" +
                               "[HKEY_CURRENT_USER\\<%QuillmereKeyName%>\\Fine]\r\n\"ok\"=\"1\"\r\n";
  const std::string list = "Main Identity\x01" + id + "\x01" + "1,1,1,1,1,1" + std::string(1, '\0');
  // Signature values that climb out, each with a saved file of its name.
  const std::string startup = "C:\\Documents and Settings\\demo\\Start Menu\\Programs\\Startup\\";
  struct Signature {
    const char* sub;
    std::string file;  // the value
    bool restored;     // into the program's own folder
  };
  const std::vector<Signature> signatures = {
      {"01", startup + "planted.exe" + std::string(1, '\0') + "x.txt", false},
      {"02", startup + "planted.htm", true},
      {"03", "C:\\planted\\sig.txt", true},
      {"04", "planted-rel.txt", false},
      {"05", "\\\\elsewhere\\share\\sig.txt", false},
      {"06", "C:\\planted\\CON.txt", false},
      {"07", "C:\\planted\\..\\up.txt", false},
      {"08", "C:\\" + std::string(300, 'a') + ".txt", false},
      {"09", "C:\\planted\\Lpt\xB2.txt", false},  // a device, as LPT2 is
      {"10", "C:\\planted\\COMB.txt", true},       // no device
  };
  std::string sigExport = header + "[HKEY_CURRENT_USER\\<%QuillmereKeyName%>]\r\n\r\n";
  std::vector<std::pair<std::string, std::string>> sigEntries;
  for (const Signature& g : signatures) {
    std::string escaped;
    for (char c : g.file) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    sigExport += "[HKEY_CURRENT_USER\\<%QuillmereKeyName%>\\" + std::string(g.sub) + "]\r\n\"file\"=\"" + escaped +
                 "\"\r\n\r\n";
    std::string name = g.file.substr(g.file.find_last_of('\\') + 1);
    if (!g.restored) name = name.substr(0, name.find('\0'));
    // A saved file for each, where an entry can carry its name.
    if (name.find('\0') == std::string::npos && name.size() < 200 && name != "CON.txt" && name != "Lpt\xB2.txt") sigEntries.push_back({id + "/" + g.sub + "/" + name, "planted"});
  }
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, std::string>> entries;
    bool restored;
    const char* message;
  };
  std::vector<std::pair<std::string, std::string>> withSignatures = {{"IdList.lst", list},
                                                                     {id + "/Signatures.bkr", sigExport},
                                                                     {id + "/Rules.bkr", climbing},
                                                                     {id + "/Accounts.bkr", climbing},
                                                                     {id + "/Inbox.dbx", "new inbox"},
                                                                     {"Comment.lst", climbing}};
  withSignatures.insert(withSignatures.end(), sigEntries.begin(), sigEntries.end());
  const std::vector<Case> cases = {
      {"entries and exports that climb out",
       {{"IdList.lst", list},
        {id + "/Rules.bkr", climbing},
        {id + "/../../../escaped.dbx", "x"},
        {id + "/Inbox.dbx", "new inbox"},
        {"../outside.wab", "x"},
        {"Comment.lst", climbing}},
       false, restore::kRefusedEntriesMessage},
      {"signatures that name files anywhere", withSignatures, false, restore::kRegistryFailMessage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    archivetest::MakeRawArchive(world.Box().Path("evil.qmb"), c.entries);
    source.RestoreFile(world.Box().Path("evil.qmb"));
    source.Loadbackupfile();
    ASSERT_FALSE(source.RestoreFolder().empty());
    ASSERT_EQ(shared::RestorePlan().Count(), 1);
    user.Answer(platform::kAnswerOk);
    const std::size_t before = user.Shown().size();
    Run();
    EXPECT_FALSE(page.Succeeded());
    ASSERT_GT(user.Shown().size(), before);
    EXPECT_EQ(user.Shown()[before].text.rfind(c.message, 0), 0u) << user.Shown()[before].text;
    EXPECT_FALSE(KeyThere("Evil"));
    EXPECT_FALSE(KeyThere("Identities\\Evil"));
    EXPECT_FALSE(KeyThere("Software\\QuillmereEvil"));
    RegistryRoutines hklm;
    hklm.hKey(kHkeyLocalMachine);
    hklm.KeyRoot("Software\\QuillmereEvil");
    EXPECT_FALSE(hklm.KeyExists());
    EXPECT_FALSE(world.Box().Exists("escaped.dbx"));
    EXPECT_FALSE(modFunction::FileExists(modFunction::TempPath() + "outside.wab"));
    EXPECT_FALSE(modFunction::FileExists(modFunction::TempPath() + "escaped.dbx"));
  }
  // The second archive: its store (restored before the registry data) and
  // its registry data came back, every signature file that came back lies
  // in the program's own folder, the others are named to the user and their
  // values are gone.
  EXPECT_EQ(Text(Id(kNewMainId, "Software\\Microsoft\\Outlook Express\\5.0\\Rules\\Fine"), "ok"), "1");
  EXPECT_EQ(RestoreWorld::Files(RestoreWorld::StoreFolder(kNewMainId))["Inbox.dbx"], "new inbox");
  const std::string own = RestoreWorld::StoreFolder(kNewMainId) + restore::kSignatureFolder + "\\";
  const std::string key = Id(kNewMainId, "Software\\Microsoft\\Outlook Express\\5.0\\Signatures\\");
  for (const Signature& g : signatures) {
    SCOPED_TRACE(g.sub);
    const std::string name = g.file.substr(g.file.find_last_of('\\') + 1);
    EXPECT_FALSE(modFunction::FileExists(g.file.substr(0, g.file.find('\0'))));
    EXPECT_FALSE(modFunction::FileExists(platform::CurrentFolder() + "\\" + name.substr(0, name.find('\0'))));
    if (g.restored) {
      EXPECT_EQ(Text(key + g.sub, "file"), own + g.sub + "\\" + name);
      EXPECT_TRUE(modFunction::FileExists(own + g.sub + "\\" + name));
    } else {
      EXPECT_EQ(RawValue(key + g.sub, "file").type, platform::kRegTypeNone);
    }
  }
  EXPECT_EQ(user.Shown().back().text.rfind(restore::kSignaturesNotRestoredMessage, 0), 0u);
  EXPECT_NE(user.Shown().back().text.find("Main Identity: 05"), std::string::npos);
}

}  // namespace
