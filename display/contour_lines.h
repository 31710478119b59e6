// The yellow iso-luminance lines over the sky (and, without the dome, the
// horizon circle and two axes). Drawn by the scene when drawContours is on,
// immediately or from the arrays of display/scene_arrays.h (the same lines).
#pragma once

#include "display/scene_arrays.h"
#include "sky/sky.h"

void drawContourLines(const Sky& sky, float skyNormaliser, float hemisphereRadius,
                      bool drawHemisphere);

void drawContourLines(const ContourArrays& contours, bool drawHemisphere);
