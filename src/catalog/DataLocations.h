#pragma once
// Where the mail client and the messenger keep what the program saves, all
// below HKEY_CURRENT_USER. Per-identity keys are relative to the identity's
// own key, IdentityKey(id).
#include <string>

namespace DataLocations {

// Once per Windows user.
constexpr const char kIdentitiesKey[] = "Identities";
constexpr const char kSharedAccountsKey[] = "Software\\Microsoft\\Internet Account Manager";
constexpr const char kAddressBookKey[] = "Software\\Microsoft\\WAB\\WAB4\\Wab File Name";  // default value
constexpr const char kMessengerListCacheKey[] = "Software\\Microsoft\\MessengerService\\ListCache";
constexpr const char kMessengerGroupStateKey[] =
    "Software\\Microsoft\\MessengerService\\GroupStateCache";

// Per identity.
constexpr const char kUsernameValue[] = "Username";
constexpr const char kMailDataKey[] = "Software\\Microsoft\\Outlook Express\\5.0";
constexpr const char kStoreRootValue[] = "Store Root";  // expandable text, below kMailDataKey
constexpr const char kAccountsKey[] = "Software\\Microsoft\\Internet Account Manager";
constexpr const char kRulesKey[] = "Software\\Microsoft\\Outlook Express\\5.0\\Rules";
constexpr const char kBlockedSendersKey[] = "Software\\Microsoft\\Outlook Express\\5.0\\Block Senders";
constexpr const char kSignaturesKey[] = "Software\\Microsoft\\Outlook Express\\5.0\\Signatures";
constexpr const char kSignatureFileValue[] = "file";  // in each subkey of kSignaturesKey

// "Identities\<id>".
inline std::string IdentityKey(const std::string& id) { return std::string(kIdentitiesKey) + "\\" + id; }
// "Identities\<id>\<below>".
inline std::string IdentitySubkey(const std::string& id, const std::string& below) {
  return IdentityKey(id) + "\\" + below;
}

}  // namespace DataLocations
