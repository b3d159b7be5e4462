// The unzip library: Wiz_SingleEntryUnzip over libzip. Lists an archive or
// extracts its entries below one folder, never outside it; an entry that
// fails leaves no file behind and an earlier file of its name untouched.
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "archive/EntryNames.h"
#include "archive/textcodes.h"
#include "archive/ziplib.h"
#include "archive/zipfs.h"

namespace ziplib {

namespace {
constexpr std::size_t kChunk = 256 * 1024;
constexpr int kPasswordTries = 3;
constexpr std::size_t kPasswordSize = 256;

struct Run {
  zip_t* za = nullptr;
  const UzOptions* options = nullptr;
  UzCallbacks* cb = nullptr;
  std::string folder;  // ends in "\"
  std::string password;
  bool havePassword = false;
  bool passwordRefused = false;
  int replaceMode = 0;  // 0 ask, kUzReplaceAll, kUzReplaceNone
  int refused = 0, damaged = 0, badPassword = 0, extracted = 0;
  bool aborted = false;
  std::vector<char> buffer;
};

void Print(const Run& run, const std::string& text) {
  if (run.cb->print) run.cb->print(text.c_str(), static_cast<unsigned long>(text.size()));
}

std::string WithBackslashes(std::string s) {
  for (char& c : s)
    if (c == '/') c = '\\';
  return s;
}

void ReportComment(Run& run) {
  run.cb->commentLength = 0;
  int len = 0;
  const char* raw = zip_get_archive_comment(run.za, &len, ZIP_FL_ENC_RAW);
  std::string comment = raw && len > 0 ? std::string(raw, static_cast<std::size_t>(len)) : std::string();
  if (!IsAscii(comment) && IsUtf8(comment)) comment = Utf8ToAnsi(comment);
  if (!run.cb->commentBuffer || run.cb->commentBufferSize == 0) return;
  std::size_t n = comment.size() < run.cb->commentBufferSize - 1 ? comment.size() : run.cb->commentBufferSize - 1;
  std::memcpy(run.cb->commentBuffer, comment.data(), n);
  run.cb->commentBuffer[n] = '\0';
  run.cb->commentLength = static_cast<unsigned long>(n);
}

void List(Run& run, zip_uint64_t i, const std::string& name) {
  zip_stat_t st;
  if (!run.cb->listing || zip_stat_index(run.za, i, 0, &st) != 0) return;
  std::tm when{};
  std::time_t t = st.mtime;
#ifdef _WIN32
  if (std::tm* p = std::localtime(&t)) when = *p;
#else
  localtime_r(&t, &when);
#endif
  UzListEntry e{};
  e.size = st.size;
  e.compressed = st.comp_size;
  e.factor = st.size == 0 || st.comp_size >= st.size ? 0 : static_cast<int>(100 - st.comp_size * 100 / st.size);
  e.month = when.tm_mon + 1;
  e.day = when.tm_mday;
  e.year = when.tm_year + 1900;
  e.hour = when.tm_hour;
  e.minute = when.tm_min;
  e.name = name.c_str();
  std::string method = MethodName(st.comp_method, 0);
  e.method = method.c_str();
  e.crc = st.crc;
  e.encrypted = st.encryption_method != ZIP_EM_NONE ? 'E' : ' ';
  run.cb->listing(&e);
}

// Opens entry i, asking for the password as often as needed (a few times at most).
zip_file_t* OpenEntry(Run& run, zip_uint64_t i, const std::string& name, bool encrypted) {
  if (!encrypted) return zip_fopen_index(run.za, i, 0);
  for (int asked = 0;;) {
    if (run.havePassword) {
      if (zip_file_t* zf = zip_fopen_index_encrypted(run.za, i, 0, run.password.c_str())) return zf;
      if (zip_error_code_zip(zip_get_error(run.za)) != ZIP_ER_WRONGPASSWD) return nullptr;
      zip_error_clear(run.za);
    }
    if (run.passwordRefused || asked++ >= kPasswordTries || !run.cb->password) {
      ++run.badPassword;
      return nullptr;
    }
    char buffer[kPasswordSize + 1] = {};
    if (run.cb->password(buffer, kPasswordSize, "Enter password: ", name.c_str()) != 0) {
      run.passwordRefused = true;
      ++run.badPassword;
      return nullptr;
    }
    run.password.assign(buffer, strnlen(buffer, kPasswordSize));
    run.havePassword = true;
  }
}

// Makes every missing folder of `relative` ("\\" between folders; the part
// after the last "\\" is a file name) below `base`, which ends in "\\".
void MakeFolders(const std::string& base, const std::string& relative) {
  std::string path = base;
  std::size_t start = 0, end;
  while ((end = relative.find('\\', start)) != std::string::npos) {
    path += relative.substr(start, end - start + 1);
    fs::Item it;
    if (!fs::Stat(path.substr(0, path.size() - 1), it)) fs::MakeFolder(path.substr(0, path.size() - 1));
    start = end + 1;
  }
}

// The extraction folder itself, every missing level of it.
void MakeExtractionFolder(const std::string& folder) {
  std::size_t root = folder.size() > 2 && folder[1] == ':' ? 3 : folder.rfind("\\\\", 0) == 0 ? folder.find('\\', folder.find('\\', 2) + 1) + 1 : 0;
  if (root == 0 || root > folder.size()) return;
  MakeFolders(folder.substr(0, root), folder.substr(root));
}

// Decides about an existing file: true to replace it.
bool MayReplace(Run& run, const std::string& target) {
  fs::Item it;
  if (!fs::Stat(target, it)) return true;
  if (it.folder) return false;
  if (run.options->overwriteAll || run.replaceMode == kUzReplaceAll) return true;
  if (run.replaceMode == kUzReplaceNone || !run.cb->replace) return false;
  std::string name = target;
  int answer = run.cb->replace(&name[0]);
  if (answer == kUzReplaceAll || answer == kUzReplaceNone) run.replaceMode = answer;
  return answer == kUzReplaceYes || answer == kUzReplaceAll;
}

// Streams the entry into a temporary file beside the target and moves it
// into place only when the whole entry has been read and its CRC checked.
bool Inflate(Run& run, zip_file_t* zf, const std::string& target, std::time_t mtime) {
  const std::string part = target + ".qm~part";
  fs::Stream out;
  if (!out.Create(part)) return false;
  bool ok = true;
  for (;;) {
    zip_int64_t n = zip_fread(zf, run.buffer.data(), run.buffer.size());
    if (n < 0) ok = false;
    if (n <= 0) break;
    if (!out.Write(run.buffer.data(), static_cast<std::size_t>(n))) {
      ok = false;
      break;
    }
  }
  ok = out.Close() && ok;
  if (ok) fs::SetModified(part, mtime);
  if (ok && fs::MoveOnto(part, target)) return true;
  fs::RemoveFile(part);
  return false;
}

void Extract(Run& run, zip_uint64_t i, const std::string& name) {
  const bool isFolder = !name.empty() && (name.back() == '/' || name.back() == '\\');
  if (!IsSafeEntryName(name)) {
    Print(run, "warning: skipped \"" + name + "\": the name points outside the extraction folder");
    ++run.refused;
    return;
  }
  std::string relative = WithBackslashes(name);
  if (!run.options->restorePaths) relative = relative.substr(relative.find_last_of('\\') + 1);
  if (isFolder) {
    if (run.options->restorePaths) MakeFolders(run.folder, relative + "\\");
    return;
  }
  zip_stat_t st;
  if (zip_stat_index(run.za, i, 0, &st) != 0) {
    ++run.damaged;
    return;
  }
  const std::string target = run.folder + relative;
  if (run.cb->service && run.cb->service(target.c_str(), static_cast<unsigned long>(target.size())) != 0) {
    run.aborted = true;
    return;
  }
  MakeFolders(run.folder, relative);
  if (!MayReplace(run, target)) return;
  const int refusedBefore = run.badPassword;
  zip_file_t* zf = OpenEntry(run, i, name, st.encryption_method != ZIP_EM_NONE);
  if (!zf) {
    const bool password = run.badPassword > refusedBefore;
    Print(run, "   skipping: " + name + "  " + (password ? "incorrect password" : zip_strerror(run.za)));
    if (!password) ++run.damaged;
    return;
  }
  Print(run, (st.comp_method == ZIP_CM_STORE ? " extracting: " : "  inflating: ") + target);
  bool ok = Inflate(run, zf, target, st.mtime);
  bool wrongPassword = !ok && zip_error_code_zip(zip_file_get_error(zf)) == ZIP_ER_WRONGPASSWD;
  zip_fclose(zf);
  if (ok) {
    ++run.extracted;
  } else {
    Print(run, "  error: " + name + " is damaged or could not be written; nothing was kept");
    ++(wrongPassword ? run.badPassword : run.damaged);
  }
}

bool Matches(const std::string& name, int count, const char* const* specs, std::vector<bool>* used) {
  bool hit = false;
  for (int k = 0; k < count && specs[k] && specs[k][0]; ++k) {
    if (MatchesSpec(specs[k], name)) {
      hit = true;
      if (used) (*used)[static_cast<std::size_t>(k)] = true;
    }
  }
  return hit;
}

int Result(const Run& run, int includeCount, const std::vector<bool>& used, bool listing) {
  if (run.aborted) return kUzAbort;
  if (run.damaged) return kUzErr;
  if (run.badPassword) return kUzBadPassword;
  if (run.refused) return kUzWarn;
  if (!listing && includeCount > 0 && run.extracted == 0) {
    for (bool u : used)
      if (u) return kUzOk;
    return kUzNoMatch;
  }
  return kUzOk;
}
}  // namespace

int Wiz_SingleEntryUnzip(int includeCount, const char* const* includes, int excludeCount,
                         const char* const* excludes, const UzOptions* options, UzCallbacks* callbacks) {
  if (!options || !callbacks || !options->zipFile || !options->zipFile[0]) return kUzParam;
  if (includeCount < 0 || (includeCount > 0 && !includes)) return kUzParam;
  if (excludeCount < 0 || (excludeCount > 0 && !excludes)) return kUzParam;
  fs::BeginRun();
  Run run;
  run.options = options;
  run.cb = callbacks;
  callbacks->commentLength = 0;

  zip_error_t err;
  zip_error_init(&err);
  zip_source_t* src = fs::BufferedArchiveSource(options->zipFile, &err);
  run.za = src ? zip_open_from_source(src, ZIP_RDONLY, &err) : nullptr;
  if (!run.za) {
    if (src) zip_source_free(src);
    Print(run, std::string("cannot find or open ") + options->zipFile + ": " + zip_error_strerror(&err));
    zip_error_fini(&err);
    return kUzNoZip;
  }
  zip_error_fini(&err);
  ReportComment(run);

  const bool listing = options->verboseListing != 0;
  if (!listing) {
    run.folder = options->extractFolder ? options->extractFolder : "";
    if (!run.folder.empty() && run.folder.back() != '\\' && run.folder.back() != '/') run.folder += '\\';
    run.buffer.resize(kChunk);
    MakeExtractionFolder(run.folder);
  }
  std::vector<bool> used(static_cast<std::size_t>(includeCount), false);
  zip_int64_t entries = zip_get_num_entries(run.za, 0);
  for (zip_uint64_t i = 0; i < static_cast<zip_uint64_t>(entries) && !run.aborted; ++i) {
    std::string name = EntryNameAnsi(run.za, i);
    if (includeCount > 0 && !Matches(name, includeCount, includes, &used)) continue;
    if (excludeCount > 0 && Matches(name, excludeCount, excludes, nullptr)) continue;
    if (listing) List(run, i, name);
    else Extract(run, i, name);
  }
  for (int k = 0; k < includeCount; ++k)
    if (!used[static_cast<std::size_t>(k)] && includes[k] && includes[k][0])
      Print(run, std::string("caution: filename not matched:  ") + includes[k]);
  zip_discard(run.za);
  return Result(run, includeCount, used, listing);
}

}  // namespace ziplib
