#include "interp/grid.h"

#include <algorithm>
#include <vector>

namespace interp {

namespace {

constexpr double kNodeTolerance = 0.002;  // times the spacing: snap to a node
constexpr double kNaturalSlope = 1.0e30;  // end slope passed to spline(): natural end
constexpr double kNaturalThreshold = 9.9e29;

}  // namespace

void spline(const double* x, const double* y, int n, double yp1, double ypn, double* y2)
{
    if (n < 2) {
        if (n == 1) y2[0] = 0.0;
        return;
    }
    double small[16];
    std::vector<double> large;
    double* u = small;
    if (n > 16) {
        large.resize(static_cast<std::size_t>(n));
        u = large.data();
    }
    if (yp1 > kNaturalThreshold) {
        y2[0] = 0.0;
        u[0] = 0.0;
    } else {
        y2[0] = -0.5;
        u[0] = (3.0 / (x[1] - x[0])) * ((y[1] - y[0]) / (x[1] - x[0]) - yp1);
    }
    for (int k = 1; k < n - 1; ++k) {
        const double sig = (x[k] - x[k - 1]) / (x[k + 1] - x[k - 1]);
        const double p = sig * y2[k - 1] + 2.0;
        y2[k] = (sig - 1.0) / p;
        u[k] = (6.0 * ((y[k + 1] - y[k]) / (x[k + 1] - x[k]) - (y[k] - y[k - 1]) / (x[k] - x[k - 1])) /
                    (x[k + 1] - x[k - 1]) -
                sig * u[k - 1]) /
               p;
    }
    double qn = 0.0;
    double un = 0.0;
    if (!(ypn > kNaturalThreshold)) {
        qn = 0.5;
        un = (3.0 / (x[n - 1] - x[n - 2])) * (ypn - (y[n - 1] - y[n - 2]) / (x[n - 1] - x[n - 2]));
    }
    y2[n - 1] = (un - qn * u[n - 2]) / (qn * y2[n - 2] + 1.0);
    for (int k = n - 2; k >= 0; --k) y2[k] = y2[k] * y2[k + 1] + u[k];
}

void splint(const double* xa, const double* ya, const double* y2a, int n, double x, double& y)
{
    // Bisection with the 1-based indices of the classic formulation.
    int klo = 1;
    int khi = n;
    while (khi - klo > 1) {
        const int k = (khi + klo) / 2;
        if (xa[k - 1] > x) khi = k;
        else klo = k;
    }
    const double xlo = xa[klo - 1];
    const double xhi = xa[khi - 1];
    const double h = xhi - xlo;
    const double a = (xhi - x) / h;
    const double b = (x - xlo) / h;
    y = a * ya[klo - 1] + b * ya[khi - 1] +
        ((a * a * a - a) * y2a[klo - 1] + (b * b * b - b) * y2a[khi - 1]) * (h * h) *
            0.16666666666666666;
}

namespace {

// Row i and column j of the cell's north-west corner, both from 1. False when the point is
// outside the limits or its cell would need a node beyond the last row or column.
bool locate(const GridHeader& h, double b, double l, std::int64_t& i, std::int64_t& j)
{
    // Written negated so that NaN counts as outside; the limits themselves are outside too.
    if (!(b < h.bmax && b > h.bmin && l > h.lmin && l < h.lmax)) return false;
    const double qi = (h.bmax - b) / h.db;
    const double qj = (l - h.lmin) / h.dl;
    // Both quotients are positive here; bound them before the conversion to an integer.
    if (!(qi >= 0.0 && qi < kMaxNodesPerAxis && qj >= 0.0 && qj < kMaxNodesPerAxis)) return false;
    i = static_cast<std::int64_t>(qi) + 1;
    j = static_cast<std::int64_t>(qj) + 1;
    // A header whose extent is longer than its nodes reach: no neighbouring row may be read.
    return i + 1 <= h.nb && j + 1 <= h.nl;
}

}  // namespace

bool inside_grid(const GridHeader& h, double b, double l)
{
    std::int64_t i = 0, j = 0;
    return locate(h, b, l, i, j);
}

namespace {

// The cell of a point: its north-west corner (row i, column j, from 1), the latitudes of its
// southern and northern rows and the longitudes of its western and eastern columns (degrees).
struct Cell {
    std::int64_t i = 0, j = 0;
    double bs = 0, bn = 0, lw = 0, le = 0;
};

Cell cell_of(const GridHeader& h, std::int64_t i, std::int64_t j)
{
    Cell c;
    c.i = i;
    c.j = j;
    c.bs = h.bmax - static_cast<double>(i) * h.db;  // cell's southern row, i + 1
    c.bn = c.bs + h.db;                             // cell's northern row, i
    c.lw = h.lmin + static_cast<double>(j - 1) * h.dl;
    c.le = c.lw + h.dl;
    return c;
}

// The corner a point lies on (within 0.002 of a spacing in both directions), tested NW, NE,
// then SW, SE; nullptr when none. The window holds the corners at W(2,2) NW, W(2,3) NE,
// W(3,2) SW and W(3,3) SE.
const double* snapped_corner(const GridHeader& h, const Cell& c, const NodeWindow& w, double b, double l)
{
    const double tb = kNodeTolerance * h.db;
    const double tl = kNodeTolerance * h.dl;
    if (c.bn - b <= tb) {
        if (l - c.lw <= tl) return &w[1][1];
        if (c.le - l <= tl) return &w[1][2];
    }
    if (b - c.bs <= tb) {
        if (l - c.lw <= tl) return &w[2][1];
        if (c.le - l <= tl) return &w[2][2];
    }
    return nullptr;
}

bool all_have_values(const NodeWindow& w)
{
    for (int r = 0; r < kWindow; ++r)
        for (int c = 0; c < kWindow; ++c)
            if (w[r][c] > kValueBound) return false;
    return true;
}

// Bilinear in the cell from its four corners, weighted by the point's fractions of the cell
// from its southern row (t) and its western column (u).
Outcome bilinear(const GridHeader& h, const Cell& c, const NodeWindow& w, double b, double l, double& n)
{
    const double nw = w[1][1], ne = w[1][2], sw = w[2][1], se = w[2][2];
    if (nw > kValueBound || ne > kValueBound || sw > kValueBound || se > kValueBound) {
        n = kNoValue;
        return Outcome::Outside;
    }
    const double t = (b - c.bs) / h.db;
    const double u = (l - c.lw) / h.dl;
    n = (1.0 - u) * (1.0 - t) * sw + u * (1.0 - t) * se + (1.0 - u) * t * nw + u * t * ne;
    return Outcome::Ok;
}

// Bicubic spline: one natural spline per window column along the meridian (rows north to
// south, then reversed into ascending latitude for splint), then one along the parallel.
// The five column splines share their abscissas, so whatever spline() and splint() compute
// from the abscissas alone is computed once here, by the same operations in the same order:
// the results are those of five separate calls, bit for bit. Splitting this block further
// would mean passing the shared terms around; it stays whole.
double bicubic(const GridHeader& h, const Cell& cell, const NodeWindow& w, double b, double l)
{
    double yr[kWindow];
    for (int r = 0; r < kWindow; ++r) yr[r] = cell.bs + static_cast<double>(3 - (r + 1)) * h.db;
    double sig[kWindow] = {}, p[kWindow] = {}, y2x[kWindow] = {}, dleft[kWindow] = {}, dright[kWindow] = {},
           span[kWindow] = {};
    for (int k = 1; k < kWindow - 1; ++k) {
        dleft[k] = yr[k] - yr[k - 1];
        dright[k] = yr[k + 1] - yr[k];
        span[k] = yr[k + 1] - yr[k - 1];
        sig[k] = dleft[k] / span[k];
        p[k] = sig[k] * y2x[k - 1] + 2.0;
        y2x[k] = (sig[k] - 1.0) / p[k];
    }
    // splint on the reversed (ascending) latitudes: the bracketing interval and the weights.
    double xa[kWindow];
    for (int r = 0; r < kWindow; ++r) xa[r] = yr[kWindow - 1 - r];
    int klo = 1, khi = kWindow;
    while (khi - klo > 1) {
        const int k = (khi + klo) / 2;
        if (xa[k - 1] > b) khi = k;
        else klo = k;
    }
    const double hb = xa[khi - 1] - xa[klo - 1];
    const double ab = (xa[khi - 1] - b) / hb;
    const double bb = (b - xa[klo - 1]) / hb;
    const double ab3 = ab * ab * ab - ab, bb3 = bb * bb * bb - bb, hb2 = hb * hb;
    const int lo = kWindow - klo, hi = kWindow - khi;  // the same nodes in north-to-south order
    double z[kWindow];
    for (int c = 0; c < kWindow; ++c) {
        double y[kWindow], u[kWindow], y2[kWindow];
        for (int r = 0; r < kWindow; ++r) y[r] = w[r][c];
        u[0] = 0.0;
        for (int k = 1; k < kWindow - 1; ++k)
            u[k] = (6.0 * ((y[k + 1] - y[k]) / dright[k] - (y[k] - y[k - 1]) / dleft[k]) / span[k] - sig[k] * u[k - 1]) / p[k];
        y2[kWindow - 1] = (0.0 - 0.0 * u[kWindow - 2]) / (0.0 * y2x[kWindow - 2] + 1.0);  // natural end
        for (int k = kWindow - 2; k >= 0; --k) y2[k] = y2x[k] * y2[k + 1] + u[k];
        z[c] = ab * y[lo] + bb * y[hi] + (ab3 * y2[lo] + bb3 * y2[hi]) * hb2 * 0.16666666666666666;
    }
    double xc[kWindow], z2[kWindow], n = 0.0;
    for (int c = 0; c < kWindow; ++c) xc[c] = cell.lw + static_cast<double>((c + 1) - 2) * h.dl;
    spline(xc, z, kWindow, kNaturalSlope, kNaturalSlope, z2);
    splint(xc, z, z2, kWindow, l, n);
    return n;
}

}  // namespace

Outcome interpolate(const NodeSource& nodes, const GridHeader& h, double b, double l, double& n)
{
    std::int64_t i = 0, j = 0;
    if (!locate(h, b, l, i, j)) {
        n = kNoValue;
        return Outcome::Outside;
    }
    const Cell cell = cell_of(h, i, j);
    const bool use_spline = i >= 2 && i <= h.nb - 3 && j >= 2 && j <= h.nl - 3;

    // Window W(r, c) = node (i - 2 + r, j - 2 + c). The bilinear branch reads only the four
    // corners, W(2..3, 2..3).
    NodeWindow w;
    const int rows = use_spline ? kWindow : 2;
    const int first_row = use_spline ? 0 : 1;  // window row of the first row read
    const std::int64_t top = i - 1 + first_row;
    const std::int64_t left = use_spline ? j - 1 : j;
    if (!nodes.read_window(h, top, left, rows, first_row, w)) return Outcome::ReadError;

    // A point on (or very near) a node takes that node's value, before any value test.
    if (const double* snapped = snapped_corner(h, cell, w, b, l)) {
        if (*snapped > kValueBound) {
            n = kNoValue;
            return Outcome::Outside;
        }
        n = *snapped;
        return Outcome::Ok;
    }
    if (!use_spline || !all_have_values(w)) return bilinear(h, cell, w, b, l, n);
    n = bicubic(h, cell, w, b, l);
    return Outcome::Ok;
}

}  // namespace interp
