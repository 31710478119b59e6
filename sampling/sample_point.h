// SamplePoint: one weighted sample direction of the sky.
#pragma once

struct SamplePoint {
  float elevation;
  float azimuth;
  // In a published set: the weight (weights sum to 1). In working arrays: the
  // sky luminance of the direction.
  float weight;
  // Working coordinates in the unit square of the hemisphere mapping.
  float squareU;
  float squareV;
  // The RGBA entry of the colour ramp for the point's luminance class, or
  // null when the set was not made by stratification.
  const unsigned char* colour = nullptr;
  bool highlighted;
};
