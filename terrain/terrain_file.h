// Terrain files (".hrz"): a grid of heights with precomputed horizons.
//
// Index
//   1. File layout and the horizon encoding
//   2. The terrain in memory (Terrain)
//   3. Reading (TerrainFile, readTerrain) and its errors
//   4. Cell normals
//   5. Writing
//
// Layout, all numbers little-endian, N = gridSizeX * gridSizeY cells:
//   offset 0       1 byte   type letter: 'n' or 'p' (read alike); 'h' marks a
//                           horizon file, which is refused
//   offset 1       1 byte   line feed
//   offset 2       int32    gridSizeX, the number of rows (first index, x)
//   offset 6       int32    gridSizeY, the heights per row (second index, y)
//   offset 10      int32    n, the number of horizon directions
//   offset 14      N floats heights, row by row, in grid spacings
//   then n blocks  N uint16 horizon of every cell in direction j, same order
// Direction j is represented by its centre azimuth (j + 0.5) * 6.28318 / n,
// measured from +x (rows) towards +y (columns). A horizon value v encodes the
// sine of the horizon elevation: sin h = v / 32768 - 1.
//
// Limits: a file holds at most kMaxTerrainDirections directions and its
// heights are finite, within +-kMaxTerrainHeight grid spacings; the reader
// refuses anything else and the writer never writes it.
#pragma once

#include <cstdint>
#include <functional>
#include <cstdio>
#include <string>
#include <vector>

#include "core/output_file.h"
#include "core/vec3.h"

// ---- 1. File layout and the horizon encoding -------------------------------

constexpr long long kTerrainHeaderBytes = 14;
constexpr int kHorizonBins = 256;

// The most horizon directions a terrain has. The sky light's tables grow
// with the direction count alone (about 7 MiB at this limit), whatever the
// size of the grid.
constexpr int kMaxTerrainDirections = 1024;
// The largest height, in grid spacings, either way: far beyond any real
// terrain, and small enough that differences of heights, the normals and
// the sky light stay finite in single precision.
constexpr float kMaxTerrainHeight = 1e9f;

// Whether a height is finite and within the limit.
inline bool isUsableHeight(float height) { return height >= -kMaxTerrainHeight && height <= kMaxTerrainHeight; }

// The bin of a horizon value: its high byte. Bin b covers the sines
// [b/128 - 1, (b+1)/128 - 1); a level horizon (32768) is bin 128.
inline int horizonBin(uint16_t value) { return value >> 8; }

// (sin h + 1) * 32768, rounded down so that the value's bin is the bin that
// holds sin h, and clamped to 0 .. 65535.
uint16_t encodeHorizon(double sinElevation);

// ---- 2. The terrain in memory ---------------------------------------------------

// A terrain as read from its file: the grid of heights, the normals computed
// from them, and the encoded horizons of every cell in every direction.
struct Terrain {
  std::string fileName;   // the file it was read from
  int gridSizeX = 0;      // rows
  int gridSizeY = 0;      // heights per row
  int numDirections = 0;  // horizon directions n
  std::vector<float> terrainHeights;  // gridSizeX rows of gridSizeY, as read
  std::vector<Vec3> terrainNormals;   // one unit normal per cell, same order
  // n blocks of numCells() values, direction 0 first, cells in the order of
  // the heights (empty when only the heights were read).
  std::vector<uint16_t> horizons;

  size_t numCells() const { return size_t(gridSizeX) * size_t(gridSizeY); }
  // The horizon block of direction j.
  const uint16_t* horizonBlock(int j) const { return horizons.data() + size_t(j) * numCells(); }
};

// ---- 3. Reading ------------------------------------------------------------------

// Why a terrain file was refused: the whole line the window writes to
// standard error (with its line feed), the exit status that start-up ends
// with, and the line a command-line tool gives after its name (without line
// feed): "cannot open NAME: reason" for a file that cannot be opened, else
// the window's text.
struct TerrainError {
  std::string message;
  int exitStatus = 0;
  std::string toolLine;
};

// Writes the message to standard error and ends the process with its status.
[[noreturn]] void exitWithTerrainError(const TerrainError& error);

// The error for a terrain whose storage cannot be had.
TerrainError terrainTooLarge(const std::string& fileName);

