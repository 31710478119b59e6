// Where the sun stands for a site on the earth at a UTC instant.
//
// Two algorithms, one computation:
//   solarPositionSpa  the reference: I. Reda and A. Andreas, "Solar Position
//                     Algorithm for Solar Radiation Applications", NREL/TP-
//                     560-34302 (2003, revised 2008; Solar Energy 76 (2004)
//                     577-589): the earth's orbit from the VSOP87 series of
//                     P. Bretagnon and G. Francou (Astron. Astrophys. 202
//                     (1988) 309) as J. Meeus, "Astronomical Algorithms"
//                     (1998), app. III truncates them, the IAU 1980
//                     nutation, Laskar's obliquity, aberration, parallax;
//                     +-0.0003 degrees from -2000 to 6000. About 350 000
//                     positions a second.
//   solarPosition     the everyday one, about 1.9 million a second: the same
//                     steps with each series cut to the terms that can
//                     matter from 1950 to 2100 (the 16 largest of the 64
//                     terms of the main longitude series, the 4 largest
//                     nutation terms; see kEveryday in the source). What it
//                     drops is bounded by the sum of the dropped amplitudes:
//                     within 1950..2100 it moves the sun by less than 0.004
//                     degrees from the reference (measured: 0.0015), in
//                     elevation and in the arc of bearing (bearing
//                     difference times the cosine of the elevation; the
//                     bearing itself is undefined at the zenith). Further
//                     from 2000 the difference grows with the dropped powers
//                     of time; measured, it stays below 0.01 degrees from
//                     1000 to 3000.
// The tests reproduce the published example of the reference and compare the
// two on a dense sweep of sites and instants over 1950..2100.
//
// Both are topocentric: seen from the site, not the earth's centre (the
// parallax lowers the sun by up to 0.0024 degrees).
//
// Time. The instant is UTC, taken as UT1 for the earth's rotation: UTC never
// differs from UT1 by more than 0.9 s, which turns the sky by at most
// 0.004 degrees. The sun's motion along its orbit runs on Terrestrial Time,
// UT + deltaT, with deltaT from the Espenak and Meeus polynomials (below);
// the sun moves only 0.04 arc seconds along its orbit per second, so even a
// minute's error in deltaT moves it by 0.0007 degrees.
//
// Angles are degrees in double precision. Latitude is -90..90 (north
// positive), longitude east positive (any finite value; -105 and 255 are the
// same meridian); refusing other values is the caller's part. At a pole,
// where every direction is south (or north), the bearing follows the sun's
// hour angle at the given longitude.
#pragma once

#include <limits>

#include "core/utc_time.h"

// The air at the site, for refraction and parallax.
struct SolarSite {
  double pressureHpa = 1010;  // mean air pressure at the site, hPa (mbar)
  double temperatureC = 10;   // mean air temperature, degrees Celsius
  double heightMetres = 0;    // above sea level, for the parallax
  // TT - UT in seconds; NaN (the default) takes deltaT(year) below.
  double deltaTSeconds = std::numeric_limits<double>::quiet_NaN();
};

struct SolarPosition {
  double elevation = 0;          // topocentric, above the horizon, without refraction
  double apparentElevation = 0;  // with atmospheric refraction: where the sun is seen
  double bearing = 0;            // compass bearing, clockwise from north, 0 <= b < 360
  double declination = 0;        // geocentric apparent declination
  double equationOfTime = 0;     // minutes: apparent minus mean solar time
};

// The everyday algorithm (see above).
SolarPosition solarPosition(double latitude, double longitude, UtcTime time, const SolarSite& site = {});

// The reference algorithm (see above); about a hundred times slower.
SolarPosition solarPositionSpa(double latitude, double longitude, UtcTime time, const SolarSite& site = {});

// TT - UT in seconds at a decimal year (2026.5 is mid-2026): the polynomials
// of F. Espenak and J. Meeus, "Five Millennium Canon of Solar Eclipses:
// -1999 to +3000", NASA/TP-2006-214141, section 2.6, with their long-term
// parabola outside -500..2150. Observed values after 2005 have come out a few
// seconds below the prediction (69.2 s in 2025 against about 74), which
// moves the sun by less than 0.0001 degrees.
double deltaT(double decimalYear);

// Atmospheric refraction in degrees: how much higher the sun is seen than it
// stands at true elevation `elevation`. Saemundsson's formula (Sky and
// Telescope 72 (1986) 70; Meeus eq. 16.4), 1.02 / tan(h + 10.3 / (h + 5.11))
// arc minutes, scaled by (P / 1010) (283 / (273 + T)); its standard air is
// 1010 hPa and 10 degrees C, the defaults of SolarSite, and it gives 0.48
// degrees at the horizon. Zero when the sun's upper edge is below the
// horizon even after refraction (elevation < -0.26667 - 0.5667 degrees, the
// sun's radius and the refraction at the horizon), as in the reference
// algorithm.
double atmosphericRefraction(double elevation, double pressureHpa, double temperatureC);
