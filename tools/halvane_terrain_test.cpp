// halvane-terrain and halvane-skylight as users run them, against the library.
#include <cmath>
#include <string>
#include <vector>

#include "sky/clear_sky.h"
#include "sky/site_sun.h"
#include "terrain/georeference.h"
#include "terrain/horizon_raster.h"
#include "terrain/horizons.h"
#include "terrain/sky_light.h"
#include "terrain/sky_view.h"
#include "terrain/sunlit_terrain.h"
#include "terrain/synthetic_terrain.h"
#include "tools/grid_output.h"
#include "tools/tool_test_files.h"

namespace {

const std::vector<double> kConeGt = {500000, 10, 0, 5000000, 0, -10};

using HalvaneTerrainTest = ToolTest;
using HalvaneSkylightTest = ToolTest;

// A terrain file read whole, its horizons in blocks of its directions.
Terrain readBack(const std::string& name) {
  Terrain terrain;
  TerrainError error;
  EXPECT_TRUE(readTerrain(name, terrain, error)) << error.message;
  return terrain;
}

TEST_F(HalvaneTerrainTest, SyntheticTerrainsAreTheirSeedsHeightsAndThePlainMarchsHorizons) {
  ASSERT_EQ(shell(kTerrainTool + " --synthetic 24 --seed 7 --directions 10 -o " + path("s.hrz")).status, 0);
  Terrain terrain = readBack(path("s.hrz"));
  EXPECT_EQ(terrain.horizons, computeHorizons(syntheticHeights(24, 7).data(), 24, 24, 10));
  EXPECT_EQ(terrain.terrainHeights, syntheticHeights(24, 7));
  terrain = readBack(HALVANE_DEFAULT_TERRAIN);
  EXPECT_EQ(terrain.numDirections, 36);
  EXPECT_EQ(terrain.terrainHeights, syntheticHeights(256, 1));
  EXPECT_NE(syntheticHeights(32, 3), syntheticHeights(32, 4));
  const std::vector<float> h = syntheticHeights(64, 1);
  const auto [low, high] = std::minmax_element(h.begin(), h.end());
  EXPECT_GT(*high - *low, 10.0f);
  const std::vector<uint16_t> horizons = computeHorizons(h.data(), 64, 64, 8);
  const auto [lowH, highH] = std::minmax_element(horizons.begin(), horizons.end());
  EXPECT_LE(horizonBin(*lowH), 128);
  EXPECT_GE(horizonBin(*highH), 160);
}

TEST_F(HalvaneTerrainTest, ADemsTerrainItsHorizonsAndSkyViewKeepTheDemsGeoreference) {
  const std::string dem = utmCone(folder_), out = path("cone.hrz"), horizons = path("horizons.tif"),
                    svf = path("svf.tif");
  Result r = shell(kTerrainTool + " --dem " + dem + " --directions 8 --horizons-out " + horizons + " -o " + out);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(mentions(r.err, "halvane-terrain: " + dem + ": 41 x 41 cells of 10 x 10 m")) << r.err;
  EXPECT_TRUE(mentions(r.err, "halvane-terrain: terrain: 41 x 41 cells of 10 m, heights 0 to 200 m")) << r.err;
  Terrain terrain = readBack(out);
  ASSERT_EQ(terrain.numCells(), 41u * 41u);
  EXPECT_EQ(terrain.horizons, computeHorizons(terrain.terrainHeights.data(), 41, 41, 8, earthCurvature(10, 0.13)));
  Georeference geo;
  std::string problem;
  ASSERT_EQ(readGeoreference(out, 41, 41, geo, problem), GeoreferenceStatus::kRead) << problem;
  EXPECT_TRUE(geo.earthCurvature);
  EXPECT_EQ(geo.refraction, 0.13);
  EXPECT_EQ(geo.source, dem);
  EXPECT_EQ(std::vector<double>(geo.geoTransform.begin(), geo.geoTransform.end()), kConeGt);

  // The library's writer, round-tripped in its own test, takes the file's horizons.
  const Raster tif = readRaster(horizons);
  EXPECT_EQ(tif.bands.size() * tif.width * tif.height, terrain.horizons.size());
  EXPECT_EQ(tif.gt, kConeGt);

  r = shell(kSkylightTool + " " + out + " --svf " + svf);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const std::vector<float> factors = computeSkyViewFactor(terrain.horizons.data(), 8, 41, 41, terrain.terrainNormals.data());
  const Raster map = readRaster(svf);
  EXPECT_EQ(map.gt, kConeGt);
  EXPECT_EQ(map.bands, (std::vector<std::vector<float>>{northUpRaster(factors.data(), 41, 41)}));
  ASSERT_EQ(shell(kSkylightTool + " " + out + " --svf -").status, 0);
  EXPECT_EQ(readNumbers(path("out")), map.bands[0]);

  // A synthetic terrain over it takes the stale georeference away.
  EXPECT_EQ(shell(kTerrainTool + " --dem " + dem + " --directions 4 --flat-earth --quiet -o " + out).err, "");
  terrain = readBack(out);
  EXPECT_EQ(terrain.horizons, computeHorizons(terrain.terrainHeights.data(), 41, 41, 4));
  ASSERT_EQ(readGeoreference(out, 41, 41, geo, problem), GeoreferenceStatus::kRead) << problem;
  EXPECT_FALSE(geo.earthCurvature);
  ASSERT_EQ(shell(kTerrainTool + " --synthetic 10 --directions 4 -o " + out).status, 0);
  EXPECT_FALSE(exists(georeferenceFileName(out)));
  ASSERT_EQ(shell(kSkylightTool + " " + out + " -o " + path("s.TIFF")).status, 0);
  EXPECT_EQ(readRaster(path("s.TIFF")).width, 10);
  EXPECT_TRUE(readRaster(path("s.TIFF")).gt.empty());
}

TEST_F(HalvaneTerrainTest, ProgressBarUnlessQuiet) {
  // 110 x 110 cells in 900 directions: long enough to report.
  const std::string command = kTerrainTool + " --flat 110 --directions 900 -o " + path("level.hrz");
  const Result r = shell(command);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(mentions(r.err, "halvane-terrain: horizons 900/900 directions  100%\n")) << r.err;
  EXPECT_EQ(shell(command + " --quiet").err, "");
}

// Every refusal of the DEM reader reaches the user as the library words it:
// the fuzzer checks that.
TEST_F(HalvaneTerrainTest, BadDemsAndArgumentsGetOneLineTheirStatusAndNoFile) {
  const std::string cone = utmCone(folder_);
  // 1500 x 1500 cells (sparse, all zero) with 1024 directions would need 4.6 GB of horizons.
  const std::string big = writeRaster(folder_, "big.tif", 1500, 1500, {500000, 10, 0, 5000000, 0, -10}, 32633, {},
                                      NAN, "SPARSE_OK=TRUE");
  const struct {
    std::string args, mentions;
    int status;
  } cases[] = {
      {"--dem " + big + " --directions 1024", big + ": 1500 x 1500 cells are too many to hold in memory", 1},
      {"--flat 4 -o /nonexistent-folder/t.hrz", "/nonexistent-folder/t.hrz", 1},
      {"--synthetic 0", "'0'", 2},
      {"--synthetic 9000", "'9000'", 2},
      {"--flat 8 --directions 0", "'0'", 2},
      {"--flat 4 --synthetic 4", "--synthetic", 2},
      {"--flat 4 --seed 3", "--seed", 2},
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
      // Numbers are read strictly (options_test); windows that would overflow a cell index are refused.
      {"--synthetic 8 --seed -1", "'-1'", 2},
      {"--dem x.tif --window 9000000000000000000,0,9000000000000000000,2",
       "'9000000000000000000,0,9000000000000000000,2'", 2},
  };
  for (const auto& c : cases)
    expectRefused(kTerrainTool + " --quiet -o " + path("never.hrz") + " " + c.args, c.status, c.mentions);
  expectRefused(kTerrainTool + " --flat 4", 2, "-o");
}

// A pit in the north-east of a DEM 12 cells wide and 9 high lies top right in every format.
TEST_F(HalvaneSkylightTest, EveryFormatIsTheLibrarysSkyLightNorthUpAndTheSunTurnedIntoTheGrid) {
  const std::vector<double> gt = {300000, 25, 0, 6000000, 0, -25};
  const std::string dem = writeRaster(folder_, "ne.tif", 12, 9, {300000, 25, 0, 6000000, 0, -25}, 32632, [](int col, int row) {
    return 200 - 150 * std::exp(-(std::pow(col - 10, 2) + std::pow(row - 1, 2)) / 2);
  });
  const std::string terrain = path("ne.hrz"), tif = path("ne-light.tif"), png = path("ne.png"), grid = path("ne.csv"),
                    points = path("ne.xyz");
  ASSERT_EQ(shell(kTerrainTool + " --dem " + dem + " --directions 16 --quiet -o " + terrain).status, 0);
  const std::string map = kSkylightTool + " " + terrain + " --sky overcast --sun 30,90 --scale max";
  ASSERT_EQ(shell(map + " -o " + tif + " --csv " + grid).status, 0);
  ASSERT_EQ(shell(map + " -o " + png + " --csv " + points + " --csv-header").status, 0);
  const std::vector<float> library = northUpRaster(
      computeSkyLight(readBack(terrain), Sky(SkyDistribution::OVERCAST, 11, 0.5235988f, 0.0f), SkyLightScale::kLargest).data(),
      12, 9);
  EXPECT_EQ(readNumbers(grid), library);
  EXPECT_EQ(lineCount(readFile(grid)), 9);

  const Raster light = readRaster(tif), picture = readRaster(png);
  EXPECT_EQ(light.bands, std::vector<std::vector<float>>{library});
  EXPECT_EQ(light.gt, gt);
  EXPECT_TRUE(mentions(light.wkt, "UTM zone 32N"));
  ASSERT_EQ(picture.width * picture.height, 12 * 9);
  EXPECT_EQ(picture.type, GDT_UInt16);
  EXPECT_EQ(*std::max_element(picture.bands[0].begin(), picture.bands[0].end()), 65535u);
  EXPECT_EQ(pixelValue(-0.1f), 0u);
  EXPECT_EQ(pixelValue(1.5f), 65535u);
  const std::vector<float> cells = readNumbers(points);
  ASSERT_EQ(cells.size(), 3 * 12u * 9u);
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 12; ++col) {
      const size_t at = row * 12 + col;
      EXPECT_EQ(picture.bands[0][at], pixelValue(library[at]));
      EXPECT_EQ(cells[3 * at], float(300000 + 25 * (col + 0.5)));
      EXPECT_EQ(cells[3 * at + 1], float(6000000 - 25 * (row + 0.5)));
      EXPECT_EQ(cells[3 * at + 2], library[at]);
    }
  EXPECT_EQ(std::min_element(library.begin(), library.end()) - library.begin(), 1 * 12 + 10) << "the pit's bottom";

