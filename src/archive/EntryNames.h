#pragma once
// Names inside an archive: how they are stored, read back and judged.
#include <string>

#include <zip.h>

namespace ziplib {

// The entry's name in ANSI: from UTF-8 when the entry carries the format's
// UTF-8 flag (or Info-ZIP's Unicode path field), otherwise from the OEM code page.
std::string EntryNameAnsi(zip_t* archive, zip_uint64_t index);

// True when extracting `name` (ANSI, "/" or "\" between folders) below a
// folder stays inside it: not absolute, no drive letter, no ".." part, no
// device name (CON, NUL, COM1, ...), no stream (":") or control characters.
bool IsSafeEntryName(const std::string& name);

// Windows-style wildcard match ("*", "?"; "*.*" matches every name), letter
// case ignored, "/" and "\" the same.
bool MatchesSpec(const std::string& pattern, const std::string& name);

// A file name as Windows compares it, letter case ignored (Windows-1252
// letters, accented ones included).
std::string FoldedName(std::string name);

// Info-ZIP's method names: "Stored", "Defl:N", ...
std::string MethodName(int method, unsigned flags);

}  // namespace ziplib
