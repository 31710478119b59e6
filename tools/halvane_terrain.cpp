// halvane-terrain: writes a terrain file (heights and horizons) for Halvane.
//
//   halvane-terrain (--synthetic SIZE [--seed N] | --flat SIZE | --dem FILE
//                    [--window XOFF,YOFF,XSIZE,YSIZE | --bounds MINX,MINY,MAXX,MAXY]
//                    [--max-size N]) [--directions N] [--horizons-out FILE.tif] [--quiet] -o FILE
//
// A terrain from a DEM gets its georeference beside it, in FILE.json; other
// terrains remove a stale one.
//
// Heights are in grid spacings; for every cell and direction the horizon is
// the largest elevation angle of the terrain seen from the cell's surface
// along the direction's centre azimuth, up to the grid's edge.
#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include <unistd.h>

#include "terrain/dem_import.h"
#include "terrain/fast_horizons.h"
#include "terrain/georeference.h"
#include "terrain/horizon_raster.h"
#include "terrain/horizons.h"
#include "terrain/synthetic_terrain.h"
#include "terrain/terrain_file.h"
#include "tools/progress_bar.h"

namespace {

const char* const kUsage =
    "usage: halvane-terrain (--synthetic SIZE [--seed N] | --flat SIZE | --dem FILE [DEM options])\n"
    "                       [--directions N] [--horizons-out FILE.tif] [--quiet] -o FILE\n"
    "  --synthetic SIZE  a landscape of SIZE x SIZE cells with ridges, a valley and a peak\n"
    "  --seed N          another landscape of the same kind (default 1)\n"
    "  --flat SIZE       a level grid of SIZE x SIZE cells\n"
    "  --dem FILE        band 1 of an elevation raster GDAL reads (GeoTIFF, SRTM, Esri ASCII grid, ...)\n"
    "  DEM options:\n"
    "    --window XOFF,YOFF,XSIZE,YSIZE  only these pixels of the raster\n"
    "    --bounds MINX,MINY,MAXX,MAXY    only this area, in the raster's own coordinates\n"
    "    --max-size N                    average cells so that neither side exceeds N\n"
    "  --directions N    horizon directions per cell (default 36)\n"
    "  --horizons-out FILE.tif  also the horizons as a GeoTIFF: per direction one band of elevation\n"
    "                    angles in degrees, described by its compass bearing\n"
    "  --quiet           no progress bar and no account of what was done\n"
    "  -o FILE           the terrain file to write (\".hrz\"); a DEM's georeference goes to FILE.json\n";

constexpr long kMaxSize = 8192;
constexpr long kMaxDirections = 1024;
// Horizons are held in memory while computed: at most 4 GiB of them.
constexpr unsigned long long kMaxHorizonBytes = 4ULL << 30;

[[noreturn]] void badArguments(const std::string& message) {
  std::fprintf(stderr, "halvane-terrain: %s (try --help)\n", message.c_str());
  std::exit(2);
}

// A whole number from `low` to `high`, digits only.
long parseCount(const char* text, long low, long high, const char* option) {
  std::string what = std::string(option) + " takes a whole number from " + std::to_string(low) +
                     " to " + std::to_string(high);
  if (!text) badArguments(what);
  errno = 0;
  char* end = nullptr;
  if (*text < '0' || *text > '9') badArguments(what + ", not '" + text + "'");
  long long value = std::strtoll(text, &end, 10);
  if (errno != 0 || *end != '\0' || value < low || value > high)
    badArguments(what + ", not '" + text + "'");
  return long(value);
}

uint64_t parseSeed(const char* text) {
  const char* what = "--seed takes a whole number from 0 to 18446744073709551615";
  if (!text || *text < '0' || *text > '9') badArguments(std::string(what));
  errno = 0;
  char* end = nullptr;
  unsigned long long value = std::strtoull(text, &end, 10);
  if (errno != 0 || *end != '\0') badArguments(std::string(what) + ", not '" + text + "'");
  return value;
}

// Numbers separated by commas: exactly `count` of them.
template <typename Number>
std::array<Number, 4> parseList(const char* text, const char* option, const char* form) {
  std::string what = std::string(option) + " takes " + form;
  if (!text) badArguments(what);
  std::array<Number, 4> values{};
  const char* at = text;
  for (size_t k = 0; k < values.size(); ++k) {
    char* end = nullptr;
    errno = 0;
    double value = std::strtod(at, &end);
    bool whole = std::is_integral<Number>::value;
    if (end == at || errno != 0 || !std::isfinite(value) || (whole && value != std::floor(value)) ||
        *end != (k + 1 < values.size() ? ',' : '\0'))
      badArguments(what + ", not '" + text + "'");
    values[k] = Number(value);
    at = end + 1;
  }
  return values;
}

struct Options {
  bool synthetic = false, flat = false, seedGiven = false;
  std::string dem;
  bool hasWindow = false, hasBounds = false, quiet = false;
  std::array<long long, 4> window{};
  std::array<double, 4> bounds{};
  int maxSize = 0;
  int size = 0;
  uint64_t seed = 1;
  int directions = 36;
  std::string output, horizonsOut;
};

bool isGeoTiffName(const std::string& name) {
  std::string lower;
  for (char c : name) lower += char(std::tolower((unsigned char)c));
  for (const char* tail : {".tif", ".tiff"})
    if (lower.size() > std::strlen(tail) && lower.compare(lower.size() - std::strlen(tail), std::string::npos, tail) == 0)
      return true;
  return false;
}

Options parseArguments(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      std::exit(0);
    } else if (arg == "--synthetic" || arg == "--flat" || arg == "--dem") {
      if (options.synthetic || options.flat || !options.dem.empty())
        badArguments("give only one of --synthetic SIZE, --flat SIZE and --dem FILE");
      if (arg == "--dem") {
        if (!value || !*value) badArguments("--dem takes the name of an elevation raster");
        options.dem = value;
        ++i;
        continue;
      }
      (arg == "--flat" ? options.flat : options.synthetic) = true;
      options.size = int(parseCount(value, 1, kMaxSize, arg.c_str()));
      ++i;
    } else if (arg == "--seed") {
      options.seed = parseSeed(value);
      options.seedGiven = true;
      ++i;
    } else if (arg == "--window") {
      options.window = parseList<long long>(value, "--window", "XOFF,YOFF,XSIZE,YSIZE in whole pixels");
      options.hasWindow = true;
      ++i;
    } else if (arg == "--bounds") {
      options.bounds = parseList<double>(value, "--bounds", "MINX,MINY,MAXX,MAXY in the raster's coordinates");
      if (options.bounds[0] >= options.bounds[2] || options.bounds[1] >= options.bounds[3])
        badArguments(std::string("--bounds takes MINX,MINY,MAXX,MAXY with MINX < MAXX and MINY < MAXY, not '") +
                     value + "'");
      options.hasBounds = true;
      ++i;
    } else if (arg == "--max-size") {
      options.maxSize = int(parseCount(value, 2, kMaxSize, "--max-size"));
      ++i;
    } else if (arg == "--quiet") {
      options.quiet = true;
    } else if (arg == "--directions") {
      options.directions = int(parseCount(value, 1, kMaxDirections, "--directions"));
      ++i;
    } else if (arg == "--horizons-out") {
      if (!value || !isGeoTiffName(value)) badArguments("--horizons-out takes the name of a GeoTIFF, FILE.tif");
      options.horizonsOut = value;
      ++i;
    } else if (arg == "-o") {
      if (!value || !*value) badArguments("-o takes the name of the terrain file to write");
      options.output = value;
      ++i;
    } else {
      badArguments("unknown argument '" + arg +
                   "'; accepted: --synthetic SIZE, --seed N, --flat SIZE, --dem FILE, --window XOFF,YOFF,XSIZE,YSIZE, "
                   "--bounds MINX,MINY,MAXX,MAXY, --max-size N, --directions N, --horizons-out FILE.tif, --quiet, -o FILE, "
                   "--help");
    }
  }
  if (!options.synthetic && !options.flat && options.dem.empty())
    badArguments("give --synthetic SIZE, --flat SIZE or --dem FILE");
  if (options.dem.empty() && (options.hasWindow || options.hasBounds || options.maxSize))
    badArguments("--window, --bounds and --max-size go with --dem FILE");
  if (options.hasWindow && options.hasBounds) badArguments("give only one of --window and --bounds");
  if (options.flat && options.seedGiven) badArguments("--seed goes with --synthetic, not --flat");
  if (options.output.empty()) badArguments("give -o FILE, the terrain file to write");
  unsigned long long bytes = 2ULL * options.size * options.size * options.directions;
  if (bytes > kMaxHorizonBytes)
    badArguments("SIZE x SIZE x directions is too large: the horizons would take more than 4 GiB");
  return options;
}

