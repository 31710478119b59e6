// Speed of the sky model: skyLuminance per distribution (evaluations per
// second) and normaliseSky, which runs on every frame that shows the sky.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include "sky/sky_model.h"

namespace {

struct Direction {
  float azimuth, elevation;
};

// A spread of directions over the upper hemisphere, none close enough to the
// horizon to make POINT write its table.
const std::vector<Direction>& directions() {
  static const std::vector<Direction> all = [] {
    std::vector<Direction> d;
    for (int i = 0; i < 64; ++i)
      for (int j = 0; j < 16; ++j) d.push_back({i * 0.0981747f, 0.02f + j * 0.0967f});
    return d;
  }();
  return all;
}

const char* const kNames[] = {"UNIFORM", "OVERCAST", "CLEAR",  "SHARP",
                              "POINT",   "COSINE",   "TURBID", "GENERAL"};

Sky skyOf(SkyDistribution distribution) {
  Sky sky;
  sky.distribution = distribution;
  return sky;
}

void BM_skyLuminance(benchmark::State& state) {
  const Sky sky = skyOf(static_cast<SkyDistribution>(state.range(0)));
  const std::vector<Direction>& d = directions();
  size_t n = 0;
  for (auto _ : state) {
    const Direction& k = d[n];
    benchmark::DoNotOptimize(skyLuminance(sky, k.azimuth, k.elevation));
    if (++n == d.size()) n = 0;
  }
  state.SetItemsProcessed(state.iterations());
  state.SetLabel(kNames[state.range(0)]);
}
BENCHMARK(BM_skyLuminance)->DenseRange(0, 7);

void BM_normaliseSky(benchmark::State& state) {
  const Sky sky = skyOf(static_cast<SkyDistribution>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(normaliseSky(sky));
  state.SetLabel(kNames[state.range(0)]);
  state.SetItemsProcessed(state.iterations() * 128 * 64);
}
BENCHMARK(BM_normaliseSky)->DenseRange(0, 7)->Unit(benchmark::kMicrosecond);

}  // namespace
