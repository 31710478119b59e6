// The sky light of a terrain.
//
// Index
//   1. Tables
//   2. Cells
//   3. The whole computation
#include "terrain/sky_light.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

#include "sky/sky_model.h"

// ---- 1. Tables -----------------------------------------------------------------------

std::vector<float> buildLuminanceTable(const Sky& sky, int numDirections) {
  std::vector<float> table(size_t(numDirections) * kHorizonBins, 0.0f);
  float sum = 0;
  for (int j = 0; j < numDirections; ++j) {
    float azimuth = 6.28318 / numDirections * (j + 0.5);
    for (int b = 0; b < kHorizonBins; ++b) {
      float& entry = table[size_t(j) * kHorizonBins + b];
      if (b >= kHorizonBins / 2) {
        float elevation = std::asin(((b + 0.5) - 128) * 2 / 256);
        entry = 1000 * skyLuminance(sky, azimuth, elevation);
      }
      sum += entry;
    }
  }
  // Keep the shape of the sky, not its level: the upper half (256 * n / 2
  // entries) averages 1000 afterwards.
  float mean = sum / (kHorizonBins * numDirections / 2);
  if (mean > 0)
    for (float& entry : table) entry = entry * (meanSkyLuminance / mean);
  return table;
}

float visibleSkyCosine(int bin) {
  return bin > kHorizonBins / 2 ? bin / 128.0f - 1 : 0.0f;
}

std::vector<Vec3> buildVisibleSkyTable(int numDirections) {
  const float w = 6.28318 / numDirections;
  std::vector<float> sines(numDirections + 1), cosines(numDirections + 1);
  for (int j = 0; j <= numDirections; ++j) {
    float phi = w * j;
    sines[j] = std::sin(phi);
    cosines[j] = std::cos(phi);
  }
  std::vector<Vec3> table(size_t(numDirections) * kHorizonBins);
  for (int i = 0; i < kHorizonBins; ++i) {
    // Sky visible from the zenith down to the zenith angle theta.
    float c = visibleSkyCosine(i);
    float s = std::sqrt(1 - c * c);
    float theta, sin2Theta, sinSquaredTheta;
    if (c == 0) {
      theta = 1.570795;
      sinSquaredTheta = 1;
      sin2Theta = 0;
    } else if (s == 0) {
      theta = sinSquaredTheta = sin2Theta = 0;
    } else {
      theta = std::atan2(s, c);
      sinSquaredTheta = s * s / (c * c + s * s);
      sin2Theta = 2 * s * c / (c * c + s * s);
    }
    float g = (theta - sin2Theta * 0.5) * 0.5;
    for (int j = 0; j < numDirections; ++j)
      table[size_t(j) * kHorizonBins + i] =
          Vec3(g * (sines[j + 1] - sines[j]), g * (cosines[j] - cosines[j + 1]),
               w * sinSquaredTheta * 0.5);
  }
  return table;
}

std::vector<Vec3> buildSkyLightTable(int numDirections, const std::vector<Vec3>& visibleSky,
                                     const std::vector<float>& luminance) {
  std::vector<Vec3> table(size_t(numDirections) * kHorizonBins);
  for (int j = 0; j < numDirections; ++j) {
    const size_t row = size_t(j) * kHorizonBins;
    const Vec3* v = &visibleSky[row];
    const float* l = &luminance[row];
    Vec3* entry = &table[row];
    // The band between bins i and i + 1 has the luminance of bin i; the top
    // band reaches the zenith.
    for (int i = 0; i < kHorizonBins - 1; ++i) entry[i] = (v[i] - v[i + 1]) * l[i];
    entry[kHorizonBins - 1] = v[kHorizonBins - 1] * l[kHorizonBins - 1];
    for (int i = kHorizonBins - 2; i >= 0; --i) entry[i] += entry[i + 1];
  }
  return table;
}

SkyTables buildSkyTables(const Sky& sky, int numDirections) {
  SkyTables tables;
  tables.numDirections = numDirections;
  tables.luminanceTable = buildLuminanceTable(sky, numDirections);
  tables.visibleSkyTable = buildVisibleSkyTable(numDirections);
  tables.skyLightTable = buildSkyLightTable(numDirections, tables.visibleSkyTable, tables.luminanceTable);
  return tables;
}

// ---- 2. Cells --------------------------------------------------------------------------

namespace {

// Both table entries of one direction and bin side by side, so that a cell's
// lookup touches one place.
struct TableEntry {
  Vec3 visibleSky;
  Vec3 skyLight;
};

}  // namespace

