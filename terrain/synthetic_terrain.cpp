#include "terrain/synthetic_terrain.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kTau = 6.283185307179586;

// A well-mixed 64-bit hash (the splitmix64 finaliser).
uint64_t mix(uint64_t x) {
  x += 0x9e3779b97f4a7c15ULL;
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
  return x ^ (x >> 31);
}

// A value in [-1, 1) for a lattice point.
double lattice(int64_t x, int64_t y, uint64_t seed) {
  uint64_t h = mix(seed ^ mix(uint64_t(x) * 0x632be59bd9b4e019ULL ^ mix(uint64_t(y))));
  return double(h >> 11) / double(1ULL << 52) - 1;
}

double smooth(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

// Gradient noise, about -1 .. 1: a random gradient at every lattice point,
// blended smoothly between them.
double gradientNoise(double x, double y, uint64_t seed) {
  double fx = std::floor(x), fy = std::floor(y);
  int64_t ix = int64_t(fx), iy = int64_t(fy);
  double dx = x - fx, dy = y - fy;
  auto corner = [&](int64_t cx, int64_t cy, double ox, double oy) {
    double angle = lattice(cx, cy, seed) * 3.141592653589793;
    return std::cos(angle) * ox + std::sin(angle) * oy;
  };
  double u = smooth(dx), v = smooth(dy);
  double a = corner(ix, iy, dx, dy), b = corner(ix + 1, iy, dx - 1, dy);
  double c = corner(ix, iy + 1, dx, dy - 1), d = corner(ix + 1, iy + 1, dx - 1, dy - 1);
  return 1.4 * ((a + (b - a) * u) * (1 - v) + (c + (d - c) * u) * v);
}

// Fractal sums of octaves, each turned against the last so that no feature
// lines up with the grid; `ridged` folds each octave into sharp crests.
double fractalNoise(double x, double y, uint64_t seed, int octaves, bool ridged) {
  double sum = 0, amplitude = 1, norm = 0;
  const double turnCos = std::cos(0.5), turnSin = std::sin(0.5);
  for (int o = 0; o < octaves; ++o) {
    double n = gradientNoise(x, y, seed + 7919 * o);
    double crest = 1 - std::min(1.0, std::fabs(n));
    sum += amplitude * (ridged ? crest * crest : n);
    norm += amplitude;
    amplitude *= 0.5;
    double turnedX = 2.03 * (turnCos * x - turnSin * y);
    y = 2.03 * (turnSin * x + turnCos * y);
    x = turnedX;
  }
  return sum / norm;
}

double smoothStep(double edge0, double edge1, double x) {
  double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

}  // namespace

std::vector<float> syntheticHeights(int size, uint64_t seed) {
  std::vector<float> heights(size_t(size) * size_t(size));
  const uint64_t key = mix(seed);
  // Per-seed shape: the valley's winding and the peak's place.
  const double phase = lattice(1, 2, key) * kTau;
  const double peakU = 0.72 + 0.08 * lattice(3, 4, key);
  const double peakV = 0.22 + 0.06 * lattice(5, 6, key);
  for (int r = 0; r < size; ++r) {
    for (int c = 0; c < size; ++c) {
      // u, v in [0, 1]: u along the first index (x), v along the second (y).
      double u = size > 1 ? double(r) / (size - 1) : 0.5;
      double v = size > 1 ? double(c) / (size - 1) : 0.5;
      // A valley winding along u, its floor gently falling towards u = 1.
      double centre = 0.5 + 0.1 * std::sin(kTau * 0.9 * u + phase);
      double d = std::fabs(v - centre);
      double profile = smoothStep(0.02, 0.3, d);              // floor to ridge crest
      double outer = 1 - 0.55 * smoothStep(0.3, 0.55, d);     // slopes beyond the crests
      double valley = 0.16 * profile * outer + 0.03 * (1 - u);
      // Sharp side ridges across the flanks, strongest near the crests.
      double ridges = 0.11 * profile * fractalNoise(u * 3.5, v * 3.5, key + 11, 5, true);
      // A peak standing on one flank.
      double du = u - peakU, dv = v - peakV;
      double peak = 0.22 * std::exp(-(du * du + dv * dv) / (2 * 0.07 * 0.07));
      // Rough ground everywhere but on the valley floor.
      double rough = 0.012 * (0.3 + profile) * fractalNoise(u * 12, v * 12, key + 23, 3, false);
      // Relief of about a third of the width: steep, but no wall of rock.
      heights[size_t(r) * size + c] = float(0.7 * size * (valley + ridges + peak + rough));
    }
  }
  return heights;
}

std::vector<float> flatHeights(int size) {
  return std::vector<float>(size_t(size) * size_t(size), 0.0f);
}
