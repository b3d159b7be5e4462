#include "backup/ArchiveLayout.h"

namespace ArchiveLayout {

namespace {

std::string Replace(std::string text, char from, char to) {
  for (char& c : text)
    if (c == from) c = to;
  return text;
}

}  // namespace

std::string LastPart(const std::string& path) {
  std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string AddressBookEntry(const std::string& addressBookPath) { return LastPart(addressBookPath); }

std::string IdentityEntry(const std::string& id, const std::string& file) { return id + "/" + file; }

std::string SignatureEntry(const std::string& id, const std::string& subkey,
                           const std::string& signatureFilePath) {
  return id + "/" + subkey + "/" + LastPart(signatureFilePath);
}

std::string WorkPath(const std::string& workFolder, const std::string& entry) {
  return workFolder + Replace(entry, '/', '\\');
}

std::string EntryFromWorkPath(const std::string& workFolder, const std::string& path) {
  std::string rest = path.compare(0, workFolder.size(), workFolder) == 0 ? path.substr(workFolder.size()) : path;
  return Replace(rest, '\\', '/');
}

std::string IdentityFolder(const std::string& workFolder, const std::string& id) {
  return workFolder + id + "\\";
}

}  // namespace ArchiveLayout
