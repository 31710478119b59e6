#include "terrain/sun_beam.h"

#include <cmath>

#include "core/angles.h"

namespace {

double decodedSine(uint16_t value) { return value / 32768.0 - 1; }

}  // namespace

double horizonSineTowards(const Terrain& terrain, size_t cell, double azimuth) {
  const int n = terrain.numDirections;
  // Direction j is centred on (j + 0.5) * 6.28318 / n.
  double t = azimuth / (6.28318 / n) - 0.5;
  t -= n * std::floor(t / n);  // into [0, n)
  int j0 = static_cast<int>(std::floor(t));
  const double f = t - j0;
  if (j0 >= n) j0 = 0;  // t rounded up to n itself
  const int j1 = j0 + 1 == n ? 0 : j0 + 1;
  const double s0 = decodedSine(terrain.horizonBlock(j0)[cell]);
  const double s1 = decodedSine(terrain.horizonBlock(j1)[cell]);
  return (1 - f) * s0 + f * s1;
}

std::vector<float> computeSunBeam(const Terrain& terrain, float sunElevation, float sunAzimuth) {
  std::vector<float> beam(terrain.numCells(), 0.0f);
  if (!(sunElevation > 0)) return beam;
  const Vec3 sun = angleToVector(sunAzimuth, sunElevation);
  const double sunSine = std::sin(static_cast<double>(sunElevation));
  for (size_t cell = 0; cell < beam.size(); ++cell) {
    const float cosine = terrain.terrainNormals[cell].dot(sun);
    if (cosine <= 0) continue;
    if (sunSine > horizonSineTowards(terrain, cell, sunAzimuth)) beam[cell] = cosine;
  }
  return beam;
}
