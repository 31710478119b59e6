// How long the user waits for the key commands and the sky menu: the
// window's own commands (app/commands.h), run between the key and the next
// frame, on the default terrain (256 x 256 cells, 36 directions) and the
// default sky. Drawing is not included.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/commands.h"
#include "terrain/horizons.h"
#include "terrain/sky_grid.h"
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

// The window after start-up: default sky and sun, the jittered set, and a
// terrain step that rereads the default terrain as the window does.
struct Window {
  BenchTerrain file;
  AppState state;
  TerrainSkyGrid terrain;
  CommandTarget target{state, [this] {
                         TerrainError error;
                         computeSkyGrid(file.name, state.sky, terrain, error);
                       }};
  Window() { startUpCommand(target); }
};

void BM_arrowKey(benchmark::State& state) {
  Window w;
  bool up = true;
  for (auto _ : state) {
    sunStepCommand(w.target, up ? SunStep::Up : SunStep::Down);
    up = !up;
  }
}
BENCHMARK(BM_arrowKey)->Unit(benchmark::kMillisecond);

// A sky menu entry or a distribution key.
void BM_skyMenuChoice(benchmark::State& state) {
  Window w;
  int value = 0;
  for (auto _ : state) {
    selectDistributionCommand(w.target, value);
    value = value == 0 ? 18 : 0;
  }
}
BENCHMARK(BM_skyMenuChoice)->Unit(benchmark::kMillisecond);

// Key `p` with N points.
void BM_computeKey(benchmark::State& state) {
  Window w;
  w.state.numSamplePoints = static_cast<int>(state.range(0));
  for (auto _ : state) computeSamplePointsCommand(w.target);
}
BENCHMARK(BM_computeKey)->Arg(250)->Arg(2000)->Unit(benchmark::kMillisecond);

// Key `-` from 300 to 250 points.
void BM_fewerPointsKey(benchmark::State& state) {
  Window w;
  for (auto _ : state) {
    w.state.numSamplePoints = 300;
    fewerPointsCommand(w.target);
  }
}
BENCHMARK(BM_fewerPointsKey)->Unit(benchmark::kMillisecond);

}  // namespace
