#include "controls/RunProgress.h"

#include <algorithm>
#include <cmath>

namespace controls {

void RunProgress::Plan(const std::vector<Phase>& phases) {
  double total = 0;
  for (const Phase& p : phases) total += static_cast<double>(p.bytes) * p.cost;
  starts_.assign(1, 0);
  double at = 0;
  for (const Phase& p : phases) {
    at += total > 0 ? static_cast<double>(p.bytes) * p.cost / total : 1.0 / static_cast<double>(phases.size());
    starts_.push_back(at);
  }
  if (starts_.size() < 2) starts_.push_back(1);
  starts_.back() = 1;
  phase_ = 0;
  bytes_ = phases.empty() ? 0 : phases[0].bytes;
  done_ = 0;
  bar_.Min(0);
  bar_.Max(kEnd);
  bar_.value(0);
}

void RunProgress::Begin(std::size_t k, std::uint64_t bytes) {
  phase_ = std::min(k, starts_.size() - 2);
  bytes_ = bytes;
  done_ = 0;
  Show(starts_[phase_]);
}

void RunProgress::Done(std::uint64_t done) {
  done_ = std::max(done_, done);
  const double part = bytes_ > 0 ? std::min(1.0, static_cast<double>(done_) / static_cast<double>(bytes_)) : 0;
  Show(starts_[phase_] + (starts_[phase_ + 1] - starts_[phase_]) * part);
}

void RunProgress::Complete() { bar_.value(kEnd); }

// Whole steps of the bar, never back, never at its end.
void RunProgress::Show(double share) {
  const double value = std::min(std::floor(share * kEnd), kEnd - 1);
  if (value > bar_.value()) bar_.value(value);
}

}  // namespace controls