  // West of its zone's central meridian, the sun of a time at the DEM's
  // centre, like a typed one, is turned into the grid's north.
  const std::string bare = path("bare.hrz"), csv = path("map.csv");
  ASSERT_EQ(shell("cp " + terrain + " " + bare).status, 0);
  Georeference georeference;
  std::string problem;
  ASSERT_EQ(readGeoreference(terrain, 12, 9, georeference, problem), GeoreferenceStatus::kRead) << problem;
  GeoSite site;
  ASSERT_TRUE(georeferenceSite(georeference, site, problem)) << problem;
  const UtcTime time = parsedTime("2026-06-21T09:00Z");
  const SiteSun sun = sunAtSite(site, time);
  auto mapOf = [&](const std::string& arguments) {
    EXPECT_EQ(shell(kSkylightTool + " " + arguments + " --no-sun --csv " + csv).status, 0) << arguments;
    return readFile(csv);
  };
  const std::string atNine = mapOf(terrain + " --time 2026-06-21T09:00Z");
  EXPECT_EQ(mapOf(terrain + " --sun " + typed(sun.elevationDegrees, sun.bearingDegrees)), atNine);
  EXPECT_NE(mapOf(bare + " --sun " + typed(sun.elevationDegrees, sun.bearingDegrees)), atNine);
  EXPECT_EQ(mapOf(bare + " --sun " + typed(sun.elevationDegrees, sun.bearingDegrees - georeference.meridianConvergence)),
            atNine);

