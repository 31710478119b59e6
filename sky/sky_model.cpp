// The sky model. Every intermediate value is a float; the constants are
// doubles, so a mixed expression is evaluated in double precision and rounded
// to float where it is stored. The order of the operations is part of the
// results (the sample sets and the stored files depend on the last bit), so
// expressions are written in the order the model defines and not simplified.
#include "sky/sky_model.h"

#include <cmath>


const float generalSkyParameters[15][5] = {
    {4.0f, -0.70f, 0.0f, -1.0f, 0.00f},    //  1
    {4.0f, -0.70f, 2.0f, -1.5f, 0.15f},    //  2
    {1.1f, -0.80f, 0.0f, -1.0f, 0.00f},    //  3
    {1.1f, -0.80f, 2.0f, -1.5f, 0.15f},    //  4
    {0.0f, -1.00f, 0.0f, -1.0f, 0.00f},    //  5
    {0.0f, -1.00f, 2.0f, -1.5f, 0.15f},    //  6
    {0.0f, -1.00f, 5.0f, -2.5f, 0.30f},    //  7
    {0.0f, -1.00f, 10.0f, -3.0f, 0.45f},   //  8
    {-1.0f, -0.55f, 2.0f, -1.5f, 0.15f},   //  9
    {-1.0f, -0.55f, 5.0f, -2.5f, 0.30f},   // 10
    {-1.0f, -0.55f, 10.0f, -3.0f, 0.45f},  // 11
    {-1.0f, -0.32f, 10.0f, -3.0f, 0.45f},  // 12
    {-1.0f, -0.32f, 16.0f, -3.0f, 0.30f},  // 13
    {-1.0f, -0.15f, 16.0f, -3.0f, 0.30f},  // 14
    {-1.0f, -0.15f, 24.0f, -2.8f, 0.15f},  // 15
};

// The menu's own labels, spelling included.
const char* const generalSkyNames[15] = {
    "CIE standard overcast sky, alternative form, steep luminance gradation toward zenith, "
    "azimuthal uniformity",
    "Overcast, steep luminance gradation and slight brightening towards the sun",
    "Overcast, moderately graded with azimuthal uniformity",
    "Overcast, moderately graded and slight brightening towards the sun",
    "Uniform luminance",
    "Partly cloudy, no gradation towards zenith, slight brightening towards the sun",
    "Partly cloudy, no gradation towards zenith, brighter circumsolor region",
    "Partly cloudy, no gradation towards zenith, distinct solar corona",
    "Partly cloudy, with obscured sun",
    "Partly cloudy, with brighter circumsolar region",
    "White-blue sky with distinct solar corona",
    "CIE standard clear sky, low illuminance turbidity",
    "CIE standard clear sky, polluted atmosphere",
    "Cloudless turbid sky with broad solar corona",
    "White-blue turbid sky with broad solar corona",
};

namespace {

// Rows of the fixed distributions (0-based general types).
constexpr int kClearRow = 10;   // general type 11
constexpr int kTurbidRow = 13;  // general type 14

// Null means the default stream (stdout for the table, stderr for the line).
std::FILE* pointTableStream = nullptr;
std::FILE* unknownDistributionStream = nullptr;

// exp(d * 3.14159 * 0.5) of every row: the indicatrix term at right angles
// to the sun, a constant of the row.
const double* rightAngleTerms() {
  static const struct Terms {
    double value[15];
    Terms() {
      for (int k = 0; k < 15; ++k) value[k] = std::exp(generalSkyParameters[k][3] * 3.14159 * 0.5);
    }
  } terms;
  return terms.value;
}

// Scattering indicatrix f of general type `row` at angle gamma from the sun;
// cosGamma is the caller's cosine of gamma (not recomputed here).
float indicatrix(int row, float gamma, float cosGamma) {
  const float c = generalSkyParameters[row][2], d = generalSkyParameters[row][3],
              e = generalSkyParameters[row][4];
  return 1 + c * (std::exp(static_cast<double>(d * gamma)) - rightAngleTerms()[row]) +
         e * cosGamma * cosGamma;
}

// Luminance gradation phi of general type `row`; cosZenith is the cosine of
// the zenith angle.
float gradation(int row, double cosZenith) {
  const float a = generalSkyParameters[row][0], b = generalSkyParameters[row][1];
  return 1 + a * std::exp(b / cosZenith);
}

float generalSky(int row, float gamma, float cosGamma, double cosZenith) {
  float f = indicatrix(row, gamma, cosGamma);
  float phi = gradation(row, cosZenith);
  return f * phi;
}

// The indicatrix of a row from 0 to 170 degrees from the sun, one flushed line
// per 10 degrees, then an empty line.
void writePointTable(int row) {
  std::FILE* out = pointTableStream ? pointTableStream : stdout;
  for (float r = 0; r < 3.14159; r = r + 0.17453277777777776) {
    float cosR = std::cos(static_cast<double>(r));
    std::fprintf(out, "%g: %g\n", r / 3.14159 * 180, static_cast<double>(indicatrix(row, r, cosR)));
    std::fflush(out);
  }
  std::fputc('\n', out);
  std::fflush(out);
}

// The unit vector of angleToVector from the sines and cosines of its angles
// (the zenith angle in double precision).
Vec3 directionVector(double cosAzimuth, double sinAzimuth, double sinZ, double cosZ) {
  return Vec3(static_cast<float>(cosAzimuth * sinZ), static_cast<float>(sinAzimuth * sinZ),
              static_cast<float>(cosZ));
}

// Luminance of a direction above the horizon for the distributions that
// depend on the sun: v is angleToVector of the direction, cosZenith the
// cosine of its zenith angle (1.570795 - elevation as a float).
float sunLitLuminance(const Sky& sky, float elevation, const Vec3& v, double cosZenith,
                      bool diagnostics = true) {
  float cosGamma = sky.sunDirection().dot(v);
  // Rounding can push the dot product of two unit vectors just past +-1,
  // whose arc cosine is not a number.
  if (cosGamma > 1) cosGamma = 1;
  if (cosGamma < -1) cosGamma = -1;
  float gamma = std::acos(static_cast<double>(cosGamma));

  switch (sky.distribution) {
    case SkyDistribution::CLEAR:
      return generalSky(kClearRow, gamma, cosGamma, cosZenith);
    case SkyDistribution::SHARP: {
      float c = std::cos(static_cast<double>(gamma));
      if (c < 0) c = 0;
      return std::pow(static_cast<double>(c), static_cast<double>(sky.specularity)) + sky.ambient;
    }
    case SkyDistribution::POINT: {
      float l = indicatrix(sky.generalType, gamma, cosGamma);
      if (diagnostics && elevation < 0.01) writePointTable(sky.generalType);
      return l;
    }
    case SkyDistribution::TURBID:
      return generalSky(kTurbidRow, gamma, cosGamma, cosZenith);
    default:  // GENERAL
      return generalSky(sky.generalType, gamma, cosGamma, cosZenith);
  }
}

// The luminance, with or without the diagnostics; a template so that each
// public entry point is its own straight function.
template <bool diagnostics>
__attribute__((always_inline)) inline float luminance(const Sky& sky, float azimuth, float elevation) {
  if (elevation < 0) return 0;

  switch (sky.distribution) {
    case SkyDistribution::UNIFORM:
      return 1;
    case SkyDistribution::OVERCAST:
      return (2 * std::sin(static_cast<double>(elevation)) + 1) / 3;
    case SkyDistribution::COSINE:
      return std::cos(1.570795 - elevation);
    case SkyDistribution::CLEAR:
    case SkyDistribution::SHARP:
    case SkyDistribution::POINT:
    case SkyDistribution::TURBID:
    case SkyDistribution::GENERAL: {
      float zenithAngle = 1.570795 - elevation;
      return sunLitLuminance(sky, elevation, angleToVector(azimuth, elevation),
                             std::cos(static_cast<double>(zenithAngle)), diagnostics);
    }
    default: {
      if (!diagnostics) return 1;
      std::FILE* out = unknownDistributionStream ? unknownDistributionStream : stderr;
      std::fprintf(out, "Unknown type of sky distribution: %d.  Assuming UNIFORM\n",
                   static_cast<int>(sky.distribution));
      std::fflush(out);
      return 1;
    }
  }
}

}  // namespace

