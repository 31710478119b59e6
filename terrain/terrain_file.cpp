// Terrain files: reading, normals, writing and the current terrain.
//
// Index
//   1. Byte order helpers
//   2. Horizon encoding
//   3. Reading (TerrainFile)
//   4. Cell normals
//   5. Writing
#include "terrain/terrain_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace {

// ---- 1. Byte order helpers ----------------------------------------------------

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
constexpr bool kHostIsLittleEndian = false;
#else
constexpr bool kHostIsLittleEndian = true;
#endif

int32_t decodeInt32(const unsigned char* bytes) {
  uint32_t u = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
               uint32_t(bytes[3]) << 24;
  int32_t value;
  std::memcpy(&value, &u, sizeof value);
  return value;
}

void encodeInt32(int32_t value, unsigned char* bytes) {
  uint32_t u;
  std::memcpy(&u, &value, sizeof u);
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(u >> (8 * i));
}

// Reverses the bytes of each `size`-byte element (only on big-endian hosts).
void swapElements(void* data, size_t count, size_t size) {
  unsigned char* p = static_cast<unsigned char*>(data);
  for (size_t i = 0; i < count; ++i, p += size)
    for (size_t a = 0, b = size - 1; a < b; ++a, --b) std::swap(p[a], p[b]);
}

}  // namespace

// ---- 2. Horizon encoding ----------------------------------------------------------

uint16_t encodeHorizon(double sinElevation) {
  double value = std::floor((sinElevation + 1) * 32768);
  if (!(value > 0)) return 0;  // also for a sine that is not a number
  if (value > 65535) return 65535;
  return static_cast<uint16_t>(value);
}

// ---- 3. Reading ----------------------------------------------------------------------

void exitWithTerrainError(const TerrainError& error) {
  std::fputs(error.message.c_str(), stderr);
  std::fflush(stderr);
  std::exit(error.exitStatus);
}

TerrainFile::~TerrainFile() { close(); }

void TerrainFile::close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

TerrainError TerrainFile::corrupted() const {
  std::string text = "File " + name_ + " appears to be a corrupted elevation file.";
  return {text + "\n", 1, text};
}

TerrainError TerrainFile::outOfMemory() const { return terrainTooLarge(name_); }

TerrainError terrainTooLarge(const std::string& fileName) {
  std::string text = "File " + fileName + " is too large for the memory available.";
  return {text + "\n", 1, text};
}

namespace {

TerrainError cannotOpen(const std::string& name, int code) {
  return {"tgrid: cannot open input file '" + name + "'\n", -1,
          "cannot open " + name + ": " + std::strerror(code)};
}

// Opens a regular file for reading, and nothing else: a FIFO or a device is
// refused before it is opened, and again if one took the file's place
// (opening with O_NONBLOCK, a FIFO does not wait for a writer). Returns -1
// with `notRegular` false when the file cannot be opened (errno says why),
// or with `notRegular` true for anything that is not a regular file.
int openRegularFile(const std::string& name, struct stat& info, bool& notRegular) {
  notRegular = false;
  if (::stat(name.c_str(), &info) != 0) return -1;
  if (S_ISDIR(info.st_mode)) {
    errno = EISDIR;
    return -1;
  }
  notRegular = !S_ISREG(info.st_mode);
  if (notRegular) return -1;
  const int descriptor = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (descriptor < 0) return -1;
  int flags = 0;
  if (::fstat(descriptor, &info) != 0) {
    // errno says why
  } else if (!S_ISREG(info.st_mode)) {
    notRegular = !S_ISDIR(info.st_mode);
    errno = EISDIR;
  } else if ((flags = ::fcntl(descriptor, F_GETFL)) >= 0 &&
             ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) == 0) {
    return descriptor;
  }
  const int code = errno;
  ::close(descriptor);
  errno = code;
  return -1;
}

}  // namespace

