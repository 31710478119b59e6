// halvane-terrain: writes a terrain file (heights and horizons) for Halvane.
//
//   halvane-terrain (--synthetic SIZE [--seed N] | --flat SIZE)
//                   [--directions N] -o FILE
//
// Heights are in grid spacings; for every cell and direction the horizon is
// the largest elevation angle of the terrain seen from the cell's surface
// along the direction's centre azimuth, up to the grid's edge.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "terrain/horizons.h"
#include "terrain/synthetic_terrain.h"
#include "terrain/terrain_file.h"

namespace {

const char* const kUsage =
    "usage: halvane-terrain (--synthetic SIZE [--seed N] | --flat SIZE) [--directions N] -o FILE\n"
    "  --synthetic SIZE  a landscape of SIZE x SIZE cells with ridges, a valley and a peak\n"
    "  --seed N          another landscape of the same kind (default 1)\n"
    "  --flat SIZE       a level grid of SIZE x SIZE cells\n"
    "  --directions N    horizon directions per cell (default 36)\n"
    "  -o FILE           the terrain file to write (\".hrz\")\n";

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

struct Options {
  bool synthetic = false, flat = false, seedGiven = false;
  int size = 0;
  uint64_t seed = 1;
  int directions = 36;
  std::string output;
};

Options parseArguments(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      std::exit(0);
    } else if (arg == "--synthetic" || arg == "--flat") {
      if (options.synthetic || options.flat) badArguments("give only one of --synthetic SIZE and --flat SIZE");
      (arg == "--flat" ? options.flat : options.synthetic) = true;
      options.size = int(parseCount(value, 1, kMaxSize, arg.c_str()));
      ++i;
    } else if (arg == "--seed") {
      options.seed = parseSeed(value);
      options.seedGiven = true;
      ++i;
    } else if (arg == "--directions") {
      options.directions = int(parseCount(value, 1, kMaxDirections, "--directions"));
      ++i;
    } else if (arg == "-o") {
      if (!value || !*value) badArguments("-o takes the name of the terrain file to write");
      options.output = value;
      ++i;
    } else {
      badArguments("unknown argument '" + arg +
                   "'; accepted: --synthetic SIZE, --seed N, --flat SIZE, --directions N, -o FILE, --help");
    }
  }
  if (!options.synthetic && !options.flat) badArguments("give --synthetic SIZE or --flat SIZE");
  if (options.flat && options.seedGiven) badArguments("--seed goes with --synthetic, not --flat");
  if (options.output.empty()) badArguments("give -o FILE, the terrain file to write");
  unsigned long long bytes = 2ULL * options.size * options.size * options.directions;
  if (bytes > kMaxHorizonBytes)
    badArguments("SIZE x SIZE x directions is too large: the horizons would take more than 4 GiB");
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  Options options = parseArguments(argc, argv);
  const int size = options.size, n = options.directions;
  std::vector<float> heights = options.flat ? flatHeights(size) : syntheticHeights(size, options.seed);

  // Runs of more than a few seconds report each tenth of the directions.
  const bool showProgress = double(size) * size * n > 2e7;
  int lastTenth = 0;
  auto start = std::chrono::steady_clock::now();
  std::vector<uint16_t> horizons = computeHorizons(
      heights.data(), size, size, n, [&](int done, int total) {
        int tenth = done * 10 / total;
        if (!showProgress || tenth == lastTenth) return;
        lastTenth = tenth;
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::fprintf(stderr, "halvane-terrain: horizons %d of %d directions (%.0f s)\n", done, total, seconds);
        std::fflush(stderr);
      });

  std::string error;
  if (!writeTerrainFile(options.output, size, size, n, heights, horizons, error)) {
    std::fprintf(stderr, "halvane-terrain: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
