#include "app/fields.h"

#include <array>

#include "convert/convert.h"
#include "app/ids.h"
#include "textio/textio.h"

namespace geoid {

namespace {

constexpr double kNone = 0.0;
constexpr int P = kPointDialog;
constexpr int F = kFileDialog;
using K = Kind;
using S = System;
using V = Var;
using C = Check;
using A = Align;

// Bounds of the point form's checks; the area of use of the model (Germany) for B and L.
constexpr double kXyz = 7000000.0;
constexpr double kNorth = 99999999.0;
constexpr double kEastMax = 1200000.0;

constexpr std::array kFields = {
    // Point form: one column per system, each headed by its radio button.
    Field{kRadioXyz, P, K::Radio, S::Xyz, "kartesische Koordinaten", V::None, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{1007, P, K::Input, S::Xyz, "X", V::CartX, C::Real, -kXyz, kXyz, 12, A::Right, "(f12.3)"},
    Field{1004, P, K::Input, S::Xyz, "Y", V::CartY, C::Real, -kXyz, kXyz, 12, A::Right, "(f12.3)"},
    Field{1005, P, K::Input, S::Xyz, "Z", V::CartZ, C::Real, -kXyz, kXyz, 12, A::Right, "(f12.3)"},
    Field{kRadioBlh1, P, K::Radio, S::Blh1, "ellipsoidische Koordinaten", V::None, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{kFieldB, P, K::Input, S::Blh1, "B", V::EllB, C::Real, 47.23, 55.98, 13, A::Right, "(f13.8)"},
    Field{kFieldL, P, K::Input, S::Blh1, "L", V::EllL, C::Real, 3.26, 15.12, 13, A::Right, "(f13.8)"},
    Field{kFieldHeight, P, K::Input, S::Blh1, "h", V::EllH, C::Real, -999.0, 9999.0, 8, A::Right, "(f8.3)"},
    Field{kRadioBlh2, P, K::Radio, S::Blh2, "ellipsoidische Koordinaten", V::None, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{1058, P, K::Input, S::Blh2, "B", V::BSign, C::Sign, kNone, kNone, 1, A::Centre, nullptr},
    Field{1035, P, K::Input, S::Blh2, "", V::BDeg, C::Integer, 47.0, 55.0, 2, A::Centre, "(i2)"},
    Field{1037, P, K::Input, S::Blh2, "", V::BMin, C::Integer, 0.0, 60.0, 2, A::Centre, "(i2)"},
    Field{1038, P, K::Input, S::Blh2, "", V::BSec, C::Real, 0.0, 60.0, 8, A::Right, "(f8.5)"},
    Field{1057, P, K::Input, S::Blh2, "L", V::LSign, C::Sign, kNone, kNone, 1, A::Centre, nullptr},
    Field{1030, P, K::Input, S::Blh2, "", V::LDeg, C::Integer, 3.0, 15.0, 3, A::Centre, "(i3)"},
    Field{1013, P, K::Input, S::Blh2, "", V::LMin, C::Integer, 0.0, 60.0, 2, A::Centre, "(i2)"},
    Field{1036, P, K::Input, S::Blh2, "", V::LSec, C::Real, 0.0, 60.0, 8, A::Right, "(f8.5)"},
    Field{1031, P, K::Input, S::Blh2, "h", V::EllH, C::Real, -999.0, 9999.0, 8, A::Right, "(f8.3)"},
    Field{kRadioUtm32, P, K::Radio, S::Utm32, "UTM32", V::None, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{1026, P, K::Input, S::Utm32, "N", V::Utm32North, C::Real, -kNorth, kNorth, 13, A::Right, "(f13.3)"},
    Field{1028, P, K::Input, S::Utm32, "E", V::Utm32East, C::Real, 0.0, kEastMax, 13, A::Right, "(f13.3)"},
    Field{1027, P, K::Input, S::Utm32, "h", V::EllH, C::Real, -999.0, 9999.0, 8, A::Right, "(f8.3)"},
    Field{kRadioUtm33, P, K::Radio, S::Utm33, "UTM33", V::None, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{1074, P, K::Input, S::Utm33, "N", V::Utm33North, C::Real, -kNorth, kNorth, 13, A::Right, "(f13.3)"},
    Field{1075, P, K::Input, S::Utm33, "E", V::Utm33East, C::Real, 0.0, kEastMax, 13, A::Right, "(f13.3)"},
    Field{1060, P, K::Input, S::Utm33, "h", V::EllH, C::Real, -999.0, 9999.0, 8, A::Right, "(f8.3)"},
    // The results, never editable, and the button.
    Field{kFieldN, P, K::Result, S::None, "H\xC3\xB6henanomalie N", V::HeightAnomaly, C::None, kNone, kNone, 0, A::Right, "(f8.3)"},
    Field{kFieldH, P, K::Result, S::None, "Normalh\xC3\xB6he H", V::NormalHeight, C::None, kNone, kNone, 0, A::Right, "(f8.3)"},
    Field{kButtonComputePoint, P, K::Button, S::None, "Berechnen", V::None, C::None, kNone, kNone, 0, A::Centre, nullptr},

    // File form: the input side, the large button, the output side.
    Field{kButtonInputFile, F, K::Button, S::None, "Eingabedatei", V::None, C::None, kNone, kNone, 0, A::Centre, nullptr},
    Field{kFieldInputFile, F, K::FileName, S::None, "", V::None, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{1018, F, K::Label, S::None, "Eingabeformat", V::None, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{kListInFormat, F, K::List, S::None, "", V::None, C::None, 1.0, 7.0, 0, A::Left, nullptr},
    Field{kCheckPointNumber, F, K::CheckBox, S::None, " Punktnummer in Spalte 1", V::None, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{kButtonViewInput, F, K::Button, S::None, "Eingabedatei ansehen", V::None, C::None, kNone, kNone, 0, A::Centre, nullptr},
    Field{kButtonComputeFile, F, K::Button, S::None, "Berechnen", V::None, C::None, kNone, kNone, 0, A::Centre, nullptr},
    Field{kButtonOutputFile, F, K::Button, S::None, "Ausgabedatei", V::None, C::None, kNone, kNone, 0, A::Centre, nullptr},
    Field{kFieldOutputFile, F, K::FileName, S::None, "", V::None, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{1012, F, K::Label, S::None, "Ausgabeformat", V::None, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{kListOutFormat, F, K::List, S::None, "", V::None, C::None, 1.0, 7.0, 0, A::Left, nullptr},
    Field{1009, F, K::Label, S::None, "L\xC3\xA4nge der Punktnummer (<31 Zeichen)", V::None, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{kFieldPointNumberLength, F, K::Text, S::None, "", V::None, C::Integer, 1.0, 30.0, 3, A::Centre, nullptr},
    Field{kButtonViewOutput, F, K::Button, S::None, "Ausgabedatei ansehen", V::None, C::None, kNone, kNone, 0, A::Centre, nullptr},
};

}  // namespace

std::span<const Field> fields()
{
    return kFields;
}

const Field* find_field(int dialog, int id)
{
    for (const Field& f : kFields)
        if (f.dialog == dialog && f.id == id) return &f;
    return nullptr;
}

VarRef var_ref(Var v, Koordinaten& k)
{
    switch (v) {
    case Var::HeightAnomaly: return {&k.height_anomaly};
    case Var::NormalHeight: return {&k.normal_height};
    default: return var_ref(v, k.point);
    }
}

VarRef var_ref(Var v, convert::Coordinates& p)
{
    switch (v) {
    case Var::CartX: return {&p.cart_x};
    case Var::CartY: return {&p.cart_y};
    case Var::CartZ: return {&p.cart_z};
    case Var::EllB: return {&p.ell_b};
    case Var::EllL: return {&p.ell_l};
    case Var::EllH: return {&p.ell_h};
    case Var::BSign: return {nullptr, nullptr, &p.b_sign};
    case Var::BDeg: return {nullptr, &p.b_deg};
    case Var::BMin: return {nullptr, &p.b_min};
    case Var::BSec: return {&p.b_sec};
    case Var::LSign: return {nullptr, nullptr, &p.l_sign};
    case Var::LDeg: return {nullptr, &p.l_deg};
    case Var::LMin: return {nullptr, &p.l_min};
    case Var::LSec: return {&p.l_sec};
    case Var::Utm32North: return {&p.utm_north[0]};
    case Var::Utm32East: return {&p.utm_east[0]};
    case Var::Utm33North: return {&p.utm_north[1]};
    case Var::Utm33East: return {&p.utm_east[1]};
    case Var::HeightAnomaly:
    case Var::NormalHeight:
    case Var::None: break;
    }
    return {};
}

bool check_real_text(std::string_view text, double& value, double lowest, double highest)
{
    text = text.substr(0, kCheckedChars);
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) return false;
    // The first item ends at a blank, a comma, a slash or the end of the text.
    const std::size_t end = text.find_first_of(" ,/", start);
    const std::string_view item = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    double v = 0.0;
    if (!textio::parse_number(item, v)) return false;
    value = v;
    return v >= lowest && v <= highest;
}

bool check_integer_text(std::string_view text, std::int32_t& value, std::int32_t lowest, std::int32_t highest)
{
    std::int32_t v = 0;
    if (!textio::text_to_int32(text.substr(0, kCheckedChars), v)) return false;
    value = v;
    return v >= lowest && v <= highest;
}

bool check_sign_text(std::string_view text, char& sign)
{
    sign = text.empty() ? ' ' : text[0];
    return sign == '+' || sign == '-';
}

}  // namespace geoid
