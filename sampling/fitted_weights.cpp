// Fitted weights: the planes, the system, and its solution.
//
// Index
//   1. The planes and their targets
//   2. The constrained least squares by conjugate gradients
//   3. fitSampleWeights
#include "sampling/fitted_weights.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "sampling/sky_quadrature.h"
#include "sampling/spiral_set.h"

namespace {

// ---- 1. The planes and their targets ----------------------------------------------------------

struct FitPlane {
  Direction normal;
  double target;  // irradiance in units of the sky's whole light
};

std::vector<FitPlane> fitPlanes(const Sky& sky, int numPoints) {
  const int rings = std::max(kFitMinimumRings, ringsForCellsPerPoint(numPoints, kSpiralCellsPerPoint));
  const SkyQuadrature quadrature(sky, rings);
  std::vector<FitPlane> planes;
  double brightest = 0;
  for (const Direction& normal : fibonacciSphere(kFitPlanes, 1.0)) {
    const double target = quadrature.irradiance(normal) / quadrature.totalLight();
    planes.push_back({normal, target});
    brightest = std::max(brightest, target);
  }
  planes.erase(std::remove_if(planes.begin(), planes.end(),
                              [&](const FitPlane& p) {
                                return !(p.target >= kFitPlaneThreshold * brightest && p.target > 0);
                              }),
               planes.end());
  return planes;
}

// ---- 2. The constrained least squares by conjugate gradients -----------------------------------

// The system in the relative changes x of the free weights:
//   minimise (1/P) |B x - r|^2 + (lambda/N) |x|^2 subject to u . x = c,
// B (P rows, N columns, row-major) and r as fitSampleWeights sets them up.
class RidgeSystem {
 public:
  RidgeSystem(std::vector<double> b, std::vector<double> r, int columns)
      : b_(std::move(b)), r_(std::move(r)), rows_(static_cast<int>(r_.size())), columns_(columns) {}

  // H v = (1/P) B^T B v + (lambda/N) v, on the columns marked free (the
  // others read as 0 and come out 0).
  void apply(const std::vector<double>& v, const std::vector<char>& free, std::vector<double>& out) const {
    std::vector<double> bv(rows_, 0.0);
    for (int k = 0; k < rows_; ++k) {
      const double* row = &b_[static_cast<size_t>(k) * columns_];
      double s = 0;
      for (int i = 0; i < columns_; ++i) s += row[i] * v[i];
      bv[k] = s;
    }
    out.assign(columns_, 0.0);
    for (int k = 0; k < rows_; ++k) {
      const double* row = &b_[static_cast<size_t>(k) * columns_];
      const double s = bv[k] / rows_;
      for (int i = 0; i < columns_; ++i) out[i] += row[i] * s;
    }
    const double ridge = kFitRidge / columns_;
    for (int i = 0; i < columns_; ++i) out[i] = free[i] ? out[i] + ridge * v[i] : 0;
  }

  // (1/P) B^T (r - B x0) - (lambda/N) x0: the descent direction at x0.
  std::vector<double> gradient(const std::vector<double>& x0, const std::vector<char>& free) const {
    std::vector<double> h;
    apply(x0, std::vector<char>(columns_, 1), h);
    std::vector<double> g(columns_, 0.0);
    for (int k = 0; k < rows_; ++k) {
      const double* row = &b_[static_cast<size_t>(k) * columns_];
      const double s = r_[k] / rows_;
      for (int i = 0; i < columns_; ++i) g[i] += row[i] * s;
    }
    for (int i = 0; i < columns_; ++i) g[i] = free[i] ? g[i] - h[i] : 0;
    return g;
  }

  int columns() const { return columns_; }

