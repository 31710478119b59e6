// Fast horizons: the plain march with skipping along the ray, on all cores.
//
// Index
//   1. The grid seen along a direction's dominant axis (MarchGrid)
//   2. Band maxima along a direction (BandMaxima)
//   3. One ray
//   4. One direction, all directions on threads
#include "terrain/fast_horizons.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <mutex>
#include <thread>

#include "terrain/terrain_file.h"

namespace {

// ---- 1. The grid seen along a direction's dominant axis ---------------------
//
// A ray advances one cell per step along its dominant axis (the "major"
// index m) and interpolates across the other (the "minor" index u). Rays that
// run mostly along the grid's second index use a transposed copy of the
// heights, so that one piece of code serves both: cell (m, u) is always
// heights[m * minorSize + u].
struct MarchGrid {
  std::vector<float> heights;
  // The larger of each cell and its neighbour across (u + 1): the highest
  // point a sample whose lower cell is (m, u) can interpolate.
  std::vector<float> dilated;
  int majorSize = 0, minorSize = 0;

  float height(int m, int u) const { return heights[size_t(m) * minorSize + u]; }
};

MarchGrid makeMarchGrid(const float* heights, int gridSizeX, int gridSizeY, bool transposed) {
  MarchGrid grid;
  grid.majorSize = transposed ? gridSizeY : gridSizeX;
  grid.minorSize = transposed ? gridSizeX : gridSizeY;
  const size_t cells = size_t(gridSizeX) * gridSizeY;
  if (!transposed) {
    grid.heights.assign(heights, heights + cells);
  } else {
    grid.heights.resize(cells);
    for (int r = 0; r < gridSizeX; ++r)
      for (int c = 0; c < gridSizeY; ++c)
        grid.heights[size_t(c) * gridSizeX + r] = heights[size_t(r) * gridSizeY + c];
  }
  grid.dilated.resize(cells);
  for (int m = 0; m < grid.majorSize; ++m)
    for (int u = 0; u < grid.minorSize; ++u)
      grid.dilated[size_t(m) * grid.minorSize + u] =
          u + 1 < grid.minorSize ? std::max(grid.height(m, u), grid.height(m, u + 1))
                                 : grid.height(m, u);
  return grid;
}

// A direction as the march takes it (the same quantities as horizonSine).
struct RayStep {
  int majorStep = 1;      // +1 or -1 along the major index
  double slope = 0;       // minor cells per step
  double stepLength = 1;  // horizontal distance per step, in grid spacings
  double curvature = 0;   // the earth's (horizonRise)
};

// ---- 2. Band maxima along a direction -------------------------------------------
//
// Level k at cell (m, u) bounds every sample of the next 2^k steps of any ray
// of this direction that is at major m with its minor position in [u, u + 1)
// (so its lower cell is u): the maximum of `dilated` over a band that follows
// the direction and widens by about a cell per level. Level 0 is `dilated`
// itself; level k + 1 joins level k here with level k where such a ray is 2^k
// steps on, whose minor position then lies in [u + 2^k slope, u + 1 + 2^k
// slope), widened a little against rounding. A band that leaves the grid ends
// there, as the rays do. The levels of a cell lie side by side in memory, as
// the march looks at several levels of one cell in a row.
struct BandMaxima {
  int numLevels = 0;
  std::vector<float> values;  // cell (m, u), level k: values[(m * minorSize + u) * numLevels + k]
};

void buildBandMaxima(const MarchGrid& grid, const RayStep& ray, int numLevels, BandMaxima& bands) {
  const int majorSize = grid.majorSize, minorSize = grid.minorSize;
  const size_t cells = grid.dilated.size();
  bands.numLevels = numLevels;
  bands.values.resize(cells * numLevels);
  float* values = bands.values.data();
  for (size_t cell = 0; cell < cells; ++cell) values[cell * numLevels] = grid.dilated[cell];
  std::vector<int> firstAhead(minorSize), lastAhead(minorSize);
  for (int k = 0; k + 1 < numLevels; ++k) {
    const int span = 1 << k;
    const double shift = span * ray.slope;
    for (int u = 0; u < minorSize; ++u) {
      firstAhead[u] = std::max(int(std::floor(u + shift - 1e-6)), 0);
      lastAhead[u] = std::min(int(std::floor(u + 1 + shift + 1e-6)), minorSize - 1);
    }
    for (int m = 0; m < majorSize; ++m) {
      float* here = values + size_t(m) * minorSize * numLevels;
      const int mAhead = m + span * ray.majorStep;
      const bool aheadOnGrid = mAhead >= 0 && mAhead < majorSize;
      const float* ahead = values + size_t(aheadOnGrid ? mAhead : 0) * minorSize * numLevels;
      for (int u = 0; u < minorSize; ++u) {
        float highest = here[u * numLevels + k];
        if (aheadOnGrid)
          for (int q = firstAhead[u]; q <= lastAhead[u]; ++q)
            highest = std::max(highest, ahead[q * numLevels + k]);
        here[u * numLevels + k + 1] = highest;
      }
    }
  }
}

// ---- 3. One ray ------------------------------------------------------------------------

// The rise (tangent of the elevation angle) of the ray's sample at step t,
// exactly as horizonSine computes it; false when step t is off the grid.
bool sampleRise(const MarchGrid& grid, const RayStep& ray, int m0, int u0, double z0, int t,
                double& rise) {
  const int m = m0 + t * ray.majorStep;
  const double across = u0 + t * ray.slope;
  if (m < 0 || m >= grid.majorSize || across < 0 || across > grid.minorSize - 1) return false;
  const int low = std::min(int(across), grid.minorSize - 1);
  const double frac = across - low;
  double height;
  if (frac > 0) {
    double a = grid.height(m, low), b = grid.height(m, low + 1);
    height = a + (b - a) * frac;
  } else {
    height = grid.height(m, low);
  }
  rise = horizonRise(height, z0, t * ray.stepLength, ray.curvature);
  return true;
}

// The steepest rise seen from the surface of cell (m0, u0), or -infinity when
// the ray leaves the grid at once, and in `bestStep` the step where it was
// found (0 if none). The samples and their arithmetic are those of
// horizonSine. `guessStep` (0 for none) is a step likely to be near the
// answer, tried first so that the skipping starts with a high bar.
double steepestRise(const MarchGrid& grid, const BandMaxima& bands, const RayStep& ray, int m0,
                    int u0, int guessStep, int& bestStep) {
  const int majorSize = grid.majorSize, minorSize = grid.minorSize;
  const double z0 = grid.height(m0, u0);
  double best = -std::numeric_limits<double>::infinity();
  bestStep = 0;
  if (guessStep > 0 && sampleRise(grid, ray, m0, u0, z0, guessStep, best)) bestStep = guessStep;

  // The next 2^k steps are passed unseen when their band's highest point,
  // lowered by the curvature at the nearest of their distances (no sample
  // there is lowered less) and put at that distance (or at the farthest if
  // it then lies below the cell), rises no more steeply than `best`. The
  // lowered height is computed as horizonRise computes a sample's, so it
  // bounds every sample's to the last bit; the test is multiplied out and
  // kept on the safe side by a relative margin far above rounding, so a
  // sample that could be steeper is always taken: the result is the march's
  // maximum, to the last bit.
  constexpr double kBelow = 1 - 1e-9, kAbove = 1 + 1e-9;
  // The first few samples are taken one by one: so close to the cell the
  // bands would rarely let the ray pass anyway.
  constexpr int kNearSteps = 8;
  int t = 1;
  for (double sample; t <= kNearSteps && sampleRise(grid, ray, m0, u0, z0, t, sample); ++t)
    if (sample > best) {
      best = sample;
      bestStep = t;
    }
  const int topLevel = bands.numLevels - 1;
  int level = std::min(3, topLevel);
  for (;;) {
    const int m = m0 + t * ray.majorStep;
    const double across = u0 + t * ray.slope;
    if (m < 0 || m >= majorSize || across < 0 || across > minorSize - 1) break;
    const int low = std::min(int(across), minorSize - 1);

    // The longest stretch from here, no longer than the last one, that can be
    // passed unseen; else the sample itself.
    const float* cellBands = bands.values.data() + (size_t(m) * minorSize + low) * bands.numLevels;
    const double nearest = t * ray.stepLength;
    const double drop = ray.curvature * nearest * nearest;
    for (;; --level) {
      const double rise = double(cellBands[level]) - z0 - drop;
      const double limit = rise >= 0 ? best * nearest * kBelow
                                     : best * ((t + (1 << level) - 1) * ray.stepLength) * kAbove;
      if (rise <= limit) {
        t += 1 << level;
        if (level < topLevel) ++level;
        break;
      }
      if (level == 0) {
        double sample;
        sampleRise(grid, ray, m0, u0, z0, t, sample);
        if (sample > best) {
          best = sample;
          bestStep = t;
        }
        ++t;
        break;
      }
    }
  }
  return best;
}

// ---- 4. One direction, all directions on threads ----------------------------------------

// Levels of band maxima: spans of up to 128 steps (eight floats a cell, two
// cells to a cache line; more levels cost more in memory traffic than they
// save in steps), fewer on small grids.
int bandLevels(int majorSize) {
  int levels = 1;
  while (levels < 8 && (1 << (levels - 1)) < majorSize) ++levels;
  return levels;
}

// Cells are taken line by line along the direction, each line from its far
// end backwards: the cell just done lies one step ahead on the ray, so its
// horizon is at about the same place (the guess for this cell), and the two
// rays cross the same stretch of memory. Line b holds the cells
// (m, b + round(m * slope)), so every cell of a row lies on exactly one line.
void computeDirection(const MarchGrid& alongX, const MarchGrid& alongY, int gridSizeY, int j,
                      int numDirections, double curvature, BandMaxima& bands, uint16_t* block) {
  const double azimuth = directionAzimuth(j, numDirections);
  const double dx = std::cos(azimuth), dy = std::sin(azimuth);
  const bool majorIsX = std::fabs(dx) >= std::fabs(dy);
  const double major = majorIsX ? dx : dy, minor = majorIsX ? dy : dx;
  RayStep ray;
  ray.majorStep = major > 0 ? 1 : -1;
  ray.slope = minor / std::fabs(major);
  ray.stepLength = 1 / std::fabs(major);
  ray.curvature = curvature;
  const MarchGrid& grid = majorIsX ? alongX : alongY;
  const int majorSize = grid.majorSize, minorSize = grid.minorSize;
  buildBandMaxima(grid, ray, bandLevels(majorSize), bands);

  const long farShift = std::lround((majorSize - 1) * ray.slope);
  const long lowestShift = std::min(0L, farShift), highestShift = std::max(0L, farShift);
  for (long line = -highestShift; line < minorSize - lowestShift; ++line) {
    int guess = 0;
    for (int i = 0; i < majorSize; ++i) {
      const int m0 = ray.majorStep > 0 ? majorSize - 1 - i : i;
      const long u0 = line + std::lround(m0 * ray.slope);
      if (u0 < 0 || u0 >= minorSize) {
        guess = 0;
        continue;
      }
      int bestStep;
      double best = steepestRise(grid, bands, ray, m0, int(u0), guess, bestStep);
      guess = bestStep > 0 ? bestStep + 1 : 0;
      double sine = best == -std::numeric_limits<double>::infinity()
                        ? 0
                        : best / std::sqrt(1 + best * best);
      size_t cell = majorIsX ? size_t(m0) * gridSizeY + size_t(u0) : size_t(u0) * gridSizeY + m0;
      block[cell] = encodeHorizon(sine);
    }
  }
}

}  // namespace

