// Fast horizons: the plain march with block skipping, on all cores.
//
// Index
//   1. The grid seen along a direction's dominant axis (MarchGrid)
//   2. The pyramid of block maxima
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
  int majorSize = 0, minorSize = 0;
  // Level l holds the maxima of blocks of 2^l x 2^l cells of `dilated`, the
  // larger of each cell and its neighbour across (u + 1): the largest height
  // a sample whose lower cell is (m, u) can interpolate.
  std::vector<std::vector<float>> levels;
  std::vector<const float*> levelData;
  std::vector<int> levelMinorSize;

  float height(int m, int u) const { return heights[size_t(m) * minorSize + u]; }
};

// ---- 2. The pyramid of block maxima ----------------------------------------------

void buildPyramid(MarchGrid& grid) {
  const int majorSize = grid.majorSize, minorSize = grid.minorSize;
  std::vector<float> dilated(grid.heights.size());
  for (int m = 0; m < majorSize; ++m)
    for (int u = 0; u < minorSize; ++u)
      dilated[size_t(m) * minorSize + u] =
          u + 1 < minorSize ? std::max(grid.height(m, u), grid.height(m, u + 1)) : grid.height(m, u);
  grid.levels.push_back(std::move(dilated));
  grid.levelMinorSize.push_back(minorSize);

  int rows = majorSize, cols = minorSize;
  while (rows > 1 || cols > 1) {
    const std::vector<float>& fine = grid.levels.back();
    const int coarseRows = (rows + 1) / 2, coarseCols = (cols + 1) / 2;
    std::vector<float> coarse(size_t(coarseRows) * coarseCols);
    for (int i = 0; i < coarseRows; ++i)
      for (int k = 0; k < coarseCols; ++k) {
        float highest = -std::numeric_limits<float>::infinity();
        for (int di = 0; di < 2; ++di)
          for (int dk = 0; dk < 2; ++dk) {
            int r = 2 * i + di, c = 2 * k + dk;
            if (r < rows && c < cols) highest = std::max(highest, fine[size_t(r) * cols + c]);
          }
        coarse[size_t(i) * coarseCols + k] = highest;
      }
    grid.levels.push_back(std::move(coarse));
    grid.levelMinorSize.push_back(coarseCols);
    rows = coarseRows;
    cols = coarseCols;
  }
}

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
      for (int c = 0; c < gridSizeY; ++c) grid.heights[size_t(c) * gridSizeX + r] = heights[size_t(r) * gridSizeY + c];
  }
  buildPyramid(grid);
  for (const std::vector<float>& level : grid.levels) grid.levelData.push_back(level.data());
  return grid;
}

// ---- 3. One ray ------------------------------------------------------------------------

// A direction as the march takes it (the same quantities as horizonSine).
struct RayStep {
  int majorStep = 1;        // +1 or -1 along the major index
  double slope = 0;         // minor cells per step
  double stepLength = 1;    // horizontal distance per step, in grid spacings
  double stepsPerCell = 0;  // 1 / |slope|, or 0 when the ray runs straight
};

// How many steps from the current one (at major m, minor `across`, lower
// cell `low`) stay inside the level-l block that holds (m, low). Conservative:
// it may undercount near a block's minor edge, never overcount. At least 1.
int stepsInBlock(int level, int m, double across, int low, const RayStep& ray) {
  const int size = 1 << level;
  const int blockMajor = (m >> level) * size;
  int steps = ray.majorStep > 0 ? blockMajor + size - m : m - blockMajor + 1;
  // A margin of 1e-4 steps covers the rounding of `across` between steps.
  if (ray.slope > 0) {
    double x = (((low >> level) + 1) * size - across) * ray.stepsPerCell;
    if (x < steps) steps = int(std::ceil(x - 1e-4));
  } else if (ray.slope < 0) {
    double x = (across - (low >> level) * size) * ray.stepsPerCell;
    if (x < steps) steps = int(std::floor(x - 1e-4)) + 1;
  }
  return std::max(steps, 1);
}

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
  rise = (height - z0) / (t * ray.stepLength);
  return true;
}

