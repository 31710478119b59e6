// The terrain tools as users run them: arguments, exit statuses, files.
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "terrain/horizons.h"
#include "terrain/synthetic_terrain.h"
#include "terrain/terrain_file.h"
#include "terrain/sky_light.h"
#include "terrain/sunlit_terrain.h"
#include "sky/clear_sky.h"
#include "sky/site_sun.h"
#include "sky/sky.h"
#include "terrain/terrain_test_files.h"
#include "tools/grid_output.h"

namespace {

const std::string kTerrainTool = HALVANE_TERRAIN_TOOL;
const std::string kSkylightTool = HALVANE_SKYLIGHT_TOOL;

TEST(HalvaneTerrainTest, WhatItWritesTheReaderReadsBackExactly) {
  ScratchFolder folder;
  struct Case {
    std::string args, file;
    int size, directions;
    std::vector<float> heights;
  };
  const Case cases[] = {
      {"--synthetic 24 --seed 7 --directions 10", folder.file("s.hrz"), 24, 10, syntheticHeights(24, 7)},
      {"--flat 5 --directions 3", folder.file("f.hrz"), 5, 3, std::vector<float>(25, 0.0f)},
      {"", HALVANE_DEFAULT_TERRAIN, 256, 36, syntheticHeights(256, 1)},  // made by the build
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    if (!c.args.empty()) {
      ASSERT_EQ(run(kTerrainTool + " " + c.args + " -o " + c.file, folder).status, 0);
    }
    TerrainFile file;
    Terrain terrain;
    TerrainError error;
    ASSERT_TRUE(file.open(c.file, terrain, error)) << error.message;
    EXPECT_EQ(terrain.gridSizeX, c.size);
    EXPECT_EQ(terrain.gridSizeY, c.size);
    EXPECT_EQ(terrain.numDirections, c.directions);
    EXPECT_EQ(terrain.terrainHeights, c.heights);
    if (c.size > 100) continue;
    std::vector<uint16_t> blocks(c.size * c.size * c.directions);
    ASSERT_TRUE(file.readHorizonBlocks(c.directions, blocks.data(), error));
    EXPECT_EQ(blocks, computeHorizons(c.heights.data(), c.size, c.size, c.directions));
  }
}

TEST(HalvaneTerrainTest, SyntheticLandscapesAreDeterministicVariedAndSeeded) {
  EXPECT_EQ(syntheticHeights(32, 3), syntheticHeights(32, 3));
  EXPECT_NE(syntheticHeights(32, 3), syntheticHeights(32, 4));
  // Relief of many grid spacings, horizons from level to steep.
  std::vector<float> h = syntheticHeights(64, 1);
  auto [low, high] = std::minmax_element(h.begin(), h.end());
  EXPECT_GT(*high - *low, 10.0f);
  std::vector<uint16_t> horizons = computeHorizons(h.data(), 64, 64, 8);
  auto [lowH, highH] = std::minmax_element(horizons.begin(), horizons.end());
  EXPECT_LE(horizonBin(*lowH), 128);
  EXPECT_GE(horizonBin(*highH), 160);
}

TEST(HalvaneTerrainTest, BadArgumentsGiveOneLineAndStatusTwoAndNoFile) {
  ScratchFolder folder;
  std::string out = folder.file("never.hrz");
  for (std::string args : {"--synthetic 0", "--synthetic x", "--flat 8 --directions 0",
                           "--synthetic 8 --directions 2x", "--flat 4 --synthetic 4", "--bogus",
                           "--flat 4 --seed 3", "--synthetic", "--synthetic 9000"}) {
    SCOPED_TRACE(args);
    ToolRun r = run(kTerrainTool + " " + args + " -o " + out, folder);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(r.err.rfind("halvane-terrain: ", 0), 0u) << r.err;
    EXPECT_FALSE(exists(out));
  }
  EXPECT_EQ(run(kTerrainTool + " --flat 4", folder).status, 2);
  EXPECT_EQ(run(kTerrainTool + " --help >/dev/null", folder).status, 0);
  // A folder that does not exist: a message, status 1.
  ToolRun r = run(kTerrainTool + " --flat 4 -o /nonexistent-folder/t.hrz", folder);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("/nonexistent-folder/t.hrz"), std::string::npos);
}

