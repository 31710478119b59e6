#include "sampling/sky_quadrature.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

double radians(double degrees) { return degrees * kExactPi / 180; }

// The direction of a bearing (clockwise from north, +y) and an elevation.
Direction toward(double bearing, double elevation) {
  const double b = radians(bearing), e = radians(elevation);
  return {std::cos(e) * std::sin(b), std::cos(e) * std::cos(b), std::sin(e)};
}

// Masks on ring edges and between them, facing each quarter and askew; normals
// all round, straight up and down and level.
TEST(SkyQuadratureTest, RingArcsEqualTheCellByCellSumForEveryNormalAndMask) {
  const SkyQuadrature quadrature(Sky(SkyDistribution::SHARP, 0, 0.3f, 2.0f), 36);
  const HorizonMask masks[] = {{0, -kExactPi / 2}, {radians(10), -kExactPi / 2}, {radians(30), 0},
                               {radians(12.3), kExactPi}, {radians(20), 0.7}, {radians(89), kExactPi / 2}};
  std::vector<Direction> normals = fibonacciSphere(400, 0.25);
  normals.insert(normals.end(), {{0, 0, 1}, {0, 0, -1}, {1, 0, 0}});
  for (const HorizonMask& mask : masks)
    for (const Direction& n : normals) {
      const double plain = quadrature.irradianceCellByCell(n, mask);
      ASSERT_NEAR(quadrature.irradiance(n, mask), plain, 1e-12 * quadrature.totalLight())
          << n.x << " " << n.y << " " << n.z << " mask " << mask.elevation << " " << mask.facing;
      double all[1];
      quadrature.irradiances(n, &mask, 1, all);
      ASSERT_EQ(all[0], quadrature.irradiance(n, mask));
    }
}

// Under the uniform sky a plane tilted by t receives pi (1 + cos t) / 2; hiding
// the southern sky below h takes pi sin^2(h) / 2 from a level plane.
TEST(SkyQuadratureTest, UniformSkyGivesTheClosedFormIrradiances) {
  const SkyQuadrature quadrature(Sky(SkyDistribution::UNIFORM, 0, 0.5f, 0), 180);
  EXPECT_NEAR(quadrature.totalLight(), 2 * kExactPi, 1e-9);
  for (double tilt : {0.0, 30.0, 90.0, 120.0, 180.0})
    for (double bearing : {0.0, 60.0, 230.0})
      EXPECT_NEAR(quadrature.irradiance(toward(bearing, 90 - tilt)), kExactPi * (1 + std::cos(radians(tilt))) / 2, 4e-5)
          << tilt << " " << bearing;
  for (double h : {10.0, 20.0, 30.0}) {
    const HorizonMask mask{radians(h)};
    EXPECT_NEAR(quadrature.irradiance({0, 0, 1}, mask), kExactPi - kExactPi * std::pow(std::sin(radians(h)), 2) / 2,
                4e-5)
        << h;
    EXPECT_NEAR(quadrature.irradiance({0, 1, 0}, mask), quadrature.irradiance({0, 1, 0}), 1e-12);
  }
}

// anglesOf inverts directionOf within float rounding, the program's 3.14159 included.
TEST(SkyQuadratureTest, CellsAndFibonacciPointsAreEvenAndEnough) {
  const SkyQuadrature quadrature(Sky(), 40);
  double smallest = 1e9, largest = 0;
  for (const SkyQuadrature::Cell& cell : quadrature.cells()) {
    smallest = std::min(smallest, cell.solidAngle);
    largest = std::max(largest, cell.solidAngle);
    ASSERT_GT(cell.direction.z, 0);
    ASSERT_NEAR(cell.direction.dot(cell.direction), 1, 1e-12);
  }
  EXPECT_LT(largest / smallest, 1.6);
  for (int points : {1, 145, 2000, 10000}) {
    const double cells = SkyQuadrature(Sky(), ringsForCellsPerPoint(points, 30)).cells().size();
    EXPECT_GE(cells, 30.0 * points) << points;
    EXPECT_LT(cells, 40.0 * points + 200) << points;
  }
  for (float azimuth : {0.0f, 1.0f, 3.14159f, 6.2f})
    for (float elevation : {0.0f, 0.3f, 1.2f}) {
      float a, e;
      anglesOf(directionOf(azimuth, elevation), a, e);
      EXPECT_NEAR(a, azimuth, 2e-6);
      EXPECT_NEAR(e, elevation, 2e-6);
    }
  const std::vector<Direction> sphere = fibonacciSphere(2000, 0);
  ASSERT_EQ(sphere.size(), 2000u);
  Direction mean;
  for (const Direction& d : sphere) {
    ASSERT_NEAR(d.dot(d), 1, 1e-12);
    mean.x += d.x / 2000, mean.y += d.y / 2000, mean.z += d.z / 2000;
  }
  EXPECT_LT(std::sqrt(mean.dot(mean)), 1e-3);
  double nearestLow = 1, nearestHigh = 0;
  for (size_t i = 0; i < sphere.size(); i += 37) {
    double best = -1;
    for (size_t j = 0; j < sphere.size(); ++j)
      if (j != i) best = std::max(best, sphere[i].dot(sphere[j]));
    nearestLow = std::min(nearestLow, std::acos(best));
    nearestHigh = std::max(nearestHigh, std::acos(best));
  }
  EXPECT_GT(nearestLow / nearestHigh, 0.6);
}

// A mask of 20 degrees facing south; a point on its horizon line counts as
// hidden, its east and west edges as seen.
TEST(SkyQuadratureTest, MaskHidesBehindAndBelowAndCountsTheLinesConsistently) {
  const HorizonMask south{radians(20)};
  const struct { double bearing, elevation; bool hidden; } cases[] = {
      {180, 19.9, true}, {100, 5, true}, {180, 20, true}, {180, 20.1, false}, {0, 5, false}, {90, 5, false},
      {270, 5, false}};
  for (const auto& c : cases)
    EXPECT_EQ(south.hides(toward(c.bearing, c.elevation)), c.hidden) << c.bearing << " " << c.elevation;
  EXPECT_FALSE(HorizonMask{}.hides({0, -1, 0.001}));
  // The program's own angles of bearing 270 (azimuth 3.14159) count as west.
  EXPECT_FALSE(south.hides(directionOf(3.14159f, 0.1f)));
}

}  // namespace
