// Where a terrain from a DEM lies on the earth, kept beside the terrain file,
// and maps of terrain grids as GeoTIFF.
//
// Index
//   1. The georeference file (NAME.hrz.json)
//   2. GeoTIFF maps
//   3. Where on the earth
//
// The terrain file itself stays as other programs read it; its georeference
// goes to a small JSON file of the same name plus ".json":
//   { "source": "site.tif", "columns": 512, "rows": 480, "cellSize": 25.0,
//     "geoTransform": [x0, cell, 0, y0, 0, -cell], "coordinateSystem": "WKT",
//     "orientation": "..." }
// It describes the north-up raster whose column i is the terrain's first
// index i and whose row k is its second index rows - 1 - k.
#pragma once

#include <string>

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
// kBad (with `error`) when it cannot be read or does not fit a grid of
// gridSizeX x gridSizeY cells.
GeoreferenceStatus readGeoreference(const std::string& terrainFile, int gridSizeX, int gridSizeY,
                                    Georeference& georeference, std::string& error);

// ---- 2. GeoTIFF maps ------------------------------------------------------------

// Writes a terrain grid (gridSizeX rows of gridSizeY values, first index
// east, second north) as a one-band 32-bit float GeoTIFF, north up, with the
// georeference when one is given, into `output` (opened here, committed by
// the caller). GDAL writes the output's temporary file by name; a
// destination written in place (a device, a FIFO) gets a copy of the image
// GDAL made in memory. On failure output.error() says why.
bool writeGeoTiff(OutputFile& output, const float* grid, int gridSizeX, int gridSizeY,
                  const Georeference* georeference);

// ---- 3. Where on the earth -------------------------------------------------------

// The site of a terrain: the WGS84 latitude and longitude of the centre of
// its raster, transformed from its coordinate system with OGR. False, with
// `error` saying why, when the georeference has no coordinate system (a DEM
// without one) or it cannot be transformed.
bool georeferenceSite(const Georeference& georeference, GeoSite& site, std::string& error);
