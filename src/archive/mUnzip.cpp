#include "archive/mUnzip.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "archive/LibraryBinding.h"
#include "archive/cUnzip.h"
#include "platform/paths.h"

// Lets the callbacks append to the entry list of the running object.
struct UnzipRunAccess {
  static std::vector<UnzipEntry>& Entries(cUnzip& u) { return u.entries_; }
};

namespace mUnzip {

namespace {
cUnzip* g_current = nullptr;
bool g_cancelled = false;

constexpr std::int32_t kErrSubscript = 9;
constexpr std::size_t kCommentRoom = 65536;

std::string Trimmed(const std::string& s) {
  std::size_t b = s.find_first_not_of(' '), e = s.find_last_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

std::string Slashed(std::string s) {
  std::replace(s.begin(), s.end(), '/', '\\');
  return s;
}

struct CurrentRun {
  explicit CurrentRun(cUnzip& owner) { g_current = &owner; }
  ~CurrentRun() { g_current = nullptr; }
};

[[noreturn]] void Raise(std::int32_t number, const std::string& description) {
  throw UnzipError(number, description, platform::ProgramFileName() + ".VBUnzip");
}
}  // namespace

bool Cancelled() { return g_cancelled; }

int PrintCallback(const char* text, unsigned long length) {
  try {
    if (!g_current || !text || length <= 1 || length >= 1024) return 0;
    if (g_current->Progress) g_current->Progress(1, Slashed(std::string(text, strnlen(text, length))));
  } catch (...) {
  }
  return 0;
}

int ReplaceCallback(const char* name) {
  std::int32_t response = kUzReplaceNo;
  try {
    if (g_current && g_current->OverwritePrompt && name) g_current->OverwritePrompt(Slashed(name), response);
  } catch (...) {
  }
  return response;
}

int TickCallback(unsigned long long bytesRead) {
  try {
    bool cancel = false;
    if (g_current && g_current->Tick) g_current->Tick(bytesRead, cancel);
    if (cancel) {
      g_cancelled = true;
      return 1;
    }
  } catch (...) {
  }
  return 0;
}

int PasswordCallback(char* buffer, int size, const char* prompt, const char* name) {
  if (g_cancelled) return 1;
  try {
    std::string password;
    bool cancel = false;
    if (g_current && g_current->PasswordRequest) g_current->PasswordRequest(password, cancel);
    password = Trimmed(password);
    if (password.empty() || cancel || size <= 0) {
      g_cancelled = true;
      return 1;
    }
    const std::size_t room = std::min<std::size_t>(static_cast<std::size_t>(size), kMaxPassword);
    const std::size_t n = std::min(password.size(), room - 1);
    std::memcpy(buffer, password.data(), n);
    buffer[n] = '\0';
  } catch (...) {
  }
  return 0;
}

void ListingCallback(const UzListEntry* entry) {
  try {
    if (!g_current || !entry || !entry->name) return;
    std::string name = Slashed(entry->name);
    std::size_t cut = name.find_last_of('\\');
    UnzipEntry e;
    e.Filename = cut == std::string::npos ? name : name.substr(cut + 1);
    e.FileDirectory = cut == std::string::npos ? std::string() : name.substr(0, cut);
    if (e.Filename.empty()) return;  // a folder entry
    e.FileSelected = true;
    e.FileEncrypted = entry->encrypted == 'E' || entry->encrypted == 'A';
    e.FileAes = entry->encrypted == 'A';
    e.Size = entry->size;
    e.CompressedSize = entry->compressed;
    e.Factor = entry->factor;
    e.Crc = entry->crc;
    e.Method = entry->method ? entry->method : "";
    e.Date.tm_year = entry->year - 1900;
    e.Date.tm_mon = entry->month - 1;
    e.Date.tm_mday = entry->day;
    e.Date.tm_hour = entry->hour;
    e.Date.tm_min = entry->minute;
    UnzipRunAccess::Entries(*g_current).push_back(std::move(e));
  } catch (...) {
  }
}

int ServiceCallback(const char* name, unsigned long length) {
  try {
    if (!g_current || !name || length <= 1 || length >= 1024) return 0;
    bool cancel = false;
    if (g_current->Cancel) g_current->Cancel(std::string(name, strnlen(name, length)), cancel);
    if (cancel) {
      g_cancelled = true;
      return 1;
    }
  } catch (...) {
  }
  return 0;
}

RunResult Run(cUnzip& owner, const UzOptions& options, const std::vector<std::string>& includes) {
  CurrentRun current(owner);
  g_cancelled = false;
  ziplib::UnzipEntryPoints lib;
  ziplib::BindError bindError;
  if (!ziplib::BindUnzipLibrary(lib, bindError)) Raise(bindError.number, bindError.description);
  // Any number of names: a backup holds as many files as the user's store
  // has folders. The library counts them in an int.
  if (includes.size() >= static_cast<std::size_t>(std::numeric_limits<int>::max()))
    Raise(kErrSubscript, "Subscript out of range");

  std::vector<const char*> names;
  for (const std::string& s : includes) names.push_back(s.c_str());
  names.push_back("");
  const char* noExcludes[] = {""};
  std::vector<char> comment(kCommentRoom, '\0');
  UzCallbacks callbacks{&PrintCallback, nullptr, &ReplaceCallback, &PasswordCallback, &ListingCallback,
                        &ServiceCallback, comment.data(), static_cast<unsigned long>(comment.size()), 0,
                        &TickCallback};
  RunResult r;
  r.result = lib.unzip(static_cast<int>(includes.size()), names.data(), 0, noExcludes, &options, &callbacks);
  if (callbacks.commentLength > 0) r.comment.assign(comment.data(), callbacks.commentLength);
  return r;
}

}  // namespace mUnzip
