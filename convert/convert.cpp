#include "convert/convert.h"

#include <cmath>
#include <limits>

namespace convert {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kSixtieth = 0.016666666666666666;           // 1/60
constexpr double kThreeThousandSixHundredth = 0.0002777777777777778;  // 1/3600
constexpr double kArcsecToRad = 4.848136811095274e-06;       // 1/206264.8062471, not pi/648000
constexpr double kRhoArcsec = 206264.8062471;                // arc seconds per radian
constexpr double kUtmScale = 0.9996;
constexpr double kUtmScaleInverse = 1.0004001600640255;
constexpr double kFalseEasting = 500000.0;
constexpr double kFalseNorthingSouth = 10000000.0;
// Single-precision literals of the reference formulation, widened to double.
constexpr double kLatitudeTolerance = 1.0000000036274937e-15;   // 1e-15f, radians
constexpr double kFootpointTolerance = 9.999999974752427e-07;   // 1e-6f, arc seconds
constexpr double kHeightFormThreshold = 0.78539816;  // radians; the literal, not pi/4

// f and e^2 of an ellipsoid number; false for a number outside the table.
bool ellipsoid(int number, double& a, double& f, double& e2)
{
    if (number < 1 || number > 7) return false;
    a = kEllipsoids[number - 1].a;
    f = 1.0 / kEllipsoids[number - 1].inv_f;
    e2 = f + f - f * f;
    return true;
}

// Quantities of the meridian arc and the projection, derived from the ellipsoid at every call.
struct Projection {
    double f, e2;
    double k0, k1, k2, k3, k4;  // meridian arc G(phi) = k0*phi'' - k1 sin 2phi - ...
    double ep;                  // second eccentricity
    double c;                   // polar radius of curvature
};

bool compute_projection(int number, Projection& p)
{
    double a = 0;
    if (!ellipsoid(number, a, p.f, p.e2)) return false;
    const double e2 = p.e2;
    const double e4 = e2 * e2;
    const double e6 = e4 * e2;
    const double e8 = e4 * e4;
    // Series coefficients of the meridian arc in e^2; 0.6729125976563 is the reference
    // formulation's literal (the exact 11025/16384 differs in the last digits).
    const double ca = 1.0 + 0.75 * e2 + 0.703125 * e4 + 0.68359375 * e6 + 0.6729125976563 * e8;
    const double cb = 0.75 * e2 + 0.9375 * e4 + 1.025390625 * e6 + 1.07666015625 * e8;
    const double cc = 0.234375 * e4 + 0.41015625 * e6 + 0.538330078125 * e8;
    const double cd = 0.068359375 * e6 + 0.15380859375 * e8;
    const double ce = 0.01922607421875 * e8;
    const double m = a * (1.0 - e2);
    p.k0 = m * ca * kArcsecToRad;
    p.k1 = m * cb * 0.5;
    p.k2 = m * cc * (-0.25);
    p.k3 = m * cd * 0.16666666666666666;
    p.k4 = m * ce * (-0.125);
    p.ep = std::sqrt(e2) / (1.0 - p.f);
    p.c = a / (1.0 - p.f);
    return true;
}

// The coefficients of the last ellipsoid asked for: a file's points all use the same one.
bool projection(int number, Projection& p)
{
    thread_local int last = -1;
    thread_local Projection kept{};
    thread_local bool known = false;
    if (number != last) {
        known = compute_projection(number, kept);
        last = number;
    }
    p = kept;
    return known;
}

// Central meridian in arc seconds; UTM zones 32 and 33 follow the 6-degree rule as 2 and 3.
double central_meridian(int kind, int zone)
{
    double z = zone;
    if (kind == kUtm) {
        if (zone == 32) z = 2.0;
        else if (zone == 33) z = 3.0;
    }
    return kind == kGaussKrueger3 ? 10800.0 * z : 21600.0 * z - 10800.0;
}

// Terms P_k c_k, P_k = x^k / k!, of odd k summed into odd, of even k into even.
void series(double x, const double (&coeff)[8], double& odd, double& even)
{
    odd = 0.0;
    even = 0.0;
    double p = 1.0;
    for (int k = 1; k <= 8; ++k) {
        p = p * x / k;
        if (k % 2 == 1) odd += p * coeff[k - 1];
        else even += p * coeff[k - 1];
    }
}

// Sexagesimal parts of |angle|, with the carries of seconds into minutes and minutes into degrees.
void split_angle(double angle, bool& negative, std::int32_t& deg, std::int32_t& min, double& sec)
{
    negative = angle < 0.0;
    const double a = negative ? -angle : angle;
    // Range-check before converting: an out-of-range double-to-integer cast is undefined.
    if (!(a < 2147483647.0)) {
        deg = 0;
        min = 0;
        sec = kNaN;
        return;
    }
    std::int32_t d = static_cast<std::int32_t>(a);
    const double mm = (a - d) * 60.0;
    std::int32_t m = static_cast<std::int32_t>(mm);
    double s = (mm - m) * 60.0;
    if (std::fabs(s - 60.0) < 1.0e-6) {
        s = 0.0;
        m = m + 1;
    }
    if (m == 60) {
        m = 0;
        d = d + 1;
    }
    deg = d;
    min = m;
    sec = s;
}

}  // namespace

