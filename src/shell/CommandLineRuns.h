#pragma once
// The two command-line runs, driving the wizard through the same members a
// user's clicks reach: an archive named on the command line opens the
// wizard on the restore source page, and "/S" repeats the backup a script
// file describes, unattended, when it is due.
#include <string>

#include "shell/frmMain.h"

namespace CommandLineRuns {

// The form must be loaded (page 0). Leaves it on the restore source page
// with the archive opened; the caller shows the window.
void OpenBackupFromCommandLine(frmMain& form, const std::string& line);

// The unattended backup on a loaded form that is never shown; the form is
// unloaded at the end. Returns true when a backup was made and recorded.
bool RunBackupScript(frmMain& form, const std::string& line);

constexpr const char kNoScriptMessage[] = "Cannot find the script file: ";
constexpr const char kInvalidScriptMessage[] = "Invalid script file: ";
constexpr const char kFailMessage[] = "Auto-backup Fail!          ";
constexpr const char kNotRecordedMessage[] =
    "The backup was made, but its date could not be written into the script file: ";

}  // namespace CommandLineRuns
