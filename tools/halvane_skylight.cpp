// halvane-skylight: the sky light of a terrain file under a given sky, as a
// map for GIS users and scripts.
//
//   halvane-skylight TERRAIN.hrz [--sky NAME] [--sun ELEVATION,BEARING]
//                    [-o MAP.png [--colour] | -o MAP.tif] [--csv FILE]
//
// Without -o and --csv the values go to standard output as text. A map named
// .tif or .tiff is a GeoTIFF, georeferenced when the terrain came from a DEM
// (its georeference lies beside it in TERRAIN.hrz.json). The map and the text
// are committed together: both destinations are checked before the terrain
// is read, and neither replaces an earlier file unless both were written.
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "core/angles.h"
#include "core/output_file.h"
#include "sky/sky_model.h"
#include "terrain/georeference.h"
#include "terrain/sky_light.h"
#include "terrain/terrain_file.h"
#include "tools/grid_output.h"
#include "tools/map_picture.h"
#include "tools/options.h"
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
    "  -h, --help              this text\n"
    "  --version               the version of Halvane\n"
    "Without -o and --csv the text goes to standard output.\n"
    "Exit status: 0 done, 1 the terrain could not be read or a file not written,\n"
    "2 a bad argument.\n";

const ToolDescription kTool = {
    "halvane-skylight", kUsage,
    "TERRAIN.hrz, --sky NAME, --sun ELEVATION,BEARING, -o MAP.png|MAP.tif, --colour, --csv FILE, --help, "
    "--version"};

// Is the map a GeoTIFF (.tif or .tiff, in any case)?
bool isGeoTiffName(const std::string& name) {
  std::string lower;
  for (char c : name) lower += char(std::tolower((unsigned char)c));
  auto endsWith = [&](const std::string& tail) {
    return lower.size() > tail.size() && lower.compare(lower.size() - tail.size(), tail.size(), tail) == 0;
  };
  return endsWith(".tif") || endsWith(".tiff");
}

struct Options {
  std::string terrain, map, csv;
  std::string skyName = "clear";  // as given, for the title of the --colour picture
  bool colour = false;
  SkyDistribution distribution = SkyDistribution::CLEAR;
  int generalType = Sky().generalType;
  float sunElevation = kDefaultSunElevation;
  float sunAzimuth = kDefaultSunAzimuth;
};

Options parseArguments(OptionReader& args) {
  Options options;
  while (args.next()) {
    if (args.is("--sky")) {
      options.skyName = args.value(kSkyNamesAccepted);
      if (!parseSkyName(options.skyName, options.distribution, options.generalType))
        args.refuse(kSkyNamesAccepted, options.skyName);
      continue;
    }
    if (readSkyOrSun(args, options.distribution, options.generalType, options.sunElevation, options.sunAzimuth))
      continue;
    if (args.isFlag("--colour")) {
      options.colour = true;
    } else if (args.is("-o") || args.is("--csv")) {
      const char* what = "the name of the file to write";
      std::string& name = args.is("-o") ? options.map : options.csv;
      name = args.value(what);
      if (name.empty()) args.refuse(what, name);
    } else if (args.isOperand() && options.terrain.empty()) {
      options.terrain = args.argument();
    } else if (args.isOperand()) {
      failArgument("one terrain file only, not also '" + args.argument() + "'");
    } else {
      args.unknown();
    }
  }
  if (options.terrain.empty()) failArgument("give the terrain file (TERRAIN.hrz); --help shows the usage");
  if (options.colour && (options.map.empty() || isGeoTiffName(options.map)))
    failArgument("--colour draws a PNG map: give -o MAP.png");
  return options;
}


// The terrain file, read whole, or the end of the tool.
Terrain readTerrainOrFail(const std::string& name) {
  Terrain terrain;
  TerrainError error;
  if (!readTerrain(name, terrain, error)) failInputOutput(error.toolLine);
  return terrain;
}

// The PNG map as a picture: colour map, north arrow, colour bar, and the sky
// and sun as its title.
bool writeColourMap(OutputFile& map, const Options& options, const std::vector<float>& grid,
                    const Terrain& terrain) {
  char sun[96];
  std::snprintf(sun, sizeof sun, ", sun at %.0f\u00b0 elevation and bearing %.0f\u00b0",
                displayedElevation(options.sunElevation), displayedBearing(options.sunAzimuth));
  const MapLegend legend{"sky light relative to the brightest cell", options.skyName + " sky" + sun,
                         std::nullopt};
  return writeMapPng(map, grid.data(), terrain.gridSizeX, terrain.gridSizeY, legend);
}

// Writes the map: a GeoTIFF, with the terrain's georeference if it has one
// (one that does not fit the terrain is reported and left out), or a PNG.
bool writeMap(OutputFile& map, const Options& options, const std::vector<float>& grid,
              const Terrain& terrain) {
  const std::string& terrainName = options.terrain;
  if (!isGeoTiffName(map.name()))
    return options.colour ? writeColourMap(map, options, grid, terrain)
                          : writeGreyscalePng(map, grid.data(), terrain.gridSizeX, terrain.gridSizeY);
  Georeference georeference;
  std::string problem;
  GeoreferenceStatus status =
      readGeoreference(terrainName, terrain.gridSizeX, terrain.gridSizeY, georeference, problem);
  if (status == GeoreferenceStatus::kBad)
    std::fprintf(stderr, "halvane-skylight: %s; the map is written without georeference\n", problem.c_str());
  return writeGeoTiff(map, grid.data(), terrain.gridSizeX, terrain.gridSizeY,
                      status == GeoreferenceStatus::kRead ? &georeference : nullptr);
}

int run(OptionReader& args) {
  const Options options = parseArguments(args);
  OutputFileSet outputs;
  OutputFile* map = options.map.empty() ? nullptr : &outputs.add(options.map);
  OutputFile* csv = options.csv.empty() ? nullptr : &outputs.add(options.csv);
  OutputFile standardOutput = OutputFile::standardOutput();
  if (!map && !csv) csv = &standardOutput;
  std::string error;
  if (!outputs.checkAll(error)) failInputOutput(error);

  setSkyDiagnostics(stderr, stderr);
  const Sky sky(options.distribution, options.generalType, options.sunElevation, options.sunAzimuth);
  const Terrain terrain = readTerrainOrFail(options.terrain);
  const std::vector<float> grid = computeSkyLight(terrain, sky);

  if (map && !writeMap(*map, options, grid, terrain)) failInputOutput(map->error());
  if (csv && !writeGridCsv(*csv, grid.data(), terrain.gridSizeX, terrain.gridSizeY)) failInputOutput(csv->error());
  if (!outputs.commitAll(error)) failInputOutput(error);
  if (csv == &standardOutput && !standardOutput.commit()) failInputOutput(standardOutput.error());
  return kExitDone;
}

}  // namespace

int main(int argc, char** argv) { return runTool(kTool, argc, argv, run); }
