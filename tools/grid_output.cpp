#include "tools/grid_output.h"

#include <png.h>

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <vector>

namespace {

// libpng's messages: its error ends the image (through its jump), held as
// the reason; its warnings are left unsaid.
struct PngSink {
  OutputFile* output;
  std::string problem;
};

void pngWrite(png_structp png, png_bytep data, png_size_t length) {
  PngSink* sink = static_cast<PngSink*>(png_get_io_ptr(png));
  if (!sink->output->write(data, length)) png_error(png, "write");
}

void pngFlush(png_structp) {}

void pngError(png_structp png, png_const_charp message) {
  PngSink* sink = static_cast<PngSink*>(png_get_error_ptr(png));
  if (sink->problem.empty()) sink->problem = message;
  png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp) {}

// The image, row by row; false when libpng gives up (sink.problem says why,
// unless the file itself failed).
bool writePngRows(PngSink& sink, const float* grid, int gridSizeX, int gridSizeY) {
  std::vector<png_byte> row(size_t(gridSizeY) * 2);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, pngError, pngWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &sink, pngWrite, pngFlush);
  // Any size a PNG can hold, not libpng's default of a million pixels a side.
  png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
  png_set_IHDR(png, info, png_uint_32(gridSizeY), png_uint_32(gridSizeX), 16, PNG_COLOR_TYPE_GRAY,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int r = 0; r < gridSizeX; ++r) {
    for (int c = 0; c < gridSizeY; ++c) {
      unsigned v = pixelValue(grid[size_t(r) * gridSizeY + c]);
      row[2 * c] = png_byte(v >> 8);  // PNG samples are big-endian
      row[2 * c + 1] = png_byte(v & 0xff);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

unsigned pixelValue(float value) {
  double v = std::floor(double(value) * 65535 + 0.5);
  if (!(v > 0)) return 0;
  return v > 65535 ? 65535 : unsigned(v);
}

bool writeGreyscalePng(OutputFile& output, const float* grid, int gridSizeX, int gridSizeY) {
  if (!output.open()) return false;
  PngSink sink{&output, ""};
  if (writePngRows(sink, grid, gridSizeX, gridSizeY)) return true;
  return output.fail(sink.problem.empty() ? "libpng failed" : sink.problem);
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
