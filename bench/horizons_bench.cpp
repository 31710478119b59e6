// Horizon computation for 72 directions: the plain march against the fast
// method, on the synthetic landscape of halvane-terrain at 256, 1024 and 2048
// cells a side.
//
// Only the shape of a terrain matters to either method, not its relief:
// scaling all heights scales every sample's rise alike, so the same samples
// win and the same stretches are skipped.
//
// The march on the larger grids takes many minutes, so it is timed on every
// `stride`-th of the 72 directions (spread evenly round the compass) and the
// counter `s_for_72` scales its time to all 72. The fast method always does
// all 72; `threads` 0 is one per core, and `curved` 1 lowers distant terrain
// by the earth's curvature as for a DEM of 30 m cells (refraction 0.13),
// the default of halvane-terrain --dem (the heights stay the landscape's: in
// metres its relief is then a few hundred metres).
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

// Args: size, stride.
void BM_MarchHorizons(benchmark::State& state) {
  const int size = int(state.range(0)), stride = int(state.range(1));
  const std::vector<float> heights = syntheticHeights(size, 1);
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

// Args: size, threads, curved.
void BM_FastHorizons(benchmark::State& state) {
  const int size = int(state.range(0));
  const std::vector<float> heights = syntheticHeights(size, 1);
  const double curvature = state.range(2) ? earthCurvature(30, kRefractionCoefficient) : 0;
  for (auto _ : state) {
    std::vector<uint16_t> horizons =
        computeHorizonsFast(heights.data(), size, size, kDirections, curvature, {}, int(state.range(1)));
    benchmark::DoNotOptimize(horizons.data());
  }
}

BENCHMARK(BM_MarchHorizons)
    ->ArgNames({"size", "stride"})
    ->Args({256, 1})
    ->Args({1024, 24})
    ->Args({2048, 72})
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

BENCHMARK(BM_FastHorizons)
    ->ArgNames({"size", "threads", "curved"})
    ->Args({256, 0, 0})
    ->Args({1024, 0, 0})
    ->Args({1024, 0, 1})
    ->Args({1024, 1, 0})
    ->Args({1024, 1, 1})
    ->Args({2048, 0, 1})
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

}  // namespace
