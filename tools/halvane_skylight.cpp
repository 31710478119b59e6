// halvane-skylight: the sky light of a terrain file under a given sky, as a
// map for GIS users and scripts.
//
//   halvane-skylight TERRAIN.hrz [--sky NAME] [--sun ELEVATION,BEARING]
//                    [-o MAP.png | -o MAP.tif] [--csv FILE] [--svf FILE]
//
// Without -o, --csv and --svf the values go to standard output as text. A map named
// .tif or .tiff is a GeoTIFF, georeferenced when the terrain came from a DEM
// (its georeference lies beside it in TERRAIN.hrz.json).
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "sky/sky_grid.h"
#include "sky/sky_model.h"
#include "terrain/georeference.h"
#include "terrain/sky_view.h"
#include "terrain/terrain_file.h"
#include "tools/grid_output.h"
#include "tools/sky_options.h"

namespace {

const char* const kUsage =
    "usage: halvane-skylight TERRAIN.hrz [--sky NAME] [--sun ELEVATION,BEARING] [-o MAP.png|MAP.tif] [--csv FILE]\n"
    "                        [--svf FILE.tif|FILE.png|FILE.csv]\n"
    "  --sky NAME              uniform, overcast, clear, sharp, point, cosine, turbid,\n"
    "                          or general-1 to general-15 (default general-12)\n"
    "  --sun ELEVATION,BEARING the sun in degrees: elevation 0 to 90, compass bearing\n"
    "                          0 to 360 (default 45,180)\n"
    "  -o MAP.png              the brightness of every cell as a 16-bit greyscale PNG\n"
    "  -o MAP.tif              the brightness as a 32-bit float GeoTIFF, north up, with the\n"
    "                          DEM's georeference when the terrain came from one\n"
    "  --csv FILE              the brightness as text, one grid row per line\n"
    "  --svf FILE              the sky-view factor of every cell: the share of the light of a\n"
    "                          uniform sky that reaches its tilted surface, relative to open\n"
    "                          level ground (1), from the stored horizons (Dozier and Frew's Vd);\n"
    "                          .tif: a GeoTIFF like -o, .png: 16-bit greyscale, .csv: text\n"
    "Without -o, --csv and --svf the text goes to standard output.\n";

[[noreturn]] void badArguments(const std::string& message) {
  std::fprintf(stderr, "halvane-skylight: %s\n", message.c_str());
  std::exit(2);
}

enum class MapKind { kGeoTiff, kPng, kCsv, kUnknown };

// The kind of map a file name asks for, by its extension in any case.
MapKind mapKind(const std::string& name) {
  std::string lower;
  for (char c : name) lower += char(std::tolower((unsigned char)c));
  auto endsWith = [&](const std::string& tail) {
    return lower.size() > tail.size() && lower.compare(lower.size() - tail.size(), tail.size(), tail) == 0;
  };
  if (endsWith(".tif") || endsWith(".tiff")) return MapKind::kGeoTiff;
  if (endsWith(".png")) return MapKind::kPng;
  if (endsWith(".csv") || endsWith(".txt")) return MapKind::kCsv;
  return MapKind::kUnknown;
}

struct Options {
  std::string terrain, png, csv, svf;
  SkyDistribution distribution = appState.distribution;
  int generalType = appState.generalType;
  float sunElevation = appState.sunElevation;
  float sunAzimuth = appState.sunAzimuth;
};

Options parseArguments(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    bool hasValue = i + 1 < argc;
    std::string value = hasValue ? argv[i + 1] : "";
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      std::exit(0);
    } else if (arg == "--sky") {
      if (!hasValue || !parseSkyName(value, options.distribution, options.generalType))
        badArguments("--sky takes " + std::string(kSkyNamesAccepted) +
                     (hasValue ? ", not '" + value + "'" : ""));
      ++i;
    } else if (arg == "--sun") {
      if (!hasValue || !parseSun(value, options.sunElevation, options.sunAzimuth))
        badArguments("--sun takes " + std::string(kSunAccepted) +
                     (hasValue ? ", not '" + value + "'" : ""));
      ++i;
    } else if (arg == "-o" || arg == "--csv") {
      if (!hasValue || value.empty())
        badArguments(arg + " takes the name of the file to write");
      (arg == "-o" ? options.png : options.csv) = value;
      ++i;
    } else if (arg == "--svf") {
      if (!hasValue || mapKind(value) == MapKind::kUnknown)
        badArguments("--svf takes the name of a .tif, .png or .csv file" + (hasValue ? ", not '" + value + "'" : ""));
      options.svf = value;
      ++i;
    } else if (arg.size() > 1 && arg[0] == '-') {
      badArguments("unknown option '" + arg +
                   "'; accepted: --sky NAME, --sun ELEVATION,BEARING, -o MAP.png, --csv FILE, --svf FILE, --help");
    } else if (options.terrain.empty()) {
      options.terrain = arg;
    } else {
      badArguments("one terrain file only, not also '" + arg + "'");
    }
  }
  if (options.terrain.empty()) badArguments("give the terrain file (TERRAIN.hrz); --help shows the usage");
  return options;
}

