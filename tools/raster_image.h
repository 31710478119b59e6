// An 8-bit RGB picture in memory, the few shapes the tools' pictures draw on
// it, and writing it as a PNG file.
//
// Coordinates are pixels, x to the right and y down, with pixel (x, y)
// covering the square from (x, y) to (x + 1, y + 1). Round shapes and lines are
// drawn with smooth edges: a pixel partly covered blends the colour with what
// is there in proportion to the part covered. Anything outside the picture is
// left out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/output_file.h"
#include "tools/colour_map.h"

class RasterImage {
 public:
  RasterImage(int width, int height, Rgb background);

  int width() const { return width_; }
  int height() const { return height_; }
  Rgb at(int x, int y) const;
  // The pixels row by row from the top, three bytes (r, g, b) each.
  const std::vector<std::uint8_t>& pixels() const { return pixels_; }

  void set(int x, int y, Rgb colour);
  // Mixes `colour` into pixel (x, y) with weight `coverage` (0 to 1).
  void blend(int x, int y, Rgb colour, double coverage);
  void fillRectangle(int left, int top, int width, int height, Rgb colour);
  // A one-pixel frame just outside the rectangle.
  void frameRectangle(int left, int top, int width, int height, Rgb colour);
  void fillDisc(double centreX, double centreY, double radius, Rgb colour);
  void strokeCircle(double centreX, double centreY, double radius, double lineWidth, Rgb colour);
  void strokeLine(double x0, double y0, double x1, double y1, double lineWidth, Rgb colour);

 private:
  int width_, height_;
  std::vector<std::uint8_t> pixels_;
};

// Writes the picture as an 8-bit RGB PNG into the file, which the caller
// commits (core/output_file.h). `description` goes into the file's
// Description text. On failure the file's error() says why.
bool writePng(OutputFile& output, const RasterImage& image, const std::string& description);