// One terrain file, open from reading its header until its last horizon block.
class TerrainFile {
 public:
  TerrainFile() = default;
  ~TerrainFile();
  TerrainFile(const TerrainFile&) = delete;
  TerrainFile& operator=(const TerrainFile&) = delete;

  // Opens the file, checks the header against the file's length, reads the
  // heights and computes the normals into `terrain`. The file is then
  // positioned at the first horizon block. On failure fills `error` and
  // leaves `terrain` in an unspecified but valid state.
  //
  // Refused: a name that cannot be opened or is a folder ("tgrid: cannot
  // open input file", status -1); anything else that is not a regular file
  // (a FIFO or a device, which could block or never end; looked at before it
  // is opened, and again once open); a header whose sizes are not positive,
  // whose direction count exceeds kMaxTerrainDirections, or whose cells
  // need more bytes than the file has; and heights that are not finite or
  // beyond kMaxTerrainHeight (all "appears to be a corrupted elevation
  // file", status 1). Storage that cannot be allocated is reported as too
  // large for the memory available (status 1).
  bool open(const std::string& fileName, Terrain& terrain, TerrainError& error);

  // Reads the next `count` horizon blocks (count * numCells values) into
  // `blocks`. Fails only if the file changed since it was opened.
  bool readHorizonBlocks(int count, uint16_t* blocks, TerrainError& error);

  void close();

  // The corrupted-file error for this file's name.
  TerrainError corrupted() const;
  // The error of a file too large for the memory available.
  TerrainError outOfMemory() const;

 private:

  std::FILE* file_ = nullptr;
  std::string name_;
  size_t numCells_ = 0;
};

// Called while a terrain's horizons are read, after every few directions:
// `terrain` has its sizes, heights and normals, and `blocks` the horizons of
// directions firstDirection .. firstDirection + count - 1, just read (and so
// still in the processor's cache).
using HorizonBlocksRead =
    std::function<void(const Terrain& terrain, int firstDirection, int count, const uint16_t* blocks)>;

// What readTerrain keeps of the horizons: all of them, or none (they are
// only handed to onBlocks, a few directions at a time, and the memory for
// them stays a few blocks).
enum class KeepHorizons { kAll, kNone };

// Reads a whole terrain file: header, heights, normals and every horizon
// block, calling `onBlocks` (if given) as the blocks come in. On failure
// fills `error` and leaves `terrain` as it was.
bool readTerrain(const std::string& fileName, Terrain& terrain, TerrainError& error,
                 const HorizonBlocksRead& onBlocks = HorizonBlocksRead(),
                 KeepHorizons keep = KeepHorizons::kAll);

// ---- 4. Cell normals ----------------------------------------------------------------

// The unit normal of cell (r, c) from the weighted height differences of its
// 3 x 3 neighbourhood (weights 1, 2, 1 across the difference). Heights are in
// grid spacings. Along an index with no pair of neighbours the slope is 0.
Vec3 cellNormal(const float* heights, int gridSizeX, int gridSizeY, int r, int c);

// Normals of every cell, row by row.
std::vector<Vec3> computeNormals(const float* heights, int gridSizeX, int gridSizeY);

// A grid of the terrain's cells (gridSizeX rows of gridSizeY values, the
// first index running east and the second north) as a north-up raster, the
// way maps are shown and GIS rasters stored: gridSizeY rows from north to
// south of gridSizeX values from west to east. Raster row k, column i is
// grid value (i, gridSizeY - 1 - k).
std::vector<float> northUpRaster(const float* grid, int gridSizeX, int gridSizeY);

// ---- 5. Writing -----------------------------------------------------------------------

// Writes a terrain file with type letter 'n': heights (gridSizeX rows of
// gridSizeY) and numDirections horizon blocks, into `output` (opened here,
// not committed: the caller commits it, alone or with the files written
// beside it). Sizes that do not match, more than kMaxTerrainDirections
// directions or a height the reader would refuse write nothing. On failure
// output.error() says why.
bool writeTerrain(OutputFile& output, int gridSizeX, int gridSizeY, int numDirections,
                  const std::vector<float>& heights, const std::vector<uint16_t>& horizons);

// writeTerrain to the file `fileName`, committed: complete or untouched. On
// failure `error` says why.
bool writeTerrainFile(const std::string& fileName, int gridSizeX, int gridSizeY,
                      int numDirections, const std::vector<float>& heights,
                      const std::vector<uint16_t>& horizons, std::string& error);