bool TerrainFile::open(const std::string& fileName, Terrain& terrain,
                       TerrainError& error) {
  close();
  name_ = fileName;
  struct stat info;
  bool notRegular = false;
  const int descriptor = openRegularFile(fileName, info, notRegular);
  if (descriptor < 0) {
    error = notRegular ? corrupted() : cannotOpen(fileName, errno);
    return false;
  }
  file_ = ::fdopen(descriptor, "rb");
  if (!file_) {
    error = cannotOpen(fileName, errno);
    ::close(descriptor);
    return false;
  }

  int type = std::fgetc(file_);
  if (type != 'n' && type != 'p') {
    const char* kind = type == 'h' ? "a horizon file." : "of unknown type.";
    const std::string text = "File " + fileName + " is not an elevation file.  It is " + kind;
    error = {text + "\n", 1, text};
    return false;
  }
  unsigned char header[12];
  if (std::fgetc(file_) != '\n' || std::fread(header, 1, 12, file_) != 12) {
    error = corrupted();
    return false;
  }
  int32_t gridSizeX = decodeInt32(header);
  int32_t gridSizeY = decodeInt32(header + 4);
  int32_t numDirections = decodeInt32(header + 8);
  if (gridSizeX < 1 || gridSizeY < 1 || numDirections < 1 || numDirections > kMaxTerrainDirections) {
    error = corrupted();
    return false;
  }

  // The header's promise must fit in 64 bits, the cell count in an int (the
  // display indexes cells with ints), and the file must be that long, all
  // before anything is allocated.
  uint64_t cells = uint64_t(gridSizeX) * uint64_t(gridSizeY);
  uint64_t bytesPerCell = 4 + 2 * uint64_t(numDirections);
  const off_t length = info.st_size;
  if (cells > uint64_t(INT_MAX) || cells > (UINT64_MAX - kTerrainHeaderBytes) / bytesPerCell ||
      length < 0 || uint64_t(length) < kTerrainHeaderBytes + cells * bytesPerCell) {
    error = corrupted();
    return false;
  }

  terrain.gridSizeX = gridSizeX;
  terrain.gridSizeY = gridSizeY;
  terrain.numDirections = numDirections;
  numCells_ = size_t(cells);
  try {
    terrain.terrainHeights.assign(numCells_, 0.0f);
    if (std::fread(terrain.terrainHeights.data(), 4, numCells_, file_) != numCells_) {
      error = corrupted();
      return false;
    }
    if (!kHostIsLittleEndian) swapElements(terrain.terrainHeights.data(), numCells_, 4);
    for (float height : terrain.terrainHeights)
      if (!isUsableHeight(height)) {
        error = corrupted();
        return false;
      }
    terrain.terrainNormals = computeNormals(terrain.terrainHeights.data(), gridSizeX, gridSizeY);
  } catch (const std::bad_alloc&) {
    terrain.terrainHeights.clear();
    terrain.terrainHeights.shrink_to_fit();
    error = outOfMemory();
    return false;
  }
  return true;
}

bool TerrainFile::readHorizonBlocks(int count, uint16_t* blocks, TerrainError& error) {
  size_t values = numCells_ * size_t(count);
  if (!file_ || std::fread(blocks, 2, values, file_) != values) {
    error = corrupted();
    return false;
  }
  if (!kHostIsLittleEndian) swapElements(blocks, values, 2);
  return true;
}

bool readTerrain(const std::string& fileName, Terrain& terrain, TerrainError& error,
                 const HorizonBlocksRead& onBlocks, KeepHorizons keep) {
  TerrainFile file;
  Terrain read;
  if (!file.open(fileName, read, error)) return false;
  // A few directions at a time, so that whoever uses them as they come finds
  // them in the cache.
  const int perRead = 4;
  std::unique_ptr<uint16_t[]> chunk;  // when they are not kept; filled by every read before use
  try {
    if (keep == KeepHorizons::kAll)
      read.horizons.resize(read.numCells() * size_t(read.numDirections));
    else
      chunk.reset(new uint16_t[read.numCells() * size_t(std::min(perRead, read.numDirections))]);
  } catch (const std::bad_alloc&) {
    error = file.outOfMemory();
    return false;
  }
  for (int j = 0; j < read.numDirections; j += perRead) {
    const int count = std::min(perRead, read.numDirections - j);
    uint16_t* blocks = chunk ? chunk.get() : read.horizons.data() + size_t(j) * read.numCells();
    if (!file.readHorizonBlocks(count, blocks, error)) return false;
    if (onBlocks) onBlocks(read, j, count, blocks);
  }
  file.close();
  read.fileName = fileName;
  terrain = std::move(read);
  return true;
}

// ---- 4. Cell normals -------------------------------------------------------------------

Vec3 cellNormal(const float* heights, int gridSizeX, int gridSizeY, int r, int c) {
  auto inside = [&](int x, int y) { return x >= 0 && x < gridSizeX && y >= 0 && y < gridSizeY; };
  auto z = [&](int x, int y) { return heights[size_t(x) * gridSizeY + y]; };
  static const float kWeight[3] = {1, 2, 1};

  // Along the first index: differences of vertically adjacent cells, the
  // column offsets weighted 1, 2, 1; pairs that leave the grid count nothing.
  float numerator = 0, denominator = 0;
  for (int k = -1; k <= 1; ++k)
    for (int i = -1; i <= 0; ++i)
      if (inside(r + i, c + k) && inside(r + i + 1, c + k)) {
        numerator += kWeight[k + 1] * (z(r + i + 1, c + k) - z(r + i, c + k));
        denominator += kWeight[k + 1];
      }
  float gx = denominator > 0 ? -numerator / denominator : 0.0f;

  // Along the second index likewise, the row offsets weighted 1, 2, 1.
  numerator = 0;
  denominator = 0;
  for (int k = -1; k <= 1; ++k)
    for (int i = -1; i <= 0; ++i)
      if (inside(r + k, c + i) && inside(r + k, c + i + 1)) {
        numerator += kWeight[k + 1] * (z(r + k, c + i + 1) - z(r + k, c + i));
        denominator += kWeight[k + 1];
      }
  float gy = denominator > 0 ? -numerator / denominator : 0.0f;

  float s = std::sqrt(gx * gx + gy * gy + 1);
  return Vec3(gx / s, gy / s, 1 / s);
}

