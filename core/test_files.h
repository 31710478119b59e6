// Test helpers: whole files read and written as text, a scratch folder, a
// limit on file sizes, and times read from text.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/utc_time.h"

// The whole of a file ("" if it cannot be read).
inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The instant a valid time names (the test fails if it is not valid).
inline UtcTime parsedTime(const std::string& text) {
  UtcTime t;
  std::string error;
  EXPECT_TRUE(parseIsoTime(text, t, error)) << text << ": " << error;
  return t;
}

inline void writeFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// From here on a write that makes a file longer than `bytes` fails (EFBIG)
// instead of ending the process: for the child of a death test.
inline void limitFileSize(rlim_t bytes) {
  struct rlimit limit;
  limit.rlim_cur = limit.rlim_max = bytes;
  ::setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, SIG_IGN);
}

// A fixture with a private folder under /tmp, removed with everything in it.
class ScratchFolderTest : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/halvane-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string path(const std::string& name) const { return folder_ + "/" + name; }
  // The names in the folder, sorted: what a test leaves behind.
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string folder_;
};
