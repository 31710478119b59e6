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
  void add(double x, double y) {
    xs.push_back(static_cast<float>(x));
    ys.push_back(static_cast<float>(y));
  }
  int size() const { return static_cast<int>(xs.size()); }
  std::vector<VoronoiCell> cells() const { return buildVoronoiCells(xs.data(), ys.data(), size()); }
};

// Random sites in the square, or the origin and jittered rings round it, as
// the projected sample directions lie.
Sites randomSites(int n, int rings) {
  std::mt19937 generator(n);
  std::uniform_real_distribution<float> coordinate(-1.0f, 1.0f), jitter(-1e-5f, 1e-5f);
  Sites sites;
  if (rings == 0)
    for (int i = 0; i < n; ++i) sites.add(coordinate(generator), coordinate(generator));
  else
    sites.add(0, 0);
  for (int r = 1; r <= rings; ++r)
    for (int k = 0; k < n; ++k) {
      const double angle = 6.28318 * (k + 0.5) / n + jitter(generator);
      const double radius = r / static_cast<double>(rings) + jitter(generator);
      sites.add(radius * std::cos(angle), radius * std::sin(angle));
    }
  return sites;
}

using EdgeKey = std::tuple<float, float, float, float>;

double distance(double x1, double y1, double x2, double y2) { return std::hypot(x1 - x2, y1 - y2); }

// The defining properties of the diagram. A point edge (four or more sites
// cocircular) is held by both cells under one key, others once each way.
void expectVoronoiProperties(const Sites& sites) {
  const std::vector<VoronoiCell> cells = sites.cells();
  ASSERT_EQ(static_cast<int>(cells.size()), sites.size());
  std::map<EdgeKey, std::vector<int>> owners;
  for (int c = 0; c < sites.size(); ++c)
    for (int k = 0; k < cells[c].numElements; ++k) {
      const VoronoiEdge& e = cells[c].element(k);
      owners[EdgeKey(e.x1, e.y1, e.x2, e.y2)].push_back(c);
    }
  for (int c = 0; c < sites.size(); ++c) {
    const double sx = sites.xs[c], sy = sites.ys[c];
    ASSERT_GT(cells[c].numElements, 0) << "cell " << c << " has no edge";
    for (int k = 0; k < cells[c].numElements; ++k) {
      const VoronoiEdge& e = cells[c].element(k);
      const EdgeKey key(e.x1, e.y1, e.x2, e.y2), reversed(e.x2, e.y2, e.x1, e.y1);
      std::vector<int> both = owners[key];
      if (key != reversed) {
        ASSERT_EQ(both, std::vector<int>{c}) << "edge recorded twice, cell " << c;
        ASSERT_EQ(owners[reversed].size(), 1u) << "cell " << c << " edge " << k << " has no reversed twin";
        both.push_back(owners[reversed][0]);
      }
      ASSERT_EQ(both.size(), 2u) << "edge " << k << " of cell " << c;
      const int other = both[0] == c ? both[1] : both[0];
      ASSERT_NE(other, c);

      const double dx = e.x2 - e.x1, dy = e.y2 - e.y1;
      EXPECT_GE(dx * (sy - e.y1) - dy * (sx - e.x1), -1e-6 * std::hypot(dx, dy) * distance(sx, sy, e.x1, e.y1))
          << "site " << c << " is right of its edge " << k;
      const double mx = 0.5 * (double(e.x1) + e.x2), my = 0.5 * (double(e.y1) + e.y2);
      const double own = distance(mx, my, sx, sy), tolerance = 1e-4 * (1 + own);
      EXPECT_NEAR(own, distance(mx, my, sites.xs[other], sites.ys[other]), tolerance)
          << "edge " << k << " of cell " << c << " is not on the bisector";
      for (int s = 0; s < sites.size(); ++s)
        ASSERT_GE(distance(mx, my, sites.xs[s], sites.ys[s]), own - tolerance)
            << "site " << s << " is nearer to edge " << k << " of cell " << c;
    }
  }
}

// Two sites on one vertical are the sweep's degenerate start.
TEST(VoronoiTest, DiagramsHaveTheirDefiningProperties) {
  EXPECT_TRUE(buildVoronoiCells(nullptr, nullptr, 0).empty());
  Sites two;
  two.add(0.3, -0.2);
  ASSERT_EQ(two.cells().size(), 1u);
  EXPECT_EQ(two.cells()[0].numElements, 0);
  two.xs = {0, 0};
  two.ys = {0, 1};
  const std::vector<VoronoiCell> cells = two.cells();
  ASSERT_TRUE(cells.size() == 2 && cells[0].numElements == 1 && cells[1].numElements == 1);
  const VoronoiEdge upper = cells[1].element(0);
  EXPECT_TRUE(upper.y1 == 0.5f && upper.y2 == 0.5f && upper.x1 < -1 && upper.x2 > 1)
      << upper.x1 << "," << upper.y1 << " to " << upper.x2 << "," << upper.y2;
  for (const Sites& sites : {two, randomSites(300, 0), randomSites(24, 8)}) expectVoronoiProperties(sites);
}

}  // namespace
