// Window subclassing on real windows: order of clients, pre- and
// post-processing, detaching, the properties kept on the window, errors.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/GSubclass.h"

using namespace controls;

namespace {

constexpr UINT kMsg = WM_APP + 7;
std::vector<std::string>* g_trace = nullptr;

LRESULT CALLBACK OwnProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kMsg) {
    if (g_trace) g_trace->push_back("own");
    return 100;
  }
  return ::DefWindowProcA(h, msg, wp, lp);
}

struct Client : ISubclass {
  Client(std::string n, std::int32_t r, std::intptr_t v) : name(std::move(n)), response(r), value(v) {}
  std::int32_t MsgResponse() const override { return response; }
  void MsgResponse(std::int32_t r) override { response = r; }
  std::intptr_t WindowProc(void*, std::uint32_t, std::uintptr_t, std::intptr_t) override {
    if (g_trace) g_trace->push_back(name);
    return value;
  }
  std::string name;
  std::int32_t response;
  std::intptr_t value;
};

class Subclassing : public testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = OwnProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "QmSubclassTest";
    ::RegisterClassA(&wc);
    hwnd = ::CreateWindowA("QmSubclassTest", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                           nullptr);
    ASSERT_NE(hwnd, nullptr);
    ownProperties = PropertyCount();  // the window system may keep some of its own
    g_trace = &trace;
  }
  void TearDown() override {
    g_trace = nullptr;
    ::DestroyWindow(hwnd);
  }
  LRESULT Send() { return ::SendMessageA(hwnd, kMsg, 0, 0); }
  static BOOL CALLBACK CountProperty(HWND, LPSTR, HANDLE, ULONG_PTR lp) {
    ++*reinterpret_cast<int*>(lp);
    return TRUE;
  }
  int PropertyCount() {
    int n = 0;
    ::EnumPropsExA(hwnd, CountProperty, reinterpret_cast<LPARAM>(&n));
    return n;
  }
  HWND hwnd = nullptr;
  int ownProperties = 0;
  std::vector<std::string> trace;
  GSubclass sub;
};

TEST_F(Subclassing, ResponseDecidesWhenTheOwnProcedureRuns) {
  Client c("c", emrPreprocess, 5);
  sub.AttachMessage(c, hwnd, kMsg);
  const struct {
    std::int32_t response;
    LRESULT result;
    std::vector<std::string> trace;
  } cases[] = {{emrPreprocess, 5, {"own", "c"}}, {emrPostProcess, 100, {"c", "own"}}, {emrConsume, 5, {"c"}}};
  for (const auto& k : cases) {
    trace.clear();
    c.MsgResponse(k.response);
    EXPECT_EQ(Send(), k.result);
    EXPECT_EQ(trace, k.trace);
  }
  sub.DetachMessage(c, hwnd, kMsg);
}

// Clients run in the order attached; the first decides whether the own
// procedure runs before them, the last whether it runs after.
TEST_F(Subclassing, FirstClientDecidesPreLastDecidesPost) {
  Client a("a", emrPreprocess, 1), b("b", emrPostProcess, 2);
  sub.AttachMessage(a, hwnd, kMsg);
  sub.AttachMessage(b, hwnd, kMsg);
  EXPECT_EQ(Send(), 2);  // own ran first, so post-processing does not run it again
  EXPECT_EQ(trace, (std::vector<std::string>{"own", "a", "b"}));
  sub.DetachMessage(a, hwnd, kMsg);
  sub.DetachMessage(b, hwnd, kMsg);
}

TEST_F(Subclassing, DetachingTheFirstOfThreeLeavesTwo) {
  Client a("a", emrConsume, 1), b("b", emrConsume, 2), c("c", emrConsume, 3);
  for (Client* x : {&a, &b, &c}) sub.AttachMessage(*x, hwnd, kMsg);
  sub.DetachMessage(a, hwnd, kMsg);
  EXPECT_EQ(Send(), 3);
  EXPECT_EQ(trace, (std::vector<std::string>{"b", "c"}));
  const std::string h = std::to_string(reinterpret_cast<std::uintptr_t>(hwnd));
  const std::string m = std::to_string(kMsg);
  EXPECT_EQ(reinterpret_cast<std::intptr_t>(::GetPropA(hwnd, (h + "#" + m + "C").c_str())), 2);
  EXPECT_EQ(::GetPropA(hwnd, (h + "#" + m + "#1").c_str()), reinterpret_cast<HANDLE>(static_cast<ISubclass*>(&b)));
  EXPECT_EQ(::GetPropA(hwnd, (h + "#" + m + "#3").c_str()), nullptr);
  sub.DetachMessage(b, hwnd, kMsg);
  sub.DetachMessage(c, hwnd, kMsg);
}

TEST_F(Subclassing, LastDetachRestoresOwnProcedureAndLeavesNoProperty) {
  Client a("a", emrConsume, 1), b("b", emrConsume, 2);
  sub.AttachMessage(a, hwnd, kMsg);
  sub.AttachMessage(b, hwnd, WM_APP + 8);
  EXPECT_NE(::GetWindowLongPtrA(hwnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(OwnProc));
  sub.DetachMessage(a, hwnd, kMsg);
  EXPECT_NE(::GetWindowLongPtrA(hwnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(OwnProc));
  sub.DetachMessage(b, hwnd, WM_APP + 8);
  EXPECT_EQ(::GetWindowLongPtrA(hwnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(OwnProc));
  EXPECT_EQ(PropertyCount(), ownProperties);
  EXPECT_EQ(Send(), 100);
}

TEST_F(Subclassing, AttachingTwiceRaises13082AndKeepsOneEntry) {
  Client a("a", emrConsume, 1);
  sub.AttachMessage(a, hwnd, kMsg);
  try {
    sub.AttachMessage(a, hwnd, kMsg);
    FAIL() << "no error";
  } catch (const SubclassError& e) {
    EXPECT_EQ(static_cast<std::uint32_t>(e.Number()), 0x80040000u | 13082u);
    EXPECT_STREQ(e.what(), "Message already handled by another class");
    EXPECT_NE(e.Source().find(".WindowProc"), std::string::npos);
  }
  EXPECT_EQ(Send(), 1);
  EXPECT_EQ(trace.size(), 1u);
  sub.DetachMessage(a, hwnd, kMsg);
  // Guards against the refused attachment keeping the window subclassed.
  EXPECT_EQ(::GetWindowLongPtrA(hwnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(OwnProc));
  EXPECT_EQ(PropertyCount(), ownProperties);
  try {
    sub.AttachMessage(a, reinterpret_cast<void*>(0x7777), kMsg);
    FAIL() << "no error";
  } catch (const SubclassError& e) {
    EXPECT_EQ(e.Number() & 0xFFFF, 13083);
    EXPECT_STREQ(e.what(), "Invalid window");
  }
}

TEST_F(Subclassing, CallOldWindowProcReachesTheOwnProcedure) {
  struct Forwarder : Client {
    GSubclass* sub;
    Forwarder(GSubclass* s) : Client("fwd", emrConsume, 0), sub(s) {}
    std::intptr_t WindowProc(void* h, std::uint32_t m, std::uintptr_t w, std::intptr_t l) override {
      EXPECT_EQ(sub->CurrentMessage(), m);
      return sub->CallOldWindowProc(h, m, w, l) + 1;
    }
  } fwd(&sub);
  sub.AttachMessage(fwd, hwnd, kMsg);
  EXPECT_EQ(Send(), 101);
  sub.DetachMessage(fwd, hwnd, kMsg);
}

}  // namespace
