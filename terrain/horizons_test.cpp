#include "terrain/horizons.h"

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "terrain/terrain_file.h"

namespace {

constexpr int kSize = 21;

struct Grid {
  std::vector<float> heights = std::vector<float>(kSize * kSize, 0.0f);
  float& at(int r, int c) { return heights[r * kSize + c]; }
  double sine(int r, int c, int j, int n) const {
    return horizonSine(heights.data(), kSize, kSize, r, c, directionAzimuth(j, n),
                       *std::max_element(heights.begin(), heights.end()));
  }
};

// The sine of the elevation of a point `rise` above and `distance` away.
double sineOf(double rise, double distance) { return rise / std::hypot(rise, distance); }

// The march follows 6.28318, not 2 pi, so a diagonal is off by a few 1e-7.
constexpr double kTolerance = 2e-5;

// A spike seen along the diagonals (four directions centred at 45, 135, ... degrees), a
// step seen from below (eight: 22.5 degrees off the axes) and above, edges looking out.
TEST(HorizonsTest, SpikeAndStepSeenAlongTheDirectionsAndEdgesLookingOut) {
  Grid spike, step;
  spike.at(10, 10) = 10;
  for (int r = 10; r < kSize; ++r)
    for (int c = 0; c < kSize; ++c) step.at(r, c) = 5;
  step.at(20, 5) = 3;
  step.at(19, 6) = 9;  // behind cell (20, 5), out of its view
  const double d = std::sqrt(2.0), along = std::cos(3.14159265358979 / 8);
  const struct {
    Grid& grid;
    int r, c, j, n;
    double sine;
  } looks[] = {
      {spike, 5, 5, 0, 4, sineOf(10, 5 * d)}, {spike, 13, 13, 2, 4, sineOf(10, 3 * d)},
      {spike, 12, 8, 1, 4, sineOf(10, 2 * d)}, {spike, 5, 5, 2, 4, 0},
      {spike, 10, 10, 0, 4, -sineOf(10, 10 * d)},  // from the top: the grid's corner
      {step, 5, 10, 0, 4, sineOf(5, 5 * d)},       {step, 5, 10, 3, 4, sineOf(5, 5 * d)},
      {step, 5, 10, 0, 8, sineOf(5, 5 / along)},   {step, 8, 10, 7, 8, sineOf(5, 2 / along)},
      {step, 5, 10, 4, 8, 0}, {step, 15, 10, 4, 8, 0}, {step, 15, 10, 0, 8, 0}, {step, 20, 5, 0, 4, 0},
      {step, 20, 5, 3, 4, 0},
  };
  for (const auto& l : looks)
    EXPECT_NEAR(l.grid.sine(l.r, l.c, l.j, l.n), l.sine, l.sine ? kTolerance : 0)
        << (&l.grid == &spike ? "spike " : "step ") << l.r << "," << l.c << " " << l.j << " of " << l.n;
  EXPECT_LT(spike.sine(5, 6, 0, 4), 0.01);  // just past the spike
}

// A wall 1500 m high, 30 km away on 30 m cells, looks lower on the curved earth by the
// surveyor's drop (1 - k) d^2 / (2 R); one 30 m high and 300 m away by a step at most.
TEST(HorizonsTest, TheEarthsCurvatureLowersDistantTerrainByTheSurveyorsDrop) {
  const double cell = 30, radius = 6371008.8, k = 0.13;
  const double curvature = earthCurvature(cell, k);
  std::vector<float> heights(1001 * 3, 0.0f);
  for (int c = 0; c < 3; ++c) heights[1000 * 3 + c] = float(1500 / cell);  // the wall: x = 1000
  const double farDrop = 30000.0 * 30000.0 * (1 - k) / (2 * radius);
  const double far = horizonSine(heights.data(), 1001, 3, 0, 1, 0, float(1500 / cell), curvature);
  EXPECT_NEAR(far, sineOf(1500 - farDrop, 30000), 1e-12);
  EXPECT_NEAR(horizonSine(heights.data(), 1001, 3, 0, 1, 0, float(1500 / cell), 0), sineOf(1500, 30000), 1e-12);

  std::vector<float> near(11 * 3, 0.0f);
  for (int c = 0; c < 3; ++c) near[10 * 3 + c] = 1;  // 30 m high, 300 m away
  const double nearDrop = 300.0 * 300.0 * (1 - k) / (2 * radius);
  const double nearSine = horizonSine(near.data(), 11, 3, 0, 1, 0, 1, curvature);
  EXPECT_NEAR(nearSine, sineOf(30 - nearDrop, 300), 1e-12);
  EXPECT_LE(int(encodeHorizon(sineOf(30, 300))) - int(encodeHorizon(nearSine)), 1);
  // Level ground itself falls away: the horizon dips just below level.
  EXPECT_LT(horizonSine(heights.data(), 1001, 3, 500, 1, 3.14159, float(1500 / cell), curvature), 0);
}

}  // namespace
