#include "interp/format.h"

#include <cmath>

namespace interp {

void put_records(std::string& out, const std::int32_t* records, std::size_t n)
{
    for (std::size_t k = 0; k < n; ++k) {
        const auto u = static_cast<std::uint32_t>(records[k]);
        const char b[4] = {static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF),
                           static_cast<char>((u >> 16) & 0xFF), static_cast<char>(u >> 24)};
        out.append(b, 4);
    }
}

double decode_angle(std::int32_t d, std::int32_t m, std::int32_t s)
{
    // The sign comes from the degrees only; 1/60 and 1/3600 are multiplied in as stored
    // constants, which is not always the same last digit as a division.
    const double dd = d;
    const double mm = m;
    const double ss = s;
    if (d >= 0) return dd + mm * 0.016666666666666666 + (ss * 1.0e-6) * 0.0002777777777777778;
    return dd - mm * 0.016666666666666666 - (ss * 1.0e-6) * 0.0002777777777777778;
}

bool encode_angle(std::int64_t micro, std::int32_t out[3])
{
    constexpr std::int64_t kMicroPerMinute = kMicroArcsecPerDegree / 60;
    constexpr std::int64_t kMaxDegrees = 2147483647;
    if (micro < -kMaxDegrees * kMicroArcsecPerDegree || micro > kMaxDegrees * kMicroArcsecPerDegree) return false;
    const std::int64_t a = micro < 0 ? -micro : micro;
    const std::int64_t d = a / kMicroArcsecPerDegree;
    const std::int64_t rest = a % kMicroArcsecPerDegree;
    if (micro < 0 && d == 0) return false;
    out[0] = static_cast<std::int32_t>(micro < 0 ? -d : d);
    out[1] = static_cast<std::int32_t>(rest / kMicroPerMinute);
    out[2] = static_cast<std::int32_t>(rest % kMicroPerMinute);
    return true;
}

namespace {

// Number of nodes along one axis; an extent short of whole steps by less than a tenth of a
// step counts as the whole number. False when no valid count results.
bool axis_nodes(double lo, double hi, double step, std::int64_t& count)
{
    const double n = ((hi - lo) + 0.1 * step) / step + 1.0;
    // Range-check before the conversion: an out-of-range double-to-integer cast is undefined.
    if (!(n >= 1.0 && n < kMaxNodesPerAxis)) return false;
    count = static_cast<std::int64_t>(n);
    return true;
}

}  // namespace

bool decode_header(std::span<const std::int32_t, kHeaderRecords> r, GridHeader& h)
{
    GridHeader g;
    g.bmin = decode_angle(r[0], r[1], r[2]);
    g.bmax = decode_angle(r[3], r[4], r[5]);
    g.lmin = decode_angle(r[6], r[7], r[8]);
    g.lmax = decode_angle(r[9], r[10], r[11]);
    g.db = decode_angle(r[12], r[13], r[14]);
    g.dl = decode_angle(r[15], r[16], r[17]);
    // Negated tests, so that a value that is not a number fails them too.
    if (!(std::isfinite(g.bmin) && std::isfinite(g.bmax) && std::isfinite(g.lmin) &&
          std::isfinite(g.lmax) && std::isfinite(g.db) && std::isfinite(g.dl)))
        return false;
    if (!(g.db > 0.0 && g.dl > 0.0)) return false;
    if (!(g.bmin < g.bmax && g.lmin < g.lmax)) return false;
    if (!axis_nodes(g.bmin, g.bmax, g.db, g.nb) || !axis_nodes(g.lmin, g.lmax, g.dl, g.nl))
        return false;
    h = g;
    return true;
}

}  // namespace interp
