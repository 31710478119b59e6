#include "terrain/georeference.h"

#include <tuple>

#include <cpl_conv.h>
#include <ogr_srs_api.h>

#include "terrain/terrain_test_files.h"

namespace {

// A georeference of 30 m cells in `epsg`, its north-west corner at the longitude and latitude.
Georeference cornerAt(int epsg, double longitude, double latitude) {
  OGRSpatialReferenceH grid = OSRNewSpatialReference(nullptr), wgs84 = OSRNewSpatialReference(nullptr);
  OSRImportFromEPSG(grid, epsg);
  OSRSetWellKnownGeogCS(wgs84, "WGS84");
  OSRSetAxisMappingStrategy(wgs84, OAMS_TRADITIONAL_GIS_ORDER);
  OGRCoordinateTransformationH project = OCTNewCoordinateTransformation(wgs84, grid);
  double x = longitude, y = latitude;
  EXPECT_TRUE(OCTTransform(project, 1, &x, &y, nullptr));
  OCTDestroyCoordinateTransformation(project);
  OSRDestroySpatialReference(grid);
  OSRDestroySpatialReference(wgs84);
  Georeference georeference;
  georeference.geoTransform = {x, 30, 0, y, 0, -30};
  georeference.columns = georeference.rows = 10;
  georeference.coordinateSystem = "EPSG:" + std::to_string(epsg);
  return georeference;
}

// The meridian convergence against PROJ 9.1.1's proj_factors(...).meridian_convergence:
// zero on the central meridian, positive east of it in the north, negative west.
TEST(GeoreferenceTest, MeridianConvergenceIsProjs) {
  for (auto [epsg, longitude, latitude, proj] : {std::tuple{32633, 15.0, 46.0, 0.0},
                                                 {32633, 19.0, 46.0, 2.879637982},
                                                 {32633, 11.0, 46.0, -2.879637982},
                                                 {32733, 19.0, -30.0, -2.002477081},
                                                 {32616, -97.9, 33.2, -6.019983275},  // outside its zone
                                                 {2154, 7.0, 48.0, 2.902431060},    // Lambert-93
                                                 {2154, -1.0, 44.0, -2.902431060}}) {
    const Georeference georeference = cornerAt(epsg, longitude, latitude);
    EXPECT_NEAR(meridianConvergenceAt(georeference, 0, 0), proj, 1e-4) << epsg << " " << longitude;
  }
  // The same in the middle of a pixel; none without a coordinate system or in a geographic one.
  Georeference georeference = cornerAt(32633, 19, 46);
  EXPECT_NEAR(meridianConvergenceAt(georeference, 0.5, 0.5), 2.879637982, 1e-3);
  georeference.coordinateSystem.clear();
  EXPECT_EQ(meridianConvergenceAt(georeference, 0, 0), 0);
  georeference.coordinateSystem = SRS_WKT_WGS84_LAT_LONG;
  georeference.geoTransform = {19, 0.001, 0, 46, 0, -0.001};
  EXPECT_EQ(meridianConvergenceAt(georeference, 0, 0), 0);
}

// The georeference file keeps the convergence and the horizons' earth curvature; an
// older file reads as before (convergence computed, a flat earth); bad values are refused.
TEST(GeoreferenceTest, FileKeepsConvergenceAndCurvatureAndOldFilesStillRead) {
  ScratchFolder folder;
  const std::string terrain = folder.file("site.hrz"), json = folder.file("site.hrz.json");
  Georeference written = cornerAt(32633, 19, 46);
  written.meridianConvergence = 2.5;  // stored, not recomputed
  written.earthCurvature = true;
  written.refraction = 0.14;
  OutputFile output(json);
  ASSERT_TRUE(writeGeoreference(output, written) && output.commit()) << output.error();
  Georeference read;
  std::string error;
  ASSERT_EQ(readGeoreference(terrain, 10, 10, read, error), GeoreferenceStatus::kRead) << error;
  EXPECT_EQ(read.meridianConvergence, 2.5);
  EXPECT_TRUE(read.earthCurvature);
  EXPECT_EQ(read.refraction, 0.14);

  const std::string old = "{\"columns\": 10, \"rows\": 10, \"cellSize\": 30, \"geoTransform\": [" +
                          std::to_string(written.geoTransform[0]) + ", 30, 0, " +
                          std::to_string(written.geoTransform[3]) + ", 0, -30], \"coordinateSystem\": \"EPSG:32633\"";
  auto readText = [&](const std::string& text, Georeference& georeference) {
    writeFile(json, text);
    return readGeoreference(terrain, 10, 10, georeference, error);
  };
  Georeference before;
  ASSERT_EQ(readText(old + "}", before), GeoreferenceStatus::kRead) << error;
  EXPECT_NEAR(before.meridianConvergence, meridianConvergenceAt(before, 5, 5), 1e-12);
  EXPECT_NEAR(before.meridianConvergence, 2.88, 0.01);
  EXPECT_FALSE(before.earthCurvature);
  for (const char* bad : {", \"meridianConvergence\": \"east\"", ", \"meridianConvergence\": 400",
                          ", \"horizons\": {\"earthCurvature\": true}",
                          ", \"horizons\": {\"earthCurvature\": true, \"refractionCoefficient\": 2}"}) {
    Georeference refused;
    EXPECT_EQ(readText(old + bad + "}", refused), GeoreferenceStatus::kBad) << bad;
    EXPECT_NE(error.find("site.hrz.json: has no "), std::string::npos) << error;
  }
}

}  // namespace
