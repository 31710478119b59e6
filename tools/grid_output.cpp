#include "tools/grid_output.h"

#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Opens a temporary file beside `fileName`.
std::FILE* openTemporary(const std::string& fileName, std::string& temporary, std::string& error) {
  temporary = fileName + ".tmp" + std::to_string(getpid());
  std::FILE* out = std::fopen(temporary.c_str(), "wb");
  if (!out) error = "cannot write " + fileName + ": " + std::strerror(errno);
  return out;
}

// Closes the temporary file and renames it to `fileName` if all went well;
// otherwise removes it.
bool finish(std::FILE* out, bool ok, const std::string& temporary, const std::string& fileName,
            std::string& error) {
  int code = errno;
  if (std::fclose(out) != 0 && ok) {
    ok = false;
    code = errno;
  }
  if (ok && std::rename(temporary.c_str(), fileName.c_str()) != 0) {
    ok = false;
    code = errno;
  }
  if (!ok) {
    std::remove(temporary.c_str());
    if (error.empty()) error = "cannot write " + fileName + ": " + std::strerror(code);
  }
  return ok;
}

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
  std::string temporary;
  std::FILE* out = openTemporary(fileName, temporary, error);
  if (!out) return false;
  bool ok = writePngRows(out, grid, gridSizeX, gridSizeY);
  return finish(out, ok, temporary, fileName, error);
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
  std::string temporary;
  std::FILE* out = openTemporary(fileName, temporary, error);
  if (!out) return false;
  bool ok = printGridCsv(out, grid, gridSizeX, gridSizeY);
  return finish(out, ok, temporary, fileName, error);
}
