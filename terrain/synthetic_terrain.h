// Height grids made up for the terrain tool and for tests.
#pragma once

#include <cstdint>
#include <vector>

// A natural-looking landscape of size x size cells, heights in grid spacings:
// a winding valley between two ridges, a peak, and rough ground of smaller
// hills and gullies. The same size and seed always give the same heights,
// on any machine.
std::vector<float> syntheticHeights(int size, uint64_t seed);

// A level grid of size x size cells at height 0.
std::vector<float> flatHeights(int size);
