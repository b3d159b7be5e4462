#pragma once
// Helpers of the archive tests: making archives with libzip directly (names
// no well-behaved writer would produce) and reading them back.
#include <zip.h>

#include <map>
#include <string>
#include <vector>

#include "archive/cUnzip.h"
#include "archive/cZip.h"

namespace archivetest {

// The host-side or Windows-side path libzip can open for a program path.
std::string LibzipPath(const std::string& path);

// Writes an archive whose entries have exactly these raw names and contents.
void MakeRawArchive(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries,
                    const char* password = nullptr, zip_flags_t nameFlags = ZIP_FL_ENC_RAW,
                    zip_uint16_t cipher = ZIP_EM_TRAD_PKWARE);

// Entry name (raw bytes) -> content, read with libzip.
std::map<std::string, std::string> ReadArchive(const std::string& path, const char* password = nullptr);
std::string ArchiveComment(const std::string& path);
// The encryption method of every entry when they share one (ZIP_EM_NONE for
// none), else ZIP_EM_UNKNOWN.
zip_uint16_t ArchiveCipher(const std::string& path);

// A cZip set up the way the backup run uses it.
void SetUpBackupZip(cZip& zip, const std::string& folder, const std::string& archive,
                    const std::string& password, const std::string& comment);

// Makes the zip libraries available to the program (Windows: written into the
// private library folder from the test program's resources).
void ProvideLibraries();

}  // namespace archivetest
