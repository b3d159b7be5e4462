// Start-up with the real zip libraries under Wine: written into the private
// library folder, loaded from there by full path, and the stop when they
// cannot be written. One process, in this order: nothing is loaded yet.
#include <windows.h>

#include <gtest/gtest.h>

#include "archive/cUnzip.h"
#include "archive/cZip.h"
#include "platform/files.h"
#include "shell/modCheckOE.h"
#include "helpers/modFunction.h"
#include "support/sandbox.h"
#include "support/scripted_user.h"

namespace {

struct Targets : modCheckOE::StartTargets {
  std::string called;
  void ShowWizard() override { called = "wizard"; }
  void OpenBackupFromCommandLine(const std::string&) override { called = "open"; }
  void RunBackupScript(const std::string&) override { called = "script"; }
};

const std::string kLib = modFunction::LibraryFolder();

TEST(ZipLibrariesAtStartup, UnwritableAndNoEarlierCopyStopsTheProgram) {
  for (const char* name : {modCheckOE::kZipLibraryName, modCheckOE::kUnzipLibraryName}) {
    ::DeleteFileA((kLib + name).c_str());
    ASSERT_TRUE(::CreateDirectoryA((kLib + name).c_str(), nullptr));  // a folder in the way
  }
  testsupport::ScriptedUser user;
  Targets t;
  EXPECT_EQ(modCheckOE::Main(t), 1);
  EXPECT_TRUE(t.called.empty());
  ASSERT_EQ(user.Shown().size(), 1u);
  EXPECT_EQ(user.Shown()[0].text, "Load runtime library fail ");
  EXPECT_EQ(user.Shown()[0].title, "Err");
  EXPECT_EQ(user.Shown()[0].Icon(), platform::kCritical);
  for (const char* name : {modCheckOE::kZipLibraryName, modCheckOE::kUnzipLibraryName})
    ::RemoveDirectoryA((kLib + name).c_str());
}

TEST(ZipLibrariesAtStartup, WrittenLoadedFromThePrivateFolderAndABackupRoundTrips) {
  testsupport::ScriptedUser user;
  Targets t;
  ASSERT_EQ(modCheckOE::Main(t), 0);
  EXPECT_TRUE(modFunction::FileExists(kLib + modCheckOE::kZipLibraryName));
  EXPECT_TRUE(modFunction::FileExists(kLib + modCheckOE::kUnzipLibraryName));

  // Both work from there (a backup with a password read back) ...
  testsupport::Sandbox box;
  box.MakeFolder("work");
  box.WriteFile("work\\Inbox.dbx", std::string(3 << 20, 'm'));
  cZip zip;
  zip.ZipFile(box.Path("b.qmb"));
  zip.Encrypt(true);
  zip.BasePath(box.Path("work\\"));
  zip.AddFileSpec("*.*");
  zip.PasswordRequest = [](std::string& p, std::int32_t, bool, bool&) { p = "pw"; };
  zip.Zip();
  ASSERT_TRUE(zip.Success()) << zip.LastResult();
  cUnzip u;
  u.ZipFile(box.Path("b.qmb"));
  u.PasswordRequest = [](std::string& p, bool&) { p = "pw"; };
  EXPECT_TRUE(u.Test()) << u.LastResult();

  // ... and came from the private folder, not from anywhere on the search path.
  for (const char* name : {modCheckOE::kZipLibraryName, modCheckOE::kUnzipLibraryName}) {
    HMODULE m = ::GetModuleHandleA(name);
    ASSERT_NE(m, nullptr) << name;
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(m, path, MAX_PATH);
    EXPECT_EQ(lstrcmpiA(path, (kLib + name).c_str()), 0) << path;
  }
  EXPECT_TRUE(user.Shown().empty());
}

}  // namespace