// The heights of the terrain asked for; a DEM that cannot be read ends the
// program with its one-line message and status 2.
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
  if (!importDem(request, dem, error, options.quiet ? nullptr : stderr, "halvane-terrain: ")) {
    std::fprintf(stderr, "halvane-terrain: %s\n", error.c_str());
    std::exit(2);
  }
  sizeX = dem.gridSizeX;
  sizeY = dem.gridSizeY;
  return std::move(dem.heights);
}

}  // namespace

int main(int argc, char** argv) {
  Options options = parseArguments(argc, argv);
  const int n = options.directions;
  int sizeX = 0, sizeY = 0;
  DemTerrain dem;
  std::vector<float> heights = makeHeights(options, sizeX, sizeY, dem);

  // Runs of more than a moment show a progress bar.
  const bool showProgress = !options.quiet && double(sizeX) * sizeY * n > 1e7;
  ProgressBar bar(stderr, "halvane-terrain: horizons ", "directions", isatty(fileno(stderr)) != 0);
  std::vector<uint16_t> horizons = computeHorizonsFast(
      heights.data(), sizeX, sizeY, n, [&](int done, int total) {
        if (showProgress) bar.update(done, total);
      });
  bar.finish();

  std::string error;
  if (!writeTerrainFile(options.output, sizeX, sizeY, n, heights, horizons, error)) {
    std::fprintf(stderr, "halvane-terrain: %s\n", error.c_str());
    return 1;
  }
  // The georeference beside the terrain: written for a DEM (or the terrain
  // is taken back), removed for any other terrain so that none is stale.
  if (options.dem.empty()) {
    std::remove(georeferenceFileName(options.output).c_str());
  } else if (!writeGeoreference(options.output, dem.georeference, error)) {
    std::remove(options.output.c_str());
    std::fprintf(stderr, "halvane-terrain: %s\n", error.c_str());
    return 1;
  }
  if (!options.horizonsOut.empty() &&
      !writeHorizonGeoTiff(options.horizonsOut, horizons.data(), n, sizeX, sizeY,
                           options.dem.empty() ? nullptr : &dem.georeference, nullptr, error)) {
    std::fprintf(stderr, "halvane-terrain: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
