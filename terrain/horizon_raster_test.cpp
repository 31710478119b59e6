#include "terrain/horizon_raster.h"

#include <tuple>

#include <gdal.h>

#include "terrain/fast_horizons.h"
#include "terrain/terrain_test_files.h"

namespace {

using HorizonRasterTest = ScratchFolderTest;

// Horizons of an oblong terrain with cells without data go out and come back: bands in
// place, north up, values within the encoding's resolution, bearings, georeference, no-data.
TEST_F(HorizonRasterTest, RoundTripsToTheStoredHorizons) {
  // Bearings run clockwise from north; direction j is centred on azimuth (j + 0.5) 360 / n from east.
  for (auto [j, n, bearing] : {std::tuple{0, 4, 45}, {1, 4, 315}, {2, 4, 225}, {3, 4, 135}, {9, 36, 355}, {35, 36, 95}})
    EXPECT_NEAR(directionBearing(j, n), bearing, 1e-3) << j << " of " << n;

  const int sizeX = 23, sizeY = 17, n = 12;
  std::vector<float> heights = roughGrid(sizeX, sizeY, 6, 3);
  heights[size_t(20) * sizeY + 14] = 40;  // a peak in the north-east
  const std::vector<uint16_t> horizons = computeHorizonsFast(heights.data(), sizeX, sizeY, n);
  std::vector<unsigned char> hasData(heights.size(), 1);
  for (size_t cell : {size_t(0), size_t(5) * sizeY + 9, heights.size() - 1}) hasData[cell] = 0;
  // Near 14 E, 45 N, a degree west of the central meridian: convergence (14 - 15) sin 45.
  Georeference georeference;
  georeference.geoTransform = {421000, 25, 0, 4984000, 0, -25};
  georeference.coordinateSystem = "EPSG:32633";
  georeference.meridianConvergence = meridianConvergenceAt(georeference, sizeX / 2.0, sizeY / 2.0);
  const std::string file = path("horizons.tif");
  OutputFile output(file);
  ASSERT_TRUE(writeHorizonGeoTiff(output, horizons.data(), n, sizeX, sizeY, &georeference, hasData.data()) &&
              output.commit())
      << output.error();

  GDALAllRegister();
  GDALDatasetH dataset = GDALOpen(file.c_str(), GA_ReadOnly);
  ASSERT_NE(dataset, nullptr);
  ASSERT_EQ(std::make_tuple(GDALGetRasterCount(dataset), GDALGetRasterXSize(dataset), GDALGetRasterYSize(dataset)),
            std::make_tuple(n, sizeX, sizeY));
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
        const double sine = std::sin(degrees / 57.29577951308232);
        worst = std::max(worst, std::fabs(sine - (horizons[heights.size() * j + cell] / 32768.0 - 1)));
      }
  }
  EXPECT_LT(worst, 1.0 / 65536);
  GDALClose(dataset);
  // A write that fails leaves no file and says why in one line.
  const std::string missing = path("missing-folder/horizons.tif");
  OutputFile failed(missing);
  EXPECT_FALSE(writeHorizonGeoTiff(failed, horizons.data(), n, sizeX, sizeY, nullptr, nullptr) && failed.commit());
  EXPECT_EQ(failed.error().rfind("cannot write " + missing, 0), 0u) << failed.error();
  EXPECT_EQ(failed.error().find('\n'), std::string::npos);
  EXPECT_FALSE(exists(missing));
}

}  // namespace
