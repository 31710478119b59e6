#include "tools/grid_output.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "tools/png_writer.h"

namespace {

// Text written in pieces of about this size.
constexpr size_t kTextChunk = 65536;

bool flushText(OutputFile& output, std::string& text, bool last) {
  if (text.size() < kTextChunk && !last) return true;
  const bool written = output.write(text);
  text.clear();
  return written;
}

}  // namespace

unsigned pixelValue(float value) {
  double v = std::floor(double(value) * 65535 + 0.5);
  if (!(v > 0)) return 0;
  return v > 65535 ? 65535 : unsigned(v);
}

bool writeGreyscalePng(OutputFile& output, const float* raster, int width, int height) {
  std::vector<unsigned char> bytes(size_t(width) * 2);
  PngFormat format;
  format.width = uint32_t(width);
  format.height = uint32_t(height);
  format.bitDepth = 16;
  return writePngImage(output, format, [&](uint32_t row) {
    for (int c = 0; c < width; ++c) {
      const unsigned v = pixelValue(raster[size_t(row) * width + c]);
      bytes[2 * c] = static_cast<unsigned char>(v >> 8);  // PNG samples are big-endian
      bytes[2 * c + 1] = static_cast<unsigned char>(v & 0xff);
    }
    return bytes.data();
  });
}

bool writeGridCsv(OutputFile& output, const float* raster, int width, int height) {
  if (!output.open()) return false;
  std::string text;
  char value[32];
  for (int r = 0; r < height; ++r) {
    for (int c = 0; c < width; ++c) {
      std::snprintf(value, sizeof value, "%.9g%c", raster[size_t(r) * width + c], c + 1 < width ? ',' : '\n');
      text += value;
    }
    if (!flushText(output, text, r + 1 == height)) return false;
  }
  return true;
}

bool writeXyzCsv(OutputFile& output, const float* raster, int width, int height,
                 const std::string& valueName, const std::array<double, 6>* geoTransform) {
  if (!output.open()) return false;
  std::string text = (geoTransform ? "x,y," : "column,row,") + valueName + "\n";
  char line[96];
  for (int r = 0; r < height; ++r) {
    for (int c = 0; c < width; ++c) {
      const float value = raster[size_t(r) * width + c];
      if (geoTransform) {
        const std::array<double, 6>& g = *geoTransform;
        const double x = g[0] + (c + 0.5) * g[1] + (r + 0.5) * g[2];
        const double y = g[3] + (c + 0.5) * g[4] + (r + 0.5) * g[5];
        std::snprintf(line, sizeof line, "%.12g,%.12g,%.9g\n", x, y, value);
      } else {
        std::snprintf(line, sizeof line, "%d,%d,%.9g\n", c, r, value);
      }
      text += line;
    }
    if (!flushText(output, text, r + 1 == height)) return false;
  }
  return true;
}
