// Fitted weights: a set's weights adjusted so that it reproduces the
// irradiance of the sky on a fixed set of planes.
//
// The planes: kFitPlanes normals of the Fibonacci lattice turned by one
// radian about the zenith (fibonacciSphere(kFitPlanes, 1)), a set apart from
// the accuracy measure's; those receiving at least kFitPlaneThreshold of the
// brightest plane's irradiance take part. Their target irradiances come from
// a SkyQuadrature of the sky with kSpiralCellsPerPoint cells per point (at
// least kFitMinimumRings rings), in units of the sky's whole light.
//
// The fit. The weights are written w_i = w0_i (1 + x_i), w0 the weights given
// (the cell integrals of the spiral set), and x minimises
//   (1/P) sum_k (sum_i w_i max(0, n_k . d_i) - t_k)^2 / t_k^2 + (lambda/N) sum_i x_i^2
// (relative errors on the P planes, and a ridge that keeps each weight near
// its starting value in proportion to it, lambda = kFitRidge) subject to
// sum_i w_i = 1 and w_i >= 0. The equality-constrained least squares is
// solved by conjugate gradients on the normal equations within the plane
// sum w0 . x = 0; a weight that comes out negative is fixed at 0 and the rest
// is solved again (at most kFitActiveSetRounds rounds; anything still
// negative is then set to 0 and the weights renormalised). A weight w0_i of
// 0 stays 0.
//
// The ridge is strong enough that the fit corrects the cells' share of the
// light on tilted planes without moving light far from where the sky has it
// (which matters when part of the sky is hidden by terrain).
//
// Cost: two products with the P x N matrix per iteration, about twenty
// iterations (the residual falls by 1e-8 of its start): 250 points take about 13 ms with the set, 2000 points about
// 90 ms (accuracy benchmark). Beyond kMaxFittedPoints the weights are left
// as they are, and fitSampleWeights returns false: a thousand planes no
// longer pin down that many weights, and the cell integrals are already
// within about 0.1% RMS there (0.09% at 1000 points).
#pragma once

#include "core/sequence.h"
#include "sampling/sample_point.h"
#include "sky/sky.h"

constexpr int kMaxFittedPoints = 2000;
constexpr int kFitPlanes = 1000;
constexpr double kFitPlaneThreshold = 0.02;
constexpr double kFitRidge = 2e-2;
constexpr int kFitMinimumRings = 90;
constexpr int kFitActiveSetRounds = 5;

// Fits the weights of points (summing to 1) to the sky, leaving the
// directions alone. Returns false, changing nothing, for an empty set or more
// than kMaxFittedPoints points.
bool fitSampleWeights(const Sky& sky, Sequence<SamplePoint>& points);
