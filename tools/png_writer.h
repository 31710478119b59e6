// Writing a PNG into an OutputFile (core/output_file.h), row by row, with
// libpng; the one PNG encoder of the tools. The caller commits the file.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/output_file.h"

struct PngFormat {
  uint32_t width = 0, height = 0;
  int bitDepth = 8;      // 8 or 16 bits a sample
  bool colour = false;   // RGB, else greyscale
  std::string description;  // the file's Description text, if any
};

// Opens the file and writes the image; `row(y)` gives the bytes of row y
// (big-endian samples, top row first). On failure the file's error() says
// why: libpng's reason, or the file's own.
bool writePngImage(OutputFile& output, const PngFormat& format,
                   const std::function<const unsigned char*(uint32_t y)>& row);
