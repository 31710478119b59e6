// Test helpers: terrains in memory, terrain files built byte by byte and,
// where GDAL is included, GeoTIFFs (scratch folders are core/test_files.h's).
#pragma once

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/test_files.h"
#include "terrain/horizons.h"
#include "terrain/terrain_file.h"

// A terrain in memory with the normals and horizons of its heights, as readTerrain gives it.
inline Terrain terrainOf(const std::vector<float>& heights, int sizeX, int sizeY, int directions = 36) {
  Terrain terrain;
  terrain.gridSizeX = sizeX;
  terrain.gridSizeY = sizeY;
  terrain.numDirections = directions;
  terrain.terrainHeights = heights;
  terrain.terrainNormals = computeNormals(heights.data(), sizeX, sizeY);
  terrain.horizons = computeHorizons(heights.data(), sizeX, sizeY, directions);
  return terrain;
}

// Heights drawn uniformly from 0 to `relief`.
inline std::vector<float> roughGrid(int sizeX, int sizeY, float relief, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> uniform(0, relief);
  std::vector<float> heights(size_t(sizeX) * sizeY);
  for (float& h : heights) h = uniform(random);
  return heights;
}

// Little-endian bytes of a terrain file: type line, the three sizes, then
// `heights` and `horizons` as given (they need not match the sizes).
inline std::string terrainBytes(int32_t gridSizeX, int32_t gridSizeY, int32_t numDirections,
                                const std::vector<float>& heights, const std::vector<uint16_t>& horizons,
                                const char* start = "n\n") {
  std::string bytes = start;
  auto put = [&](uint32_t u, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>(u >> (8 * i)));
  };
  for (int32_t size : {gridSizeX, gridSizeY, numDirections}) put(uint32_t(size), 4);
  for (float h : heights) {
    uint32_t u;
    std::memcpy(&u, &h, 4);
    put(u, 4);
  }
  for (uint16_t v : horizons) put(v, 2);
  return bytes;
}

inline bool exists(const std::string& name) { return access(name.c_str(), F_OK) == 0; }

inline bool mentions(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

#ifdef GDAL_H_INCLUDED
// A one-band Float32 GeoTIFF, row 0 the northern edge, with geotransform
// `gt`, coordinate system `epsg` (0: none) and no-data value `noData` (NaN: none).
inline std::string writeRaster(const std::string& folder, const std::string& name, int width, int height,
                               std::array<double, 6> gt, int epsg,
                               const std::function<double(int col, int row)>& heightAt, double noData = NAN,
                               const char* creationOption = nullptr) {
  GDALAllRegister();
  const std::string file = folder + "/" + name;
  const char* options[] = {creationOption, nullptr};
  GDALDatasetH dataset = GDALCreate(GDALGetDriverByName("GTiff"), file.c_str(), width, height, 1, GDT_Float32,
                                    const_cast<char**>(options));
  EXPECT_NE(dataset, nullptr);
  if (!dataset) return file;
  GDALSetGeoTransform(dataset, gt.data());
  const std::string srs = epsg ? "EPSG:" + std::to_string(epsg) : "";
  EXPECT_EQ(GDALSetProjection(dataset, srs.c_str()), CE_None);
  GDALRasterBandH band = GDALGetRasterBand(dataset, 1);
  if (!std::isnan(noData)) GDALSetRasterNoDataValue(band, noData);
  if (heightAt) {
    std::vector<float> values(size_t(width) * height);
    for (int row = 0; row < height; ++row)
      for (int col = 0; col < width; ++col) values[size_t(row) * width + col] = float(heightAt(col, row));
    EXPECT_EQ(GDALRasterIO(band, GF_Write, 0, 0, width, height, values.data(), width, height, GDT_Float32, 0, 0),
              CE_None);
  }
  GDALClose(dataset);
  return file;
}

// A cone 200 m high rising 2 m per metre, centred (cx, cy) metres from the north-west corner.
inline double cone(double xMetres, double yMetres, double cx, double cy) {
  return std::max(0.0, 200 - 2 * std::hypot(xMetres - cx, yMetres - cy));
}

// 41 x 41 cells of 10 m in UTM zone 33N, the apex in the centre cell.
inline std::string utmCone(const std::string& folder, const std::string& name = "cone-utm.tif") {
  return writeRaster(folder, name, 41, 41, {500000, 10, 0, 5000000, 0, -10}, 32633,
                     [](int col, int row) { return cone(col * 10 + 5, row * 10 + 5, 205, 205); });
}
#endif
