// The light of a terrain under a sky and its sun: the sky's diffuse light
// (terrain/sky_light.h) and the sun's direct beam (terrain/sun_beam.h)
// weighed against each other, relative to open level ground.
//
// For a cell, let d be its sky light relative to open level ground under the
// same sky (SkyLightScale::kOpenGround) and b its beam, max(0, n . s) where
// the sun stands above the cell's horizon and 0 where it does not; let s_z be
// the beam open level ground gets (the sine of the sun's elevation), and K
// the beam ratio: the direct normal irradiance over the diffuse horizontal
// irradiance D. The sky lights the cell with D d and the sun with K D b, and
// open level ground gets D (1 + K s_z), so the cell's light relative to open
// level ground is
//
//     (d + K b) / (1 + K s_z)
//
// 1 on open level ground, above 1 on a slope facing the sun, at most
// d / (1 + K s_z) in shadow. K = 0 leaves the sun out: d alone. The clear-sky
// model (sky/clear_sky.h) gives K from the sun's elevation; about 10 with the
// sun above 10 degrees.
//
// Over several times the maps are averaged, each weighted by open level
// ground's irradiance at its time (the clear-sky model's diffuse horizontal
// irradiance times 1 + K s_z): the cell's light over the times relative to
// open level ground's over the same times, the ratio of their irradiations.
// A time with the sun at or below the horizon weighs nothing.
#pragma once

#include <cstddef>
#include <vector>

#include "sky/sky.h"
#include "terrain/terrain_file.h"

// Adds the beam to a map of sky light relative to open level ground, in
// place: every value d becomes (d + K b) / (1 + K s_z), b the beam's value
// of the same cell, s_z the sun's height (the z of its unit vector, at least
// 0). With K = 0 the map stays as it is.
void addSunBeam(std::vector<float>& skyLight, const std::vector<float>& beam, double beamRatio, float sunHeight);

// The light of every cell, sky and sun (above), under the sky with its sun
// and with beam ratio K (0 for the sky light alone); gridSizeX rows of
// gridSizeY values in the order of the heights. The terrain must hold its
// horizons (readTerrain).
std::vector<float> computeSunlitTerrain(const Terrain& terrain, const Sky& sky, double beamRatio);

// The weight of a time in a cumulative map: open level ground's irradiance
// as a fraction of the sun's outside the atmosphere, the clear-sky model's
// diffuse horizontal irradiance for the sun at this apparent elevation times
// 1 + K s_z. 0 with the sun at or below the horizon.
double openGroundIrradiance(double sunElevationDegrees, double beamRatio, float sunHeight);

// The weighted mean of maps of one terrain, summed in double precision in
// the order they are added.
class CumulativeLight {
 public:
  explicit CumulativeLight(size_t numCells) : sums_(numCells, 0.0) {}
  // Adds a map of numCells values with its weight (>= 0).
  void add(const std::vector<float>& map, double weight);
  double totalWeight() const { return totalWeight_; }
  // The sum of weight times map over the sum of the weights; all 0 while
  // the weights sum to 0.
  std::vector<float> mean() const;

 private:
  std::vector<double> sums_;
  double totalWeight_ = 0;
};
