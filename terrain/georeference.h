// Where a terrain from a DEM lies on the earth, kept beside the terrain file,
// and maps of terrain grids as GeoTIFF.
//
// Index
//   1. The georeference file (NAME.hrz.json)
//   2. GeoTIFF maps
//   3. Multi-band GeoTIFF maps with no-data cells
//   4. Where on the earth
//
// The terrain file itself stays as other programs read it; its georeference
// goes to a small JSON file of the same name plus ".json":
//   { "source": "site.tif", "columns": 512, "rows": 480, "cellSize": 25.0,
//     "geoTransform": [x0, cell, 0, y0, 0, -cell], "coordinateSystem": "WKT",
//     "meridianConvergence": 1.64,
//     "horizons": { "earthCurvature": true, "earthRadius": 6371008.8,
//                   "refractionCoefficient": 0.13 },
//     "orientation": "..." }
// It describes the north-up raster whose column i is the terrain's first
// index i and whose row k is its second index rows - 1 - k, the true bearing
// of its grid north (degrees clockwise from true north), and how the
// terrain's horizons were computed. Files written before the last two
// existed are read alike: the convergence is then computed from the
// coordinate system, and the horizons are those of a flat earth.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/output_file.h"
#include "sky/site_sun.h"
#include "terrain/dem_import.h"

// ---- 1. The georeference file -------------------------------------------------

inline std::string georeferenceFileName(const std::string& terrainFile) { return terrainFile + ".json"; }

// Writes the georeference into `output` (opened here, committed by the
// caller, usually with the terrain: see georeferenceFileName). On failure
// output.error() says why.
bool writeGeoreference(OutputFile& output, const Georeference& georeference);

enum class GeoreferenceStatus { kNone, kRead, kBad };

// Reads the georeference beside `terrainFile`: kNone when there is none,
// kBad (with `error`) when it cannot be read, does not fit a grid of
// gridSizeX x gridSizeY cells or holds a convergence or refraction
// coefficient out of range.
GeoreferenceStatus readGeoreference(const std::string& terrainFile, int gridSizeX, int gridSizeY,
                                    Georeference& georeference, std::string& error);

// ---- 2. GeoTIFF maps ------------------------------------------------------------

// Writes a terrain grid (gridSizeX rows of gridSizeY values, first index
// east, second north) as a one-band 32-bit float GeoTIFF, north up, with the
// georeference when one is given, into `output` (opened here, committed by
// the caller). GDAL writes the output's temporary file by name; a
// destination written in place (a device, a FIFO) gets a copy of the image
// GDAL made in memory. On failure output.error() says why. It is
// writeGeoTiffBands with one band and every cell holding data.
bool writeGeoTiff(OutputFile& output, const float* grid, int gridSizeX, int gridSizeY,
                  const Georeference* georeference);

// ---- 3. Multi-band GeoTIFF maps ------------------------------------------------------

// The no-data value of every band of writeGeoTiffBands.
constexpr float kGeoTiffNoData = -9999.0f;

using MetadataItems = std::vector<std::pair<std::string, std::string>>;

struct GeoTiffBand {
  std::string description;  // GDAL's band description
  std::string unit;         // GDAL's unit type; empty: none
  MetadataItems metadata;
};

struct GeoTiffBands {
  int gridSizeX = 0, gridSizeY = 0;  // first index east, second north, as writeGeoTiff
  std::vector<GeoTiffBand> bands;
  // Fills `grid` (gridSizeX rows of gridSizeY) with the values of band k;
  // called once per band, in order.
  std::function<void(int k, float* grid)> values;
  MetadataItems metadata;                      // of the whole file
  const Georeference* georeference = nullptr;  // none: no geotransform
  const unsigned char* hasData = nullptr;      // per cell, 0: no data; null: every cell has data
};

// Writes the bands into `output` as a 32-bit float GeoTIFF, north up like
// writeGeoTiff, one band at a time, with kGeoTiffNoData as every band's
// no-data value and in the cells without data. Opened here, committed by the
// caller; on failure output.error() says why.
bool writeGeoTiffBands(OutputFile& output, const GeoTiffBands& content);

// ---- 4. Where on the earth -------------------------------------------------------

// The site of a terrain: the WGS84 latitude and longitude of the centre of
// its raster, transformed from its coordinate system with OGR. False, with
// `error` saying why, when the georeference has no coordinate system (a DEM
// without one) or it cannot be transformed.
bool georeferenceSite(const Georeference& georeference, GeoSite& site, std::string& error);

// The meridian convergence at a point of the georeferenced raster (column
// and row in pixels from its north-west corner, fractions allowed): the true
// bearing of grid north there, in degrees clockwise, -180 .. 180. East of a
// transverse Mercator projection's central meridian in the northern
// hemisphere grid north lies east of true north (positive), west of it west.
// It is measured with OGR/PROJ: a thousandth of a degree of latitude towards
// true north, seen in the grid. 0 when the georeference has no coordinate
// system, a geographic one, or one that cannot be turned into latitudes and
// longitudes.
double meridianConvergenceAt(const Georeference& georeference, double column, double row);
