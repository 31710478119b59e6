// halvane-terrain and halvane-skylight as users run them: the files they
// write against the library's, and their refusals.
#include <string>
#include <vector>

#include "sky/clear_sky.h"
#include "sky/site_sun.h"
#include "terrain/sky_light.h"
#include "terrain/sunlit_terrain.h"
#include "terrain/synthetic_terrain.h"
#include "tools/tool_test_files.h"

namespace {

const std::string kTerrainTool = HALVANE_TERRAIN_TOOL;
const std::string kSkylightTool = HALVANE_SKYLIGHT_TOOL;

using HalvaneTerrainTest = ToolTest;
using HalvaneSkylightTest = ToolTest;

// The synthetic terrains (the build's default one among them) hold their
// seed's heights and the plain march's horizons; a seed makes a landscape
// of many grid spacings' relief, and another seed another one.
TEST_F(HalvaneTerrainTest, SyntheticTerrainsAreTheirSeedsHeightsAndThePlainMarchsHorizons) {
  ASSERT_EQ(shell(kTerrainTool + " --synthetic 24 --seed 7 --directions 10 -o " + path("s.hrz")).status, 0);
  for (const auto& [file, size, seed, directions] :
       {std::make_tuple(path("s.hrz"), 24, 7, 10), std::make_tuple(std::string(HALVANE_DEFAULT_TERRAIN), 256, 1, 36)}) {
    SCOPED_TRACE(file);
    TerrainFile terrainFile;
    Terrain terrain;
    TerrainError error;
    ASSERT_TRUE(terrainFile.open(file, terrain, error)) << error.message;
    EXPECT_EQ(terrain.gridSizeX, size);
    EXPECT_EQ(terrain.gridSizeY, size);
    EXPECT_EQ(terrain.numDirections, directions);
    EXPECT_EQ(terrain.terrainHeights, syntheticHeights(size, seed));
    if (size > 100) continue;
    std::vector<uint16_t> blocks(size * size * directions);
    ASSERT_TRUE(terrainFile.readHorizonBlocks(directions, blocks.data(), error));
    EXPECT_EQ(blocks, computeHorizons(terrain.terrainHeights.data(), size, size, directions));
  }
  EXPECT_NE(syntheticHeights(32, 3), syntheticHeights(32, 4));
  const std::vector<float> h = syntheticHeights(64, 1);
  const auto [low, high] = std::minmax_element(h.begin(), h.end());
  EXPECT_GT(*high - *low, 10.0f);
  const std::vector<uint16_t> horizons = computeHorizons(h.data(), 64, 64, 8);
  const auto [lowH, highH] = std::minmax_element(horizons.begin(), horizons.end());
  EXPECT_LE(horizonBin(*lowH), 128);
  EXPECT_GE(horizonBin(*highH), 160);
}

// The text is the library's sky light scaled to its brightest cell, north
// up, to the last bit; --colour gives an RGB picture; by default, and with
// --svf, open level ground is exactly 1.
TEST_F(HalvaneSkylightTest, TheMapsAreTheLibrarysSkyLightNorthUp) {
  const std::string terrain = path("t.hrz"), png = path("m.png"), csv = path("m.csv");
  ASSERT_EQ(shell(kTerrainTool + " --synthetic 12 --directions 8 -o " + terrain).status, 0);
  const Result r = shell(kSkylightTool + " " + terrain + " --sky overcast --sun 30,90 --scale max --csv " + csv);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(lineCount(readFile(csv)), 12);
  Terrain read;
  TerrainError error;
  ASSERT_TRUE(readTerrain(terrain, read, error)) << error.message;
  const std::vector<float> grid =
      computeSkyLight(read, Sky(SkyDistribution::OVERCAST, 11, 0.5235988f, 0.0f), SkyLightScale::kLargest);
  EXPECT_EQ(readNumbers(csv), northUpRaster(grid.data(), 12, 12));

  ASSERT_EQ(shell(kSkylightTool + " " + terrain + " --sky overcast --colour -o " + png).status, 0);
  EXPECT_EQ(readRaster(png).bands.size(), 3u);
  EXPECT_EQ(readRaster(png).type, GDT_Byte);

  const std::string flat = path("flat.hrz");
  ASSERT_EQ(shell(kTerrainTool + " --flat 7 --directions 12 -o " + flat).status, 0);
  for (const char* map : {" --sky general-7 --sun 20,100 --csv ", " --svf "}) {
    ASSERT_EQ(shell(kSkylightTool + " " + flat + map + csv).status, 0);
    EXPECT_EQ(readNumbers(csv), std::vector<float>(49, 1.0f)) << map;
  }
  // The sky-view factor as text on standard output.
  ASSERT_EQ(shell(kSkylightTool + " " + flat + " --svf -").status, 0);
  EXPECT_EQ(readNumbers(path("out")), std::vector<float>(49, 1.0f));
}

// At a site and time the map is the library's sky light and the sun's beam;
// --no-sun leaves the sky light of the same sun typed in degrees; a list of
// one time is that time's map; open level ground stays 1 with any beam and
// over a whole day, night included.
TEST_F(HalvaneSkylightTest, AtATimeTheSunsBeamJoinsTheSkyLightAsTheLibraryWeighsIt) {
  const std::string terrain = path("t.hrz"), flat = path("flat.hrz"), light = path("light.csv"),
                    other = path("other.csv");
  ASSERT_EQ(shell(kTerrainTool + " --synthetic 12 --directions 8 -o " + terrain).status, 0);
  ASSERT_EQ(shell(kTerrainTool + " --flat 6 --directions 12 -o " + flat).status, 0);
  const std::string site = " --site 46.5,7.5", time = "2026-06-21T10:00+02:00", at = site + " --time " + time;
  const std::string general = kSkylightTool + " " + terrain + " --sky general-12";
  Result r = shell(general + at + " --csv " + light);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  UtcTime instant;
  std::string error;
  ASSERT_TRUE(parseIsoTime(time, instant, error));
  const SiteSun sun = sunAtSite({46.5, 7.5}, instant);
  Terrain read;
  TerrainError readError;
  ASSERT_TRUE(readTerrain(terrain, read, readError)) << readError.message;
  const Sky sky(SkyDistribution::GENERAL, 11, sun.elevation, sun.azimuth);
  const std::vector<float> expected = computeSunlitTerrain(read, sky, clearSkyBeamRatio(sun.elevationDegrees));
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

  for (const std::string& when : {at, at + " --beam-ratio 40", at + " --sky sharp",
                                  site + " --from 2026-12-21T00:00Z --to 2026-12-22T00:00Z --step 30 --quiet"}) {
    r = shell(kSkylightTool + " " + flat + when + " --csv " + other);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "") << when;
    EXPECT_EQ(readNumbers(other), std::vector<float>(36, 1.0f)) << when;
  }
}

