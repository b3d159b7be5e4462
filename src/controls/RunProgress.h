#pragma once
// One progress bar over the whole of a run made of phases (copying, packing,
// reading back; extracting, copying, importing). Each phase has the share of
// the bar that its expected bytes take of the run's, each byte weighed by
// what it costs; within a phase the bar moves with the bytes done. The bar
// only moves forward, and it stays short of its end until the run is
// complete.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "controls/ProgressBar.h"

namespace controls {

class RunProgress {
 public:
  // The bar's range: 0 to kEnd; kEnd - 1 at most until Complete.
  static constexpr double kEnd = 1000;

  explicit RunProgress(ProgressBar& bar) : bar_(bar) {}

  // A phase as planned: its bytes and what one of them costs.
  struct Phase {
    std::uint64_t bytes = 0;
    double cost = 1;
  };
  // The run's phases in order; the bar starts at 0 with the first of them.
  // A run with nothing to do gives each phase the same share.
  void Plan(const std::vector<Phase>& phases);
  // Phase k begins (those before it count as done) with `bytes` to do, as
  // known now; its share of the bar stays as planned.
  void Begin(std::size_t k, std::uint64_t bytes);
  // `done` bytes of the current phase are done.
  void Done(std::uint64_t done);
  // The run is complete: the bar at its end.
  void Complete();

  std::size_t CurrentPhase() const { return phase_; }
  std::uint64_t DoneInPhase() const { return done_; }

 private:
  void Show(double share);

  ProgressBar& bar_;
  std::vector<double> starts_{0, 1};  // where each phase's share begins; the last is 1
  std::size_t phase_ = 0;
  std::uint64_t bytes_ = 0, done_ = 0;
};

}  // namespace controls
