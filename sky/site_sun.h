// The sun of the sky model for a place on the earth and an instant: where the
// sun is seen from the site, as the angles a Sky takes.
#pragma once

#include <string>

#include "core/utc_time.h"

// A place on the earth in degrees, WGS84 as GIS tools give it: latitude
// north positive, longitude east positive.
struct GeoSite {
  double latitude = 0;
  double longitude = 0;
};

// Whether a site is one the tools accept: finite, latitude -90..90 and
// longitude -180..180 (the range of EPSG:4326 coordinates; 190 is not
// taken for -170, which is more often a typing error than a wish).
bool isValidSite(const GeoSite& site);

// Where the sun is seen from a site at an instant.
struct SiteSun {
  double elevationDegrees = 0;  // apparent (refracted) elevation, the sun as seen
  double bearingDegrees = 0;    // compass bearing, clockwise from north, 0 <= b < 360
  float elevation = 0;          // the model's angles (compassToModelAngles)
  float azimuth = 0;
  // Whether the centre of the sun's disc is seen above the horizon.
  bool isUp() const { return elevationDegrees > 0; }
};

// The sun at a site (isValidSite) and instant: the everyday solar position
// algorithm (sky/solar_position.h) with standard air at sea level, its
// apparent elevation and bearing turned into the model's angles exactly as
// typed angles are, so a sun from a site and the same degrees typed give the
// same Sky.
SiteSun sunAtSite(const GeoSite& site, UtcTime time);

// The sun on a grid whose north lies off true north by `convergence` degrees
// (a projected DEM's meridian convergence: grid bearing = true bearing -
// convergence): the model's angles turned into the grid; the true bearing is
// kept in bearingDegrees.
SiteSun sunOnGrid(SiteSun sun, double convergence);

// "60.0000N 10.5000E" for messages and titles.
std::string formatSite(const GeoSite& site);
