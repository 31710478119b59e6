// The concentric equal-area mapping. Octant k covers azimuths k * pi/4 up to
// (k + 1) * pi/4; a point at ring radius r and offset t (0 <= t < r) along
// its ring has centred coordinates (x, y) in [-1, 1]^2:
//
//   octant  0: ( r,      t)   1: ( r - t,  r)   2: (-t,  r)      3: (-r,  r - t)
//   octant  4: (-r,     -t)   5: ( t - r, -r)   6: ( t, -r)      7: ( r,  t - r)
//
// Values are floats; the constants are doubles, as in the sky model.
#include "sky/hemisphere_mapping.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr double kQuarterPi = 0.7853975;
// Azimuth at the start of each octant (k * 0.7853975 rounded to float).
constexpr float kOctantBase[8] = {0.0f,     0.7853975f, 1.570795f, 2.3561926f,
                                  3.14159f, 3.9269874f, 4.712385f, 5.4977827f};

[[noreturn]] void octantError(int octant, float azimuth) {
  std::fprintf(stderr, "ERROR: offset = %d, phi = %g\n", octant, static_cast<double>(azimuth));
  std::fflush(stderr);
  std::exit(-1);
}

// floor(q) as an int; a quotient that no int holds (or not a number) gives
// INT_MIN, as the processor's own conversion does, and so an octant error.
int floorToInt(double q) {
  double f = std::floor(q);
  if (!(f >= INT_MIN && f <= INT_MAX)) return INT_MIN;
  return static_cast<int>(f);
}

}  // namespace

void squareToHemisphere(float u, float v, float& elevation, float& azimuth) {
  float x = 2 * u - 1;
  float y = 2 * v - 1;

  // The tests are strict and run in this order, which decides the side of
  // every diagonal and axis: the positive x axis falls to octant 7.
  float r, g;
  int octant;
  if (-x < y && y < x) {  // right triangle
    r = x;
    if (y > 0) {
      octant = 0, g = y;
    } else {
      octant = 7, g = x + y;
    }
  } else if (-x < y) {  // top triangle
    r = y;
    if (x > 0) {
      octant = 1, g = y - x;
    } else {
      octant = 2, g = -x;
    }
  } else if (x < y) {  // left triangle
    r = -x;
    if (y > 0) {
      octant = 3, g = -x - y;
    } else {
      octant = 4, g = -y;
    }
  } else {  // bottom triangle
    r = -y;
    if (x > 0) {
      octant = 6, g = x;
    } else if (y == 0) {  // the centre
      elevation = 1.570795;
      azimuth = 0;
      return;
    } else {
      octant = 5, g = x - y;
    }
  }

  float zenithAngle = std::acos(static_cast<double>(1 - r * r));
  elevation = 1.570795 - zenithAngle;
  azimuth = g / r * kQuarterPi + kOctantBase[octant];
}

void hemisphereToSquare(float elevation, float azimuth, float& u, float& v) {
  float zenithAngle = 1.570795 - elevation;
  if (zenithAngle < 0.0001) {
    u = 0.5f;
    v = 0.5f;
    return;
  }

  int k = floorToInt(azimuth / kQuarterPi);
  float cosZ = std::cos(static_cast<double>(zenithAngle));
  float oneMinusCosZ = 1 - cosZ;
  float r = std::sqrt(static_cast<double>(oneMinusCosZ));
  // The offset uses k before the octant is wrapped, so an azimuth and the
  // same azimuth plus or minus 2 pi give the same point.
  float t = (azimuth - k * kQuarterPi) * (r * 1.2732406201955062);  // 4 / 3.14159

  int octant = k;
  if (octant < 0) octant += 8;
  if (octant >= 8) octant -= 8;

  float x, y;
  switch (octant) {
    case 0: x = r, y = t; break;
    case 1: x = r - t, y = r; break;
    case 2: x = -t, y = r; break;
    case 3: x = -r, y = r - t; break;
    case 4: x = -r, y = -t; break;
    case 5: x = t - r, y = -r; break;
    case 6: x = t, y = -r; break;
    case 7: x = r, y = t - r; break;
    default: octantError(octant, azimuth);
  }
  u = (x + 1) * 0.5;
  v = (y + 1) * 0.5;
}
