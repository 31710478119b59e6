// A deterministic mutation fuzzer over terrain files and DEMs (also run under
// the sanitizers): every case read by the library, a share also by the tools.
#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "sky/sky_model.h"
#include "terrain/dem_import.h"
#include "terrain/sky_light.h"
#include "tools/tool_test_files.h"

namespace {

class FuzzTest : public ToolTest {
 protected:
  struct Case {
    std::string what, command, line;
    bool read = false;
  };

  // Every `toolEvery`-th case also runs the tool: it writes all `outputs`, or
  // none with the library's line and status 1.
  void fuzz(int count, int toolEvery, const std::string& tool, const std::vector<std::string>& outputs,
            const std::function<void(Case&)>& make) {
    int refused = 0, read = 0;
    for (int trial = 0, left = 5; trial < count && (!HasFailure() || --left > 0); ++trial) {
      Case c;
      c.what = "case " + std::to_string(trial) + ":";
      make(c);
      ++(c.read ? read : refused);
      if (trial % toolEvery != 0) continue;
      SCOPED_TRACE(c.what);
      for (const std::string& output : outputs) std::remove(output.c_str());
      const Result run = shell(c.command);
      EXPECT_EQ(run.status, c.read ? 0 : 1) << run.err;
      if (!c.read) {
        EXPECT_EQ(run.err, tool + ": " + c.line + "\n");
      }
      for (const std::string& output : outputs) EXPECT_EQ(exists(output), c.read) << output;
    }
    std::printf("%s fuzz: %d cases, %d refused, %d read\n", tool.c_str(), refused + read, refused, read);
    EXPECT_GT(refused, count / 4);  // the mutations reach the checks...
    EXPECT_GT(read, count / 10);    // ...and the computation
  }
};

// A valid terrain of 6 x 5 cells in 3 directions.
std::string seedTerrain(std::mt19937& random) {
  std::vector<float> heights(6 * 5);
  std::vector<uint16_t> horizons(6 * 5 * 3);
  for (float& h : heights) h = float(random() % 2000) / 10 - 100;
  for (uint16_t& v : horizons) v = uint16_t(random());
  return terrainBytes(6, 5, 3, heights, horizons);
}

void putInt32(std::string& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4 && at + i < bytes.size(); ++i) bytes[at + i] = char(value >> (8 * i));
}

// One mutation of a terrain file, described in `what`.
void mutateTerrain(std::string& bytes, std::mt19937& random, std::string& what) {
  static const uint32_t kSizes[] = {0, 1, 2, 3, 5, 6, 1024, 1025, 1u << 20, 65536, 0x7fffffff, 0x80000000,
                                    0xffffffff, 46341};
  static const float kHeights[] = {NAN, INFINITY, -INFINITY, 3.4e38f, -3.4e38f, 1e9f, 1.0001e9f, -1e9f,
                                   1e-45f, -0.0f, 1e30f};
  switch (random() % 6) {
    case 0: {  // a header size
      const size_t at = 2 + 4 * (random() % 3);
      const uint32_t value = kSizes[random() % (sizeof kSizes / sizeof *kSizes)];
      putInt32(bytes, at, value);
      what += " size@" + std::to_string(at) + "=" + std::to_string(value);
      break;
    }
    case 1: {  // a height
      const size_t cell = random() % 30;
      const float value = kHeights[random() % (sizeof kHeights / sizeof *kHeights)];
      uint32_t u;
      std::memcpy(&u, &value, 4);
      putInt32(bytes, 14 + 4 * cell, u);
      what += " height" + std::to_string(cell) + "=" + std::to_string(value);
      break;
    }
    case 2:  // bytes of the header or anywhere
      for (int f = 0, flips = 1 + int(random() % 4); f < flips; ++f) {
        const size_t at = random() % 2 ? random() % 14 : random() % bytes.size();
        bytes[at] = char(random());
        what += " byte@" + std::to_string(at);
      }
      break;
    case 3:  // cut short
      bytes.resize(random() % bytes.size());
      what += " cut@" + std::to_string(bytes.size());
      break;
    case 4:  // longer than promised
      for (int k = 0, n = int(random() % 64); k < n; ++k) bytes.push_back(char(random()));
      what += " longer";
      break;
    default:  // the type line
      bytes[random() % 2] = "nph\r\n x"[random() % 7];
      what += " type";
  }
}

