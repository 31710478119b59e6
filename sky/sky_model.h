// The sky model: relative luminance of any sky direction for the current
// distribution and sun, the normaliser of displayed luminance, and the table
// of the fifteen general sky types.
#pragma once

#include <cstdio>

#include "core/vec3.h"
#include "sky/sky_distribution.h"

// Gradation a, b and indicatrix c, d, e of general types 1..15 (row 0 is
// type 1).
extern const float generalSkyParameters[15][5];
// Descriptions of general types 1..15 (row 0 is type 1), as the menu shows them.
extern const char* const generalSkyNames[15];

// Unit vector of (azimuth, elevation): azimuth from +x towards +y, +z up.
Vec3 angleToVector(float azimuth, float elevation);

// Relative luminance of the current sky (appState) in a direction.
float skyLuminance(float azimuth, float elevation);

// Recomputes appState.skyNormaliser for the current sky.
void normaliseSky();

// Where the sky model writes its diagnostics (the POINT indicatrix table and
// the unknown-distribution line). The window program keeps the default,
// standard output for the table and standard error for the unknown
// distribution; the command-line tools send both to standard error so they
// cannot mix with a file written to standard output. A null stream stands for
// the default one.
void setSkyDiagnostics(std::FILE* pointTable, std::FILE* unknownDistribution);
