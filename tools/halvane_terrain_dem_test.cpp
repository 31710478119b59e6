// halvane-terrain --dem and halvane-skylight's GeoTIFF maps, as users run them.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gdal.h>
#include <gtest/gtest.h>
#include <ogr_srs_api.h>

#include "terrain/dem_import.h"
#include "terrain/georeference.h"
#include "terrain/horizons.h"
#include "terrain/terrain_file.h"
#include "terrain/terrain_test_files.h"

namespace {

const std::string kTerrainTool = HALVANE_TERRAIN_TOOL;
const std::string kSkylightTool = HALVANE_SKYLIGHT_TOOL;

struct ToolRun {
  int status = -1;
  std::string err;
};

ToolRun run(const std::string& command, ScratchFolder& folder) {
  std::string errFile = folder.file("stderr.txt");
  int raw = std::system((command + " 2>" + errFile).c_str());
  ToolRun result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  if (std::FILE* in = std::fopen(errFile.c_str(), "r")) {
    char buffer[8192];
    size_t got = std::fread(buffer, 1, sizeof buffer, in);
    result.err.assign(buffer, got);
    std::fclose(in);
  }
  return result;
}

bool exists(const std::string& name) { return access(name.c_str(), F_OK) == 0; }

// A cone 200 m high on 41 x 41 cells of 10 m in UTM zone 33N.
std::string writeCone(ScratchFolder& folder, const std::string& name = "cone.tif", int size = 41,
                      const char* creationOption = nullptr) {
  GDALAllRegister();
  std::string file = folder.file(name);
  const char* options[] = {creationOption, nullptr};
  GDALDatasetH dataset = GDALCreate(GDALGetDriverByName("GTiff"), file.c_str(), size, size, 1, GDT_Float32,
                                    const_cast<char**>(options));
  EXPECT_NE(dataset, nullptr);
  double gt[6] = {500000, 10, 0, 5000000, 0, -10};
  GDALSetGeoTransform(dataset, gt);
  OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
  OSRImportFromEPSG(srs, 32633);
  GDALSetSpatialRef(dataset, srs);
  OSRDestroySpatialReference(srs);
  if (!creationOption) {
    std::vector<float> values(size_t(size) * size);
    for (int row = 0; row < size; ++row)
      for (int col = 0; col < size; ++col)
        values[size_t(row) * size + col] =
            float(std::max(0.0, 200 - 2 * std::hypot(col * 10 - 200.0, row * 10 - 200.0)));
    EXPECT_EQ(GDALRasterIO(GDALGetRasterBand(dataset, 1), GF_Write, 0, 0, size, size, values.data(), size, size,
                           GDT_Float32, 0, 0),
              CE_None);
  }
  GDALClose(dataset);
  return file;
}

TEST(HalvaneTerrainDemTest, WritesHeightsHorizonsAndGeoreference) {
  ScratchFolder folder;
  std::string dem = writeCone(folder), out = folder.file("cone.hrz");
  folder.file("cone.hrz.json");
  ToolRun r = run(kTerrainTool + " --dem " + dem + " --directions 8 -o " + out, folder);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("halvane-terrain: " + dem + ": 41 x 41 cells of 10 x 10 m"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("halvane-terrain: terrain: 41 x 41 cells of 10 m, heights 0 to 200 m"), std::string::npos)
      << r.err;

  TerrainFile file;
  TerrainRecord terrain;
  TerrainError error;
  ASSERT_TRUE(file.open(out, terrain, error)) << error.message;
  ASSERT_EQ(terrain.gridSizeX, 41);
  ASSERT_EQ(terrain.gridSizeY, 41);
  EXPECT_FLOAT_EQ(terrain.terrainHeights[20 * 41 + 20], 20.0f);
  // The fast horizons the tool writes are the plain march's, value for value.
  std::vector<uint16_t> blocks(41 * 41 * 8);
  ASSERT_TRUE(file.readHorizonBlocks(8, blocks.data(), error));
  EXPECT_EQ(blocks, computeHorizons(terrain.terrainHeights.data(), 41, 41, 8));

  Georeference geo;
  std::string problem;
  ASSERT_EQ(readGeoreference(out, 41, 41, geo, problem), GeoreferenceStatus::kRead) << problem;
  EXPECT_EQ(geo.source, dem);
  EXPECT_DOUBLE_EQ(geo.cellSize, 10);
  const std::array<double, 6> gt = {500000, 10, 0, 5000000, 0, -10};
  EXPECT_EQ(geo.geoTransform, gt);

  // --quiet: nothing on standard error.
  EXPECT_EQ(run(kTerrainTool + " --dem " + dem + " --directions 4 --quiet -o " + out, folder).err, "");
  // A synthetic terrain written over it takes the stale georeference away.
  ASSERT_EQ(run(kTerrainTool + " --synthetic 8 --directions 4 -o " + out, folder).status, 0);
  EXPECT_FALSE(exists(georeferenceFileName(out)));
}

TEST(HalvaneTerrainDemTest, ProgressBarUnlessQuiet) {
  ScratchFolder folder;
  std::string out = folder.file("level.hrz");
  // 110 x 110 cells in 900 directions: long enough to report.
  ToolRun r = run(kTerrainTool + " --flat 110 --directions 900 -o " + out, folder);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 10) << r.err;
  EXPECT_NE(r.err.find("halvane-terrain: horizons 450/900 directions  50%  about "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("halvane-terrain: horizons 900/900 directions  100%\n"), std::string::npos) << r.err;
  EXPECT_EQ(run(kTerrainTool + " --flat 110 --directions 900 --quiet -o " + out, folder).err, "");
}

TEST(HalvaneTerrainDemTest, BadDemsGetOneLineStatusTwoAndNoFile) {
  ScratchFolder folder;
  std::string out = folder.file("never.hrz"), json = folder.file("never.hrz.json");
  std::string cone = writeCone(folder);
  std::string text = folder.write("notes.tif", {'n', 'o', 't', '\n'});
  std::string plain = folder.file("plain.tif");
  GDALClose(GDALCreate(GDALGetDriverByName("GTiff"), plain.c_str(), 8, 8, 1, GDT_Float32, nullptr));
  // 1500 x 1500 cells with 1024 directions would need 4.6 GB of horizons.
  std::string big = writeCone(folder, "big.tif", 1500, "SPARSE_OK=TRUE");
  struct Case {
    std::string args, mentions;
  };
  for (const Case& c : std::vector<Case>{
           {"--dem " + folder.file("missing.tif"), folder.file("missing.tif") + ": no such file"},
           {"--dem " + text, text + ": not a raster that GDAL can read"},
           {"--dem " + plain, plain + ": has no cell size"},
           {"--dem " + cone + " --window 40,40,5,5", cone + ": window 40,40,5,5 lies outside the raster"},
           {"--dem " + cone + " --bounds 0,0,10,10", cone + ": bounds 0,0,10,10 lie outside the raster"},
           {"--dem " + big + " --directions 1024", big + ": 1500 x 1500 cells are too many to hold in memory"},
       }) {
    SCOPED_TRACE(c.args);
    ToolRun r = run(kTerrainTool + " " + c.args + " --quiet -o " + out, folder);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(r.err.rfind("halvane-terrain: " + c.mentions, 0), 0u) << r.err;
    EXPECT_FALSE(exists(out));
    EXPECT_FALSE(exists(json));
  }
  // Options that do not fit together, or malformed areas.
  for (std::string args : std::vector<std::string>{"--flat 4 --max-size 3", "--dem " + cone + " --window 1,2,3",
                           "--dem " + cone + " --bounds 5,5,1,1", "--dem " + cone + " --window 1,2,3,4 --bounds 0,0,1,1",
                           "--dem " + cone + " --flat 3", "--dem " + cone + " --max-size 1"}) {
    SCOPED_TRACE(args);
    ToolRun r = run(kTerrainTool + " " + args + " -o " + out, folder);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_FALSE(exists(out));
  }
  // The big DEM is fine when reduced.
  ToolRun reduced = run(kTerrainTool + " --dem " + big + " --max-size 50 --directions 4 -o " + out, folder);
  EXPECT_EQ(reduced.status, 0) << reduced.err;
  EXPECT_NE(reduced.err.find("halvane-terrain: terrain: 50 x 50 cells of 300 m"), std::string::npos) << reduced.err;
}

// The values of a one-band GeoTIFF, its geotransform (if any) and coordinate system.
struct GeoTiff {
  int width = 0, height = 0;
  bool georeferenced = false;
  double gt[6] = {};
  std::string wkt;
  std::vector<float> values;
};

GeoTiff readGeoTiff(const std::string& name) {
  GeoTiff tiff;
  GDALAllRegister();
  GDALDatasetH dataset = GDALOpen(name.c_str(), GA_ReadOnly);
  EXPECT_NE(dataset, nullptr) << name;
  if (!dataset) return tiff;
  tiff.width = GDALGetRasterXSize(dataset);
  tiff.height = GDALGetRasterYSize(dataset);
  tiff.georeferenced = GDALGetGeoTransform(dataset, tiff.gt) == CE_None;
  tiff.wkt = GDALGetProjectionRef(dataset);
  tiff.values.resize(size_t(tiff.width) * tiff.height);
  EXPECT_EQ(GDALRasterIO(GDALGetRasterBand(dataset, 1), GF_Read, 0, 0, tiff.width, tiff.height, tiff.values.data(),
                         tiff.width, tiff.height, GDT_Float32, 0, 0),
            CE_None);
  GDALClose(dataset);
  return tiff;
}

std::vector<float> readCsv(const std::string& name) {
  std::vector<float> values;
  if (std::FILE* in = std::fopen(name.c_str(), "r")) {
    float v;
    while (std::fscanf(in, "%f,", &v) == 1) values.push_back(v);
    std::fclose(in);
  }
  return values;
}

TEST(HalvaneSkylightGeoTiffTest, MapOfADemTerrainIsGeoreferencedAndNorthUp) {
  ScratchFolder folder;
  // Hill in the north-east: east is the last column, north the first row.
  GDALAllRegister();
  std::string dem = folder.file("ne.tif");
  GDALDatasetH dataset = GDALCreate(GDALGetDriverByName("GTiff"), dem.c_str(), 12, 9, 1, GDT_Float32, nullptr);
  double demGt[6] = {300000, 25, 0, 6000000, 0, -25};
  GDALSetGeoTransform(dataset, demGt);
  OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
  OSRImportFromEPSG(srs, 32632);
  GDALSetSpatialRef(dataset, srs);
  OSRDestroySpatialReference(srs);
  std::vector<float> heights(12 * 9);
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 12; ++col) heights[row * 12 + col] = float(100 * std::exp(-(std::pow(col - 10, 2) + std::pow(row - 1, 2)) / 4));
  ASSERT_EQ(GDALRasterIO(GDALGetRasterBand(dataset, 1), GF_Write, 0, 0, 12, 9, heights.data(), 12, 9, GDT_Float32, 0, 0),
            CE_None);
  GDALClose(dataset);

