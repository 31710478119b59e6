#include "app/sky_menu_entries.h"

#include <cstdio>

#include "sky/sky_model.h"

namespace {

constexpr int kFirstGeneralValue = 7;
constexpr int kNumGeneralTypes = 15;

}  // namespace

std::vector<SkyMenuEntry> skyMenuEntries() {
  std::vector<SkyMenuEntry> entries = {
      {"Uniform", static_cast<int>(SkyDistribution::UNIFORM)},
      {"Overcast", static_cast<int>(SkyDistribution::OVERCAST)},
      {"Clear", static_cast<int>(SkyDistribution::CLEAR)},
      {"Sharp", static_cast<int>(SkyDistribution::SHARP)},
      {"Turbid", static_cast<int>(SkyDistribution::TURBID)},
  };
  for (int n = 1; n <= kNumGeneralTypes; ++n) {
    entries.push_back({generalTypeLabel(n), kFirstGeneralValue + n - 1});
  }
  return entries;
}

std::string generalTypeLabel(int n) {
  char label[1000];
  std::snprintf(label, sizeof label, "General Type %d (%s)", n, generalSkyNames[n - 1]);
  return label;
}

void applySkyMenuValue(Sky& sky, int value) {
  if (value < kFirstGeneralValue) {
    sky.distribution = static_cast<SkyDistribution>(value);
  } else {
    sky.distribution = SkyDistribution::GENERAL;
    sky.generalType = value - kFirstGeneralValue;
  }
}