void xyz2blh(double x, double y, double z, int number, double& b, double& l, double& h)
{
    double a = 0, f = 0, e2 = 0;
    if (!ellipsoid(number, a, f, e2)) {
        b = l = h = kNaN;
        return;
    }
    if (std::isnan(x) || std::isnan(y) || std::isnan(z)) {
        b = l = h = kNaN;
        return;
    }
    const double pi = std::acos(-1.0);
    const double lon = std::atan2(y, x);
    double p = std::sqrt(x * x + y * y);
    // Where the squares underflow (or overflow) the distance from the axis is taken without
    // them; everywhere else the plain formula stays, digit for digit.
    if ((p == 0.0 && (x != 0.0 || y != 0.0)) || std::isinf(p)) p = std::hypot(x, y);
    if (p == 0.0) {
        // On the polar axis the start value would divide by zero; the limit of the second
        // height form is |Z| - a(1 - e^2)/sqrt(1 - e^2) = |Z| - b.
        const double polar = a * (1.0 - f);
        b = z < 0.0 ? -90.0 : 90.0;
        l = 0.0;
        h = std::fabs(z) - polar;
        return;
    }
    double b_prev = std::atan2(z / p, 1.0);
    double h_prev = 0.0;
    double lat = b_prev;
    double height = h_prev;
    for (int k = 0; k < kMaxLatitudeIterations; ++k) {
        const double s = std::sin(b_prev);
        const double n = a / std::sqrt(1.0 - e2 * (s * s));
        lat = std::atan2(z * (n + h_prev) / (p * (n * (1.0 - e2) + h_prev)), 1.0);
        // The test is on the signed latitude: every southern point takes the first form.
        if (lat < kHeightFormThreshold) height = p / std::cos(lat) - n;
        else height = z / std::sin(lat) - n * (1.0 - e2);
        if (!(std::fabs(lat - b_prev) > kLatitudeTolerance)) break;
        b_prev = lat;
        h_prev = height;
    }
    b = 180.0 * lat / pi;
    l = 180.0 * lon / pi;
    h = height;
}

void blh2xyz(double b, double l, double h, int number, double& x, double& y, double& z)
{
    double a = 0, f = 0, e2 = 0;
    if (!ellipsoid(number, a, f, e2)) {
        x = y = z = kNaN;
        return;
    }
    const double pi = std::acos(-1.0);
    const double br = (pi * b) * 0.005555555555555556;
    const double lr = (pi * l) * 0.005555555555555556;
    const double s = std::sin(br);
    const double n = a / std::sqrt(1.0 - e2 * (s * s));
    x = (n + h) * std::cos(br) * std::cos(lr);
    y = (n + h) * std::cos(br) * std::sin(lr);
    z = (n * (1.0 - e2) + h) * s;
}

