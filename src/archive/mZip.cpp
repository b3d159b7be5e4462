#include "archive/mZip.h"

#include <algorithm>
#include <cstring>

#include "archive/LibraryBinding.h"
#include "archive/cZip.h"

namespace mZip {

namespace {
cZip* g_current = nullptr;
bool g_cancelled = false;
bool g_passwordGiven = false;

constexpr std::int32_t kErrSubscript = 9;

std::string Trimmed(const std::string& s) {
  std::size_t b = s.find_first_not_of(' '), e = s.find_last_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

// Text handed over with a length: at most `length` bytes, cut at a NUL.
std::string Text(const char* text, unsigned long length) {
  return std::string(text, strnlen(text, length));
}

struct CurrentRun {
  explicit CurrentRun(cZip& owner) { g_current = &owner; }
  ~CurrentRun() { g_current = nullptr; }
};
}  // namespace

bool Cancelled() { return g_cancelled; }
bool PasswordGiven() { return g_passwordGiven; }

int PrintCallback(const char* text, unsigned long length) {
  try {
    if (!g_current || !text || length <= 1 || length >= 1024) return 0;
    std::string msg = Text(text, length);
    std::replace(msg.begin(), msg.end(), '/', '\\');
    if (g_current->Progress) g_current->Progress(1, msg);
  } catch (...) {
  }
  return 0;
}

int ServiceCallback(const char* name, unsigned long length) {
  try {
    if (!g_current || !name || length <= 1 || length >= 1024) return 0;
    bool cancel = false;
    if (g_current->Cancel) g_current->Cancel(Text(name, length), cancel);
    if (cancel) {
      g_cancelled = true;
      return 1;
    }
  } catch (...) {
  }
  return 0;
}

void UnreadableCallback(const char* path, unsigned long length) {
  try {
    if (g_current && path && g_current->Unreadable) g_current->Unreadable(Text(path, length));
  } catch (...) {
  }
}

int BytesCallback(unsigned long long done, unsigned long long total) {
  try {
    bool cancel = false;
    if (g_current && g_current->Bytes) g_current->Bytes(done, total, cancel);
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
    if (g_current && g_current->PasswordRequest) g_current->PasswordRequest(password, size, g_passwordGiven, cancel);
    password = Trimmed(password);
    if (password.empty() || cancel) {
      g_cancelled = true;
      return 1;
    }
    const std::size_t room = std::min<std::size_t>(size > 0 ? static_cast<std::size_t>(size) : 0, kMaxPassword);
    std::memset(buffer, 0, room);
    // At most room - 1 characters: the reader takes as many (255 for the
    // libraries' 256-byte buffers), so the longest password reads back.
    std::memcpy(buffer, password.data(), std::min(password.size(), room > 0 ? room - 1 : 0));
    g_passwordGiven = true;
  } catch (...) {
  }
  return 0;
}

int CommentCallback(char* buffer) {
  buffer[0] = '\0';
  if (g_cancelled) return 1;
  try {
    std::string comment;
    bool cancel = false;
    if (g_current && g_current->CommentRequest) g_current->CommentRequest(comment, cancel);
    comment = Trimmed(comment);
    if (comment.empty() || cancel) {
      g_cancelled = true;
      return 1;
    }
    const std::size_t n = std::min(comment.size(), kMaxComment);
    std::memcpy(buffer, comment.data(), n);
    buffer[n] = '\0';
  } catch (...) {
  }
  return 0;
}

bool Run(cZip& owner, const ZpOptions& options, const std::string& basePath,
         const std::vector<std::string>& specs, std::int32_t& result, RunError& error) {
  g_cancelled = false;
  g_passwordGiven = false;
  CurrentRun current(owner);

  ziplib::ZipEntryPoints lib;
  ziplib::BindError bindError;
  if (!ziplib::BindZipLibrary(lib, bindError)) {
    error = {bindError.number, bindError.description};
    return false;
  }
  const auto named = std::count_if(specs.begin(), specs.end(),
                                   [](const std::string& s) { return !s.empty() && s[0] == kZpFileAs; });
  if (specs.size() - static_cast<std::size_t>(named) > kMaxSpecs) {
    error = {kErrSubscript, "Subscript out of range"};
    return false;
  }
  const ZpCallbacks callbacks{&PrintCallback, &CommentCallback, &PasswordCallback, &ServiceCallback, &BytesCallback,
                                &UnreadableCallback};
  lib.init(&callbacks);
  ZpOptions record = options;
  const std::string root = Trimmed(basePath).empty() ? std::string() : basePath;
  record.rootFolder = root.c_str();
  lib.setOptions(&record);

  std::vector<const char*> names;
  for (const std::string& s : specs) names.push_back(s.c_str());
  names.push_back("");
  result = lib.archive(static_cast<int>(specs.size()), owner.ZipFile().c_str(), names.data());
  return true;
}

}  // namespace mZip
