// A terrain grid as a picture to read at a glance: the map in the viridis
// colour map, north up, a north arrow beside it, and a colour bar with round
// tick values and the units below it.
//
// The grid is a terrain grid: gridSizeX rows of gridSizeY values, the first
// index running east and the second north. The map shows it north up, rows
// from north to south and columns from west to east: map row k, column i is
// grid[i * gridSizeY + (gridSizeY - 1 - k)]. Each cell is drawn as a square of
// pixels, enlarged by a whole factor when the grid is small.
#pragma once

#include <optional>
#include <string>

#include "tools/legend.h"
#include "tools/raster_image.h"

struct MapLegend {
  // The colour bar's label: what the values are, e.g. "sky light relative to
  // open flat ground".
  std::string units;
  // An optional line above the map, e.g. the sky and the sun.
  std::string title;
  // The values at the ends of the colour map; by default the smallest and
  // largest finite value of the grid. Values beyond it take the colour of the
  // nearer end; a range that cannot be used falls back to the default.
  std::optional<ValueRange> range;
};

// Where the parts of a map picture lie, in pixels.
struct MapPictureLayout {
  int mapLeft = 0, mapTop = 0;
  int cellPixels = 1;  // the side of a cell's square
  int barLeft = 0, barTop = 0, barWidth = 0;
  ValueRange range;    // the values the colour bar spans
};

struct MapPicture {
  RasterImage image;
  MapPictureLayout layout;
};

// Draws the picture. Cells that are not a number are drawn in kNoDataColour.
MapPicture drawMapPicture(const float* grid, int gridSizeX, int gridSizeY, const MapLegend& legend);

// Draws the picture and writes it as an 8-bit RGB PNG into the file, which
// the caller commits; on failure the file's error() says why.
bool writeMapPng(OutputFile& output, const float* grid, int gridSizeX, int gridSizeY,
                 const MapLegend& legend);
