#pragma once
// Measures how long the calling thread's message pump stood still during a
// run: on Windows a 10 ms thread timer stamps the time whenever the pump
// dispatches it; natively every DoEvents stamps it.
namespace bench {

class PumpGaps {
 public:
  void Start();
  // Stops measuring; the longest time in milliseconds between two stamps
  // (the start and the stop count as stamps).
  double Stop();
  int Turns() const;
  // Seconds from the start to the end of the longest gap.
  double LongestEndedAt() const;
};

}  // namespace bench
