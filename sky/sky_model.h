// The sky model: the relative luminance of any direction of a sky, the
// normaliser of displayed luminance, and the table of the fifteen general
// sky types.
#pragma once

#include <cstdio>

#include "sky/sky.h"

// Gradation a, b and indicatrix c, d, e of general types 1..15 (row 0 is
// type 1).
extern const float generalSkyParameters[15][5];
// Descriptions of general types 1..15 (row 0 is type 1), as the menu shows them.
extern const char* const generalSkyNames[15];

// Relative luminance of the sky in a direction (radians; azimuth from +x
// towards +y). Below the horizon every sky is dark. The POINT sky writes the
// table of its indicatrix whenever it is evaluated within 0.01 of the horizon,
// and an unknown distribution is reported on every evaluation and taken as
// uniform (see setSkyDiagnostics for where these go).
float skyLuminance(const Sky& sky, float azimuth, float elevation);

// The same luminance without the diagnostics, for integrations that evaluate
// thousands of directions near the horizon (the POINT table would be written
// for each of them).
float skyLuminanceQuietly(const Sky& sky, float azimuth, float elevation);

// The normaliser of displayed luminance: half the luminance integrated over
// 128 azimuth columns by 64 elevation rows, each cell weighted by its solid
// angle (with the cosine of its lower edge).
float normaliseSky(const Sky& sky);

// Where the sky model writes its diagnostics (the POINT indicatrix table and
// the unknown-distribution line). The window program keeps the default,
// standard output for the table and standard error for the unknown
// distribution; the command-line tools send both to standard error so they
// cannot mix with a file written to standard output. A null stream stands for
// the default one. A program sets this once, before it evaluates any sky.
void setSkyDiagnostics(std::FILE* pointTable, std::FILE* unknownDistribution);
