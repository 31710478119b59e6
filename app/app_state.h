// AppState: the window program's record of what it shows and computes: the
// sky, the sample set and its regions, and the switches of the display.
//
// Only the window program (app/ and its GL shell) reads it; the library
// takes the sky, the sample set and the terrain as parameters. It holds no GL
// types: the window pointer and the GLU quadric are only declared here.
#pragma once

#include "core/sequence.h"
#include "sampling/regions.h"
#include "sampling/sample_point.h"
#include "sky/sky.h"

class perspWindow;
class GLUquadric;

struct AppState {
  Sky sky;  // distribution, general type, sun, specularity and ambient
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
  RegionPolygons regionPolygons;  // the region of each sample point
  // Versions of the large things the window draws, for the arrays it keeps
  // from frame to frame (display/scene_arrays.h): every change of the
  // terrain or its sky grid counts terrainVersion up, every change of the
  // sample points or their regions sampleSetVersion.
  long terrainVersion = 0;
  long sampleSetVersion = 0;
};

extern AppState appState;
