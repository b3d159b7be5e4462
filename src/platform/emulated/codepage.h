#pragma once
// The emulated machine speaks Windows-1252; host file names are UTF-8.
// Every conversion between the two goes through here.
#include <string>

namespace platform::emu {

std::string AnsiToUtf8(const std::string& ansi);
// Characters without a Windows-1252 form become "?".
std::string Utf8ToAnsi(const std::string& utf8);
// The Unicode character of one Windows-1252 byte (undefined bytes map to themselves).
char16_t AnsiCharToUnicode(unsigned char c);

}  // namespace platform::emu
