#include "tools/raster_image.h"

#include <algorithm>
#include <cmath>

#include "tools/png_writer.h"

namespace {

// How much of a pixel lies inside a shape edge at signed distance `inside`
// (pixels, positive inwards) from the pixel's centre: a one-pixel ramp.
double coverageAt(double inside) { return std::clamp(inside + 0.5, 0.0, 1.0); }

// The pixel range [first, last] that a span from `low` to `high` touches,
// held to [0, size - 1].
void pixelSpan(double low, double high, int size, int& first, int& last) {
  first = std::max(0, int(std::floor(low)));
  last = std::min(size - 1, int(std::ceil(high)));
}

}  // namespace

RasterImage::RasterImage(int width, int height, Rgb background)
    : width_(std::max(width, 1)), height_(std::max(height, 1)) {
  pixels_.resize(size_t(width_) * height_ * 3);
  for (size_t i = 0; i < pixels_.size(); i += 3) {
    pixels_[i] = background.r;
    pixels_[i + 1] = background.g;
    pixels_[i + 2] = background.b;
  }
}

Rgb RasterImage::at(int x, int y) const {
  const std::uint8_t* p = &pixels_[(size_t(y) * width_ + x) * 3];
  return Rgb{p[0], p[1], p[2]};
}

void RasterImage::set(int x, int y, Rgb colour) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  std::uint8_t* p = &pixels_[(size_t(y) * width_ + x) * 3];
  p[0] = colour.r;
  p[1] = colour.g;
  p[2] = colour.b;
}

void RasterImage::blend(int x, int y, Rgb colour, double coverage) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || !(coverage > 0)) return;
  if (coverage >= 1) return set(x, y, colour);
  std::uint8_t* p = &pixels_[(size_t(y) * width_ + x) * 3];
  const std::uint8_t channels[3] = {colour.r, colour.g, colour.b};
  for (int c = 0; c < 3; ++c) p[c] = std::uint8_t(std::lround(p[c] + (channels[c] - p[c]) * coverage));
}

void RasterImage::fillRectangle(int left, int top, int width, int height, Rgb colour) {
  for (int y = std::max(top, 0); y < std::min(top + height, height_); ++y)
    for (int x = std::max(left, 0); x < std::min(left + width, width_); ++x) set(x, y, colour);
}

void RasterImage::frameRectangle(int left, int top, int width, int height, Rgb colour) {
  fillRectangle(left - 1, top - 1, width + 2, 1, colour);
  fillRectangle(left - 1, top + height, width + 2, 1, colour);
  fillRectangle(left - 1, top, 1, height, colour);
  fillRectangle(left + width, top, 1, height, colour);
}

void RasterImage::fillDisc(double centreX, double centreY, double radius, Rgb colour) {
  int x0, x1, y0, y1;
  pixelSpan(centreX - radius - 1, centreX + radius + 1, width_, x0, x1);
  pixelSpan(centreY - radius - 1, centreY + radius + 1, height_, y0, y1);
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x)
      blend(x, y, colour, coverageAt(radius - std::hypot(x + 0.5 - centreX, y + 0.5 - centreY)));
}

void RasterImage::strokeCircle(double centreX, double centreY, double radius, double lineWidth,
                               Rgb colour) {
  const double outer = radius + lineWidth / 2 + 1;
  int x0, x1, y0, y1;
  pixelSpan(centreX - outer, centreX + outer, width_, x0, x1);
  pixelSpan(centreY - outer, centreY + outer, height_, y0, y1);
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      const double distance = std::hypot(x + 0.5 - centreX, y + 0.5 - centreY);
      blend(x, y, colour, coverageAt(lineWidth / 2 - std::fabs(distance - radius)));
    }
}

void RasterImage::strokeLine(double x0, double y0, double x1, double y1, double lineWidth, Rgb colour) {
  const double dx = x1 - x0, dy = y1 - y0, length2 = dx * dx + dy * dy;
  const double reach = lineWidth / 2 + 1;
  int px0, px1, py0, py1;
  pixelSpan(std::min(x0, x1) - reach, std::max(x0, x1) + reach, width_, px0, px1);
  pixelSpan(std::min(y0, y1) - reach, std::max(y0, y1) + reach, height_, py0, py1);
  for (int y = py0; y <= py1; ++y)
    for (int x = px0; x <= px1; ++x) {
      // Distance from the pixel's centre to the nearest point of the segment.
      const double cx = x + 0.5 - x0, cy = y + 0.5 - y0;
      const double t = length2 > 0 ? std::clamp((cx * dx + cy * dy) / length2, 0.0, 1.0) : 0.0;
      blend(x, y, colour, coverageAt(lineWidth / 2 - std::hypot(cx - t * dx, cy - t * dy)));
    }
}

bool writePng(OutputFile& output, const RasterImage& image, const std::string& description) {
  PngFormat format;
  format.width = uint32_t(image.width());
  format.height = uint32_t(image.height());
  format.colour = true;
  format.description = description;
  const size_t rowBytes = size_t(image.width()) * 3;
  return writePngImage(output, format, [&](uint32_t y) { return image.pixels().data() + y * rowBytes; });
}
