#include "tools/map_picture.h"

#include <algorithm>

#include "tools/bitmap_font.h"
#include "tools/colour_map.h"

namespace {

// The map is enlarged by a whole factor to about this many pixels on its
// longer side; larger grids keep one pixel a cell.
constexpr int kSmallMapPixels = 600;

// The text scale: labels grow with very large maps so they stay legible when
// the picture is viewed whole.
int textScaleFor(int mapWidth, int mapHeight) { return std::clamp(std::max(mapWidth, mapHeight) / 400, 2, 8); }

// The north arrow: an upward arrow under the letter N, kArrowHeight times
// the text scale high, its top centre at (centreX, top).
constexpr int kArrowHeight = 20;
void drawNorthArrow(RasterImage& image, int centreX, int top, int scale) {
  drawText(image, centreX + 1, top, "N", scale, kInk, TextAlign::kCentre);
  const double tipY = top + 10.0 * scale, baseY = top + double(kArrowHeight) * scale, x = centreX + 0.5;
  image.strokeLine(x, tipY, x, baseY, scale * 0.75, kInk);
  image.strokeLine(x, tipY, x - 2.5 * scale, tipY + 3.5 * scale, scale * 0.75, kInk);
  image.strokeLine(x, tipY, x + 2.5 * scale, tipY + 3.5 * scale, scale * 0.75, kInk);
}

}  // namespace

MapPicture drawMapPicture(const float* grid, int gridSizeX, int gridSizeY, const MapLegend& legend) {
  const int columns = std::max(gridSizeX, 0), rows = std::max(gridSizeY, 0);
  const int cell = std::max(1, kSmallMapPixels / std::max({columns, rows, 1}));
  const int mapWidth = columns * cell, mapHeight = rows * cell;
  const int u = textScaleFor(mapWidth, mapHeight);
  const ValueRange range = legend.range && isUsableRange(*legend.range)
                               ? *legend.range
                               : rangeOfValues(grid, size_t(columns) * size_t(rows));

  // Top to bottom: title, map (north arrow at its right), colour bar. The bar
  // is as wide as the map, but at least as wide as its units and wide enough
  // for a few legible ticks.
  const int margin = 8 * u, lineHeight = (kGlyphAscent + kGlyphDescent) * u;
  const int arrowSpace = 12 * u;
  const int barWidth = std::max({mapWidth, 100 * u, textWidth(legend.units, u)});
  const ColourBar bar(range, legend.units, barWidth, u);
  const ColourBarOverhang overhang = bar.overhang();

  MapPictureLayout layout;
  layout.range = range;
  layout.cellPixels = cell;
  layout.mapLeft = margin + overhang.left;
  layout.mapTop = margin + (legend.title.empty() ? 0 : lineHeight + 4 * u);
  layout.barLeft = layout.mapLeft;
  layout.barTop = layout.mapTop + std::max(mapHeight, kArrowHeight * u) + 8 * u;
  layout.barWidth = barWidth;
  const int contentRight = std::max({layout.mapLeft + mapWidth + arrowSpace,
                                     layout.barLeft + layout.barWidth + overhang.right,
                                     layout.barLeft + bar.unitsWidth(), margin + textWidth(legend.title, u)});
  const int width = contentRight + margin;
  const int height = layout.barTop + colourBarHeight(u) + margin;

  MapPicture picture{RasterImage(width, height, kPaper), layout};
  RasterImage& image = picture.image;
  if (!legend.title.empty()) drawText(image, margin, margin, legend.title, u, kInk);
  for (int k = 0; k < rows; ++k)
    for (int i = 0; i < columns; ++i) {
      const float value = grid[size_t(i) * rows + size_t(rows - 1 - k)];
      image.fillRectangle(layout.mapLeft + i * cell, layout.mapTop + k * cell, cell, cell,
                          colourOf(value, range.low, range.high));
    }
  image.frameRectangle(layout.mapLeft, layout.mapTop, mapWidth, mapHeight, kInk);
  drawNorthArrow(image, layout.mapLeft + mapWidth + arrowSpace / 2 + 2 * u, layout.mapTop, u);
  bar.draw(image, layout.barLeft, layout.barTop);
  return picture;
}

bool writeMapPng(OutputFile& output, const float* grid, int gridSizeX, int gridSizeY,
                 const MapLegend& legend) {
  const MapPicture picture = drawMapPicture(grid, gridSizeX, gridSizeY, legend);
  const std::string description =
      legend.title.empty() ? legend.units : legend.title + "; " + legend.units;
  return writePng(output, picture.image, description);
}
