// The CPU side of a frame, without drawing: the sky work of the dome (its
// 8192 luminance evaluations and the normaliser) and of the contour lines,
// which the immediate renderer pays on every redraw and the array renderer
// only when the sky changes, and the building of the arrays themselves, which
// the array renderer pays when what they show changes (the terrain's after
// every load, sky change and pick).
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "display/contours.h"
#include "display/scene_arrays.h"
#include "display/scene_geometry.h"
#include "sky/sky_model.h"

namespace {

constexpr float kRadius = 5.0f;  // the window's hemisphere radius

Sky skyOf(SkyDistribution distribution) {
  Sky sky;
  sky.distribution = distribution;
  return sky;
}

void BM_domeCells(benchmark::State& state) {
  const Sky sky = skyOf(SkyDistribution::CLEAR);
  const float normaliser = normaliseSky(sky);
  for (auto _ : state) {
    std::vector<DomeCell> cells;
    computeDomeCells(sky, normaliser, kRadius, cells);
    benchmark::DoNotOptimize(cells.data());
  }
}
BENCHMARK(BM_domeCells)->Unit(benchmark::kMillisecond);

void BM_contourSegments(benchmark::State& state) {
  const Sky sky = skyOf(SkyDistribution::CLEAR);
  const float normaliser = normaliseSky(sky);
  for (auto _ : state) {
    std::vector<Vec3> segments;
    computeContourSegments(sky, normaliser, kRadius, segments);
    benchmark::DoNotOptimize(segments.data());
  }
}
BENCHMARK(BM_contourSegments)->Unit(benchmark::kMillisecond);

// A whole frame's sky with the contour lines on, per distribution.
void BM_frameSky(benchmark::State& state) {
  const Sky sky = skyOf(static_cast<SkyDistribution>(state.range(0)));
  for (auto _ : state) {
    const float normaliser = normaliseSky(sky);
    std::vector<DomeCell> cells;
    computeDomeCells(sky, normaliser, kRadius, cells);
    std::vector<Vec3> segments;
    computeContourSegments(sky, normaliser, kRadius, segments);
    benchmark::DoNotOptimize(cells.data());
    benchmark::DoNotOptimize(segments.data());
  }
}
BENCHMARK(BM_frameSky)
    ->Arg(static_cast<int>(SkyDistribution::CLEAR))
    ->Arg(static_cast<int>(SkyDistribution::SHARP))
    ->Arg(static_cast<int>(SkyDistribution::GENERAL))
    ->ArgName("distribution")
    ->Unit(benchmark::kMillisecond);

// The terrain's arrays for an N x N grid (a frame's rebuild after a load or
// a sky change).
void BM_terrainArrays(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  TerrainSkyGrid grid;
  grid.terrain.gridSizeX = grid.terrain.gridSizeY = n;
  for (int i = 0; i < n * n; ++i) {
    grid.terrain.terrainHeights.push_back(static_cast<float>(20 * std::sin(i * 0.001)));
    grid.skyGrid.push_back(static_cast<float>(i % 97) / 97);
  }
  // A new terrain (fresh storage), or the same one under a new sky (reused).
  const bool fresh = state.range(1) == 1;
  TerrainArrays reused;
  for (auto _ : state) {
    if (fresh) {
      TerrainArrays arrays;
      fillTerrainArrays(grid, arrays);
      benchmark::DoNotOptimize(arrays.surface.data());
    } else {
      fillTerrainArrays(grid, reused);
      benchmark::DoNotOptimize(reused.surface.data());
    }
  }
}
BENCHMARK(BM_terrainArrays)
    ->ArgsProduct({{256, 1024}, {1, 0}})
    ->ArgNames({"size", "fresh"})
    ->Unit(benchmark::kMillisecond);

void BM_domeArrays(benchmark::State& state) {
  const Sky sky = skyOf(SkyDistribution::CLEAR);
  const float normaliser = normaliseSky(sky);
  for (auto _ : state) {
    DomeArrays arrays = domeArrays(sky, normaliser, kRadius, true);
    benchmark::DoNotOptimize(arrays.positions.data());
  }
}
BENCHMARK(BM_domeArrays)->Unit(benchmark::kMillisecond);

}  // namespace
