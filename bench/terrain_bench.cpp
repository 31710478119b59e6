// Speed of the terrain's sky light: computeSkyGrid (run on every sun step of
// the arrow keys) on the default terrain and on a large file, and the making
// of the default terrain at build time.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "terrain/horizons.h"
#include "terrain/sky_grid.h"
#include "terrain/synthetic_terrain.h"
#include "terrain/terrain_file.h"

namespace {

// A terrain file in the temporary folder, removed at exit.
struct BenchFile {
  std::string name;
  explicit BenchFile(const std::string& base)
      : name("/tmp/halvane-bench-" + std::to_string(getpid()) + "-" + base) {}
  ~BenchFile() { std::remove(name.c_str()); }
};

// The default terrain: 256 x 256 cells, 36 directions, as the build makes it.
const std::string& defaultTerrain() {
  static BenchFile file("default.hrz");
  static bool written = [] {
    std::vector<float> heights = syntheticHeights(256, 1);
    std::string error;
    return writeTerrainFile(file.name, 256, 256, 36, heights,
                            computeHorizons(heights.data(), 256, 256, 36), error);
  }();
  (void)written;
  return file.name;
}

// 1024 x 1024 cells and 64 directions (134 MB). The horizons vary smoothly
// over the grid and through all bins; their values do not change the work.
const std::string& largeTerrain() {
  static BenchFile file("large.hrz");
  static bool written = [] {
    const int size = 1024, n = 64;
    std::vector<float> heights = syntheticHeights(size, 1);
    std::vector<uint16_t> horizons(size_t(size) * size * n);
    size_t k = 0;
    for (int j = 0; j < n; ++j)
      for (int r = 0; r < size; ++r)
        for (int c = 0; c < size; ++c)
          horizons[k++] = uint16_t(32768 + 16000 * std::sin(r * 0.01 + j) * std::cos(c * 0.013 - j));
    std::string error;
    return writeTerrainFile(file.name, size, size, n, heights, horizons, error);
  }();
  (void)written;
  return file.name;
}

// Reading the file and computing its grid under the default sky, as the
// window does on every change.
void timeSkyGrid(benchmark::State& state, const std::string& name) {
  const Sky sky;
  TerrainSkyGrid grid;
  TerrainError error;
  for (auto _ : state) {
    if (!computeSkyGrid(name, sky, grid, error)) state.SkipWithError(error.message.c_str());
    benchmark::DoNotOptimize(grid.skyGrid.data());
  }
}

void BM_computeSkyGrid_default(benchmark::State& state) { timeSkyGrid(state, defaultTerrain()); }
BENCHMARK(BM_computeSkyGrid_default)->Unit(benchmark::kMillisecond);

void BM_computeSkyGrid_1024x1024x64(benchmark::State& state) { timeSkyGrid(state, largeTerrain()); }
BENCHMARK(BM_computeSkyGrid_1024x1024x64)->Unit(benchmark::kMillisecond);

// What the build does for sample.hrz, file writing aside.
void BM_generateDefaultTerrain(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<float> heights = syntheticHeights(256, 1);
    benchmark::DoNotOptimize(computeHorizons(heights.data(), 256, 256, 36));
  }
}
BENCHMARK(BM_generateDefaultTerrain)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
