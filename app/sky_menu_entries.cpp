#include "app/sky_menu_entries.h"

#include <cstdio>

#include "app/app_state.h"
#include "sky/sky_model.h"

namespace {

constexpr int kFirstGeneralValue = 7;
constexpr int kNumGeneralTypes = 15;

}  // namespace

std::vector<SkyMenuEntry> skyMenuEntries() {
  std::vector<SkyMenuEntry> entries = {
      {"Uniform", UNIFORM}, {"Overcast", OVERCAST}, {"Clear", CLEAR},
      {"Sharp", SHARP},     {"Turbid", TURBID},
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

void applySkyMenuValue(int value) {
  if (value < kFirstGeneralValue) {
    appState.distribution = static_cast<SkyDistribution>(value);
  } else {
    appState.distribution = GENERAL;
    appState.generalType = value - kFirstGeneralValue;
  }
}
