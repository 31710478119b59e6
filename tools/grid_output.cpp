#include "tools/grid_output.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "tools/png_writer.h"


unsigned pixelValue(float value) {
  double v = std::floor(double(value) * 65535 + 0.5);
  if (!(v > 0)) return 0;
  return v > 65535 ? 65535 : unsigned(v);
}

bool writeGreyscalePng(OutputFile& output, const float* grid, int gridSizeX, int gridSizeY) {
  std::vector<unsigned char> bytes(size_t(gridSizeY) * 2);
  PngFormat format;
  format.width = uint32_t(gridSizeY);
  format.height = uint32_t(gridSizeX);
  format.bitDepth = 16;
  return writePngImage(output, format, [&](uint32_t r) {
    for (int c = 0; c < gridSizeY; ++c) {
      const unsigned v = pixelValue(grid[size_t(r) * gridSizeY + c]);
      bytes[2 * c] = static_cast<unsigned char>(v >> 8);  // PNG samples are big-endian
      bytes[2 * c + 1] = static_cast<unsigned char>(v & 0xff);
    }
    return bytes.data();
  });
}

bool writeGridCsv(OutputFile& output, const float* grid, int gridSizeX, int gridSizeY) {
  if (!output.open()) return false;
  std::string text;
  char value[32];
  for (int r = 0; r < gridSizeX; ++r) {
    for (int c = 0; c < gridSizeY; ++c) {
      std::snprintf(value, sizeof value, "%.9g%c", grid[size_t(r) * gridSizeY + c], c + 1 < gridSizeY ? ',' : '\n');
      text += value;
    }
    if (text.size() >= 65536 || r + 1 == gridSizeX) {
      if (!output.write(text)) return false;
      text.clear();
    }
  }
  return true;
}
