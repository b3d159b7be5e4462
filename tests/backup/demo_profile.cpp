#include "demo_profile.h"

#include <cstdio>
#include <vector>

#include "platform/files.h"
#include "support/registry_keys.h"
#ifndef _WIN32
#include "platform/emulated/emulation.h"
#endif

namespace backuptest {

namespace {

const char kIdentitiesFolder[] = "Documents and Settings\\demo\\Local Settings\\Application Data\\Identities\\";
const char kStoreBelowId[] = "\\Microsoft\\Outlook Express";

bool CopyTree(const std::string& from, const std::string& to) {
  platform::CreateFolder(to);
  std::vector<platform::DirEntry> entries;
  if (!platform::ListFolder(from + "*.*", entries)) return false;
  bool ok = true;
  for (const auto& e : entries) {
    if (e.name == "." || e.name == "..") continue;
    if (e.attributes & platform::kAttrDirectory) ok &= CopyTree(from + e.name + "\\", to + e.name + "\\");
    // A name this code page cannot hold (the fixture's Western names on a
    // Japanese system) is listed as one that names nothing: left out.
    else if (platform::GetAttributes(from + e.name) != platform::kInvalidAttributes)
      ok &= platform::CopyOneFile(from + e.name, to + e.name, false);
  }
  return ok;
}

std::string Escaped(const std::string& path) {
  std::string out;
  for (char c : path) {
    out += c;
    if (c == '\\') out += '\\';
  }
  return out;
}

std::string HexOf(const std::string& text) {
  std::string out;
  char hex[4];
  for (unsigned char c : text + std::string(1, '\0')) {
    std::snprintf(hex, sizeof hex, "%02x", c);
    out += (out.empty() ? "" : ",") + std::string(hex);
  }
  return out;
}

// The fixture's own folder of the demo drive, as a program path.
std::string FixtureDrive() {
#ifdef _WIN32
  std::string path = "Z:" + std::string(QM_FIXTURES_DIR) + "/profile/drive_c/";
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
#else
  platform::emu::MapDrive('F', std::string(QM_FIXTURES_DIR) + "/profile/drive_c");
  return "F:\\";
#endif
}

// The registry text, seeded: paths into the copy.
std::string RegText(const std::string& drive) {
  std::string text = testsupport::ReadFixture("profile/profile.reg");
  // Paths of signature and address-book files.
  const std::string from = "C:\\\\Documents and Settings", to = Escaped(drive) + "Documents and Settings";
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
  // Store folders: an expandable text pointing into the copy.
  for (const char* id : {kMainId, kAnnaId}) {
    const std::string key = std::string("[HKEY_CURRENT_USER\\Identities\\") + id +
                            "\\Software\\Microsoft\\Outlook Express\\5.0]\r\n";
    std::size_t at = text.find(key);
    if (at == std::string::npos) at = text.find(key.substr(0, key.size() - 2) + "\n");
    std::size_t line = text.find("\"Store Root\"=hex(2):", at);
    std::size_t end = text.find_first_of("\r\n", line);
    text.replace(line, end - line,
                 "\"Store Root\"=hex(2):" + HexOf(drive + kIdentitiesFolder + id + kStoreBelowId));
  }
  return text;
}

}  // namespace

DemoProfile::DemoProfile() {
  copied_ = CopyTree(FixtureDrive(), Drive());
  profile_ = std::make_unique<testsupport::SeededProfile>(box_, RegText(Drive()));
}

std::string DemoProfile::StoreFolder(const std::string& id) const {
  return Drive() + kIdentitiesFolder + id + kStoreBelowId + "\\";
}

std::string DemoProfile::SignatureFile(const std::string& name) const {
  return Drive() + "Documents and Settings\\demo\\My Documents\\Signatures\\" + name;
}

std::string DemoProfile::AddressBook() const {
  return Drive() + "Documents and Settings\\demo\\Application Data\\Microsoft\\Address Book\\demo.wab";
}

std::string Mailbox(std::size_t size, bool random, std::uint32_t seed) {
  static const char* const words[] = {"Subject:", "meeting", "invoice", "Re:", "tomorrow", "thanks", "the",
                                      "report", "attached", "please", "from", "Anna", "regards", "\r\n"};
  std::string text;
  text.reserve(size + 32);
  std::uint32_t x = seed;
  while (text.size() < size) {
    x = x * 1103515245u + 12345u;
    if (random) {
      text += static_cast<char>(x >> 24);
      continue;
    }
    text += words[(x >> 16) % 14];
    text += (x & 0x100) ? " " : std::to_string(x % 1000) + " ";
  }
  text.resize(size);
  return text;
}

bool AddLargeStoreFiles(const std::string& folder, const std::vector<std::size_t>& sizes) {
  bool ok = true;
  for (std::size_t k = 0; k < sizes.size(); ++k)
    ok &= platform::WriteWholeFile(folder + "Large" + std::to_string(k) + ".dbx",
                                   Mailbox(sizes[k], k % 4 == 3, static_cast<std::uint32_t>(k + 1)));
  return ok;
}

}  // namespace backuptest
