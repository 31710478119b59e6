// DEMs made with GDAL in a scratch folder, read back as terrains.
#include "terrain/dem_import.h"

#include <climits>

#include <gdal.h>
#include <ogr_srs_api.h>

#include "terrain/georeference.h"
#include "terrain/terrain_test_files.h"

namespace {

using DemImportTest = ScratchFolderTest;

struct Import {
  bool ok = false;
  DemTerrain terrain;
  std::string error, report;
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

// A cone in degrees (cells of about 11.1 x 7.9 m) at 45 N, 15 E is warped into
// UTM with square cells, keeps its shape, and its centre is the terrain's site.
TEST_F(DemImportTest, GeographicConeIsWarpedIntoUtmAndCentredOnItsSite) {
  const double cell = 0.0001, mLat = 111132.0 * cell, mLon = 111132.0 * std::cos(45.0 * M_PI / 180) * cell;
  std::string file = writeRaster(folder_, "cone-geo.tif", 60, 40, {14.997, cell, 0, 45.002, 0, -cell}, 4326,
                                 [&](int col, int row) { return cone((col + 0.5) * mLon, (row + 0.5) * mLat, 30 * mLon, 20 * mLat); });
  Import dem = importFile(file);
  ASSERT_TRUE(dem.ok) << dem.error;
  const Georeference& geo = dem.terrain.georeference;
  EXPECT_TRUE(mentions(dem.report, "warped into WGS 84 / UTM zone 33N")) << dem.report;
  EXPECT_DOUBLE_EQ(geo.geoTransform[1], -geo.geoTransform[5]);
  EXPECT_NEAR(dem.terrain.gridSizeX * geo.cellSize, 60 * mLon, 2 * geo.cellSize);
  EXPECT_NEAR(dem.terrain.gridSizeY * geo.cellSize, 40 * mLat, 2 * geo.cellSize);
  // The foot lies 100 m from the apex every way, and the cone keeps (nearly) its height.
  int apexX = 0, apexY = 0;
  for (int x = 0; x < dem.terrain.gridSizeX; ++x)
    for (int y = 0; y < dem.terrain.gridSizeY; ++y)
      if (dem.at(x, y) > dem.at(apexX, apexY)) apexX = x, apexY = y;
  EXPECT_NEAR(dem.at(apexX, apexY) * geo.cellSize, 200, 4 * geo.cellSize);
  for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
    int steps = 0;
    for (int x = apexX, y = apexY; dem.at(x, y) > 0.5f; x += dx, y += dy) ++steps;
    EXPECT_NEAR(steps * geo.cellSize, 100, 1.5 * geo.cellSize) << dx << "," << dy;
  }
  GeoSite site;
  std::string error;
  ASSERT_TRUE(georeferenceSite(geo, site, error)) << error;
  EXPECT_NEAR(site.latitude, 45.0, 2 * cell);
  EXPECT_NEAR(site.longitude, 15.0, 2 * cell);
}

// Oblong cells (10 m east-west, 20 m north-south) of a plane rising eastwards
// are resampled to square ones of the same slope in cells of height.
TEST_F(DemImportTest, OblongCellsAreResampledToSquareOnes) {
  Import dem = importFile(writeRaster(folder_, "oblong.tif", 30, 20, {0, 10, 0, 400, 0, -20}, 32631,
                                      [](int col, int) { return 100 + 0.5 * (col * 10 + 5); }));
  ASSERT_TRUE(dem.ok) << dem.error;
  const Georeference& geo = dem.terrain.georeference;
  EXPECT_DOUBLE_EQ(geo.geoTransform[1], -geo.geoTransform[5]);
  EXPECT_NEAR(dem.terrain.gridSizeX * geo.cellSize, 300, geo.cellSize);
  EXPECT_NEAR(dem.terrain.gridSizeY * geo.cellSize, 400, geo.cellSize);
  EXPECT_TRUE(mentions(dem.report, "resampled to square cells")) << dem.report;
  const int y = dem.terrain.gridSizeY / 2, last = dem.terrain.gridSizeX - 3;
  EXPECT_NEAR((dem.at(last, y) - dem.at(2, y)) / (last - 2), 0.5f, 0.005f);
}

// A plane of height column + 1000 row (row 0 the northern edge) on cells of 2 m
// lies north up, x to the east and y to the north, in cells of height.
TEST_F(DemImportTest, NorthUpAndWindowBoundsAndMaxSizeChooseAndReduceTheArea) {
  std::string file = writeRaster(folder_, "plane.tif", 100, 60, {0, 2, 0, 120, 0, -2}, 32631,
                                 [](int col, int row) { return col + 1000.0 * row; });
  Import all = importFile(file, [](DemRequest& r) { r.hasBounds = true, r.bounds = {-1e300, -1e300, 1e300, 1e300}; });
  ASSERT_TRUE(all.ok) << all.error;
  ASSERT_EQ(std::make_pair(all.terrain.gridSizeX, all.terrain.gridSizeY), std::make_pair(100, 60));
  EXPECT_FLOAT_EQ(all.at(99, 59), 99 / 2.0f);  // the north-east corner
  EXPECT_FLOAT_EQ(all.terrain.highest, 99 + 59000);  // in metres
  EXPECT_EQ(all.terrain.georeference.geoTransform, (std::array<double, 6>{0, 2, 0, 120, 0, -2}));
  EXPECT_TRUE(mentions(all.terrain.georeference.coordinateSystem, "UTM zone 31N"));
  Import window = importFile(file, [](DemRequest& r) { r.hasWindow = true, r.window = {10, 20, 5, 4}; });
  ASSERT_TRUE(window.ok) << window.error;
  ASSERT_EQ(std::make_pair(window.terrain.gridSizeX, window.terrain.gridSizeY), std::make_pair(5, 4));
  EXPECT_FLOAT_EQ(window.at(0, 3), (10 + 1000 * 20) / 2.0f);  // north-west corner of the window
  EXPECT_FLOAT_EQ(window.at(4, 0), (14 + 1000 * 23) / 2.0f);  // south-east corner
  Import bounds = importFile(file, [](DemRequest& r) { r.hasBounds = true, r.bounds = {20, 72, 30, 80}; });
  EXPECT_EQ(bounds.terrain.heights, window.terrain.heights);
  // Averages of 4 x 4 cells: neither side above 25.
  Import reduced = importFile(file, [](DemRequest& r) { r.maxSize = 25; });
  ASSERT_TRUE(reduced.ok) << reduced.error;
  ASSERT_EQ(std::make_pair(reduced.terrain.gridSizeX, reduced.terrain.gridSizeY), std::make_pair(25, 15));
  EXPECT_DOUBLE_EQ(reduced.terrain.georeference.cellSize, 8);
  EXPECT_FLOAT_EQ(reduced.at(0, 14), (1.5f + 1000 * 1.5f) / 8);
}

// Holes of no-data and infinite cells are filled from the heights around.
TEST_F(DemImportTest, SmallNoDataHolesAndInfiniteCellsAreFilled) {
  std::string file = writeRaster(folder_, "holes.tif", 40, 40, {0, 1, 0, 40, 0, -1}, 32631, [](int col, int row) {
    if (col == 30 && row == 30) return double(INFINITY);
    if (col == 35 && row == 35) return double(-INFINITY);
    bool hole = (col >= 10 && col < 13 && row >= 20 && row < 23) || (col == 35 && row == 5);
    return hole ? -9999.0 : 100.0 + col;
  }, -9999);
  Import dem = importFile(file);
  ASSERT_TRUE(dem.ok) << dem.error;
  EXPECT_TRUE(mentions(dem.report, "filled 12 no-data cells")) << dem.report;
  for (int x = 10; x < 13; ++x)
    for (int y = 17; y < 20; ++y) {
      EXPECT_GE(dem.at(x, y), 109.0f);
      EXPECT_LE(dem.at(x, y), 113.0f);
    }
  EXPECT_NEAR(dem.at(35, 34), 135.0f, 1.0f);
  EXPECT_NEAR(dem.at(30, 9), 130.0f, 1.0f);
  EXPECT_NEAR(dem.at(35, 4), 135.0f, 1.0f);
}

// A copy of the cone whose band has this scale and offset.
std::string scaledCone(const std::string& folder, const std::string& name, double scale, double offset) {
  std::string file = utmCone(folder, name);
  GDALDatasetH dataset = GDALOpen(file.c_str(), GA_Update);
  EXPECT_NE(dataset, nullptr);
  if (!dataset) return file;
  GDALSetRasterScale(GDALGetRasterBand(dataset, 1), scale);
  GDALSetRasterOffset(GDALGetRasterBand(dataset, 1), offset);
  GDALClose(dataset);
  return file;
}

TEST_F(DemImportTest, BadInputIsNamedInOneLine) {
  std::string missing = path("missing.tif"), text = path("notes.tif"), plain = path("plain.tif");
  writeFile(text, "hi\n");  // no geotransform, so no cell size
  GDALAllRegister();
  GDALClose(GDALCreate(GDALGetDriverByName("GTiff"), plain.c_str(), 8, 8, 1, GDT_Float32, nullptr));
  std::string cone = utmCone(folder_);
  std::string mostly = writeRaster(folder_, "mostly.tif", 10, 10, {0, 1, 0, 10, 0, -1}, 32631,
                                   [](int col, int) { return col < 6 ? -1.0 : 5.0; }, -1);
  std::string wide = writeRaster(folder_, "wide.tif", 460, 4, {0, 1, 0, 4, 0, -1}, 32631,
                                 [](int col, int) { return col >= 10 && col < 220 ? -1.0 : 5.0; }, -1);
  std::string nanCell = writeRaster(folder_, "nan-cell.tif", 8, 8, {0, NAN, 0, 8, 0, -1}, 32631,
                                    [](int, int) { return 1.0; });
  struct Case {
    std::string file;
    std::function<void(DemRequest&)> adjust;
    std::string error;  // what the message says after the file's name
  };
  const Case cases[] = {
      {missing, {}, "no such file"},
      {text, {}, "not a raster that GDAL can read"},
      {plain, {}, "has no cell size (the raster is not georeferenced)"},
      {nanCell, {}, "has no usable cell size (its geotransform is degenerate or not finite)"},
      {scaledCone(folder_, "nan-scale.tif", NAN, 0), {}, "band 1 has an unusable scale or offset (nan, 0)"},
      {scaledCone(folder_, "zero-scale.tif", 0, 0), {}, "band 1 has an unusable scale or offset (0, 0)"},
      {scaledCone(folder_, "inf-offset.tif", 1, INFINITY), {}, "band 1 has an unusable scale or offset (1, inf)"},
      {scaledCone(folder_, "huge-scale.tif", 1e300, 0), {}, "a height of 3.02284e+300 m is beyond what a terrain"},
      {mostly, {}, "mostly no-data (60% of the area has no height)"},
      {wide, {}, "40 no-data cells lie more than 100 cells from any height; choose a smaller area"},  // 210 wide
      {cone, [](DemRequest& r) { r.hasWindow = true, r.window = {30, 0, 20, 10}; }, "window 30,0,20,10 lies outside"},
      {cone, [](DemRequest& r) { r.hasBounds = true, r.bounds = {0, 0, 100, 100}; },
       "bounds 0,0,100,100 lie outside the raster, which covers 500000,4999590,500410,5000000"},
      {cone, [](DemRequest& r) { r.maxCells = 1000; }, "41 x 41 cells are too many to hold in memory (at most 1000)"},
      {cone, [](DemRequest& r) { r.hasWindow = true, r.window = {3, 3, 1, 8}; }, "only 1 x 8 cells; a terrain needs"},
      // Sums that would overflow.
      {cone, [](DemRequest& r) { r.hasWindow = true, r.window = {LLONG_MAX - 1, 0, LLONG_MAX - 1, 2}; },
       "window 9223372036854775806,0,9223372036854775806,2 lies outside the raster of 41 x 41 pixels"},
  };
  for (const Case& c : cases) {
    Import dem = importFile(c.file, c.adjust);
    EXPECT_FALSE(dem.ok);
    EXPECT_EQ(dem.error.rfind(c.file + ": ", 0), 0u) << dem.error;
    EXPECT_TRUE(mentions(dem.error, c.error)) << dem.error;
    EXPECT_EQ(dem.error.find('\n'), std::string::npos) << dem.error;
  }
}

}  // namespace
