// Test helpers: terrain files built byte by byte in a private folder.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// A folder of its own under the system's temporary folder, removed with its
// files at the end of the test.
class ScratchFolder {
 public:
  ScratchFolder() {
    char pattern[] = "/tmp/halvane-terrain-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    EXPECT_NE(made, nullptr);
    path_ = made ? made : "/tmp";
  }
  ~ScratchFolder() {
    for (const std::string& file : files_) std::remove(file.c_str());
    rmdir(path_.c_str());
  }
  // The full name of `name` in the folder (the file need not exist).
  std::string file(const std::string& name) {
    std::string full = path_ + "/" + name;
    if (std::find(files_.begin(), files_.end(), full) == files_.end()) files_.push_back(full);
    return full;
  }
  // Writes `bytes` as the file `name` and returns its full name.
  std::string write(const std::string& name, const std::vector<unsigned char>& bytes) {
    std::string full = file(name);
    std::FILE* out = std::fopen(full.c_str(), "wb");
    EXPECT_NE(out, nullptr);
    if (out) {
      if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), out);
      std::fclose(out);
    }
    return full;
  }

 private:
  std::string path_;
  std::vector<std::string> files_;
};

// Little-endian bytes of a terrain file: type letter and line feed, the
// three sizes, then `heights` and `horizons` as given (they need not match
// the sizes, so broken files can be made too).
inline std::vector<unsigned char> terrainBytes(int32_t gridSizeX, int32_t gridSizeY,
                                               int32_t numDirections,
                                               const std::vector<float>& heights,
                                               const std::vector<uint16_t>& horizons,
                                               const char* start = "n\n") {
  std::vector<unsigned char> bytes(start, start + std::strlen(start));
  auto put32 = [&](uint32_t u) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<unsigned char>(u >> (8 * i)));
  };
  put32(uint32_t(gridSizeX));
  put32(uint32_t(gridSizeY));
  put32(uint32_t(numDirections));
  for (float h : heights) {
    uint32_t u;
    std::memcpy(&u, &h, 4);
    put32(u);
  }
  for (uint16_t v : horizons) {
    bytes.push_back(static_cast<unsigned char>(v & 0xff));
    bytes.push_back(static_cast<unsigned char>(v >> 8));
  }
  return bytes;
}

// A regular expression that matches exactly `text`.
inline std::string exactly(const std::string& text) {
  std::string pattern = "^";
  for (char c : text) {
    if (std::strchr("\\^$.|?*+()[]{}", c)) pattern += '\\';
    pattern += c;
  }
  return pattern + "$";
}

// Every way a file can be refused, with its message and exit status.
struct BadFile {
  const char* what;
  std::vector<unsigned char> bytes;
  const char* message;  // %s stands for the file name
  int exitStatus;
};

inline std::vector<BadFile> badFiles() {
  const std::vector<float> h4(4, 1.0f);
  const std::vector<uint16_t> v8(8, 32768);
  const char* corrupted = "File %s appears to be a corrupted elevation file.\n";
  std::vector<unsigned char> oneShort = terrainBytes(2, 2, 2, h4, v8);
  oneShort.pop_back();
  std::vector<unsigned char> shortHeader = terrainBytes(2, 2, 2, {}, {});
  shortHeader.resize(9);
  return {
      {"horizon file", terrainBytes(2, 2, 2, h4, v8, "h\n"),
       "File %s is not an elevation file.  It is a horizon file.\n", 1},
      {"unknown type", terrainBytes(2, 2, 2, h4, v8, "x\n"),
       "File %s is not an elevation file.  It is of unknown type.\n", 1},
      {"empty file", {}, "File %s is not an elevation file.  It is of unknown type.\n", 1},
      {"carriage return", terrainBytes(2, 2, 2, h4, v8, "n\r\n"), corrupted, 1},
      {"letter only", {'n'}, corrupted, 1},
      {"header cut short", shortHeader, corrupted, 1},
      {"one byte short of the last block", oneShort, corrupted, 1},
      {"heights only", terrainBytes(2, 2, 2, h4, {}), corrupted, 1},
      {"zero rows", terrainBytes(0, 2, 2, {}, {}), corrupted, 1},
      {"negative columns", terrainBytes(2, -3, 2, h4, v8), corrupted, 1},
      {"zero directions", terrainBytes(2, 2, 0, h4, {}), corrupted, 1},
      {"negative directions", terrainBytes(2, 2, -1, h4, v8), corrupted, 1},
      {"sizes beyond memory", terrainBytes(2147483647, 2147483647, 2147483647, h4, v8), corrupted, 1},
      {"cell count beyond an int", terrainBytes(65536, 32768, 1, h4, v8), corrupted, 1},
  };
}

inline std::string withName(const char* message, const std::string& name) {
  std::string text = message;
  return text.replace(text.find("%s"), 2, name);
}
