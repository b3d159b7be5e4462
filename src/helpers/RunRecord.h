#pragma once
// What a run would leave behind if the program were killed in the middle of
// it (a half-written archive, a work folder holding plain copies of the
// user's mail, message store files moved aside), written down before it is
// made and struck once it is gone, so that the next start of the program
// can clear it up. One record file per process, in the private library
// folder; only records of processes that no longer run are carried out.
//
// Every change is written whole to "~qmrun<pid>.new" beside the record,
// flushed, and moved over the record, so that the record a later start
// reads is always one the program wrote in full. Each call says whether its
// change is in the record: what is not noted must not be made.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace RunRecord {

// A half-written archive ("<folder>\qmb<hex>.tmp"): removed.
bool NoteArchive(const std::string& path);
// A work folder directly below the temporary folder: removed with all it holds.
bool NoteWorkFolder(const std::string& folder);
// Store files moved aside while new ones are copied in: unless the record
// says the copy was complete, the new files are removed and the old ones
// moved back.
bool NoteStore(const std::string& asideFolder, const std::string& storeFolder,
               const std::vector<std::string>& newFiles);
// Every old file is aside: the new ones are being copied in from here on.
bool StoreCopying(const std::string& asideFolder);
// Every new file is in place: the old ones may go.
bool StoreComplete(const std::string& asideFolder);
// Puts the store noted under `asideFolder` back now, as the next start
// would after a kill (the new files removed once copying had begun, the old
// ones moved back, the folder removed unless an old file could not come
// back), and strikes it. False when this process's record names no such
// store.
bool PutStoreBack(const std::string& asideFolder);
// Strikes every line that names this path.
bool Strike(const std::string& path);
// This process's record is no longer needed (a normal end).
void Remove();

// A new, empty work folder directly below the temporary folder, noted
// before it is made; ends in "\". When the record cannot be written the
// folder is made all the same (the run removes it at its end; only a kill
// would leave it).
std::string MakeWorkFolder();
// A new, empty file "<folder>qmb<hex>.tmp" for an archive being written,
// noted before it is made; "" when it cannot be noted or made.
std::string MakeArchiveFile(const std::string& folder);

// Carries out the records of processes that no longer run; returns how many
// it carried out. At start-up a record under this process's own id is a
// dead process's too (process ids are reused): `atStart` carries it out.
int Recover(bool atStart = false);

// This process's record file (for tests).
std::string RecordFile();
// For tests: called before each change of the record is written, with the
// line it adds ("strike\t<path>" for a strike); false makes the write fail
// as a full disk would. An empty function removes the hook.
void SetWriteHook(std::function<bool(const std::string& change)> hook);

}  // namespace RunRecord