TEST_F(FuzzTest, TerrainFiles) {
  const std::string input = path("fuzz.hrz"), map = path("fuzz.png");
  std::mt19937 random(20240611);
  fuzz(2400, 24, "halvane-skylight", {map}, [&](Case& c) {
    std::string bytes = seedTerrain(random);
    for (int m = 0, n = 1 + int(random() % 3); m < n && !bytes.empty(); ++m) mutateTerrain(bytes, random, c.what);
    SCOPED_TRACE(c.what);
    writeFile(input, bytes);
    c.command = HALVANE_SKYLIGHT_TOOL " " + input + " -o " + map;
    Terrain terrain;
    TerrainError error;
    c.read = readTerrain(input, terrain, error);
    c.line = error.toolLine;
    if (!c.read) {
      EXPECT_TRUE(!error.message.empty() && error.message.find('\n') == error.message.size() - 1) << error.message;
      EXPECT_FALSE(c.line.empty());
      EXPECT_EQ(c.line.find('\n'), std::string::npos) << c.line;
      return;
    }
    for (float h : terrain.terrainHeights) ASSERT_TRUE(isUsableHeight(h)) << h;
    const std::vector<float> grid = computeSkyLight(terrain, Sky());
    ASSERT_EQ(grid.size(), terrain.numCells());
    for (float value : grid) ASSERT_TRUE(std::isfinite(value) && value >= 0 && value <= 1) << value;
  });
}

template <typename T>
T pick(std::mt19937& random, const std::vector<T>& values) {
  return values[random() % values.size()];
}

std::string hostileNumber(std::mt19937& random) {
  return pick<std::string>(random, {"0", "1", "-1", "5", "10", "nan", "inf", "-inf", "1e300", "-1e300", "1e-300",
                                    "3.4e38", "1e39", "-3.5e38", "2147483647", "99999999999", "x", ""});
}

// An Esri ASCII grid, its header and values drawn from ordinary and hostile ones.
std::string asciiGrid(std::mt19937& random, std::string& what) {
  const int cols = 2 + int(random() % 6), rows = 2 + int(random() % 6);
  std::string header[6] = {"ncols " + std::to_string(cols), "nrows " + std::to_string(rows), "xllcorner 1000",
                           "yllcorner 2000", "cellsize 5", "NODATA_value -9999"};
  const int damaged = int(random() % 7);  // 6: the header stays whole
  if (damaged < 6) {
    const std::string key = header[damaged].substr(0, header[damaged].find(' '));
    header[damaged] = key + " " + hostileNumber(random);
    what += " header " + header[damaged];
  }
  std::string text;
  for (const std::string& line : header) text += line + "\n";
  const int values = cols * rows + (random() % 4 == 0 ? int(random() % 5) - 2 : 0);
  for (int k = 0; k < values; ++k) {
    text += random() % 8 == 0 ? hostileNumber(random) : std::to_string(random() % 300);
    text += (k + 1) % cols == 0 ? "\n" : " ";
  }
  return text;
}

// A VRT over a small GeoTIFF, its sizes, transform, scale, offset and no-data value hostile at times.
std::string vrt(std::mt19937& random, const std::string& source, std::string& what) {
  auto maybe = [&](const std::string& ordinary) {
    if (random() % 5 != 0) return ordinary;
    std::string hostile = hostileNumber(random);
    what += " " + ordinary + "->" + hostile;
    return hostile;
  };
  const std::string width = random() % 6 == 0 ? pick<std::string>(random, {"200000", "2147483647", "0", "-3"}) : "41";
  const std::string height = random() % 6 == 0 ? pick<std::string>(random, {"200000", "1", "0"}) : "41";
  what += " " + width + "x" + height;
  return "<VRTDataset rasterXSize=\"" + width + "\" rasterYSize=\"" + height + "\">\n"
         "  <SRS>EPSG:" + pick<std::string>(random, {"32633", "4326", "3857"}) + "</SRS>\n"
         "  <GeoTransform>" + maybe("500000") + ", " + maybe("10") + ", 0, " + maybe("5000000") + ", 0, " +
         maybe("-10") + "</GeoTransform>\n"
         "  <VRTRasterBand dataType=\"Float32\" band=\"1\">\n"
         "    <NoDataValue>" + maybe("-9999") + "</NoDataValue>\n"
         "    <Offset>" + maybe("0") + "</Offset>\n    <Scale>" + maybe("1") + "</Scale>\n"
         "    <ComplexSource><SourceFilename relativeToVRT=\"0\">" + source + "</SourceFilename>"
         "<SourceBand>1</SourceBand><SrcRect xOff=\"0\" yOff=\"0\" xSize=\"41\" ySize=\"41\"/>"
         "<DstRect xOff=\"0\" yOff=\"0\" xSize=\"41\" ySize=\"41\"/></ComplexSource>\n"
         "  </VRTRasterBand>\n</VRTDataset>\n";
}