namespace {

// cellNormal for a cell whose 3 x 3 neighbourhood lies inside the grid: every
// pair is present, so the denominators are 8. The sums run in the same order
// as in cellNormal and give the same bits.
Vec3 interiorNormal(const float* z, int gridSizeY, int r, int c) {
  const float* up = z + size_t(r - 1) * gridSizeY + c;  // row r - 1
  const float* mid = up + gridSizeY;                     // row r
  const float* down = mid + gridSizeY;                   // row r + 1
  float numerator = 0;
  numerator += 1.0f * (mid[-1] - up[-1]);
  numerator += 1.0f * (down[-1] - mid[-1]);
  numerator += 2.0f * (mid[0] - up[0]);
  numerator += 2.0f * (down[0] - mid[0]);
  numerator += 1.0f * (mid[1] - up[1]);
  numerator += 1.0f * (down[1] - mid[1]);
  float gx = -numerator / 8.0f;
  numerator = 0;
  numerator += 1.0f * (up[0] - up[-1]);
  numerator += 1.0f * (up[1] - up[0]);
  numerator += 2.0f * (mid[0] - mid[-1]);
  numerator += 2.0f * (mid[1] - mid[0]);
  numerator += 1.0f * (down[0] - down[-1]);
  numerator += 1.0f * (down[1] - down[0]);
  float gy = -numerator / 8.0f;
  float s = std::sqrt(gx * gx + gy * gy + 1);
  return Vec3(gx / s, gy / s, 1 / s);
}

}  // namespace

std::vector<Vec3> computeNormals(const float* heights, int gridSizeX, int gridSizeY) {
  std::vector<Vec3> normals(size_t(gridSizeX) * size_t(gridSizeY));
  size_t cell = 0;
  for (int r = 0; r < gridSizeX; ++r)
    for (int c = 0; c < gridSizeY; ++c, ++cell) {
      bool interior = r > 0 && r < gridSizeX - 1 && c > 0 && c < gridSizeY - 1;
      normals[cell] = interior ? interiorNormal(heights, gridSizeY, r, c)
                               : cellNormal(heights, gridSizeX, gridSizeY, r, c);
    }
  return normals;
}

std::vector<float> northUpRaster(const float* grid, int gridSizeX, int gridSizeY) {
  const size_t width = size_t(gridSizeX), height = size_t(gridSizeY);
  std::vector<float> raster(width * height);
  for (size_t i = 0; i < width; ++i)
    for (size_t j = 0; j < height; ++j) raster[(height - 1 - j) * width + i] = grid[i * height + j];
  return raster;
}

// ---- 5. Writing ----------------------------------------------------------------------------

bool writeTerrain(OutputFile& output, int gridSizeX, int gridSizeY, int numDirections,
                  const std::vector<float>& heights, const std::vector<uint16_t>& horizons) {
  size_t cells = size_t(gridSizeX) * size_t(gridSizeY);
  if (gridSizeX < 1 || gridSizeY < 1 || numDirections < 1 || heights.size() != cells ||
      horizons.size() != cells * size_t(numDirections))
    return output.fail("inconsistent terrain sizes");
  if (numDirections > kMaxTerrainDirections)
    return output.fail("more than " + std::to_string(kMaxTerrainDirections) + " directions");
  for (float height : heights)
    if (!isUsableHeight(height))
      return output.fail("a height is not a finite number within " +
                         std::to_string(long(kMaxTerrainHeight)) + " grid spacings");
  unsigned char header[kTerrainHeaderBytes] = {'n', '\n'};
  encodeInt32(gridSizeX, header + 2);
  encodeInt32(gridSizeY, header + 6);
  encodeInt32(numDirections, header + 10);
  if (!output.open() || !output.write(header, sizeof header)) return false;
  if (kHostIsLittleEndian)
    return output.write(heights.data(), 4 * cells) && output.write(horizons.data(), 2 * horizons.size());
  std::vector<float> h(heights);
  std::vector<uint16_t> v(horizons);
  swapElements(h.data(), h.size(), 4);
  swapElements(v.data(), v.size(), 2);
  return output.write(h.data(), 4 * cells) && output.write(v.data(), 2 * v.size());
}

bool writeTerrainFile(const std::string& fileName, int gridSizeX, int gridSizeY,
                      int numDirections, const std::vector<float>& heights,
                      const std::vector<uint16_t>& horizons, std::string& error) {
  OutputFile output(fileName);
  if (writeTerrain(output, gridSizeX, gridSizeY, numDirections, heights, horizons) && output.commit())
    return true;
  error = output.error();
  return false;
}
