#include "sampling/regions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "sampling/sample_points.h"

namespace {

TEST(RegionsTest, EveryCornerIsAUnitVectorAtOrAboveTheHorizon) {
  for (int requested : {16, 2000}) {
    const SampleSet set = computeJitteredSamples(Sky(), requested);
    const RegionPolygons& regions = set.regionPolygons;
    ASSERT_EQ(static_cast<int>(regions.size()), set.samplePoints.numElements);
    for (size_t i = 0; i < regions.size(); ++i) {
      ASSERT_GE(regions[i].numElements, 3) << "region " << i << " of " << requested;
      for (int k = 0; k < regions[i].numElements; ++k) {
        const Vec3& corner = regions[i].element(k);
        ASSERT_NEAR(corner.length(), 1.0f, 1e-5) << "region " << i << " corner " << k;
        ASSERT_GE(corner.z, -1e-6f) << "region " << i << " corner " << k;
      }
    }
  }
}

TEST(RegionsTest, TheZenithRegionIsClosedAndRegionsAtTheHorizonEndOnIt) {
  const SampleSet set = computeJitteredSamples(Sky(), 250);
  const RegionPolygons& regions = set.regionPolygons;
  const Sequence<Vec3>& zenith = regions[0];
  ASSERT_GE(zenith.numElements, 4);
  const Vec3 first = zenith.element(0), last = zenith.element(zenith.numElements - 1);
  EXPECT_EQ(first.x, last.x);
  EXPECT_EQ(first.y, last.y);
  EXPECT_EQ(first.z, last.z);
  for (int k = 0; k < zenith.numElements; ++k) EXPECT_GT(zenith.element(k).z, 0.9f);

  // Points of the lowest row: their regions run from the horizon round to it.
  int horizonRegions = 0;
  for (int i = 1; i < set.samplePoints.numElements; ++i) {
    if (set.samplePoints.element(i).elevation > 0.2f) continue;
    const Sequence<Vec3>& region = regions[i];
    EXPECT_NEAR(region.element(0).z, 0.0f, 1e-6) << i;
    EXPECT_NEAR(region.element(region.numElements - 1).z, 0.0f, 1e-6) << i;
    ++horizonRegions;
  }
  EXPECT_EQ(horizonRegions, 30);
}

TEST(RegionsTest, FanAreasOfAllRegionsCoverTheHemisphere) {
  const SampleSet set = computeJitteredSamples(Sky(), 250);
  const RegionPolygons& regions = set.regionPolygons;
  double total = 0;
  for (size_t i = 0; i < regions.size(); ++i) {
    const SamplePoint& p = set.samplePoints.element(static_cast<int>(i));
    const Vec3 c = angleToVector(p.azimuth, p.elevation);
    const int m = regions[i].numElements;
    for (int k = 0; k < m; ++k)
      total += 0.5 * (regions[i].element(k) - c).cross(regions[i].element((k + 1) % m) - c).length();
  }
  EXPECT_NEAR(total, 6.28318, 0.03 * 6.28318);
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
