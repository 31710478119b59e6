#include "terrain/horizon_raster.h"

#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <cpl_conv.h>
#include <gdal.h>
#include <ogr_srs_api.h>
#include <gtest/gtest.h>

#include "terrain/fast_horizons.h"
#include "terrain/terrain_file.h"
#include "terrain/terrain_test_files.h"

namespace {

// Horizons of an oblong terrain with a few cells without data go out and come
// back: every band in its place and north up, every value within the
// encoding's resolution, the bearings, the georeference and the no-data value.
TEST(HorizonRasterTest, RoundTripsToTheStoredHorizons) {
  // Bearings run clockwise from north; direction j is centred on azimuth (j + 0.5) 360 / n from east.
  const double bearings[] = {45, 315, 225, 135};
  for (int j = 0; j < 4; ++j) EXPECT_NEAR(directionBearing(j, 4), bearings[j], 1e-3) << j;
  EXPECT_NEAR(directionBearing(9, 36), 355, 1e-3);
  EXPECT_NEAR(directionBearing(35, 36), 95, 1e-3);

  const int sizeX = 23, sizeY = 17, n = 12;
  std::mt19937 random(3);
  std::uniform_real_distribution<float> rough(0, 6);
  std::vector<float> heights(size_t(sizeX) * sizeY);
  for (float& h : heights) h = rough(random);
  heights[size_t(20) * sizeY + 14] = 40;  // a peak in the north-east
  const std::vector<uint16_t> horizons = computeHorizonsFast(heights.data(), sizeX, sizeY, n);
  std::vector<unsigned char> hasData(heights.size(), 1);
  for (size_t cell : {size_t(0), size_t(5) * sizeY + 9, heights.size() - 1}) hasData[cell] = 0;
  Georeference georeference;
  // West of the zone's central meridian (15 degrees east) near 14 degrees
  // east, 45 north: true north lies east of grid north by about
  // (15 - 14) sin 45 = 0.707 degrees, so grid bearings turn that much anticlockwise.
  georeference.geoTransform = {421000, 25, 0, 4984000, 0, -25};
  OGRSpatialReferenceH utm = OSRNewSpatialReference(nullptr);
  OSRImportFromEPSG(utm, 32633);
  char* wkt = nullptr;
  OSRExportToWkt(utm, &wkt);
  georeference.coordinateSystem = wkt;
  CPLFree(wkt);
  OSRDestroySpatialReference(utm);
  georeference.meridianConvergence = meridianConvergenceAt(georeference, sizeX / 2.0, sizeY / 2.0);

  ScratchFolder folder;
  const std::string file = folder.file("horizons.tif");
  OutputFile output(file);
  ASSERT_TRUE(writeHorizonGeoTiff(output, horizons.data(), n, sizeX, sizeY, &georeference, hasData.data()) &&
              output.commit())
      << output.error();

  GDALAllRegister();
  GDALDatasetH dataset = GDALOpen(file.c_str(), GA_ReadOnly);
  ASSERT_NE(dataset, nullptr);
  ASSERT_EQ(GDALGetRasterCount(dataset), n);
  ASSERT_EQ(GDALGetRasterXSize(dataset), sizeX);
  ASSERT_EQ(GDALGetRasterYSize(dataset), sizeY);
  std::array<double, 6> gt{};
  GDALGetGeoTransform(dataset, gt.data());
  EXPECT_EQ(gt, georeference.geoTransform);
  EXPECT_NE(std::string(GDALGetProjectionRef(dataset)).find("UTM zone 33N"), std::string::npos);
  EXPECT_STREQ(GDALGetMetadataItem(dataset, "HORIZON_DIRECTIONS", nullptr), "12");

  const double convergence = std::atof(GDALGetMetadataItem(dataset, "MERIDIAN_CONVERGENCE", nullptr));
  EXPECT_NEAR(convergence, -0.707, 0.01);
  std::vector<float> band(heights.size());
  double worst = 0;
  for (int j = 0; j < n; ++j) {
    GDALRasterBandH b = GDALGetRasterBand(dataset, j + 1);
    const double grid = directionBearing(j, n), bearing = std::fmod(grid + convergence + 360, 360);
    const std::string description = GDALGetDescription(b);
    ASSERT_EQ(description.rfind("bearing ", 0), 0u) << description;
    EXPECT_NEAR(std::atof(description.c_str() + 8), bearing, 1e-3) << j;
    EXPECT_NEAR(std::atof(GDALGetMetadataItem(b, "BEARING", nullptr)), bearing, 1e-3);
    EXPECT_NEAR(std::atof(GDALGetMetadataItem(b, "GRID_BEARING", nullptr)), grid, 1e-3);
    EXPECT_NEAR(std::fmod(std::atof(GDALGetMetadataItem(b, "AZIMUTH_CCW_FROM_EAST", nullptr)) + bearing, 360), 90,
                1e-3);
    EXPECT_STREQ(GDALGetRasterUnitType(b), "degree");
    int hasNoData = 0;
    EXPECT_EQ(GDALGetRasterNoDataValue(b, &hasNoData), kGeoTiffNoData);
    EXPECT_TRUE(hasNoData);
    ASSERT_EQ(GDALRasterIO(b, GF_Read, 0, 0, sizeX, sizeY, band.data(), sizeX, sizeY, GDT_Float32, 0, 0), CE_None);
    for (int col = 0; col < sizeX; ++col)
      for (int row = 0; row < sizeY; ++row) {
        const size_t cell = size_t(col) * sizeY + (sizeY - 1 - row);
        const float degrees = band[size_t(row) * sizeX + col];
        if (!hasData[cell]) {
          EXPECT_EQ(degrees, kGeoTiffNoData) << j << " " << col << " " << row;
          continue;
        }
        const uint16_t stored = horizons[heights.size() * j + cell];
        const double sine = std::sin(degrees / 57.29577951308232);
        worst = std::max(worst, std::fabs(sine - (stored / 32768.0 - 1)));
        EXPECT_NEAR(encodeHorizon(sine), stored, 1) << j << " " << col << " " << row;
      }
  }
  EXPECT_LT(worst, 1.0 / 65536);
  GDALClose(dataset);
}

TEST(HorizonRasterTest, AFailedWriteLeavesNoFile) {
  ScratchFolder folder;
  const std::string file = folder.file("missing-folder/horizons.tif");
  const std::vector<uint16_t> horizons(4 * 3 * 2, 32768);
  OutputFile output(file);
  EXPECT_FALSE(writeHorizonGeoTiff(output, horizons.data(), 2, 4, 3, nullptr, nullptr) && output.commit());
  EXPECT_EQ(output.error().rfind("cannot write " + file, 0), 0u) << output.error();
  EXPECT_EQ(output.error().find('\n'), std::string::npos);
  EXPECT_FALSE(exists(file));
}

}  // namespace
