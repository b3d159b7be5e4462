#pragma once
// Every text conversion of the zip libraries: the program speaks the ANSI
// code page, libzip and the UTF-8 flag of the zip format speak UTF-8, and
// names without that flag are in the OEM code page.
#include <string>

namespace ziplib {

std::string AnsiToUtf8(const std::string& ansi);
// Characters the ANSI code page lacks become "?".
std::string Utf8ToAnsi(const std::string& utf8);
std::string OemTextToAnsi(const std::string& oem);
// True for well-formed UTF-8 (pure ASCII included).
bool IsUtf8(const std::string& text);
bool IsAscii(const std::string& text);

}  // namespace ziplib
