#pragma once
// What a run would leave behind if the program were killed in the middle of
// it (a half-written archive, a work folder holding plain copies of the
// user's mail, message store files moved aside), written down before it is
// made and struck once it is gone, so that the next start of the program
// can clear it up. One record file per process, in the private library
// folder; only records of processes that no longer run are carried out.
#include <cstdint>
#include <string>
#include <vector>

namespace RunRecord {

// A half-written archive ("<folder>\qmb<hex>.tmp"): removed.
void NoteArchive(const std::string& path);
// A work folder directly below the temporary folder: removed with all it holds.
void NoteWorkFolder(const std::string& folder);
// Store files moved aside while new ones are copied in: unless the record
// says the copy was complete, the new files are removed and the old ones
// moved back.
void NoteStore(const std::string& asideFolder, const std::string& storeFolder,
               const std::vector<std::string>& newFiles);
// Every old file is aside: the new ones are being copied in from here on.
void StoreCopying(const std::string& asideFolder);
void StoreComplete(const std::string& asideFolder);
// Strikes every line that names this path.
void Strike(const std::string& path);
// This process's record is no longer needed (a normal end).
void Remove();

// Carries out the records of processes that no longer run; returns how many
// it carried out. At start-up a record under this process's own id is a
// dead process's too (process ids are reused): `atStart` carries it out.
int Recover(bool atStart = false);

// This process's record file (for tests).
std::string RecordFile();

}  // namespace RunRecord
