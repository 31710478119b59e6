// The sky model. Every intermediate value is a float; the constants are
// doubles, so a mixed expression is evaluated in double precision and rounded
// to float where it is stored. The order of the operations is part of the
// results (the sample sets and the stored files depend on the last bit), so
// expressions are written in the order the model defines and not simplified.
#include "sky/sky_model.h"

#include <cmath>

#include "app/app_state.h"

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

// Scattering indicatrix f of a parameter row at angle gamma from the sun;
// cosGamma is the caller's cosine of gamma (not recomputed here).
float indicatrix(const float* row, float gamma, float cosGamma) {
  const float c = row[2], d = row[3], e = row[4];
  return 1 + c * (std::exp(static_cast<double>(d * gamma)) - std::exp(d * 3.14159 * 0.5)) +
         e * cosGamma * cosGamma;
}

// Luminance gradation phi of a parameter row at zenith angle Z.
float gradation(const float* row, float zenithAngle) {
  const float a = row[0], b = row[1];
  return 1 + a * std::exp(b / std::cos(static_cast<double>(zenithAngle)));
}

float generalSky(const float* row, float gamma, float cosGamma, float zenithAngle) {
  float f = indicatrix(row, gamma, cosGamma);
  float phi = gradation(row, zenithAngle);
  return f * phi;
}

// The indicatrix of a row from 0 to 170 degrees from the sun, one flushed line
// per 10 degrees, then an empty line.
void writePointTable(const float* row) {
  std::FILE* out = pointTableStream ? pointTableStream : stdout;
  for (float r = 0; r < 3.14159; r = r + 0.17453277777777776) {
    float cosR = std::cos(static_cast<double>(r));
    std::fprintf(out, "%g: %g\n", r / 3.14159 * 180, static_cast<double>(indicatrix(row, r, cosR)));
    std::fflush(out);
  }
  std::fputc('\n', out);
  std::fflush(out);
}

}  // namespace

Vec3 angleToVector(float azimuth, float elevation) {
  double zenithAngle = 1.570795 - elevation;
  double sinZ = std::sin(zenithAngle);
  return Vec3(static_cast<float>(std::cos(static_cast<double>(azimuth)) * sinZ),
              static_cast<float>(std::sin(static_cast<double>(azimuth)) * sinZ),
              static_cast<float>(std::cos(zenithAngle)));
}

float skyLuminance(float azimuth, float elevation) {
  if (elevation < 0) return 0;

  float zenithAngle = 1.570795 - elevation;
  Vec3 v = angleToVector(azimuth, elevation);
  float cosGamma = appState.sunDirection.dot(v);
  // Rounding can push the dot product of two unit vectors just past +-1,
  // whose arc cosine is not a number.
  if (cosGamma > 1) cosGamma = 1;
  if (cosGamma < -1) cosGamma = -1;
  float gamma = std::acos(static_cast<double>(cosGamma));

  const int distribution = appState.distribution;
  switch (distribution) {
    case UNIFORM:
      return 1;
    case OVERCAST:
      return (2 * std::sin(static_cast<double>(elevation)) + 1) / 3;
    case CLEAR:
      return generalSky(generalSkyParameters[kClearRow], gamma, cosGamma, zenithAngle);
    case SHARP: {
      float c = std::cos(static_cast<double>(gamma));
      if (c < 0) c = 0;
      return std::pow(static_cast<double>(c), static_cast<double>(appState.specularity)) +
             appState.ambient;
    }
    case POINT: {
      const float* row = generalSkyParameters[appState.generalType];
      float l = indicatrix(row, gamma, cosGamma);
      if (elevation < 0.01) writePointTable(row);
      return l;
    }
    case COSINE:
      return std::cos(1.570795 - elevation);
    case TURBID:
      return generalSky(generalSkyParameters[kTurbidRow], gamma, cosGamma, zenithAngle);
    case GENERAL:
      return generalSky(generalSkyParameters[appState.generalType], gamma, cosGamma, zenithAngle);
    default: {
      std::FILE* out = unknownDistributionStream ? unknownDistributionStream : stderr;
      std::fprintf(out, "Unknown type of sky distribution: %d.  Assuming UNIFORM\n", distribution);
      std::fflush(out);
      return 1;
    }
  }
}

void normaliseSky() {
  const float s = 3.14159 / 128;  // 0.0245436728
  const float halfS = s / 2;
  const float twoS = 2 * s;
  float sum = 0;
  float azimuthEdge = 0;
  for (int j = 0; j < 128; ++j) {
    float azimuth = azimuthEdge + s;
    float elevationEdge = 0;
    for (int i = 0; i < 64; ++i) {
      float l = skyLuminance(azimuth, elevationEdge + halfS);
      // The cosine of the row's lower edge, not of its midpoint.
      float w = std::cos(static_cast<double>(elevationEdge)) * s * twoS;
      sum = sum + l * w;
      elevationEdge = elevationEdge + s;
    }
    azimuthEdge = azimuthEdge + twoS;
  }
  appState.skyNormaliser = sum * 0.5;
}

void setSkyDiagnostics(std::FILE* pointTable, std::FILE* unknownDistribution) {
  pointTableStream = pointTable;
  unknownDistributionStream = unknownDistribution;
}
