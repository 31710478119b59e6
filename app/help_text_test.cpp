#include "app/help_text.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

TEST(HelpTextTest, TwentyThreeLinesEachEndedByALineFeed) {
  std::string text = helpText();
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.back(), '\n');
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 23u);
  EXPECT_EQ(lines[0], "MOUSE    right click to select sky distribution.");
  EXPECT_EQ(lines[4], "ARROWS   move light source");
  EXPECT_EQ(lines[18], "q or ESC quit");
  EXPECT_EQ(lines[22], "Press any key to return to the terrain.");
}

}  // namespace
