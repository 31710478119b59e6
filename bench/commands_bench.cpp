// How long the user waits for the key commands and the sky menu: the work
// each one runs between the key and the next frame, in the window's order,
// on the default terrain (256 x 256 cells, 36 directions) and the default
// sky. Drawing is not included.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/keyboard.h"
#include "app/sky_menu_entries.h"
#include "sampling/regions.h"
#include "sampling/sample_points.h"
#include "sky/sky_grid.h"
#include "sky/sky_model.h"
#include "terrain/horizons.h"
#include "terrain/synthetic_terrain.h"
#include "terrain/terrain_file.h"

namespace {

struct BenchTerrain {
  std::string name = "/tmp/halvane-commands-bench-" + std::to_string(getpid()) + ".hrz";
  BenchTerrain() {
    std::vector<float> heights = syntheticHeights(256, 1);
    std::string error;
    writeTerrainFile(name, 256, 256, 36, heights, computeHorizons(heights.data(), 256, 256, 36),
                     error);
  }
  ~BenchTerrain() { std::remove(name.c_str()); }
};

const std::string& terrain() {
  static BenchTerrain file;
  return file.name;
}

// The state after start-up: default sky and sun, the jittered set; the
// terrain file exists before the timing starts.
RegionPolygons& startUpState() {
  static RegionPolygons regions;
  terrain();
  appState = AppState();
  appState.sunDirection = angleToVector(appState.sunAzimuth, appState.sunElevation);
  normaliseSky();
  computeJitteredSamples(regions);
  return regions;
}

// An arrow key: the sun moves, then grid, normalise, weigh.
void BM_arrowKey(benchmark::State& state) {
  RegionPolygons& regions = startUpState();
  int sx = 0, sy = 0;
  bool up = true;
  for (auto _ : state) {
    stepSun(up ? SunStep::Up : SunStep::Down);
    up = !up;
    benchmark::DoNotOptimize(tryComputeSkyGrid(terrain(), sx, sy));
    normaliseSky();
    computeSampleWeights(regions);
  }
}
BENCHMARK(BM_arrowKey)->Unit(benchmark::kMillisecond);

// A sky menu entry or a distribution key: grid, weigh, normalise.
void BM_skyMenuChoice(benchmark::State& state) {
  RegionPolygons& regions = startUpState();
  int sx = 0, sy = 0;
  int value = 0;
  for (auto _ : state) {
    applySkyMenuValue(value);
    value = value == 0 ? 18 : 0;
    benchmark::DoNotOptimize(tryComputeSkyGrid(terrain(), sx, sy));
    computeSampleWeights(regions);
    normaliseSky();
  }
}
BENCHMARK(BM_skyMenuChoice)->Unit(benchmark::kMillisecond);

// Key `p` with N points: compute, grid, weigh, compute.
void BM_computeKey(benchmark::State& state) {
  RegionPolygons& regions = startUpState();
  appState.numSamplePoints = static_cast<int>(state.range(0));
  int sx = 0, sy = 0;
  for (auto _ : state) {
    computeStratifiedSamples(regions);
    benchmark::DoNotOptimize(tryComputeSkyGrid(terrain(), sx, sy));
    computeSampleWeights(regions);
    computeStratifiedSamples(regions);
  }
}
BENCHMARK(BM_computeKey)->Arg(250)->Arg(2000)->Unit(benchmark::kMillisecond);

// Key `-` from 300 to 250 points: generate, grid, weigh, regions.
void BM_fewerPointsKey(benchmark::State& state) {
  RegionPolygons& regions = startUpState();
  int sx = 0, sy = 0;
  for (auto _ : state) {
    appState.numSamplePoints = fewerSamplePoints(300);
    computeJitteredSamples(regions);
    benchmark::DoNotOptimize(tryComputeSkyGrid(terrain(), sx, sy));
    computeSampleWeights(regions);
    regions = computeRegions(appState.samplePoints);
  }
}
BENCHMARK(BM_fewerPointsKey)->Unit(benchmark::kMillisecond);

}  // namespace
