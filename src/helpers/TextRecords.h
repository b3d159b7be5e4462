#pragma once
// The record framing the program's own binary files share (the identity
// list of an archive, the identity records of a backup script): a 16-bit
// type code 8 (a text), a 16-bit byte length N, then N bytes of text; all
// little-endian.
#include <cstddef>
#include <cstdint>
#include <string>

#include "helpers/OneBasedList.h"

namespace TextRecords {

constexpr std::uint16_t kTextType = 8;
constexpr std::size_t kMaxText = 0xFFFF;

// Appends one record; false (and nothing appended) when the text is longer
// than a 16-bit length can say.
[[nodiscard]] bool Append(std::string& out, const std::string& text);

// Reads records from `offset` to the very end of `bytes`. False when the
// bytes are not exactly a sequence of whole type-8 records; `texts` is only
// filled on success.
[[nodiscard]] bool Parse(const std::string& bytes, std::size_t offset, TextList& texts);

// Little-endian helpers for fixed headers.
void PutUInt16(std::string& out, std::uint16_t value);
std::uint16_t GetUInt16(const std::string& bytes, std::size_t at);  // caller checks bounds

}  // namespace TextRecords