// The steepest rise seen from the surface of cell (m0, u0), or -infinity when
// the ray leaves the grid at once, and in `bestStep` the step where it was
// found (0 if none). The samples and their arithmetic are those of
// horizonSine. `guessStep` (0 for none) is a step likely to be near the
// answer, tried first so that the skipping starts with a high bar. A block is
// skipped only when no sample in it can be steeper than the best so far, so
// the result is the same maximum.
double steepestRise(const MarchGrid& grid, const RayStep& ray, int m0, int u0, int guessStep,
                    int& bestStep) {
  const int majorSize = grid.majorSize, minorSize = grid.minorSize;
  const int topLevel = int(grid.levels.size()) - 1;
  const double z0 = grid.height(m0, u0);
  double best = -std::numeric_limits<double>::infinity();
  bestStep = 0;
  if (guessStep > 0 && sampleRise(grid, ray, m0, u0, z0, guessStep, best)) bestStep = guessStep;

  // A block is crossed unseen when its highest point, put at the nearest
  // distance of the block's samples (or at the farthest one if it lies below
  // the cell), rises no more steeply than `best`. The test is multiplied out
  // and kept on the safe side by a relative margin far above rounding, so a
  // sample that could be steeper is always taken.
  constexpr double kBelow = 1 - 1e-9, kAbove = 1 + 1e-9;
  int level = 0;
  for (int t = 1;;) {
    const int m = m0 + t * ray.majorStep;
    const double across = u0 + t * ray.slope;
    if (m < 0 || m >= majorSize || across < 0 || across > minorSize - 1) break;
    const int low = std::min(int(across), minorSize - 1);

    const double rise = double(grid.levelData[level][size_t(m >> level) * grid.levelMinorSize[level] + (low >> level)]) - z0;
    if (rise >= 0) {
      if (rise <= best * (t * ray.stepLength) * kBelow) {
        t += level == 0 ? 1 : stepsInBlock(level, m, across, low, ray);
        if (level < topLevel) ++level;
        continue;
      }
    } else {
      const int steps = level == 0 ? 1 : stepsInBlock(level, m, across, low, ray);
      if (rise <= best * ((t + steps - 1) * ray.stepLength) * kAbove) {
        t += steps;
        if (level < topLevel) ++level;
        continue;
      }
    }
    if (level > 0) {
      --level;
      continue;
    }
    // Level 0 and possibly steeper: take the sample as the march does.
    double sample;
    sampleRise(grid, ray, m0, u0, z0, t, sample);
    if (sample > best) {
      best = sample;
      bestStep = t;
    }
    ++t;
  }
  return best;
}

// ---- 4. One direction, all directions on threads ----------------------------------------

// Cells are taken from the far end of the rays backwards, so that the cell one
// step ahead on a ray is done first: its horizon lies at about the same place,
// which is the guess for the cell behind it.
void computeDirection(const MarchGrid& alongX, const MarchGrid& alongY, int gridSizeY, int j, int numDirections, uint16_t* block) {
  const double azimuth = directionAzimuth(j, numDirections);
  const double dx = std::cos(azimuth), dy = std::sin(azimuth);
  const bool majorIsX = std::fabs(dx) >= std::fabs(dy);
  const double major = majorIsX ? dx : dy, minor = majorIsX ? dy : dx;
  RayStep ray;
  ray.majorStep = major > 0 ? 1 : -1;
  ray.slope = minor / std::fabs(major);
  ray.stepLength = 1 / std::fabs(major);
  ray.stepsPerCell = ray.slope != 0 ? 1 / std::fabs(ray.slope) : 0;
  const MarchGrid& grid = majorIsX ? alongX : alongY;
  const int majorSize = grid.majorSize, minorSize = grid.minorSize;

  std::vector<int> horizonStep(size_t(majorSize) * minorSize, 0);
  for (int i = 0; i < majorSize; ++i) {
    const int m0 = ray.majorStep > 0 ? majorSize - 1 - i : i;
    const int ahead = m0 + ray.majorStep;
    for (int u0 = 0; u0 < minorSize; ++u0) {
      int guess = 0;
      if (ahead >= 0 && ahead < majorSize) {
        long u = std::lround(u0 + ray.slope);
        u = std::clamp(u, 0L, long(minorSize - 1));
        int aheadStep = horizonStep[size_t(ahead) * minorSize + u];
        if (aheadStep > 0) guess = aheadStep + 1;
      }
      int bestStep;
      double best = steepestRise(grid, ray, m0, u0, guess, bestStep);
      horizonStep[size_t(m0) * minorSize + u0] = bestStep;
      double sine = best == -std::numeric_limits<double>::infinity()
                        ? 0
                        : best / std::sqrt(1 + best * best);
      size_t cell = majorIsX ? size_t(m0) * gridSizeY + u0 : size_t(u0) * gridSizeY + m0;
      block[cell] = encodeHorizon(sine);
    }
  }
}

}  // namespace

std::vector<uint16_t> computeHorizonsFast(const float* heights, int gridSizeX, int gridSizeY,
                                          int numDirections, const HorizonProgress& progress,
                                          int numThreads) {
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
    for (int j; (j = nextDirection++) < numDirections;) {
      computeDirection(alongX, alongY, gridSizeY, j, numDirections,
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
