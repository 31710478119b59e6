// A small bitmap font for the labels of the tools' pictures: digits, ASCII
// letters and punctuation, and the degree and multiplication signs. Each glyph
// is 5 x 7 pixels above the baseline with two rows below it for descenders,
// drawn `scale` times enlarged with sharp edges.
#pragma once

#include <string>

#include "tools/raster_image.h"

// Glyph sizes at scale 1: the advance includes one pixel of spacing.
constexpr int kGlyphAdvance = 6;
constexpr int kGlyphAscent = 7;
constexpr int kGlyphDescent = 2;

enum class TextAlign { kLeft, kCentre, kRight };

// The width in pixels of a line of UTF-8 text, without trailing spacing.
int textWidth(const std::string& text, int scale);

// Draws one line of UTF-8 text with the top of its capitals at `top`; `x` is
// its left end, centre or right end as `align` says. A character the font
// does not have is drawn as '?'.
void drawText(RasterImage& image, int x, int top, const std::string& text, int scale, Rgb colour,
              TextAlign align = TextAlign::kLeft);
