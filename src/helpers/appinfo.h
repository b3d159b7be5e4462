#pragma once
// Product identity: names and version shown to the user.
namespace appinfo {
// The project's name and version in the build files: the platform's message
// boxes take the same name as their title.
constexpr const char kTitle[] = QM_PRODUCT_NAME;
constexpr const char kVersion[] = QM_PRODUCT_VERSION;
constexpr const char kWebSite[] = "https://quillmere.example.org/";
constexpr const char kSupportMail[] = "support@quillmere.example.org";
// The per-user folder that holds the program's zip libraries while it runs,
// below the user's local application data folder.
constexpr const char kPrivateFolderName[] = "Quillmere";
}  // namespace appinfo
