// DEMs made with GDAL in a scratch folder, read back as terrains.
#include "terrain/dem_import.h"

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include <gdal.h>
#include <gtest/gtest.h>
#include <ogr_srs_api.h>

#include "terrain/fast_horizons.h"
#include "terrain/horizons.h"
#include "terrain/terrain_file.h"
#include "terrain/terrain_test_files.h"

namespace {

// Heights of a raster: row 0 is the northern edge.
using HeightAt = std::function<double(int column, int row)>;

// A one-band Float32 GeoTIFF of width x height pixels with the geotransform
// `gt`, coordinate system `epsg` (0 for none) and, if `noData` is not NaN,
// that no-data value.
std::string writeRaster(ScratchFolder& folder, const std::string& name, int width, int height,
                        std::array<double, 6> gt, int epsg, const HeightAt& heightAt,
                        double noData = NAN) {
  GDALAllRegister();
  std::string file = folder.file(name);
  GDALDatasetH dataset =
      GDALCreate(GDALGetDriverByName("GTiff"), file.c_str(), width, height, 1, GDT_Float32, nullptr);
  EXPECT_NE(dataset, nullptr);
  if (!dataset) return file;
  GDALSetGeoTransform(dataset, gt.data());
  if (epsg) {
    OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
    OSRImportFromEPSG(srs, epsg);
    GDALSetSpatialRef(dataset, srs);
    OSRDestroySpatialReference(srs);
  }
  GDALRasterBandH band = GDALGetRasterBand(dataset, 1);
  if (!std::isnan(noData)) GDALSetRasterNoDataValue(band, noData);
  std::vector<float> values(size_t(width) * height);
  for (int row = 0; row < height; ++row)
    for (int col = 0; col < width; ++col) values[size_t(row) * width + col] = float(heightAt(col, row));
  EXPECT_EQ(GDALRasterIO(band, GF_Write, 0, 0, width, height, values.data(), width, height, GDT_Float32, 0, 0),
            CE_None);
  GDALClose(dataset);
  return file;
}

struct Import {
  bool ok = false;
  DemTerrain terrain;
  std::string error;
  std::string report;
  float at(int x, int y) const { return terrain.heights[size_t(x) * terrain.gridSizeY + y]; }
};

Import importFile(const std::string& file, const std::function<void(DemRequest&)>& adjust = {}) {
  DemRequest request;
  request.fileName = file;
  if (adjust) adjust(request);
  Import result;
  char* text = nullptr;
  size_t size = 0;
  std::FILE* report = open_memstream(&text, &size);
  result.ok = importDem(request, result.terrain, result.error, report, "> ");
  std::fclose(report);
  result.report.assign(text, size);
  free(text);
  return result;
}

// A cone 200 m high with flanks rising 2 m per metre, centred at (cx, cy)
// metres from the raster's north-west corner.
double cone(double xMetres, double yMetres, double cx, double cy) {
  return std::max(0.0, 200 - 2 * std::hypot(xMetres - cx, yMetres - cy));
}

// 41 x 41 cells of 10 m in UTM zone 33N, the apex in the centre cell.
std::string utmCone(ScratchFolder& folder) {
  return writeRaster(folder, "cone-utm.tif", 41, 41, {500000, 10, 0, 5000000, 0, -10}, 32633,
                     [](int col, int row) { return cone(col * 10 + 5, row * 10 + 5, 205, 205); });
}

TEST(DemImportTest, ProjectedConeKeepsItsGridAndHeightsInCellSizes) {
  ScratchFolder folder;
  Import dem = importFile(utmCone(folder));
  ASSERT_TRUE(dem.ok) << dem.error;
  EXPECT_EQ(dem.terrain.gridSizeX, 41);
  EXPECT_EQ(dem.terrain.gridSizeY, 41);
  EXPECT_DOUBLE_EQ(dem.terrain.georeference.cellSize, 10);
  // Heights in grid spacings: 200 m is 20 cells of 10 m.
  EXPECT_FLOAT_EQ(dem.at(20, 20), 20.0f);
  EXPECT_FLOAT_EQ(dem.at(20, 25), float(cone(205, 255, 205, 205) / 10));
  EXPECT_FLOAT_EQ(dem.terrain.highest, 200.0f);
  const std::array<double, 6> gt = {500000, 10, 0, 5000000, 0, -10};
  EXPECT_EQ(dem.terrain.georeference.geoTransform, gt);
  EXPECT_NE(dem.terrain.georeference.coordinateSystem.find("UTM zone 33N"), std::string::npos);
  EXPECT_NE(dem.report.find("> " + dem.terrain.georeference.source + ": 41 x 41 cells of 10 x 10 m"),
            std::string::npos) << dem.report;
  EXPECT_NE(dem.report.find("> terrain: 41 x 41 cells of 10 m"), std::string::npos) << dem.report;

  // From 150 m south of the apex, on level ground, the apex is the horizon
  // to the north: 200 m up over 150 m, an elevation with sine 0.8.
  const int n = 2;  // direction 0 is centred on azimuth 90 degrees, north
  std::vector<uint16_t> horizons =
      computeHorizonsFast(dem.terrain.heights.data(), 41, 41, n);
  uint16_t north = horizons[20 * 41 + 5];
  EXPECT_NEAR(north / 32768.0 - 1, 0.8, 1e-4);
  // Looking south from there: level ground to the edge.
  EXPECT_EQ(horizons[41 * 41 + 20 * 41 + 5], 32768);
}

TEST(DemImportTest, GeographicConeIsWarpedIntoUtmWithSquareMetricCells) {
  ScratchFolder folder;
  // The same cone at 45 degrees north on the central meridian of zone 33,
  // cells of 0.0001 degrees: about 11.1 m north-south and 7.9 m east-west.
  const double lat0 = 45.002, lon0 = 14.997, cell = 0.0001;
  const double metresPerDegreeLat = 111132.0, metresPerDegreeLon = 111132.0 * std::cos(45.0 * M_PI / 180);
  std::string file = writeRaster(folder, "cone-geo.tif", 60, 40, {lon0, cell, 0, lat0, 0, -cell}, 4326,
                                 [&](int col, int row) {
                                   double x = (col + 0.5) * cell * metresPerDegreeLon;
                                   double y = (row + 0.5) * cell * metresPerDegreeLat;
                                   return cone(x, y, 30 * cell * metresPerDegreeLon, 20 * cell * metresPerDegreeLat);
                                 });
  Import dem = importFile(file);
  ASSERT_TRUE(dem.ok) << dem.error;
  const Georeference& geo = dem.terrain.georeference;
  EXPECT_NE(geo.coordinateSystem.find("UTM zone 33N"), std::string::npos);
  EXPECT_NE(dem.report.find("warped into WGS 84 / UTM zone 33N"), std::string::npos) << dem.report;
  EXPECT_GT(geo.cellSize, 7.8);
  EXPECT_LT(geo.cellSize, 11.2);
  EXPECT_DOUBLE_EQ(geo.geoTransform[1], -geo.geoTransform[5]);
  // The area is about 472 m east-west and 444 m north-south.
  EXPECT_NEAR(dem.terrain.gridSizeX * geo.cellSize, 60 * cell * metresPerDegreeLon, 2 * geo.cellSize);
  EXPECT_NEAR(dem.terrain.gridSizeY * geo.cellSize, 40 * cell * metresPerDegreeLat, 2 * geo.cellSize);

  // The cone is round again in metres: its foot reaches 100 m from the apex
  // east-west and north-south alike, and it keeps (nearly) its height.
  int apexX = 0, apexY = 0;
  for (int x = 0; x < dem.terrain.gridSizeX; ++x)
    for (int y = 0; y < dem.terrain.gridSizeY; ++y)
      if (dem.at(x, y) > dem.at(apexX, apexY)) apexX = x, apexY = y;
  EXPECT_NEAR(dem.at(apexX, apexY) * geo.cellSize, 200, 2 * 2 * geo.cellSize);
  auto footAt = [&](int dx, int dy) {
    int steps = 0;
    for (int x = apexX, y = apexY; dem.at(x, y) > 0.5f; x += dx, y += dy) ++steps;
    return steps * geo.cellSize;
  };
  for (double foot : {footAt(1, 0), footAt(-1, 0), footAt(0, 1), footAt(0, -1)})
    EXPECT_NEAR(foot, 100, 1.5 * geo.cellSize);
}

TEST(DemImportTest, NorthEastHillLiesAtHighXAndHighY) {
  ScratchFolder folder;
  // A hill in the north-east corner: high columns (east), low rows (north).
  std::string file = writeRaster(folder, "ne.tif", 30, 20, {0, 5, 0, 1000, 0, -5}, 32631,
                                 [](int col, int row) {
                                   return 50 * std::exp(-(std::pow(col - 26, 2) + std::pow(row - 3, 2)) / 8);
                                 });
  Import dem = importFile(file);
  ASSERT_TRUE(dem.ok) << dem.error;
  ASSERT_EQ(dem.terrain.gridSizeX, 30);  // west to east
  ASSERT_EQ(dem.terrain.gridSizeY, 20);  // south to north
  EXPECT_FLOAT_EQ(dem.at(26, 20 - 1 - 3), 10.0f);  // 50 m in cells of 5 m
  EXPECT_LT(dem.at(3, 3), 0.01f);                  // the south-west is level
  // From the middle, the hill stands in the direction centred on azimuth 45
  // degrees (north-east), nothing towards the south-west.
  std::vector<uint16_t> horizons = computeHorizonsFast(dem.terrain.heights.data(), 30, 20, 4);
  const size_t cells = 30 * 20, middle = 15 * 20 + 10;
  EXPECT_GT(horizonBin(horizons[0 * cells + middle]), 140);
  EXPECT_LE(horizonBin(horizons[2 * cells + middle]), 127);  // looking down the hill's foot
}

TEST(DemImportTest, EsriAsciiGridWithoutCoordinateSystem) {
  ScratchFolder folder;
  std::string file = folder.write("grid.asc", {});
  std::FILE* out = std::fopen(file.c_str(), "w");
  ASSERT_NE(out, nullptr);
  std::fputs("ncols 4\nnrows 3\nxllcorner 1000\nyllcorner 2000\ncellsize 5\nNODATA_value -9999\n"
             "10 20 30 40\n15 25 35 45\n5 5 5 5\n", out);
  std::fclose(out);
  Import dem = importFile(file);
  ASSERT_TRUE(dem.ok) << dem.error;
  ASSERT_EQ(dem.terrain.gridSizeX, 4);
  ASSERT_EQ(dem.terrain.gridSizeY, 3);
  // The last line of the file is the southern row, y = 0.
  EXPECT_EQ(dem.terrain.heights, (std::vector<float>{1, 3, 2, 1, 5, 4, 1, 7, 6, 1, 9, 8}));
  const std::array<double, 6> gt = {1000, 5, 0, 2015, 0, -5};
  EXPECT_EQ(dem.terrain.georeference.geoTransform, gt);
  EXPECT_EQ(dem.terrain.georeference.coordinateSystem, "");
  EXPECT_NE(dem.report.find("no coordinate system"), std::string::npos) << dem.report;
}

TEST(DemImportTest, OblongCellsAreResampledToSquareOnes) {
  ScratchFolder folder;
  // 10 m east-west, 20 m north-south; heights rise 0.5 m per metre eastwards.
  std::string file = writeRaster(folder, "oblong.tif", 30, 20, {0, 10, 0, 400, 0, -20}, 32631,
                                 [](int col, int) { return 100 + 0.5 * (col * 10 + 5); });
  Import dem = importFile(file);
  ASSERT_TRUE(dem.ok) << dem.error;
  const Georeference& geo = dem.terrain.georeference;
  EXPECT_GT(geo.cellSize, 10);
  EXPECT_LT(geo.cellSize, 20);
  EXPECT_DOUBLE_EQ(geo.geoTransform[1], -geo.geoTransform[5]);
  EXPECT_NEAR(dem.terrain.gridSizeX * geo.cellSize, 300, geo.cellSize);
  EXPECT_NEAR(dem.terrain.gridSizeY * geo.cellSize, 400, geo.cellSize);
  EXPECT_NE(dem.report.find("resampled to square cells"), std::string::npos) << dem.report;
  // A slope of 0.5 m per metre is 0.5 cells of height per cell, whatever the cell.
  const int y = dem.terrain.gridSizeY / 2, last = dem.terrain.gridSizeX - 3;
  EXPECT_NEAR((dem.at(last, y) - dem.at(2, y)) / (last - 2), 0.5f, 0.005f);
}

TEST(DemImportTest, WindowBoundsAndMaxSizeChooseAndReduceTheArea) {
  ScratchFolder folder;
  // A plane: height = column + 1000 * row, cells of 2 m.
  std::string file = writeRaster(folder, "plane.tif", 100, 60, {0, 2, 0, 120, 0, -2}, 32631,
                                 [](int col, int row) { return col + 1000.0 * row; });
  Import window = importFile(file, [](DemRequest& r) {
    r.hasWindow = true;
    r.window = {10, 20, 5, 4};
  });
  ASSERT_TRUE(window.ok) << window.error;
  ASSERT_EQ(window.terrain.gridSizeX, 5);
  ASSERT_EQ(window.terrain.gridSizeY, 4);
  EXPECT_FLOAT_EQ(window.at(0, 3), (10 + 1000 * 20) / 2.0f);  // north-west corner of the window
  EXPECT_FLOAT_EQ(window.at(4, 0), (14 + 1000 * 23) / 2.0f);  // south-east corner

  // The same cells by coordinates: x from 20 to 30 m, y from 120 - 2*24 to 120 - 2*20.
  Import bounds = importFile(file, [](DemRequest& r) {
    r.hasBounds = true;
    r.bounds = {20, 72, 30, 80};
  });
  ASSERT_TRUE(bounds.ok) << bounds.error;
  EXPECT_EQ(bounds.terrain.heights, window.terrain.heights);

  // Averages of 4 x 4 cells: neither side above 25.
  Import reduced = importFile(file, [](DemRequest& r) { r.maxSize = 25; });
  ASSERT_TRUE(reduced.ok) << reduced.error;
  ASSERT_EQ(reduced.terrain.gridSizeX, 25);
  ASSERT_EQ(reduced.terrain.gridSizeY, 15);
  EXPECT_DOUBLE_EQ(reduced.terrain.georeference.cellSize, 8);
  EXPECT_FLOAT_EQ(reduced.at(0, 14), (1.5f + 1000 * 1.5f) / 8);
  EXPECT_NE(reduced.report.find("reduced to cells of 8 m (average)"), std::string::npos) << reduced.report;
}

TEST(DemImportTest, SmallNoDataHolesAreFilled) {
  ScratchFolder folder;
  std::string file = writeRaster(folder, "holes.tif", 40, 40, {0, 1, 0, 40, 0, -1}, 32631,
                                 [](int col, int row) {
                                   bool hole = (col >= 10 && col < 13 && row >= 20 && row < 23) ||
                                               (col == 35 && row == 5);
                                   return hole ? -9999.0 : 100.0 + col;
                                 },
                                 -9999);
  Import dem = importFile(file);
  ASSERT_TRUE(dem.ok) << dem.error;
  EXPECT_NE(dem.report.find("filled 10 no-data cells"), std::string::npos) << dem.report;
  // Filled from the heights around: between the lowest and highest of them.
  for (int x = 10; x < 13; ++x)
    for (int y = 17; y < 20; ++y) {
      EXPECT_GE(dem.at(x, y), 109.0f);
      EXPECT_LE(dem.at(x, y), 113.0f);
    }
  EXPECT_NEAR(dem.at(35, 34), 135.0f, 1.0f);
}

TEST(DemImportTest, MostlyNoDataAndWideHolesAreRefused) {
  ScratchFolder folder;
  std::string mostly = writeRaster(folder, "mostly.tif", 10, 10, {0, 1, 0, 10, 0, -1}, 32631,
                                   [](int col, int) { return col < 6 ? -1.0 : 5.0; }, -1);
  Import refused = importFile(mostly);
  EXPECT_FALSE(refused.ok);
  EXPECT_EQ(refused.error, mostly + ": mostly no-data (60% of the area has no height)");

  // A band of no-data 210 cells wide: its middle is more than 100 cells from
  // any height.
  std::string wide = writeRaster(folder, "wide.tif", 460, 4, {0, 1, 0, 4, 0, -1}, 32631,
                                 [](int col, int) { return col >= 10 && col < 220 ? -1.0 : 5.0; }, -1);
  Import gap = importFile(wide);
  EXPECT_FALSE(gap.ok);
  EXPECT_NE(gap.error.find(wide + ": "), std::string::npos);
  EXPECT_NE(gap.error.find("no-data cells lie more than 100 cells from any height"), std::string::npos)
      << gap.error;
}

TEST(DemImportTest, BadInputIsNamedInOneLine) {
  ScratchFolder folder;
  std::string missing = folder.file("missing.tif");
  EXPECT_EQ(importFile(missing).error, missing + ": no such file");

  std::string text = folder.write("notes.tif", {'h', 'e', 'l', 'l', 'o', '\n'});
  EXPECT_EQ(importFile(text).error, text + ": not a raster that GDAL can read");

  // A raster without a geotransform has no cell size.
  GDALAllRegister();
  std::string plain = folder.file("plain.tif");
  GDALClose(GDALCreate(GDALGetDriverByName("GTiff"), plain.c_str(), 8, 8, 1, GDT_Float32, nullptr));
  EXPECT_EQ(importFile(plain).error, plain + ": has no cell size (the raster is not georeferenced)");

  std::string cone = utmCone(folder);
  EXPECT_EQ(importFile(cone, [](DemRequest& r) {
              r.hasWindow = true;
              r.window = {30, 0, 20, 10};
            }).error,
            cone + ": window 30,0,20,10 lies outside the raster of 41 x 41 pixels");
  EXPECT_EQ(importFile(cone, [](DemRequest& r) {
              r.hasBounds = true;
              r.bounds = {0, 0, 100, 100};
            }).error,
            cone + ": bounds 0,0,100,100 lie outside the raster, which covers 500000,4999590,500410,5000000");
  EXPECT_EQ(importFile(cone, [](DemRequest& r) { r.maxCells = 1000; }).error,
            cone + ": 41 x 41 cells are too many to hold in memory (at most 1000); reduce them with "
                   "--max-size N or a smaller --window or --bounds");
  EXPECT_EQ(importFile(cone, [](DemRequest& r) {
              r.hasWindow = true;
              r.window = {3, 3, 1, 8};
            }).error,
            cone + ": the area is only 1 x 8 cells; a terrain needs at least 2 x 2");
}

}  // namespace
