// halvane-skylight: the sky light of a terrain file under a given sky, as a
// map for GIS users and scripts.
//
//   halvane-skylight TERRAIN.hrz [--sky NAME] [--sun ELEVATION,BEARING]
//                    [--scale open|max] [-o MAP.png [--colour] | -o MAP.tif]
//                    [--csv FILE|- [--csv-header]]
//
// Every map is north up: rows from north to south, columns from west to east,
// in the PNG, the text and the GeoTIFF alike. Without -o and --csv the text
// goes to standard output. All destinations are checked before the terrain
// is read, and none replaces an earlier file unless all were written.
//
// Index
//   1. Usage and options
//   2. Output names
//   3. Writing the map and the text
//   4. The tool
#include <cctype>
#include <cstdio>
#include <string>
#include <sys/stat.h>
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

// ---- 1. Usage and options ------------------------------------------------------------

const char* const kUsage =
    "usage: halvane-skylight TERRAIN.hrz [--sky NAME] [--sun ELEVATION,BEARING] [--scale open|max]\n"
    "                        [-o MAP.png [--colour] | -o MAP.tif] [--csv FILE|- [--csv-header]]\n"
    "Maps how brightly the sky lights every cell of a terrain: the light the cell\n"
    "receives from the sky its horizons leave open, plus the light that the hidden\n"
    "sky's terrain reflects onto it (albedo 0.4).\n"
    "  --sky NAME              uniform, overcast, clear, sharp, point, cosine, turbid,\n"
    "                          or general-1 to general-15 (default clear)\n"
    "  --sun ELEVATION,BEARING the sun in degrees: elevation 0 to 90, compass bearing\n"
    "                          0 to 360 (default 45,180)\n"
    "  --scale open|max        what a value of 1 is: open, the light of open level ground\n"
    "                          under the same sky (the default; a cell that sees less of\n"
    "                          the sky is below 1, a slope facing a bright sky may exceed\n"
    "                          1; comparable between skies, suns and sites); max, the\n"
    "                          brightest cell of this map, as the window shows it\n"
    "  -o MAP.png              the map as a 16-bit greyscale PNG, north up; a pixel is the\n"
    "                          value x 65535 (values above 1 are white)\n"
    "  --colour                the PNG as a picture to read: the map in a perceptually\n"
    "                          uniform colour map, with a colour bar\n"
    "  -o MAP.tif              the map as a 32-bit float GeoTIFF, north up, with the DEM's\n"
    "                          georeference when the terrain came from one\n"
    "  --csv FILE              the map as text (.csv, .txt or .xyz; - for standard\n"
    "                          output): one row per line from north to south, values\n"
    "                          from west to east separated by commas\n"
    "  --csv-header            the text as points instead: a header line x,y,sky_light\n"
    "                          (coordinates of the cells' centres in the georeference's\n"
    "                          units, or column,row,sky_light counted from the north-west\n"
    "                          without one), then one cell per line\n"
    "  -h, --help              this text\n"
    "  --version               the version of Halvane\n"
    "Without -o and --csv the text goes to standard output.\n"
    "Exit status: 0 done, 1 the terrain could not be read or a file not written,\n"
    "2 a bad argument.\n";

const ToolDescription kTool = {
    "halvane-skylight", kUsage,
    "TERRAIN.hrz, --sky NAME, --sun ELEVATION,BEARING, --scale open|max, -o MAP.png|MAP.tif, --colour, "
    "--csv FILE, --csv-header, --help, --version"};

struct Options {
  std::string terrain, map, csv;
  std::string skyName = "clear";  // as given, for the title of the --colour picture
  bool colour = false;
  bool csvHeader = false;
  SkyLightScale scale = SkyLightScale::kOpenGround;
  SkyDistribution distribution = SkyDistribution::CLEAR;
  int generalType = Sky().generalType;
  float sunElevation = kDefaultSunElevation;
  float sunAzimuth = kDefaultSunAzimuth;
};

