// Runs one whole backup of a store folder through the backup run page,
// headless, for the benchmark. The folder is a host path, reached as drive
// Z: on both builds (Wine maps Z: to "/"); a one-identity profile pointing at
// it is written into the current user's registry for the run and removed
// afterwards.
//   backup_cli [--gaps] [--compatible] STORE_FOLDER ARCHIVE [PASSWORD]
// Prints the run's seconds and its outcome, the bytes the process read and
// wrote (its own I/O counters) and its peak memory; message boxes go to
// stderr. With --gaps also the longest time the message pump stood still
// during the run. --compatible encrypts with the traditional cipher that
// every unzip program reads, in place of AES.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "backup/ucBack4.h"
#include "pump_gaps.h"
#include "catalog/cProcessItem.h"
#include "platform/registry.h"
#include "platform/ui.h"
#include "registry/RegistryRoutines.h"
#include "helpers/RunRecord.h"
#include "../kill_at_record_write.h"

#ifdef _WIN32
#include <psapi.h>

#include "shell/modCheckOE.h"
#else
#include "platform/emulated/emulation.h"
#endif

namespace {

const char kId[] = "{B3C4D5E6-0000-4000-8000-00000000BE4C}";

std::string ProgramPath(const std::string& host) {
  std::string path = "Z:" + host;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

class ConsoleUser : public platform::UserInterface {
 public:
  int ShowMessage(const std::string& text, unsigned, const std::string&, void*) override {
    std::fprintf(stderr, "message: %s\n", text.c_str());
    return platform::kAnswerOk;
  }
  int ShowFileDialog(platform::FileDialogRecord&) override { return 0; }
  int ShowModal(platform::ModalForm&, void*) override { return 0; }
};

// The bytes read and written so far (the process's own I/O counters) and
// the peak memory in KB. Wine keeps no I/O counters (it answers 0); the
// benchmark then reads them from outside, where the Linux process has them.
void PrintCounters() {
  unsigned long long read = 0, written = 0, peakKb = 0;
#ifdef _WIN32
  IO_COUNTERS io{};
  if (::GetProcessIoCounters(::GetCurrentProcess(), &io)) {
    read = io.ReadTransferCount;
    written = io.WriteTransferCount;
  }
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  if (::GetProcessMemoryInfo(::GetCurrentProcess(), &pmc, sizeof pmc)) peakKb = pmc.PeakWorkingSetSize / 1024;
#else
  auto figure = [](const char* file, const char* name) {
    std::FILE* f = std::fopen(file, "r");
    unsigned long long value = 0;
    char line[256];
    while (f && std::fgets(line, sizeof line, f))
      if (std::strncmp(line, name, std::strlen(name)) == 0) value = std::strtoull(line + std::strlen(name), nullptr, 10);
    if (f) std::fclose(f);
    return value;
  };
  read = figure("/proc/self/io", "rchar:");
  written = figure("/proc/self/io", "wchar:");
  peakKb = figure("/proc/self/status", "VmHWM:");
#endif
  std::printf("io_read=%llu io_written=%llu peak_kb=%llu\n", read, written, peakKb);
}

bool SeedProfile(const std::string& store) {
  RegistryRoutines reg;
  reg.hKey(kHkeyCurrentUser);
  reg.KeyRoot("");
  const std::string key = std::string("Identities\\") + kId;
  const std::string mail = key + "\\Software\\Microsoft\\Outlook Express\\5.0";
  if (reg.CreateKey(mail + "\\Rules\\Mail\\000").empty()) return false;
  reg.KeyRoot(key);
  reg.Subkey("");
  bool ok = reg.SetRegistryValue("Username", "Benchmark", kRegSz);
  reg.KeyRoot(mail);
  ok &= reg.SetRegistryValue("Store Root", store, kRegExpandSz);
  reg.KeyRoot(mail + "\\Rules\\Mail\\000");
  ok &= reg.SetRegistryValue("Name", "Move newsletters", kRegSz);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  bool gaps = false, compatible = false;
  for (; argc > 1 && std::string(argv[1]).rfind("--", 0) == 0 && std::string(argv[1]) != "--recover"; --argc, ++argv) {
    gaps |= std::string(argv[1]) == "--gaps";
    compatible |= std::string(argv[1]) == "--compatible";
  }
  if (argc < 3 && !(argc == 2 && std::string(argv[1]) == "--recover")) {
    std::fprintf(stderr, "usage: backup_cli STORE_FOLDER ARCHIVE [PASSWORD] | --recover\n");
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
  if (std::string(argv[1]) == "--recover") {  // what the program does first at start-up
    std::printf("recovered=%d\n", RunRecord::Recover(true));
    return 0;
  }
  bench::KillAtRecordWriteFromEnvironment();
  ConsoleUser user;
  platform::SetUi(&user);
  if (!SeedProfile(ProgramPath(argv[1]))) {
    std::fprintf(stderr, "cannot write the profile\n");
    return 2;
  }
  cProcessItem items;
  OneBasedList<bool> selected;
  for (std::int32_t k = 1; k <= items.IdentitiesID().Count(); ++k) {
    selected.Add(items.IdentitiesID().At(k) == kId);
    items.Detail().At(k) = "1,1,1,1,1,1";
  }
  items.SelectIdentity(selected);

  ucBack4 page;
  page.Catalogue(&items);
  page.TotalItem(1);
  page.ZipFileName(ProgramPath(argv[2]));
  page.Password(argc > 3 ? argv[3] : "");
  page.CompatibleEncryption(compatible);
  page.Comment("benchmark");
  auto start = std::chrono::steady_clock::now();
  bench::PumpGaps meter;
  if (gaps) meter.Start();
  page.StartBackup();
  if (gaps) {
    const double longest = meter.Stop();
    std::printf("longest_pump_gap_ms=%.0f ended_at_s=%.1f pump_turns=%d\n", longest, meter.LongestEndedAt(),
                meter.Turns());
  }
  RunRecord::Remove();  // as the program does when it ends
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  (void)platform::DeleteRegBranch(platform::kRegCurrentUser, std::string("Identities\\") + kId);
  platform::SetUi(nullptr);
  std::printf("seconds=%.3f result=%s\n", seconds, page.Succeeded() ? "completed" : "failed");
  PrintCounters();
  if (!page.Succeeded()) std::printf("shown: %s | %s\n", page.lblFileName.Caption().c_str(), page.lblAdvice.Caption().c_str());
  return page.Succeeded() ? 0 : 1;
}
