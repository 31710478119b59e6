#include "display/status_text.h"

#include <gtest/gtest.h>

namespace {

TEST(StatusText, WholeLinesForTheDistributionsPointsAndSun) {
  Sky sharp, general, typeOne;
  sharp.distribution = SkyDistribution::SHARP;
  general.distribution = SkyDistribution::GENERAL;
  typeOne.distribution = SkyDistribution::GENERAL;
  typeOne.generalType = 0;
  const struct { const Sky& sky; int points; const char* text; } cases[] = {
      {Sky(), 250, "CLEAR distribution, 250 points, sun (45,180)"},
      {sharp, 250, "SHARP distribution, 250 points, sun (45,180) aaaspecularity 250, ambient 0.1"},
      {general, 250, "GENERAL TYPE 12 distribution, 250 points, sun (45,180)"},
      {typeOne, 9990, "GENERAL TYPE 1 distribution, 9990 points, sun (45,180)"},
      {Sky(), 1, "CLEAR distribution, 1 points, sun (45,180)"},
  };
  for (const auto& c : cases) EXPECT_EQ(statusText(c.sky, c.points), c.text);
  const char* names[] = {"UNIFORM", "OVERCAST", "CLEAR", "SHARP", "POINT", "COSINE", "TURBID", "UNKNOWN"};
  for (int d : {0, 1, 2, 3, 4, 5, 6, 9}) {
    Sky sky;
    sky.distribution = static_cast<SkyDistribution>(d);
    const std::string name = names[d < 7 ? d : 7];
    EXPECT_EQ(statusText(sky, 250).rfind(name + " distribution, 250 points", 0), 0u)
        << statusText(sky, 250);
  }
}

TEST(StatusText, SunIsShownAsWholeDegreesOfElevationAndBearing) {
  const double step = 0.0872663888888889;  // five degrees
  const struct { float elevation, azimuth; const char* sun; } cases[] = {
      {0.7853975f, 0.0f, "(45,90)"},        // along +x: east
      {0.7853975f, 3.14159f, "(45,270)"},   // along -x: west
      {0.7853975f, 1.570795f, "(45,360)"},  // exactly 90: second branch
      {0.0f, 4.712385f, "(0,180)"},
      {1.570795f, 4.712385f, "(90,180)"},
      {static_cast<float>(0.7853975f + step), static_cast<float>(4.712385f - step), "(50,185)"},
  };
  for (const auto& c : cases) {
    Sky sky;
    sky.setSun(c.elevation, c.azimuth);
    EXPECT_EQ(statusText(sky, 250), std::string("CLEAR distribution, 250 points, sun ") + c.sun);
  }
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
    SCOPED_TRACE(testing::Message() << c.text << " at " << c.x << ", " << c.y << " in " << c.width);
    OverlayPosition p = placeOverlayText(c.text, c.x, c.y, c.width);
    EXPECT_EQ(p.x, c.placedX);
    EXPECT_EQ(p.y, c.placedY);
  }
}

TEST(OverlayPlacement, NarrowWindowsKeepMessagesAndPromptsOnScreen) {
  // A message wider than the window starts at its left edge.
  EXPECT_EQ(placeOverlayText("01234567890123456789", centredTextX(100, 20), 60, 100).x, 1);
  const char* chooser = promptQuestion(0);
  EXPECT_STREQ(chooser, "Choose a terrain file to load (use the up and down arrows): ");
  // A window too narrow for question and answer right-aligns the question.
  EXPECT_EQ(placeOverlayText(chooser, promptQuestionX(500, chooser), 460, 500).x, 500 - 480 - 1);
  EXPECT_EQ(placeOverlayText(chooser, promptQuestionX(400, chooser), 360, 400).x, 1);
}

}  // namespace
