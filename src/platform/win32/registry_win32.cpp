// The registry through the ANSI advapi32 functions.
#include <windows.h>

#include <vector>

#include "platform/registry.h"
#include "platform/win32/handle.h"

namespace platform {

namespace {

// The largest value name the registry allows is 16,383 characters; in the
// ANSI code page a character may take two bytes.
constexpr DWORD kLargestValueName = 2 * 16384;
constexpr DWORD kFirstNameGuess = 260;
constexpr DWORD kFirstDataGuess = 4096;
constexpr DWORD kFirstQueryGuess = 1024;
constexpr int kMaxRetries = 8;  // data may keep growing while we look

bool IsRoot(std::uintptr_t h) { return h >= 0x80000000u && h <= 0x800000FFu; }

// Predefined handles are 32-bit numbers sign-extended to a pointer.
HKEY ToHkey(std::uintptr_t h) {
  if (IsRoot(h))
    return reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<std::int32_t>(h)));
  return reinterpret_cast<HKEY>(h);
}

std::uintptr_t FromHkey(HKEY h) { return reinterpret_cast<std::uintptr_t>(h); }

struct RegCloser {
  void operator()(HKEY h) const { ::RegCloseKey(h); }
};
using OwnedKey = win32::UniqueHandle<HKEY, RegCloser, nullptr>;

void DeleteChildren(HKEY key) {
  // Always the first subkey: the list shrinks as we go.
  for (;;) {
    char name[kFirstNameGuess + 1];
    DWORD len = kFirstNameGuess;
    if (::RegEnumKeyExA(key, 0, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      return;
    std::string child(name, len);
    HKEY sub = nullptr;
    if (::RegOpenKeyExA(key, child.c_str(), 0, KEY_ALL_ACCESS, &sub) == ERROR_SUCCESS) {
      OwnedKey owned(sub);
      DeleteChildren(owned.get());
    }
    if (::RegDeleteKeyA(key, child.c_str()) != ERROR_SUCCESS) return;
  }
}

}  // namespace

void RegKey::Close() {
  if (h_ != 0 && !IsRoot(h_)) ::RegCloseKey(ToHkey(h_));
  h_ = 0;
}

long OpenRegKey(std::uint32_t root, const std::string& path, std::uint32_t access, RegKey& key) {
  key.Close();
  HKEY h = nullptr;
  LONG r = ::RegOpenKeyExA(ToHkey(root), path.c_str(), 0, access, &h);
  if (r == ERROR_SUCCESS) key = RegKeyAccess::Make(FromHkey(h));
  return r;
}

long CreateRegKey(std::uint32_t root, const std::string& path, RegKey& key) {
  key.Close();
  HKEY h = nullptr;
  DWORD disposition = 0;
  char emptyClass[1] = {0};
  LONG r = ::RegCreateKeyExA(ToHkey(root), path.c_str(), 0, emptyClass, REG_OPTION_NON_VOLATILE,
                             KEY_ALL_ACCESS, nullptr, &h, &disposition);
  if (r == ERROR_SUCCESS) key = RegKeyAccess::Make(FromHkey(h));
  return r;
}

long EnumRegSubkey(const RegKey& key, std::uint32_t index, std::string& name) {
  std::vector<char> buf(kFirstNameGuess + 1);
  for (int attempt = 0; attempt < kMaxRetries; ++attempt) {
    DWORD len = static_cast<DWORD>(buf.size() - 1);
    LONG r = ::RegEnumKeyExA(ToHkey(key.handle()), index, buf.data(), &len, nullptr, nullptr,
                             nullptr, nullptr);
    if (r == ERROR_MORE_DATA && buf.size() < kLargestValueName) {
      buf.resize(kLargestValueName + 1);
      continue;
    }
    if (r != ERROR_SUCCESS) return r;
    name.assign(buf.data(), len < buf.size() ? len : buf.size() - 1);
    return ERROR_SUCCESS;
  }
  return ERROR_MORE_DATA;
}

long EnumRegValue(const RegKey& key, std::uint32_t index, RegValue& value) {
  std::vector<char> name(kFirstNameGuess + 1);
  std::vector<BYTE> data(kFirstDataGuess);
  for (int attempt = 0; attempt < kMaxRetries; ++attempt) {
    DWORD nameLen = static_cast<DWORD>(name.size() - 1);
    DWORD dataLen = static_cast<DWORD>(data.size());
    DWORD type = 0;
    LONG r = ::RegEnumValueA(ToHkey(key.handle()), index, name.data(), &nameLen, nullptr, &type,
                             data.data(), &dataLen);
    if (r == ERROR_MORE_DATA) {
      // Either buffer may be the short one; the data size is reported, the
      // name size is not, so the name buffer goes to the largest name.
      if (dataLen > data.size()) data.resize(dataLen);
      else if (name.size() < kLargestValueName + 1) name.resize(kLargestValueName + 1);
      else data.resize(data.size() * 2);
      continue;
    }
    if (r != ERROR_SUCCESS) return r;
    value.name.assign(name.data(), nameLen < name.size() ? nameLen : name.size() - 1);
    value.type = type;
    value.data.assign(reinterpret_cast<const char*>(data.data()),
                      dataLen < data.size() ? dataLen : data.size());
    return ERROR_SUCCESS;
  }
  return ERROR_MORE_DATA;
}

long QueryRegValue(const RegKey& key, const std::string& name, RegValue& value) {
  std::vector<BYTE> data(kFirstQueryGuess);
  for (int attempt = 0; attempt < kMaxRetries; ++attempt) {
    DWORD dataLen = static_cast<DWORD>(data.size());
    DWORD type = 0;
    LONG r = ::RegQueryValueExA(ToHkey(key.handle()), name.c_str(), nullptr, &type, data.data(),
                                &dataLen);
    if (r == ERROR_MORE_DATA) {
      data.resize(dataLen > data.size() ? dataLen : data.size() * 2);
      continue;
    }
    if (r != ERROR_SUCCESS) return r;
    value.name = name;
    value.type = type;
    value.data.assign(reinterpret_cast<const char*>(data.data()),
                      dataLen < data.size() ? dataLen : data.size());
    return ERROR_SUCCESS;
  }
  return ERROR_MORE_DATA;
}

long SetRegValue(const RegKey& key, const std::string& name, std::uint32_t type,
                 const std::string& data) {
  return ::RegSetValueExA(ToHkey(key.handle()), name.c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size()));
}

long DeleteRegValue(const RegKey& key, const std::string& name) {
  return ::RegDeleteValueA(ToHkey(key.handle()), name.c_str());
}

long DeleteRegBranch(std::uint32_t root, const std::string& path) {
  if (path.empty()) return ERROR_INVALID_PARAMETER;  // never a whole root
  HKEY h = nullptr;
  LONG r = ::RegOpenKeyExA(ToHkey(root), path.c_str(), 0, KEY_ALL_ACCESS, &h);
  if (r != ERROR_SUCCESS) return r;
  {
    OwnedKey owned(h);
    DeleteChildren(owned.get());
  }
  return ::RegDeleteKeyA(ToHkey(root), path.c_str());
}

}  // namespace platform
