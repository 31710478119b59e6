// The value scale of the tools' pictures: the range of values the colour map
// spans, tick values at round numbers, and the colour bar that shows them.
//
// A colour bar lies horizontally: the colours from low (left) to high, ticks
// and their values below it, and the units below those.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "tools/raster_image.h"

struct ValueRange {
  double low = 0;
  double high = 1;
};

// Can the colour map span this range (both ends finite, low below high)?
bool isUsableRange(const ValueRange& range);

// The smallest and largest finite value. When there is none the range is 0 to
// 1; when they are equal it widens to a tenth of the value either side (or
// ±1 around 0), so that the value sits in the middle of the scale.
ValueRange rangeOfValues(const float* values, size_t count);

struct LegendTicks {
  std::vector<double> values;  // low to high, all within the range
  std::vector<std::string> labels;
  double step = 0;             // 1, 2 or 5 times a power of ten
};

// Round tick values within the range, evenly spaced at the smallest step of
// 1, 2 or 5 times a power of ten that keeps their number within maxCount;
// labelled with the decimals the step needs. There are always at least two:
// when maxCount is below 5 and no round step gives from 2 to maxCount ticks,
// the step gives a few more (at most 5).
LegendTicks legendTicks(const ValueRange& range, int maxCount);

// The height of a colour bar with its tick values and units at text scale
// `scale`.
int colourBarHeight(int scale);

// How far the first tick label reaches left of the bar and the last right of
// it, in pixels (0 when they stay within).
struct ColourBarOverhang {
  int left = 0, right = 0;
};

// The colour bar of `range` with its top left corner at (left, top), `width`
// pixels wide, as many ticks as leave room between their labels.
class ColourBar {
 public:
  ColourBar(const ValueRange& range, const std::string& units, int width, int scale);
  ColourBarOverhang overhang() const;
  // The width of the units text.
  int unitsWidth() const;
  const LegendTicks& ticks() const { return ticks_; }
  void draw(RasterImage& image, int left, int top) const;

 private:
  int tickX(double value) const;

  ValueRange range_;
  std::string units_;
  int width_, scale_;
  LegendTicks ticks_;
};

// The colours of the pictures' frames, text and guide lines.
constexpr Rgb kPaper{255, 255, 255};
constexpr Rgb kInk{34, 34, 34};
constexpr Rgb kFaintInk{110, 110, 110};
