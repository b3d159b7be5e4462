#pragma once
// Sets a page's busy flag for one scope, so that the page's own changes of
// its controls (which raise their events as a click would) do not run its
// handlers again.
namespace controls {

class BusyScope {
 public:
  explicit BusyScope(bool& busy) : busy_(busy) { busy_ = true; }
  ~BusyScope() { busy_ = false; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  bool& busy_;
};

}  // namespace controls
