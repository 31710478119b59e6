// The library is reentrant: sample sets, weights, normalisers, sky-light
// maps and the sky's display geometry computed for different skies on two
// threads at once are exactly those computed one after the other.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "display/contours.h"
#include "display/scene_geometry.h"
#include "sampling/sample_file.h"
#include "sampling/sample_points.h"
#include "sky/sky_model.h"
#include "terrain/horizons.h"
#include "terrain/sky_light.h"
#include "terrain/synthetic_terrain.h"

namespace {

// Everything the library computes for one sky, flattened for comparison.
struct Results {
  std::string stratifiedFile, jitteredFile;
  float normaliser = 0;
  std::vector<float> skyLight;
  std::vector<float> domeGreys;
  size_t contourVertices = 0;

  bool operator==(const Results& o) const {
    return stratifiedFile == o.stratifiedFile && jitteredFile == o.jitteredFile &&
           normaliser == o.normaliser && skyLight == o.skyLight && domeGreys == o.domeGreys &&
           contourVertices == o.contourVertices;
  }
};

Results computeAll(const Sky& sky, const Terrain& terrain) {
  Results r;
  r.stratifiedFile = formatSamplePoints(sky, computeStratifiedSamples(sky, 300, true).samplePoints);
  SampleSet jittered = computeJitteredSamples(sky, 400);
  computeSampleWeights(sky, jittered.samplePoints, jittered.regionPolygons);
  r.jitteredFile = formatSamplePoints(sky, jittered.samplePoints);
  r.normaliser = normaliseSky(sky);
  r.skyLight = computeSkyLight(terrain, sky);
  std::vector<DomeCell> cells;
  computeDomeCells(sky, r.normaliser, 5, cells);
  for (const DomeCell& cell : cells) r.domeGreys.push_back(cell.grey);
  std::vector<Vec3> segments;
  computeContourSegments(sky, r.normaliser, 5, segments);
  r.contourVertices = segments.size();
  return r;
}

Terrain syntheticTerrain() {
  Terrain terrain;
  terrain.gridSizeX = terrain.gridSizeY = 48;
  terrain.numDirections = 16;
  terrain.terrainHeights = syntheticHeights(48, 3);
  terrain.terrainNormals = computeNormals(terrain.terrainHeights.data(), 48, 48);
  terrain.horizons = computeHorizons(terrain.terrainHeights.data(), 48, 48, 16);
  return terrain;
}

TEST(ConcurrencyTest, TwoSkiesOnTwoThreadsGiveTheResultsOfOneAfterTheOther) {
  const Terrain terrain = syntheticTerrain();
  const std::vector<Sky> skies = {
      Sky(SkyDistribution::CLEAR, 11, 0.3f, 1.0f), Sky(SkyDistribution::GENERAL, 4, 1.1f, 4.0f),
      Sky(SkyDistribution::SHARP, 11, 0.6f, 2.5f), Sky(SkyDistribution::OVERCAST, 11, 0.2f, 0.5f)};
  std::vector<Results> alone;
  for (const Sky& sky : skies) alone.push_back(computeAll(sky, terrain));
  ASSERT_FALSE(alone[0] == alone[1]);  // the skies differ, so a mix-up would show

  // Each thread works through the skies from its own end, several times, so
  // that different skies are computed at the same moment.
  std::vector<std::vector<Results>> together(2);
  auto work = [&](int thread) {
    for (int round = 0; round < 3; ++round)
      for (size_t k = 0; k < skies.size(); ++k) {
        const size_t sky = thread == 0 ? k : skies.size() - 1 - k;
        together[thread].push_back(computeAll(skies[sky], terrain));
      }
  };
  std::thread first(work, 0), second(work, 1);
  first.join();
  second.join();
  for (int thread = 0; thread < 2; ++thread)
    for (size_t i = 0; i < together[thread].size(); ++i) {
      const size_t k = i % skies.size();
      const size_t sky = thread == 0 ? k : skies.size() - 1 - k;
      EXPECT_TRUE(together[thread][i] == alone[sky]) << "thread " << thread << " result " << i;
    }
}

}  // namespace
