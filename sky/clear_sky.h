// A clear-sky model of the sun's direct beam and the sky's diffuse light:
// how strong each is, as fractions of the sun's irradiance outside the
// atmosphere, for weighing the sun against the sky on a terrain.
//
//   air mass  F. Kasten and A. T. Young, "Revised optical air mass tables
//             and approximation formula", Applied Optics 28 (1989)
//             4735-4738: m = 1 / (cos z + 0.50572 (96.07995 - z)^-1.6364),
//             z the apparent (refracted) zenith angle in degrees; 1 at the
//             zenith, about 38 at the horizon.
//   beam      A. B. Meinel and M. P. Meinel, "Applied Solar Energy: An
//             Introduction" (Addison-Wesley, 1976): the direct normal
//             irradiance is 0.7^(m^0.678) of that outside the atmosphere
//             (their 1.353 kW/m2); at sea level, in a clear atmosphere.
//   diffuse   B. Y. H. Liu and R. C. Jordan, "The interrelationship and
//             characteristic distribution of direct, diffuse and total
//             solar radiation", Solar Energy 4 (3) (1960) 1-19, in the form
//             J. A. Duffie and W. A. Beckman give it ("Solar Engineering of
//             Thermal Processes", sec. 2.8): on a clear day the diffuse
//             horizontal irradiance is tau_d cos z of that outside the
//             atmosphere, with tau_d = 0.271 - 0.294 tau_b and tau_b the beam's
//             transmittance above.
//
// The ratio of direct normal to diffuse horizontal irradiance is about ten
// with the sun anywhere above 10 degrees (10.7 at the zenith, 10.8 at 30
// degrees, 10.3 at 10 degrees, 7.9 at 2 degrees); right at the horizon it
// grows without bound, as the diffuse light on level ground goes to 0 with
// sin h faster than the beam, while their ratio on level ground, the beam
// times sin h over the diffuse, stays below 0.06 there. Of the light on open
// level ground the sky gives 8.5 % with the sun at the zenith, 16 % at 30
// degrees, 36 % at 10 degrees.
#pragma once

// Kasten and Young's relative air mass for the sun at this apparent
// elevation in degrees (0 < elevation <= 90).
double kastenYoungAirMass(double apparentElevationDegrees);

struct ClearSkyIrradiance {
  double directNormal = 0;       // on a plane facing the sun
  double diffuseHorizontal = 0;  // from the sky, on level ground
};

// The clear sky's irradiances for the sun at this apparent elevation in
// degrees, as fractions of the irradiance outside the atmosphere; both 0
// with the sun at or below the horizon.
ClearSkyIrradiance clearSkyIrradiance(double apparentElevationDegrees);

// The ratio of direct normal to diffuse horizontal irradiance of the clear
// sky (above); 0 with the sun at or below the horizon.
double clearSkyBeamRatio(double apparentElevationDegrees);
