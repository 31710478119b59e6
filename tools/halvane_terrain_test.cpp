// The terrain tools as users run them: arguments, exit statuses, files.
#include <png.h>
#include <sys/wait.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "terrain/horizons.h"
#include "terrain/synthetic_terrain.h"
#include "terrain/terrain_file.h"
#include "terrain/terrain_test_files.h"
#include "tools/grid_output.h"

namespace {

struct ToolRun {
  int status = -1;
  std::string err;
};

// Runs a shell command line with standard error captured.
ToolRun run(const std::string& command, ScratchFolder& folder) {
  std::string errFile = folder.file("stderr.txt");
  int raw = std::system((command + " 2>" + errFile).c_str());
  ToolRun result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  if (std::FILE* in = std::fopen(errFile.c_str(), "r")) {
    char buffer[4096];
    size_t got = std::fread(buffer, 1, sizeof buffer, in);
    result.err.assign(buffer, got);
    std::fclose(in);
  }
  return result;
}

const std::string kTerrainTool = HALVANE_TERRAIN_TOOL;
const std::string kSkylightTool = HALVANE_SKYLIGHT_TOOL;

TEST(HalvaneTerrainTest, WhatItWritesTheReaderReadsBackExactly) {
  ScratchFolder folder;
  std::string out = folder.file("s.hrz");
  ASSERT_EQ(run(kTerrainTool + " --synthetic 24 --seed 7 --directions 10 -o " + out, folder).status, 0);
  TerrainFile file;
  TerrainRecord terrain;
  TerrainError error;
  ASSERT_TRUE(file.open(out, terrain, error)) << error.message;
  EXPECT_EQ(terrain.gridSizeX, 24);
  EXPECT_EQ(terrain.gridSizeY, 24);
  EXPECT_EQ(terrain.numDirections, 10);
  std::vector<float> heights = syntheticHeights(24, 7);
  EXPECT_EQ(terrain.terrainHeights, heights);
  std::vector<uint16_t> blocks(24 * 24 * 10);
  ASSERT_TRUE(file.readHorizonBlocks(10, blocks.data(), error));
  EXPECT_EQ(blocks, computeHorizons(heights.data(), 24, 24, 10));
}

TEST(HalvaneTerrainTest, TheBuildMadeTheDefaultTerrain) {
  TerrainFile file;
  TerrainRecord terrain;
  TerrainError error;
  ASSERT_TRUE(file.open(HALVANE_DEFAULT_TERRAIN, terrain, error)) << error.message;
  EXPECT_EQ(terrain.gridSizeX, 256);
  EXPECT_EQ(terrain.gridSizeY, 256);
  EXPECT_EQ(terrain.numDirections, 36);
  EXPECT_EQ(terrain.terrainHeights, syntheticHeights(256, 1));
}

TEST(HalvaneTerrainTest, SyntheticLandscapesAreDeterministicVariedAndSeeded) {
  EXPECT_EQ(syntheticHeights(32, 3), syntheticHeights(32, 3));
  EXPECT_NE(syntheticHeights(32, 3), syntheticHeights(32, 4));
  // Relief of a few dozen grid spacings on a 256 grid, horizons from level to steep.
  std::vector<float> h = syntheticHeights(64, 1);
  auto [low, high] = std::minmax_element(h.begin(), h.end());
  EXPECT_GT(*high - *low, 10.0f);
  std::vector<uint16_t> horizons = computeHorizons(h.data(), 64, 64, 8);
  auto [lowH, highH] = std::minmax_element(horizons.begin(), horizons.end());
  EXPECT_LE(horizonBin(*lowH), 128);
  EXPECT_GE(horizonBin(*highH), 160);
}

TEST(HalvaneTerrainTest, FlatTerrainHasLevelHorizons) {
  ScratchFolder folder;
  std::string out = folder.file("f.hrz");
  ASSERT_EQ(run(kTerrainTool + " --flat 5 --directions 3 -o " + out, folder).status, 0);
  TerrainFile file;
  TerrainRecord terrain;
  TerrainError error;
  ASSERT_TRUE(file.open(out, terrain, error));
  EXPECT_EQ(terrain.terrainHeights, std::vector<float>(25, 0.0f));
  std::vector<uint16_t> blocks(75);
  ASSERT_TRUE(file.readHorizonBlocks(3, blocks.data(), error));
  EXPECT_EQ(blocks, std::vector<uint16_t>(75, 32768));
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
    EXPECT_NE(access(out.c_str(), F_OK), 0);
  }
  EXPECT_EQ(run(kTerrainTool + " --flat 4", folder).status, 2);
  EXPECT_EQ(run(kTerrainTool + " --help >/dev/null", folder).status, 0);
  // A folder that does not exist: a message, status 1, nothing left behind.
  ToolRun r = run(kTerrainTool + " --flat 4 -o /nonexistent-folder/t.hrz", folder);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("/nonexistent-folder/t.hrz"), std::string::npos);
}

// ---- halvane-skylight ----------------------------------------------------------

