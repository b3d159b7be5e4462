#pragma once
// Within long copies, packing and reading back: lets the window repaint and
// answer, at most every 50 ms however often it is called.
#include <chrono>
#include <functional>
#include <utility>

class KeepAlive {
 public:
  explicit KeepAlive(std::function<void()> repaint) : repaint_(std::move(repaint)) {}
  void operator()() {
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < std::chrono::milliseconds(50)) return;
    last_ = now;
    repaint_();
  }

 private:
  std::function<void()> repaint_;
  std::chrono::steady_clock::time_point last_{};
};
