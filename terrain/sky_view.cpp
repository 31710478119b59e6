// The sky-view factor and the visible sky of terrain cells.
//
// Index
//   1. The terms of one direction
//   2. One cell
//   3. Every cell: chunks of cells on threads, terms of stored horizons from tables
#include "terrain/sky_view.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

#include "terrain/horizons.h"

namespace {

// ---- 1. The terms of one direction ----------------------------------------------------

// The two factors of a direction's term, for the sine s of its horizon: the
// horizontal surface's share 1 - s^2 and the tilt's acos s - s sqrt(1 - s^2).
double levelFactor(double s) { return 1 - s * s; }
double tiltFactor(double s) { return std::acos(s) - s * std::sqrt(1 - s * s); }

double decodedSine(uint16_t value) { return value / 32768.0 - 1; }

// The sine of the elevation at which the tangent plane of a cell with normal
// components nz (up) and nd (along the direction) crosses the direction's
// vertical plane: the plane rises along d with slope -nd / nz.
double tangentPlaneSine(double nz, double nd) { return -nd / std::sqrt(nz * nz + nd * nd); }

struct Direction {
  double x = 0, y = 0;  // horizontal unit vector in the grid's frame
};

std::vector<Direction> directionVectors(int numDirections) {
  std::vector<Direction> directions(size_t(std::max(numDirections, 0)));
  for (int j = 0; j < numDirections; ++j) {
    double azimuth = directionAzimuth(j, numDirections);
    directions[j] = {std::cos(azimuth), std::sin(azimuth)};
  }
  return directions;
}

}  // namespace

double skyViewTerm(double nz, double nd, double s) { return nz * levelFactor(s) + nd * tiltFactor(s); }

// ---- 2. One cell -------------------------------------------------------------------------

double cellSkyViewFactor(const uint16_t* horizons, size_t stride, int numDirections, const Vec3& normal) {
  const std::vector<Direction> directions = directionVectors(numDirections);
  const double nz = normal.z;
  double sum = 0;
  for (int j = 0; j < numDirections; ++j) {
    const double nd = normal.x * directions[j].x + normal.y * directions[j].y;
    const double s = std::max({0.0, decodedSine(horizons[j * stride]), tangentPlaneSine(nz, nd)});
    sum += skyViewTerm(nz, nd, s);
  }
  return std::min(sum / numDirections, 1.0);
}

double cellVisibleSky(const uint16_t* horizons, size_t stride, int numDirections) {
  double sum = 0;
  for (int j = 0; j < numDirections; ++j) sum += 1 - std::max(0.0, decodedSine(horizons[j * stride]));
  return sum / numDirections;
}

// ---- 3. Every cell ---------------------------------------------------------------------------

namespace {

// Cells per chunk: their sums stay in the core's cache while the directions
// pass over them, and each direction's horizons of the chunk are read in one run.
constexpr size_t kChunkCells = 4096;

// The two factors of every stored horizon at or above the level one (value
// 32768 + k at index k); lower ones count as level.
struct FactorTables {
  std::vector<double> level, tilt;
  FactorTables() : level(32768), tilt(32768) {
    for (int k = 0; k < 32768; ++k) {
      double s = decodedSine(uint16_t(32768 + k));
      level[k] = levelFactor(s);
      tilt[k] = tiltFactor(s);
    }
  }
};

// Runs chunk(first, last) over the cells [0, cells) in chunks, on numThreads
// threads (0: one per core).
template <class Chunk>
void forEachChunk(size_t cells, int numThreads, const Chunk& chunk) {
  const size_t chunks = (cells + kChunkCells - 1) / kChunkCells;
  if (numThreads <= 0) numThreads = int(std::max(1u, std::thread::hardware_concurrency()));
  numThreads = int(std::min<size_t>(size_t(numThreads), std::max<size_t>(chunks, 1)));
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t k; (k = next++) < chunks;) chunk(k * kChunkCells, std::min(cells, (k + 1) * kChunkCells));
  };
  std::vector<std::thread> helpers;
  for (int i = 1; i < numThreads; ++i) helpers.emplace_back(work);
  work();
  for (std::thread& helper : helpers) helper.join();
}

}  // namespace

std::vector<float> computeSkyViewFactor(const uint16_t* horizons, int numDirections, int gridSizeX,
                                        int gridSizeY, const Vec3* normals, int numThreads) {
  const size_t cells = size_t(gridSizeX) * size_t(gridSizeY);
  std::vector<float> factors(cells);
  if (cells == 0 || numDirections <= 0) return factors;
  const std::vector<Direction> directions = directionVectors(numDirections);
  const FactorTables tables;
  forEachChunk(cells, numThreads, [&](size_t first, size_t last) {
    double sums[kChunkCells] = {};
    for (int j = 0; j < numDirections; ++j) {
      const uint16_t* block = horizons + cells * size_t(j);
      const Direction d = directions[j];
      for (size_t i = first; i < last; ++i) {
        const double nz = normals[i].z;
        const double nd = normals[i].x * d.x + normals[i].y * d.y;
        const double stored = decodedSine(block[i]), plane = tangentPlaneSine(nz, nd);
        double term;
        if (plane > stored && plane > 0) {
          term = skyViewTerm(nz, nd, plane);
        } else {
          const int k = std::max(int(block[i]) - 32768, 0);
          term = nz * tables.level[k] + nd * tables.tilt[k];
        }
        sums[i - first] += term;
      }
    }
    for (size_t i = first; i < last; ++i) factors[i] = float(std::min(sums[i - first] / numDirections, 1.0));
  });
  return factors;
}

std::vector<float> computeVisibleSky(const uint16_t* horizons, int numDirections, int gridSizeX,
                                     int gridSizeY, int numThreads) {
  const size_t cells = size_t(gridSizeX) * size_t(gridSizeY);
  std::vector<float> shares(cells);
  if (cells == 0 || numDirections <= 0) return shares;
  forEachChunk(cells, numThreads, [&](size_t first, size_t last) {
    for (size_t i = first; i < last; ++i) shares[i] = float(cellVisibleSky(horizons + i, cells, numDirections));
  });
  return shares;
}