// A GeoTIFF whose cells hold hostile values here and there.
std::string hostileTiff(std::mt19937& random, const std::string& folder, const std::string& name, std::string& what) {
  const float kValues[] = {NAN, INFINITY, -INFINITY, 3.4e38f, -3.4e38f, -9999};
  const unsigned seed = unsigned(random());
  const int width = 3 + int(random() % 20), height = 3 + int(random() % 20);
  what += " tiff " + std::to_string(width) + "x" + std::to_string(height);
  return writeRaster(folder, name, width, height, {0, 2, 0, 100, 0, -2}, random() % 2 ? 32633 : 0,
                     [&](int col, int row) {
                       std::mt19937 cell(seed + unsigned(col * 131 + row));
                       return cell() % 6 == 0 ? double(kValues[cell() % 6]) : double(cell() % 100);
                     },
                     random() % 2 ? -9999.0 : NAN);
}

// A request for the DEM: its own values and the same as tool arguments.
DemRequest hostileRequest(std::mt19937& random, const std::string& file, std::vector<std::string>& arguments,
                          std::string& what) {
  DemRequest request;
  request.fileName = file;
  switch (random() % 5) {
    case 0: {
      const long long values[] = {0, 1, 2, 3, 40, 41, 100000, INT_MAX};
      request.hasWindow = true;
      std::string text;
      for (int k = 0; k < 4; ++k) {
        request.window[k] = values[random() % 8];
        if (k >= 2 && request.window[k] == 0) request.window[k] = 2;
        text += (k ? "," : "") + std::to_string(request.window[k]);
      }
      arguments.insert(arguments.end(), {"--window", text});
      break;
    }
    case 1: {
      const double values[] = {-1e300, 0, 50, 500000, 500100, 4999800, 5000000, 1e300};
      request.hasBounds = true;
      request.bounds = {values[random() % 4], values[random() % 4 + 1], values[4 + random() % 4], values[3 + random() % 5]};
      if (request.bounds[0] >= request.bounds[2] || request.bounds[1] >= request.bounds[3]) {
        request.hasBounds = false;
        break;
      }
      char text[256];
      std::snprintf(text, sizeof text, "%.17g,%.17g,%.17g,%.17g", request.bounds[0], request.bounds[1],
                    request.bounds[2], request.bounds[3]);
      arguments.insert(arguments.end(), {"--bounds", text});
      break;
    }
    case 2:
      request.maxSize = 2 + int(random() % 30);
      arguments.insert(arguments.end(), {"--max-size", std::to_string(request.maxSize)});
      break;
    default:
      break;
  }
  for (size_t k = 2; k < arguments.size(); ++k) what += " " + arguments[k];
  return request;
}

TEST_F(FuzzTest, Dems) {
  const std::string cone = utmCone(folder_), output = path("out.hrz");
  std::mt19937 random(20240612);
  fuzz(600, 10, "halvane-terrain", {output, output + ".json"}, [&](Case& c) {
    const int kind = int(random() % 3);  // an ASCII grid, a VRT or a GeoTIFF
    const std::string file = kind == 2 ? hostileTiff(random, folder_, "fuzz.tif", c.what)
                                       : path(kind == 1 ? "fuzz.vrt" : "fuzz.asc");
    if (kind < 2) writeFile(file, kind == 1 ? vrt(random, cone, c.what) : asciiGrid(random, c.what));
    std::vector<std::string> arguments = {HALVANE_TERRAIN_TOOL, "--dem", file};
    const DemRequest request = hostileRequest(random, file, arguments, c.what);
    SCOPED_TRACE(c.what);
    // HALVANE_FUZZ_TRACE=1 names each case before it runs (to find one that hangs).
    if (std::getenv("HALVANE_FUZZ_TRACE")) std::fprintf(stderr, "%s\n", c.what.c_str());
    for (const std::string& argument : arguments) c.command += argument + " ";
    c.command += "--directions 2 --quiet -o " + output;
    DemTerrain terrain;
    c.read = importDem(request, terrain, c.line, nullptr, "");
    if (!c.read) {
      EXPECT_EQ(c.line.find('\n'), std::string::npos) << c.line;
      EXPECT_EQ(c.line.rfind(file + ": ", 0), 0u) << c.line;
      return;
    }
    ASSERT_GE(terrain.gridSizeX, 2);
    ASSERT_GE(terrain.gridSizeY, 2);
    ASSERT_LE((long long)terrain.gridSizeX * terrain.gridSizeY, request.maxCells);
    if (request.maxSize) {
      ASSERT_LE(std::max(terrain.gridSizeX, terrain.gridSizeY), request.maxSize);
    }
    for (float h : terrain.heights) ASSERT_TRUE(isUsableHeight(h)) << h;
  });
}

}  // namespace
