// The entries of the sky menu on the right mouse button, and the meaning of
// a menu value.
//
// Values 0 to 6 are SkyDistribution values; 7 to 21 are GENERAL with
// generalType value - 7 (general types 1 to 15).
#pragma once

#include <string>
#include <vector>

#include "sky/sky.h"

struct SkyMenuEntry {
  std::string label;
  int value;
};

// "Uniform", "Overcast", "Clear", "Sharp", "Turbid", then general types 1 to
// 15, in menu order. POINT and COSINE have no entry.
std::vector<SkyMenuEntry> skyMenuEntries();

// "General Type N (description)" for general type n, 1 to 15.
std::string generalTypeLabel(int n);

// Sets the sky's distribution (and generalType for a general type) from a
// menu value; below 7 generalType is kept.
void applySkyMenuValue(Sky& sky, int value);
