#pragma once
// The clean-up program started at exit: removes the work folders and
// writes the batch file that deletes the zip libraries and the program
// itself once nothing holds them any more.
#include <string>
#include <vector>

namespace ExitCleaner {

// The folders of a command line "<folder>/<folder>...<flag>": trimmed,
// upper case, the flag dropped, empty pieces left out.
std::vector<std::string> ParseFolderList(const std::string& commandLine);

// Only work folders below the temporary folder are cleaned: the list comes
// from a command line and must not reach anything else.
bool IsCleanableFolder(const std::string& folder, const std::string& tempPath);

// Deletes the files directly inside each folder, then the folder (a folder
// that is not empty stays).
void CleanFolders(const std::vector<std::string>& folders);

// The batch file's lines; every path already in its short form.
std::vector<std::string> BatchLines(const std::string& libraryFolder, const std::string& selfPath,
                                    const std::vector<std::string>& folders,
                                    const std::string& batchPath);

// A free batch name in the folder: "~killzipDLL.bat", else "~killzipDLL<n>.bat".
std::string FreeBatchName(const std::string& folder);

// The whole run: returns the batch file written ("" when none could be).
std::string Run(const std::string& commandLine, const std::string& selfPath);

}  // namespace ExitCleaner