bool isGeoTiffName(const std::string& name) { return mapKind(name) == MapKind::kGeoTiff; }

// Reads the terrain's georeference into `georeference`; false when it has
// none. A georeference that does not fit the terrain is reported and left out.
bool terrainGeoreference(const std::string& terrain, int gridSizeX, int gridSizeY, Georeference& georeference) {
  std::string problem;
  GeoreferenceStatus status = readGeoreference(terrain, gridSizeX, gridSizeY, georeference, problem);
  if (status == GeoreferenceStatus::kBad)
    std::fprintf(stderr, "halvane-skylight: %s; the map is written without georeference\n", problem.c_str());
  return status == GeoreferenceStatus::kRead;
}

// Writes the GeoTIFF map, with the terrain's georeference if it has one.
bool writeMap(const std::string& map, const std::string& terrain, const float* grid, int gridSizeX,
              int gridSizeY, std::string& error) {
  Georeference georeference;
  bool georeferenced = terrainGeoreference(terrain, gridSizeX, gridSizeY, georeference);
  return writeGeoTiff(map, grid, gridSizeX, gridSizeY, georeferenced ? &georeference : nullptr, error);
}

// The sky-view factor of every cell of the terrain file, written to `map`; a
// terrain file that cannot be read ends the program as for the sky light.
bool writeSkyView(const std::string& map, const std::string& terrainFile, std::string& error) {
  TerrainFile file;
  TerrainRecord terrain;
  TerrainError problem;
  if (!file.open(terrainFile, terrain, problem)) exitWithTerrainError(problem);
  const int sizeX = terrain.gridSizeX, sizeY = terrain.gridSizeY;
  std::vector<float> factors;
  try {
    std::vector<uint16_t> horizons(terrain.numCells() * size_t(terrain.numDirections));
    if (!file.readHorizonBlocks(terrain.numDirections, horizons.data(), problem)) exitWithTerrainError(problem);
    factors = computeSkyViewFactor(horizons.data(), terrain.numDirections, sizeX, sizeY,
                                   terrain.terrainNormals.data());
  } catch (const std::bad_alloc&) {
    error = "not enough memory for the horizons of " + terrainFile;
    return false;
  }
  file.close();
  switch (mapKind(map)) {
    case MapKind::kPng:
      return writeGreyscalePng(map, factors.data(), sizeX, sizeY, error);
    case MapKind::kCsv:
      return writeGridCsv(map, factors.data(), sizeX, sizeY, error);
    default:
      break;
  }
  Georeference georeference;
  GeoTiffBands content;
  content.gridSizeX = sizeX;
  content.gridSizeY = sizeY;
  content.bands = {{"sky-view factor", "", {}}};
  content.values = [&](int, float* grid) { std::copy(factors.begin(), factors.end(), grid); };
  content.metadata = {{"SKY_VIEW_FACTOR",
                       "share of the light of a uniform sky reaching the cell's tilted surface, relative to open "
                       "level ground; Dozier and Frew (1990) Vd from " +
                           std::to_string(terrain.numDirections) + " horizon directions"}};
  if (terrainGeoreference(terrainFile, sizeX, sizeY, georeference)) content.georeference = &georeference;
  return writeGeoTiffBands(map, content, error);
}

}  // namespace

int main(int argc, char** argv) {
  Options options = parseArguments(argc, argv);
  setSkyDiagnostics(stderr, stderr);
  applySkyAndSun(options.distribution, options.generalType, options.sunElevation, options.sunAzimuth);

  std::string error;
  if (!options.svf.empty() && !writeSkyView(options.svf, options.terrain, error)) {
    std::fprintf(stderr, "halvane-skylight: %s\n", error.c_str());
    return 1;
  }
  if (!options.svf.empty() && options.png.empty() && options.csv.empty()) return 0;

  int gridSizeX = 0, gridSizeY = 0;
  const float* grid = computeSkyGrid(options.terrain, gridSizeX, gridSizeY);

  if (!options.png.empty() &&
      !(isGeoTiffName(options.png) ? writeMap(options.png, options.terrain, grid, gridSizeX, gridSizeY, error)
                                   : writeGreyscalePng(options.png, grid, gridSizeX, gridSizeY, error))) {
    std::fprintf(stderr, "halvane-skylight: %s\n", error.c_str());
    return 1;
  }
  if (!options.csv.empty() && !writeGridCsv(options.csv, grid, gridSizeX, gridSizeY, error)) {
    std::fprintf(stderr, "halvane-skylight: %s\n", error.c_str());
    return 1;
  }
  if (options.png.empty() && options.csv.empty() && !printGridCsv(stdout, grid, gridSizeX, gridSizeY)) {
    std::fprintf(stderr, "halvane-skylight: cannot write to standard output\n");
    return 1;
  }
  return 0;
}
