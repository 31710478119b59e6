// The sky work of one frame, without drawing: the dome's 8192 luminance
// evaluations, the normaliser, and the contour lines' 32768 evaluations.
// Nothing is cached between frames, so this is paid on every redraw.
#include <benchmark/benchmark.h>

#include <vector>

#include "display/contours.h"
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

}  // namespace
