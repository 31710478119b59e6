// halvane-terrain --dem and halvane-skylight's maps of a DEM's terrain, as
// users run them.
#include <cmath>
#include <string>
#include <vector>

#include "core/utc_time.h"
#include "sky/site_sun.h"
#include "terrain/georeference.h"
#include "terrain/horizon_raster.h"
#include "terrain/horizons.h"
#include "terrain/sky_view.h"
#include "tools/grid_output.h"
#include "tools/tool_test_files.h"

namespace {

const std::string kTerrainTool = HALVANE_TERRAIN_TOOL;
const std::string kSkylightTool = HALVANE_SKYLIGHT_TOOL;
const std::vector<double> kConeGt = {500000, 10, 0, 5000000, 0, -10};

using HalvaneTerrainDemTest = ToolTest;
using HalvaneSkylightDemTest = ToolTest;

// The terrain of a DEM holds its heights and the plain march's horizons, and
// keeps its georeference; the horizons GeoTIFF and the sky-view factor map
// are the file's horizons and the library's factors, north up, georeferenced.
TEST_F(HalvaneTerrainDemTest, ATerrainItsHorizonsAndSkyViewKeepTheDemsGeoreference) {
  const std::string dem = utmCone(scratch_), out = path("cone.hrz"), horizons = path("horizons.tif"),
                    svf = path("svf.tif");
  Result r = shell(kTerrainTool + " --dem " + dem + " --directions 8 --horizons-out " + horizons + " -o " + out);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(mentions(r.err, "halvane-terrain: " + dem + ": 41 x 41 cells of 10 x 10 m")) << r.err;
  EXPECT_TRUE(mentions(r.err, "halvane-terrain: terrain: 41 x 41 cells of 10 m, heights 0 to 200 m")) << r.err;
  TerrainFile file;
  Terrain terrain;
  TerrainError error;
  ASSERT_TRUE(file.open(out, terrain, error)) << error.message;
  ASSERT_EQ(terrain.numCells(), 41u * 41u);
  EXPECT_FLOAT_EQ(terrain.terrainHeights[20 * 41 + 20], 20.0f);
  std::vector<uint16_t> blocks(41 * 41 * 8);
  ASSERT_TRUE(file.readHorizonBlocks(8, blocks.data(), error));
  // On the curved earth by default, seen through refraction 0.13, with the
  // cells' 10 m; --flat-earth leaves the curvature out.
  EXPECT_EQ(blocks, computeHorizons(terrain.terrainHeights.data(), 41, 41, 8, earthCurvature(10, 0.13)));
  Georeference geo;
  std::string problem;
  ASSERT_EQ(readGeoreference(out, 41, 41, geo, problem), GeoreferenceStatus::kRead) << problem;
  EXPECT_TRUE(geo.earthCurvature);
  EXPECT_EQ(geo.refraction, 0.13);
  EXPECT_EQ(geo.source, dem);
  EXPECT_EQ(std::vector<double>(geo.geoTransform.begin(), geo.geoTransform.end()), kConeGt);

  // Band j, row `row` from the north, is the elevation angle of column x,
  // terrain row 40 - row, in degrees.
  const Raster tif = readRaster(horizons);
  ASSERT_EQ(tif.bands.size(), 8u);
  EXPECT_EQ(tif.gt, kConeGt);
  for (int j : {0, 5})
    for (int x = 0; x < 41; x += 4)
      for (int row = 0; row < 41; row += 3)
        EXPECT_NEAR(std::sin(tif.bands[j][row * 41 + x] / 57.29577951308232),
                    blocks[size_t(j) * 41 * 41 + x * 41 + (40 - row)] / 32768.0 - 1, 1e-5) << x << " " << row;

  r = shell(kSkylightTool + " " + out + " --svf " + svf);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const std::vector<float> factors = computeSkyViewFactor(blocks.data(), 8, 41, 41, terrain.terrainNormals.data());
  const Raster map = readRaster(svf);
  ASSERT_EQ(map.bands.size(), 1u);
  EXPECT_EQ(map.gt, kConeGt);
  EXPECT_EQ(map.bands[0], northUpRaster(factors.data(), 41, 41));
  EXPECT_LT(factors[20 * 41 + 28], 0.95f);  // on the cone's flank

  // Written again quietly and flat; then a synthetic terrain over it takes
  // the stale georeference away, and its map has none.
  EXPECT_EQ(shell(kTerrainTool + " --dem " + dem + " --directions 4 --flat-earth --quiet -o " + out).err, "");
  ASSERT_TRUE(file.open(out, terrain, error)) << error.message;
  blocks.resize(41 * 41 * 4);
  ASSERT_TRUE(file.readHorizonBlocks(4, blocks.data(), error));
  EXPECT_EQ(blocks, computeHorizons(terrain.terrainHeights.data(), 41, 41, 4));
  ASSERT_EQ(readGeoreference(out, 41, 41, geo, problem), GeoreferenceStatus::kRead) << problem;
  EXPECT_FALSE(geo.earthCurvature);
  ASSERT_EQ(shell(kTerrainTool + " --synthetic 10 --directions 4 -o " + out).status, 0);
  EXPECT_FALSE(exists(georeferenceFileName(out)));
  ASSERT_EQ(shell(kSkylightTool + " " + out + " -o " + path("s.TIFF")).status, 0);
  EXPECT_EQ(readRaster(path("s.TIFF")).width, 10);
  EXPECT_TRUE(readRaster(path("s.TIFF")).gt.empty());
}

TEST_F(HalvaneTerrainDemTest, ProgressBarUnlessQuiet) {
  // 110 x 110 cells in 900 directions: long enough to report.
  const std::string command = kTerrainTool + " --flat 110 --directions 900 -o " + path("level.hrz");
  const Result r = shell(command);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(lineCount(r.err), 10) << r.err;
  EXPECT_TRUE(mentions(r.err, "halvane-terrain: horizons 450/900 directions  50%  about ")) << r.err;
  EXPECT_TRUE(mentions(r.err, "halvane-terrain: horizons 900/900 directions  100%\n")) << r.err;
  EXPECT_EQ(shell(command + " --quiet").err, "");
}

TEST_F(HalvaneTerrainDemTest, BadDemsAndArgumentsGetOneLineTheirStatusAndNoFile) {
  // Every refusal of the DEM reader reaches the user as the library words it
  // (terrain/dem_import_test.cpp, and the tool against the library: fuzz_test.cpp).
  const std::string cone = utmCone(scratch_), missing = path("missing.tif");
  // 1500 x 1500 cells (sparse, all zero) with 1024 directions would need 4.6 GB of horizons.
  const std::string big = writeRaster(scratch_, "big.tif", 1500, 1500, {500000, 10, 0, 5000000, 0, -10}, 32633, {},
                                      NAN, "SPARSE_OK=TRUE");
  const struct {
    std::string args, mentions;
    int status;
  } cases[] = {
      {"--dem " + missing, missing + ": no such file", 1},
      {"--dem " + big + " --directions 1024", big + ": 1500 x 1500 cells are too many to hold in memory", 1},
      {"--flat 4 --max-size 3", "--max-size", 2},
      {"--dem " + cone + " --window 1,2,3", "'1,2,3'", 2},
      {"--dem " + cone + " --bounds 5,5,1,1", "'5,5,1,1'", 2},
      {"--dem " + cone + " --window 1,2,3,4 --bounds 0,0,1,1", "--bounds", 2},
      {"--dem " + cone + " --flat 3", "--flat", 2},
      {"--dem " + cone + " --max-size 1", "'1'", 2},
      {"--flat 8 --horizons-out " + path("horizons.png"), "--horizons-out takes the name of a GeoTIFF", 2},
      {"--synthetic 8 --flat-earth", "--flat-earth and --refraction go with --dem FILE", 2},
      {"--dem " + cone + " --refraction 0.2 --flat-earth", "only one of --flat-earth and --refraction", 2},
      {"--dem " + cone + " --refraction 1.5", "'1.5'", 2},
      {"--dem " + cone + " --refraction nan", "'nan'", 2},
  };
  for (const auto& c : cases)
    expectRefused(kTerrainTool + " " + c.args + " --quiet -o " + path("never.hrz"), c.status, c.mentions);
  // The big DEM is fine when reduced.
  const Result reduced = shell(kTerrainTool + " --dem " + big + " --max-size 50 --directions 4 -o " + path("big.hrz"));
  EXPECT_EQ(reduced.status, 0) << reduced.err;
  EXPECT_TRUE(mentions(reduced.err, "halvane-terrain: terrain: 50 x 50 cells of 300 m")) << reduced.err;
}

// A pit in the north-east of a DEM 12 cells wide and 9 high lies top right
// in every format of the map: the GeoTIFF, the 16-bit PNG, the grid text and
// the points, which all agree cell for cell.
TEST_F(HalvaneSkylightDemTest, EveryFormatIsNorthUpWithThePitOfTheNorthEastTopRight) {
  const std::vector<double> gt = {300000, 25, 0, 6000000, 0, -25};
  const std::string dem =
      writeRaster(scratch_, "ne.tif", 12, 9, {300000, 25, 0, 6000000, 0, -25}, 32632, [](int col, int row) {
        return 200 - 150 * std::exp(-(std::pow(col - 10, 2) + std::pow(row - 1, 2)) / 2);
      });
  const std::string terrain = path("ne.hrz"), tif = path("ne-light.tif"), png = path("ne.png"), grid = path("ne.csv"),
                    points = path("ne.xyz");
  ASSERT_EQ(shell(kTerrainTool + " --dem " + dem + " --directions 16 --quiet -o " + terrain).status, 0);
  const std::string map = kSkylightTool + " " + terrain + " --sky overcast --scale max";
  ASSERT_EQ(shell(map + " -o " + tif + " --csv " + grid).status, 0);
  ASSERT_EQ(shell(map + " -o " + png + " --csv " + points + " --csv-header").status, 0);

  const Raster light = readRaster(tif), picture = readRaster(png);
  ASSERT_EQ(light.width * light.height, 12 * 9);
  EXPECT_EQ(light.gt, gt);
  EXPECT_TRUE(mentions(light.wkt, "UTM zone 32N"));
  ASSERT_EQ(picture.width * picture.height, 12 * 9);
  EXPECT_EQ(picture.type, GDT_UInt16);
  EXPECT_EQ(*std::max_element(picture.bands[0].begin(), picture.bands[0].end()), 65535u);
  EXPECT_EQ(pixelValue(-0.1f), 0u);
  EXPECT_EQ(pixelValue(1.5f), 65535u);
  const std::vector<std::vector<double>> rows = readNumberLines(grid), cells = readNumberLines(points);
  ASSERT_EQ(rows.size(), 9u);
  ASSERT_EQ(cells.size(), 1 + 12u * 9u);  // a header, then the points
  for (int row = 0; row < 9; ++row) {
    ASSERT_EQ(rows[row].size(), 12u);
    for (int col = 0; col < 12; ++col) {
      const float value = light.bands[0][row * 12 + col];
      EXPECT_FLOAT_EQ(rows[row][col], value);
      EXPECT_EQ(picture.bands[0][row * 12 + col], pixelValue(value));
      EXPECT_EQ(cells[1 + row * 12 + col],
                (std::vector<double>{300000 + 25 * (col + 0.5), 6000000 - 25 * (row + 0.5), rows[row][col]}));
    }
  }
  const auto darkest = std::min_element(light.bands[0].begin(), light.bands[0].end()) - light.bands[0].begin();
  EXPECT_EQ(darkest, 1 * 12 + 10) << "the pit's bottom: row 1, column 10";
}

// A DEM 2.6 degrees west of its projection's central meridian: the site is
// its centre, and the sun of a time there, like a typed one, is turned into
// the grid's north; --site overrides the site.
TEST_F(HalvaneSkylightDemTest, TheSunOfTheDemsSiteIsTurnedIntoItsGrid) {
  const std::string dem = writeRaster(scratch_, "west.tif", 21, 21, {300000, 50, 0, 5000000, 0, -50}, 32633,
                                      [](int col, int row) { return 20 * std::sin(col * 0.4) + 10 * row; });
  const std::string terrain = path("west.hrz"), atTime = path("time.csv"), other = path("other.csv");
  ASSERT_EQ(shell(kTerrainTool + " --dem " + dem + " --directions 16 --quiet -o " + terrain).status, 0);
  Georeference georeference;
  std::string problem;
  ASSERT_EQ(readGeoreference(terrain, 21, 21, georeference, problem), GeoreferenceStatus::kRead) << problem;
  GeoSite site;
  ASSERT_TRUE(georeferenceSite(georeference, site, problem)) << problem;
  EXPECT_NEAR(site.latitude, 45.1206, 0.001);  // the centre, as gdaltransform gives it
  EXPECT_NEAR(site.longitude, 12.4638, 0.001);
  // PROJ 9.1's proj_factors gives -1.797 degrees at the centre's latitude and longitude.
  EXPECT_NEAR(georeference.meridianConvergence, -1.797, 0.002);
  UtcTime time;
  ASSERT_TRUE(parseIsoTime("2026-06-21T09:00Z", time, problem));
  const SiteSun sun = sunAtSite(site, time);
  ASSERT_TRUE(sun.isUp());
  const std::string atNine = kSkylightTool + " " + terrain + " --time 2026-06-21T09:00Z --no-sun --csv ";
  ASSERT_EQ(shell(atNine + atTime).status, 0);
  auto typedSun = [&](const std::string& on, double bearing) {
    EXPECT_EQ(shell(kSkylightTool + " " + on + " --sun " + typed(sun.elevationDegrees, bearing) + " --csv " + other)
                  .status, 0);
    return readFile(other);
  };
  EXPECT_EQ(typedSun(terrain, sun.bearingDegrees), readFile(atTime));
  const std::string bare = path("bare.hrz");
  ASSERT_EQ(shell("cp " + terrain + " " + bare).status, 0);
  EXPECT_NE(typedSun(bare, sun.bearingDegrees), readFile(atTime));
  EXPECT_EQ(typedSun(bare, sun.bearingDegrees - georeference.meridianConvergence), readFile(atTime));
  ASSERT_EQ(shell(atNine + other + " --site 59.9,10.7").status, 0);
  EXPECT_NE(readFile(atTime), readFile(other));
  // A damaged georeference leaves the grid's north unknown: the sun of a
  // time is refused, not silently taken as a grid bearing (a typed sun, and
  // a sky without one: tool_safety_test.cpp).
  const std::string damaged = path("damaged.hrz");
  ASSERT_EQ(shell("cp " + terrain + " " + damaged + " && echo '{' >" + damaged + ".json").status, 0);
  expectRefused(kSkylightTool + " " + damaged + " --site 45,12 --time 2026-06-21T09:00Z --csv " + path("never.csv"),
                1, "damaged.hrz.json");
}

}  // namespace