namespace {

// The cells of addHorizonBlocks for a count known when compiling, so that
// the loop over the directions unrolls; the sums are added in the same order.
template <int kCount>
void addBlocks(const TableEntry* entries, const uint16_t* blocks, size_t numCells,
               Vec3* sum1, Vec3* sum2) {
  for (size_t cell = 0; cell < numCells; ++cell) {
    Vec3 visible = sum1[cell], light = sum2[cell];
    for (int k = 0; k < kCount; ++k) {
      const TableEntry& e = entries[k * kHorizonBins + horizonBin(blocks[k * numCells + cell])];
      visible += e.visibleSky;
      light += e.skyLight;
    }
    sum1[cell] = visible;
    sum2[cell] = light;
  }
}

}  // namespace

void addHorizonBlocks(const SkyTables& tables, int firstDirection, int count,
                      const uint16_t* blocks, CellSums& sums) {
  const size_t numCells = sums.visibleSky.size();
  std::vector<TableEntry> entries(size_t(count) * kHorizonBins);
  for (int k = 0; k < count; ++k)
    for (int b = 0; b < kHorizonBins; ++b) {
      size_t from = size_t(firstDirection + k) * kHorizonBins + b;
      entries[size_t(k) * kHorizonBins + b] = {tables.visibleSkyTable[from], tables.skyLightTable[from]};
    }
  Vec3* sum1 = sums.visibleSky.data();
  Vec3* sum2 = sums.skyLight.data();
  for (int k = 0; k < count;) {
    const TableEntry* e = &entries[size_t(k) * kHorizonBins];
    const uint16_t* b = blocks + size_t(k) * numCells;
    if (count - k >= 4) {
      addBlocks<4>(e, b, numCells, sum1, sum2);
      k += 4;
    } else {
      addBlocks<1>(e, b, numCells, sum1, sum2);
      k += 1;
    }
  }
}

float cellBrightness(const Vec3& normal, const Vec3& visibleSky, const Vec3& skyLight) {
  float irradiance = normal.dot(skyLight);
  // The share of the cosine-weighted sky that the cell sees (divided by pi).
  float visible = normal.dot(visibleSky) * 0.31831015504887655;
  return (albedo * irradiance * 0.31831015504887655) / (1 - albedo * (1 - visible));
}

float computeBrightness(const std::vector<Vec3>& normals, const CellSums& sums,
                        std::vector<float>& skyGrid) {
  skyGrid.resize(normals.size());
  float largest = 0;
  for (size_t cell = 0; cell < normals.size(); ++cell) {
    // The sky's light is summed over the whole visible sky, some of which
    // can lie behind a steep cell's own plane where the horizons do not show
    // it (at the grid's edges); such a cell can come out below nothing, and
    // no light is less than none.
    const float brightness = cellBrightness(normals[cell], sums.visibleSky[cell], sums.skyLight[cell]);
    skyGrid[cell] = brightness > 0 ? brightness : 0.0f;
    if (skyGrid[cell] > largest) largest = skyGrid[cell];
  }
  return largest;
}

void normaliseSkyGrid(std::vector<float>& skyGrid, float largest) {
  if (largest > 1)
    for (float& value : skyGrid) value = value / largest;
}

// ---- 3. The whole computation -------------------------------------------------------------

float openGroundBrightness(const SkyTables& tables) {
  const std::vector<uint16_t> level(size_t(tables.numDirections), 32768);
  CellSums sums(1);
  addHorizonBlocks(tables, 0, tables.numDirections, level.data(), sums);
  return cellBrightness(Vec3(0, 0, 1), sums.visibleSky[0], sums.skyLight[0]);
}

SkyLightSum::SkyLightSum(const Sky& sky, int numDirections, size_t numCells)
    : tables_(buildSkyTables(sky, numDirections)), sums_(numCells) {}

void SkyLightSum::add(int firstDirection, int count, const uint16_t* blocks) {
  addHorizonBlocks(tables_, firstDirection, count, blocks, sums_);
}

std::vector<float> SkyLightSum::skyGrid(const std::vector<Vec3>& normals, SkyLightScale scale) const {
  std::vector<float> skyGrid;
  const float largest = computeBrightness(normals, sums_, skyGrid);
  if (scale == SkyLightScale::kLargest) {
    normaliseSkyGrid(skyGrid, largest);
  } else {
    const float open = openGroundBrightness(tables_);
    if (open > 0)
      for (float& value : skyGrid) value = value / open;
  }
  return skyGrid;
}

std::vector<float> computeSkyLight(const Terrain& terrain, const Sky& sky, SkyLightScale scale) {
  const int n = terrain.numDirections;
  // Several directions per pass over the cells keep the sums in registers
  // longer.
  const int perPass = 4;
  SkyLightSum sum(sky, n, terrain.numCells());
  for (int j = 0; j < n; j += perPass) sum.add(j, std::min(perPass, n - j), terrain.horizonBlock(j));
  return sum.skyGrid(terrain.terrainNormals, scale);
}
