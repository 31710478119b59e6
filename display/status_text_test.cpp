#include "display/status_text.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(StatusText, DefaultStateShowsClearWithTheSunAt45And180) {
  AppState state;
  EXPECT_EQ(statusText(state), "CLEAR distribution, 250 points, sun (45,180)");
}

TEST(StatusText, NamesEveryDistribution) {
  const char* names[] = {"UNIFORM", "OVERCAST", "CLEAR", "SHARP", "POINT", "COSINE", "TURBID"};
  for (int d = 0; d < 7; ++d) {
    AppState state;
    state.distribution = static_cast<SkyDistribution>(d);
    EXPECT_EQ(statusText(state).rfind(std::string(names[d]) + " distribution, 250 points", 0), 0u)
        << statusText(state);
  }
}

TEST(StatusText, SharpAddsItsSpecularityAndAmbient) {
  AppState state;
  state.distribution = SHARP;
  EXPECT_EQ(statusText(state),
            "SHARP distribution, 250 points, sun (45,180) aaaspecularity 250, ambient 0.1");
}

TEST(StatusText, GeneralShowsTheTypeOneBased) {
  AppState state;
  state.distribution = GENERAL;
  EXPECT_EQ(statusText(state), "GENERAL TYPE 12 distribution, 250 points, sun (45,180)");
  state.generalType = 0;
  state.numSamplePoints = 9990;
  EXPECT_EQ(statusText(state), "GENERAL TYPE 1 distribution, 9990 points, sun (45,180)");
}

TEST(StatusText, SunIsShownAsWholeDegreesOfElevationAndBearing) {
  struct Case {
    float elevation, azimuth;
    const char* sun;
  } cases[] = {
      {0.7853975f, 0.0f, "sun (45,90)"},         // along +x: east
      {0.7853975f, 3.14159f, "sun (45,270)"},    // along -x: west
      {0.7853975f, 1.570795f, "sun (45,360)"},   // along +y: exactly 90, second branch
      {0.0f, 4.712385f, "sun (0,180)"},
      {1.570795f, 4.712385f, "sun (90,180)"},
      // Five-degree steps from the default keep whole numbers.
      {0.7853975f + 0.0872663888888889f, 4.712385f - 0.0872663888888889f, "sun (50,185)"},
  };
  for (const Case& c : cases) {
    AppState state;
    state.sunElevation = c.elevation;
    state.sunAzimuth = c.azimuth;
    const std::string text = statusText(state);
    EXPECT_NE(text.find(c.sun), std::string::npos) << text;
  }
}

TEST(StatusText, ShowsTheRequestedNumberOfPointsNotTheComputedSet) {
  AppState state;
  state.numSamplePoints = 1;
  state.samplePoints.append(SamplePoint{});
  state.samplePoints.append(SamplePoint{});
  EXPECT_EQ(statusText(state), "CLEAR distribution, 1 points, sun (45,180)");
}

TEST(OverlayPlacement, LongestLineRestartsAfterEachLineBreak) {
  EXPECT_EQ(longestLineLength(""), 0);
  EXPECT_EQ(longestLineLength("abc"), 3);
  EXPECT_EQ(longestLineLength("ab\nabcde\n\nx"), 5);
  EXPECT_EQ(longestLineLength("abcd\n"), 4);
}

TEST(OverlayPlacement, KeepsTextInsideTheWindow) {
  // Fits: unchanged.
  OverlayPosition p = placeOverlayText("0123456789", 10, 10, 1351);
  EXPECT_EQ(p.x, 10);
  EXPECT_EQ(p.y, 10);
  // Starts left of the window or at 0: moved to pixel 1; too low: moved up to 4.
  p = placeOverlayText("abc", -5, 3, 1351);
  EXPECT_EQ(p.x, 1);
  EXPECT_EQ(p.y, 4);
  p = placeOverlayText("abc", 0, 3.5f, 1351);
  EXPECT_EQ(p.x, 1);
  EXPECT_EQ(p.y, 3.5f);
  // Would pass the right edge: ends one pixel before it. 10 characters are 80
  // pixels, so a 100-pixel window starts the text at 19.
  p = placeOverlayText("0123456789", 50, 10, 100);
  EXPECT_EQ(p.x, 19);
  // Exactly touching the edge counts as passing it.
  p = placeOverlayText("0123456789", 19, 10, 100);
  EXPECT_EQ(p.x, 19);
  p = placeOverlayText("0123456789", 18, 10, 100);
  EXPECT_EQ(p.x, 18);
  // Wider than the window: drawn from pixel 1.
  p = placeOverlayText("0123456789", 50, 10, 60);
  EXPECT_EQ(p.x, 1);
  // Only the longest line counts.
  p = placeOverlayText("01234\n0123456789\n0", 50, 10, 100);
  EXPECT_EQ(p.x, 19);
}

TEST(OverlayPlacement, MessagesAreCentredAndPromptsLeaveRoomForTheTypedText) {
  // "Press `?' for help." has 19 characters: (1351 - 152 - 1) / 2 = 599.
  EXPECT_EQ(centredTextX(1351, static_cast<int>(std::strlen("Press `?' for help."))), 599);
  // Truncation toward zero for text wider than the window; placement then
  // moves it to pixel 1.
  EXPECT_EQ(centredTextX(100, 20), -30);
  EXPECT_EQ(placeOverlayText("01234567890123456789", centredTextX(100, 20), 60, 100).x, 1);
  EXPECT_EQ(topMessageY(1339), 1299);

  const char* chooser = promptQuestion(0);
  const char* output = promptQuestion(1);
  EXPECT_STREQ(chooser, "Choose a terrain file to load (use the up and down arrows): ");
  EXPECT_STREQ(output, "Enter a file name to output the sample points: ");
  // 60 characters: (1351 - 480 - 161) / 2 = 355.
  EXPECT_EQ(promptQuestionX(1351, chooser), 355);
  // 47 characters: (1351 - 376 - 161) / 2 = 407.
  EXPECT_EQ(promptQuestionX(1351, output), 407);
  // A window too narrow for question and answer right-aligns the question.
  const int x = promptQuestionX(500, chooser);
  EXPECT_EQ(placeOverlayText(chooser, x, 460, 500).x, 500 - 480 - 1);
  EXPECT_EQ(placeOverlayText(chooser, promptQuestionX(400, chooser), 360, 400).x, 1);
}

}  // namespace
