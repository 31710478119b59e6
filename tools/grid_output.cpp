#include "tools/grid_output.h"

#include "core/file_replacement.h"

#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

bool writePngRows(std::FILE* out, const float* grid, int gridSizeX, int gridSizeY) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  std::vector<png_byte> row(size_t(gridSizeY) * 2);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, out);
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

bool writeGreyscalePng(const std::string& fileName, const float* grid, int gridSizeX,
                       int gridSizeY, std::string& error) {
  FileReplacement output(fileName);
  if (!output.file()) {
    error = output.openError();
    return false;
  }
  return output.commit(writePngRows(output.file(), grid, gridSizeX, gridSizeY), error);
}

bool printGridCsv(std::FILE* out, const float* grid, int gridSizeX, int gridSizeY) {
  for (int r = 0; r < gridSizeX; ++r)
    for (int c = 0; c < gridSizeY; ++c)
      if (std::fprintf(out, "%.9g%c", grid[size_t(r) * gridSizeY + c], c + 1 < gridSizeY ? ',' : '\n') < 0)
        return false;
  return std::fflush(out) == 0;
}

bool writeGridCsv(const std::string& fileName, const float* grid, int gridSizeX, int gridSizeY,
                  std::string& error) {
  FileReplacement output(fileName);
  if (!output.file()) {
    error = output.openError();
    return false;
  }
  return output.commit(printGridCsv(output.file(), grid, gridSizeX, gridSizeY), error);
}