float skyLuminance(const Sky& sky, float azimuth, float elevation) {
  return luminance<true>(sky, azimuth, elevation);
}

float skyLuminanceQuietly(const Sky& sky, float azimuth, float elevation) {
  return luminance<false>(sky, azimuth, elevation);
}

// The result is that of calling skyLuminance at every cell centre; the
// sines and cosines of the 128 azimuths and 64 elevations are computed once
// each instead of once per cell, and a sky without a sun once per row.
float normaliseSky(const Sky& sky) {
  constexpr int kColumns = 128, kRows = 64;
  const float s = 3.14159 / 128;  // 0.0245436728
  const float halfS = s / 2;
  const float twoS = 2 * s;

  struct Row {
    float elevation;  // of the cell centre
    float weight;     // solid angle, with the cosine of the row's lower edge
    double sinZ, cosZ, cosZenith;
  } rows[kRows];
  float elevationEdge = 0;
  for (Row& row : rows) {
    row.elevation = elevationEdge + halfS;
    row.weight = std::cos(static_cast<double>(elevationEdge)) * s * twoS;
    double zenithAngle = 1.570795 - row.elevation;
    row.sinZ = std::sin(zenithAngle);
    row.cosZ = std::cos(zenithAngle);
    float floatZenithAngle = 1.570795 - row.elevation;
    row.cosZenith = std::cos(static_cast<double>(floatZenithAngle));
    elevationEdge = elevationEdge + s;
  }

  // The uniform, overcast and cosine skies vary with the elevation alone:
  // one evaluation per row gives every cell of it the very same value.
  const bool sunLit = sky.dependsOnTheSun();
  const bool byRow = sky.distribution == SkyDistribution::UNIFORM ||
                     sky.distribution == SkyDistribution::OVERCAST ||
                     sky.distribution == SkyDistribution::COSINE;
  float rowLuminance[kRows];
  if (byRow)
    for (int k = 0; k < kRows; ++k) rowLuminance[k] = skyLuminance(sky, 0, rows[k].elevation);
  float sum = 0;
  float azimuthEdge = 0;
  for (int j = 0; j < kColumns; ++j) {
    float azimuth = azimuthEdge + s;
    double cosAzimuth = std::cos(static_cast<double>(azimuth));
    double sinAzimuth = std::sin(static_cast<double>(azimuth));
    for (int k = 0; k < kRows; ++k) {
      const Row& row = rows[k];
      float l = byRow    ? rowLuminance[k]
                : sunLit ? sunLitLuminance(sky, row.elevation,
                                           directionVector(cosAzimuth, sinAzimuth, row.sinZ, row.cosZ),
                                           row.cosZenith)
                         : skyLuminance(sky, azimuth, row.elevation);
      sum = sum + l * row.weight;
    }
    azimuthEdge = azimuthEdge + twoS;
  }
  return sum * 0.5;
}

void setSkyDiagnostics(std::FILE* pointTable, std::FILE* unknownDistribution) {
  pointTableStream = pointTable;
  unknownDistributionStream = unknownDistribution;
}
