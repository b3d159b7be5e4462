#pragma once
// Start-up and exit: prepares the process, chooses how to run from the
// command line, and at exit starts the clean-up program.
#include <string>

#include "archive/LibraryBinding.h"

namespace modCheckOE {

// Where the three ways of running lead. The program's own targets open the
// wizard; tests hand in their own.
class StartTargets {
 public:
  virtual ~StartTargets() = default;
  virtual void ShowWizard() = 0;
  virtual void OpenBackupFromCommandLine(const std::string& line) = 0;
  virtual void RunBackupScript(const std::string& line) = 0;
};

// The entry routine. Returns the process exit code (1 when the zip
// libraries are missing).
int Main(StartTargets& targets);

// Program-wide state.
const std::string& CommandLine();        // trimmed, letter case as given
std::string& CleanupFolderList();        // "<backup work folder>/<restore folder>"
void* ShellLibrary();                    // shell32, held until the wizard unloads
void ReleaseShellLibrary();

using ziplib::kZipLibraryName;
using ziplib::kUnzipLibraryName;
constexpr const char kLibraryType[] = "ZIBLIB";
constexpr int kZipLibraryId = 101;
constexpr int kUnzipLibraryId = 102;
constexpr const char kCleanerType[] = "CUSTOM";
constexpr int kCleanerId = 104;

// Writes both zip libraries into the library folder; true when both exist afterwards.
bool ExtractZipLibraries();

// Writes the clean-up program to a fresh temporary ".exe" and starts it with
// the clean-up folder list and the flag "0". Returns its path ("" on failure).
std::string StartExitCleaner(const std::string& folderList);

// Called when the wizard window object terminates.
void ExitCleanup();

// The dispatch rule alone: 0 wizard, 1 open archive, 2 unattended script.
int Dispatch(const std::string& upperLine);

}  // namespace modCheckOE