std::vector<uint16_t> computeHorizonsFast(const float* heights, int gridSizeX, int gridSizeY,
                                          int numDirections, double curvature,
                                          const HorizonProgress& progress, int numThreads) {
  const size_t cells = size_t(gridSizeX) * size_t(gridSizeY);
  std::vector<uint16_t> horizons(cells * size_t(numDirections));
  if (cells == 0 || numDirections <= 0) return horizons;
  const MarchGrid alongX = makeMarchGrid(heights, gridSizeX, gridSizeY, false);
  const MarchGrid alongY = makeMarchGrid(heights, gridSizeX, gridSizeY, true);

  if (numThreads <= 0) numThreads = int(std::max(1u, std::thread::hardware_concurrency()));
  numThreads = std::min(numThreads, numDirections);
  std::atomic<int> nextDirection{0};
  std::mutex progressMutex;
  int done = 0;
  auto work = [&] {
    BandMaxima bands;
    for (int j; (j = nextDirection++) < numDirections;) {
      computeDirection(alongX, alongY, gridSizeY, j, numDirections, curvature, bands,
                       horizons.data() + cells * size_t(j));
      std::lock_guard<std::mutex> lock(progressMutex);
      ++done;
      if (progress) progress(done, numDirections);
    }
  };
  std::vector<std::thread> helpers;
  for (int i = 1; i < numThreads; ++i) helpers.emplace_back(work);
  work();
  for (std::thread& helper : helpers) helper.join();
  return horizons;
}
