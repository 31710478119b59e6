// SkyQuadrature: the sky integrated numerically over a near-equal-area grid
// of the upper hemisphere, and the irradiance it gives on any plane, under an
// open horizon or a terrain-like mask.
//
// The grid. The hemisphere is cut into `rings` rings of equal elevation height
// h = (pi/2) / rings (exact pi); ring r spans elevations r h .. (r + 1) h and is
// cut into a multiple of four equal azimuth cells, 4 round(pi cos(e) / 2h)
// with e the ring's middle elevation (at least 4), so that every cell is close
// to h by h and no cell straddles a quarter of the circle (east, north, west,
// south). A cell stands for its centre direction, with weight its exact solid
// angle (sin e1 - sin e0) 2 pi / cells and value the sky luminance at its
// centre (skyLuminanceQuietly at the program's float angles of the centre):
// the product midpoint rule. The grid has about 8 rings^2 / pi cells.
//
// Irradiance. On a plane with unit normal n the quadrature gives
//   E(n) = sum over visible cells of L a max(0, n . d).
// Within a ring the cells with n . d > 0 form one arc of azimuths, found in
// closed form, and the moments L a d of each ring are kept as running sums,
// so E(n) costs a few operations per ring instead of one per cell (the plain
// sum over cells is kept beside it, and a test holds the two equal).
//
// Masks. A HorizonMask hides the sky below an elevation over half of the
// azimuths (by default the southern half, directions with y < 0, compass
// bearings between 90 and 270 degrees): a valley side or a building to the
// south. A ring lies wholly above or below the mask's elevation when that
// elevation is a multiple of h (10, 20 and 30 degrees are, for rings a
// multiple of 9); the cells of a ring below it count by their centres.
#pragma once

#include <vector>

#include "sky/sky.h"

// pi itself, for the geometry of the grid and the measure (the program's own
// angles use 3.14159; directionOf and anglesOf translate).
constexpr double kExactPi = 3.14159265358979323846;

// A direction or a plane normal in double precision; +z is the zenith, +x
// east, +y north.
struct Direction {
  double x = 0, y = 0, z = 0;
  double dot(const Direction& o) const { return x * o.x + y * o.y + z * o.z; }
};

// The direction of the program's angles, as angleToVector gives it (azimuth
// from +x towards +y; the zenith angle is 1.570795 - elevation).
Direction directionOf(float azimuth, float elevation);

// The program's angles of a unit direction: the inverse of directionOf, the
// azimuth in [0, 2 pi).
void anglesOf(const Direction& direction, float& azimuth, float& elevation);

// The sky below `elevation` (radians) hidden over the half of the azimuths
// centred on `facing` (an azimuth, radians; the default -pi/2 is the southern
// half, where y < 0); elevation 0 is the open horizon.
struct HorizonMask {
  double elevation = 0;
  double facing = -1.5707963267948966;
  // Whether the mask hides a unit direction: one behind the hidden half
  // (strictly) and not strictly above the horizon. Directions within 1e-6
  // radians of the horizon line count as on it (hidden), within 1e-6 of the
  // east or west edge as on the edge (seen), whatever the rounding of their
  // angles. The cells of a SkyQuadrature never lie on these lines.
  bool hides(const Direction& d) const;
};

// `count` unit vectors spread evenly over the whole sphere: the Fibonacci
// lattice, z_k = 1 - (2k + 1) / count and azimuth k times the golden angle
// plus `rotation`.
std::vector<Direction> fibonacciSphere(int count, double rotation);

class SkyQuadrature {
 public:
  struct Cell {
    Direction direction;
    double solidAngle;
    double luminance;
  };

  // Evaluates the sky at every cell centre (without the sky model's
  // diagnostics). rings >= 1.
  SkyQuadrature(const Sky& sky, int rings);

  int rings() const { return static_cast<int>(ringStart_.size()) - 1; }
  // Every cell, ring by ring from the horizon up, each ring from azimuth 0.
  const std::vector<Cell>& cells() const { return cells_; }
  // The luminance integrated over the whole hemisphere.
  double totalLight() const { return totalLight_; }

  // The irradiance on the plane with unit normal `normal` from the sky the
  // mask leaves visible, by the ring arcs.
  double irradiance(const Direction& normal, const HorizonMask& mask = {}) const;
  // The irradiance under each of numMasks masks at once, into out.
  void irradiances(const Direction& normal, const HorizonMask* masks, int numMasks,
                   double* out) const;
  // The same sum taken cell by cell: the plain reference of irradiance().
  double irradianceCellByCell(const Direction& normal, const HorizonMask& mask = {}) const;

 private:
  struct Moment {
    double x = 0, y = 0, z = 0;
  };
  // The moment L a d summed over cells lo .. hi (0 <= lo <= hi < cells) of a ring.
  Moment ringSum(int ring, int lo, int hi) const;

  std::vector<Cell> cells_;
  std::vector<int> ringStart_;        // first cell of each ring, then the cell count
  std::vector<double> ringElevation_;  // middle elevation of each ring
  std::vector<Moment> runningSums_;   // per ring: cells + 1 running sums from 0
  double totalLight_ = 0;
};

// The number of rings whose grid has at least `cellsPerPoint` cells for each
// of numPoints points.
int ringsForCellsPerPoint(int numPoints, int cellsPerPoint);
