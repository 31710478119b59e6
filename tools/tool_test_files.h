// Test helpers for the tools as users run them, and the files they write, read back.
#pragma once

#include <sys/wait.h>
#include <gdal.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "terrain/terrain_test_files.h"

// The three tools as the build made them.
inline const std::string kTerrainTool = HALVANE_TERRAIN_TOOL;
inline const std::string kSkylightTool = HALVANE_SKYLIGHT_TOOL;
inline const std::string kSamplesTool = HALVANE_SAMPLES_TOOL;

inline int lineCount(const std::string& text) { return int(std::count(text.begin(), text.end(), '\n')); }

// Two numbers typed with every digit, as --sun and --site take them.
inline std::string typed(double first, double second) {
  char text[80];
  std::snprintf(text, sizeof text, "%.17g,%.17g", first, second);
  return text;
}

// A test with a folder under /tmp, removed with everything in it at the end.
class ToolTest : public ScratchFolderTest {
 protected:
  struct Result {
    int status = -1;
    std::string out, err;
  };

  // Runs a command line through the shell, its output into "out" and "err".
  Result shell(const std::string& command) {
    Result result;
    const int raw = std::system((command + " >" + path("out") + " 2>" + path("err")).c_str());
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = readFile(path("out"));
    result.err = readFile(path("err"));
    return result;
  }

  // The names in the folder but "out" and "err", sorted.
  std::vector<std::string> files() {
    std::vector<std::string> names = entries();
    names.erase(std::remove_if(names.begin(), names.end(), [](const std::string& n) { return n == "out" || n == "err"; }),
                names.end());
    return names;
  }

  // The command line (a tool and its arguments) ends with `status`, one line
  // on standard error that starts with the tool's name and contains
  // `mentions` and `alsoMentions`, no output and no file made.
  void expectRefused(const std::string& command, int status, const std::string& mentions,
                     const std::string& alsoMentions = "") {
    SCOPED_TRACE(command);
    const std::vector<std::string> before = files();
    const Result run = shell(command);
    const std::string tool = command.substr(0, command.find(' '));
    EXPECT_EQ(run.status, status);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(!run.err.empty() && run.err.find('\n') == run.err.size() - 1) << run.err;
    EXPECT_EQ(run.err.rfind(tool.substr(tool.rfind('/') + 1) + ": ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(mentions), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(alsoMentions), std::string::npos) << run.err;
    EXPECT_EQ(files(), before);
  }
};

// A raster file (GeoTIFF, PNG) as GDAL reads it: each band's values row by
// row from the north-west corner; `gt` is empty without a geotransform.
struct Raster {
  int width = 0, height = 0;
  GDALDataType type = GDT_Unknown;
  std::vector<double> gt;
  std::string wkt;
  std::vector<std::vector<float>> bands;
};

inline Raster readRaster(const std::string& name) {
  GDALAllRegister();
  Raster raster;
  GDALDatasetH dataset = GDALOpen(name.c_str(), GA_ReadOnly);
  EXPECT_NE(dataset, nullptr) << name;
  if (!dataset) return raster;
  const int width = raster.width = GDALGetRasterXSize(dataset), height = raster.height = GDALGetRasterYSize(dataset);
  double gt[6];
  if (GDALGetGeoTransform(dataset, gt) == CE_None) raster.gt.assign(gt, gt + 6);
  raster.wkt = GDALGetProjectionRef(dataset);
  for (int b = 1; b <= GDALGetRasterCount(dataset); ++b) {
    GDALRasterBandH band = GDALGetRasterBand(dataset, b);
    raster.type = GDALGetRasterDataType(band);
    raster.bands.emplace_back(size_t(width) * height);
    EXPECT_EQ(GDALRasterIO(band, GF_Read, 0, 0, width, height, raster.bands.back().data(), width, height,
                           GDT_Float32, 0, 0),
              CE_None);
  }
  GDALClose(dataset);
  return raster;
}

// All the numbers of a text file, as the floats they were written from (a
// line that does not start with a number, like a header, gives none).
inline std::vector<float> readNumbers(const std::string& name) {
  std::vector<float> values;
  std::istringstream text(readFile(name));
  for (std::string line; std::getline(text, line);) {
    char* end = nullptr;
    for (const char* p = line.c_str(); *p; p = *end == ',' ? end + 1 : end) {
      const double value = std::strtod(p, &end);
      if (end == p) break;
      values.push_back(float(value));
    }
  }
  return values;
}
