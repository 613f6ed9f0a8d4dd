// Coordinate conversions in ETRS89: geocentric Cartesian <-> ellipsoidal, decimal degrees <->
// degrees/minutes/seconds, ellipsoidal <-> UTM (and Gauss-Krueger strips), and the converter
// between the five coordinate systems of the programs. Angles cross every interface in decimal
// degrees, lengths in metres; radians and arc seconds occur only inside the routines.
//
// Constants and the order of operations follow the reference formulation digit for digit
// (1/60 as 0.016666666666666666, arc seconds to radians as 4.848136811095274e-06, ...):
// results are compared with other tools to the last printed digit.
#pragma once

#include <cstdint>
#include <string_view>

namespace convert {

/// Radians per degree (pi / 180).
inline constexpr double kRadiansPerDegree = 0.017453292519943295;

/// Semi-major axis a (m) and inverse flattening 1/f of a reference ellipsoid.
struct Ellipsoid {
    double a;
    double inv_f;
};

/// The seven reference ellipsoids, numbered 1..7 (index 0..6). The programs use 4, GRS80.
inline constexpr Ellipsoid kEllipsoids[7] = {
    {6378245.0, 298.3},            // 1 Krassowski
    {6377397.155, 299.15281285},   // 2 Bessel
    {6378388.0, 297.0},            // 3 Hayford (International 1924)
    {6378137.0, 298.257222101},    // 4 GRS80
    {6378249.145, 293.465},        // 5 Clarke 1880
    {6378135.0, 298.26},           // 6 WGS72
    {6378137.0, 298.25722356},     // 7 WGS84 with eight decimals, as in the table it comes from
};
inline constexpr int kGrs80 = 4;

/// Projection kinds of bl2gkutm / gkutm2bl.
inline constexpr int kGaussKrueger3 = 1;  // 3-degree strips, central meridian 3*z
inline constexpr int kGaussKrueger6 = 2;  // 6-degree strips, central meridian 6*z - 3
inline constexpr int kUtm = 3;            // zones 32 and 33 only, scale 0.9996

/// Latitude iteration cap of xyz2blh; points of our area converge within ten iterations.
inline constexpr int kMaxLatitudeIterations = 50;
/// Footpoint iteration cap of gkutm2bl; zone northings converge within a few iterations.
inline constexpr int kMaxFootpointIterations = 100;

/// Cartesian X, Y, Z (m) to latitude B, longitude L (degrees) and height h (m) on ellipsoid
/// `ellipsoid` (1..7). A point on the polar axis (X = Y = 0) gives B = +90 (Z >= 0) or -90,
/// L = 0 and h = |Z| - b (b the polar semi-axis). NaN input gives NaN; the iteration stops after
/// kMaxLatitudeIterations at the latest.
void xyz2blh(double x, double y, double z, int ellipsoid, double& b, double& l, double& h);

/// Latitude B, longitude L (degrees), height h (m) to Cartesian X, Y, Z (m).
void blh2xyz(double b, double l, double h, int ellipsoid, double& x, double& y, double& z);

/// Decimal degrees to sign character ('+' or '-'), non-negative degrees, minutes, seconds.
/// An angle whose degrees do not fit in 32 bits (or NaN) gives 0 degrees, 0 minutes and NaN
/// seconds.
void gd2gms(double angle, char& sign, std::int32_t& deg, std::int32_t& min, double& sec);
/// Decimal degrees to degrees carrying the sign, minutes, seconds (-0.5 gives 0, 30, 0).
void gd2gms1(double angle, std::int32_t& deg, std::int32_t& min, double& sec);
/// Sign character, degrees, minutes, seconds to decimal degrees; only '-' negates.
void gms2gd(char sign, std::int32_t deg, std::int32_t min, double sec, double& angle);
/// Degrees carrying the sign, minutes, seconds to decimal degrees.
void gms2gd1(std::int32_t deg, std::int32_t min, double sec, double& angle);

/// Latitude B, longitude L (degrees) to northing and easting (m) in zone `zone` of projection
/// kind `kind` (for kUtm: 32 or 33). Easting with 500000 m false easting and no zone prefix;
/// a negative northing gets 10000000 m added.
void bl2gkutm(double b, double l, int ellipsoid, int kind, double& north, int zone, double& east);
/// Northing, easting (m) in `zone` to latitude B and longitude L (degrees). Northings are
/// taken as measured from the equator (no southern false northing).
void gkutm2bl(double north, int zone, double east, int ellipsoid, int kind, double& b, double& l);

/// One point in all five coordinate systems (the shared coordinate record).
struct Coordinates {
    double cart_x = 0, cart_y = 0, cart_z = 0;  // geocentric, m
    double ell_b = 0, ell_l = 0;                // decimal degrees
    double ell_h = 0;                           // ellipsoidal height, m
    char b_sign = '+', l_sign = '+';            // sign of the sexagesimal form of the point form
    std::int32_t b_deg = 0, b_min = 0;          // signed degrees in the file form
    double b_sec = 0;
    std::int32_t l_deg = 0, l_min = 0;
    double l_sec = 0;
    double utm_north[2] = {0, 0};  // [0] zone 32, [1] zone 33, m
    double utm_east[2] = {0, 0};
    double foreign_east = 0, foreign_north = 0;  // in a CRS of PROJ (Gauß-Krüger, any other): m or degrees
};

/// A value of the coordinate record, by name: what a field of the point form or a column of a
/// coordinate file holds.
enum class Value {
    CartX, CartY, CartZ, EllB, EllL, EllH, BSign, BDeg, BMin, BSec, LSign, LDeg, LMin, LSec,
    Utm32North, Utm32East, Utm33North, Utm33East,
    GkEast, GkNorth,    ///< Gauß-Krüger Rechtswert (zone number in front) and Hochwert
    CrsEast, CrsNorth,  ///< east (or longitude) and north (or latitude) in another CRS
};

/// Where a value stands in a record: exactly one of the three is set.
struct Member {
    double* real = nullptr;
    std::int32_t* integer = nullptr;
    char* sign = nullptr;
};
/// The one map from a value to its member of the record.
Member member(Value v, Coordinates& k);

/// Index of a UTM zone in utm_north and utm_east: 0 for zone 32, 1 for zone 33.
int utm_index(int zone);

/// The five coordinate systems of the programs.
enum class System { None, Xyz, Blh1, Blh2, Utm32, Utm33 };

/// The system code ("XYZ", "BLh1", "BLh2", "UTM32", "UTM33"); empty for None.
std::string_view system_code(System s);
/// The system of a code, compared blank-padded and case-sensitively; None for any other.
System system_of(std::string_view code);

/// True when `code` is the system code `name` ("XYZ", "BLh1", "BLh2", "UTM32", "UTM33"),
/// compared as blank-padded 5-character fields, case-sensitively.
bool is_code(std::string_view code, std::string_view name);

/// Fills in the point in all other systems from the system `code` it was entered in
/// (sexagesimal angles with sign characters). An unknown code does nothing.
void kokon(std::string_view code, Coordinates& k);

/// Converts the point from system `source` into system `target` by way of decimal B and L
/// (sexagesimal angles with the sign on the degrees). Equal systems do nothing.
void kokon1(System source, System target, Coordinates& k);
/// The same for systems given by their codes; an unknown code is a system without a route.
void kokon1(std::string_view source, std::string_view target, Coordinates& k);

}  // namespace convert
