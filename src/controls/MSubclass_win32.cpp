// The subclassing mechanism: the shared window procedure and the window
// property bookkeeping ("<h>", "C<h>", "<h>#<m>C", "<h>#<m>#<k>").
#include <windows.h>

#include "controls/GSubclass.h"
#include "platform/paths.h"

namespace controls {

namespace {

// The message being dispatched.
UINT g_currentMessage = 0;
WNDPROC g_currentOwnProc = nullptr;

std::string H(HWND h) { return std::to_string(reinterpret_cast<std::uintptr_t>(h)); }
std::string OwnKey(HWND h) { return H(h); }
std::string CountKey(HWND h) { return "C" + H(h); }
std::string MsgCountKey(HWND h, UINT m) { return H(h) + "#" + std::to_string(m) + "C"; }
std::string EntryKey(HWND h, UINT m, long k) {
  return H(h) + "#" + std::to_string(m) + "#" + std::to_string(k);
}

std::intptr_t Get(HWND h, const std::string& key) {
  return reinterpret_cast<std::intptr_t>(::GetPropA(h, key.c_str()));
}
void Put(HWND h, const std::string& key, std::intptr_t value) {
  ::SetPropA(h, key.c_str(), reinterpret_cast<HANDLE>(value));
}
void Drop(HWND h, const std::string& key) { ::RemovePropA(h, key.c_str()); }

ISubclass* Client(HWND h, UINT m, long k) {
  return reinterpret_cast<ISubclass*>(Get(h, EntryKey(h, m, k)));
}

LRESULT CALLBACK SharedWindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  WNDPROC own = reinterpret_cast<WNDPROC>(Get(h, OwnKey(h)));
  long n = static_cast<long>(Get(h, MsgCountKey(h, msg)));
  if (!own) return ::DefWindowProcA(h, msg, wp, lp);
  if (n == 0) return ::CallWindowProcA(own, h, msg, wp, lp);
  LRESULT result = 0;
  bool ownCalled = false;
  for (long k = 1; k <= n; ++k) {
    ISubclass* client = Client(h, msg, k);
    if (!client) {
      result = ::CallWindowProcA(own, h, msg, wp, lp);
      continue;
    }
    g_currentMessage = msg;
    g_currentOwnProc = own;
    try {
      if (k == 1 && client->MsgResponse() == emrPreprocess && !ownCalled) {
        ::CallWindowProcA(own, h, msg, wp, lp);
        ownCalled = true;
      }
      result = client->WindowProc(h, msg, wp, lp);
      if (k == n && client->MsgResponse() == emrPostProcess && !ownCalled) {
        result = ::CallWindowProcA(own, h, msg, wp, lp);
        ownCalled = true;
      }
    } catch (...) {  // nothing may cross the window procedure
    }
  }
  return result;
}

}  // namespace

SubclassError MakeSubclassError(std::int32_t code) {
  static const char* const texts[] = {"Can't subclass window", "Message already handled by another class",
                                      "Invalid window", "Can't modify external window"};
  std::string text = code >= kErrCantSubclass && code <= kErrExternalWindow
                         ? texts[code - kErrCantSubclass] : "Subclassing error";
  std::int32_t number = code > 1000 ? static_cast<std::int32_t>(kObjectErrorBits | static_cast<std::uint32_t>(code))
                                    : code;
  return SubclassError(number, platform::ProgramFileName() + ".WindowProc", text);
}

void GSubclass::AttachMessage(ISubclass& iwp, void* hwnd, std::uint32_t iMsg) {
  HWND h = static_cast<HWND>(hwnd);
  if (!::IsWindow(h)) throw MakeSubclassError(kErrInvalidWindow);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(h, &pid);
  if (pid != ::GetCurrentProcessId()) throw MakeSubclassError(kErrExternalWindow);

  // A second attachment of the same client is refused before anything is
  // counted, so the window still gets its own procedure back at the end.
  long n = static_cast<long>(Get(h, MsgCountKey(h, iMsg)));
  for (long k = 1; k <= n; ++k)
    if (Client(h, iMsg, k) == &iwp) throw MakeSubclassError(kErrAlreadyHandled);

  std::intptr_t c = Get(h, CountKey(h));
  if (c != 0) {
    Put(h, CountKey(h), c + 1);
  } else {
    LONG_PTR old = ::SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SharedWindowProc));
    if (!old) throw MakeSubclassError(kErrCantSubclass);
    Put(h, OwnKey(h), old);
    Put(h, CountKey(h), 1);
  }
  ++n;
  Put(h, MsgCountKey(h, iMsg), n);
  Put(h, EntryKey(h, iMsg, n), reinterpret_cast<std::intptr_t>(&iwp));
}

void GSubclass::DetachMessage(ISubclass& iwp, void* hwnd, std::uint32_t iMsg) {
  HWND h = static_cast<HWND>(hwnd);
  if (!::IsWindow(h)) return;
  long n = static_cast<long>(Get(h, MsgCountKey(h, iMsg)));
  long at = 0;
  for (long k = 1; k <= n && !at; ++k)
    if (Client(h, iMsg, k) == &iwp) at = k;
  if (!at) return;  // not attached to this message: nothing changes

  std::intptr_t c = Get(h, CountKey(h));
  if (c == 1) {
    ::SetWindowLongPtrA(h, GWLP_WNDPROC, Get(h, OwnKey(h)));
    Drop(h, OwnKey(h));
    Drop(h, CountKey(h));
  } else if (c > 1) {
    Put(h, CountKey(h), c - 1);
  }
  for (long k = at; k < n; ++k) Put(h, EntryKey(h, iMsg, k), Get(h, EntryKey(h, iMsg, k + 1)));
  Drop(h, EntryKey(h, iMsg, n));
  if (n > 1) Put(h, MsgCountKey(h, iMsg), n - 1);
  else Drop(h, MsgCountKey(h, iMsg));
}

std::uint32_t GSubclass::CurrentMessage() const { return g_currentMessage; }

std::intptr_t GSubclass::CallOldWindowProc(void* hwnd, std::uint32_t iMsg, std::uintptr_t wParam,
                                           std::intptr_t lParam) const {
  if (!g_currentOwnProc) return 0;
  return ::CallWindowProcA(g_currentOwnProc, static_cast<HWND>(hwnd), iMsg, wParam, lParam);
}

}  // namespace controls
