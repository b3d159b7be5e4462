#pragma once
// Window subclassing: clients (ISubclass) attach to (window, message) pairs
// and are called from one shared window procedure. All bookkeeping lives in
// properties of the subclassed window itself. Windows only.
#include <cstdint>
#include <stdexcept>
#include <string>

#include "controls/ISubclass.h"

namespace controls {

// Errors carry the user-defined object error number (0x80040000 + code).
class SubclassError : public std::runtime_error {
 public:
  SubclassError(std::int32_t number, const std::string& source, const std::string& description)
      : std::runtime_error(description), number_(number), source_(source) {}
  std::int32_t Number() const { return number_; }
  const std::string& Source() const { return source_; }

 private:
  std::int32_t number_;
  std::string source_;
};

constexpr std::int32_t kErrCantSubclass = 13081;
constexpr std::int32_t kErrAlreadyHandled = 13082;
constexpr std::int32_t kErrInvalidWindow = 13083;
constexpr std::int32_t kErrExternalWindow = 13084;
constexpr std::uint32_t kObjectErrorBits = 0x80040000u;

class GSubclass {
 public:
  void AttachMessage(ISubclass& iwp, void* hwnd, std::uint32_t iMsg);
  void DetachMessage(ISubclass& iwp, void* hwnd, std::uint32_t iMsg);
  // The message number of the dispatch in progress.
  std::uint32_t CurrentMessage() const;
  // The own procedure of the window being dispatched, called with these arguments.
  std::intptr_t CallOldWindowProc(void* hwnd, std::uint32_t iMsg, std::uintptr_t wParam,
                                  std::intptr_t lParam) const;
};

// The error for `code` as this component raises it: codes above 1000 get the
// object error bits, the source is the program name + ".WindowProc".
SubclassError MakeSubclassError(std::int32_t code);

}  // namespace controls
