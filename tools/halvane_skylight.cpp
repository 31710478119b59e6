// halvane-skylight: the sky light of a terrain file under a given sky, as a
// map for GIS users and scripts.
//
//   halvane-skylight TERRAIN.hrz [--sky NAME] [--sun ELEVATION,BEARING]
//                    [-o MAP.png | -o MAP.tif] [--csv FILE]
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

#include "app/app_state.h"
#include "core/output_file.h"
#include "sky/sky_model.h"
#include "terrain/georeference.h"
#include "terrain/sky_light.h"
#include "terrain/terrain_file.h"
#include "tools/grid_output.h"
#include "tools/options.h"
#include "tools/sky_options.h"

namespace {

const char* const kUsage =
    "usage: halvane-skylight TERRAIN.hrz [--sky NAME] [--sun ELEVATION,BEARING] [-o MAP.png|MAP.tif] [--csv FILE]\n"
    "  --sky NAME              uniform, overcast, clear, sharp, point, cosine, turbid,\n"
    "                          or general-1 to general-15 (default general-12)\n"
    "  --sun ELEVATION,BEARING the sun in degrees: elevation 0 to 90, compass bearing\n"
    "                          0 to 360 (default 45,180)\n"
    "  -o MAP.png              the brightness of every cell as a 16-bit greyscale PNG\n"
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
    "TERRAIN.hrz, --sky NAME, --sun ELEVATION,BEARING, -o MAP.png|MAP.tif, --csv FILE, --help, --version"};

struct Options {
  std::string terrain, map, csv;
  SkyDistribution distribution = appState.distribution;
  int generalType = appState.generalType;
  float sunElevation = appState.sunElevation;
  float sunAzimuth = appState.sunAzimuth;
};

Options parseArguments(OptionReader& args) {
  Options options;
  while (args.next()) {
    if (readSkyOrSun(args, options.distribution, options.generalType, options.sunElevation, options.sunAzimuth))
      continue;
    if (args.is("-o") || args.is("--csv")) {
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

// The normalised sky light of every cell of the terrain file.
std::vector<float> computeSkyLightOf(const std::string& name, TerrainRecord& terrain) {
  TerrainFile file;
  TerrainError error;
  std::vector<float> grid;
  if (!file.open(name, terrain, error) || !computeSkyLight(file, terrain, grid, error))
    failInputOutput(error.toolLine);
  return grid;
}

// Writes the map: a GeoTIFF, with the terrain's georeference if it has one
// (one that does not fit the terrain is reported and left out), or a PNG.
bool writeMap(OutputFile& map, const std::string& terrainName, const std::vector<float>& grid,
              const TerrainRecord& terrain) {
  if (!isGeoTiffName(map.name())) return writeGreyscalePng(map, grid.data(), terrain.gridSizeX, terrain.gridSizeY);
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
  applySkyAndSun(options.distribution, options.generalType, options.sunElevation, options.sunAzimuth);
  TerrainRecord terrain;
  const std::vector<float> grid = computeSkyLightOf(options.terrain, terrain);

  if (map && !writeMap(*map, options.terrain, grid, terrain)) failInputOutput(map->error());
  if (csv && !writeGridCsv(*csv, grid.data(), terrain.gridSizeX, terrain.gridSizeY)) failInputOutput(csv->error());
  if (!outputs.commitAll(error)) failInputOutput(error);
  if (csv == &standardOutput && !standardOutput.commit()) failInputOutput(standardOutput.error());
  return kExitDone;
}

}  // namespace

int main(int argc, char** argv) { return runTool(kTool, argc, argv, run); }
