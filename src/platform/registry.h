#pragma once
// The registry: predefined roots, keys opened below them, their subkeys and
// values. Names and text travel in the ANSI code page; value data travels as
// the raw bytes the registry holds. Results are the system's error numbers
// (0 for success), never exceptions.
#include <cstdint>
#include <string>

namespace platform {

// Predefined roots, by the numbers Windows gives their handles.
constexpr std::uint32_t kRegClassesRoot = 0x80000000u;
constexpr std::uint32_t kRegCurrentUser = 0x80000001u;
constexpr std::uint32_t kRegLocalMachine = 0x80000002u;
constexpr std::uint32_t kRegUsers = 0x80000003u;
constexpr std::uint32_t kRegCurrentConfig = 0x80000005u;

// Value types. Types other than these five (REG_NONE, REG_QWORD, ...) are
// kept and returned as raw bytes with their number.
constexpr std::uint32_t kRegTypeNone = 0;
constexpr std::uint32_t kRegTypeSz = 1;
constexpr std::uint32_t kRegTypeExpandSz = 2;
constexpr std::uint32_t kRegTypeBinary = 3;
constexpr std::uint32_t kRegTypeDword = 4;
constexpr std::uint32_t kRegTypeMultiSz = 7;
constexpr std::uint32_t kRegTypeQword = 11;

// Access masks.
constexpr std::uint32_t kRegKeyRead = 0x20019u;
constexpr std::uint32_t kRegKeyWrite = 0x20006u;
constexpr std::uint32_t kRegKeyAllAccess = 0xF003Fu;

// Results.
constexpr long kRegOk = 0;
constexpr long kRegNotFound = 2;            // ERROR_FILE_NOT_FOUND
constexpr long kRegAccessDenied = 5;        // ERROR_ACCESS_DENIED
constexpr long kRegInvalidHandle = 6;       // ERROR_INVALID_HANDLE
constexpr long kRegInvalidParameter = 87;   // ERROR_INVALID_PARAMETER
constexpr long kRegBadPath = 161;           // ERROR_BAD_PATHNAME
constexpr long kRegMoreData = 234;          // ERROR_MORE_DATA
constexpr long kRegNoMoreItems = 259;       // ERROR_NO_MORE_ITEMS
constexpr long kRegKeyDeleted = 1018;       // ERROR_KEY_DELETED

// An open key, closed exactly once. A key object may also stand for a
// predefined root; closing a root does nothing.
class RegKey {
 public:
  RegKey() = default;
  static RegKey Root(std::uint32_t root) { return RegKey(root); }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  RegKey(RegKey&& o) noexcept : h_(o.h_) { o.h_ = 0; }
  RegKey& operator=(RegKey&& o) noexcept {
    if (this != &o) {
      Close();
      h_ = o.h_;
      o.h_ = 0;
    }
    return *this;
  }
  ~RegKey() { Close(); }

  explicit operator bool() const { return h_ != 0; }
  std::uintptr_t handle() const { return h_; }
  void Close();

 private:
  friend struct RegKeyAccess;
  explicit RegKey(std::uintptr_t h) : h_(h) {}
  std::uintptr_t h_ = 0;
};

// Grants the implementations (and only them) the raw constructor.
struct RegKeyAccess {
  static RegKey Make(std::uintptr_t h) { return RegKey(h); }
};

struct RegValue {
  std::string name;  // "" for the default value
  std::uint32_t type = kRegTypeNone;
  std::string data;  // raw bytes; text types as stored, terminating NUL included if stored
};

// Opens `path` below `root` ("" opens the root itself). A trailing backslash
// and doubled backslashes inside the path are tolerated; a leading one is
// not (kRegBadPath), as on Windows.
[[nodiscard]] long OpenRegKey(std::uint32_t root, const std::string& path, std::uint32_t access,
                              RegKey& key);
// Creates `path` below `root` with every missing level (or opens it).
[[nodiscard]] long CreateRegKey(std::uint32_t root, const std::string& path, RegKey& key);
// The name of the subkey at `index`, in the registry's order.
[[nodiscard]] long EnumRegSubkey(const RegKey& key, std::uint32_t index, std::string& name);
// The value at `index`, in the registry's order, whole: buffers that turn out
// too small for the name or the data are grown and the call repeated.
[[nodiscard]] long EnumRegValue(const RegKey& key, std::uint32_t index, RegValue& value);
// One value by name (kRegNotFound when missing), whole, grown as above.
[[nodiscard]] long QueryRegValue(const RegKey& key, const std::string& name, RegValue& value);
// Writes a value with the given type and raw bytes.
[[nodiscard]] long SetRegValue(const RegKey& key, const std::string& name, std::uint32_t type,
                               const std::string& data);
// Deletes one value of an open key (kRegNotFound when there is none).
[[nodiscard]] long DeleteRegValue(const RegKey& key, const std::string& name);
// Deletes `path` below `root` with everything under it.
[[nodiscard]] long DeleteRegBranch(std::uint32_t root, const std::string& path);

}  // namespace platform
