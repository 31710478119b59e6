// halvane-terrain --dem and halvane-skylight's GeoTIFF maps, as users run them.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include <gdal.h>
#include <gtest/gtest.h>
#include <ogr_srs_api.h>

#include "core/utc_time.h"
#include "sky/site_sun.h"
#include "terrain/dem_import.h"
#include "terrain/georeference.h"
#include "terrain/horizon_raster.h"
#include "terrain/horizons.h"
#include "terrain/sky_view.h"
#include "terrain/terrain_file.h"
#include "terrain/terrain_test_files.h"
#include "tools/grid_output.h"

namespace {

const std::string kTerrainTool = HALVANE_TERRAIN_TOOL;
const std::string kSkylightTool = HALVANE_SKYLIGHT_TOOL;

bool mentions(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(HalvaneTerrainDemTest, WritesHeightsHorizonsAndGeoreference) {
  ScratchFolder folder;
  std::string dem = utmCone(folder), out = folder.file("cone.hrz");
  folder.file("cone.hrz.json");
  ToolRun r = run(kTerrainTool + " --dem " + dem + " --directions 8 -o " + out, folder);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(mentions(r.err, "halvane-terrain: " + dem + ": 41 x 41 cells of 10 x 10 m")) << r.err;
  EXPECT_TRUE(mentions(r.err, "halvane-terrain: terrain: 41 x 41 cells of 10 m, heights 0 to 200 m")) << r.err;
  TerrainFile file;
  Terrain terrain;
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
  EXPECT_EQ(geo.geoTransform, (std::array<double, 6>{500000, 10, 0, 5000000, 0, -10}));

  EXPECT_EQ(run(kTerrainTool + " --dem " + dem + " --directions 4 --quiet -o " + out, folder).err, "");
  // A synthetic terrain written over it takes the stale georeference away.
  ASSERT_EQ(run(kTerrainTool + " --synthetic 8 --directions 4 -o " + out, folder).status, 0);
  EXPECT_FALSE(exists(georeferenceFileName(out)));
}

// --horizons-out: the horizons the terrain file holds, as degrees, north up,
// with the DEM's georeference; a name that is not a GeoTIFF's is refused.
TEST(HalvaneTerrainDemTest, HorizonsOutIsTheTerrainsHorizonsAsAGeoTiff) {
  ScratchFolder folder;
  std::string dem = utmCone(folder), out = folder.file("cone.hrz"), tif = folder.file("cone-horizons.tif");
  folder.file("cone.hrz.json");
  ToolRun r = run(kTerrainTool + " --dem " + dem + " --directions 8 --quiet --horizons-out " + tif + " -o " + out,
                  folder);
  ASSERT_EQ(r.status, 0) << r.err;
  TerrainFile file;
  Terrain terrain;
  TerrainError error;
  ASSERT_TRUE(file.open(out, terrain, error)) << error.message;
  std::vector<uint16_t> blocks(41 * 41 * 8);
  ASSERT_TRUE(file.readHorizonBlocks(8, blocks.data(), error));
  GDALDatasetH dataset = GDALOpen(tif.c_str(), GA_ReadOnly);
  ASSERT_NE(dataset, nullptr);
  EXPECT_EQ(GDALGetRasterCount(dataset), 8);
  std::array<double, 6> gt{};
  GDALGetGeoTransform(dataset, gt.data());
  EXPECT_EQ(gt, (std::array<double, 6>{500000, 10, 0, 5000000, 0, -10}));
  std::vector<float> band(41 * 41);
  for (int j : {0, 5}) {
    ASSERT_EQ(GDALRasterIO(GDALGetRasterBand(dataset, j + 1), GF_Read, 0, 0, 41, 41, band.data(), 41, 41,
                           GDT_Float32, 0, 0), CE_None);
    for (int col = 0; col < 41; col += 4)
      for (int row = 0; row < 41; row += 3) {
        double stored = blocks[size_t(j) * 41 * 41 + size_t(col) * 41 + (40 - row)] / 32768.0 - 1;
        EXPECT_NEAR(std::sin(band[size_t(row) * 41 + col] / 57.29577951308232), stored, 1e-5) << col << " " << row;
      }
  }
  GDALClose(dataset);
  std::string png = folder.file("horizons.png");
  r = run(kTerrainTool + " --flat 8 --horizons-out " + png + " -o " + out, folder);
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(mentions(r.err, "--horizons-out takes the name of a GeoTIFF")) << r.err;
  EXPECT_FALSE(exists(png));
}

TEST(HalvaneTerrainDemTest, ProgressBarUnlessQuiet) {
  ScratchFolder folder;
  std::string out = folder.file("level.hrz");
  // 110 x 110 cells in 900 directions: long enough to report.
  ToolRun r = run(kTerrainTool + " --flat 110 --directions 900 -o " + out, folder);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 10) << r.err;
  EXPECT_TRUE(mentions(r.err, "halvane-terrain: horizons 450/900 directions  50%  about ")) << r.err;
  EXPECT_TRUE(mentions(r.err, "halvane-terrain: horizons 900/900 directions  100%\n")) << r.err;
  EXPECT_EQ(run(kTerrainTool + " --flat 110 --directions 900 --quiet -o " + out, folder).err, "");
}

TEST(HalvaneTerrainDemTest, BadDemsAndArgumentsGetOneLineTheirStatusAndNoFile) {
  ScratchFolder folder;
  std::string out = folder.file("never.hrz"), json = folder.file("never.hrz.json");
  std::string cone = utmCone(folder), missing = folder.file("missing.tif");
  std::string text = folder.write("notes.tif", {'n', 'o', 't', '\n'});
  std::string plain = folder.file("plain.tif");
  GDALAllRegister();
  GDALClose(GDALCreate(GDALGetDriverByName("GTiff"), plain.c_str(), 8, 8, 1, GDT_Float32, nullptr));
  // 1500 x 1500 cells (sparse, all zero) with 1024 directions would need 4.6 GB of horizons.
  std::string big = writeRaster(folder, "big.tif", 1500, 1500, {500000, 10, 0, 5000000, 0, -10}, 32633, {}, NAN,
                                "SPARSE_OK=TRUE");
  // Rasters that cannot be used: status 1; arguments that cannot: status 2.
  const std::tuple<std::string, std::string, int> cases[] = {
      {"--dem " + missing, missing + ": no such file", 1},
      {"--dem " + text, text + ": not a raster that GDAL can read", 1},
      {"--dem " + plain, plain + ": has no cell size", 1},
      {"--dem " + cone + " --window 40,40,5,5", cone + ": window 40,40,5,5 lies outside the raster", 1},
      {"--dem " + cone + " --bounds 0,0,10,10", cone + ": bounds 0,0,10,10 lie outside the raster", 1},
      {"--dem " + big + " --directions 1024", big + ": 1500 x 1500 cells are too many to hold in memory", 1},
      // Options that do not fit together, or malformed areas.
      {"--flat 4 --max-size 3", "", 2},
      {"--dem " + cone + " --window 1,2,3", "", 2},
      {"--dem " + cone + " --bounds 5,5,1,1", "", 2},
      {"--dem " + cone + " --window 1,2,3,4 --bounds 0,0,1,1", "", 2},
      {"--dem " + cone + " --flat 3", "", 2},
      {"--dem " + cone + " --max-size 1", "", 2},
  };
  for (const auto& [args, start, status] : cases) {
    SCOPED_TRACE(args);
    ToolRun r = run(kTerrainTool + " " + args + " --quiet -o " + out, folder);
    EXPECT_EQ(r.status, status);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(r.err.rfind("halvane-terrain: " + start, 0), 0u) << r.err;
    EXPECT_FALSE(exists(out));
    EXPECT_FALSE(exists(json));
  }
  // The big DEM is fine when reduced.
  ToolRun reduced = run(kTerrainTool + " --dem " + big + " --max-size 50 --directions 4 -o " + out, folder);
  EXPECT_EQ(reduced.status, 0) << reduced.err;
  EXPECT_TRUE(mentions(reduced.err, "halvane-terrain: terrain: 50 x 50 cells of 300 m")) << reduced.err;
}

// The values of a one-band GeoTIFF; `gt` stays empty without a geotransform.
struct GeoTiff {
  int width = 0, height = 0;
  std::vector<double> gt;
  std::string wkt;
  std::vector<float> values;
};

GeoTiff readGeoTiff(const std::string& name) {
  GeoTiff tiff;
  GDALDatasetH dataset = GDALOpen(name.c_str(), GA_ReadOnly);
  EXPECT_NE(dataset, nullptr) << name;
  if (!dataset) return tiff;
  tiff.width = GDALGetRasterXSize(dataset);
  tiff.height = GDALGetRasterYSize(dataset);
  double gt[6];
  if (GDALGetGeoTransform(dataset, gt) == CE_None) tiff.gt.assign(gt, gt + 6);
  tiff.wkt = GDALGetProjectionRef(dataset);
  tiff.values.resize(size_t(tiff.width) * tiff.height);
  EXPECT_EQ(GDALRasterIO(GDALGetRasterBand(dataset, 1), GF_Read, 0, 0, tiff.width, tiff.height, tiff.values.data(),
                         tiff.width, tiff.height, GDT_Float32, 0, 0),
            CE_None);
  GDALClose(dataset);
  return tiff;
}

// The text of a file, split into its lines' comma-separated numbers.
std::vector<std::vector<double>> readNumberLines(const std::string& name, bool skipHeader) {
  std::vector<std::vector<double>> lines;
  std::FILE* in = std::fopen(name.c_str(), "r");
  EXPECT_NE(in, nullptr) << name;
  if (!in) return lines;
  char line[65536];
  for (bool first = true; std::fgets(line, sizeof line, in); first = false) {
    if (first && skipHeader) continue;
    std::vector<double> numbers;
    for (char* p = line; *p && *p != '\n';) {
      char* end;
      numbers.push_back(std::strtod(p, &end));
      p = *end == ',' ? end + 1 : end;
    }
    lines.push_back(numbers);
  }
  std::fclose(in);
  return lines;
}

// A pit in the north-east of a DEM 12 cells wide and 9 high lies top right
// in every format of the map: the GeoTIFF, the PNG, the grid text and the
// points, which all agree cell for cell.
TEST(HalvaneSkylightTest, EveryFormatIsNorthUpWithThePitOfTheNorthEastTopRight) {
  ScratchFolder folder;
  // East is the last column, north the first row.
  const std::array<double, 6> demGt = {300000, 25, 0, 6000000, 0, -25};
  std::string dem = writeRaster(folder, "ne.tif", 12, 9, demGt, 32632, [](int col, int row) {
    return 200 - 150 * std::exp(-(std::pow(col - 10, 2) + std::pow(row - 1, 2)) / 2);
  });
  std::string terrain = folder.file("ne.hrz"), tif = folder.file("ne-light.tif"), png = folder.file("ne.png"),
              grid = folder.file("ne.csv"), points = folder.file("ne.xyz");
  folder.file("ne.hrz.json");
  ASSERT_EQ(run(kTerrainTool + " --dem " + dem + " --directions 16 --quiet -o " + terrain, folder).status, 0);
  ToolRun r = run(kSkylightTool + " " + terrain + " --sky overcast --scale max -o " + tif + " --csv " + grid,
                  folder);
  ASSERT_EQ(r.status, 0) << r.err;
  r = run(kSkylightTool + " " + terrain + " --sky overcast --scale max -o " + png + " --csv " + points +
              " --csv-header",
          folder);
  ASSERT_EQ(r.status, 0) << r.err;

  GeoTiff map = readGeoTiff(tif), picture = readGeoTiff(png);
  ASSERT_EQ(map.width, 12);
  ASSERT_EQ(map.height, 9);
  EXPECT_EQ(map.gt, std::vector<double>(demGt.begin(), demGt.end()));
  EXPECT_TRUE(mentions(map.wkt, "UTM zone 32N"));
  ASSERT_EQ(picture.width, 12);
  ASSERT_EQ(picture.height, 9);
  const std::vector<std::vector<double>> rows = readNumberLines(grid, false);
  const std::vector<std::vector<double>> cells = readNumberLines(points, true);
  ASSERT_EQ(rows.size(), 9u);
  ASSERT_EQ(cells.size(), 12u * 9u);
  for (int row = 0; row < 9; ++row) {
    ASSERT_EQ(rows[row].size(), 12u);
    for (int col = 0; col < 12; ++col) {
      const float value = map.values[row * 12 + col];
      EXPECT_FLOAT_EQ(rows[row][col], value);
      EXPECT_EQ(picture.values[row * 12 + col], pixelValue(value));
      const std::vector<double>& point = cells[row * 12 + col];
      ASSERT_EQ(point.size(), 3u);
      EXPECT_DOUBLE_EQ(point[0], 300000 + 25 * (col + 0.5));
      EXPECT_DOUBLE_EQ(point[1], 6000000 - 25 * (row + 0.5));
      EXPECT_FLOAT_EQ(point[2], value);
    }
  }
  const size_t darkest = std::min_element(map.values.begin(), map.values.end()) - map.values.begin();
  EXPECT_EQ(darkest, 1u * 12 + 10) << "the pit's bottom: row 1, column 10";
}

// --svf: the sky-view factor of every cell as the library computes it from
// the file's horizons, north up with the DEM's georeference; open flat ground
// is 1; only .tif, .png and .csv names are taken.
TEST(HalvaneSkylightGeoTiffTest, SkyViewFactorMapIsTheLibrarysNorthUp) {
  ScratchFolder folder;
  std::string dem = utmCone(folder), terrain = folder.file("cone.hrz"), map = folder.file("cone-svf.tif");
  folder.file("cone.hrz.json");
  ASSERT_EQ(run(kTerrainTool + " --dem " + dem + " --directions 16 --quiet -o " + terrain, folder).status, 0);
  ToolRun r = run(kSkylightTool + " " + terrain + " --svf " + map, folder);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  TerrainFile file;
  Terrain record;
  TerrainError error;
  ASSERT_TRUE(file.open(terrain, record, error)) << error.message;
  std::vector<uint16_t> blocks(41 * 41 * 16);
  ASSERT_TRUE(file.readHorizonBlocks(16, blocks.data(), error));
  std::vector<float> expected = computeSkyViewFactor(blocks.data(), 16, 41, 41, record.terrainNormals.data());
  GeoTiff tiff = readGeoTiff(map);
  ASSERT_EQ(tiff.values.size(), 41u * 41u);
  EXPECT_EQ(tiff.gt, (std::vector<double>{500000, 10, 0, 5000000, 0, -10}));
  for (int x = 0; x < 41; ++x)
    for (int y = 0; y < 41; ++y) ASSERT_EQ(tiff.values[(40 - y) * 41 + x], expected[x * 41 + y]) << x << " " << y;
  EXPECT_LT(expected[20 * 41 + 28], 0.95f);  // on the cone's flank

  std::string flat = folder.file("flat.hrz"), csv = folder.file("flat.csv"), jpg = folder.file("flat.jpg");
  ASSERT_EQ(run(kTerrainTool + " --flat 6 --directions 8 -o " + flat, folder).status, 0);
  ASSERT_EQ(run(kSkylightTool + " " + flat + " --svf " + csv, folder).status, 0);
  std::vector<float> values;
  if (std::FILE* in = std::fopen(csv.c_str(), "r")) {
    for (float v; std::fscanf(in, "%f,", &v) == 1;) values.push_back(v);
    std::fclose(in);
  }
  EXPECT_EQ(values, std::vector<float>(36, 1.0f));
  r = run(kSkylightTool + " " + flat + " --svf " + jpg, folder);
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(mentions(r.err, "--svf takes a name ending .tif, .png, .csv, .txt or .xyz")) << r.err;
  EXPECT_FALSE(exists(jpg));
}

TEST(HalvaneSkylightTest, ATerrainFromADemTakesItsSiteFromItsCentre) {
  ScratchFolder folder;
  std::string dem = utmCone(folder), terrain = folder.file("cone.hrz"), own = folder.file("own.csv"),
              given = folder.file("given.csv");
  folder.file("cone.hrz.json");
  ASSERT_EQ(run(kTerrainTool + " --dem " + dem + " --directions 8 --quiet -o " + terrain, folder).status, 0);
  Georeference georeference;
  std::string problem;
  ASSERT_EQ(readGeoreference(terrain, 41, 41, georeference, problem), GeoreferenceStatus::kRead) << problem;
  GeoSite centre;
  ASSERT_TRUE(georeferenceSite(georeference, centre, problem)) << problem;
  EXPECT_NEAR(centre.longitude, 15.0, 0.01);  // UTM zone 33's central meridian, 45 km north of 45 N
  EXPECT_NEAR(centre.latitude, 45.15, 0.01);
  char site[64];
  std::snprintf(site, sizeof site, "%.17g,%.17g", centre.latitude, centre.longitude);
  const std::string time = " --time 2026-03-20T08:00Z";
  ToolRun r = run(kSkylightTool + " " + terrain + time + " --csv " + own, folder);
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(run(kSkylightTool + " " + terrain + time + " --site " + site + " --csv " + given, folder).status, 0);
  EXPECT_EQ(readFile(own), readFile(given));
  // --site overrides it: the sun of another place gives another map.
  ASSERT_EQ(run(kSkylightTool + " " + terrain + time + " --site 59.9,10.7 --csv " + given, folder).status, 0);
  EXPECT_NE(readFile(own), readFile(given));
}

// A DEM away from its projection's central meridian has grid north off true
// north: the sun of a site and time is turned into the grid, so the map is
// the one of the typed sun at its grid bearing.
TEST(HalvaneSkylightTest, TheSunOfASiteIsTurnedIntoTheGridOfADem) {
  ScratchFolder folder;
  const std::string dem = writeRaster(folder, "west.tif", 21, 21, {300000, 50, 0, 5000000, 0, -50}, 32633,
                                      [](int col, int row) { return 20 * std::sin(col * 0.4) + 10 * row; });
  const std::string terrain = folder.file("west.hrz"), atTime = folder.file("time.csv"),
                    typed = folder.file("typed.csv");
  folder.file("west.hrz.json");
  ASSERT_EQ(run(kTerrainTool + " --dem " + dem + " --directions 16 --quiet -o " + terrain, folder).status, 0);
  Georeference georeference;
  std::string problem;
  ASSERT_EQ(readGeoreference(terrain, 21, 21, georeference, problem), GeoreferenceStatus::kRead) << problem;
  const double convergence = meridianConvergence(georeference);
  EXPECT_LT(convergence, -1.0);  // 2.6 degrees west of the central meridian at 45 N
  GeoSite site;
  ASSERT_TRUE(georeferenceSite(georeference, site, problem)) << problem;
  UtcTime time;
  ASSERT_TRUE(parseIsoTime("2026-06-21T09:00Z", time, problem));
  const SiteSun sun = sunAtSite(site, time);
  ASSERT_TRUE(sun.isUp());
  ASSERT_EQ(run(kSkylightTool + " " + terrain + " --time 2026-06-21T09:00Z --no-sun --csv " + atTime, folder).status,
            0);
  char typedSun[80];
  std::snprintf(typedSun, sizeof typedSun, "%.17g,%.17g", sun.elevationDegrees,
                std::fmod(sun.bearingDegrees - convergence + 360, 360.0));
  ASSERT_EQ(run(kSkylightTool + " " + terrain + " --sun " + typedSun + " --csv " + typed, folder).status, 0);
  EXPECT_EQ(readFile(atTime), readFile(typed));
  std::snprintf(typedSun, sizeof typedSun, "%.17g,%.17g", sun.elevationDegrees, sun.bearingDegrees);
  ASSERT_EQ(run(kSkylightTool + " " + terrain + " --sun " + typedSun + " --csv " + typed, folder).status, 0);
  EXPECT_NE(readFile(atTime), readFile(typed));
}

TEST(HalvaneSkylightGeoTiffTest, MapOfASyntheticTerrainHasNoGeoreference) {
  ScratchFolder folder;
  std::string terrain = folder.file("s.hrz"), map = folder.file("s.TIFF");
  ASSERT_EQ(run(kTerrainTool + " --synthetic 10 --directions 4 -o " + terrain, folder).status, 0);
  ASSERT_EQ(run(kSkylightTool + " " + terrain + " -o " + map, folder).status, 0);
  GDALAllRegister();
  GeoTiff tiff = readGeoTiff(map);
  EXPECT_EQ(tiff.width, 10);
  EXPECT_TRUE(tiff.gt.empty());
  // A map that cannot be written: status 1 and a message.
  ToolRun r = run(kSkylightTool + " " + terrain + " -o /nonexistent-folder/m.tif", folder);
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(mentions(r.err, "/nonexistent-folder/m.tif")) << r.err;
}

}  // namespace
