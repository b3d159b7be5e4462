#pragma once
// Small routines many parts of the program share: where things are, fresh
// work folders, folder trees, existence tests, short names.
// Every folder path returned ends in "\" unless said otherwise.
#include <cstdint>
#include <string>

namespace modFunction {

std::string AppPath();       // the program's folder
std::string SystemFolder();  // the Windows system folder
std::string TempPath();      // the user's temporary folder as the system reports it
// The per-user folder that holds the zip libraries and the clean-up batch
// while the program runs (created when missing); falls back to TempPath.
std::string LibraryFolder();

std::string MakeTempFolder();  // a newly created, empty work folder below TempPath
// Creates every missing level. "\\" inside the path becomes "\" (handed back).
bool MakeFolderPath(std::string& path);
void DeleteFolderTree(const std::string& folder);  // folder without trailing "\"
bool FileExists(const std::string& path);          // false for folders
bool IsFolder(std::string& path);
std::string SpecialFolderPath(std::int32_t csidl);  // "" when unknown
std::string ShortPathName(const std::string& path);
std::string TrimAtNul(const std::string& text);
bool IsWin9x();

}  // namespace modFunction
