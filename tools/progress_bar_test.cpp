#include "tools/progress_bar.h"

#include <cstdlib>

#include <gtest/gtest.h>

namespace {

TEST(ProgressBarTest, TextShowsCountPercentageAndTimeLeft) {
  EXPECT_EQ(progressText("directions", 0, 72, 0, 10), "[..........] 0/72 directions  0%");
  EXPECT_EQ(progressText("directions", 36, 72, 12, 10), "[#####.....] 36/72 directions  50%  about 12 s left");
  EXPECT_EQ(progressText("directions", 18, 72, 30, 0), "18/72 directions  25%  about 1 min 30 s left");
  EXPECT_EQ(progressText("directions", 72, 72, 99, 4), "[####] 72/72 directions  100%");
}

std::string capture(bool onTerminal, int total) {
  char* text = nullptr;
  size_t size = 0;
  std::FILE* out = open_memstream(&text, &size);
  ProgressBar bar(out, "tool: ", "steps", onTerminal);
  for (int done = 1; done <= total; ++done) bar.update(done, total);
  bar.finish();
  std::fclose(out);
  std::string result(text, size);
  std::free(text);
  return result;
}

TEST(ProgressBarTest, TerminalRedrawsOneLineLogsGetTenLines) {
  std::string terminal = capture(true, 20);
  EXPECT_EQ(std::count(terminal.begin(), terminal.end(), '\n'), 1);
  EXPECT_EQ(std::count(terminal.begin(), terminal.end(), '\r'), 20);
  EXPECT_NE(terminal.find("\rtool: [##############################] 20/20 steps  100%\033[K\n"), std::string::npos);

  std::string log = capture(false, 20);
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 10);
  EXPECT_EQ(log.find('\r'), std::string::npos);
  EXPECT_EQ(log.rfind("tool: 20/20 steps  100%\n"), log.size() - 24);
}

}  // namespace
