#include "display/status_text.h"

#include <cstdio>
#include <cstring>

#include "core/angles.h"

namespace {

const char* const kDistributionNames[] = {"UNIFORM", "OVERCAST", "CLEAR", "SHARP",
                                          "POINT",   "COSINE",   "TURBID"};

}  // namespace

std::string statusText(const Sky& sky, int numSamplePoints) {
  char text[1000];
  const double elevation = displayedElevation(sky.sunElevation());
  const double bearing = displayedBearing(sky.sunAzimuth());
  int n;
  if (sky.distribution == SkyDistribution::GENERAL) {
    n = std::snprintf(text, sizeof text, "%sGENERAL TYPE %d distribution, %d points, sun (%g,%g)",
                      "", sky.generalType + 1, numSamplePoints, elevation, bearing);
  } else {
    // A value outside the enumeration has no name; the sky model treats it as
    // uniform and says so on the console.
    const int d = static_cast<int>(sky.distribution);
    const char* name = (d >= 0 && d < 7) ? kDistributionNames[d] : "UNKNOWN";
    n = std::snprintf(text, sizeof text, "%s%s distribution, %d points, sun (%g,%g)", "", name,
                      numSamplePoints, elevation, bearing);
  }
  if (sky.distribution == SkyDistribution::SHARP && n > 0 && n < static_cast<int>(sizeof text)) {
    std::snprintf(text + n, sizeof text - n, " aaaspecularity %g, ambient %g",
                  static_cast<double>(sky.specularity), static_cast<double>(sky.ambient));
  }
  return text;
}

int longestLineLength(const char* text) {
  int longest = 0;
  int current = 0;
  for (const char* c = text; *c; ++c) {
    if (*c == '\n') {
      current = 0;
    } else if (++current > longest) {
      longest = current;
    }
  }
  return longest;
}

OverlayPosition placeOverlayText(const char* text, float x, float y, float viewWidth) {
  const int longest = longestLineLength(text);
  if (x <= 0) x = 1;
  if (viewWidth <= x + 8 * longest + 1) {
    x = viewWidth - 8 * longest - 1;
    if (x <= 0) x = 1;
  }
  if (y <= 3) y = 4;
  return {x, y};
}

const char* promptQuestion(int promptKind) {
  return promptKind == 0 ? "Choose a terrain file to load (use the up and down arrows): "
                         : "Enter a file name to output the sample points: ";
}

int promptQuestionX(int windowWidth, const char* question) {
  const int d = windowWidth - 8 * static_cast<int>(std::strlen(question)) - 161;
  return d >= 0 ? d / 2 : windowWidth;
}

int centredTextX(int windowWidth, int characters) { return (windowWidth - 8 * characters - 1) / 2; }
