// Equal-area mapping between the upper hemisphere and the unit square: the
// zenith at the centre, the horizon on the border, azimuth running linearly
// round square rings in eight octants.
#pragma once

// (u, v) in [0, 1]^2 to (elevation, azimuth).
void squareToHemisphere(float u, float v, float& elevation, float& azimuth);

// (elevation, azimuth) to (u, v). An azimuth whose octant cannot be brought
// into 0..7 ends the program with status -1.
void hemisphereToSquare(float elevation, float azimuth, float& u, float& v);
