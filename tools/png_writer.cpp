#include "tools/png_writer.h"

#include <png.h>

#include <csetjmp>

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
bool writeRows(PngSink& sink, const PngFormat& format,
               const std::function<const unsigned char*(uint32_t y)>& row) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, pngError, pngWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  png_text text[2] = {};
  text[0].compression = text[1].compression = PNG_TEXT_COMPRESSION_NONE;
  text[0].key = const_cast<char*>("Software");
  text[0].text = const_cast<char*>("Halvane");
  text[1].key = const_cast<char*>("Description");
  text[1].text = const_cast<char*>(format.description.c_str());
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &sink, pngWrite, pngFlush);
  // Any size a PNG can hold, not libpng's default of a million pixels a side.
  png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
  png_set_IHDR(png, info, format.width, format.height, format.bitDepth,
               format.colour ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_text(png, info, text, format.description.empty() ? 1 : 2);
  png_write_info(png, info);
  for (uint32_t y = 0; y < format.height; ++y) png_write_row(png, const_cast<png_bytep>(row(y)));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool writePngImage(OutputFile& output, const PngFormat& format,
                   const std::function<const unsigned char*(uint32_t y)>& row) {
  if (!output.open()) return false;
  PngSink sink{&output, ""};
  if (writeRows(sink, format, row)) return true;
  return output.fail(sink.problem.empty() ? "libpng failed" : sink.problem);
}
