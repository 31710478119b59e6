// The sky work of one frame, without drawing: the dome's 8192 luminance
// evaluations, the normaliser, and the contour lines' 32768 evaluations.
// Nothing is cached between frames, so this is paid on every redraw.
#include <benchmark/benchmark.h>

#include <vector>

#include "app/app_state.h"
#include "display/contours.h"
#include "display/scene_geometry.h"
#include "sky/sky_model.h"

namespace {

void useSky(SkyDistribution distribution) {
  appState.distribution = distribution;
  appState.generalType = 11;
  appState.sunDirection = angleToVector(appState.sunAzimuth, appState.sunElevation);
  normaliseSky();
}

void BM_domeCells(benchmark::State& state) {
  useSky(CLEAR);
  for (auto _ : state) {
    std::vector<DomeCell> cells;
    computeDomeCells(cells);
    benchmark::DoNotOptimize(cells.data());
  }
}
BENCHMARK(BM_domeCells)->Unit(benchmark::kMillisecond);

void BM_contourSegments(benchmark::State& state) {
  useSky(CLEAR);
  for (auto _ : state) {
    std::vector<Vec3> segments;
    computeContourSegments(segments);
    benchmark::DoNotOptimize(segments.data());
  }
}
BENCHMARK(BM_contourSegments)->Unit(benchmark::kMillisecond);

// A whole frame's sky with the contour lines on, per distribution.
void BM_frameSky(benchmark::State& state) {
  useSky(static_cast<SkyDistribution>(state.range(0)));
  for (auto _ : state) {
    normaliseSky();
    std::vector<DomeCell> cells;
    computeDomeCells(cells);
    std::vector<Vec3> segments;
    computeContourSegments(segments);
    benchmark::DoNotOptimize(cells.data());
    benchmark::DoNotOptimize(segments.data());
  }
}
BENCHMARK(BM_frameSky)
    ->Arg(CLEAR)
    ->Arg(SHARP)
    ->Arg(GENERAL)
    ->ArgName("distribution")
    ->Unit(benchmark::kMillisecond);

}  // namespace
