// Height anomaly at a point from the model grid: a 5 x 5 bicubic spline window inside the
// grid, the bilinear cell near its border or next to nodes without a value, and the node
// itself for a point on (or within 0.002 of a spacing of) a node.
#pragma once

#include "interp/format.h"
#include "interp/nodes.h"
#include "interp/outcome.h"

namespace interp {

/// True when (b, l) lies strictly inside the grid limits and its cell's four corners lie
/// within the stored rows and columns. B and L in decimal degrees; NaN is outside.
bool inside_grid(const GridHeader& h, double b, double l);

/// Interpolates N (metres) at latitude b, longitude l (decimal degrees), taking the nodes it
/// needs from `nodes`: Ok, Outside (n = kNoValue) or ReadError (n untouched).
Outcome interpolate(const NodeSource& nodes, const GridHeader& h, double b, double l, double& n);

/// Second derivatives y2[0..n) of the cubic spline through (x[k], y[k]); x strictly monotone.
/// yp1 and ypn are the end slopes; a slope above 9.9e29 gives a natural end.
void spline(const double* x, const double* y, int n, double yp1, double ypn, double* y2);

/// Value y at x of the spline given by xa (ascending), ya and y2a from spline().
void splint(const double* xa, const double* ya, const double* y2a, int n, double x, double& y);

}  // namespace interp