// Reads the 16-bit greyscale pixels of an open PNG file, row by row; false if
// libpng finds it broken. Everything libpng's error jump could skip is made
// before the jump target is set.
bool readPngPixels(std::FILE* in, std::vector<unsigned>& pixels, int& width, int& height) {
  std::vector<png_byte> row;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_init_io(png, in);
  png_read_info(png, info);
  width = int(png_get_image_width(png, info));
  height = int(png_get_image_height(png, info));
  EXPECT_EQ(png_get_bit_depth(png, info), 16);
  EXPECT_EQ(png_get_color_type(png, info), PNG_COLOR_TYPE_GRAY);
  row.resize(size_t(width) * 2);
  for (int r = 0; r < height; ++r) {
    png_read_row(png, row.data(), nullptr);
    for (int c = 0; c < width; ++c) pixels.push_back(unsigned(row[2 * c]) << 8 | row[2 * c + 1]);
  }
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

// The pixels of a PNG file; empty if it cannot be opened or libpng finds it broken.
std::vector<unsigned> readPng(const std::string& name, int& width, int& height) {
  std::vector<unsigned> pixels;
  std::FILE* in = std::fopen(name.c_str(), "rb");
  if (!in) return pixels;
  bool ok = readPngPixels(in, pixels, width, height);
  std::fclose(in);
  if (!ok) pixels.clear();
  return pixels;
}

// The comma-separated numbers of a text file, in order.
std::vector<float> readNumbers(const std::string& name, int& lines) {
  std::string text;
  if (std::FILE* in = std::fopen(name.c_str(), "r")) {
    for (int ch; (ch = std::fgetc(in)) != EOF;) text += char(ch);
    std::fclose(in);
  }
  lines = int(std::count(text.begin(), text.end(), '\n'));
  std::vector<float> values;
  for (const char* p = text.c_str(); *p;) {
    char* end;
    values.push_back(std::strtof(p, &end));
    p = *end ? end + 1 : end;
  }
  return values;
}

TEST(HalvaneSkylightTest, WritesThePngAndTheTextOfTheGrid) {
  ScratchFolder folder;
  std::string terrain = folder.file("t.hrz"), png = folder.file("m.png"), csv = folder.file("m.csv");
  ASSERT_EQ(run(kTerrainTool + " --synthetic 12 --directions 8 -o " + terrain, folder).status, 0);
  ToolRun r = run(kSkylightTool + " " + terrain + " --sky overcast --sun 30,90 --scale max -o " + png +
                      " --csv " + csv,
                  folder);
  ASSERT_EQ(r.status, 0) << r.err;
  // The text: the window's sky grid (scaled to its brightest cell), north up,
  // to the last bit.
  int lines = 0;
  const std::vector<float> values = readNumbers(csv, lines);
  EXPECT_EQ(lines, 12);
  Terrain read;
  TerrainError error;
  ASSERT_TRUE(readTerrain(terrain, read, error)) << error.message;
  const Sky overcast(SkyDistribution::OVERCAST, 11, 0.5235988f, 0.0f);
  const std::vector<float> grid = computeSkyLight(read, overcast, SkyLightScale::kLargest);
  EXPECT_EQ(values, northUpRaster(grid.data(), 12, 12));
  // The image: the same raster, the value times 65535, rounded.
  int width = 0, height = 0;
  std::vector<unsigned> pixels = readPng(png, width, height);
  EXPECT_EQ(width, 12);
  EXPECT_EQ(height, 12);
  ASSERT_EQ(pixels.size(), 144u);
  for (size_t k = 0; k < 144; ++k) EXPECT_EQ(pixels[k], pixelValue(values[k])) << k;
  EXPECT_EQ(*std::max_element(pixels.begin(), pixels.end()), 65535u);
  EXPECT_EQ(pixelValue(-0.1f), 0u);
  EXPECT_EQ(pixelValue(1.5f), 65535u);
  // By default the light is relative to open level ground: exactly 1 on a
  // flat terrain under any sky.
  std::string flat = folder.file("flat.hrz"), flatText = folder.file("flat.csv");
  ASSERT_EQ(run(kTerrainTool + " --flat 7 --directions 12 -o " + flat, folder).status, 0);
  ASSERT_EQ(run(kSkylightTool + " " + flat + " --sky general-7 --sun 20,100 --csv " + flatText, folder).status, 0);
  EXPECT_EQ(readNumbers(flatText, lines), std::vector<float>(49, 1.0f));
  // --colour: the picture, an 8-bit RGB PNG (IHDR bit depth 8, colour type 2).
  std::string colour = folder.file("colour.png");
  r = run(kSkylightTool + " " + terrain + " --sky overcast --colour -o " + colour, folder);
  ASSERT_EQ(r.status, 0) << r.err;
  std::string bytes;
  if (std::FILE* in = std::fopen(colour.c_str(), "rb")) {
    for (int ch; (ch = std::fgetc(in)) != EOF;) bytes += char(ch);
    std::fclose(in);
  }
  ASSERT_GT(bytes.size(), 26u);
  EXPECT_EQ(bytes.compare(0, 8, "\x89PNG\r\n\x1a\n"), 0);
  EXPECT_EQ(bytes[24], 8);
  EXPECT_EQ(bytes[25], 2);
}

TEST(HalvaneSkylightTest, BadTerrainFilesAndArgumentsAreRefused) {
  ScratchFolder folder;
  std::string horizon = folder.write("h.hrz", terrainBytes(1, 1, 1, {0}, {0}, "h\n"));
  std::string shortFile = folder.write("s.hrz", terrainBytes(3, 3, 2, {0}, {}));
  std::string none = folder.file("none.hrz");
  struct File {
    std::string name, err;
    int status;
  };
  const std::string prefix = "halvane-skylight: ";
  for (const File& f :
       {File{horizon, prefix + "File " + horizon + " is not an elevation file.  It is a horizon file.\n", 1},
        File{shortFile, prefix + "File " + shortFile + " appears to be a corrupted elevation file.\n", 1},
        File{none, prefix + "cannot open " + none + ": No such file or directory\n", 1}}) {
    ToolRun r = run(kSkylightTool + " " + f.name, folder);
    EXPECT_EQ(r.status, f.status);
    EXPECT_EQ(r.err, f.err);
  }
  // Bad arguments name the argument and the accepted values.
  std::string terrain = folder.file("t.hrz");
  ASSERT_EQ(run(kTerrainTool + " --flat 3 --directions 2 -o " + terrain, folder).status, 0);
  const std::pair<std::string, std::string> cases[] = {
      {"--sky cloudy", "general-15"},       {"--sky general-16", "general-1 to general-15"},
      {"--sun 95,10", "elevation 0 to 90"}, {"--sun 10", "ELEVATION,BEARING"},
      {"--frobnicate", "--frobnicate"},     {"--csv", "--csv"},
      {"--colour", "-o MAP.png"},           {"--colour -o m.tif", "-o MAP.png"},
      {"-o m.jpg", ".png, .tif or .tiff"},  {"--csv m.dat", ".csv, .txt or .xyz"},
      {"--scale most", "open or max"}};
  for (const auto& [args, mentions] : cases) {
    SCOPED_TRACE(args);
    ToolRun r = run(kSkylightTool + " " + terrain + " " + args, folder);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find(mentions), std::string::npos) << r.err;
  }
  EXPECT_EQ(run(kSkylightTool, folder).status, 2);
  EXPECT_EQ(run(kSkylightTool + " " + terrain + " " + terrain, folder).status, 2);
}

