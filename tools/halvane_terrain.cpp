// halvane-terrain: writes a terrain file (heights and horizons) for Halvane.
//
//   halvane-terrain (--synthetic SIZE [--seed N] | --flat SIZE | --dem FILE
//                    [--window XOFF,YOFF,XSIZE,YSIZE | --bounds MINX,MINY,MAXX,MAXY]
//                    [--max-size N] [--flat-earth | --refraction K]) [--directions N]
//                   [--horizons-out FILE.tif] [--quiet] -o FILE
//
// A terrain from a DEM gets its georeference beside it, in FILE.json, the two
// written together (core/output_file.h); other terrains remove a stale one.
//
// Heights are in grid spacings; for every cell and direction the horizon is
// the largest elevation angle of the terrain seen from the cell's surface
// along the direction's centre azimuth, up to the grid's edge. A DEM's
// distant terrain is lowered by the earth's curvature, seen through
// atmospheric refraction (terrain/horizons.h), unless --flat-earth is given;
// synthetic and level terrains have no curvature.
#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "core/output_file.h"
#include "terrain/dem_import.h"
#include "terrain/fast_horizons.h"
#include "terrain/georeference.h"
#include "terrain/horizon_raster.h"
#include "terrain/synthetic_terrain.h"
#include "terrain/terrain_file.h"
#include "tools/options.h"
#include "tools/output_names.h"
#include "tools/progress_bar.h"

