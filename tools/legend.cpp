#include "tools/legend.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/bitmap_font.h"
#include "tools/colour_map.h"

bool isUsableRange(const ValueRange& range) {
  return std::isfinite(range.high - range.low) && range.low < range.high;
}

ValueRange rangeOfValues(const float* values, size_t count) {
  double low = INFINITY, high = -INFINITY;
  for (size_t i = 0; i < count; ++i)
    if (std::isfinite(values[i])) {
      low = std::min(low, double(values[i]));
      high = std::max(high, double(values[i]));
    }
  if (low > high) return ValueRange{0, 1};
  if (low == high) {
    const double half = low == 0 ? 1 : std::fabs(low) / 10;
    return ValueRange{low - half, high + half};
  }
  return ValueRange{low, high};
}

namespace {

// The label of a tick value, a multiple of a step of 10^exponent: as many
// decimals as the step needs, never "-0"; in exponent notation when the step
// is tiny or huge, with the digits that tell neighbouring ticks apart.
std::string tickLabel(double value, int exponent, double largest) {
  char text[64];
  if (exponent >= -6 && exponent <= 9) {
    std::snprintf(text, sizeof text, "%.*f", std::max(0, -exponent), value);
  } else {
    const int digits = int(std::floor(std::log10(largest))) - exponent + 1;
    std::snprintf(text, sizeof text, "%.*g", std::clamp(digits, 1, 17), value);
  }
  std::string label = text;
  if (label[0] == '-' && label.find_first_not_of("0.", 1) == std::string::npos) label.erase(0, 1);
  return label;
}

}  // namespace

LegendTicks legendTicks(const ValueRange& range, int maxCount) {
  LegendTicks ticks;
  if (!isUsableRange(range)) return ticks;
  maxCount = std::max(maxCount, 2);
  // Round steps from small to large; each gives the indices first .. last
  // of its multiples within the range (a hair of slack keeps an end that is
  // itself round, 0 or 1, from being lost to rounding).
  struct Candidate {
    double step = 0, first = 0, last = 0;
    int exponent = 0;
    double count() const { return last - first + 1; }
  };
  auto candidate = [&](double mantissa, int exponent) {
    Candidate c;
    c.exponent = exponent;
    c.step = mantissa * std::pow(10.0, exponent);
    const double slack = 1e-9 * (range.high - range.low) / c.step;
    c.first = std::ceil(range.low / c.step - slack);
    c.last = std::floor(range.high / c.step + slack);
    return c;
  };
  // The first step that gives few enough ticks; if it gives only one, the
  // step before it (a little over maxCount, which happens only below 5).
  Candidate chosen, previous;
  for (int exponent = int(std::floor(std::log10((range.high - range.low) / maxCount))) - 1;
       chosen.step == 0; ++exponent)
    for (double mantissa : {1.0, 2.0, 5.0}) {
      const Candidate c = candidate(mantissa, exponent);
      if (c.count() <= maxCount) {
        chosen = c.count() >= 2 || previous.step == 0 ? c : previous;
        break;
      }
      previous = c;
    }
  const double largest = std::max({std::fabs(chosen.first), std::fabs(chosen.last), 1.0}) * chosen.step;
  for (double index = chosen.first; index <= chosen.last; ++index) {
    ticks.values.push_back(std::clamp(index * chosen.step, range.low, range.high));
    ticks.labels.push_back(tickLabel(index * chosen.step, chosen.exponent, largest));
  }
  ticks.step = chosen.step;
  return ticks;
}

// ---- The colour bar --------------------------------------------------------------

namespace {

// Vertical layout of a colour bar, in multiples of the text scale.
constexpr int kBarHeight = 6, kTickLength = 2, kLabelGap = 4, kUnitsGap = 5;

}  // namespace

int colourBarHeight(int scale) {
  return (kBarHeight + kTickLength + kLabelGap + kGlyphAscent + kUnitsGap + kGlyphAscent + kGlyphDescent) * scale;
}

ColourBar::ColourBar(const ValueRange& range, const std::string& units, int width, int scale)
    : range_(range), units_(units), width_(std::max(width, 2)), scale_(scale) {
  // The most ticks whose labels stay apart by at least two characters.
  for (int count = 7; count >= 2; --count) {
    ticks_ = legendTicks(range_, count);
    int widest = 0;
    for (const std::string& label : ticks_.labels) widest = std::max(widest, textWidth(label, scale_));
    const double spacing = ticks_.step / (range_.high - range_.low) * width_;
    if (spacing >= widest + 2 * kGlyphAdvance * scale_) break;
  }
}

int ColourBar::tickX(double value) const {
  const double t = (value - range_.low) / (range_.high - range_.low);
  return std::min(width_ - 1, int(std::floor(t * width_)));
}

ColourBarOverhang ColourBar::overhang() const {
  ColourBarOverhang overhang;
  if (ticks_.values.empty()) return overhang;
  const int firstHalf = textWidth(ticks_.labels.front(), scale_) / 2;
  const int lastHalf = textWidth(ticks_.labels.back(), scale_) - textWidth(ticks_.labels.back(), scale_) / 2;
  overhang.left = std::max(0, firstHalf - tickX(ticks_.values.front()));
  overhang.right = std::max(0, tickX(ticks_.values.back()) + lastHalf - (width_ - 1));
  return overhang;
}

int ColourBar::unitsWidth() const { return textWidth(units_, scale_); }

void ColourBar::draw(RasterImage& image, int left, int top) const {
  const int barHeight = kBarHeight * scale_;
  for (int x = 0; x < width_; ++x) {
    const double value = range_.low + (x + 0.5) / width_ * (range_.high - range_.low);
    image.fillRectangle(left + x, top, 1, barHeight, colourOf(value, range_.low, range_.high));
  }
  image.frameRectangle(left, top, width_, barHeight, kInk);
  const int tickTop = top + barHeight + 1;
  const int labelTop = tickTop + (kTickLength + kLabelGap) * scale_;
  for (size_t i = 0; i < ticks_.values.size(); ++i) {
    const int x = left + tickX(ticks_.values[i]);
    image.fillRectangle(x, tickTop, std::max(1, scale_ / 2), kTickLength * scale_, kInk);
    drawText(image, x, labelTop, ticks_.labels[i], scale_, kInk, TextAlign::kCentre);
  }
  const int unitsTop = labelTop + (kGlyphAscent + kUnitsGap) * scale_;
  const int unitsWidth = textWidth(units_, scale_);
  if (unitsWidth <= width_)
    drawText(image, left + width_ / 2, unitsTop, units_, scale_, kInk, TextAlign::kCentre);
  else
    drawText(image, left, unitsTop, units_, scale_, kInk);
}
