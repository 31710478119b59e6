// The colour map of the tools' pictures: viridis, a perceptually uniform map
// from dark blue-violet through teal and green to yellow. Its lightness rises
// steadily from end to end, so equal steps in value look like equal steps in
// colour, and it still reads in greyscale and for the common colour-vision
// deficiencies.
#pragma once

#include <cstdint>

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
};

inline bool operator==(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
inline bool operator!=(Rgb a, Rgb b) { return !(a == b); }

// The 256 entries of the map, darkest first: as published (sRGB channels
// from 0 to 1), and rounded to 8 bits as the pictures use them. An index
// outside 0 .. 255 is held to it.
constexpr int kColourMapSize = 256;
struct ColourMapValue {
  float r, g, b;
};
ColourMapValue colourMapValue(int index);
Rgb colourMapEntry(int index);

// The colour of `value` on a scale from `low` (the first entry) to `high` (the
// last). Values outside the scale take the colour of its nearer end; a value
// that is not a number, or a scale that is empty or not finite, gives
// kNoDataColour.
Rgb colourOf(double value, double low, double high);

// Cells without a value: a neutral grey that the map never uses.
constexpr Rgb kNoDataColour{200, 200, 200};
