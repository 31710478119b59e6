// Helpers shared by the sampling tests: setting the sky of the application
// state for one test and putting the defaults back afterwards.
#pragma once

#include <gtest/gtest.h>

#include "app/app_state.h"
#include "sky/sky_model.h"

// Sets the sky and sun of appState (and derives the sun direction); the
// destructor restores what was there.
class ScopedSky {
 public:
  ScopedSky(SkyDistribution distribution, int generalType, float sunElevation, float sunAzimuth)
      : saved_(appState.distribution),
        savedType_(appState.generalType),
        savedElevation_(appState.sunElevation),
        savedAzimuth_(appState.sunAzimuth),
        savedPoints_(appState.numSamplePoints),
        savedShares_(appState.equalShares) {
    set(distribution, generalType, sunElevation, sunAzimuth);
  }
  // The default sky: CLEAR, general type 12, sun at 45 degrees in the south.
  ScopedSky() : ScopedSky(CLEAR, 11, 0.7853975f, 4.712385f) {}
  ~ScopedSky() {
    set(saved_, savedType_, savedElevation_, savedAzimuth_);
    appState.numSamplePoints = savedPoints_;
    appState.equalShares = savedShares_;
  }
  ScopedSky(const ScopedSky&) = delete;
  ScopedSky& operator=(const ScopedSky&) = delete;

  static void set(SkyDistribution distribution, int generalType, float sunElevation,
                  float sunAzimuth) {
    appState.distribution = distribution;
    appState.generalType = generalType;
    appState.sunElevation = sunElevation;
    appState.sunAzimuth = sunAzimuth;
    appState.sunDirection = angleToVector(sunAzimuth, sunElevation);
  }

 private:
  SkyDistribution saved_;
  int savedType_;
  float savedElevation_, savedAzimuth_;
  int savedPoints_;
  bool savedShares_;
};
