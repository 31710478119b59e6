// The sky light of a terrain: how brightly the sky lights every cell, given
// the sky that the cell's horizons hide and the light that the hidden
// terrain reflects.
//
// Index
//   1. Constants
//   2. Tables per direction and horizon bin
//   3. Cells: sums over the directions, brightness, normalisation
//   4. The whole computation for a terrain and a sky
//
// Everything rests on tables indexed by direction j (n of them) and horizon
// bin b (256), built once per computation: the sky model is evaluated
// 256 * n times whatever the size of the grid, and each cell costs one table
// lookup and two vector additions per direction. Vectors are in the grid's
// frame: x along the first index, y along the second, z up.
#pragma once

#include <cstdint>
#include <vector>

#include "core/vec3.h"
#include "sky/sky.h"
#include "terrain/terrain_file.h"

// ---- 1. Constants ----------------------------------------------------------------

// The mean of the upper half of the luminance table after scaling.
constexpr double meanSkyLuminance = 1000;
// The reflectance of the terrain.
constexpr double albedo = 0.4;

// ---- 2. Tables ----------------------------------------------------------------------

// n x 256 floats: entry (j, b) is 1000 * skyLuminance of the sky at the
// centre azimuth of direction j and the elevation of the centre of bin b (0
// for the bins below the horizon), then scaled so that the upper half
// averages 1000. A sky that is dark everywhere leaves the table 0.
std::vector<float> buildLuminanceTable(const Sky& sky, int numDirections);

// The visible-sky cosine of horizon bin i: the cosine of the zenith angle
// down to which the sky is visible over a horizon in that bin, i/128 - 1 for
// the bins above the level one, and 0 (the whole upper hemisphere) for the
// level bin 128 and every bin below it: the sky below the horizontal plane
// has no luminance and lies behind a level cell.
float visibleSkyCosine(int bin);

// n x 256 vectors: entry (j, i) is the integral of the unit direction over
// sector j of the sky above horizon bin i, in closed form.
std::vector<Vec3> buildVisibleSkyTable(int numDirections);

// n x 256 vectors: entry (j, i) is the luminance-weighted integral of the unit
// direction over the same sky: the bands between consecutive bins, each
// weighted with the luminance of its bin, summed from bin i to the zenith.
std::vector<Vec3> buildSkyLightTable(int numDirections, const std::vector<Vec3>& visibleSky,
                                     const std::vector<float>& luminance);

struct SkyTables {
  int numDirections = 0;
  std::vector<float> luminanceTable;
  std::vector<Vec3> visibleSkyTable;
  std::vector<Vec3> skyLightTable;
};

// All three tables for a sky.
SkyTables buildSkyTables(const Sky& sky, int numDirections);

// ---- 3. Cells ------------------------------------------------------------------------

// Per cell, the visible sky and the sky light summed over the directions.
struct CellSums {
  std::vector<Vec3> visibleSky;
  std::vector<Vec3> skyLight;
  explicit CellSums(size_t numCells) : visibleSky(numCells), skyLight(numCells) {}
};

// Adds the horizon blocks of directions firstDirection .. firstDirection +
// count - 1 (`blocks` holds them one after the other, numCells values each)
// to the sums: per cell and direction one lookup and two additions, the
// directions in order.
void addHorizonBlocks(const SkyTables& tables, int firstDirection, int count,
                      const uint16_t* blocks, CellSums& sums);

// The brightness of a cell with this normal and these sums: its irradiance
// from the visible sky, plus the light that the hidden sky, taken as terrain
// as bright as the cell, reflects onto it.
float cellBrightness(const Vec3& normal, const Vec3& visibleSky, const Vec3& skyLight);

// The brightness of every cell into skyGrid (resized), never below 0;
// returns the largest value (at least 0).
float computeBrightness(const std::vector<Vec3>& normals, const CellSums& sums,
                        std::vector<float>& skyGrid);

// Divides every value by `largest` if it exceeds 1.
void normaliseSkyGrid(std::vector<float>& skyGrid, float largest);

// The brightness of open level ground under the sky of the tables: a level
// cell whose horizons are level in every direction, summed exactly as the
// cells of a terrain are (so that such a cell of a terrain has exactly it).
float openGroundBrightness(const SkyTables& tables);

// ---- 4. The whole computation ---------------------------------------------------------

// How the values of a sky grid are scaled.
enum class SkyLightScale {
  // The window's scaling: divided by the largest value when that exceeds 1,
  // so the brightest cell is 1 (unless all are dimmer).
  kLargest,
  // Relative to open level ground under the same sky: 1 on open flat
  // ground, less where terrain hides sky, more on a slope facing a bright
  // part of the sky. Comparable between skies, suns and sites.
  kOpenGround,
};

// The sky light of a terrain summed direction by direction: the tables of
// the sky, and per cell the sums over the directions added so far.
class SkyLightSum {
 public:
  SkyLightSum(const Sky& sky, int numDirections, size_t numCells);
  // Adds the horizon blocks of directions firstDirection .. firstDirection +
  // count - 1, one after the other (addHorizonBlocks).
  void add(int firstDirection, int count, const uint16_t* blocks);
  // The sky grid once every direction has been added.
  std::vector<float> skyGrid(const std::vector<Vec3>& normals, SkyLightScale scale) const;

 private:
  SkyTables tables_;
  CellSums sums_;
};

// The sky grid: the brightness of every cell of the terrain (gridSizeX rows of
// gridSizeY values) under the sky, scaled as asked. The terrain must hold its
// horizons (readTerrain). Throws std::bad_alloc when the storage cannot be had.
std::vector<float> computeSkyLight(const Terrain& terrain, const Sky& sky,
                                   SkyLightScale scale = SkyLightScale::kLargest);
