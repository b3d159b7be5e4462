// Data sealed for the current user through the system's data protection
// (crypt32.dll), kept apart so that only programs that seal import it.
#include <windows.h>
#include <wincrypt.h>

#include "platform/system.h"

namespace platform {

namespace {
// The bytes of a string as the data protection API takes them (never a null
// pointer, even for no bytes).
DATA_BLOB Blob(const std::string& bytes) {
  static BYTE none = 0;
  DATA_BLOB blob;
  blob.cbData = static_cast<DWORD>(bytes.size());
  blob.pbData = bytes.empty() ? &none : reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data()));
  return blob;
}

// Copies the system's output and frees it, wiping what was plain text.
std::string TakeBlob(DATA_BLOB& blob, bool wipe) {
  std::string bytes(reinterpret_cast<const char*>(blob.pbData), blob.cbData);
  if (wipe) ::SecureZeroMemory(blob.pbData, blob.cbData);
  ::LocalFree(blob.pbData);
  return bytes;
}
}  // namespace

bool ProtectForUser(const std::string& plain, std::string& sealed) {
  if (plain.size() > 0x7FFFFFFFu) return false;
  DATA_BLOB in = Blob(plain), out = {0, nullptr};
  // The description travels with the data, in the clear.
  if (!::CryptProtectData(&in, L"Quillmere", nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out))
    return false;
  sealed = TakeBlob(out, false);
  return true;
}

bool UnprotectForUser(const std::string& sealed, std::string& plain) {
  if (sealed.empty() || sealed.size() > 0x7FFFFFFFu) return false;
  DATA_BLOB in = Blob(sealed), out = {0, nullptr};
  if (!::CryptUnprotectData(&in, nullptr, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out))
    return false;
  plain = TakeBlob(out, true);
  return true;
}

}  // namespace platform