void gd2gms(double angle, char& sign, std::int32_t& deg, std::int32_t& min, double& sec)
{
    bool negative = false;
    split_angle(angle, negative, deg, min, sec);
    sign = negative ? '-' : '+';
}

void gd2gms1(double angle, std::int32_t& deg, std::int32_t& min, double& sec)
{
    bool negative = false;
    split_angle(angle, negative, deg, min, sec);
    if (negative) deg = -deg;
}

void gms2gd(char sign, std::int32_t deg, std::int32_t min, double sec, double& angle)
{
    angle = deg + min * kSixtieth + sec * kThreeThousandSixHundredth;
    if (sign == '-') angle = -angle;
}

void gms2gd1(std::int32_t deg, std::int32_t min, double sec, double& angle)
{
    angle = std::fabs(static_cast<double>(deg)) + min * kSixtieth + sec * kThreeThousandSixHundredth;
    if (deg < 0) angle = -angle;
}

void bl2gkutm(double b, double l, int number, int kind, double& north, int zone, double& east)
{
    Projection p{};
    if (!projection(number, p)) {
        north = east = kNaN;
        return;
    }
    const double bs = 3600.0 * b;
    const double ls = 3600.0 * l;
    const double l0 = central_meridian(kind, zone);
    const double phi = bs * kArcsecToRad;
    double g = p.k0 * bs;
    g = g - p.k1 * std::sin(2.0 * phi);
    g = g - p.k2 * std::sin(4.0 * phi);
    g = g - p.k3 * std::sin(6.0 * phi);
    g = g - p.k4 * std::sin(8.0 * phi);

    const double t = std::tan(phi);
    const double ec = p.ep * std::cos(phi);
    const double eta2 = ec * ec;
    const double n = p.c / std::sqrt(1.0 + eta2);
    const double q = (ls - l0) * std::cos(phi) * kArcsecToRad;

    const double t2 = t * t, t4 = t2 * t2, t6 = t4 * t2, eta4 = eta2 * eta2;
    const double coeff[8] = {
        1.0,
        1.0,
        1.0 - t2 + eta2,
        5.0 - t2 + 9.0 * eta2 + 4.0 * eta4,
        5.0 - 18.0 * t2 + t4 + 14.0 * eta2 - 58.0 * t2 * eta2,
        61.0 - 58.0 * t2 + t4 + 270.0 * eta2 - 330.0 * t2 * eta2,
        61.0 - 479.0 * t2 + 179.0 * t4 - t6,
        1385.0 - 3111.0 * t2 + 543.0 * t4 - t6,
    };
    double se = 0, sn = 0;
    series(q, coeff, se, sn);
    double x = g + n * t * sn;
    double y = n * se;
    if (kind == kUtm) {
        x = x * kUtmScale;
        y = y * kUtmScale;
    }
    y = y + kFalseEasting;
    if (x < 0.0) x = x + kFalseNorthingSouth;
    north = x;
    east = y;
}

