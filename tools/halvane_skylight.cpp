// halvane-skylight: the sky light of a terrain file under a given sky, as a
// map for GIS users and scripts.
//
//   halvane-skylight TERRAIN.hrz [--sky NAME] [--sun ELEVATION,BEARING]
//                    [-o MAP.png [--colour] | -o MAP.tif] [--csv FILE]
//
// Without -o and --csv the values go to standard output as text. A map named
// .tif or .tiff is a GeoTIFF, georeferenced when the terrain came from a DEM
// (its georeference lies beside it in TERRAIN.hrz.json).
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/angles.h"
#include "sky/sky_model.h"
#include "terrain/georeference.h"
#include "terrain/sky_grid.h"
#include "tools/grid_output.h"
#include "tools/map_picture.h"
#include "tools/sky_options.h"

namespace {

const char* const kUsage =
    "usage: halvane-skylight TERRAIN.hrz [--sky NAME] [--sun ELEVATION,BEARING] [-o MAP.png [--colour]|MAP.tif]\n"
    "                        [--csv FILE]\n"
    "  --sky NAME              uniform, overcast, clear, sharp, point, cosine, turbid,\n"
    "                          or general-1 to general-15 (default clear)\n"
    "  --sun ELEVATION,BEARING the sun in degrees: elevation 0 to 90, compass bearing\n"
    "                          0 to 360 (default 45,180)\n"
    "  -o MAP.png              the brightness of every cell as a 16-bit greyscale PNG\n"
    "  --colour                the PNG as a picture to read: the map north up in a\n"
    "                          perceptually uniform colour map, with a colour bar\n"
    "  -o MAP.tif              the brightness as a 32-bit float GeoTIFF, north up, with the\n"
    "                          DEM's georeference when the terrain came from one\n"
    "  --csv FILE              the brightness as text, one grid row per line\n"
    "Without -o and --csv the text goes to standard output.\n";

[[noreturn]] void badArguments(const std::string& message) {
  std::fprintf(stderr, "halvane-skylight: %s\n", message.c_str());
  std::exit(2);
}

struct Options {
  std::string terrain, png, csv;
  std::string sky = "clear";  // as given, for the title of the --colour picture
  bool colour = false;
  SkyDistribution distribution = SkyDistribution::CLEAR;
  int generalType = Sky().generalType;
  float sunElevation = kDefaultSunElevation;
  float sunAzimuth = kDefaultSunAzimuth;
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
      options.sky = value;
      ++i;
    } else if (arg == "--sun") {
      if (!hasValue || !parseSun(value, options.sunElevation, options.sunAzimuth))
        badArguments("--sun takes " + std::string(kSunAccepted) +
                     (hasValue ? ", not '" + value + "'" : ""));
      ++i;
    } else if (arg == "--colour") {
      options.colour = true;
    } else if (arg == "-o" || arg == "--csv") {
      if (!hasValue || value.empty())
        badArguments(arg + " takes the name of the file to write");
      (arg == "-o" ? options.png : options.csv) = value;
      ++i;
    } else if (arg.size() > 1 && arg[0] == '-') {
      badArguments("unknown option '" + arg +
                   "'; accepted: --sky NAME, --sun ELEVATION,BEARING, -o MAP.png, --colour, --csv FILE, --help");
    } else if (options.terrain.empty()) {
      options.terrain = arg;
    } else {
      badArguments("one terrain file only, not also '" + arg + "'");
    }
  }
  if (options.terrain.empty()) badArguments("give the terrain file (TERRAIN.hrz); --help shows the usage");
  return options;
}

// Is the map a GeoTIFF (.tif or .tiff, in any case)?
bool isGeoTiffName(const std::string& name) {
  std::string lower;
  for (char c : name) lower += char(std::tolower((unsigned char)c));
  auto endsWith = [&](const std::string& tail) {
    return lower.size() > tail.size() && lower.compare(lower.size() - tail.size(), tail.size(), tail) == 0;
  };
  return endsWith(".tif") || endsWith(".tiff");
}

// Writes the GeoTIFF map, with the terrain's georeference if it has one. A
// georeference that does not fit the terrain is reported and left out.
bool writeMap(const std::string& map, const std::string& terrain, const float* grid, int gridSizeX,
              int gridSizeY, std::string& error) {
  Georeference georeference;
  std::string problem;
  GeoreferenceStatus status = readGeoreference(terrain, gridSizeX, gridSizeY, georeference, problem);
  if (status == GeoreferenceStatus::kBad)
    std::fprintf(stderr, "halvane-skylight: %s; the map is written without georeference\n", problem.c_str());
  return writeGeoTiff(map, grid, gridSizeX, gridSizeY,
                      status == GeoreferenceStatus::kRead ? &georeference : nullptr, error);
}

// Writes the PNG map as a picture: colour map, north arrow, colour bar, and
// the sky and sun as its title.
bool writeColourMap(const std::string& map, const Options& options, const float* grid, int gridSizeX,
                    int gridSizeY, std::string& error) {
  char sun[96];
  std::snprintf(sun, sizeof sun, ", sun at %.0f\u00b0 elevation and bearing %.0f\u00b0",
                displayedElevation(options.sunElevation), displayedBearing(options.sunAzimuth));
  const MapLegend legend{"sky light relative to the brightest cell", options.sky + " sky" + sun, std::nullopt};
  return writeMapPng(map, grid, gridSizeX, gridSizeY, legend, error);
}

}  // namespace

int main(int argc, char** argv) {
  Options options = parseArguments(argc, argv);
  if (options.colour && (options.png.empty() || isGeoTiffName(options.png)))
    badArguments("--colour draws a PNG map: give -o MAP.png");
  setSkyDiagnostics(stderr, stderr);
  const Sky sky(options.distribution, options.generalType, options.sunElevation, options.sunAzimuth);

  TerrainSkyGrid map;
  TerrainError terrainError;
  if (!computeSkyGrid(options.terrain, sky, map, terrainError)) exitWithTerrainError(terrainError);
  const float* grid = map.skyGrid.data();
  const int gridSizeX = map.terrain.gridSizeX, gridSizeY = map.terrain.gridSizeY;

  std::string error;
  if (!options.png.empty() &&
      !(isGeoTiffName(options.png) ? writeMap(options.png, options.terrain, grid, gridSizeX, gridSizeY, error)
                                   : options.colour ? writeColourMap(options.png, options, grid, gridSizeX, gridSizeY, error)
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
