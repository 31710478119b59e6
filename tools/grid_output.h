// Writing a raster of values as a 16-bit greyscale PNG or as text, into an
// OutputFile (core/output_file.h): the writers open it and write everything,
// and the caller commits it, alone or with the files written beside it. On
// failure the file's error() says why.
//
// A raster here is `height` rows of `width` values, row 0 first: for a
// terrain's map, the north-up raster of northUpRaster (terrain_file.h), so
// that every format shows the map the same way, north up.
#pragma once

#include <array>
#include <string>

#include "core/output_file.h"

// One pixel per value, row 0 at the top; a pixel is the value * 65535,
// rounded and held to 0 .. 65535 (values above 1 are white).
bool writeGreyscalePng(OutputFile& output, const float* raster, int width, int height);

// One raster row per line, values with 9 significant digits separated by commas.
bool writeGridCsv(OutputFile& output, const float* raster, int width, int height);

// One value per line after a header line: "x,y,NAME" with the coordinates
// of the cell's centre in the georeference's units when `geoTransform` (GDAL's
// affine transform of the raster) is given, otherwise "column,row,NAME" with
// the column counted from the west and the row from the north, from 0. Rows
// in raster order. The form GIS programs import as XYZ points.
bool writeXyzCsv(OutputFile& output, const float* raster, int width, int height,
                 const std::string& valueName, const std::array<double, 6>* geoTransform);

// The 16-bit pixel of a value.
unsigned pixelValue(float value);