  ASSERT_EQ(shell(kSkylightTool + " " + terrain + " --sky overcast --colour -o " + png).status, 0);
  EXPECT_EQ(readRaster(png).bands.size(), 3u);
  EXPECT_EQ(readRaster(png).type, GDT_Byte);
}

TEST_F(HalvaneSkylightTest, AtATimeTheSunsBeamJoinsTheSkyLightAsTheLibraryWeighsIt) {
  const std::string terrain = path("t.hrz"), light = path("light.csv"), other = path("other.csv");
  ASSERT_EQ(shell(kTerrainTool + " --synthetic 12 --directions 8 -o " + terrain).status, 0);
  const std::string site = " --site 46.5,7.5", time = "2026-06-21T10:00+02:00", at = site + " --time " + time;
  const std::string general = kSkylightTool + " " + terrain + " --sky general-12";
  Result r = shell(general + at + " --csv " + light);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const SiteSun sun = sunAtSite({46.5, 7.5}, parsedTime(time));
  const Sky sky(SkyDistribution::GENERAL, 11, sun.elevation, sun.azimuth);
  const std::vector<float> expected = computeSunlitTerrain(readBack(terrain), sky, clearSkyBeamRatio(sun.elevationDegrees));
  EXPECT_EQ(readNumbers(light), northUpRaster(expected.data(), 12, 12));

  ASSERT_EQ(shell(general + at + " --no-sun --csv " + other).status, 0);
  ASSERT_EQ(shell(general + " --sun " + typed(sun.elevationDegrees, sun.bearingDegrees) + " --csv " + light).status, 0);
  EXPECT_EQ(readNumbers(other), readNumbers(light));

  writeFile(path("times.txt"), "# one time\n" + time + "\n");
  ASSERT_EQ(shell(general + at + " --csv " + light).status, 0);
  r = shell(general + site + " --times " + path("times.txt") + " --csv " + other);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "halvane-skylight: 1 of 1 times summed, 0 skipped (the sun below the horizon)\n");
  EXPECT_EQ(readNumbers(other), readNumbers(light));
}

