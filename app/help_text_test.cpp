#include "app/help_text.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

TEST(HelpTextTest, TwentyThreeLinesEachEndedByALineFeed) {
  const std::string text = helpText();
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_TRUE(lines.size() == 23u && text.back() == '\n') << lines.size();
  EXPECT_EQ(lines[0], "MOUSE    right click to select sky distribution.");
  EXPECT_EQ(lines[4], "ARROWS   move light source");
  EXPECT_EQ(lines[18], "q or ESC quit");
  EXPECT_EQ(lines[22], "Press any key to return to the terrain.");
}

}  // namespace
