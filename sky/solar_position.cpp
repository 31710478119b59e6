#include "sky/solar_position.h"

#include <algorithm>
#include <cmath>
#include <iterator>

// Index
//   1. Angles, time and deltaT
//   2. Refraction
//   3. The series and how far each algorithm keeps them
//   4. The algorithm

namespace {

// ---- 1. Angles, time and deltaT ------------------------------------------------

constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180;

double radians(double degrees) { return degrees * kRadiansPerDegree; }
double degrees(double radians) { return radians / kRadiansPerDegree; }

// An angle brought into [0, 360).
double wrap360(double angle) {
  double a = std::fmod(angle, 360.0);
  return a < 0 ? a + 360 : a;
}

// An angle brought into [-180, 180).
double wrap180(double angle) { return wrap360(angle + 180) - 180; }

// 2000-01-01T12:00:00Z, the epoch J2000.0 (Julian day 2451545.0), as a
// POSIX instant.
constexpr int64_t kJ2000Milliseconds = 946728000000;

// Days of Universal Time since J2000.0: the Julian day minus 2451545, kept
// small so that no digits are lost to the large Julian day number.
double daysSinceJ2000(UtcTime time) {
  return static_cast<double>(time.milliseconds - kJ2000Milliseconds) / 86400000.0;
}

// The same in Terrestrial Time, the time of the sun's orbital motion.
double ephemerisDaysSinceJ2000(double days, const SolarSite& site) {
  double dt = site.deltaTSeconds;
  if (std::isnan(dt)) dt = deltaT(2000 + (days + 0.5) / 365.2425);
  return days + dt / 86400;
}

}  // namespace

double deltaT(double y) {
  if (y < -500 || y >= 2150) {
    double u = (y - 1820) / 100;
    return -20 + 32 * u * u;
  }
  if (y < 500) {
    double u = y / 100;
    return 10583.6 + u * (-1014.41 + u * (33.78311 + u * (-5.952053 + u * (-0.1798452 + u * (0.022174192 + u * 0.0090316521)))));
  }
  if (y < 1600) {
    double u = (y - 1000) / 100;
    return 1574.2 + u * (-556.01 + u * (71.23472 + u * (0.319781 + u * (-0.8503463 + u * (-0.005050998 + u * 0.0083572073)))));
  }
  if (y < 1700) {
    double t = y - 1600;
    return 120 + t * (-0.9808 + t * (-0.01532 + t / 7129));
  }
  if (y < 1800) {
    double t = y - 1700;
    return 8.83 + t * (0.1603 + t * (-0.0059285 + t * (0.00013336 - t / 1174000)));
  }
  if (y < 1860) {
    double t = y - 1800;
    return 13.72 + t * (-0.332447 + t * (0.0068612 + t * (0.0041116 + t * (-0.00037436 + t * (0.0000121272 + t * (-0.0000001699 + t * 0.000000000875))))));
  }
  if (y < 1900) {
    double t = y - 1860;
    return 7.62 + t * (0.5737 + t * (-0.251754 + t * (0.01680668 + t * (-0.0004473624 + t / 233174))));
  }
  if (y < 1920) {
    double t = y - 1900;
    return -2.79 + t * (1.494119 + t * (-0.0598939 + t * (0.0061966 - t * 0.000197)));
  }
  if (y < 1941) {
    double t = y - 1920;
    return 21.20 + t * (0.84493 + t * (-0.076100 + t * 0.0020936));
  }
  if (y < 1961) {
    double t = y - 1950;
    return 29.07 + t * (0.407 + t * (-1.0 / 233 + t / 2547));
  }
  if (y < 1986) {
    double t = y - 1975;
    return 45.45 + t * (1.067 + t * (-1.0 / 260 - t / 718));
  }
  if (y < 2005) {
    double t = y - 2000;
    return 63.86 + t * (0.3345 + t * (-0.060374 + t * (0.0017275 + t * (0.000651814 + t * 0.00002373599))));
  }
  if (y < 2050) {
    double t = y - 2000;
    return 62.92 + t * (0.32217 + t * 0.005589);
  }
  double u = (y - 1820) / 100;
  return -20 + 32 * u * u - 0.5628 * (2150 - y);
}

