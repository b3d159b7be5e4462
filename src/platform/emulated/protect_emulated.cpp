// Data sealed for the current user on the emulated machine.
#include <cstdint>
#include <utility>

#include "platform/emulated/state.h"
#include "platform/system.h"

namespace platform {

using emu::state;

// The system's data protection, played without secrecy: the bytes masked
// with a stream drawn from the user's name and followed by a check over the
// name and the bytes, behind a fixed tag. Data sealed for one user does not
// unseal for another, and any damage shows in the check.
namespace {
constexpr char kSealTag[] = "emu-seal";
constexpr std::size_t kTagSize = sizeof kSealTag - 1, kCheckSize = 8;

std::uint64_t Fnv(const std::string& bytes, std::uint64_t hash = 14695981039346656037ull) {
  for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
  return hash;
}

// The bytes masked (or unmasked) for `user`, whose name is compared without case.
std::string Masked(std::string bytes, const std::string& user) {
  std::uint64_t stream = Fnv(emu::Lower(user));
  for (char& c : bytes) {
    stream = stream * 6364136223846793005ull + 1442695040888963407ull;
    c = static_cast<char>(static_cast<unsigned char>(c) ^ (stream >> 56));
  }
  return bytes;
}

std::string Check(const std::string& user, const std::string& plain) {
  std::uint64_t hash = Fnv(plain, Fnv(emu::Lower(user) + '\0'));
  std::string out;
  for (std::size_t i = 0; i < kCheckSize; ++i) out += static_cast<char>((hash >> (8 * i)) & 0xFF);
  return out;
}
}  // namespace

bool ProtectForUser(const std::string& plain, std::string& sealed) {
  const std::string& user = state().currentUser;
  if (user.empty()) return false;
  sealed = std::string(kSealTag, kTagSize) + Masked(plain, user) + Check(user, plain);
  return true;
}

bool UnprotectForUser(const std::string& sealed, std::string& plain) {
  const std::string& user = state().currentUser;
  if (user.empty() || sealed.size() < kTagSize + kCheckSize || sealed.compare(0, kTagSize, kSealTag) != 0)
    return false;
  std::string bytes = Masked(sealed.substr(kTagSize, sealed.size() - kTagSize - kCheckSize), user);
  if (Check(user, bytes) != sealed.substr(sealed.size() - kCheckSize)) return false;
  plain = std::move(bytes);
  return true;
}

}  // namespace platform
