// Speed of the sun's position: the everyday algorithm and the reference one,
// in positions per second (items_per_second) on one core, over a spread of
// sites and the hours of a year.
#include <benchmark/benchmark.h>

#include <vector>

#include "sky/solar_position.h"

namespace {

struct Query {
  double latitude, longitude;
  UtcTime time;
};

// 4096 sites and instants: latitudes -80..80, longitudes all round, hours
// through the year 2026.
const std::vector<Query>& queries() {
  static const std::vector<Query> all = [] {
    std::vector<Query> q;
    const int64_t start = 1767225600000;  // 2026-01-01T00:00:00Z
    for (int i = 0; i < 4096; ++i)
      q.push_back({-80.0 + i * 37 % 161, -180.0 + i * 91 % 360, {start + i * int64_t(2 * 3600000 + 7 * 60000)}});
    return q;
  }();
  return all;
}

template <SolarPosition (*Algorithm)(double, double, UtcTime, const SolarSite&)>
void BM_SolarPosition(benchmark::State& state) {
  const std::vector<Query>& q = queries();
  const SolarSite site;
  size_t n = 0;
  for (auto _ : state) {
    const Query& k = q[n];
    benchmark::DoNotOptimize(Algorithm(k.latitude, k.longitude, k.time, site));
    if (++n == q.size()) n = 0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK_TEMPLATE(BM_SolarPosition, solarPosition)->Name("solarPosition");
BENCHMARK_TEMPLATE(BM_SolarPosition, solarPositionSpa)->Name("solarPositionSpa");

}  // namespace
