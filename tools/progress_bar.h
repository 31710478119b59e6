// A progress bar for long computations, on standard error.
//
// On a terminal one line is redrawn in place:
//   halvane-terrain: horizons [##########..........] 36/72 directions  50%  about 12 s left
// When standard error goes to a file or a pipe, the same report (without the
// bar) is written as a line of its own at each tenth of the work, so that
// logs stay readable.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

// The report for `done` of `total` steps after `elapsedSeconds`: the bar (if
// barWidth > 0), the count, the percentage and the time left, estimated from
// the pace so far (none before the first step is done).
std::string progressText(const std::string& what, int done, int total, double elapsedSeconds,
                         int barWidth);

class ProgressBar {
 public:
  // `prefix` starts every line, `what` names the steps ("directions").
  ProgressBar(std::FILE* out, std::string prefix, std::string what, bool onTerminal);
  // Reports `done` of `total` steps.
  void update(int done, int total);
  // Ends the redrawn line on a terminal.
  void finish();

 private:
  std::FILE* out_;
  std::string prefix_, what_;
  bool onTerminal_;
  int lastTenth_ = 0;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};
