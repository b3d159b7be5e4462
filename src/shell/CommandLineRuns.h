#pragma once
// The two command-line runs, driving the wizard through the same members a
// user's clicks reach: an archive named on the command line opens the
// wizard on the restore source page, and "/S" repeats the backup a script
// file describes, unattended, when it is due.
#include <chrono>
#include <string>

#include "shell/frmMain.h"

namespace CommandLineRuns {

// The form must be loaded (page 0). Leaves it on the restore source page
// with the archive opened; the caller shows the window.
void OpenBackupFromCommandLine(frmMain& form, const std::string& line);

// How long the unattended backup waits for the mail client to close, and
// how often it looks meanwhile.
struct ClientWait {
  std::chrono::milliseconds limit{10 * 60 * 1000};
  std::chrono::milliseconds every{5000};
};

// The unattended backup on a loaded form that is never shown; the form is
// unloaded at the end. The store files are never copied while the mail
// client has them open: the run waits for it to close, and gives up after
// `wait.limit`. Every run adds a line to the script's log (ScriptLog).
// Returns true when a backup was made and recorded.
bool RunBackupScript(frmMain& form, const std::string& line, const ClientWait& wait = ClientWait());

constexpr const char kNoScriptMessage[] = "Cannot find the script file: ";
constexpr const char kInvalidScriptMessage[] = "Invalid script file: ";
constexpr const char kFailMessage[] = "Auto-backup Fail!          ";
constexpr const char kNotRecordedMessage[] =
    "The backup was made, but its date could not be written into the script file: ";
// The line added to every message the hidden wizard shows, followed by the
// script's path: nobody sat down to this backup.
constexpr const char kAutomaticBackupLine[] = "This is the automatic backup of the script file: ";

}  // namespace CommandLineRuns