void gkutm2bl(double north, int zone, double east, int number, int kind, double& b, double& l)
{
    Projection p{};
    if (!projection(number, p)) {
        b = l = kNaN;
        return;
    }
    double y = east - kFalseEasting;
    double x = north;
    if (kind == kUtm) {
        x = x * kUtmScaleInverse;
        y = y * kUtmScaleInverse;
    }
    const double l0 = central_meridian(kind, zone);

    // Footpoint latitude in arc seconds by fixed-point iteration from 50 degrees.
    const double inv_k0 = 1.0 / p.k0;
    double prev = 180000.0;
    double foot = prev;
    for (int k = 0; k < kMaxFootpointIterations; ++k) {
        // sin 4phi, 6phi and 8phi from sin and cos of 2phi: one sine and one cosine a step.
        const double phi = prev * kArcsecToRad;
        const double s2 = std::sin(2.0 * phi), c2 = std::cos(2.0 * phi);
        const double s4 = 2.0 * s2 * c2, c4 = 1.0 - 2.0 * s2 * s2;
        const double s6 = s4 * c2 + c4 * s2, s8 = 2.0 * s4 * c4;
        foot = (x + p.k1 * s2 + p.k2 * s4 + p.k3 * s6 + p.k4 * s8) * inv_k0;
        if (!(std::fabs(foot - prev) >= kFootpointTolerance)) break;
        prev = foot;
    }

    const double phi = foot * kArcsecToRad;
    const double t = std::tan(phi);
    const double cphi = std::cos(phi);
    const double ec = p.ep * cphi;
    const double eta2 = ec * ec;
    const double n = p.c / std::sqrt(1.0 + eta2);
    const double u = y / n;

    const double t2 = t * t, t4 = t2 * t2, t6 = t4 * t2, eta4 = eta2 * eta2;
    const double coeff[8] = {
        1.0,
        -(1.0 + eta2),
        -(1.0 + 2.0 * t2 + eta2),
        5.0 + 3.0 * t2 + 6.0 * eta2 - 6.0 * t2 * eta2 - 3.0 * eta4 - 9.0 * t2 * eta4,
        5.0 + 28.0 * t2 + 24.0 * t4 + 6.0 * eta2 + 8.0 * t2 * eta2,
        -(61.0 + 90.0 * t2 + 45.0 * t4 + 107.0 * eta2 - 162.0 * t2 * eta2 - 45.0 * t4 * eta2),
        -(61.0 + 662.0 * t2 + 1320.0 * t4 + 720.0 * t6),
        1385.0 + 3633.0 * t2 + 4095.0 * t4 + 1575.0 * t6,
    };
    double sl = 0, sb = 0;
    series(u, coeff, sl, sb);
    const double bsec = foot + kRhoArcsec * t * sb;
    const double lsec = l0 + kRhoArcsec * sl / cphi;
    b = bsec * kThreeThousandSixHundredth;
    l = lsec * kThreeThousandSixHundredth;
}

bool is_code(std::string_view code, std::string_view name)
{
    // Both as 5-character fields: blank-padded, longer texts cut.
    for (std::size_t k = 0; k < 5; ++k) {
        const char a = k < code.size() ? code[k] : ' ';
        const char b = k < name.size() ? name[k] : ' ';
        if (a != b) return false;
    }
    return true;
}

namespace {

constexpr std::string_view kCodes[6] = {"", "XYZ", "BLh1", "BLh2", "UTM32", "UTM33"};

}  // namespace

std::string_view system_code(System s)
{
    return kCodes[static_cast<std::size_t>(s)];
}

System system_of(std::string_view code)
{
    for (std::size_t k = 1; k < std::size(kCodes); ++k)
        if (is_code(code, kCodes[k])) return static_cast<System>(k);
    return System::None;
}

Member member(Value v, Coordinates& k)
{
    switch (v) {
    case Value::CartX: return {&k.cart_x};
    case Value::CartY: return {&k.cart_y};
    case Value::CartZ: return {&k.cart_z};
    case Value::EllB: return {&k.ell_b};
    case Value::EllL: return {&k.ell_l};
    case Value::EllH: return {&k.ell_h};
    case Value::BSign: return {nullptr, nullptr, &k.b_sign};
    case Value::BDeg: return {nullptr, &k.b_deg};
    case Value::BMin: return {nullptr, &k.b_min};
    case Value::BSec: return {&k.b_sec};
    case Value::LSign: return {nullptr, nullptr, &k.l_sign};
    case Value::LDeg: return {nullptr, &k.l_deg};
    case Value::LMin: return {nullptr, &k.l_min};
    case Value::LSec: return {&k.l_sec};
    case Value::Utm32North: return {&k.utm_north[utm_index(32)]};
    case Value::Utm32East: return {&k.utm_east[utm_index(32)]};
    case Value::Utm33North: return {&k.utm_north[utm_index(33)]};
    case Value::Utm33East: return {&k.utm_east[utm_index(33)]};
    case Value::GkEast:
    case Value::CrsEast: return {&k.foreign_east};
    case Value::GkNorth:
    case Value::CrsNorth: return {&k.foreign_north};
    }
    return {};
}

