#pragma once
// The client side of window subclassing: an object that watches chosen
// messages of a window the program created.
#include <cstdint>

namespace controls {

// How a client's answer combines with the window's own procedure.
enum MsgResponseKind : std::int32_t {
  emrConsume = 0,      // the own procedure is not called
  emrPostProcess = 1,  // the own procedure runs after the client
  emrPreprocess = 2,   // the own procedure runs before the client
};

class ISubclass {
 public:
  virtual ~ISubclass() = default;
  virtual std::int32_t MsgResponse() const = 0;
  virtual void MsgResponse(std::int32_t response) = 0;
  virtual std::intptr_t WindowProc(void* hwnd, std::uint32_t iMsg, std::uintptr_t wParam,
                                   std::intptr_t lParam) = 0;
};

}  // namespace controls