// A damaged georeference leaves the grid's north unknown: a time's sun is refused.
TEST_F(HalvaneSkylightTest, BadTerrainsArgumentsAndTimesGetOneLineTheirStatusAndNoFile) {
  const std::string terrain = path("t.hrz"), damaged = path("damaged.hrz"), never = " -o " + path("never.png");
  ASSERT_EQ(shell(kTerrainTool + " --synthetic 8 --directions 4 -o " + terrain).status, 0);
  ASSERT_EQ(shell("cp " + terrain + " " + damaged + " && echo '{' >" + damaged + ".json").status, 0);
  const struct {
    std::string command, mentions;
    int status;
  } cases[] = {
      {"", "TERRAIN", 2},
      {path("none.hrz"), "cannot open " + path("none.hrz") + ": No such file or directory", 1},
      {damaged + " --site 45,12 --time 2026-06-21T09:00Z", "damaged.hrz.json", 1},
      {terrain + " " + terrain, "'" + terrain + "'", 2},
      {terrain + " --colour -o " + path("m.tif"), "-o MAP.png", 2},
      {terrain + " -o " + path("m.jpg"), ".png, .tif or .tiff", 2},
      {terrain + " --csv " + path("m.dat"), ".csv, .txt or .xyz", 2},
      {terrain + " --svf " + path("m.jpg"), "--svf takes a name ending .tif, .png, .csv, .txt or .xyz", 2},
      {terrain + " --svf - --csv -", "both ask for standard output", 2},
      {terrain + " --scale most", "open or max", 2},
      {terrain + " --time 2026-06-21T10:00Z",
       "has no georeference (" + terrain + ".json) to take the site from: give --site", 2},
      {terrain + " --site 46,7 --time 2026-06-21T10:00Z --sun 30,180", "give the sun one way", 2},
      {terrain + " --site 46,7 --time 2026-06-21T10:00Z --no-sun --beam-ratio 3", "give one of them", 2},
      {terrain + " --site 46,7 --time 2026-06-21T10:00Z --beam-ratio -1", "0 to 1000", 2},
      {terrain + " --site 46,7 --from 2026-06-21T20:00Z --to 2026-06-21T23:00Z --step 60", "no daylight to sum", 2},
      {terrain + " --site 46,7 --times " + path("missing.txt"), path("missing.txt"), 1},
  };
  for (const auto& c : cases) expectRefused(kSkylightTool + never + " " + c.command, c.status, c.mentions);
}

}  // namespace
