// The sky-view factor of the synthetic landscape of halvane-terrain at
// 1024 x 1024 cells, from its horizons in 36 and 72 directions, on one
// thread and on all cores (threads 0). The horizons are computed once, before
// the timing, and not counted.
#include <cstdint>
#include <map>
#include <vector>

#include <benchmark/benchmark.h>

#include "terrain/fast_horizons.h"
#include "terrain/sky_view.h"
#include "terrain/synthetic_terrain.h"
#include "terrain/terrain_file.h"

namespace {

constexpr int kSize = 1024;

const std::vector<float>& heights() {
  static const std::vector<float> grid = syntheticHeights(kSize, 1);
  return grid;
}

const std::vector<uint16_t>& horizons(int numDirections) {
  static std::map<int, std::vector<uint16_t>> cache;
  auto found = cache.find(numDirections);
  if (found == cache.end())
    found = cache.emplace(numDirections, computeHorizonsFast(heights().data(), kSize, kSize, numDirections)).first;
  return found->second;
}

// Args: directions, threads.
void BM_SkyViewFactor(benchmark::State& state) {
  const int n = int(state.range(0)), threads = int(state.range(1));
  const std::vector<uint16_t>& stored = horizons(n);
  const std::vector<Vec3> normals = computeNormals(heights().data(), kSize, kSize);
  for (auto _ : state) {
    std::vector<float> factors = computeSkyViewFactor(stored.data(), n, kSize, kSize, normals.data(), threads);
    benchmark::DoNotOptimize(factors.data());
  }
  state.counters["Mcells_dirs_per_s"] =
      benchmark::Counter(double(kSize) * kSize * n * 1e-6, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_SkyViewFactor)
    ->ArgNames({"directions", "threads"})
    ->Args({36, 1})
    ->Args({36, 0})
    ->Args({72, 1})
    ->Args({72, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
