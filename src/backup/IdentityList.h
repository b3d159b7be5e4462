#pragma once
// The identity list of a backup archive ("IdList.lst"): one text record
// (type 8, 16-bit length) per identity taking part, in catalogue order,
// holding the name, 0x01, the Id, 0x01, the item flags, 0x00.
#include <string>

#include "helpers/OneBasedList.h"

struct IdListEntry {
  std::string Name;
  std::string Id;
  std::string Flags;
  friend bool operator==(const IdListEntry& a, const IdListEntry& b) {
    return a.Name == b.Name && a.Id == b.Id && a.Flags == b.Flags;
  }
};

namespace IdentityList {

// The file's bytes; false when a record is too long for its 16-bit length.
[[nodiscard]] bool Build(const OneBasedList<IdListEntry>& entries, std::string& bytes);
// The identities a list holds: records read by their lengths, each text
// split at 0x01 into exactly three fields (other records are skipped). A
// file that does not frame as whole records is read by splitting at every
// 0x00 and then at 0x01, keeping the pieces of exactly three fields.
OneBasedList<IdListEntry> Parse(const std::string& bytes);

// Build + write; false when it cannot be built or written.
[[nodiscard]] bool Write(const std::string& path, const OneBasedList<IdListEntry>& entries);
// False when the file cannot be read.
[[nodiscard]] bool Read(const std::string& path, OneBasedList<IdListEntry>& entries);

}  // namespace IdentityList