  std::string terrain = folder.file("ne.hrz"), map = folder.file("ne-light.tif"), csv = folder.file("ne.csv");
  folder.file("ne.hrz.json");
  ASSERT_EQ(run(kTerrainTool + " --dem " + dem + " --directions 8 --quiet -o " + terrain, folder).status, 0);
  ToolRun r = run(kSkylightTool + " " + terrain + " --sky overcast -o " + map + " --csv " + csv, folder);
  ASSERT_EQ(r.status, 0) << r.err;
  GeoTiff tiff = readGeoTiff(map);
  ASSERT_EQ(tiff.width, 12);
  ASSERT_EQ(tiff.height, 9);
  ASSERT_TRUE(tiff.georeferenced);
  for (int i = 0; i < 6; ++i) EXPECT_DOUBLE_EQ(tiff.gt[i], demGt[i]);
  EXPECT_NE(tiff.wkt.find("UTM zone 32N"), std::string::npos);
  // Cell (x, y) of the terrain is column x, row 8 - y of the map.
  std::vector<float> grid = readCsv(csv);
  ASSERT_EQ(grid.size(), 12u * 9u);
  for (int x = 0; x < 12; ++x)
    for (int y = 0; y < 9; ++y) EXPECT_FLOAT_EQ(tiff.values[(8 - y) * 12 + x], grid[x * 9 + y]);
  // The hill's foot, in the shade of its slope, is darker than the open south-west.
  EXPECT_LT(tiff.values[1 * 12 + 8], tiff.values[8 * 12 + 0]);
}

TEST(HalvaneSkylightGeoTiffTest, MapOfASyntheticTerrainHasNoGeoreference) {
  ScratchFolder folder;
  std::string terrain = folder.file("s.hrz"), map = folder.file("s.TIFF");
  ASSERT_EQ(run(kTerrainTool + " --synthetic 10 --directions 4 -o " + terrain, folder).status, 0);
  ASSERT_EQ(run(kSkylightTool + " " + terrain + " -o " + map, folder).status, 0);
  GeoTiff tiff = readGeoTiff(map);
  EXPECT_EQ(tiff.width, 10);
  EXPECT_FALSE(tiff.georeferenced);
  // A map that cannot be written: status 1, a message, nothing left.
  ToolRun r = run(kSkylightTool + " " + terrain + " -o /nonexistent-folder/m.tif", folder);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("/nonexistent-folder/m.tif"), std::string::npos) << r.err;
}

}  // namespace
