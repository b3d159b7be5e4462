// Export and import time of registry export files for branches of 1,000,
// 5,000 and 20,000 keys, against the per-key append export as a peer (each
// key's block added by its own call, which reads the growing file back):
// the one-pass export must stay linear and write the same bytes.
//
//   registry_bench [max keys] [max keys for the peer]   (defaults 20000 and 1000;
//   the peer's time grows with the square of the keys)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/files.h"
#include "platform/registry.h"
#include "registry/RegistryRoutines.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include <filesystem>

#include "platform/emulated/emulation.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A work folder (Windows path, ending in "\") and a key below HKCU of its own.
struct Place {
  std::string folder;
  std::string key;
  std::string host;  // native only
};

Place MakePlace() {
  Place p;
#ifdef _WIN32
  char temp[MAX_PATH + 1];
  ::GetTempPathA(MAX_PATH, temp);
  p.folder = std::string(temp) + "qmbench-" + std::to_string(::GetCurrentProcessId()) + "\\";
  ::CreateDirectoryA(p.folder.c_str(), nullptr);
  p.key = "Software\\QuillmereBench\\" + std::to_string(::GetCurrentProcessId());
#else
  platform::emu::Reset();
  char tmpl[] = "/tmp/qmbench-XXXXXX";
  p.host = ::mkdtemp(tmpl);
  platform::emu::MapDrive('T', p.host);
  p.folder = "T:\\";
  p.key = "Software\\QuillmereBench\\" + std::to_string(::getpid());
#endif
  return p;
}

void RemovePlace(const Place& p) {
  (void)platform::DeleteRegBranch(platform::kRegCurrentUser, p.key);
  platform::RegKey parent;
  std::string name;
  if (platform::OpenRegKey(platform::kRegCurrentUser, "Software\\QuillmereBench",
                           platform::kRegKeyRead, parent) == platform::kRegOk &&
      platform::EnumRegSubkey(parent, 0, name) != platform::kRegOk) {
    parent.Close();
    (void)platform::DeleteRegBranch(platform::kRegCurrentUser, "Software\\QuillmereBench");
  }
#ifdef _WIN32
  ::RemoveDirectoryA(p.folder.c_str());
#else
  std::error_code ec;
  std::filesystem::remove_all(p.host, ec);
#endif
}

// A branch of `keys` keys: groups of 50 (a group key and 49 account keys),
// each account with a text, a number and a byte value.
void BuildBranch(const std::string& base, int keys) {
  platform::RegKey k;
  (void)platform::CreateRegKey(platform::kRegCurrentUser, base, k);
  for (int g = 0; g < keys / 50; ++g) {
    std::string group = base + "\\Group " + std::to_string(g);
    for (int a = 0; a < 49; ++a) {
      std::string account = group + "\\" + std::to_string(10000000 + a);
      if (platform::CreateRegKey(platform::kRegCurrentUser, account, k) != platform::kRegOk) continue;
      std::string name = "Account \"" + std::to_string(a) + "\" C:\\Mail";
      (void)platform::SetRegValue(k, "Account Name", platform::kRegTypeSz, name + '\0');
      (void)platform::SetRegValue(k, "POP3 Port", platform::kRegTypeDword, std::string("\x6e\0\0\0", 4));
      (void)platform::SetRegValue(k, "Password", platform::kRegTypeBinary, "\x01\x02\x03\xF0\xFF");
    }
  }
}

// The peer: every key by its own appending call, depth first.
void AppendPerKey(RegistryRoutines& r, const std::string& key, const std::string& file) {
  r.SaveKey(key, file, kHkeyCurrentUser, false, true);
  for (const std::string& sub : r.EnumRegistryKeys(kHkeyCurrentUser, key))
    AppendPerKey(r, key + "\\" + sub, file);
}

void Measure(const Place& place, int keys, bool withPeer) {
  std::string base = place.key + "\\Branch" + std::to_string(keys);
  std::string target = place.key + "\\Restored" + std::to_string(keys);
  BuildBranch(base, keys);
  std::string file = place.folder + "branch" + std::to_string(keys) + ".bkr";
  std::string peerFile = place.folder + "peer" + std::to_string(keys) + ".bkr";

  RegistryRoutines r;
  r.hKey(kHkeyCurrentUser);
  Clock::time_point t0 = Clock::now();
  r.SaveKey(base, file, kHkeyCurrentUser, true, false);
  double exportMs = MsSince(t0);
  std::string bytes;
  platform::ReadWholeFile(file, bytes);

  std::printf("branch of %d keys, file %zu bytes\n", keys, bytes.size());
  std::printf("  export, one pass            %10.1f ms\n", exportMs);
  if (withPeer) {
    RegistryRoutines peer;
    t0 = Clock::now();
    peer.SaveKey(base, peerFile, kHkeyCurrentUser, false, false);
    for (const std::string& sub : peer.EnumRegistryKeys(kHkeyCurrentUser, base))
      AppendPerKey(peer, base + "\\" + sub, peerFile);
    double peerMs = MsSince(t0);
    std::string peerBytes;
    platform::ReadWholeFile(peerFile, peerBytes);
    std::printf("  export, append per key      %10.1f ms   same bytes: %s\n", peerMs,
                peerBytes == bytes ? "yes" : "NO");
    platform::RemoveFile(peerFile);
  } else {
    std::printf("  export, append per key      (not run above the peer's limit)\n");
  }

  r.KeyRoot(target);
  r.Subkey("");
  r.CreateKey();
  t0 = Clock::now();
  bool ok = r.RestoreKey(target, file, kHkeyCurrentUser);
  double importMs = MsSince(t0);
  std::printf("  import                      %10.1f ms   %s\n", importMs, ok ? "" : "FAILED");
  platform::RemoveFile(file);
  (void)platform::DeleteRegBranch(platform::kRegCurrentUser, base);
  (void)platform::DeleteRegBranch(platform::kRegCurrentUser, target);
}

}  // namespace

int main(int argc, char** argv) {
  int maxKeys = argc > 1 ? std::atoi(argv[1]) : 20000;
  int maxPeerKeys = argc > 2 ? std::atoi(argv[2]) : 1000;
  Place place = MakePlace();
  for (int keys : {1000, 5000, 20000}) {
    if (keys > maxKeys) break;
    Measure(place, keys, keys <= maxPeerKeys);
    std::fflush(stdout);
  }
  RemovePlace(place);
  return 0;
}
