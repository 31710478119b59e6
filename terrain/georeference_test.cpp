#include "terrain/georeference.h"

#include <tuple>

#include "terrain/terrain_test_files.h"

namespace {

using GeoreferenceFileTest = ScratchFolderTest;

// A georeference of 30 m cells in `epsg` with its north-west corner at (x, y).
Georeference cornerAt(int epsg, double x, double y) {
  Georeference georeference;
  georeference.geoTransform = {x, 30, 0, y, 0, -30};
  georeference.columns = georeference.rows = 10;
  georeference.coordinateSystem = "EPSG:" + std::to_string(epsg);
  return georeference;
}

// The meridian convergence against PROJ 9.1.1's proj_factors(...).meridian_convergence at
// the longitude and latitude of each corner (projected by PROJ): zero on the central
// meridian, positive east of it in the north, negative west, the other way round in the south.
TEST(GeoreferenceTest, MeridianConvergenceIsProjs) {
  for (auto [epsg, x, y, proj] : {std::tuple{32633, 500000.000, 5094047.492, 0.0},  // 15 E, 46 N
                                  {32633, 809720.679, 5101830.731, 2.879637982},      // 19 E, 46 N
                                  {32633, 190279.321, 5101830.731, -2.879637982},     // 11 E, 46 N
                                  {32733, 885948.583, 6674471.653, -2.002477081},     // 19 E, 30 S
                                  {32616, -518388.284, 3726892.529, -6.019983275},    // 97.9 W, outside the zone
                                  {2154, 998190.785, 6774178.028, 2.902431060},       // Lambert-93, 7 E, 48 N
                                  {2154, 379312.423, 6330457.409, -2.902431060}}) {   // 1 W, 44 N
    EXPECT_NEAR(meridianConvergenceAt(cornerAt(epsg, x, y), 0, 0), proj, 1e-4) << epsg << " " << x;
  }
  // The same in the middle of a pixel; none without a coordinate system or in a geographic one.
  Georeference georeference = cornerAt(32633, 809720.679, 5101830.731);
  EXPECT_NEAR(meridianConvergenceAt(georeference, 0.5, 0.5), 2.879637982, 1e-3);
  georeference.coordinateSystem.clear();
  EXPECT_EQ(meridianConvergenceAt(georeference, 0, 0), 0);
  georeference.coordinateSystem = "EPSG:4326";
  georeference.geoTransform = {19, 0.001, 0, 46, 0, -0.001};
  EXPECT_EQ(meridianConvergenceAt(georeference, 0, 0), 0);
}

// The georeference file keeps the convergence and the horizons' earth curvature; an
// older file reads as before (convergence computed, a flat earth); bad values are refused.
TEST_F(GeoreferenceFileTest, KeepsConvergenceAndCurvatureAndOldFilesStillRead) {
  const std::string terrain = path("site.hrz"), json = path("site.hrz.json");
  Georeference written = cornerAt(32633, 809720.679, 5101830.731);
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
