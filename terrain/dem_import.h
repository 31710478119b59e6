// Terrains from digital elevation models, read through GDAL.
//
// Index
//   1. What to read (DemRequest)
//   2. What comes out (DemTerrain, Georeference)
//   3. Importing
//
// Band 1 of any raster GDAL opens becomes a grid of heights in grid spacings:
// the area is cut out (a pixel window or bounds in the raster's coordinates),
// brought to square cells in metres (a raster in degrees is warped into the
// UTM zone of the area's centre; a projected raster with oblong cells is
// resampled), reduced with GDAL's average resampling when asked (a window
// more than 16 times larger than maxSize is first read decimated, or from
// the raster's overviews, so that GDAL never visits every cell of a huge
// raster), its small no-data holes filled (cells of +-Inf or NaN are no-data
// too), and turned so that the grid's first index runs east and its second
// north.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <vector>

// ---- 1. What to read ---------------------------------------------------------

struct DemRequest {
  std::string fileName;
  bool hasWindow = false;  // window: XOFF, YOFF, XSIZE, YSIZE in source pixels
  std::array<long long, 4> window{};
  bool hasBounds = false;  // bounds: MINX, MINY, MAXX, MAXY in the raster's own coordinates
  std::array<double, 4> bounds{};
  int maxSize = 0;  // neither side of the grid exceeds this; 0: no limit
  // Most cells the grid may have (it and its horizons are held in memory).
  long long maxCells = 8192LL * 8192LL;
};

// ---- 2. What comes out -----------------------------------------------------------

// Where the terrain lies on the earth: the north-up raster whose column i is
// the terrain's first index i and whose row k is its second index
// rows - 1 - k (row 0 is the northern edge).
struct Georeference {
  std::string coordinateSystem;            // WKT; empty if the source had none
  std::array<double, 6> geoTransform{};    // GDAL's affine transform of that raster
  double cellSize = 0;                     // metres
  int columns = 0, rows = 0;               // = gridSizeX, gridSizeY
  std::string source;                      // the DEM's file name
  // The true bearing of grid north at the raster's centre in degrees,
  // clockwise: the meridian convergence (meridianConvergenceAt). A grid
  // bearing b is the true bearing b + meridianConvergence. 0 without a
  // coordinate system.
  double meridianConvergence = 0;
  // How the terrain's horizons were computed: lowered by the earth's
  // curvature seen through refraction coefficient `refraction`
  // (terrain/horizons.h), or on a flat earth.
  bool earthCurvature = false;
  double refraction = 0;
};

struct DemTerrain {
  int gridSizeX = 0;           // cells from west to east
  int gridSizeY = 0;           // cells from south to north
  std::vector<float> heights;  // gridSizeX rows of gridSizeY, in grid spacings
  float lowest = 0, highest = 0;  // metres
  Georeference georeference;
};

// ---- 3. Importing ------------------------------------------------------------------

// Reads the DEM. What was done (source size, any warping or resampling, cell
// size in metres, holes filled, output size) goes to `report`, one line each,
// each starting with `prefix`. On failure `error` is one line (without line
// feed) starting with the file's name, and the result is false. Refused,
// before GDAL reads any cell: a geotransform that is degenerate or not
// finite, corners beyond any place on earth (for a raster with a coordinate
// system), a band scale that is not finite or zero or an offset that is not
// finite, a window or bounds outside the raster, more cells than maxCells;
// and after reading, heights beyond what a terrain file holds.
bool importDem(const DemRequest& request, DemTerrain& terrain, std::string& error,
               std::FILE* report, const std::string& prefix);

// The share of no-data cells at or above which a DEM is refused, and how far
// (in cells) GDAL's fill-nodata looks for heights to fill a hole with.
constexpr double kMostlyNoData = 0.5;
constexpr int kFillSearchCells = 100;