 private:
  std::vector<double> b_, r_;
  int rows_, columns_;
};

double dot(const std::vector<double>& a, const std::vector<double>& b) {
  double s = 0;
  for (size_t i = 0; i < a.size(); ++i) s += a[i] * b[i];
  return s;
}

// Removes from v its component along the unit vector u.
void project(std::vector<double>& v, const std::vector<double>& u) {
  const double along = dot(v, u);
  for (size_t i = 0; i < v.size(); ++i) v[i] -= along * u[i];
}

// The minimiser over the free columns, starting from x0 (which satisfies the
// constraint) and moving within u . y = 0 (u: the constraint's free columns,
// normalised).
std::vector<double> solveWithin(const RidgeSystem& system, std::vector<double> x,
                                const std::vector<char>& free, const std::vector<double>& u) {
  constexpr int kMaxIterations = 400;
  constexpr double kTolerance = 1e-8;
  std::vector<double> residual = system.gradient(x, free);
  project(residual, u);
  std::vector<double> direction = residual, hd;
  double rr = dot(residual, residual);
  const double stop = rr * kTolerance * kTolerance;
  for (int iteration = 0; iteration < kMaxIterations && rr > stop && rr > 0; ++iteration) {
    system.apply(direction, free, hd);
    project(hd, u);
    const double curvature = dot(direction, hd);
    if (!(curvature > 0)) break;
    const double alpha = rr / curvature;
    for (size_t i = 0; i < x.size(); ++i) {
      x[i] += alpha * direction[i];
      residual[i] -= alpha * hd[i];
    }
    const double rrNext = dot(residual, residual);
    const double beta = rrNext / rr;
    rr = rrNext;
    for (size_t i = 0; i < x.size(); ++i) direction[i] = residual[i] + beta * direction[i];
  }
  return x;
}

}  // namespace

// ---- 3. fitSampleWeights ----------------------------------------------------------------------------

bool fitSampleWeights(const Sky& sky, Sequence<SamplePoint>& points) {
  const int n = points.numElements;
  if (n == 0 || n > kMaxFittedPoints) return false;

  std::vector<Direction> directions(n);
  std::vector<double> w0(n);
  double total = 0;
  for (int i = 0; i < n; ++i) {
    const SamplePoint& p = points.element(i);
    directions[i] = directionOf(p.azimuth, p.elevation);
    w0[i] = std::max(0.0, static_cast<double>(p.weight));
    total += w0[i];
  }
  if (!(total > 0)) return false;
  for (double& w : w0) w /= total;

  // B_ki = max(0, n_k . d_i) w0_i / t_k and r_k = 1 - sum_i B_ki: the
  // relative error of plane k is (B x - r)_k.
  const std::vector<FitPlane> planes = fitPlanes(sky, n);
  if (planes.empty()) return false;
  std::vector<double> b(planes.size() * n), r(planes.size());
  for (size_t k = 0; k < planes.size(); ++k) {
    double sum = 0;
    for (int i = 0; i < n; ++i) {
      const double value = std::max(0.0, planes[k].normal.dot(directions[i])) * w0[i] / planes[k].target;
      b[k * n + i] = value;
      sum += value;
    }
    r[k] = 1 - sum;
  }
  const RidgeSystem system(std::move(b), std::move(r), n);

  // Active set: the weights held at 0 (x = -1); a weight w0 of 0 never moves.
  std::vector<char> free(n);
  for (int i = 0; i < n; ++i) free[i] = w0[i] > 0;
  std::vector<double> x(n, 0.0);
  for (int round = 0; round < kFitActiveSetRounds; ++round) {
    double heldWeight = 0, freeWeight = 0;
    for (int i = 0; i < n; ++i) (free[i] ? freeWeight : heldWeight) += w0[i];
    if (!(freeWeight > 0)) break;
    // Start where the free weights make up for the held ones in proportion.
    std::vector<double> start(n, 0.0), u(n, 0.0);
    const double shift = heldWeight / freeWeight;
    double norm = 0;
    for (int i = 0; i < n; ++i) {
      start[i] = free[i] ? shift : -1;
      if (free[i]) u[i] = w0[i], norm += w0[i] * w0[i];
    }
    for (double& v : u) v /= std::sqrt(norm);
    // The held columns sit at -1; the system sees them through the start.
    x = solveWithin(system, start, free, u);
    bool negative = false;
    for (int i = 0; i < n; ++i)
      if (free[i] && x[i] < -1) free[i] = 0, negative = true;
    if (!negative) break;
  }

  double sum = 0;
  std::vector<double> w(n);
  for (int i = 0; i < n; ++i) {
    w[i] = std::max(0.0, w0[i] * (1 + x[i]));
    sum += w[i];
  }
  if (!(sum > 0)) return false;
  for (int i = 0; i < n; ++i) points.element(i).weight = static_cast<float>(w[i] / sum);
  return true;
}
