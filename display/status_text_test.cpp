#include "display/status_text.h"

#include <gtest/gtest.h>

namespace {

// Whole lines: the distribution's name (the general type counted from 1),
// the points, and the sun as whole degrees of elevation and bearing.
TEST(StatusText, NamesTheSkyPointsAndSun) {
  using D = SkyDistribution;
  const float e = 0.7853975f, s = 4.712385f, step = 0.0872663888888889;  // 45, 180 and 5 degrees
  const struct { Sky sky; int points; const char* text; } cases[] = {
      {Sky(D::GENERAL, 0, e, s), 9990, "GENERAL TYPE 1 distribution, 9990 points, sun (45,180)"},
      {Sky(D::UNIFORM, 11, e, 0), 1, "UNIFORM distribution, 1 points, sun (45,90)"},  // +x: east
      {Sky(D::OVERCAST, 11, e, 3.14159f), 250, "OVERCAST distribution, 250 points, sun (45,270)"},
      {Sky(D::POINT, 11, e, 1.570795f), 250, "POINT distribution, 250 points, sun (45,360)"},
      {Sky(D::COSINE, 11, 0, s), 250, "COSINE distribution, 250 points, sun (0,180)"},
      {Sky(D::TURBID, 11, 1.570795f, s), 250, "TURBID distribution, 250 points, sun (90,180)"},
      {Sky(D(9), 11, static_cast<float>(e + step), static_cast<float>(s - step)), 250,
       "UNKNOWN distribution, 250 points, sun (50,185)"},
  };
  for (const auto& c : cases) EXPECT_EQ(statusText(c.sky, c.points), c.text);
}

TEST(OverlayPlacement, KeepsTheLongestLineInsideTheWindow) {
  EXPECT_EQ(longestLineLength("ab\nabcde\n\nx"), 5);
  EXPECT_EQ(longestLineLength("abcd\n"), 4);
  const struct { const char* text; float x, y, width, placedX, placedY; } cases[] = {
      {"0123456789", 10, 10, 1351, 10, 10},           // fits: unchanged
      {"abc", -5, 3, 1351, 1, 4},                     // left of the window, too low
      {"abc", 0, 3.5f, 1351, 1, 3.5f},
      {"0123456789", 50, 10, 100, 19, 10},            // 80 pixels end one before the edge
      {"0123456789", 19, 10, 100, 19, 10},            // touching the edge counts as passing
      {"0123456789", 18, 10, 100, 18, 10},
      {"0123456789", 50, 10, 60, 1, 10},              // wider than the window
      {"01234\n0123456789\n0", 50, 10, 100, 19, 10},  // only the longest line counts
  };
  for (const auto& c : cases) {
    OverlayPosition p = placeOverlayText(c.text, c.x, c.y, c.width);
    EXPECT_TRUE(p.x == c.placedX && p.y == c.placedY)
        << c.text << " at " << c.x << ", " << c.y << " in " << c.width << ": " << p.x << ", " << p.y;
  }
}

TEST(OverlayPlacement, NarrowWindowsKeepMessagesAndPromptsOnScreen) {
  // A message wider than the window starts at its left edge.
  EXPECT_EQ(placeOverlayText("01234567890123456789", centredTextX(100, 20), 60, 100).x, 1);
  const char* chooser = promptQuestion(0);  // 60 characters, 480 pixels
  // A window too narrow for question and answer right-aligns the question.
  EXPECT_EQ(placeOverlayText(chooser, promptQuestionX(500, chooser), 460, 500).x, 500 - 480 - 1);
  EXPECT_EQ(placeOverlayText(chooser, promptQuestionX(400, chooser), 360, 400).x, 1);
}

}  // namespace