// ---- 2. Refraction -------------------------------------------------------------

double atmosphericRefraction(double elevation, double pressureHpa, double temperatureC) {
  const double kSunRadius = 0.26667, kHorizonRefraction = 0.5667;
  if (elevation < -(kSunRadius + kHorizonRefraction)) return 0;
  double arcMinutes = 1.02 / std::tan(radians(elevation + 10.3 / (elevation + 5.11)));
  return (pressureHpa / 1010) * (283 / (273 + temperatureC)) * arcMinutes / 60;
}

// ---- 3. The series and how far each algorithm keeps them ------------------------
// Reda and Andreas, tables A4.2 (the earth's heliocentric longitude L,
// latitude B and radius R: VSOP87 terms A cos(B + C tau), tau in Julian
// millennia of TT, A in 1e-8 radians or AU) and A4.3 (the nutation in
// longitude and obliquity: multipliers of the five fundamental arguments,
// then a + b T for the longitude and c + d T for the obliquity, in 0.0001
// arc seconds).

namespace {

struct SeriesTerm {
  double a, b, c;
};

struct NutationTerm {
  int multiplier[5];
  double a, b, c, d;
};

const SeriesTerm kL0[] = {
    {175347046, 0, 0}, {3341656, 4.6692568, 6283.07585}, {34894, 4.6261, 12566.1517},
    {3497, 2.7441, 5753.3849}, {3418, 2.8289, 3.5231}, {3136, 3.6277, 77713.7715},
    {2676, 4.4181, 7860.4194}, {2343, 6.1352, 3930.2097}, {1324, 0.7425, 11506.7698},
    {1273, 2.0371, 529.691}, {1199, 1.1096, 1577.3435}, {990, 5.233, 5884.927},
    {902, 2.045, 26.298}, {857, 3.508, 398.149}, {780, 1.179, 5223.694},
    {753, 2.533, 5507.553}, {505, 4.583, 18849.228}, {492, 4.205, 775.523},
    {357, 2.92, 0.067}, {317, 5.849, 11790.629}, {284, 1.899, 796.298},
    {271, 0.315, 10977.079}, {243, 0.345, 5486.778}, {206, 4.806, 2544.314},
    {205, 1.869, 5573.143}, {202, 2.458, 6069.777}, {156, 0.833, 213.299},
    {132, 3.411, 2942.463}, {126, 1.083, 20.775}, {115, 0.645, 0.98},
    {103, 0.636, 4694.003}, {102, 0.976, 15720.839}, {102, 4.267, 7.114},
    {99, 6.21, 2146.17}, {98, 0.68, 155.42}, {86, 5.98, 161000.69},
    {85, 1.3, 6275.96}, {85, 3.67, 71430.7}, {80, 1.81, 17260.15},
    {79, 3.04, 12036.46}, {75, 1.76, 5088.63}, {74, 3.5, 3154.69},
    {74, 4.68, 801.82}, {70, 0.83, 9437.76}, {62, 3.98, 8827.39},
    {61, 1.82, 7084.9}, {57, 2.78, 6286.6}, {56, 4.39, 14143.5},
    {56, 3.47, 6279.55}, {52, 0.19, 12139.55}, {52, 1.33, 1748.02},
    {51, 0.28, 5856.48}, {49, 0.49, 1194.45}, {41, 5.37, 8429.24},
    {41, 2.4, 19651.05}, {39, 6.17, 10447.39}, {37, 6.04, 10213.29},
    {37, 2.57, 1059.38}, {36, 1.71, 2352.87}, {36, 1.78, 6812.77},
    {33, 0.59, 17789.85}, {30, 0.44, 83996.85}, {30, 2.74, 1349.87},
    {25, 3.16, 4690.48},
};
const SeriesTerm kL1[] = {
    {628331966747, 0, 0}, {206059, 2.678235, 6283.07585}, {4303, 2.6351, 12566.1517},
    {425, 1.59, 3.523}, {119, 5.796, 26.298}, {109, 2.966, 1577.344},
    {93, 2.59, 18849.23}, {72, 1.14, 529.69}, {68, 1.87, 398.15},
    {67, 4.41, 5507.55}, {59, 2.89, 5223.69}, {56, 2.17, 155.42},
    {45, 0.4, 796.3}, {36, 0.47, 775.52}, {29, 2.65, 7.11},
    {21, 5.34, 0.98}, {19, 1.85, 5486.78}, {19, 4.97, 213.3},
    {17, 2.99, 6275.96}, {16, 0.03, 2544.31}, {16, 1.43, 2146.17},
    {15, 1.21, 10977.08}, {12, 2.83, 1748.02}, {12, 3.26, 5088.63},
    {12, 5.27, 1194.45}, {12, 2.08, 4694}, {11, 0.77, 553.57},
    {10, 1.3, 6286.6}, {10, 4.24, 1349.87}, {9, 2.7, 242.73},
    {9, 5.64, 951.72}, {8, 5.3, 2352.87}, {6, 2.65, 9437.76},
    {6, 4.67, 4690.48},
};
const SeriesTerm kL2[] = {
    {52919, 0, 0}, {8720, 1.0721, 6283.0758}, {309, 0.867, 12566.152},
    {27, 0.05, 3.52}, {16, 5.19, 26.3}, {16, 3.68, 155.42},
    {10, 0.76, 18849.23}, {9, 2.06, 77713.77}, {7, 0.83, 775.52},
    {5, 4.66, 1577.34}, {4, 1.03, 7.11}, {4, 3.44, 5573.14},
    {3, 5.14, 796.3}, {3, 6.05, 5507.55}, {3, 1.19, 242.73},
    {3, 6.12, 529.69}, {3, 0.31, 398.15}, {3, 2.28, 553.57},
    {2, 4.38, 5223.69}, {2, 3.75, 0.98},
};
const SeriesTerm kL3[] = {
    {289, 5.844, 6283.076}, {35, 0, 0}, {17, 5.49, 12566.15},
    {3, 5.2, 155.42}, {1, 4.72, 3.52}, {1, 5.3, 18849.23},
    {1, 5.97, 242.73},
};
const SeriesTerm kL4[] = {
    {114, 3.142, 0}, {8, 4.13, 6283.08}, {1, 3.84, 12566.15},
};
const SeriesTerm kL5[] = {
    {1, 3.14, 0},
};
const SeriesTerm kB0[] = {
    {280, 3.199, 84334.662}, {102, 5.422, 5507.553}, {80, 3.88, 5223.69},
    {44, 3.7, 2352.87}, {32, 4, 1577.34},
};
const SeriesTerm kB1[] = {
    {9, 3.9, 5507.55}, {6, 1.73, 5223.69},
};
const SeriesTerm kR0[] = {
    {100013989, 0, 0}, {1670700, 3.0984635, 6283.07585}, {13956, 3.05525, 12566.1517},
    {3084, 5.1985, 77713.7715}, {1628, 1.1739, 5753.3849}, {1576, 2.8469, 7860.4194},
    {925, 5.453, 11506.77}, {542, 4.564, 3930.21}, {472, 3.661, 5884.927},
    {346, 0.964, 5507.553}, {329, 5.9, 5223.694}, {307, 0.299, 5573.143},
    {243, 4.273, 11790.629}, {212, 5.847, 1577.344}, {186, 5.022, 10977.079},
    {175, 3.012, 18849.228}, {110, 5.055, 5486.778}, {98, 0.89, 6069.78},
    {86, 5.69, 15720.84}, {86, 1.27, 161000.69}, {65, 0.27, 17260.15},
    {63, 0.92, 529.69}, {57, 2.01, 83996.85}, {56, 5.24, 71430.7},
    {49, 3.25, 2544.31}, {47, 2.58, 775.52}, {45, 5.54, 9437.76},
    {43, 6.01, 6275.96}, {39, 5.36, 4694}, {38, 2.39, 8827.39},
    {37, 0.83, 19651.05}, {37, 4.9, 12139.55}, {36, 1.67, 12036.46},
    {35, 1.84, 2942.46}, {33, 0.24, 7084.9}, {32, 0.18, 5088.63},
    {32, 1.78, 398.15}, {28, 1.21, 6286.6}, {28, 1.9, 6279.55},
    {26, 4.59, 10447.39},
};
const SeriesTerm kR1[] = {
    {103019, 1.10749, 6283.07585}, {1721, 1.0644, 12566.1517}, {702, 3.142, 0},
    {32, 1.02, 18849.23}, {31, 2.84, 5507.55}, {25, 1.32, 5223.69},
    {18, 1.42, 1577.34}, {10, 5.91, 10977.08}, {9, 1.42, 6275.96},
    {9, 0.27, 5486.78},
};
const SeriesTerm kR2[] = {
    {4359, 5.7846, 6283.0758}, {124, 5.579, 12566.152}, {12, 3.14, 0},
    {9, 3.63, 77713.77}, {6, 1.87, 5573.14}, {3, 5.47, 18849.23},
};
const SeriesTerm kR3[] = {
    {145, 4.273, 6283.076}, {7, 3.92, 12566.15},
};
const SeriesTerm kR4[] = {
    {4, 2.56, 6283.08},
};
const NutationTerm kNutation[] = {
    {{ 0,  0,  0,  0,  1}, -171996, -174.2, 92025, 8.9},
    {{-2,  0,  0,  2,  2}, -13187, -1.6, 5736, -3.1},
    {{ 0,  0,  0,  2,  2}, -2274, -0.2, 977, -0.5},
    {{ 0,  0,  0,  0,  2}, 2062, 0.2, -895, 0.5},
    {{ 0,  1,  0,  0,  0}, 1426, -3.4, 54, -0.1},
    {{ 0,  0,  1,  0,  0}, 712, 0.1, -7, 0},
    {{-2,  1,  0,  2,  2}, -517, 1.2, 224, -0.6},
    {{ 0,  0,  0,  2,  1}, -386, -0.4, 200, 0},
    {{ 0,  0,  1,  2,  2}, -301, 0, 129, -0.1},
    {{-2, -1,  0,  2,  2}, 217, -0.5, -95, 0.3},
    {{-2,  0,  1,  0,  0}, -158, 0, 0, 0},
    {{-2,  0,  0,  2,  1}, 129, 0.1, -70, 0},
    {{ 0,  0, -1,  2,  2}, 123, 0, -53, 0},
    {{ 2,  0,  0,  0,  0}, 63, 0, 0, 0},
    {{ 0,  0,  1,  0,  1}, 63, 0.1, -33, 0},
    {{ 2,  0, -1,  2,  2}, -59, 0, 26, 0},
    {{ 0,  0, -1,  0,  1}, -58, -0.1, 32, 0},
    {{ 0,  0,  1,  2,  1}, -51, 0, 27, 0},
    {{-2,  0,  2,  0,  0}, 48, 0, 0, 0},
    {{ 0,  0, -2,  2,  1}, 46, 0, -24, 0},
    {{ 2,  0,  0,  2,  2}, -38, 0, 16, 0},
    {{ 0,  0,  2,  2,  2}, -31, 0, 13, 0},
    {{ 0,  0,  2,  0,  0}, 29, 0, 0, 0},
    {{-2,  0,  1,  2,  2}, 29, 0, -12, 0},
    {{ 0,  0,  0,  2,  0}, 26, 0, 0, 0},
    {{-2,  0,  0,  2,  0}, -22, 0, 0, 0},
    {{ 0,  0, -1,  2,  1}, 21, 0, -10, 0},
    {{ 0,  2,  0,  0,  0}, 17, -0.1, 0, 0},
    {{ 2,  0, -1,  0,  1}, 16, 0, -8, 0},
    {{-2,  2,  0,  2,  2}, -16, 0.1, 7, 0},
    {{ 0,  1,  0,  0,  1}, -15, 0, 9, 0},
    {{-2,  0,  1,  0,  1}, -13, 0, 7, 0},
    {{ 0, -1,  0,  0,  1}, -12, 0, 6, 0},
    {{ 0,  0,  2, -2,  0}, 11, 0, 0, 0},
    {{ 2,  0, -1,  2,  1}, -10, 0, 5, 0},
    {{ 2,  0,  1,  2,  2}, -8, 0, 3, 0},
    {{ 0,  1,  0,  2,  2}, 7, 0, -3, 0},
    {{-2,  1,  1,  0,  0}, -7, 0, 0, 0},
    {{ 0, -1,  0,  2,  2}, -7, 0, 3, 0},
    {{ 2,  0,  0,  2,  1}, -7, 0, 3, 0},
    {{ 2,  0,  1,  0,  0}, 6, 0, 0, 0},
    {{-2,  0,  2,  2,  2}, 6, 0, -3, 0},
    {{-2,  0,  1,  2,  1}, 6, 0, -3, 0},
    {{ 2,  0, -2,  0,  1}, -6, 0, 3, 0},
    {{ 2,  0,  0,  0,  1}, -6, 0, 3, 0},
    {{ 0, -1,  1,  0,  0}, 5, 0, 0, 0},
    {{-2, -1,  0,  2,  1}, -5, 0, 3, 0},
    {{-2,  0,  0,  0,  1}, -5, 0, 3, 0},
    {{ 0,  0,  2,  2,  1}, -5, 0, 3, 0},
    {{-2,  0,  2,  0,  1}, 4, 0, 0, 0},
    {{-2,  1,  0,  2,  1}, 4, 0, 0, 0},
    {{ 0,  0,  1, -2,  0}, 4, 0, 0, 0},
    {{-1,  0,  1,  0,  0}, -4, 0, 0, 0},
    {{-2,  1,  0,  0,  0}, -4, 0, 0, 0},
    {{ 1,  0,  0,  0,  0}, -4, 0, 0, 0},
    {{ 0,  0,  1,  2,  0}, 3, 0, 0, 0},
    {{ 0,  0, -2,  2,  2}, -3, 0, 0, 0},
    {{-1, -1,  1,  0,  0}, -3, 0, 0, 0},
    {{ 0,  1,  1,  0,  0}, -3, 0, 0, 0},
    {{ 0, -1,  1,  2,  2}, -3, 0, 0, 0},
    {{ 2, -1, -1,  2,  2}, -3, 0, 0, 0},
    {{ 0,  0,  3,  2,  2}, -3, 0, 0, 0},
    {{ 2, -1,  0,  2,  2}, -3, 0, 0, 0},
};

// Every table in order of decreasing amplitude, so that a prefix of each is
// the series truncated below some amplitude.
struct Series {
  const SeriesTerm* terms;
  int count;
};

template <int N>
constexpr Series series(const SeriesTerm (&terms)[N]) {
  return {terms, N};
}

const Series kLongitude[] = {series(kL0), series(kL1), series(kL2), series(kL3), series(kL4), series(kL5)};
const Series kLatitude[] = {series(kB0), series(kB1)};
const Series kRadius[] = {series(kR0), series(kR1), series(kR2), series(kR3), series(kR4)};

// How many terms of each series (per power of tau) and of the nutation an
// algorithm keeps.
struct Truncation {
  int longitude[6];
  int latitude[2];
  int radius[5];
  int nutation;
};

// The complete series of the reference algorithm.
constexpr Truncation kComplete = {{64, 34, 20, 7, 3, 1}, {5, 2}, {40, 10, 6, 2, 1}, 63};

// The everyday algorithm keeps the terms that can matter in 1950..2100
// (|tau| <= 0.1). What it drops is bounded by the sum of the dropped
// amplitudes, times |tau|^i for the i-th power:
//   longitude  L0 after 16 terms 0.0033 deg, L1 after 2 0.0003, L2 after 1
//              0.00005, L3..L5 0.0000002
//   latitude   all of B 0.0003 deg
//   nutation   after the 4 largest terms 0.00013 deg in longitude, 0.00003
//              in obliquity
//   radius     after 2 terms of R0 0.00035 AU (0.00001 deg of aberration)
// in all at most 0.0038 degrees along the ecliptic and 0.0003 across it:
// the sun's direction moves by less than 0.004 degrees, and its right
// ascension by less than 0.0045 (0.018 minutes of the equation of time).
// Measured over 1950..2100 the largest difference is 0.0015 degrees.
constexpr Truncation kEveryday = {{16, 2, 1, 0, 0, 0}, {0, 0}, {2, 0, 0, 0, 0}, 4};

// The sum over the powers i of tau^i times the first `keep[i]` terms of the
// i-th series, divided by 1e8.
template <int N>
double evaluate(const Series (&powers)[N], const int (&keep)[N], double tau) {
  double sum = 0, power = 1;
  for (int p = 0; p < N; ++p) {
    double part = 0;
    const SeriesTerm* t = powers[p].terms;
    for (int i = 0; i < std::min(keep[p], powers[p].count); ++i) part += t[i].a * std::cos(t[i].b + t[i].c * tau);
    sum += part * power;
    power *= tau;
  }
  return sum / 1e8;
}

double cubic(double a0, double a1, double a2, double a3, double x) { return a0 + x * (a1 + x * (a2 + x * a3)); }

// ---- 4. The algorithm -----------------------------------------------------------
// The steps of Reda and Andreas, section 3, in their order; days, T and tau
// count from J2000.0 in days of UT, Julian centuries of TT and Julian
// millennia of TT.

struct Nutation {
  double longitude, obliquity;  // degrees
};

// The first `keep` terms of the nutation series at T.
Nutation nutation(double T, int keep) {
  double argument[5] = {
      cubic(297.85036, 445267.111480, -0.0019142, 1.0 / 189474, T),  // mean elongation of the moon
      cubic(357.52772, 35999.050340, -0.0001603, -1.0 / 300000, T),  // mean anomaly of the sun
      cubic(134.96298, 477198.867398, 0.0086972, 1.0 / 56250, T),    // mean anomaly of the moon
      cubic(93.27191, 483202.017538, -0.0036825, 1.0 / 327270, T),   // argument of latitude of the moon
      cubic(125.04452, -1934.136261, 0.0020708, 1.0 / 450000, T)};   // longitude of the moon's node
  Nutation n{0, 0};
  for (int i = 0; i < std::min(keep, static_cast<int>(std::size(kNutation))); ++i) {
    const NutationTerm& t = kNutation[i];
    double x = 0;
    for (int j = 0; j < 5; ++j) x += t.multiplier[j] * argument[j];
    n.longitude += (t.a + t.b * T) * std::sin(radians(x));
    n.obliquity += (t.c + t.d * T) * std::cos(radians(x));
  }
  n.longitude /= 36000000;
  n.obliquity /= 36000000;
  return n;
}

// The mean obliquity of the ecliptic in arc seconds (Laskar's polynomial in
// U = tau / 10).
double meanObliquity(double tau) {
  static const double kCoefficients[] = {84381.448, -4680.93, -1.55, 1999.25, -51.38, -249.67,
                                         -39.05,    7.12,     27.87, 5.79,    2.45};
  double u = tau / 10, sum = 0;
  for (int i = 10; i >= 0; --i) sum = sum * u + kCoefficients[i];
  return sum;
}

SolarPosition sunPosition(double latitude, double longitude, UtcTime time, const SolarSite& site,
                          const Truncation& keep) {
  double days = daysSinceJ2000(time);
  double centuries = days / 36525;
  double T = ephemerisDaysSinceJ2000(days, site) / 36525;
  double tau = T / 10;

  // The earth seen from the sun, turned into the sun seen from the earth.
  double sunLongitude = degrees(evaluate(kLongitude, keep.longitude, tau)) + 180;
  double sunLatitude = -degrees(evaluate(kLatitude, keep.latitude, tau));
  double distance = evaluate(kRadius, keep.radius, tau);

  // The apparent place: nutation and aberration.
  Nutation n = nutation(T, keep.nutation);
  double eps = radians(meanObliquity(tau) / 3600 + n.obliquity);
  double aberration = -20.4898 / (3600 * distance);
  double lambda = radians(sunLongitude + n.longitude + aberration);
  double beta = radians(sunLatitude);
  double sinLambda = std::sin(lambda), cosEps = std::cos(eps), sinEps = std::sin(eps);
  double rightAscension =
      wrap360(degrees(std::atan2(sinLambda * cosEps - std::tan(beta) * sinEps, std::cos(lambda))));
  double sinDeclination = std::sin(beta) * cosEps + std::cos(beta) * sinEps * sinLambda;
  double cosDeclination = std::sqrt(1 - sinDeclination * sinDeclination);

  // Greenwich apparent sidereal time and the hour angle at the site.
  double siderealTime = 280.46061837 + 360.98564736629 * days +
                        centuries * centuries * (0.000387933 - centuries / 38710000) + n.longitude * cosEps;
  double hourAngle = radians(wrap360(siderealTime + longitude - rightAscension));

  // The topocentric sun: the parallax for the site on the reference ellipsoid
  // (polar over equatorial radius 0.99664719; u is the reduced latitude,
  // tan u = 0.99664719 tan phi, its sine and cosine taken without the
  // tangent, which the poles make infinite).
  double phi = radians(latitude);
  double sinPhi = std::sin(phi), cosPhi = std::cos(phi);
  double reduced = std::hypot(cosPhi, 0.99664719 * sinPhi);
  double cosU = cosPhi / reduced, sinU = 0.99664719 * sinPhi / reduced;
  double xi = radians(8.794 / (3600 * distance));
  double x = cosU + site.heightMetres / 6378140 * cosPhi;
  double y = 0.99664719 * sinU + site.heightMetres / 6378140 * sinPhi;
  double denominator = cosDeclination - x * std::sin(xi) * std::cos(hourAngle);
  double deltaAlpha = std::atan2(-x * std::sin(xi) * std::sin(hourAngle), denominator);
  double topoDeclination = std::atan2((sinDeclination - y * std::sin(xi)) * std::cos(deltaAlpha), denominator);
  double topoHourAngle = hourAngle - deltaAlpha;

  // The local horizon: elevation, and the azimuth from south towards west
  // turned to a bearing from north.
  SolarPosition p;
  p.elevation = degrees(std::asin(sinPhi * std::sin(topoDeclination) +
                                  cosPhi * std::cos(topoDeclination) * std::cos(topoHourAngle)));
  p.apparentElevation = p.elevation + atmosphericRefraction(p.elevation, site.pressureHpa, site.temperatureC);
  p.bearing = wrap360(degrees(std::atan2(std::sin(topoHourAngle),
                                         std::cos(topoHourAngle) * sinPhi - std::tan(topoDeclination) * cosPhi)) +
                      180);
  p.declination = degrees(std::asin(sinDeclination));
  double meanLongitude = cubic(280.4664567, 360007.6982779, 0.03032028, 1.0 / 49931, tau) +
                         tau * tau * tau * tau * (-1.0 / 15300 - tau / 2000000);
  p.equationOfTime = 4 * wrap180(meanLongitude - 0.0057183 - rightAscension + n.longitude * cosEps);
  return p;
}

}  // namespace

SolarPosition solarPosition(double latitude, double longitude, UtcTime time, const SolarSite& site) {
  return sunPosition(latitude, longitude, time, site, kEveryday);
}

SolarPosition solarPositionSpa(double latitude, double longitude, UtcTime time, const SolarSite& site) {
  return sunPosition(latitude, longitude, time, site, kComplete);
}