// The 16-bit greyscale pixels of an open PNG file, row by row; empty if
// libpng finds it broken.
std::vector<unsigned> readPngPixels(std::FILE* in, int& width, int& height) {
  std::vector<unsigned> pixels;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    pixels.clear();
    return pixels;
  }
  png_init_io(png, in);
  png_read_info(png, info);
  width = int(png_get_image_width(png, info));
  height = int(png_get_image_height(png, info));
  EXPECT_EQ(png_get_bit_depth(png, info), 16);
  EXPECT_EQ(png_get_color_type(png, info), PNG_COLOR_TYPE_GRAY);
  std::vector<png_byte> row(size_t(width) * 2);
  for (int r = 0; r < height; ++r) {
    png_read_row(png, row.data(), nullptr);
    for (int c = 0; c < width; ++c) pixels.push_back(unsigned(row[2 * c]) << 8 | row[2 * c + 1]);
  }
  png_destroy_read_struct(&png, &info, nullptr);
  return pixels;
}

std::vector<unsigned> readPng(const std::string& name, int& width, int& height) {
  std::FILE* in = std::fopen(name.c_str(), "rb");
  if (!in) return {};
  std::vector<unsigned> pixels = readPngPixels(in, width, height);
  std::fclose(in);
  return pixels;
}

std::string readText(const std::string& name) {
  std::string text;
  if (std::FILE* in = std::fopen(name.c_str(), "r")) {
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) text.append(buffer, got);
    std::fclose(in);
  }
  return text;
}

TEST(HalvaneSkylightTest, WritesThePngAndTheTextOfTheGrid) {
  ScratchFolder folder;
  std::string terrain = folder.file("t.hrz"), png = folder.file("m.png"), csv = folder.file("m.csv");
  ASSERT_EQ(run(kTerrainTool + " --synthetic 12 --directions 8 -o " + terrain, folder).status, 0);
  ToolRun r = run(kSkylightTool + " " + terrain + " --sky overcast --sun 30,90 -o " + png + " --csv " + csv, folder);
  ASSERT_EQ(r.status, 0) << r.err;
  // The text: 12 lines of 12 values with 9 significant digits.
  std::string text = readText(csv);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 12);
  EXPECT_EQ(std::count(text.begin(), text.end(), ','), 12 * 11);
  std::vector<float> values;
  for (const char* p = text.c_str(); *p;) {
    char* end;
    values.push_back(std::strtof(p, &end));
    p = *end ? end + 1 : end;
  }
  ASSERT_EQ(values.size(), 144u);
  // The image: row i is grid row i, the value times 65535, rounded.
  int width = 0, height = 0;
  std::vector<unsigned> pixels = readPng(png, width, height);
  EXPECT_EQ(width, 12);
  EXPECT_EQ(height, 12);
  ASSERT_EQ(pixels.size(), 144u);
  for (size_t k = 0; k < 144; ++k) EXPECT_EQ(pixels[k], pixelValue(values[k])) << k;
  EXPECT_EQ(*std::max_element(pixels.begin(), pixels.end()), 65535u);
  EXPECT_EQ(pixelValue(0.5f), 32768u);
  EXPECT_EQ(pixelValue(-0.1f), 0u);
  EXPECT_EQ(pixelValue(1.5f), 65535u);
}

TEST(HalvaneSkylightTest, BadTerrainFilesGetTheReadersMessageAndStatus) {
  ScratchFolder folder;
  std::string horizon = folder.write("h.hrz", terrainBytes(1, 1, 1, {0}, {0}, "h\n"));
  ToolRun r = run(kSkylightTool + " " + horizon, folder);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "File " + horizon + " is not an elevation file.  It is a horizon file.\n");
  std::string shortFile = folder.write("s.hrz", terrainBytes(3, 3, 2, {0}, {}));
  r = run(kSkylightTool + " " + shortFile, folder);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "File " + shortFile + " appears to be a corrupted elevation file.\n");
  r = run(kSkylightTool + " " + folder.file("none.hrz"), folder);
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.err, "tgrid: cannot open input file '" + folder.file("none.hrz") + "'\n");
}

TEST(HalvaneSkylightTest, BadArgumentsNameTheArgumentAndTheAcceptedValues) {
  ScratchFolder folder;
  std::string terrain = folder.file("t.hrz");
  ASSERT_EQ(run(kTerrainTool + " --flat 3 --directions 2 -o " + terrain, folder).status, 0);
  struct Case {
    std::string args, mentions;
  } cases[] = {{"--sky cloudy", "general-15"},  {"--sky general-16", "general-1 to general-15"},
               {"--sun 95,10", "elevation 0 to 90"}, {"--sun 10", "ELEVATION,BEARING"},
               {"--frobnicate", "--frobnicate"}, {"--csv", "--csv"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    ToolRun r = run(kSkylightTool + " " + terrain + " " + c.args, folder);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find(c.mentions), std::string::npos) << r.err;
  }
  EXPECT_EQ(run(kSkylightTool, folder).status, 2);
  EXPECT_EQ(run(kSkylightTool + " " + terrain + " " + terrain, folder).status, 2);
}

}  // namespace
