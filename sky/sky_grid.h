// The entry point that brings the terrain's sky grid up to date: it rereads
// the terrain file and computes the brightness of every cell under the
// current sky. Nothing is cached between calls.
#pragma once

#include <string>

// Start-up form: reads `fileName` and returns its sky grid (gridSizeX rows of
// gridSizeY brightness values), storing the file's sizes in the out
// arguments. A file that cannot be opened or is not a good terrain file ends
// the program with the reader's message and exit status.
const float* computeSkyGrid(const std::string& fileName, int& gridSizeX, int& gridSizeY);

// The form for every later computation (sky or sun change, pick, terrain
// chooser): like computeSkyGrid, but a bad file writes the reader's message
// to standard error and returns nullptr, leaving the previous terrain, sky
// grid and the out arguments as they were. A new terrain replaces the old one
// only once it has been read completely.
//
// The returned grid stays valid until the next successful call.
const float* tryComputeSkyGrid(const std::string& fileName, int& gridSizeX, int& gridSizeY);
