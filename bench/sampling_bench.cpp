// Speed of the sample computations the user waits for: the stratified set
// (key "p"), the jittered set with its regions (start-up and key "-"), and the
// Voronoi sweep under both.
#include <benchmark/benchmark.h>

#include <vector>

#include "sampling/regions.h"
#include "sampling/sample_points.h"
#include "sampling/voronoi.h"
#include "sky/sky_model.h"

namespace {

void BM_ComputeStratifiedSamples(benchmark::State& state) {
  const Sky sky;
  SampleSet set;
  for (auto _ : state) set = computeStratifiedSamples(sky, static_cast<int>(state.range(0)), true);
  state.counters["points"] = set.samplePoints.numElements;
}
BENCHMARK(BM_ComputeStratifiedSamples)->Arg(250)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_ComputeJitteredSamplesWithRegions(benchmark::State& state) {
  const Sky sky;
  SampleSet set;
  for (auto _ : state) set = computeJitteredSamples(sky, static_cast<int>(state.range(0)));
  state.counters["points"] = set.samplePoints.numElements;
}
BENCHMARK(BM_ComputeJitteredSamplesWithRegions)->Arg(250)->Arg(10000)->Unit(benchmark::kMillisecond);

// The sites of the regions of a 10000-point jittered set: the stereographic
// images of its directions.
void BM_BuildVoronoiCells(benchmark::State& state) {
  const SampleSet set = computeJitteredSamples(Sky(), static_cast<int>(state.range(0)));
  std::vector<float> xs, ys;
  for (int i = 0; i < set.samplePoints.numElements; ++i) {
    const SamplePoint& p = set.samplePoints.element(i);
    const Vec3 v = angleToVector(p.azimuth, p.elevation);
    xs.push_back(v.x / (1 + v.z));
    ys.push_back(v.y / (1 + v.z));
  }
  for (auto _ : state) {
    std::vector<VoronoiCell> cells = buildVoronoiCells(xs.data(), ys.data(), static_cast<int>(xs.size()));
    benchmark::DoNotOptimize(cells.data());
  }
  state.counters["sites"] = static_cast<double>(xs.size());
}
BENCHMARK(BM_BuildVoronoiCells)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_ComputeSampleWeights(benchmark::State& state) {
  const Sky sky;
  SampleSet set = computeStratifiedSamples(sky, static_cast<int>(state.range(0)), true);
  for (auto _ : state) computeSampleWeights(sky, set.samplePoints, set.regionPolygons);
}
BENCHMARK(BM_ComputeSampleWeights)->Arg(250)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
