// The conversions through the system's own code pages.
#include <windows.h>

#include "archive/textcodes.h"

namespace ziplib {

namespace {
std::wstring ToWide(const std::string& text, UINT codePage) {
  if (text.empty()) return std::wstring();
  int n = ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0)
    ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
  return wide;
}

std::string FromWide(const std::wstring& wide, UINT codePage) {
  if (wide.empty()) return std::string();
  const char* fallback = codePage == CP_UTF8 ? nullptr : "?";
  int n = ::WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                fallback, nullptr);
  std::string text(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0)
    ::WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), &text[0], n,
                          fallback, nullptr);
  return text;
}
}  // namespace

std::string AnsiToUtf8(const std::string& ansi) {
  return IsAscii(ansi) ? ansi : FromWide(ToWide(ansi, CP_ACP), CP_UTF8);
}
std::string Utf8ToAnsi(const std::string& utf8) {
  return IsAscii(utf8) ? utf8 : FromWide(ToWide(utf8, CP_UTF8), CP_ACP);
}
std::string OemTextToAnsi(const std::string& oem) {
  return IsAscii(oem) ? oem : FromWide(ToWide(oem, CP_OEMCP), CP_ACP);
}

}  // namespace ziplib
