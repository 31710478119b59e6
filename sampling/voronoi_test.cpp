#include "sampling/voronoi.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <tuple>
#include <vector>

namespace {

struct Sites {
  std::vector<float> xs, ys;
  void add(float x, float y) {
    xs.push_back(x);
    ys.push_back(y);
  }
  int size() const { return static_cast<int>(xs.size()); }
};

Sites randomSites(int n, unsigned seed) {
  std::mt19937 generator(seed);
  std::uniform_real_distribution<float> coordinate(-1.0f, 1.0f);
  Sites sites;
  for (int i = 0; i < n; ++i) {
    float x = coordinate(generator);
    sites.add(x, coordinate(generator));
  }
  return sites;
}

// Rings round the origin, as the projected sample directions lie.
Sites jitteredRings(int rings, int perRing, unsigned seed) {
  std::mt19937 generator(seed);
  std::uniform_real_distribution<float> jitter(-1e-5f, 1e-5f);
  Sites sites;
  sites.add(0, 0);
  for (int r = 1; r <= rings; ++r)
    for (int k = 0; k < perRing; ++k) {
      double angle = 6.28318 * (k + 0.5) / perRing + jitter(generator);
      double radius = r / static_cast<double>(rings) + jitter(generator);
      sites.add(static_cast<float>(radius * std::cos(angle)),
                static_cast<float>(radius * std::sin(angle)));
    }
  return sites;
}

using EdgeKey = std::tuple<float, float, float, float>;

EdgeKey keyOf(const VoronoiEdge& e) { return EdgeKey(e.x1, e.y1, e.x2, e.y2); }
EdgeKey reversedKeyOf(const VoronoiEdge& e) { return EdgeKey(e.x2, e.y2, e.x1, e.y1); }

double distance(double x1, double y1, double x2, double y2) { return std::hypot(x1 - x2, y1 - y2); }

// Checks the defining properties of the diagram: each edge is shared with
// exactly one other cell, reversed; each site lies to the left of its edges;
// the midpoint of each edge is as far from both of its sites as from any
// site, and no site is nearer; no cell is without edges.
void expectVoronoiProperties(const Sites& sites, const std::vector<VoronoiCell>& cells) {
  ASSERT_EQ(static_cast<int>(cells.size()), sites.size());
  std::map<EdgeKey, std::vector<int>> owners;
  for (int c = 0; c < sites.size(); ++c)
    for (int k = 0; k < cells[c].numElements; ++k) owners[keyOf(cells[c].element(k))].push_back(c);

  int edges = 0;
  for (int c = 0; c < sites.size(); ++c) {
    const double sx = sites.xs[c], sy = sites.ys[c];
    ASSERT_GT(cells[c].numElements, 0) << "cell " << c << " has no edge";
    for (int k = 0; k < cells[c].numElements; ++k) {
      const VoronoiEdge& e = cells[c].element(k);
      ++edges;
      int other;
      if (keyOf(e) == reversedKeyOf(e)) {
        // A point edge where four or more sites are cocircular: both cells
        // hold the same key.
        const std::vector<int>& both = owners[keyOf(e)];
        ASSERT_EQ(both.size(), 2u) << "point edge of cell " << c;
        other = both[0] == c ? both[1] : both[0];
      } else {
        ASSERT_EQ(owners[keyOf(e)], std::vector<int>{c}) << "edge recorded twice, cell " << c;
        auto twin = owners.find(reversedKeyOf(e));
        ASSERT_NE(twin, owners.end()) << "cell " << c << " edge " << k << " has no reversed twin";
        ASSERT_EQ(twin->second.size(), 1u);
        other = twin->second[0];
      }
      ASSERT_NE(other, c);

      const double dx = e.x2 - e.x1, dy = e.y2 - e.y1;
      const double length = std::hypot(dx, dy);
      const double cross = dx * (sy - e.y1) - dy * (sx - e.x1);
      EXPECT_GE(cross, -1e-6 * length * distance(sx, sy, e.x1, e.y1))
          << "site " << c << " is right of its edge " << k;

      const double mx = 0.5 * (double(e.x1) + e.x2), my = 0.5 * (double(e.y1) + e.y2);
      const double own = distance(mx, my, sx, sy);
      const double tolerance = 1e-4 * (1 + own);
      EXPECT_NEAR(own, distance(mx, my, sites.xs[other], sites.ys[other]), tolerance)
          << "edge " << k << " of cell " << c << " is not on the bisector";
      for (int s = 0; s < sites.size(); ++s)
        ASSERT_GE(distance(mx, my, sites.xs[s], sites.ys[s]), own - tolerance)
            << "site " << s << " is nearer to edge " << k << " of cell " << c;
    }
  }
  EXPECT_EQ(edges % 2, 0);
}

TEST(VoronoiTest, NoSitesNoCellsAndOneSiteAnEmptyCell) {
  const float x = 0.3f, y = -0.2f;
  std::vector<VoronoiCell> cells = buildVoronoiCells(&x, &y, 1);
  ASSERT_EQ(cells.size(), 1u);
  EXPECT_EQ(cells[0].numElements, 0);
  EXPECT_TRUE(buildVoronoiCells(nullptr, nullptr, 0).empty());
}

// Two sites on one vertical (the sweep's degenerate start) share one edge
// along their bisector across the whole square; random sites and rings round
// the origin (as the projected sample directions lie) have the diagram's
// defining properties.
TEST(VoronoiTest, DiagramsHaveTheirDefiningProperties) {
  Sites two;
  two.add(0, 0);
  two.add(0, 1);
  const std::vector<VoronoiCell> cells = buildVoronoiCells(two.xs.data(), two.ys.data(), 2);
  ASSERT_TRUE(cells.size() == 2 && cells[0].numElements == 1 && cells[1].numElements == 1);
  const VoronoiEdge upper = cells[1].element(0);
  EXPECT_TRUE(upper.y1 == 0.5f && upper.y2 == 0.5f && upper.x1 < -1 && upper.x2 > 1)
      << upper.x1 << "," << upper.y1 << " to " << upper.x2 << "," << upper.y2;
  for (const Sites& sites : {two, randomSites(300, 1), jitteredRings(8, 24, 11)})
    expectVoronoiProperties(sites, buildVoronoiCells(sites.xs.data(), sites.ys.data(), sites.size()));
}

}  // namespace
