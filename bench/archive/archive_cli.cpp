// Packs and unpacks through cZip and cUnzip from the command line, for the
// interoperability checks and the benchmark. Paths are host paths ("/tmp/x"),
// reached as drive Z: on both builds (Wine maps Z: to "/").
//   archive_cli pack     FOLDER ARCHIVE [PASSWORD] [COMMENT]   (traditional cipher)
//   archive_cli pack-aes FOLDER ARCHIVE [PASSWORD] [COMMENT]   (AES-256)
//   archive_cli unpack   ARCHIVE FOLDER [PASSWORD]
//   archive_cli list     ARCHIVE
// A password written "hex:" and the hex digits of its UTF-8 bytes reaches
// the program whole whatever the command line's code page.
// Prints the entries counted, the comment, and the peak memory in KB.
#include <cstdio>
#include <cstring>
#include <string>

#include "archive/cUnzip.h"
#include "archive/cZip.h"

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>

#include "shell/modCheckOE.h"
#else
#include <sys/resource.h>

#include "platform/emulated/emulation.h"
#include "archive/textcodes.h"
#endif

namespace {

// Command-line text as the program's ANSI text.
std::string Ansi(const char* text) {
#ifdef _WIN32
  return text;
#else
  return ziplib::Utf8ToAnsi(text);  // the emulated machine speaks Windows-1252
#endif
}

// A password from the command line: UTF-8 natively, the ANSI code page on
// Windows (both taken by the zip libraries).
std::string Password(const char* text) { return text; }

std::string ProgramPath(const char* host) {
  std::string ansi = Ansi(host);
  for (char& c : ansi)
    if (c == '/') c = '\\';
  return "Z:" + ansi;
}

long PeakKb() {
#ifdef _WIN32
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &pmc, sizeof pmc);
  return static_cast<long>(pmc.PeakWorkingSetSize / 1024);
#else
  rusage ru{};
  ::getrusage(RUSAGE_SELF, &ru);
  return ru.ru_maxrss;
#endif
}

int Pack(const std::string& folder, const std::string& archive, const std::string& password,
         const std::string& comment, bool aes) {
  cZip zip;
  zip.ZipFile(archive);
  zip.Encrypt(!password.empty(), !aes);  // traditional: like for like with Info-ZIP "-P"
  zip.AddComment(true);
  zip.BasePath(folder + "\\");
  zip.AddFileSpec("*.*");
  zip.StoreFolderNames(true);
  zip.RecurseSubDirs(true);
  int files = 0;
  zip.PasswordRequest = [&](std::string& p, std::int32_t, bool, bool& cancel) {
    p = password;
    cancel = password.empty();
  };
  zip.CommentRequest = [&](std::string& c, bool&) { c = comment; };
  zip.Progress = [&](std::int32_t, const std::string& m) {
    if (m.find("(deflated") == std::string::npos) ++files;
  };
  zip.Zip();
  std::printf("files=%d result=%d\n", files, static_cast<int>(zip.LastResult()));
  return zip.Success() ? 0 : 1;
}

int Unpack(const std::string& archive, const std::string& folder, const std::string& password, bool listOnly) {
  cUnzip u;
  u.ZipFile(archive);
  u.UseFolderNames(true);
  u.OverwriteExisting(true);
  u.UnzipFolder(folder + "\\");
  u.PasswordRequest = [&](std::string& p, bool&) { p = password; };
  try {
    u.Directory();
    std::printf("entries=%d\ncomment=%s\n", static_cast<int>(u.FileCount()), u.Comment().c_str());
    if (listOnly) {
      for (std::int32_t i = 1; i <= u.FileCount(); ++i)
        std::printf("entry=%s|%s|%d\n", u.FileDirectory(i).c_str(), u.Filename(i).c_str(),
                    u.Entries()[static_cast<std::size_t>(i - 1)].FileEncrypted ? 1 : 0);
      return u.LastResult() == 0 ? 0 : 1;
    }
    bool ok = u.Unzip();
    std::printf("result=%d\n", static_cast<int>(u.LastResult()));
    return ok ? 0 : 1;
  } catch (const UnzipError& e) {
    std::printf("error %d: %s (%s)\n", static_cast<int>(e.Number), e.what(), e.Source.c_str());
    return 2;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: archive_cli pack|pack-aes FOLDER ARCHIVE [PASSWORD] [COMMENT] | unpack ARCHIVE FOLDER [PASSWORD] | list ARCHIVE\n");
    return 2;
  }
#ifdef _WIN32
  if (!modCheckOE::ExtractZipLibraries()) {
    std::fprintf(stderr, "Load runtime library fail \n");
    return 2;
  }
#else
  platform::emu::Reset();
  platform::emu::MapDrive('Z', "/");
  platform::emu::SetTempDirectory("Z:\\tmp\\");
#endif
  const std::string cmd = argv[1];
  int rc = 2;
  auto arg = [&](int i) { return i < argc ? Ansi(argv[i]) : std::string(); };
  // Passwords are UTF-8 to the program (the command line's own text natively).
  auto password = [&](int i) {
    std::string p = i < argc ? argv[i] : "";
    if (p.rfind("hex:", 0) != 0) return i < argc ? Password(argv[i]) : std::string();
    std::string bytes;
    for (std::size_t k = 4; k + 1 < p.size(); k += 2) bytes += static_cast<char>(std::stoi(p.substr(k, 2), nullptr, 16));
    return bytes;
  };
  if ((cmd == "pack" || cmd == "pack-aes") && argc >= 4)
    rc = Pack(ProgramPath(argv[2]), ProgramPath(argv[3]), password(4), arg(5), cmd == "pack-aes");
  else if (cmd == "unpack" && argc >= 4) rc = Unpack(ProgramPath(argv[2]), ProgramPath(argv[3]), password(4), false);
  else if (cmd == "list") rc = Unpack(ProgramPath(argv[2]), "Z:\\tmp", "", true);
  std::printf("peak_kb=%ld\n", PeakKb());
  return rc;
}
