#include "terrain/terrain_file.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <tuple>

#include "terrain/terrain_test_files.h"

namespace {

void expectVec(const Vec3& v, float x, float y, float z) {
  EXPECT_NEAR(v.x, x, 1e-6f);
  EXPECT_NEAR(v.y, y, 1e-6f);
  EXPECT_NEAR(v.z, z, 1e-6f);
}

TEST(NormalsTest, PlanesEverywhereAndSingleRowsAndColumns) {
  // z = a r + b c has the normal (-a, -b, 1) / |(-a, -b, 1)| in every cell, edges included.
  const float planes[][2] = {{0, 0}, {1, 0}, {-1, 0}, {0, 1}, {0, -1}, {2, -0.5f}, {-0.25f, 3}};
  const int sx = 4, sy = 5;
  for (const auto& p : planes) {
    std::vector<float> heights(sx * sy);
    for (int r = 0; r < sx; ++r)
      for (int c = 0; c < sy; ++c) heights[r * sy + c] = 3.5f + p[0] * r + p[1] * c;
    float s = std::sqrt(p[0] * p[0] + p[1] * p[1] + 1);
    for (const Vec3& n : computeNormals(heights.data(), sx, sy)) expectVec(n, -p[0] / s, -p[1] / s, 1 / s);
  }
  // Single rows, columns and cells have no slope across them.
  std::vector<float> rising = {0, 2, 4, 6};
  float s = std::sqrt(2.0f * 2 + 1);
  for (const Vec3& n : computeNormals(rising.data(), 1, 4)) expectVec(n, 0, -2 / s, 1 / s);
  for (const Vec3& n : computeNormals(rising.data(), 4, 1)) expectVec(n, -2 / s, 0, 1 / s);
  expectVec(cellNormal(rising.data(), 1, 1, 0, 0), 0, 0, 1);
}

TEST(HorizonEncodingTest, ValuesAndBins) {
  const std::pair<double, int> encoded[] = {{0, 32768}, {-1, 0}, {1, 65535}, {-2, 0}, {std::nan(""), 0}};
  for (auto [sine, value] : encoded) EXPECT_EQ(encodeHorizon(sine), value) << sine;
  // The bin of an encoded sine is the bin that holds the sine.
  const std::pair<double, int> bins[] = {{-1, 0}, {1, 255}, {0, 128}, {-1e-9, 127}, {0.5, 192}, {0.5 - 1e-9, 191}};
  for (auto [sine, bin] : bins) EXPECT_EQ(horizonBin(encodeHorizon(sine)), bin) << sine;
}

using TerrainFileTest = ScratchFolderTest;
using TerrainFileDeathTest = ScratchFolderTest;

// The writer's bytes are the format's; nothing the reader would refuse is written.
// Both type letters read back sizes, heights, normals and blocks one direction at a time.
TEST_F(TerrainFileTest, WrittenFilesAreTheFormatAndReadBackExactly) {
  const std::vector<float> heights = {-1.5f, 0, 3.25f, 1e-30f, 7, kMaxTerrainHeight};
  std::vector<uint16_t> horizons;
  for (int i = 0; i < 6 * 3; ++i) horizons.push_back(uint16_t(i * 3641));
  std::string name = path("w.hrz"), error;
  ASSERT_TRUE(writeTerrainFile(name, 3, 2, 3, heights, horizons, error)) << error;
  ASSERT_EQ(readFile(name), terrainBytes(3, 2, 3, heights, horizons));
  const std::vector<float> h4(4);
  const std::vector<uint16_t> v4(4);
  EXPECT_FALSE(writeTerrainFile(name, 2, 2, 2, h4, v4, error));  // too few horizons
  EXPECT_FALSE(writeTerrainFile(name, 2, 2, 1, {0, 0, NAN, 0}, v4, error));
  EXPECT_FALSE(writeTerrainFile(name, 2, 2, 1, {0, -INFINITY, 0, 0}, v4, error));
  EXPECT_FALSE(writeTerrainFile(name, 2, 2, 1, {0, 0, 0, 2 * kMaxTerrainHeight}, v4, error));
  EXPECT_FALSE(writeTerrainFile(name, 2, 2, kMaxTerrainDirections + 1, h4,
                                std::vector<uint16_t>(4 * (kMaxTerrainDirections + 1)), error));
  EXPECT_EQ(error.rfind("cannot write " + name + ": ", 0), 0u) << error;
  EXPECT_EQ(readFile(name), terrainBytes(3, 2, 3, heights, horizons));

  const std::vector<float> sloped = {0, 1, 2, 3, 4, 5};  // rising by 3 per row and 1 per column
  for (const char* start : {"n\n", "p\n"}) {
    writeFile(path("t.hrz"), terrainBytes(2, 3, 3, sloped, horizons, start));
    TerrainFile file;
    Terrain terrain;
    TerrainError readError;
    ASSERT_TRUE(file.open(path("t.hrz"), terrain, readError)) << readError.message;
    EXPECT_EQ(std::make_tuple(terrain.gridSizeX, terrain.gridSizeY, terrain.numDirections), std::make_tuple(2, 3, 3));
    EXPECT_EQ(terrain.terrainHeights, sloped);
    ASSERT_EQ(terrain.terrainNormals.size(), 6u);
    const float s = std::sqrt(9.0f + 1 + 1);
    expectVec(terrain.terrainNormals[4], -3 / s, -1 / s, 1 / s);
    std::vector<uint16_t> blocks(18);
    for (int j = 0; j < 3; ++j) ASSERT_TRUE(file.readHorizonBlocks(1, blocks.data() + 6 * j, readError));
    EXPECT_EQ(blocks, horizons);
    EXPECT_FALSE(file.readHorizonBlocks(1, blocks.data(), readError));
  }
}

// Every damaged file is refused with its message: each cut short, and other damage.
TEST_F(TerrainFileTest, DamagedFilesAreRefusedWithTheirMessage) {
  const auto good = terrainBytes(5, 4, 3, std::vector<float>(20, 1.5f), std::vector<uint16_t>(60));
  const std::string corrupted = " appears to be a corrupted elevation file.\n";
  const std::string unknown = " is not an elevation file.  It is of unknown type.\n";
  std::vector<std::pair<std::string, std::string>> cases;
  for (size_t length = 0; length < good.size(); ++length)
    cases.push_back({good.substr(0, length), length ? corrupted : unknown});
  const std::vector<float> h4(4, 1.0f);
  const std::vector<uint16_t> v8(8, 32768);
  cases.insert(cases.end(), {
      {terrainBytes(2, 2, 2, h4, v8, "h\n"), " is not an elevation file.  It is a horizon file.\n"},
      {terrainBytes(2, 2, 2, h4, v8, "x\n"), unknown},
      {terrainBytes(2, 2, 2, h4, v8, "n\r\n"), corrupted},
      {terrainBytes(0, 2, 2, {}, {}), corrupted},
      {terrainBytes(2, -3, 2, h4, v8), corrupted},
      {terrainBytes(2, 2, 0, h4, {}), corrupted},
      {terrainBytes(2, 2, -1, h4, v8), corrupted},
      {terrainBytes(2147483647, 2147483647, 2147483647, h4, v8), corrupted},
      {terrainBytes(65536, 32768, 1, h4, v8), corrupted},  // more cells than an int holds
      // 2 MiB that would make the sky light's tables take gigabytes.
      {terrainBytes(1, 1, 1 << 20, {0}, std::vector<uint16_t>(1 << 20)), corrupted},
      {terrainBytes(2, 2, 2, {1, NAN, 1, 1}, v8), corrupted},
      {terrainBytes(2, 2, 2, {1, 1, -INFINITY, 1}, v8), corrupted},
      {terrainBytes(2, 2, 2, {3.4e38f, 1, 1, 1}, v8), corrupted},
  });
  Terrain terrain;
  TerrainError error;
  for (size_t i = 0; i < cases.size(); ++i) {
    const std::string name = path("bad.hrz");
    writeFile(name, cases[i].first);
    TerrainFile file;
    EXPECT_FALSE(file.open(name, terrain, error)) << i;
    EXPECT_EQ(error.message, "File " + name + cases[i].second) << i;
    EXPECT_EQ(error.exitStatus, 1) << i;
  }
  // A FIFO is refused at once rather than waited on (the alarm ends the test if not).
  const std::string fifo = path("fifo.hrz");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  alarm(30);
  TerrainFile file;
  EXPECT_FALSE(file.open(fifo, terrain, error));
  alarm(0);
  EXPECT_EQ(error.message, "File " + fifo + corrupted);
  for (std::string name : {path("missing.hrz"), std::string("/tmp")}) {
    TerrainFile other;
    EXPECT_FALSE(other.open(name, terrain, error));
    EXPECT_EQ(error.message, "tgrid: cannot open input file '" + name + "'\n");
    EXPECT_EQ(error.exitStatus, -1);
    EXPECT_EQ(error.toolLine.rfind("cannot open " + name + ": ", 0), 0u) << error.toolLine;
  }
}

#if !defined(__SANITIZE_ADDRESS__)
// Exits 0 if a sparse terrain needing more memory than allowed is refused as too large.
[[noreturn]] void readUnderMemoryLimit(const std::string& name) {
  unsigned long long pages = 0;  // what the process has mapped now
  if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%llu", &pages) != 1) pages = 0;
    std::fclose(statm);
  }
  struct rlimit limit;
  getrlimit(RLIMIT_AS, &limit);
  limit.rlim_cur = pages * sysconf(_SC_PAGESIZE) + (128ull << 20);
  setrlimit(RLIMIT_AS, &limit);
  TerrainFile file;
  Terrain terrain;
  TerrainError error;
  const bool refused = !file.open(name, terrain, error);
  std::exit(refused && error.message == "File " + name + " is too large for the memory available.\n" ? 0 : 1);
}

TEST_F(TerrainFileDeathTest, StorageBeyondTheMemoryAvailableIsNotCalledCorruption) {
  // 8192 x 8192 cells in one direction: 384 MiB of file, 256 MiB of heights.
  const std::string name = path("big.hrz");
  writeFile(name, terrainBytes(8192, 8192, 1, {}, {}));
  ASSERT_EQ(truncate(name.c_str(), kTerrainHeaderBytes + 8192LL * 8192 * 6), 0);
  EXPECT_EXIT(readUnderMemoryLimit(name), ::testing::ExitedWithCode(0), "");
}
#endif

TEST_F(TerrainFileDeathTest, ExitWithTerrainErrorWritesTheLineAndStatus) {
  EXPECT_EXIT(exitWithTerrainError({"File a.hrz appears to be a corrupted elevation file.\n", 1, ""}),
              ::testing::ExitedWithCode(1), "^File a\\.hrz appears to be a corrupted elevation file\\.\n$");
  EXPECT_EXIT(exitWithTerrainError({"tgrid: cannot open input file 'x'\n", -1, ""}), ::testing::ExitedWithCode(255),
              "^tgrid: cannot open input file 'x'\n$");
}

}  // namespace
