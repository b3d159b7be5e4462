#include "archive/EntryNames.h"

#include <zlib.h>

#include <cctype>
#include <cstring>

#include "archive/textcodes.h"

namespace ziplib {

namespace {
constexpr zip_uint16_t kUnicodePathField = 0x7075;

// Letter case as Windows ignores it in file names.
char FoldLetter(char ch) {
  auto c = static_cast<unsigned char>(ch);
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) c = static_cast<unsigned char>(c + 0x20);
  else if (c == 0x8A || c == 0x8C || c == 0x8E) c = static_cast<unsigned char>(c + 0x10);
  else if (c == 0x9F) c = 0xFF;
  return static_cast<char>(c);
}

// For matching names against specs: "\" and "/" are the same too.
char Fold(char c) { return c == '\\' ? '/' : FoldLetter(c); }

bool IsDeviceName(std::string part) {
  std::size_t dot = part.find('.');
  if (dot != std::string::npos) part.erase(dot);
  while (!part.empty() && part.back() == ' ') part.pop_back();
  for (char& c : part) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CLOCK$", "CONIN$", "CONOUT$"};
  for (const char* d : kDevices)
    if (part == d) return true;
  // COM1..9 and LPT1..9, and the superscript digits Windows takes as ports
  // too ("\xB9", "\xB2", "\xB3" in the ANSI code page).
  const unsigned char digit = part.size() == 4 ? static_cast<unsigned char>(part[3]) : 0;
  return part.size() == 4 && (part.compare(0, 3, "COM") == 0 || part.compare(0, 3, "LPT") == 0) &&
         ((digit >= '0' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3);
}

// Info-ZIP's Unicode path field, when present and made for this raw name.
bool UnicodePathField(zip_t* archive, zip_uint64_t index, const char* raw, std::string& utf8) {
  zip_uint16_t len = 0;
  const zip_uint8_t* data =
      zip_file_extra_field_get_by_id(archive, index, kUnicodePathField, 0, &len, ZIP_FL_CENTRAL);
  if (!data || len < 6 || data[0] != 1) return false;
  uLong want = static_cast<uLong>(data[1]) | (static_cast<uLong>(data[2]) << 8) |
               (static_cast<uLong>(data[3]) << 16) | (static_cast<uLong>(data[4]) << 24);
  uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(raw), static_cast<uInt>(std::strlen(raw)));
  if (crc != want) return false;
  utf8.assign(reinterpret_cast<const char*>(data + 5), len - 5);
  return IsUtf8(utf8);
}
}  // namespace

std::string EntryNameAnsi(zip_t* archive, zip_uint64_t index) {
  const char* raw = zip_get_name(archive, index, ZIP_FL_ENC_RAW);
  if (!raw) return std::string();
  std::string rawName(raw);
  if (IsAscii(rawName)) return rawName;
  // Asked to follow the format strictly, libzip hands back the raw name
  // unchanged exactly when the UTF-8 flag is set (it converts from CP437 otherwise).
  const char* strict = zip_get_name(archive, index, ZIP_FL_ENC_STRICT);
  if (strict && rawName == strict) return Utf8ToAnsi(rawName);
  std::string utf8;
  if (UnicodePathField(archive, index, raw, utf8)) return Utf8ToAnsi(utf8);
  // Without the flag, names made on DOS and Windows file systems are OEM
  // text; elsewhere (Info-ZIP on Unix) they are the maker's text, UTF-8 today.
  zip_uint8_t opsys = ZIP_OPSYS_DOS;
  zip_uint32_t attributes = 0;
  zip_file_get_external_attributes(archive, index, 0, &opsys, &attributes);
  const bool madeOnWindows = opsys == ZIP_OPSYS_DOS || opsys == ZIP_OPSYS_OS_2 ||
                             opsys == ZIP_OPSYS_WINDOWS_NTFS || opsys == ZIP_OPSYS_VFAT;
  if (!madeOnWindows && IsUtf8(rawName)) return Utf8ToAnsi(rawName);
  return OemTextToAnsi(rawName);
}

bool IsSafeEntryName(const std::string& name) {
  if (name.empty() || name[0] == '/' || name[0] == '\\') return false;
  if (name.find(':') != std::string::npos) return false;  // drive letters and streams
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find_first_of("/\\", start);
    if (end == std::string::npos) end = name.size();
    std::string part = name.substr(start, end - start);
    std::string bare = part;
    while (!bare.empty() && (bare.back() == '.' || bare.back() == ' ')) bare.pop_back();
    if (part == ".." || (bare.empty() && !part.empty() && part != ".")) return false;
    if (!part.empty() && IsDeviceName(part)) return false;
    for (unsigned char c : part)
      if (c < 0x20 || std::strchr("<>\"|?*", c)) return false;
    start = end + 1;
  }
  return true;
}

bool MatchesSpec(const std::string& pattern, const std::string& name) {
  if (pattern == "*.*" || pattern == "*") return true;
  std::size_t p = 0, n = 0, starP = std::string::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || Fold(pattern[p]) == Fold(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::string MethodName(int method, unsigned flags) {
  switch (method) {
    case ZIP_CM_STORE: return "Stored";
    case ZIP_CM_DEFLATE: {
      static const char kLevel[] = {'N', 'X', 'F', 'S'};  // normal, maximum, fast, super fast
      return std::string("Defl:") + kLevel[(flags >> 1) & 3];
    }
    case ZIP_CM_DEFLATE64: return "Def64";
    case ZIP_CM_BZIP2: return "BZip2";
    case ZIP_CM_LZMA: return "LZMA";
    default: return "Unk:" + std::to_string(method);
  }
}

std::string FoldedName(std::string name) {
  for (char& c : name) c = FoldLetter(c);
  return name;
}

}  // namespace ziplib
