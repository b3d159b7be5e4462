// The zip library's writer: ZpInit, ZpSetOptions and ZpArchive over libzip.
// Files are streamed into the archive one by one while libzip writes it.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "archive/DeflateAhead.h"
#include "archive/EntryNames.h"
#include "archive/textcodes.h"
#include "archive/ziplib.h"
#include "archive/zipfs.h"

namespace ziplib {

namespace {
constexpr int kDefaultLevel = 6;
constexpr std::size_t kPasswordSize = 256;

ZpCallbacks g_callbacks{};
bool g_initialised = false;
// When the bytes callback was last called; a run calls it with its first
// bytes.
std::chrono::steady_clock::time_point g_lastBytes;
struct Options {
  std::string root;
  ZpOptions raw{};
} g_options;

void Print(const std::string& text) {
  if (g_callbacks.print) g_callbacks.print(text.c_str(), static_cast<unsigned long>(text.size()));
}

struct PlannedFile {
  std::string path;   // full ANSI path
  std::string entry;  // ANSI, "/" between folders
  fs::Item item;
  bool fixedSize = false;  // named on its own (kZpFileAs)
};

std::string Joined(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '\\' || folder.back() == '/' ? folder + name : folder + "\\" + name;
}

std::string EntryName(const std::string& relative) {
  std::string name = relative;
  for (char& c : name)
    if (c == '\\') c = '/';
  if (g_options.raw.junkDirNames) {
    std::size_t cut = name.find_last_of('/');
    if (cut != std::string::npos) name.erase(0, cut + 1);
  }
  return name;
}

// Files below `relFolder` whose names match `pattern`; subfolders too when recursing.
void Collect(const std::string& relFolder, const std::string& pattern, std::vector<PlannedFile>& out) {
  std::vector<fs::Item> items;
  fs::List(Joined(g_options.root, relFolder), items);
  for (const fs::Item& it : items) {
    std::string rel = relFolder.empty() ? it.name : relFolder + "\\" + it.name;
    if (it.folder) {
      if (g_options.raw.recurse && MatchesSpec(pattern, it.name)) Collect(rel, "*", out);
    } else if (MatchesSpec(pattern, it.name)) {
      out.push_back({Joined(g_options.root, rel), EntryName(rel), it});
    }
  }
}

void Unreadable(const std::string& path) {
  if (g_callbacks.unreadable) g_callbacks.unreadable(path.c_str(), static_cast<unsigned long>(path.size()));
}

// Returns how many named files were not found.
int Plan(int count, const char* const* names, std::vector<PlannedFile>& out) {
  int missing = 0;
  for (int k = 0; k < count && names[k] && names[k][0]; ++k) {
    std::string spec = names[k];
    if (spec[0] == kZpFileAs) {  // one file from anywhere, under its own entry name
      const std::size_t cut = spec.find(kZpFileAs, 1);
      const std::string path = spec.substr(1, cut == std::string::npos ? std::string::npos : cut - 1);
      std::string entry = cut == std::string::npos ? std::string() : spec.substr(cut + 1);
      std::replace(entry.begin(), entry.end(), '\\', '/');
      fs::Item it;
      if (entry.empty() || !fs::Stat(path, it) || it.folder) {
        Print("\tzip warning: name not matched: " + path);
        Unreadable(path);
        ++missing;
      } else {
        out.push_back({path, entry, it, true});
      }
      continue;
    }
    for (char& c : spec)
      if (c == '/') c = '\\';
    std::size_t cut = spec.find_last_of('\\');
    std::string folder = cut == std::string::npos ? "" : spec.substr(0, cut);
    std::string leaf = cut == std::string::npos ? spec : spec.substr(cut + 1);
    fs::Item it;
    if (leaf.find_first_of("*?") != std::string::npos) {
      Collect(folder, leaf, out);
    } else if (fs::Stat(Joined(g_options.root, spec), it)) {
      if (!it.folder) out.push_back({Joined(g_options.root, spec), EntryName(spec), it});
      else if (g_options.raw.recurse) Collect(spec, "*", out);
    } else {
      Print("\tzip warning: name not matched: " + spec);
      ++missing;
    }
  }
  return missing;
}

// A name given twice is one entry holding the file named last, in the place
// of the first (libzip's overwriting add); the files are then packed in the
// order of their entries.
void KeepLastOfSameName(std::vector<PlannedFile>& files) {
  std::map<std::string, std::size_t> first;
  std::vector<PlannedFile> kept;
  for (PlannedFile& f : files) {
    auto found = first.find(f.entry);
    if (found != first.end()) {
      kept[found->second] = std::move(f);
    } else {
      first.emplace(f.entry, kept.size());
      kept.push_back(std::move(f));
    }
  }
  files.swap(kept);
}

// Hands one file's deflated bytes to libzip and tells the user about it
// while it is packed. The bytes come from the run's DeflateAhead, so libzip
// takes them as they are (and only encrypts them).
struct FileFeed {
  PlannedFile file;
  std::size_t index = 0;            // in the run's DeflateAhead
  DeflateAhead* ahead = nullptr;
  zip_source_t* archive = nullptr;  // for the bytes written so far
  zip_int64_t startedAt = 0;
  std::uint64_t before = 0, total = 0;  // bytes of the files before this one, of all (as listed)
  bool* cancelled = nullptr;
  zip_error_t error{};
};

void ReportPacked(FileFeed& f) {
  zip_int64_t now = zip_source_tell_write(f.archive);
  std::uint64_t packed = now > f.startedAt ? static_cast<std::uint64_t>(now - f.startedAt) : 0;
  std::uint64_t read = f.ahead->SizeRead(f.index);
  int saved = read == 0 || packed >= read ? 0 : static_cast<int>(100 - packed * 100 / read);
  Print(" (deflated " + std::to_string(saved) + "%)");
}

zip_int64_t FeedCallback(void* state, void* data, zip_uint64_t len, zip_source_cmd_t cmd) {
  auto& f = *static_cast<FileFeed*>(state);
  switch (cmd) {
    case ZIP_SOURCE_OPEN: {
      if (g_callbacks.service &&
          g_callbacks.service(f.file.path.c_str(), static_cast<unsigned long>(f.file.path.size())) != 0) {
        *f.cancelled = true;
        zip_error_set(&f.error, ZIP_ER_CANCELLED, 0);
        return -1;
      }
      if (!f.ahead->Open(f.index)) {
        Print("\tzip warning: could not open for reading: " + f.file.path);
        Unreadable(f.file.path);
        zip_error_set(&f.error, ZIP_ER_OPEN, 0);
        return -1;
      }
      Print("  adding: " + f.file.entry);
      f.startedAt = zip_source_tell_write(f.archive);
      return 0;
    }
    case ZIP_SOURCE_READ: {
      std::int64_t n = f.ahead->Read(f.index, data, static_cast<std::size_t>(len));
      if (n < 0) {
        Print("\tzip warning: could not read whole: " + f.file.path);
        Unreadable(f.file.path);
        zip_error_set(&f.error, ZIP_ER_READ, 0);
        return -1;
      }
      if (g_callbacks.bytes) {  // the caller's window stays alive within a large file
        const auto now = std::chrono::steady_clock::now();
        if (now - g_lastBytes >= std::chrono::milliseconds(50)) {
          g_lastBytes = now;
          if (g_callbacks.bytes(f.before + f.ahead->SizeRead(f.index), f.total) != 0) {
            *f.cancelled = true;
            zip_error_set(&f.error, ZIP_ER_CANCELLED, 0);
            return -1;
          }
        }
      }
      return n;
    }
    case ZIP_SOURCE_CLOSE:
      if (f.ahead->Finished(f.index)) {
        ReportPacked(f);
      } else {
        f.ahead->Close(f.index);
      }
      return 0;
    case ZIP_SOURCE_STAT: {
      auto* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, len, &f.error);
      if (!st) return -1;
      zip_stat_init(st);
      st->mtime = f.file.item.mtime;
      st->comp_method = ZIP_CM_DEFLATE;
      st->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME | ZIP_STAT_COMP_METHOD;
      if (f.ahead->Finished(f.index)) {
        st->size = f.ahead->SizeRead(f.index);
        st->crc = f.ahead->Crc(f.index);
        st->valid |= ZIP_STAT_CRC;
      } else {
        st->size = f.file.item.size;
      }
      return sizeof(*st);
    }
    case ZIP_SOURCE_ERROR:
      return zip_error_to_data(&f.error, data, len);
    case ZIP_SOURCE_FREE:
      delete &f;
      return 0;
    case ZIP_SOURCE_SUPPORTS:
      return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                            ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    default:
      zip_error_set(&f.error, ZIP_ER_OPNOTSUPP, 0);
      return -1;
  }
}

// Asks for the password twice, the second time to verify it.
int AskPassword(const char* zipFile, std::string& password) {
  char first[kPasswordSize + 1] = {}, second[kPasswordSize + 1] = {};
  if (!g_callbacks.password) return kZeParms;
  if (g_callbacks.password(first, kPasswordSize, "Enter password: ", zipFile) != 0) return kZeAbort;
  if (g_callbacks.password(second, kPasswordSize, "Verify password: ", zipFile) != 0) return kZeAbort;
  if (std::strcmp(first, second) != 0) {
    Print("password verification failed");
    return kZeParms;
  }
  password = first;
  return password.empty() ? kZeParms : kZeOk;
}

std::string AskComment() {
  char buffer[256] = {};
  if (!g_callbacks.comment || g_callbacks.comment(buffer) != 0) return std::string();
  return std::string(buffer, strnlen(buffer, 255));
}

bool AddEntry(zip_t* za, zip_source_t* archiveSource, const PlannedFile& file, std::size_t index,
              std::uint64_t before, std::uint64_t total, DeflateAhead& ahead, const std::string& password,
              zip_uint16_t cipher, bool* cancelled) {
  auto* feed = new FileFeed{file, index, &ahead, archiveSource, 0, before, total, cancelled, {}};
  zip_error_init(&feed->error);
  zip_error_t err;
  zip_error_init(&err);
  zip_source_t* src = zip_source_function_create(FeedCallback, feed, &err);
  if (!src) {
    delete feed;
    return false;
  }
  zip_int64_t idx = zip_file_add(za, AnsiToUtf8(file.entry).c_str(), src, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
  if (idx < 0) {
    zip_source_free(src);
    return false;
  }
  auto i = static_cast<zip_uint64_t>(idx);
  // Made on "Unix" with a plain file's mode: tools on every system then take
  // the flagged UTF-8 names as they are (Info-ZIP converts names made on
  // FAT from OEM, flag or not).
  zip_file_set_external_attributes(za, i, 0, ZIP_OPSYS_UNIX, (0100644u << 16) | 0x20u);
  if (!password.empty() && zip_file_set_encryption(za, i, cipher, password.c_str()) < 0)
    return false;
  return true;
}
}  // namespace

int ZpInit(const ZpCallbacks* callbacks) {
  if (!callbacks) return 0;
  g_callbacks = *callbacks;
  g_initialised = true;
  return 1;
}

int ZpSetOptions(const ZpOptions* options) {
  if (!options) return 0;
  g_options.raw = *options;
  g_options.root = options->rootFolder ? options->rootFolder : "";
  g_options.raw.rootFolder = nullptr;
  return 1;
}

int ZpArchive(int count, const char* zipFile, const char* const* names) {
  if (!g_initialised) return kZeNoInit;
  if (!zipFile || !zipFile[0]) return kZeName;
  if (count < 0 || (count > 0 && !names)) return kZeParms;
  fs::BeginRun();
  g_lastBytes = {};
  int level = g_options.raw.level >= 1 && g_options.raw.level <= 9 ? g_options.raw.level : kDefaultLevel;

  std::string password;
  const zip_uint16_t cipher = g_options.raw.encrypt == kZpEncryptTraditional ? ZIP_EM_TRAD_PKWARE : ZIP_EM_AES_256;
  if (g_options.raw.encrypt) {
    if (g_options.raw.encrypt != kZpEncryptTraditional && g_options.raw.encrypt != kZpEncryptAes256) return kZeParms;
    if (!zip_encryption_method_supported(cipher, 1)) {
      Print("zip error: this zip library cannot encrypt with AES");
      return kZeParms;
    }
    if (int r = AskPassword(zipFile, password)) return r;
    // A password the traditional cipher's code page cannot hold is refused
    // rather than weakened to question marks.
    bool fits = true;
    password = CipherKey(password, cipher != ZIP_EM_TRAD_PKWARE, &fits);
    if (!fits) {
      Print("zip error: the password has characters the traditional encryption cannot take");
      return kZeParms;
    }
  }
  std::vector<PlannedFile> files;
  if (Plan(count, names, files) > 0) return kZeOpen;  // a named file is missing: no partial backup
  KeepLastOfSameName(files);
  if (files.empty()) {
    Print("zip error: Nothing to do! (" + std::string(zipFile) + ")");
    return kZeNone;
  }

  zip_error_t err;
  zip_error_init(&err);
  zip_source_t* archiveSource = fs::ArchiveSource(zipFile, &err);
  zip_t* za = archiveSource ? zip_open_from_source(archiveSource, ZIP_CREATE | ZIP_TRUNCATE, &err) : nullptr;
  if (!za) {
    if (archiveSource) zip_source_free(archiveSource);
    Print(std::string("zip error: could not create ") + zipFile + ": " + zip_error_strerror(&err));
    zip_error_fini(&err);
    return kZeWrite;
  }
  zip_error_fini(&err);

  std::vector<DeflateAhead::Input> inputs;
  for (const PlannedFile& f : files) inputs.push_back({f.path, f.item.size, f.fixedSize});
  DeflateAhead ahead(std::move(inputs), level);
  std::uint64_t total = 0;
  for (const PlannedFile& f : files) total += f.item.size;
  bool cancelled = false;
  std::uint64_t before = 0;
  for (std::size_t k = 0; k < files.size(); before += files[k].item.size, ++k) {
    if (!AddEntry(za, archiveSource, files[k], k, before, total, ahead, password, cipher, &cancelled)) {
      Print(std::string("zip error: ") + zip_strerror(za));
      zip_discard(za);
      return kZeMem;
    }
  }
  if (g_options.raw.comment) {
    // In the ANSI code page, as the script file keeps it and as tools that
    // read comments in the system's code page show it. A libzip that takes
    // UTF-8 comments only (the native build's) gets it in UTF-8; the reader
    // takes both.
    const std::string comment = AskComment();
    if (!comment.empty() &&
        zip_set_archive_comment(za, comment.c_str(), static_cast<zip_uint16_t>(comment.size())) != 0) {
      const std::string utf8 = AnsiToUtf8(comment);
      zip_set_archive_comment(za, utf8.c_str(), static_cast<zip_uint16_t>(utf8.size()));
    }
  }
  if (zip_close(za) != 0) {
    int code = zip_error_code_zip(zip_get_error(za));
    if (!cancelled) Print(std::string("zip error: ") + zip_strerror(za));
    zip_discard(za);
    if (cancelled) return kZeAbort;
    return code == ZIP_ER_OPEN || code == ZIP_ER_READ ? kZeOpen : kZeWrite;
  }
  return kZeOk;
}

}  // namespace ziplib
