#include "display/scene_arrays.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>

#include "sampling/sample_points.h"
#include "sky/sky_model.h"

namespace {

TerrainSkyGrid terrainOf(int n, float lift) {
  TerrainSkyGrid grid;
  grid.terrain.gridSizeX = grid.terrain.gridSizeY = n;
  for (int i = 0; i < n * n; ++i) {
    grid.terrain.terrainHeights.push_back(static_cast<float>(std::sin(0.3 * i)) + lift);
    grid.skyGrid.push_back(static_cast<float>(i % 7) / 7);
  }
  return grid;
}

// What the window shows, and how the arrays of it must look when built afresh.
struct Scene {
  Sky sky;
  float normaliser = normaliseSky(Sky());
  float radius = 5;
  bool overTerrain = true;
  TerrainSkyGrid terrain = terrainOf(6, 0);
  long terrainVersion = 1;
  SampleSet set = computeJitteredSamples(Sky(), 40);
  long setVersion = 1;
};

// Every accessor, its arrays compared with a fresh build of the scene.
void expectFresh(SceneArrays& cache, const Scene& s, const std::string& step) {
  TerrainArrays terrain;
  fillTerrainArrays(s.terrain, terrain);
  const TerrainArrays& cachedTerrain = cache.terrain(s.terrain, s.terrainVersion);
  EXPECT_TRUE(cachedTerrain.surface == terrain.surface && cachedTerrain.surfaceColours == terrain.surfaceColours &&
              cachedTerrain.walls[3] == terrain.walls[3])
      << step;
  const DomeArrays dome = domeArrays(s.sky, s.normaliser, s.radius, s.overTerrain);
  const DomeArrays& cachedDome = cache.dome(s.sky, s.normaliser, s.radius, s.overTerrain);
  EXPECT_TRUE(cachedDome.positions == dome.positions && cachedDome.colours == dome.colours) << step;
  EXPECT_EQ(cache.regionOutlines(s.set.samplePoints, s.set.regionPolygons, s.setVersion, s.radius),
            regionOutlineArray(s.set.samplePoints, s.set.regionPolygons, s.radius))
      << step;
  const ContourArrays contours = contourArrays(s.sky, s.normaliser, s.radius);
  const ContourArrays& cachedContours = cache.contours(s.sky, s.normaliser, s.radius);
  EXPECT_TRUE(cachedContours.segments == contours.segments && cachedContours.horizon == contours.horizon)
      << step;
  EXPECT_EQ(cache.skyNormaliser(s.sky), normaliseSky(s.sky)) << step;
}

using Counts = std::array<int, 5>;  // terrain, dome, regions, contours, normaliser
Counts counts(const SceneArrays::Builds& b) { return {b.terrain, b.dome, b.regions, b.contours, b.normaliser}; }

// After any change of what it shows, each layer is the fresh build of the
// new scene; a layer is built again only when something it shows changed,
// so that a frame that changes nothing costs no building.
TEST(SceneArrays, AfterEveryChangeTheArraysAreThoseOfTheNewSceneAndOnlyTheChangedAreRebuilt) {
  SceneArrays cache;
  Scene s;
  expectFresh(cache, s, "first frame");
  expectFresh(cache, s, "nothing changed");
  EXPECT_EQ(counts(cache.builds()), (Counts{1, 1, 1, 1, 1}));

  const struct {
    const char* name;
    std::function<void(Scene&)> apply;
    Counts builds;  // the builds it causes
  } changes[] = {
      {"sun moved", [](Scene& s) { s.sky.setSun(0.5f, 1.0f); }, {0, 1, 0, 1, 1}},
      {"distribution", [](Scene& s) { s.sky.distribution = SkyDistribution::SHARP; }, {0, 1, 0, 1, 1}},
      {"specularity", [](Scene& s) { s.sky.specularity = 100; }, {0, 1, 0, 1, 1}},
      {"ambient", [](Scene& s) { s.sky.ambient = 0.3f; }, {0, 1, 0, 1, 1}},
      {"general type", [](Scene& s) { s.sky.generalType = 3; }, {0, 1, 0, 1, 1}},
      {"normaliser", [](Scene& s) { s.normaliser *= 2; }, {0, 1, 0, 1, 0}},
      {"terrain hidden", [](Scene& s) { s.overTerrain = false; }, {0, 1, 0, 0, 0}},
      {"radius", [](Scene& s) { s.radius = 7; }, {0, 1, 1, 1, 0}},
      {"terrain reloaded", [](Scene& s) { s.terrain = terrainOf(9, 2); ++s.terrainVersion; }, {1, 0, 0, 0, 0}},
      {"sky light", [](Scene& s) { s.terrain.skyGrid[4] = 0.25f; ++s.terrainVersion; }, {1, 0, 0, 0, 0}},
      {"sample set",
       [](Scene& s) { s.set = computeStratifiedSamples(s.sky, 30, true); ++s.setVersion; }, {0, 0, 1, 0, 0}},
  };
  for (const auto& change : changes) {
    const Counts before = counts(cache.builds());
    change.apply(s);
    expectFresh(cache, s, change.name);
    Counts caused = counts(cache.builds());
    for (size_t i = 0; i < caused.size(); ++i) caused[i] -= before[i];
    EXPECT_EQ(caused, change.builds) << change.name;
  }

  // A sky that equals no sky, itself included, is built again every time.
  s.sky.setSun(NAN, 1.0f);
  const int domeBuilds = cache.builds().dome;
  cache.dome(s.sky, s.normaliser, s.radius, s.overTerrain);
  cache.dome(s.sky, s.normaliser, s.radius, s.overTerrain);
  EXPECT_EQ(cache.builds().dome, domeBuilds + 2);
}

}  // namespace
