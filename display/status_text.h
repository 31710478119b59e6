// The texts of the window's overlays and where they go, without drawing.
//
// All overlay text uses a fixed 8-pixel-wide bitmap font; the positions are
// window pixels with the origin at the bottom left and y upwards.
#pragma once

#include <string>

#include "sky/sky.h"

// The status line: distribution, requested number of points and the sun as
// elevation and compass bearing in whole degrees, e.g.
// "CLEAR distribution, 250 points, sun (45,180)".
std::string statusText(const Sky& sky, int numSamplePoints);

// Length of the longest line of a text, in characters; line breaks restart
// the count.
int longestLineLength(const char* text);

// Where multi-line overlay text starts: the text never starts left of pixel
// 1, runs past the right edge only when it is wider than the window, and its
// first line never sits below pixel 4.
struct OverlayPosition {
  float x;
  float y;
};
OverlayPosition placeOverlayText(const char* text, float x, float y, float viewWidth);

// The question shown before the text of an open prompt: kind 0 is the
// terrain chooser, kind 1 the name of the sample point file.
const char* promptQuestion(int promptKind);

// Left end of the prompt question: centred in the window less 160 pixels
// that leave room for the typed text; when even that does not fit, a
// position beyond the window, which placeOverlayText turns into
// right-aligned text.
int promptQuestionX(int windowWidth, const char* question);

// Left end of a text of the given width in characters, centred in the window
// (integer division truncating toward zero).
int centredTextX(int windowWidth, int characters);

// Height of the first line of prompts, busy and flash messages.
inline int topMessageY(int windowHeight) { return windowHeight - 40; }
