// AppState: the one record of application-wide state.
//
// It holds no GL types: the window pointer and the GLU quadric are only
// declared here, so the GL-free library and the tools can share the record.
#pragma once

#include "core/sequence.h"
#include "core/vec3.h"
#include "sampling/sample_point.h"
#include "sky/sky_distribution.h"

class perspWindow;
class GLUquadric;

struct AppState {
  SkyDistribution distribution = CLEAR;
  int generalType = 11;               // 0-based; shown to users as 1..15
  float sunElevation = 0.7853975f;    // 3.14159 / 4
  float sunAzimuth = 4.712385f;       // 3 * 3.14159 / 2
  Vec3 sunDirection = Vec3(0, 0, 1);  // always angleToVector(sunAzimuth, sunElevation)
  float specularity = 250.0f;
  float ambient = 0.1f;
  float skyNormaliser = 0.0f;
  float hemisphereRadius = 5.0f;
  int numSamplePoints = 250;
  bool equalShares = true;
  bool drawTerrain = true;
  bool drawHemisphere = true;
  bool drawContours = false;
  bool drawRegions = false;
  bool samplesComputed = false;
  int quitRequests = 0;
  perspWindow* appWindow = nullptr;
  GLUquadric* quadric = nullptr;
  Sequence<SamplePoint> samplePoints;
};

extern AppState appState;