// ---- 2. Output names ------------------------------------------------------------------

// The ending of a name, in lower case, from its last dot ("" if none).
std::string extensionOf(const std::string& name) {
  const size_t slash = name.rfind('/');
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string lower;
  for (size_t k = dot; k < name.size(); ++k) lower += char(std::tolower(static_cast<unsigned char>(name[k])));
  return lower;
}

// A device or a FIFO that exists, or the tool's own standard output (such as
// /dev/stdout): written in place, whatever its name.
bool isWrittenInPlace(const std::string& name) {
  struct stat info, standardOutput;
  if (::stat(name.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
  if (!S_ISREG(info.st_mode)) return true;
  return ::fstat(1, &standardOutput) == 0 && info.st_dev == standardOutput.st_dev &&
         info.st_ino == standardOutput.st_ino;
}

bool isGeoTiffName(const std::string& name) {
  const std::string extension = extensionOf(name);
  return extension == ".tif" || extension == ".tiff";
}

// -o names a PNG or a GeoTIFF by its ending; a device or a FIFO takes the PNG.
void checkMapName(OptionReader& args, const std::string& name) {
  const std::string extension = extensionOf(name);
  if (extension == ".png" || isGeoTiffName(name) || isWrittenInPlace(name)) return;
  args.refuse("a map name ending .png, .tif or .tiff", name);
}

// --csv names a text file (.csv, .txt, .xyz), standard output (-), or a
// device or a FIFO.
void checkTextName(OptionReader& args, const std::string& name) {
  const std::string extension = extensionOf(name);
  if (name == "-" || extension == ".csv" || extension == ".txt" || extension == ".xyz" ||
      isWrittenInPlace(name))
    return;
  args.refuse("a text file name ending .csv, .txt or .xyz, or - for standard output", name);
}

Options parseArguments(OptionReader& args) {
  Options options;
  while (args.next()) {
    if (args.is("--sky")) {
      options.skyName = args.value(kSkyNamesAccepted);
      if (!parseSkyName(options.skyName, options.distribution, options.generalType))
        args.refuse(kSkyNamesAccepted, options.skyName);
    } else if (readSkyOrSun(args, options.distribution, options.generalType, options.sunElevation,
                            options.sunAzimuth)) {
    } else if (args.is("--scale")) {
      const std::string scale = args.value("open or max");
      if (scale != "open" && scale != "max") args.refuse("open or max", scale);
      options.scale = scale == "open" ? SkyLightScale::kOpenGround : SkyLightScale::kLargest;
    } else if (args.isFlag("--colour")) {
      options.colour = true;
    } else if (args.isFlag("--csv-header")) {
      options.csvHeader = true;
    } else if (args.is("-o")) {
      options.map = args.value("the name of the map to write");
      checkMapName(args, options.map);
    } else if (args.is("--csv")) {
      options.csv = args.value("the name of the text file to write, or - for standard output");
      checkTextName(args, options.csv);
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

// ---- 3. Writing the map and the text -------------------------------------------------------

// The terrain file, read whole, or the end of the tool.
Terrain readTerrainOrFail(const std::string& name) {
  Terrain terrain;
  TerrainError error;
  if (!readTerrain(name, terrain, error)) failInputOutput(error.toolLine);
  return terrain;
}

// The terrain's georeference, when it has one that fits; one that does not
// fit is reported and left out.
bool georeferenceOf(const Options& options, const Terrain& terrain, Georeference& georeference) {
  std::string problem;
  const GeoreferenceStatus status =
      readGeoreference(options.terrain, terrain.gridSizeX, terrain.gridSizeY, georeference, problem);
  if (status == GeoreferenceStatus::kBad)
    std::fprintf(stderr, "halvane-skylight: %s; the maps are written without georeference\n",
                 problem.c_str());
  return status == GeoreferenceStatus::kRead;
}

const char* unitsOf(SkyLightScale scale) {
  return scale == SkyLightScale::kOpenGround ? "sky light relative to open level ground"
                                             : "sky light relative to the brightest cell";
}

// The PNG map as a picture: colour map, north arrow, colour bar, and the sky
// and sun as its title.
bool writeColourMap(OutputFile& map, const Options& options, const std::vector<float>& grid,
                    const Terrain& terrain) {
  char sun[96];
  std::snprintf(sun, sizeof sun, ", sun at %.0f\u00b0 elevation and bearing %.0f\u00b0",
                displayedElevation(options.sunElevation), displayedBearing(options.sunAzimuth));
  const MapLegend legend{unitsOf(options.scale), options.skyName + " sky" + sun, std::nullopt};
  return writeMapPng(map, grid.data(), terrain.gridSizeX, terrain.gridSizeY, legend);
}

// The map: a GeoTIFF, with the georeference if there is one, or a PNG.
bool writeMap(OutputFile& map, const Options& options, const std::vector<float>& grid,
              const Terrain& terrain, const Georeference* georeference) {
  if (isGeoTiffName(map.name()))
    return writeGeoTiff(map, grid.data(), terrain.gridSizeX, terrain.gridSizeY, georeference);
  if (options.colour) return writeColourMap(map, options, grid, terrain);
  const std::vector<float> raster = northUpRaster(grid.data(), terrain.gridSizeX, terrain.gridSizeY);
  return writeGreyscalePng(map, raster.data(), terrain.gridSizeX, terrain.gridSizeY);
}

// The text: the north-up grid, or one point per line under a header.
bool writeText(OutputFile& text, const Options& options, const std::vector<float>& grid,
               const Terrain& terrain, const Georeference* georeference) {
  const std::vector<float> raster = northUpRaster(grid.data(), terrain.gridSizeX, terrain.gridSizeY);
  if (!options.csvHeader) return writeGridCsv(text, raster.data(), terrain.gridSizeX, terrain.gridSizeY);
  return writeXyzCsv(text, raster.data(), terrain.gridSizeX, terrain.gridSizeY, "sky_light",
                     georeference ? &georeference->geoTransform : nullptr);
}

// ---- 4. The tool ----------------------------------------------------------------------------

int run(OptionReader& args) {
  const Options options = parseArguments(args);
  OutputFileSet outputs;
  OutputFile standardOutput = OutputFile::standardOutput();
  OutputFile* map = options.map.empty() ? nullptr : &outputs.add(options.map);
  OutputFile* text = nullptr;
  if (options.csv.empty() ? !map : options.csv == "-")
    text = &standardOutput;
  else if (!options.csv.empty())
    text = &outputs.add(options.csv);
  std::string error;
  if (!outputs.checkAll(error)) failInputOutput(error);

  setSkyDiagnostics(stderr, stderr);
  const Sky sky(options.distribution, options.generalType, options.sunElevation, options.sunAzimuth);
  const Terrain terrain = readTerrainOrFail(options.terrain);
  const std::vector<float> grid = computeSkyLight(terrain, sky, options.scale);

  Georeference georeference;
  const bool needsGeoreference = (map && isGeoTiffName(map->name())) || (text && options.csvHeader);
  const bool georeferenced = needsGeoreference && georeferenceOf(options, terrain, georeference);
  const Georeference* where = georeferenced ? &georeference : nullptr;
  if (map && !writeMap(*map, options, grid, terrain, where)) failInputOutput(map->error());
  if (text && !writeText(*text, options, grid, terrain, where)) failInputOutput(text->error());
  if (!outputs.commitAll(error)) failInputOutput(error);
  if (text == &standardOutput && !standardOutput.commit()) failInputOutput(standardOutput.error());
  return kExitDone;
}

}  // namespace

int main(int argc, char** argv) { return runTool(kTool, argc, argv, run); }