int utm_index(int zone)
{
    return zone == 33 ? 1 : 0;
}

namespace {

// The steps between a system and decimal B, L (h is common to all but XYZ, which holds it).
void none(Coordinates&) {}

void xyz_to_bl(Coordinates& k)
{
    xyz2blh(k.cart_x, k.cart_y, k.cart_z, kGrs80, k.ell_b, k.ell_l, k.ell_h);
}

void bl_to_xyz(Coordinates& k)
{
    blh2xyz(k.ell_b, k.ell_l, k.ell_h, kGrs80, k.cart_x, k.cart_y, k.cart_z);
}

// Sexagesimal with sign characters (the point form).
void gms_to_bl(Coordinates& k)
{
    gms2gd(k.b_sign, k.b_deg, k.b_min, k.b_sec, k.ell_b);
    gms2gd(k.l_sign, k.l_deg, k.l_min, k.l_sec, k.ell_l);
}

void bl_to_gms(Coordinates& k)
{
    gd2gms(k.ell_b, k.b_sign, k.b_deg, k.b_min, k.b_sec);
    gd2gms(k.ell_l, k.l_sign, k.l_deg, k.l_min, k.l_sec);
}

// Sexagesimal with the sign on the degrees (coordinate files).
void signed_gms_to_bl(Coordinates& k)
{
    gms2gd1(k.b_deg, k.b_min, k.b_sec, k.ell_b);
    gms2gd1(k.l_deg, k.l_min, k.l_sec, k.ell_l);
}

void bl_to_signed_gms(Coordinates& k)
{
    gd2gms1(k.ell_b, k.b_deg, k.b_min, k.b_sec);
    gd2gms1(k.ell_l, k.l_deg, k.l_min, k.l_sec);
}

template <int zone>
void utm_to_bl(Coordinates& k)
{
    gkutm2bl(k.utm_north[utm_index(zone)], zone, k.utm_east[utm_index(zone)], kGrs80, kUtm, k.ell_b, k.ell_l);
}

template <int zone>
void bl_to_utm(Coordinates& k)
{
    bl2gkutm(k.ell_b, k.ell_l, kGrs80, kUtm, k.utm_north[utm_index(zone)], zone, k.utm_east[utm_index(zone)]);
}

// One row per system: into decimal B, L and out of it, for the point form (kokon) and for
// coordinate files (kokon1). A further system is one more row.
struct Route {
    System system;
    void (*to_bl)(Coordinates&);
    void (*from_bl)(Coordinates&);
    void (*to_bl_file)(Coordinates&);
    void (*from_bl_file)(Coordinates&);
};

constexpr Route kRoutes[] = {
    {System::Xyz, xyz_to_bl, bl_to_xyz, xyz_to_bl, bl_to_xyz},
    {System::Blh1, none, none, none, none},
    {System::Blh2, gms_to_bl, bl_to_gms, signed_gms_to_bl, bl_to_signed_gms},
    {System::Utm32, utm_to_bl<32>, bl_to_utm<32>, utm_to_bl<32>, bl_to_utm<32>},
    {System::Utm33, utm_to_bl<33>, bl_to_utm<33>, utm_to_bl<33>, bl_to_utm<33>},
};

const Route* route(System s)
{
    for (const Route& r : kRoutes)
        if (r.system == s) return &r;
    return nullptr;
}

}  // namespace

void kokon(std::string_view code, Coordinates& k)
{
    const Route* from = route(system_of(code));
    if (from == nullptr) return;
    from->to_bl(k);
    // Every other system from B, L, in the order of the table.
    for (const Route& r : kRoutes)
        if (&r != from) r.from_bl(k);
}

void kokon1(System source, System target, Coordinates& k)
{
    if (source == target) return;
    if (const Route* from = route(source)) from->to_bl_file(k);
    if (const Route* to = route(target)) to->from_bl_file(k);
}

void kokon1(std::string_view source, std::string_view target, Coordinates& k)
{
    if (is_code(source, target)) return;
    kokon1(system_of(source), system_of(target), k);
}

}  // namespace convert
