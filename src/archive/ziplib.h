#pragma once
// The interface of the program's two zip libraries: qmlibzip32.dll (writer:
// ZpInit, ZpSetOptions, ZpArchive) and qmlibunzip.dll (reader:
// Wiz_SingleEntryUnzip). Both take and give text in the ANSI code page.
// On Windows they are separate DLLs loaded by full path; in the native build
// the same code is linked in directly (namespace ziplib).
#include <cstdint>

extern "C" {

// ---- writer ---------------------------------------------------------------
// A message for the user; length without the terminating NUL. Returns 0.
typedef int (*ZpPrintFn)(const char* text, unsigned long length);
// Fills the comment (at most 255 bytes and a NUL) into a 256-byte buffer;
// non-zero means no comment.
typedef int (*ZpCommentFn)(char* buffer);
// Fills the password (NUL-padded) into `size` bytes of `buffer`; non-zero
// cancels the run. Passwords are in UTF-8 (ANSI text is taken too), on
// both sides: each cipher is keyed with the form other zip programs use.
typedef int (*ZpPasswordFn)(char* buffer, int size, const char* prompt, const char* name);
// Called with each file's name (and the name's length) before the file is
// packed; non-zero cancels the run.
typedef int (*ZpServiceFn)(const char* name, unsigned long length);
// Called about every 50 ms while the files are packed, with the bytes of
// them read so far and the size of them all (as listed), so that the
// caller's window stays alive and shows how far the run is; non-zero
// cancels the run.
typedef int (*ZpBytesFn)(unsigned long long done, unsigned long long total);
// Called with the full path of a file that could not be opened or read to
// its end, or whose size changed while it was packed (a file named on its
// own, kZpFileAs); the run then ends with kZeOpen.
typedef void (*ZpUnreadableFn)(const char* path, unsigned long length);

struct ZpCallbacks {
  ZpPrintFn print;
  ZpCommentFn comment;
  ZpPasswordFn password;
  ZpServiceFn service;
  ZpBytesFn bytes;  // may be null
  ZpUnreadableFn unreadable;  // may be null
};

// A name given to ZpArchive that begins with this character packs one file
// from wherever it lies: the full path of the file, this character again,
// and the entry name ("\" or "/" between folders), kept as it is whatever
// the options say of folder names. The file must keep the size it has when
// the run starts until it is packed.
constexpr char kZpFileAs = '\x01';

struct ZpOptions {
  const char* rootFolder;  // specs and stored names are relative to it ("" = current folder)
  int encrypt;             // password encryption: one of the ZpEncrypt values
  int comment;             // ask for an archive comment
  int noDirEntries;        // no entries for folders
  int junkDirNames;        // store names without their folders
  int recurse;             // 2: descend into subfolders ("-r")
  int level;               // deflate level 1..9; 0: the library's default (6)
};

// How the entries are encrypted when a password is given.
enum ZpEncrypt {
  kZpEncryptNone = 0,
  kZpEncryptTraditional = 1,  // the traditional ZIP cipher: every unzip program reads it; weak
  kZpEncryptAes256 = 2,       // AES with 256-bit keys (AE-2 entries)
};

// Result codes of ZpArchive.
enum ZpResult {
  kZeOk = 0,
  kZeMem = 4,
  kZeAbort = 9,      // cancelled through a callback
  kZeNone = 12,      // nothing to archive
  kZeName = 13,      // missing or empty archive name
  kZeWrite = 14,     // the archive could not be written
  kZeParms = 16,     // bad options or passwords that differ
  kZeOpen = 18,      // a file could not be read
  kZeNoInit = 19,    // ZpInit was not called
};

// ---- reader ---------------------------------------------------------------
struct UzListEntry {
  std::uint64_t size;        // uncompressed
  std::uint64_t compressed;
  int factor;                // percent saved
  int month, day, year, hour, minute;
  const char* name;          // ANSI, folders separated by "/"
  const char* method;        // "Stored", "Defl:N", ...
  std::uint32_t crc;
  char encrypted;            // 'A' AES, 'E' another cipher (traditional), ' ' none
};

typedef int (*UzPrintFn)(const char* text, unsigned long length);
typedef void (*UzSoundFn)();
// Answer to "replace this existing file?": one of the kUzReplace values.
typedef int (*UzReplaceFn)(const char* name);
// Fills the password (NUL-terminated, at most size bytes) into buffer;
// non-zero gives up on the password.
typedef int (*UzPasswordFn)(char* buffer, int size, const char* prompt, const char* name);
typedef void (*UzListingFn)(const UzListEntry* entry);
// Called with each file's name (and the name's length) before it is
// extracted; non-zero cancels the run.
typedef int (*UzServiceFn)(const char* name, unsigned long length);
// Called about every 50 ms while entries are read or extracted, with the
// bytes of the entries read so far (uncompressed), so that the caller's
// window stays alive; non-zero cancels the run: the entries being read are
// given up (no file of them is left) and the run ends with kUzAbort.
typedef int (*UzTickFn)(unsigned long long bytesRead);

enum UzReplace { kUzReplaceNo = 100, kUzReplaceYes = 102, kUzReplaceAll = 103, kUzReplaceNone = 104 };

struct UzCallbacks {
  UzPrintFn print;
  UzSoundFn sound;
  UzReplaceFn replace;
  UzPasswordFn password;
  UzListingFn listing;
  UzServiceFn service;
  // Out: the archive comment in ANSI, cut to fit, NUL-terminated, and its length.
  char* commentBuffer;
  unsigned long commentBufferSize;
  unsigned long commentLength;
  UzTickFn tick;  // may be null
};

struct UzOptions {
  const char* zipFile;
  const char* extractFolder;
  int verboseListing;  // 1: list through the listing callback, extract nothing
  int restorePaths;    // extract into the entries' folders
  int overwriteAll;    // replace existing files without asking
  int testOnly;        // read every selected entry and check its CRC; write nothing
};

// An include that begins with this character names one entry exactly (the
// rest of it, "/" between folders); other includes are wildcard patterns.
constexpr char kUzExactName = '\x01';

// Result codes of Wiz_SingleEntryUnzip.
enum UzResult {
  kUzOk = 0,
  kUzWarn = 1,         // some entries were refused (unsafe names) or left alone
  kUzErr = 2,          // some entries were damaged or could not be written
  kUzNoZip = 9,        // the archive is missing, unreadable or not a zip file
  kUzParam = 10,
  kUzNoMatch = 11,     // none of the requested names is in the archive
  kUzAbort = 80,       // cancelled through a callback
  kUzBadPassword = 82, // entries skipped for want of the right password
};

}  // extern "C"

namespace ziplib {

int ZpInit(const ZpCallbacks* callbacks);
int ZpSetOptions(const ZpOptions* options);
int ZpArchive(int count, const char* zipFile, const char* const* names);

int Wiz_SingleEntryUnzip(int includeCount, const char* const* includes, int excludeCount,
                         const char* const* excludes, const UzOptions* options,
                         UzCallbacks* callbacks);

}  // namespace ziplib
