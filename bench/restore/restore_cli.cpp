// Runs one whole restore of a backup archive through the restore pages,
// headless, for the benchmark. The archive is a host path, reached as drive
// Z: on both builds (Wine maps Z: to "/"). A one-identity profile with the
// Id and name backup_cli gives its identity is written into the current
// user's registry, so that the source page maps the archive's identity onto
// it; it is removed afterwards. The work folder is made below the temporary
// folder by the source page. Natively the user profile and the temporary
// folder are "profile" and "temp" beside the archive; under Wine they are the
// prefix's own.
//   restore_cli ARCHIVE PASSWORD
// Prints the run's seconds, its outcome and the host path of the restored
// message store folder (left in place for the caller to check and remove);
// message boxes go to stderr.
#include <chrono>
#include <cstdio>
#include <string>

#include "platform/registry.h"
#include "platform/ui.h"
#include "registry/RegistryRoutines.h"
#include "restore/RestoreRun.h"
#include "restore/frmPassword.h"
#include "restore/ucRestor1.h"
#include "restore/ucRestor3.h"
#include "helpers/RunRecord.h"
#include "../kill_at_record_write.h"
#include "catalog/SharedObjects.h"

#ifdef _WIN32
#include <windows.h>

#include "shell/modCheckOE.h"
#else
#include "platform/emulated/emulation.h"
#include "platform/paths.h"
#endif

namespace {

const char kId[] = "{B3C4D5E6-0000-4000-8000-00000000BE4C}";  // as backup_cli

std::string ProgramPath(const std::string& host) {
  std::string path = "Z:" + host;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

// The host's name for a Windows path (under Wine through its own export;
// on Windows itself the path as it is).
std::string HostPath(const std::string& path) {
#ifdef _WIN32
  using ToUnix = char*(CDECL*)(const WCHAR*);
  auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!toUnix) return path;
  std::wstring wide(path.size(), L'\0');
  wide.resize(static_cast<std::size_t>(
      MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), wide.data(), static_cast<int>(wide.size()))));
  char* unix = toUnix(wide.c_str());
  if (!unix) return path;
  std::string host = unix;
  HeapFree(GetProcessHeap(), 0, unix);
  return host;
#else
  return platform::emu::HostPath(path);
#endif
}

// Message boxes to stderr; the password dialog is answered with the password.
class ConsoleUser : public platform::UserInterface {
 public:
  explicit ConsoleUser(std::string password) : password_(std::move(password)) {}
  int ShowMessage(const std::string& text, unsigned, const std::string&, void*) override {
    std::fprintf(stderr, "message: %s\n", text.c_str());
    return platform::kAnswerOk;
  }
  int ShowFileDialog(platform::FileDialogRecord&) override { return 0; }
  int ShowModal(platform::ModalForm& form, void*) override {
    if (form.FormName() != "frmPassword") return 0;
    auto& dialog = static_cast<frmPassword&>(form);
    dialog.txtPassword.Text(password_);
    dialog.cmdOK.Press();
    return 0;
  }

 private:
  std::string password_;
};

bool SeedProfile() {
  RegistryRoutines reg;
  reg.hKey(kHkeyCurrentUser);
  reg.KeyRoot("");
  const std::string key = std::string("Identities\\") + kId;
  if (reg.CreateKey(key + "\\Software\\Microsoft\\Outlook Express\\5.0").empty()) return false;
  reg.KeyRoot(key);
  reg.Subkey("");
  return reg.SetRegistryValue("Username", "Benchmark", kRegSz);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 && !(argc == 2 && std::string(argv[1]) == "--recover")) {
    std::fprintf(stderr, "usage: restore_cli ARCHIVE PASSWORD | --recover\n");
    return 2;
  }
  const std::string archive = argv[1];
#ifdef _WIN32
  if (!modCheckOE::ExtractZipLibraries()) {
    std::fprintf(stderr, "Load runtime library fail \n");
    return 2;
  }
#else
  const std::string beside = ProgramPath(archive.substr(0, archive.find_last_of('/') + 1));
  platform::emu::Reset();
  platform::emu::MapDrive('Z', "/");
  platform::emu::SetSpecialFolder(platform::kCsidlProfile, beside + "profile");
  platform::emu::SetTempDirectory(beside + "temp\\");
#endif
  if (std::string(argv[1]) == "--recover") {  // what the program does first at start-up
    std::printf("recovered=%d\n", RunRecord::Recover(true));
    return 0;
  }
  bench::KillAtRecordWriteFromEnvironment();
  ConsoleUser user(argv[2]);
  platform::SetUi(&user);
  if (!SeedProfile()) {
    std::fprintf(stderr, "cannot write the profile\n");
    return 2;
  }
  shared::CreateSharedObjects();
  ucRestor1 source;
  source.RestoreFile(ProgramPath(archive));
  source.Loadbackupfile();
  bool ok = !source.RestoreFolder().empty() && shared::RestorePlan().GetItemValue(clsRestore::ToID, 1) == kId;
  double seconds = 0;
  ucRestor3 page;
  if (ok) {
    page.ZipFileName(source.RestoreFile());
    page.TempFolder(source.RestoreFolder());
    page.Password(source.Password());
    auto start = std::chrono::steady_clock::now();
    page.StartRestore();
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ok = page.Succeeded();
  } else {
    std::fprintf(stderr, "the archive's identity was not mapped onto the seeded one\n");
  }
  (void)platform::DeleteRegBranch(platform::kRegCurrentUser, std::string("Identities\\") + kId);
  shared::ReleaseSharedObjects();
  RunRecord::Remove();  // as the program does when it ends normally
  platform::SetUi(nullptr);
  std::string store = HostPath(restore::RestoreRun::GetOEPath(kId));
  if (!store.empty() && store.back() == '/') store.pop_back();
  std::printf("seconds=%.3f result=%s store=%s\n", seconds, ok ? "completed" : "failed", store.c_str());
  return ok ? 0 : 1;
}
