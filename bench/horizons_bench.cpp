// Horizon computation for 72 directions: the plain march against the fast
// method, on grids of 256, 1024 and 2048 cells a side.
//
// Two landscapes: "steep" is the synthetic landscape of halvane-terrain (its
// relief grows with the grid, about 0.4 x size grid spacings); "gentle" is the
// same shape at a tenth of the height, like a site DEM at 30 m cells (about
// 40 spacings, 1.2 km, of relief on 1024 cells), where horizons are low and
// the march has to go far.
//
// The march on the larger grids takes minutes, so it is timed on every
// `stride`-th of the 72 directions (the directions spread evenly round the
// compass) and the counter `s_for_72` scales its time to all 72. The fast
// method always does all 72; `threads` 0 is one per core.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <vector>

#include <benchmark/benchmark.h>

#include "terrain/fast_horizons.h"
#include "terrain/horizons.h"
#include "terrain/synthetic_terrain.h"
#include "terrain/terrain_file.h"

namespace {

constexpr int kDirections = 72;

std::vector<float> landscape(int size, bool gentle) {
  std::vector<float> heights = syntheticHeights(size, 1);
  if (gentle)
    for (float& h : heights) h *= 0.1f;
  return heights;
}

// Args: size, gentle (0/1), stride.
void BM_MarchHorizons(benchmark::State& state) {
  const int size = int(state.range(0)), stride = int(state.range(2));
  const std::vector<float> heights = landscape(size, state.range(1) != 0);
  const float maxHeight = *std::max_element(heights.begin(), heights.end());
  std::vector<uint16_t> block(size_t(size) * size);
  double seconds = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    for (int j = 0; j < kDirections; j += stride) {
      double azimuth = directionAzimuth(j, kDirections);
      for (int r = 0; r < size; ++r)
        for (int c = 0; c < size; ++c)
          block[size_t(r) * size + c] =
              encodeHorizon(horizonSine(heights.data(), size, size, r, c, azimuth, maxHeight));
    }
    benchmark::DoNotOptimize(block.data());
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  state.counters["s_for_72"] = seconds / double(state.iterations()) * stride;
}

// Args: size, gentle (0/1), threads.
void BM_FastHorizons(benchmark::State& state) {
  const int size = int(state.range(0));
  const std::vector<float> heights = landscape(size, state.range(1) != 0);
  for (auto _ : state) {
    std::vector<uint16_t> horizons =
        computeHorizonsFast(heights.data(), size, size, kDirections, {}, int(state.range(2)));
    benchmark::DoNotOptimize(horizons.data());
  }
}

BENCHMARK(BM_MarchHorizons)
    ->ArgNames({"size", "gentle", "stride"})
    ->Args({256, 0, 1})
    ->Args({256, 1, 1})
    ->Args({1024, 0, 9})
    ->Args({1024, 1, 9})
    ->Args({2048, 0, 36})
    ->Args({2048, 1, 36})
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

BENCHMARK(BM_FastHorizons)
    ->ArgNames({"size", "gentle", "threads"})
    ->Args({256, 0, 0})
    ->Args({256, 1, 0})
    ->Args({1024, 0, 0})
    ->Args({1024, 1, 0})
    ->Args({1024, 1, 1})
    ->Args({2048, 0, 0})
    ->Args({2048, 1, 0})
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

}  // namespace
