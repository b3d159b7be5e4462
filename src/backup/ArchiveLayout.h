#pragma once
// What a backup archive holds and under which names: the one definition the
// backup run writes and the restore side reads. Entry names use "/" as the
// zip format does; in the run's working folder the same names are paths
// with "\".
#include <string>

namespace ArchiveLayout {

// At the archive's top level.
constexpr const char kIdListEntry[] = "IdList.lst";          // the identity list, always
constexpr const char kSharedAccountsEntry[] = "Comment.lst";  // shared account settings (holds no comment)
constexpr const char kGroupStateEntry[] = "GroupState.bkr";  // messenger group state cache
constexpr const char kUserListEntry[] = "UserList.bkr";      // messenger contact list cache

// Inside each identity's folder, named by the identity's Id.
constexpr const char kAccountsFile[] = "Accounts.bkr";
constexpr const char kRulesFile[] = "Rules.bkr";
constexpr const char kBlockedFile[] = "Blocked.bkr";
constexpr const char kSignaturesFile[] = "Signatures.bkr";

// The last part of a Windows path (what follows the last "\").
std::string LastPart(const std::string& path);

// The address book travels under its own file name at the top level.
std::string AddressBookEntry(const std::string& addressBookPath);
// "<id>/<file>": an export or a store file of an identity.
std::string IdentityEntry(const std::string& id, const std::string& file);
// "<id>/<signature subkey>/<file name of the signature file>".
std::string SignatureEntry(const std::string& id, const std::string& subkey,
                           const std::string& signatureFilePath);

// An entry name as a path below a working folder (ending in "\"), and back.
std::string WorkPath(const std::string& workFolder, const std::string& entry);
std::string EntryFromWorkPath(const std::string& workFolder, const std::string& path);
// An identity's folder in the working folder, ending in "\".
std::string IdentityFolder(const std::string& workFolder, const std::string& id);

}  // namespace ArchiveLayout