// ---- The sun at a site and time on a terrain ------------------------------------------

TEST(HalvaneSkylightTest, AtATimeTheSunsBeamJoinsTheSkyLightAsTheLibraryWeighsIt) {
  ScratchFolder folder;
  const std::string terrain = folder.file("t.hrz"), flat = folder.file("flat.hrz");
  ASSERT_EQ(run(kTerrainTool + " --synthetic 12 --directions 8 -o " + terrain, folder).status, 0);
  ASSERT_EQ(run(kTerrainTool + " --flat 6 --directions 12 -o " + flat, folder).status, 0);
  const std::string site = " --site 46.5,7.5", time = "2026-06-21T10:00+02:00";
  const std::string at = site + " --time " + time;
  int lines = 0;

  // The map is the library's sky light and beam, north up, to the last bit.
  const std::string light = folder.file("light.csv");
  ToolRun r = run(kSkylightTool + " " + terrain + at + " --sky general-12 --csv " + light, folder);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  UtcTime instant;
  std::string error;
  ASSERT_TRUE(parseIsoTime(time, instant, error));
  const SiteSun sun = sunAtSite({46.5, 7.5}, instant);
  const Sky sky(SkyDistribution::GENERAL, 11, sun.elevation, sun.azimuth);
  Terrain read;
  TerrainError readError;
  ASSERT_TRUE(readTerrain(terrain, read, readError)) << readError.message;
  const std::vector<float> expected = computeSunlitTerrain(read, sky, clearSkyBeamRatio(sun.elevationDegrees));
  EXPECT_EQ(readNumbers(light, lines), northUpRaster(expected.data(), 12, 12));

  // Without the beam, the sky light of the same sun typed in degrees.
  char typed[64];
  std::snprintf(typed, sizeof typed, "%.17g,%.17g", sun.elevationDegrees, sun.bearingDegrees);
  const std::string skyOnly = folder.file("sky.csv"), typedSun = folder.file("typed.csv");
  ASSERT_EQ(run(kSkylightTool + " " + terrain + at + " --sky general-12 --no-sun --csv " + skyOnly, folder).status, 0);
  ASSERT_EQ(run(kSkylightTool + " " + terrain + " --sky general-12 --sun " + typed + " --csv " + typedSun, folder).status,
            0);
  EXPECT_EQ(readNumbers(skyOnly, lines), readNumbers(typedSun, lines));

  // One time as a list is the map of that time.
  const std::string list = folder.file("times.txt"), listed = folder.file("listed.csv");
  writeFile(list, "# one time\n" + time + "\n");
  r = run(kSkylightTool + " " + terrain + site + " --sky general-12 --times " + list + " --csv " + listed, folder);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "halvane-skylight: 1 of 1 times summed, 0 skipped (the sun below the horizon)\n");
  EXPECT_EQ(readNumbers(listed, lines), readNumbers(light, lines));

  // Open level ground is 1: at a time with the beam of any ratio, and over a
  // whole day, night included.
  const std::string flatText = folder.file("flat.csv");
  for (const std::string& when : {at, at + " --beam-ratio 40", at + " --sky sharp",
                                  site + " --from 2026-12-21T00:00Z --to 2026-12-22T00:00Z --step 30 --quiet"}) {
    SCOPED_TRACE(when);
    r = run(kSkylightTool + " " + flat + when + " --csv " + flatText, folder);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(readNumbers(flatText, lines), std::vector<float>(36, 1.0f));
  }
}