TEST_F(HalvaneSkylightTest, BadTerrainsArgumentsTimesAndSitesGetOneLineTheirStatusAndNoFile) {
  const std::string terrain = path("t.hrz"), never = " -o " + path("never.png");
  ASSERT_EQ(shell(kTerrainTool + " --synthetic 8 --directions 4 -o " + terrain).status, 0);
  const struct {
    std::string command, mentions;
    int status;
  } cases[] = {
      {path("none.hrz"), "cannot open " + path("none.hrz") + ": No such file or directory", 1},
      {terrain + " " + terrain, "'" + terrain + "'", 2},
      {terrain + " --frobnicate", "--frobnicate", 2},
      {terrain + " --csv", "--csv", 2},
      {terrain + " --colour -o " + path("m.tif"), "-o MAP.png", 2},
      {terrain + " -o " + path("m.jpg"), ".png, .tif or .tiff", 2},
      {terrain + " --csv " + path("m.dat"), ".csv, .txt or .xyz", 2},
      {terrain + " --svf " + path("m.jpg"), "--svf takes a name ending .tif, .png, .csv, .txt or .xyz", 2},
      {terrain + " --svf - --csv -", "both ask for standard output", 2},
      {terrain + " --scale most", "open or max", 2},
      {terrain + " --time 2026-06-21T10:00Z",
       "has no georeference (" + terrain + ".json) to take the site from: give --site", 2},
      {terrain + " --site 46,7 --time 2026-06-21T10:00Z --sun 30,180", "give the sun one way", 2},
      {terrain + " --site 46,7 --time 2026-06-21T22:00Z", "the sun is below the horizon at 2026-06-21T22:00:00Z", 2},
      {terrain + " --site 46,7 --time 2026-06-21T10:00Z --no-sun --beam-ratio 3", "give one of them", 2},
      {terrain + " --site 46,7 --time 2026-06-21T10:00Z --beam-ratio -1", "0 to 1000", 2},
      {terrain + " --site 46,7 --from 2026-06-21T20:00Z --to 2026-06-21T23:00Z --step 60", "no daylight to sum", 2},
      {terrain + " --site 46,7 --times " + path("missing.txt"), path("missing.txt"), 1},
  };
  for (const auto& c : cases) expectRefused(kSkylightTool + never + " " + c.command, c.status, c.mentions);
  expectRefused(kSkylightTool, 2, "TERRAIN");
}

TEST_F(HalvaneTerrainTest, BadArgumentsGetOneLineStatusTwoAndNoFile) {
  for (const std::string args : {"--synthetic 0", "--synthetic x", "--flat 8 --directions 0", "--flat 4 --synthetic 4",
                                 "--bogus", "--flat 4 --seed 3", "--synthetic", "--synthetic 9000"})
    expectRefused(kTerrainTool + " " + args + " -o " + path("never.hrz"), 2, "");
  expectRefused(kTerrainTool + " --flat 4", 2, "-o");
  expectRefused(kTerrainTool + " --flat 4 -o /nonexistent-folder/t.hrz", 1, "/nonexistent-folder/t.hrz");
}

}  // namespace
