// The sun at a site as the sky takes it, and the clear-sky model that weighs
// the sun's beam against the sky's light.
#include "sky/site_sun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/test_files.h"
#include "sky/clear_sky.h"
#include "sky/solar_position.h"

namespace {

TEST(SiteSun, SitesBeyondTheEarthOrNotFiniteAreRefused) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  for (GeoSite good : {GeoSite{90, 180}, GeoSite{-90, -180}, GeoSite{59.91, 10.75}})
    EXPECT_TRUE(isValidSite(good)) << good.latitude << "," << good.longitude;
  for (GeoSite bad : {GeoSite{90.0001, 0}, GeoSite{-91, 0}, GeoSite{0, 180.5}, GeoSite{0, 360}, GeoSite{nan, 0},
                      GeoSite{0, inf}, GeoSite{-inf, 0}})
    EXPECT_FALSE(isValidSite(bad)) << bad.latitude << "," << bad.longitude;
}

// Oslo at midsummer. The sky gets the refracted elevation, in radians with
// 3.14159, and the azimuth from east towards north (due south is 270).
TEST(SiteSun, IsTheApparentSunInTheModelsAnglesAndUpOnlyAboveTheHorizon) {
  const GeoSite oslo{59.91, 10.75};
  const UtcTime noon = parsedTime("2026-06-21T13:20+02:00");
  const SiteSun day = sunAtSite(oslo, noon), night = sunAtSite(oslo, parsedTime("2026-06-22T01:20+02:00"));
  EXPECT_NEAR(day.elevationDegrees, solarPositionSpa(oslo.latitude, oslo.longitude, noon).apparentElevation, 0.002);
  EXPECT_NEAR(day.bearingDegrees, 180, 1);
  EXPECT_TRUE(day.isUp());
  EXPECT_FALSE(night.isUp());
  EXPECT_FLOAT_EQ(day.elevation, float(day.elevationDegrees * 3.14159 / 180));
  EXPECT_NEAR(day.azimuth * 180 / 3.14159, 270, 1);
}

// Kasten and Young's air mass is 37.92 at the horizon; Meinel and Meinel's
// beam at air mass 1 is 70 %; a clear day's sky share at 60 degrees a tenth.
TEST(ClearSky, TheBeamWeakensAndTheSkysShareGrowsAsTheSunSinks) {
  for (double elevation = 30; elevation <= 90; elevation += 5)
    EXPECT_NEAR(kastenYoungAirMass(elevation) * std::sin(elevation * 3.141592653589793 / 180), 1, 0.005)
        << elevation;
  EXPECT_NEAR(kastenYoungAirMass(1e-9), 37.92, 0.01);
  EXPECT_NEAR(clearSkyIrradiance(90).directNormal, 0.7, 0.0001);
  double lastBeam = 1, lastShare = 0;
  for (double elevation = 90; elevation >= 1; elevation -= 1) {
    const ClearSkyIrradiance light = clearSkyIrradiance(elevation);
    const double global = light.diffuseHorizontal + light.directNormal * std::sin(elevation * 3.141592653589793 / 180);
    const double skyShare = light.diffuseHorizontal / global;
    EXPECT_LT(light.directNormal, lastBeam) << elevation;
    EXPECT_GT(skyShare, lastShare) << elevation;
    EXPECT_NEAR(clearSkyBeamRatio(elevation), light.directNormal / light.diffuseHorizontal, 1e-12);
    lastBeam = light.directNormal;
    lastShare = skyShare;
  }
  EXPECT_GT(lastShare, 0.5);
  const ClearSkyIrradiance noon = clearSkyIrradiance(60);
  EXPECT_NEAR(noon.diffuseHorizontal / (noon.diffuseHorizontal + noon.directNormal * std::sqrt(3) / 2), 0.1, 0.03);
  for (double down : {0.0, -0.5, -30.0}) {
    EXPECT_EQ(clearSkyIrradiance(down).directNormal, 0);
    EXPECT_EQ(clearSkyIrradiance(down).diffuseHorizontal, 0);
    EXPECT_EQ(clearSkyBeamRatio(down), 0);
  }
}

}  // namespace
