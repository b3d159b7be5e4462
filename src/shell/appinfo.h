#pragma once
// Product identity: names and version shown to the user.
namespace appinfo {
constexpr const char kTitle[] = "Quillmere";
constexpr const char kVersion[] = "1.0.0";
constexpr const char kWebSite[] = "https://quillmere.example.org/";
constexpr const char kSupportMail[] = "support@quillmere.example.org";
// The per-user folder that holds the program's zip libraries while it runs,
// below the user's local application data folder.
constexpr const char kPrivateFolderName[] = "Quillmere";
}  // namespace appinfo
