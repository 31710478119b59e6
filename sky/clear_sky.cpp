#include "sky/clear_sky.h"

#include <cmath>

namespace {

constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180;

}  // namespace

double kastenYoungAirMass(double apparentElevationDegrees) {
  const double zenith = 90 - apparentElevationDegrees;
  return 1 / (std::cos(zenith * kRadiansPerDegree) + 0.50572 * std::pow(96.07995 - zenith, -1.6364));
}

ClearSkyIrradiance clearSkyIrradiance(double apparentElevationDegrees) {
  ClearSkyIrradiance irradiance;
  if (!(apparentElevationDegrees > 0)) return irradiance;
  const double elevation = apparentElevationDegrees > 90 ? 90 : apparentElevationDegrees;
  const double beamTransmittance = std::pow(0.7, std::pow(kastenYoungAirMass(elevation), 0.678));
  const double diffuseTransmittance = 0.271 - 0.294 * beamTransmittance;
  irradiance.directNormal = beamTransmittance;
  irradiance.diffuseHorizontal = diffuseTransmittance * std::sin(elevation * kRadiansPerDegree);
  return irradiance;
}

double clearSkyBeamRatio(double apparentElevationDegrees) {
  const ClearSkyIrradiance irradiance = clearSkyIrradiance(apparentElevationDegrees);
  return irradiance.diffuseHorizontal > 0 ? irradiance.directNormal / irradiance.diffuseHorizontal : 0;
}
