// Fuzz target: a registry export file from anywhere, read back below a
// target key of the emulated registry the way the restore reads one. Whatever
// the file says, nothing outside the target key changes (the demo profile
// and a sibling of the target stand for what else the registry holds), and
// the file is taken exactly when its first line is the header.
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/emulated/emulation.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "registry/RegistryRoutines.h"
#include "support/fuzz_support.h"
#include "support/sandbox.h"

using testsupport::Require;

namespace {

constexpr char kParent[] = "Software\\QuillmereFuzz";
constexpr char kTarget[] = "Software\\QuillmereFuzz\\Target";
constexpr std::uint32_t kRoots[] = {kHkeyClassesRoot, kHkeyCurrentUser, kHkeyLocalMachine, kHkeyUsers,
                                    kHkeyCurrentConfig};

bool IsTarget(std::uint32_t root, const std::string& path) {
  return root == kHkeyCurrentUser && path.size() == sizeof kTarget - 1 &&
         std::equal(path.begin(), path.end(), kTarget, [](char a, char b) { return std::tolower(a) == std::tolower(b); });
}

// One line per key and per value, every root, the target's branch left out.
void Dump(std::uint32_t root, const std::string& path, std::string& out) {
  if (IsTarget(root, path)) return;
  platform::RegKey key = platform::RegKey::Root(root);
  if (!path.empty() && platform::OpenRegKey(root, path, platform::kRegKeyRead, key) != platform::kRegOk) {
    out += "unreadable " + path + "\n";
    return;
  }
  out += "[" + std::to_string(root) + "\\" + path + "]\n";
  platform::RegValue v;
  for (std::uint32_t i = 0; platform::EnumRegValue(key, i, v) == platform::kRegOk; ++i)
    out += std::to_string(v.name.size()) + ":" + v.name + "=" + std::to_string(v.type) + ":" +
           std::to_string(v.data.size()) + ":" + v.data + "\n";
  std::string name;
  for (std::uint32_t i = 0; platform::EnumRegSubkey(key, i, name) == platform::kRegOk; ++i)
    Dump(root, path.empty() ? name : path + "\\" + name, out);
}

std::string Dump() {
  std::string out;
  for (std::uint32_t root : kRoots) Dump(root, "", out);
  return out;
}

// The first line of the file, blanks around it cut, is the header.
bool HasHeader(const std::string& bytes) {
  std::string first = bytes.substr(0, bytes.find_first_of("\r\n"));
  std::size_t b = first.find_first_not_of(' ');
  first = b == std::string::npos ? "" : first.substr(b, first.find_last_not_of(' ') - b + 1);
  return first == kRegistryFileHeader;
}

struct Machine {
  testsupport::Sandbox box;
  std::string file = box.Path("in.reg");
  std::string before;  // the registry without the target's branch
  Machine() {
    std::ifstream in(std::string(QM_FIXTURES_DIR) + "/profile/profile.reg", std::ios::binary);
    const std::string profile((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Require(platform::emu::LoadRegText(profile), "the demo profile does not load");
    platform::RegKey key;
    Require(platform::CreateRegKey(kHkeyCurrentUser, std::string(kParent) + "\\Sibling", key) == platform::kRegOk &&
                platform::SetRegValue(key, "Kept", kRegSz, std::string("as it was\0", 10)) == platform::kRegOk,
            "the sibling key cannot be made");
    WriteSeeds();
    before = Dump();
  }
  // Exports of the demo profile, as the backup run writes them.
  void WriteSeeds() const {
    const std::string id = "Identities\\{3F2A8C41-7B1E-4D5A-9C3E-1A2B3C4D5E6F}\\Software\\Microsoft\\";
    const std::pair<const char*, std::string> keys[] = {
        {"rules", id + "Outlook Express\\5.0\\Rules\\Mail"},
        {"blocked", id + "Outlook Express\\5.0\\Block Senders"},
        {"signatures", id + "Outlook Express\\5.0\\Signatures"},
        {"accounts", id + "Internet Account Manager"},
        {"messenger", "Software\\Microsoft\\MessengerService\\ListCache\\.NET Messenger Service"},
    };
    for (const auto& [name, key] : keys) {
      RegistryRoutines reg;
      std::string bytes;
      Require(reg.SaveKey(key, file, kHkeyCurrentUser, true) && platform::ReadWholeFile(file, bytes),
              std::string("no export of ") + key);
      testsupport::WriteSeed(std::string("reg-") + name, bytes);
    }
    // Text with every escape, an empty binary value, a key line that leads elsewhere.
    testsupport::WriteSeed("reg-escapes", std::string(kRegistryFileHeader) +
                                              "\r\n\r\n[HKEY_CURRENT_USER\\<%QuillmereKeyName%>\\A]\r\n"
                                              "@=\"def\"\r\n\"T\"=\"a\\\\b\\\"c\\r\\nd\"\r\n\"B\"=hex:\r\n"
                                              "\"N\"=dword:-5\r\n\r\n[HKEY_CURRENT_USER\\Software\\Other]\r\n"
                                              "\"X\"=\"y\"\r\n");
  }
};

Machine& M() {
  static Machine m;
  return m;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  M();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Machine& m = M();
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  platform::RegKey key;
  Require(platform::CreateRegKey(kHkeyCurrentUser, kTarget, key) == platform::kRegOk, "no target key");
  key.Close();
  m.box.WriteFile("in.reg", bytes);

  RegistryRoutines reg;
  const bool read = reg.RestoreKey(kTarget, m.file, kHkeyCurrentUser);
  Require(read == HasHeader(bytes), read ? "a file without the header was read" : "a file with the header was refused");
  const std::string after = Dump();
  if (after != m.before) {
    std::size_t at = 0;
    while (at < after.size() && at < m.before.size() && after[at] == m.before[at]) ++at;
    const std::size_t line = after.rfind('\n', at) == std::string::npos ? 0 : after.rfind('\n', at) + 1;
    Require(false, "the registry changed outside the target key near: " + after.substr(line, 200));
  }
  Require(platform::DeleteRegBranch(kHkeyCurrentUser, kTarget) == platform::kRegOk, "the target key went");
  return 0;
}
