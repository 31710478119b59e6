// The library is reentrant: sample sets, weights, normalisers, sky-light
// maps and the sky's display geometry computed for different skies on two
// threads at once, step by step in lockstep, are exactly those computed one
// after the other.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "display/contours.h"
#include "display/scene_geometry.h"
#include "sampling/sample_file.h"
#include "sampling/sample_points.h"
#include "sky/sky_model.h"
#include "terrain/sky_light.h"
#include "terrain/synthetic_terrain.h"
#include "terrain/terrain_test_files.h"

namespace {

// Everything the library computes for one sky, written out exactly (floats
// in hexadecimal) for comparison. `meet` is called between the steps.
std::string computeAll(const Sky& sky, const Terrain& terrain, const std::function<void()>& meet = [] {}) {
  std::ostringstream out;
  out << std::hexfloat << formatSamplePoints(sky, computeStratifiedSamples(sky, 300, true).samplePoints);
  meet();
  SampleSet jittered = computeJitteredSamples(sky, 400);
  computeSampleWeights(sky, jittered.samplePoints, jittered.regionPolygons);
  out << formatSamplePoints(sky, jittered.samplePoints);
  meet();
  const float normaliser = normaliseSky(sky);
  out << normaliser << '\n';
  meet();
  for (float light : computeSkyLight(terrain, sky)) out << light << ' ';
  meet();
  std::vector<DomeCell> cells;
  computeDomeCells(sky, normaliser, 5, cells);
  for (const DomeCell& cell : cells) out << cell.grey << ' ';
  meet();
  std::vector<Vec3> segments;
  computeContourSegments(sky, normaliser, 5, segments);
  for (const Vec3& v : segments) out << v.x << ' ' << v.y << ' ' << v.z << ' ';
  return out.str();
}

// Two threads meet here before every step, so that both run the same
// function at the same moment, each for its own sky: a table or buffer kept
// between calls is then used by both at once.
class SpinBarrier {
 public:
  void arriveAndWait() {
    const int generation = generation_.load();
    if (arrived_.fetch_add(1) == 1) {
      arrived_.store(0);
      generation_.fetch_add(1);
    } else {
      while (generation_.load() == generation) std::this_thread::yield();
    }
  }

 private:
  std::atomic<int> arrived_{0}, generation_{0};
};

TEST(ConcurrencyTest, TwoSkiesOnTwoThreadsGiveTheResultsOfOneAfterTheOther) {
  const Terrain terrain = terrainOf(syntheticHeights(48, 3), 48, 48, 16);
  const std::vector<Sky> skies = {
      Sky(SkyDistribution::CLEAR, 11, 0.3f, 1.0f), Sky(SkyDistribution::GENERAL, 4, 1.1f, 4.0f),
      Sky(SkyDistribution::SHARP, 11, 0.6f, 2.5f), Sky(SkyDistribution::OVERCAST, 11, 0.2f, 0.5f)};
  std::vector<std::string> alone;
  for (const Sky& sky : skies) alone.push_back(computeAll(sky, terrain));
  ASSERT_TRUE(alone[0] != alone[1]);  // the skies differ, so a mix-up would show

  // Each thread works through the skies three times from its own end, in
  // step with the other, so that different skies are computed at once.
  std::vector<std::string> together[2];
  SpinBarrier barrier;
  const auto skyOf = [&](int thread, size_t i) { return thread == 0 ? i % 4 : 3 - i % 4; };
  auto work = [&](int thread) {
    for (size_t i = 0; i < 12; ++i)
      together[thread].push_back(computeAll(skies[skyOf(thread, i)], terrain, [&] { barrier.arriveAndWait(); }));
  };
  std::thread first(work, 0), second(work, 1);
  first.join();
  second.join();
  for (int thread = 0; thread < 2; ++thread)
    for (size_t i = 0; i < 12; ++i)
      EXPECT_TRUE(together[thread][i] == alone[skyOf(thread, i)]) << "thread " << thread << " result " << i;
}

}  // namespace
