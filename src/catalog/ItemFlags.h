#pragma once
// The item flags text: six fields "1"/"0" joined by ",", eleven characters,
// saying which kinds of an identity's data take part. Field order is the
// order of ItemFlags::Item. Readers use one of the three readings below and
// never split the text themselves.
#include <array>
#include <string>

namespace ItemFlags {

enum Item : int {
  kMessages = 1,
  kAccounts = 2,
  kAddressBook = 3,
  kRules = 4,
  kBlockedSenders = 5,
  kSignatures = 6,
};
constexpr int kItemCount = 6;

constexpr const char kAll[] = "1,1,1,1,1,1";
constexpr const char kNone[] = "0,0,0,0,0,0";

// The field's numeric value is 1 (how the backup and restore runs read it).
bool IsOne(const std::string& flags, int item);
// The field's numeric value is not 0 (how the selection list shows it).
bool IsNotZero(const std::string& flags, int item);
// The character at position 2 * item - 1 (1, 3, 5, 7, 9, 11) is "1" (how the
// unattended selection reads it).
bool CharacterIsOne(const std::string& flags, int item);

// The eleven-character text; set[0] is kMessages.
std::string Build(const std::array<bool, kItemCount>& set);

}  // namespace ItemFlags
