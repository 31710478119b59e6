#include "sky/site_sun.h"

#include <cmath>
#include <cstdio>

#include "core/angles.h"
#include "sky/solar_position.h"

bool isValidSite(const GeoSite& site) {
  return std::isfinite(site.latitude) && std::isfinite(site.longitude) && std::fabs(site.latitude) <= 90 &&
         std::fabs(site.longitude) <= 180;
}

SiteSun sunAtSite(const GeoSite& site, UtcTime time) {
  const SolarPosition position = solarPosition(site.latitude, site.longitude, time);
  SiteSun sun;
  sun.elevationDegrees = position.apparentElevation;
  sun.bearingDegrees = position.bearing;
  compassToModelAngles(sun.elevationDegrees, sun.bearingDegrees, sun.elevation, sun.azimuth);
  return sun;
}

SiteSun sunOnGrid(SiteSun sun, double convergence) {
  double bearing = sun.bearingDegrees - convergence;
  if (bearing < 0) bearing += 360;
  if (bearing >= 360) bearing -= 360;
  compassToModelAngles(sun.elevationDegrees, bearing, sun.elevation, sun.azimuth);
  return sun;
}

std::string formatSite(const GeoSite& site) {
  char text[64];
  std::snprintf(text, sizeof text, "%.4f%c %.4f%c", std::fabs(site.latitude), site.latitude < 0 ? 'S' : 'N',
                std::fabs(site.longitude), site.longitude < 0 ? 'W' : 'E');
  return text;
}
