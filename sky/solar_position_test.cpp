#include "sky/solar_position.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/test_files.h"

namespace {

constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180;

UtcTime at(const std::string& text) { return parsedTime(text); }

UtcTime plusMinutes(UtcTime t, double minutes) { return {t.milliseconds + std::llround(minutes * 60000)}; }

// The difference of two bearings, -180..180.
double bearingDifference(double a, double b) { return std::remainder(a - b, 360.0); }

using Algorithm = SolarPosition (*)(double, double, UtcTime, const SolarSite&);
const struct {
  const char* name;
  Algorithm position;
} kAlgorithms[] = {{"everyday", solarPosition}, {"reference", solarPositionSpa}};

// Reda and Andreas, table A5.1: 17 October 2003, 12:30:30 at UTC-7, Golden,
// Colorado, 1830.14 m, 820 hPa, 11 degrees C, deltaT 67 s.
TEST(SolarPosition, ReproducesThePublishedExampleOfTheReferenceAlgorithm) {
  SolarSite golden;
  golden.pressureHpa = 820;
  golden.temperatureC = 11;
  golden.heightMetres = 1830.14;
  golden.deltaTSeconds = 67;
  SolarPosition p = solarPositionSpa(39.742476, -105.1786, at("2003-10-17T12:30:30-07:00"), golden);
  EXPECT_NEAR(90 - p.apparentElevation, 50.11162, 1e-5);  // zenith
  EXPECT_NEAR(p.bearing, 194.34024, 1e-5);
  EXPECT_NEAR(p.elevation, 39.872046, 1e-5);
  EXPECT_NEAR(p.declination, -9.31434, 1e-5);
  EXPECT_NEAR(p.equationOfTime, 14.641503, 2e-5);  // the paper's right ascension is rounded
}

// 1950 to 2100 in steps of 2 d 7 h 13 min 17 s (wandering through the hours and
// the seasons), each at three sites spread over the globe.
TEST(SolarPosition, EverydayAlgorithmStaysWithinItsBoundOfTheReference) {
  const int64_t step = ((2 * 24 + 7) * 60 + 13) * 60000 + 17000;
  const int64_t end = at("2100-12-31T23:59Z").milliseconds;
  double worstElevation = 0, worstArc = 0, worstDeclination = 0, worstEquation = 0;
  int n = 0;
  for (int64_t ms = at("1950-01-01T00:00Z").milliseconds; ms <= end; ms += step) {
    for (int i = 0; i < 3; ++i, ++n) {
      double latitude = -90 + std::fmod(n * 0.7548776662, 1.0) * 180;
      double longitude = -180 + std::fmod(n * 0.5698402910, 1.0) * 360;
      SolarPosition r = solarPositionSpa(latitude, longitude, {ms}, {});
      SolarPosition f = solarPosition(latitude, longitude, {ms}, {});
      worstElevation = std::fmax(worstElevation, std::fabs(f.apparentElevation - r.apparentElevation));
      worstArc = std::fmax(worstArc, std::fabs(bearingDifference(f.bearing, r.bearing)) *
                                         std::cos(r.elevation * kRadiansPerDegree));
      worstDeclination = std::fmax(worstDeclination, std::fabs(f.declination - r.declination));
      worstEquation = std::fmax(worstEquation, std::fabs(f.equationOfTime - r.equationOfTime));
    }
  }
  EXPECT_GT(n, 60000);
  EXPECT_LT(worstElevation, 0.004);
  EXPECT_LT(worstArc, 0.004);
  EXPECT_LT(worstDeclination, 0.004);
  EXPECT_LT(worstEquation, 0.018);
}

// Solar noon is 12:00 mean solar time at the longitude, less the day's
// equation of time.
TEST(SolarPosition, SolarNoonFacesTheEquatorAndTheDayIsSymmetricAboutIt) {
  const char* kDates[] = {"1955-02-03", "2024-03-20", "2026-06-21", "2071-08-15", "2099-11-30"};
  const struct { double latitude, longitude, noonBearing; } kSites[] = {
      {45, 10, 180}, {30, -120, 180}, {60, 140, 180}, {-35, 150, 0}, {-52, -70, 0}};
  for (const auto& a : kAlgorithms)
    for (const char* date : kDates)
      for (const auto& s : kSites) {
        UtcTime midday = plusMinutes(at(std::string(date) + "T12:00Z"), -s.longitude * 4);
        UtcTime noon = plusMinutes(midday, -a.position(0, s.longitude, midday, {}).equationOfTime);
        SolarPosition p = a.position(s.latitude, s.longitude, noon, {});
        std::string where = std::string(a.name) + " " + date + " latitude " + std::to_string(s.latitude);
        EXPECT_NEAR(bearingDifference(p.bearing, s.noonBearing), 0, 0.05) << where;
        EXPECT_NEAR(p.elevation, 90 - std::fabs(s.latitude - p.declination), 0.005) << where;
        for (int hours : {1, 4}) {
          SolarPosition morning = a.position(s.latitude, s.longitude, plusMinutes(noon, -60 * hours), {});
          SolarPosition afternoon = a.position(s.latitude, s.longitude, plusMinutes(noon, 60 * hours), {});
          EXPECT_NEAR(morning.elevation, afternoon.elevation, 0.2) << where << " " << hours << " h";
          EXPECT_NEAR(bearingDifference(morning.bearing, 2 * s.noonBearing - afternoon.bearing), 0, 0.5)
              << where << " " << hours << " h";
        }
      }
}

// The sun crosses the equator at the equinoxes (times from the US Naval
// Observatory, to the minute).
TEST(SolarPosition, DeclinationVanishesAtTheEquinoxes) {
  for (const auto& a : kAlgorithms)
    for (const char* e : {"2000-03-20T07:35Z", "2024-03-20T03:06Z", "2024-09-22T12:44Z"})
      EXPECT_NEAR(a.position(0, 0, at(e), {}).declination, 0, 0.001) << e;
}

// At the poles the sun circles at the height of its declination (less the
// parallax).
TEST(SolarPosition, PolarNightMidnightSunAndThePoles) {
  for (const auto& a : kAlgorithms)
    for (int minute = 0; minute < 24 * 60; minute += 10) {
      const std::string where = std::string(a.name) + " minute " + std::to_string(minute);
      EXPECT_LT(a.position(80, 15, plusMinutes(at("2026-12-21T00:00+01:00"), minute), {}).apparentElevation, -12)
          << where;
      EXPECT_GT(a.position(80, 15, plusMinutes(at("2026-06-21T00:00+01:00"), minute), {}).apparentElevation, 12)
          << where;
      SolarPosition north = a.position(90, 0, plusMinutes(at("2026-04-01T00:00Z"), minute), {});
      SolarPosition south = a.position(-90, 0, plusMinutes(at("2026-04-01T00:00Z"), minute), {});
      EXPECT_NEAR(north.elevation, north.declination, 0.003) << where;
      EXPECT_NEAR(south.elevation, -south.declination, 0.003) << where;
      EXPECT_TRUE(north.bearing >= 0 && north.bearing < 360 && south.bearing >= 0 && south.bearing < 360);
    }
}

// Bennett's formula for the apparent elevation h, cot(h + 7.31 / (h + 4.4)) arc
// minutes (J. Navigation 35 (1982) 255), the independent inverse of Saemundsson's.
TEST(SolarPosition, RefractionFollowsTheStandardAirAndItsDensity) {
  for (double seen = 0; seen <= 90; seen += 0.5) {
    double bennett = 1 / std::tan((seen + 7.31 / (seen + 4.4)) * kRadiansPerDegree) / 60;
    EXPECT_NEAR(atmosphericRefraction(seen - bennett, 1010, 10), bennett, 0.1 / 60) << seen;
  }
  double horizon = atmosphericRefraction(-0.5667, 1010, 10);
  EXPECT_NEAR(horizon, 34.0 / 60, 0.02);
  EXPECT_NEAR(atmosphericRefraction(-0.5667, 505, 10), horizon / 2, 1e-12);
  EXPECT_NEAR(atmosphericRefraction(-0.5667, 1010, 10 + 283), horizon / 2, 1e-12);
  EXPECT_EQ(atmosphericRefraction(-0.84, 1010, 10), 0);
  EXPECT_EQ(atmosphericRefraction(-30, 1010, 10), 0);
}

// deltaT against the observed values (Espenak and Meeus, table 2), and
// without jumps where one polynomial hands over to the next.
TEST(SolarPosition, DeltaTFollowsTheObservedValuesWithoutJumps) {
  const struct { double year, seconds; } kObserved[] = {
      {1955, 31.1}, {1960, 33.2}, {1965, 35.7}, {1970, 40.2}, {1975, 45.5}, {1980, 50.5},
      {1985, 54.3}, {1990, 56.9}, {1995, 60.8}, {2000, 63.8}, {2005, 64.7}};
  for (const auto& o : kObserved) EXPECT_NEAR(deltaT(o.year), o.seconds, 0.5) << o.year;
  for (double y : {-500, 500, 1600, 1700, 1800, 1860, 1900, 1920, 1941, 1961, 1986, 2005, 2050, 2150})
    EXPECT_NEAR(deltaT(y - 1e-9), deltaT(y), 1.0) << y;
}

}  // namespace