TEST(HalvaneSkylightTest, BadTimesSitesAndSunsGetOneLineStatusTwoAndNoFile) {
  ScratchFolder folder;
  const std::string terrain = folder.file("t.hrz"), map = folder.file("never.png");
  ASSERT_EQ(run(kTerrainTool + " --synthetic 8 --directions 4 -o " + terrain, folder).status, 0);
  const std::pair<std::string, std::string> cases[] = {
      {"--time 2026-06-21T10:00Z", "has no georeference (" + terrain + ".json) to take the site from: give --site"},
      {"--site 95,7 --time 2026-06-21T10:00Z", "latitude -90 to 90"},
      {"--site 46,7 --time 2026-06-21T10:00", "no UTC offset"},
      {"--site 46,7 --time 21.06.2026", "not a date and time"},
      {"--site 46,7 --time 2026-06-21T10:00Z --sun 30,180", "give the sun one way"},
      {"--site 46,7 --time 2026-06-21T22:00Z", "the sun is below the horizon at 2026-06-21T22:00:00Z"},
      {"--site 46,7 --time 2026-06-21T10:00Z --no-sun --beam-ratio 3", "give one of them"},
      {"--site 46,7 --time 2026-06-21T10:00Z --beam-ratio -1", "0 to 1000"},
      {"--site 46,7 --from 2026-06-21T20:00Z --to 2026-06-21T23:00Z --step 60", "no daylight to sum"},
      {"--site 46,7", "--site needs a time"},
      {"--site 46,7 --times " + folder.file("missing.txt"), ""},
  };
  for (const auto& [args, mentions] : cases) {
    SCOPED_TRACE(args);
    ToolRun r = run(kSkylightTool + " " + terrain + " " + args + " -o " + map, folder);
    EXPECT_EQ(r.status, mentions.empty() ? 1 : 2);  // a times file that cannot be read is a failed input
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find(mentions), std::string::npos) << r.err;
    EXPECT_FALSE(exists(map));
  }
}

}  // namespace
