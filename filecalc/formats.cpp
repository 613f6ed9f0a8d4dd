#include "filecalc/formats.h"

#include "messages/formats.h"

namespace filecalc {

namespace {

using S = convert::System;
using V = Value;
namespace T = messages::formats;

constexpr Column kMetres(V v) { return {v, 14, 3}; }
constexpr Column kDegrees(V v) { return {v, 14, 8}; }

constexpr std::array<FileFormat, kFormatCount> kFormats = {{
    {1, T::kXyzIn, T::kXyzOut, S::Xyz, 0, false, false,
     {kMetres(V::CartX), kMetres(V::CartY), kMetres(V::CartZ)}, 3, false},
    {2, T::kDecimalIn, T::kDecimalOut, S::Blh1, 0, false, false,
     {kDegrees(V::EllB), kDegrees(V::EllL)}, 2, true},
    // Degrees and minutes whole; two blanks between B and L, whose degrees take one more place.
    {3, T::kSexagesimalIn, T::kSexagesimalOut, S::Blh2, 0, false, true,
     {Column{V::BDeg, 3, -1}, Column{V::BMin, 3, -1}, Column{V::BSec, 9, 5}, Column{V::LDeg, 4, -1, 2},
      Column{V::LMin, 3, -1}, Column{V::LSec, 9, 5}},
     6, true},
    {4, T::kUtm32NorthEastIn, T::kUtm32NorthEastOut, S::Utm32, 32, true, false,
     {kMetres(V::Utm32North), kMetres(V::Utm32East)}, 2, true},
    {5, T::kUtm32EastNorthIn, T::kUtm32EastNorthOut, S::Utm32, 32, false, false,
     {kMetres(V::Utm32East), kMetres(V::Utm32North)}, 2, true},
    {6, T::kUtm33NorthEastIn, T::kUtm33NorthEastOut, S::Utm33, 33, true, false,
     {kMetres(V::Utm33North), kMetres(V::Utm33East)}, 2, true},
    {7, T::kUtm33EastNorthIn, T::kUtm33EastNorthOut, S::Utm33, 33, false, false,
     {kMetres(V::Utm33East), kMetres(V::Utm33North)}, 2, true},
    // Through PROJ to and from B, L on ETRS89.
    {8, T::kGaussKruegerIn, T::kGaussKruegerOut, S::Blh1, 0, false, false,
     {kMetres(V::GkEast), kMetres(V::GkNorth)}, 2, true, Foreign::GaussKrueger},
}};

}  // namespace

std::span<const FileFormat, kFormatCount> formats()
{
    return kFormats;
}

const FileFormat* format(int number)
{
    return number >= 1 && number <= kFormatCount ? &kFormats[static_cast<std::size_t>(number - 1)] : nullptr;
}

FileFormat crs_format(bool geographic)
{
    const auto column = [geographic](V v) { return geographic ? kDegrees(v) : kMetres(v); };
    return {0, "", "", S::Blh1, 0, false, false, {column(V::CrsEast), column(V::CrsNorth)}, 2, true, Foreign::Crs};
}

ColumnRef column_ref(const Column& c, convert::Coordinates& p)
{
    const convert::Member m = convert::member(c.value, p);
    return {m.real, m.integer};
}

const char* value_name(Value v)
{
    switch (v) {
    case V::CartX: return "X";
    case V::CartY: return "Y";
    case V::CartZ: return "Z";
    case V::EllB: return "B";
    case V::EllL: return "L";
    case V::BDeg: return T::kBDegrees;
    case V::BMin: return T::kBMinutes;
    case V::BSec: return T::kBSeconds;
    case V::LDeg: return T::kLDegrees;
    case V::LMin: return T::kLMinutes;
    case V::LSec: return T::kLSeconds;
    case V::Utm32North:
    case V::Utm33North: return T::kNorthing;
    case V::Utm32East:
    case V::Utm33East: return T::kEasting;
    case V::EllH: return "h";
    case V::GkEast: return T::kRechtswert;
    case V::GkNorth: return T::kHochwert;
    case V::CrsEast: return T::kCrsEast;
    case V::CrsNorth: return T::kCrsNorth;
    case V::BSign:
    case V::LSign: break;
    }
    return "";
}

}  // namespace filecalc
