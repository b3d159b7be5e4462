#include "helpers/TextRecords.h"

namespace TextRecords {

void PutUInt16(std::string& out, std::uint16_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8);
}

std::uint16_t GetUInt16(const std::string& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                    (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

bool Append(std::string& out, const std::string& text) {
  if (text.size() > kMaxText) return false;
  PutUInt16(out, kTextType);
  PutUInt16(out, static_cast<std::uint16_t>(text.size()));
  out += text;
  return true;
}

bool Parse(const std::string& bytes, std::size_t offset, TextList& texts) {
  TextList found;
  if (offset > bytes.size()) return false;
  std::size_t at = offset;
  while (at < bytes.size()) {
    if (bytes.size() - at < 4 || GetUInt16(bytes, at) != kTextType) return false;
    std::size_t length = GetUInt16(bytes, at + 2);
    at += 4;
    if (bytes.size() - at < length) return false;
    found.Add(bytes.substr(at, length));
    at += length;
  }
  texts = std::move(found);
  return true;
}

}  // namespace TextRecords
