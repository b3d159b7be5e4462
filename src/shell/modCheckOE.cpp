#include "shell/modCheckOE.h"

#include <cctype>
#include <vector>

#include "archive/LibraryBinding.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "helpers/RunRecord.h"
#include "helpers/modFunction.h"

namespace modCheckOE {

namespace {
std::string g_commandLine;
std::string g_cleanupList;
void* g_shell32 = nullptr;

constexpr std::uint32_t kUserExClasses = 0x200;  // ICC_USEREX_CLASSES

std::string Trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(' '), e = s.find_last_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

void WriteResource(const char* type, int id, const std::string& path) {
  std::string bytes;
  if (platform::LoadProgramResource(type, id, bytes)) platform::WriteWholeFile(path, bytes);
}
}  // namespace

const std::string& CommandLine() { return g_commandLine; }
std::string& CleanupFolderList() { return g_cleanupList; }
void* ShellLibrary() { return g_shell32; }
void ReleaseShellLibrary() {
  platform::ReleaseModule(g_shell32);
  g_shell32 = nullptr;
}

int Dispatch(const std::string& line) {
  if (line.size() < 5) return 0;
  // The switch in either case; the paths keep theirs (upper-casing them byte
  // by byte would break names in double-byte code pages).
  return line.find("/S") == std::string::npos && line.find("/s") == std::string::npos ? 1 : 2;
}

bool ExtractZipLibraries() {
  // A library the clean-up of an earlier run takes away later is written
  // again when it is bound.
  ziplib::SetLibraryWriter(&ExtractZipLibraries);
  const std::string folder = modFunction::LibraryFolder();
  // The clean-up batch of a run that has just ended deletes the libraries
  // over and over until they are gone, and removes itself last: started
  // meanwhile, the libraries written now would go too. Wait for it a while
  // (a batch left behind by a killed clean-up must not hold every start).
  std::vector<platform::DirEntry> batches;
  for (int waited = 0; waited < 5000 && platform::ListFolder(folder + "~killzipDLL*.bat", batches) &&
                       !batches.empty();
       waited += 50) {
    platform::DoEvents();
    platform::SleepMs(50);
  }
  for (int tries = 0; tries < 3; ++tries) {
    WriteResource(kLibraryType, kZipLibraryId, folder + kZipLibraryName);
    WriteResource(kLibraryType, kUnzipLibraryId, folder + kUnzipLibraryName);
    platform::DoEvents();
    if (modFunction::FileExists(folder + kUnzipLibraryName) && modFunction::FileExists(folder + kZipLibraryName))
      return true;
    platform::SleepMs(100);
  }
  return false;
}

int Main(StartTargets& targets) {
  g_shell32 = platform::LoadModule("shell32.dll");
  platform::InitCommonControls(kUserExClasses);

  if (!ExtractZipLibraries()) {
    platform::MsgBox("Load runtime library fail ", platform::kCritical, "Err");
    return 1;
  }

  // Loaded now and held until the program ends: the clean-up of a run that
  // has just ended, still waiting for its own copies to be free, cannot
  // take these away in the middle of this run.
  ziplib::ZipEntryPoints zip;
  ziplib::UnzipEntryPoints unzip;
  ziplib::BindError ignored;
  for (int tries = 0; tries < 3; ++tries) {
    if (ziplib::BindZipLibrary(zip, ignored) && ziplib::BindUnzipLibrary(unzip, ignored)) break;
    ExtractZipLibraries();
  }

  // What a killed run of the program left behind goes first.
  RunRecord::Recover(true);

  g_commandLine = Trim(platform::CommandLineArgs());
  switch (Dispatch(g_commandLine)) {
    case 1: targets.OpenBackupFromCommandLine(g_commandLine); break;
    case 2: targets.RunBackupScript(g_commandLine); break;
    default: targets.ShowWizard(); break;
  }
  return 0;
}

std::string StartExitCleaner(const std::string& folderList) {
  std::string name = modFunction::TrimAtNul(platform::TempFileName(modFunction::TempPath(), "~exe"));
  if (name.empty()) return "";
  platform::RemoveFile(name);
  name += ".exe";
  std::string bytes;
  if (!platform::LoadProgramResource(kCleanerType, kCleanerId, bytes) ||
      !platform::WriteWholeFile(name, bytes))
    return "";
  platform::ShellRun(nullptr, "", name, folderList + "0", "c:\\", platform::kSwShowNormal);
  return name;
}

void ExitCleanup() {
  RunRecord::Remove();
  StartExitCleaner(g_cleanupList);
}

}  // namespace modCheckOE
