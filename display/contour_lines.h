// The yellow iso-luminance lines over the sky (and, without the dome, the
// horizon circle and two axes). Drawn by the scene when drawContours is on.
#pragma once

#include "sky/sky.h"

void drawContourLines(const Sky& sky, float skyNormaliser, float hemisphereRadius,
                      bool drawHemisphere);
