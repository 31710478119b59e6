#include "sampling/file_directions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <sstream>
#include <string>

#include "core/angles.h"
#include "sampling/sample_file.h"
#include "sampling/sky_quadrature.h"

namespace {

// Points all round the sky, the zenith, the horizon and bearing 0 included.
Sequence<SamplePoint> pointsAllRound() {
  Sequence<SamplePoint> points;
  for (int i = 0; i < 400; ++i) {
    SamplePoint p{};
    p.azimuth = static_cast<float>(std::fmod(i * 2.39996322972865332, 2 * kExactPi));
    p.elevation = static_cast<float>(std::asin(1 - (i + 0.5) / 400) - (kExactPi / 2 - 1.570795));
    p.weight = 1.0f / 400;
    points.append(p);
  }
  for (float azimuth : {0.0f, 1.570795f, 4.712385f, 6.2831f}) {
    SamplePoint p{};
    p.azimuth = azimuth;
    p.elevation = azimuth < 1 ? 1.570795f : 0.0f;
    points.append(p);
  }
  return points;
}

// Whole degrees are the window's; with decimals, the vector's angles rounded.
// Points rounded to the file keep their file angles; the header stays.
TEST(FileDirectionsTest, AnglesAreTheWholeDegreesOrTheVectorsDegreesRoundedAndRoundingKeepsThem) {
  const Sequence<SamplePoint> points = pointsAllRound();
  for (int decimals = 0; decimals <= kMaxDecimals; ++decimals) {
    Sequence<SamplePoint> rounded = points;
    roundToFile(rounded, decimals);
    const double half = 0.5 * std::pow(10.0, -decimals) + 1e-9;
    for (int i = 0; i < points.numElements; ++i) {
      const SamplePoint& p = points.element(i);
      double bearing, elevation, roundedBearing, roundedElevation;
      fileAngles(p, decimals, bearing, elevation);
      fileAngles(rounded.element(i), decimals, roundedBearing, roundedElevation);
      ASSERT_EQ(roundedElevation, elevation) << i << " " << decimals;
      // Bearings at the zenith and at north may wrap between 0 and 360.
      ASSERT_EQ(std::fmod(roundedBearing, 360), std::fmod(bearing, 360)) << i << " " << decimals;
      const Direction moved = directionOf(rounded.element(i).azimuth, rounded.element(i).elevation);
      ASSERT_TRUE(elevation > 89 || std::fabs(std::asin(moved.z) * 180 / kExactPi - elevation) < 1e-4)
          << i << " " << decimals << ": the rounded point is not where the file puts it";
      if (decimals == 0) {
        ASSERT_EQ(bearing, displayedBearing(p.azimuth));
        ASSERT_EQ(elevation, displayedElevation(p.elevation));
        continue;
      }
      const Direction d = directionOf(p.azimuth, p.elevation);
      const double exactElevation = std::asin(d.z) * 180 / kExactPi;
      // At the zenith the program's 1.570795 lies a little beyond it, which
      // the file holds as 90.
      ASSERT_NEAR(elevation, exactElevation, half + (d.z > 0.9999 ? 1e-5 : 0)) << i << " " << decimals;
      ASSERT_GE(bearing, 0);
      ASSERT_LT(bearing, 360);
      if (d.z < 0.9999) {
        // The bearing turns clockwise from north (+y) towards east (+x).
        const double b = bearing * kExactPi / 180;
        ASSERT_NEAR(std::sin(b) * std::cos(exactElevation * kExactPi / 180), d.x, 2 * half * kExactPi / 180) << i;
        ASSERT_NEAR(std::cos(b) * std::cos(exactElevation * kExactPi / 180), d.y, 2 * half * kExactPi / 180) << i;
      }
    }
  }
  // Decimals change the lines, not the header.
  const Sky sky;
  const std::string whole = formatSamplePoints(sky, points), three = formatSamplePoints(sky, points, 3);
  const size_t headerEnd = whole.find("\n\n", whole.find("Format")) + 2;
  EXPECT_EQ(three.compare(0, headerEnd, whole, 0, headerEnd), 0);
  EXPECT_EQ(whole, formatSamplePoints(sky, points, 0));
  // Every line: two numbers with three decimals, then the weight.
  std::istringstream lines(three.substr(headerEnd));
  for (std::string line; std::getline(lines, line);)
    EXPECT_TRUE(std::regex_match(line, std::regex("[0-9]+\\.[0-9]{3},-?[0-9]+\\.[0-9]{3},[^,]+"))) << line;
}

}  // namespace
