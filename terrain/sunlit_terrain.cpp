#include "terrain/sunlit_terrain.h"

#include "sky/clear_sky.h"
#include "terrain/sky_light.h"
#include "terrain/sun_beam.h"

void addSunBeam(std::vector<float>& skyLight, const std::vector<float>& beam, double beamRatio, float sunHeight) {
  if (!(beamRatio > 0)) return;
  const double openGround = 1 + beamRatio * (sunHeight > 0 ? sunHeight : 0.0f);
  for (size_t cell = 0; cell < skyLight.size(); ++cell)
    skyLight[cell] = static_cast<float>((skyLight[cell] + beamRatio * beam[cell]) / openGround);
}

std::vector<float> computeSunlitTerrain(const Terrain& terrain, const Sky& sky, double beamRatio) {
  std::vector<float> light = computeSkyLight(terrain, sky, SkyLightScale::kOpenGround);
  if (beamRatio > 0 && sky.sunElevation() > 0)
    addSunBeam(light, computeSunBeam(terrain, sky.sunElevation(), sky.sunAzimuth()), beamRatio,
               sky.sunDirection().z);
  return light;
}

double openGroundIrradiance(double sunElevationDegrees, double beamRatio, float sunHeight) {
  const double diffuse = clearSkyIrradiance(sunElevationDegrees).diffuseHorizontal;
  return diffuse * (1 + beamRatio * (sunHeight > 0 ? sunHeight : 0.0f));
}

void CumulativeLight::add(const std::vector<float>& map, double weight) {
  if (!(weight > 0)) return;
  for (size_t cell = 0; cell < sums_.size(); ++cell) sums_[cell] += weight * map[cell];
  totalWeight_ += weight;
}

std::vector<float> CumulativeLight::mean() const {
  std::vector<float> mean(sums_.size(), 0.0f);
  if (totalWeight_ > 0)
    for (size_t cell = 0; cell < sums_.size(); ++cell) mean[cell] = static_cast<float>(sums_[cell] / totalWeight_);
  return mean;
}
