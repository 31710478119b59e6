// The program's own angle constants and the conversions shown to users.
//
// Every angle is radians in a float. The program uses 3.14159 for pi (and
// 1.570795, 6.28318 for its half and double), never the exact value: stored
// files and displayed numbers depend on these digits.
#pragma once

#include <cmath>

#include "core/vec3.h"

constexpr double kPi = 3.14159;
constexpr double kHalfPi = 1.570795;
constexpr double kTwoPi = 6.28318;

// Radians to degrees: the float product with 180, divided by 3.14159 and
// rounded back to float.
inline float toDegrees(float radians) {
  return static_cast<float>(radians * 180 / 3.14159);
}

// Elevation in whole degrees as files and the status line show it.
inline float displayedElevation(float elevation) {
  float e = toDegrees(elevation);
  return std::floor(e + 0.5f);
}

// Azimuth (counter-clockwise from +x) as a compass bearing in whole degrees
// (clockwise from +y). An azimuth of exactly 90 degrees gives 360, not 0.
inline float displayedBearing(float azimuth) {
  float a = toDegrees(azimuth);
  float b = a < 90 ? 90 - a : 360 - (a - 90);
  return std::floor(b + 0.5f);
}

// A direction given as users give it, elevation and compass bearing in
// degrees (bearing clockwise from north, +y), as the model's angles: the
// elevation, and the azimuth 90 - bearing brought into [0, 360) degrees, each
// converted with 3.14159 in double precision and rounded to float. So "45"
// and "180" give exactly the default sun 0.7853975 and 4.712385, and every
// way of giving the sun (typed angles, a site and a time) gives the same
// floats for the same degrees.
inline void compassToModelAngles(double elevationDegrees, double bearingDegrees, float& elevation,
                                 float& azimuth) {
  double azimuthDegrees = 90 - bearingDegrees;
  if (azimuthDegrees < 0) azimuthDegrees += 360;
  elevation = static_cast<float>(elevationDegrees * 3.14159 / 180);
  azimuth = static_cast<float>(azimuthDegrees * 3.14159 / 180);
}

// The unit vector of a direction: azimuth from +x towards +y, elevation from
// the horizon, +z up. The zenith angle 1.570795 - elevation and the sines
// and cosines are taken in double precision, each component rounded to float.
inline Vec3 angleToVector(float azimuth, float elevation) {
  const double zenithAngle = 1.570795 - elevation;
  const double sinZ = std::sin(zenithAngle);
  return Vec3(static_cast<float>(std::cos(static_cast<double>(azimuth)) * sinZ),
              static_cast<float>(std::sin(static_cast<double>(azimuth)) * sinZ),
              static_cast<float>(std::cos(zenithAngle)));
}
