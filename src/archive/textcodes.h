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

// The bytes a password keys a cipher with. It comes in UTF-8, or, from
// older callers, in the ANSI code page. AES takes UTF-8, as other zip
// programs key it; the traditional cipher the ANSI code page, as the zip
// programs of Windows key it. `fits` is false when the traditional cipher
// is asked for a password the code page cannot hold: the key is then its
// UTF-8 bytes, the only form such a password can have been keyed with.
std::string CipherKey(const std::string& password, bool aes, bool* fits = nullptr);

}  // namespace ziplib
