// Test helpers: whole files read and written as text.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

// The whole of a file ("" if it cannot be read).
inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void writeFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}