namespace {

const char* const kUsage =
    "usage: halvane-terrain (--synthetic SIZE [--seed N] | --flat SIZE | --dem FILE [DEM options])\n"
    "                       [--directions N] [--quiet] -o FILE\n"
    "  --synthetic SIZE  a landscape of SIZE x SIZE cells with ridges, a valley and a peak\n"
    "  --seed N          another landscape of the same kind (default 1)\n"
    "  --flat SIZE       a level grid of SIZE x SIZE cells\n"
    "  --dem FILE        band 1 of an elevation raster GDAL reads (GeoTIFF, SRTM, Esri ASCII grid, ...)\n"
    "  DEM options:\n"
    "    --window XOFF,YOFF,XSIZE,YSIZE  only these pixels of the raster\n"
    "    --bounds MINX,MINY,MAXX,MAXY    only this area, in the raster's own coordinates\n"
    "    --max-size N                    average cells so that neither side exceeds N\n"
    "    --refraction K                  the refraction coefficient of the earth's curvature: distant\n"
    "                                    terrain is lowered by (1 - K) d^2 / (2 R), d its distance and\n"
    "                                    R = 6371008.8 m the earth's mean radius (0 to 1, default 0.13)\n"
    "    --flat-earth                    horizons without the earth's curvature\n"
    "  --directions N    horizon directions per cell, 1 to 1024 (default 36)\n"
    "  --horizons-out FILE.tif  also the horizons as a GeoTIFF: per direction one band of elevation\n"
    "                    angles in degrees, described by its true compass bearing\n"
    "  --quiet           no progress bar and no account of what was done\n"
    "  -o FILE           the terrain file to write (\".hrz\"); a DEM's georeference goes to FILE.json\n"
    "  -h, --help        this text\n"
    "  --version         the version of Halvane\n"
    "A DEM's horizons include the earth's curvature (seen through refraction 0.13 unless\n"
    "--refraction or --flat-earth says otherwise); other terrains have none. Its grid north\n"
    "lies off true north by the meridian convergence, computed at the centre and stored in\n"
    "FILE.json: every bearing the tools take or write is a true bearing.\n"
    "Exit status: 0 done, 1 the DEM could not be read or a file not written, 2 a bad argument.\n";

const ToolDescription kTool = {
    "halvane-terrain", kUsage,
    "--synthetic SIZE, --seed N, --flat SIZE, --dem FILE, --window XOFF,YOFF,XSIZE,YSIZE, "
    "--bounds MINX,MINY,MAXX,MAXY, --max-size N, --refraction K, --flat-earth, --directions N, --horizons-out FILE.tif, --quiet, -o FILE, "
    "--help, --version"};

constexpr long kMaxSize = 8192;
// Horizons are held in memory while computed: at most 4 GiB of them.
constexpr unsigned long long kMaxHorizonBytes = 4ULL << 30;

struct Options {
  bool synthetic = false, flat = false, seedGiven = false;
  std::string dem;
  bool hasWindow = false, hasBounds = false, quiet = false;
  bool flatEarth = false, refractionGiven = false;
  double refraction = kRefractionCoefficient;
  std::array<long long, 4> window{};
  std::array<double, 4> bounds{};
  int maxSize = 0;
  int size = 0;
  uint64_t seed = 1;
  int directions = 36;
  std::string output, horizonsOut;
};

// XOFF,YOFF,XSIZE,YSIZE: offsets from 0 and sizes from 1, each within a
// raster's int range, so that no sum of them can overflow.
std::array<long long, 4> parseWindow(OptionReader& args) {
  const std::string what = "XOFF,YOFF,XSIZE,YSIZE in whole pixels, offsets 0 to " + std::to_string(INT_MAX) +
                           " and sizes 1 to " + std::to_string(INT_MAX);
  const std::string text = args.value(what);
  std::vector<long long> values;
  if (!parseWholeNumberList(text, 4, values)) args.refuse(what, text);
  for (int k = 0; k < 4; ++k)
    if (values[k] < (k < 2 ? 0 : 1) || values[k] > INT_MAX) args.refuse(what, text);
  return {values[0], values[1], values[2], values[3]};
}

std::array<double, 4> parseBounds(OptionReader& args) {
  const std::string what = "MINX,MINY,MAXX,MAXY in the raster's coordinates, with MINX < MAXX and MINY < MAXY";
  const std::string text = args.value(what);
  std::vector<double> values;
  if (!parseDecimalList(text, 4, values) || values[0] >= values[2] || values[1] >= values[3])
    args.refuse(what, text);
  return {values[0], values[1], values[2], values[3]};
}

Options parseArguments(OptionReader& args) {
  Options options;
  while (args.next()) {
    if (args.is("--synthetic") || args.is("--flat") || args.is("--dem")) {
      if (options.synthetic || options.flat || !options.dem.empty())
        failArgument("give only one of --synthetic SIZE, --flat SIZE and --dem FILE");
      if (args.is("--dem")) {
        const char* what = "the name of an elevation raster";
        options.dem = args.value(what);
        if (options.dem.empty()) args.refuse(what, options.dem);
        continue;
      }
      (args.is("--flat") ? options.flat : options.synthetic) = true;
      options.size = int(args.wholeNumber(1, kMaxSize));
    } else if (args.is("--seed")) {
      options.seed = args.unsignedNumber(UINT64_MAX);
      options.seedGiven = true;
    } else if (args.is("--window")) {
      options.window = parseWindow(args);
      options.hasWindow = true;
    } else if (args.is("--bounds")) {
      options.bounds = parseBounds(args);
      options.hasBounds = true;
    } else if (args.is("--max-size")) {
      options.maxSize = int(args.wholeNumber(2, kMaxSize));
    } else if (args.isFlag("--flat-earth")) {
      options.flatEarth = true;
    } else if (args.is("--refraction")) {
      const char* what = "a refraction coefficient from 0 to 1";
      const std::string text = args.value(what);
      if (!parseDecimal(text, options.refraction) || !(options.refraction >= 0 && options.refraction <= 1))
        args.refuse(what, text);
      options.refractionGiven = true;
    } else if (args.isFlag("--quiet")) {
      options.quiet = true;
    } else if (args.is("--directions")) {
      options.directions = int(args.wholeNumber(1, kMaxTerrainDirections));
    } else if (args.is("--horizons-out")) {
      const char* what = "the name of a GeoTIFF, FILE.tif";
      options.horizonsOut = args.value(what);
      if (!isGeoTiffName(options.horizonsOut)) args.refuse(what, options.horizonsOut);
    } else if (args.is("-o")) {
      const char* what = "the name of the terrain file to write";
      options.output = args.value(what);
      if (options.output.empty()) args.refuse(what, options.output);
    } else {
      args.unknown();
    }
  }
  if (!options.synthetic && !options.flat && options.dem.empty())
    failArgument("give --synthetic SIZE, --flat SIZE or --dem FILE");
  if (options.dem.empty() && (options.hasWindow || options.hasBounds || options.maxSize))
    failArgument("--window, --bounds and --max-size go with --dem FILE");
  if (options.dem.empty() && (options.flatEarth || options.refractionGiven))
    failArgument("--flat-earth and --refraction go with --dem FILE: other terrains have no earth curvature");
  if (options.flatEarth && options.refractionGiven) failArgument("give only one of --flat-earth and --refraction");
  if (options.hasWindow && options.hasBounds) failArgument("give only one of --window and --bounds");
  if (options.flat && options.seedGiven) failArgument("--seed goes with --synthetic, not --flat");
  if (options.output.empty()) failArgument("give -o FILE, the terrain file to write");
  unsigned long long bytes = 2ULL * options.size * options.size * options.directions;
  if (bytes > kMaxHorizonBytes)
    failArgument("SIZE x SIZE x directions is too large: the horizons would take more than 4 GiB");
  return options;
}

// The heights of the terrain asked for; a DEM that cannot be read ends the
// tool with its one-line message and status 1.
std::vector<float> makeHeights(const Options& options, int& sizeX, int& sizeY, DemTerrain& dem) {
  if (options.dem.empty()) {
    sizeX = sizeY = options.size;
    return options.flat ? flatHeights(options.size) : syntheticHeights(options.size, options.seed);
  }
  DemRequest request;
  request.fileName = options.dem;
  request.hasWindow = options.hasWindow;
  request.window = options.window;
  request.hasBounds = options.hasBounds;
  request.bounds = options.bounds;
  request.maxSize = options.maxSize;
  request.maxCells = std::min<long long>(kMaxSize * kMaxSize,
                                         (long long)(kMaxHorizonBytes / (2ULL * options.directions)));
  std::string error;
  if (!importDem(request, dem, error, options.quiet ? nullptr : stderr, "halvane-terrain: "))
    failInputOutput(error);
  sizeX = dem.gridSizeX;
  sizeY = dem.gridSizeY;
  return std::move(dem.heights);
}

// The earth's curvature for the horizons (0 for a flat earth), recorded in
// the DEM's georeference and told unless quiet.
double curvatureOf(const Options& options, Georeference& georeference) {
  if (options.dem.empty()) return 0;
  georeference.earthCurvature = !options.flatEarth;
  georeference.refraction = options.flatEarth ? 0 : options.refraction;
  if (!options.quiet)
    std::fprintf(stderr, options.flatEarth ? "halvane-terrain: horizons of a flat earth (--flat-earth)\n"
                                           : "halvane-terrain: horizons on the curved earth: distant terrain lowered by "
                                             "(1 - k) d^2 / (2 R), R %.1f m, refraction coefficient k %g\n",
                 kEarthRadius, options.refraction);
  return options.flatEarth ? 0 : earthCurvature(georeference.cellSize, options.refraction);
}

// A georeference left from an earlier DEM terrain of this name would
// describe the wrong terrain; only a regular file is taken away.
void removeStaleGeoreference(const std::string& terrainFile) {
  const std::string name = georeferenceFileName(terrainFile);
  struct stat status;
  if (::stat(name.c_str(), &status) == 0 && S_ISREG(status.st_mode)) ::unlink(name.c_str());
}

int run(OptionReader& args) {
  const Options options = parseArguments(args);
  // Every file is checked before the long work, and the terrain and its
  // georeference replace earlier files together or not at all.
  OutputFileSet outputs;
  OutputFile& terrainFile = outputs.add(options.output);
  OutputFile* georeferenceFile = options.dem.empty() ? nullptr : &outputs.add(georeferenceFileName(options.output));
  OutputFile* horizonsFile = options.horizonsOut.empty() ? nullptr : &outputs.add(options.horizonsOut);
  std::string error;
  if (!outputs.checkAll(error)) failInputOutput(error);

  const int n = options.directions;
  int sizeX = 0, sizeY = 0;
  DemTerrain dem;
  std::vector<float> heights = makeHeights(options, sizeX, sizeY, dem);

  const double curvature = curvatureOf(options, dem.georeference);

  // Runs of more than a moment show a progress bar.
  const bool showProgress = !options.quiet && double(sizeX) * sizeY * n > 1e7;
  ProgressBar bar(stderr, "halvane-terrain: horizons ", "directions", isatty(fileno(stderr)) != 0);
  std::vector<uint16_t> horizons = computeHorizonsFast(
      heights.data(), sizeX, sizeY, n, curvature, [&](int done, int total) {
        if (showProgress) bar.update(done, total);
      });
  bar.finish();

  if (!writeTerrain(terrainFile, sizeX, sizeY, n, heights, horizons)) failInputOutput(terrainFile.error());
  if (georeferenceFile && !writeGeoreference(*georeferenceFile, dem.georeference))
    failInputOutput(georeferenceFile->error());
  if (horizonsFile && !writeHorizonGeoTiff(*horizonsFile, horizons.data(), n, sizeX, sizeY,
                                           options.dem.empty() ? nullptr : &dem.georeference, nullptr))
    failInputOutput(horizonsFile->error());
  if (!outputs.commitAll(error)) failInputOutput(error);
  if (options.dem.empty()) removeStaleGeoreference(options.output);
  return kExitDone;
}

}  // namespace

int main(int argc, char** argv) { return runTool(kTool, argc, argv, run); }
