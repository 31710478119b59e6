#include "sampling/regions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "sampling/sample_points.h"

namespace {

// Of the default 250: the zenith region is closed, the lowest row's regions
// run from the horizon round to it, and all fan areas cover the hemisphere.
TEST(RegionsTest, CornersOnTheSphereZenithClosedHorizonRowOpenAndAreasCoverTheHemisphere) {
  for (int requested : {16, 250, 2000}) {
    const SampleSet set = computeJitteredSamples(Sky(), requested);
    const RegionPolygons& regions = set.regionPolygons;
    ASSERT_EQ(static_cast<int>(regions.size()), set.samplePoints.numElements);
    double total = 0;
    int horizonRegions = 0;
    for (size_t i = 0; i < regions.size(); ++i) {
      const int m = regions[i].numElements;
      ASSERT_GE(m, 3) << "region " << i << " of " << requested;
      const SamplePoint& p = set.samplePoints.element(static_cast<int>(i));
      const Vec3 c = angleToVector(p.azimuth, p.elevation);
      for (int k = 0; k < m; ++k) {
        const Vec3& corner = regions[i].element(k);
        ASSERT_NEAR(corner.length(), 1.0f, 1e-5) << "region " << i << " corner " << k;
        ASSERT_GE(corner.z, -1e-6f) << "region " << i << " corner " << k;
        total += 0.5 * (corner - c).cross(regions[i].element((k + 1) % m) - c).length();
      }
      if (requested == 250 && i > 0 && p.elevation <= 0.2f) {
        EXPECT_NEAR(regions[i].element(0).z, 0.0f, 1e-6) << i;
        EXPECT_NEAR(regions[i].element(m - 1).z, 0.0f, 1e-6) << i;
        ++horizonRegions;
      }
    }
    if (requested != 250) continue;
    EXPECT_NEAR(total, 6.28318, 0.03 * 6.28318);
    EXPECT_EQ(horizonRegions, 30);
    const Sequence<Vec3>& zenith = regions[0];
    ASSERT_GE(zenith.numElements, 4);
    const Vec3 first = zenith.element(0), last = zenith.element(zenith.numElements - 1);
    EXPECT_TRUE(first.x == last.x && first.y == last.y && first.z == last.z);
    for (int k = 0; k < zenith.numElements; ++k) EXPECT_GT(zenith.element(k).z, 0.9f);
  }
}

TEST(ChainCellEdgesTest, ABrokenChainIsReportedAndLeftAsItIs) {
  VoronoiCell cell;
  cell.append(VoronoiEdge{0, 0, 1, 0});
  cell.append(VoronoiEdge{5, 5, 6, 6});  // farthest start, leads nowhere
  cell.append(VoronoiEdge{1, 0, 0, 0});
  testing::internal::CaptureStderr();
  chainCellEdges(cell, 7);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Couldn't find next edge after edge 0 in cell 7\n");
  EXPECT_EQ(cell.element(0).x1, 5.0f);
  EXPECT_EQ(cell.element(1).x1, 0.0f);
  EXPECT_EQ(cell.element(2).x1, 1.0f);
}

}  // namespace
