// Every coordinate conversion on arbitrary doubles (NaN, infinities, huge values): each must
// return, and never read outside its tables.
#include <cstdint>
#include <cstring>
#include <string_view>

#include "convert/convert.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4 * 8 + 3) return 0;
    double v[4];
    std::memcpy(v, data, sizeof v);
    const int ellipsoid = data[32] % 9;  // 0 and 8 are outside the table
    const int kind = data[33] % 4;
    const int zone = static_cast<std::int8_t>(data[34]);
    double a, b, c;
    convert::xyz2blh(v[0], v[1], v[2], ellipsoid, a, b, c);
    convert::blh2xyz(v[0], v[1], v[2], ellipsoid, a, b, c);
    char sign;
    std::int32_t deg, min;
    double sec;
    convert::gd2gms(v[0], sign, deg, min, sec);
    convert::gd2gms1(v[1], deg, min, sec);
    convert::gms2gd(static_cast<char>(data[32]), static_cast<std::int32_t>(data[33]) - 100, 30, v[2], a);
    convert::gms2gd1(-5, 59, v[3], a);
    convert::bl2gkutm(v[0], v[1], ellipsoid, kind, a, zone, b);
    convert::gkutm2bl(v[2], zone, v[3], ellipsoid, kind, a, b);
    static constexpr std::string_view kCodes[] = {"XYZ", "BLh1", "BLh2", "UTM32", "UTM33", "xyz", ""};
    convert::Coordinates k;
    k.cart_x = k.utm_north[0] = k.utm_north[1] = v[0];
    k.cart_y = k.utm_east[0] = k.utm_east[1] = v[1];
    k.cart_z = k.ell_h = v[2];
    k.ell_b = k.b_sec = v[3];
    k.ell_l = k.l_sec = v[2];
    k.b_deg = static_cast<std::int32_t>(data[32]) - 128;
    k.l_deg = static_cast<std::int32_t>(data[33]) - 128;
    const std::string_view from = kCodes[data[32] % 7], to = kCodes[data[34] % 7];
    convert::kokon(from, k);
    convert::kokon1(from, to, k);
    return 0;
}
