#pragma once
// The emulated machine speaks Windows-1252; host file names are UTF-8.
// Every conversion between the two goes through here.
#include <cstdint>
#include <string>

namespace platform::emu {

// Appends one Unicode code point (below U+10000) as UTF-8.
void AppendUtf8(std::string& out, std::uint32_t codePoint);

std::string AnsiToUtf8(const std::string& ansi);
// Characters without a Windows-1252 form become "?".
std::string Utf8ToAnsi(const std::string& utf8);
// The Unicode character of one Windows-1252 byte (undefined bytes map to themselves).
char16_t AnsiCharToUnicode(unsigned char c);

}  // namespace platform::emu
