#include "app/fields.h"

#include <array>
#include <charconv>
#include <string>

#include "convert/convert.h"
#include "filecalc/filecalc.h"
#include "filecalc/formats.h"
#include "app/ids.h"
#include "messages/formats.h"
#include "messages/geoid.h"
#include "messages/messages.h"
#include "textio/textio.h"

namespace geoid {

namespace {

constexpr double kNone = 0.0;
constexpr int P = kPointDialog;
constexpr int F = kFileDialog;
using K = Kind;
using S = System;
using CV = convert::Value;
constexpr Var point(CV v) { return {Var::Of::Point, v}; }
constexpr Var kNoVar{};
constexpr Var kAnomaly{Var::Of::HeightAnomaly};
constexpr Var kNormal{Var::Of::NormalHeight};
using C = Check;
using A = Align;
namespace T = messages::geoid::form;
namespace V = messages::formats;

// Bounds of the point form's checks; the area of use of the model (Germany) for B and L.
constexpr double kXyz = 7000000.0;
constexpr double kNorth = 99999999.0;
constexpr double kEastMax = 1200000.0;
constexpr double kFormats = filecalc::kFormatCount;  // entries of the format lists
constexpr double kLongestPointNumber = filecalc::kMaxPointNumberLength;

constexpr std::array kFields = {
    // Point form: one column per system, each headed by its radio button.
    Field{kRadioXyz, P, K::Radio, S::Xyz, T::kCartesian, T::kCartesian, kNoVar, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{1007, P, K::Input, S::Xyz, "X", "X", point(CV::CartX), C::Real, -kXyz, kXyz, 12, A::Right, "(f12.3)"},
    Field{1004, P, K::Input, S::Xyz, "Y", "Y", point(CV::CartY), C::Real, -kXyz, kXyz, 12, A::Right, "(f12.3)"},
    Field{1005, P, K::Input, S::Xyz, "Z", "Z", point(CV::CartZ), C::Real, -kXyz, kXyz, 12, A::Right, "(f12.3)"},
    Field{1101, P, K::Reason, S::Xyz, "", T::kReasonCartesian, kNoVar, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{kRadioBlh1, P, K::Radio, S::Blh1, T::kEllipsoidal, T::kEllipsoidalDecimal, kNoVar, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{kFieldB, P, K::Input, S::Blh1, "B", T::kDecimalB, point(CV::EllB), C::Real, 47.23, 55.98, 13, A::Right, "(f13.8)"},
    Field{kFieldL, P, K::Input, S::Blh1, "L", T::kDecimalL, point(CV::EllL), C::Real, 3.26, 15.12, 13, A::Right, "(f13.8)"},
    Field{kFieldHeight, P, K::Input, S::Blh1, "h", T::kDecimalH, point(CV::EllH), C::Real, -999.0, 9999.0, 8, A::Right, "(f8.3)"},
    Field{1102, P, K::Reason, S::Blh1, "", T::kReasonDecimal, kNoVar, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{kRadioBlh2, P, K::Radio, S::Blh2, T::kEllipsoidal, T::kEllipsoidalSexagesimal, kNoVar, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{1058, P, K::Input, S::Blh2, "B", T::kBSign, point(CV::BSign), C::Sign, kNone, kNone, 1, A::Centre, nullptr},
    Field{1035, P, K::Input, S::Blh2, "", V::kBDegrees, point(CV::BDeg), C::Integer, 47.0, 55.0, 2, A::Centre, "(i2)"},
    Field{1037, P, K::Input, S::Blh2, "", V::kBMinutes, point(CV::BMin), C::Integer, 0.0, 60.0, 2, A::Centre, "(i2)"},
    Field{1038, P, K::Input, S::Blh2, "", V::kBSeconds, point(CV::BSec), C::Real, 0.0, 60.0, 8, A::Right, "(f8.5)"},
    Field{1057, P, K::Input, S::Blh2, "L", T::kLSign, point(CV::LSign), C::Sign, kNone, kNone, 1, A::Centre, nullptr},
    Field{1030, P, K::Input, S::Blh2, "", V::kLDegrees, point(CV::LDeg), C::Integer, 3.0, 15.0, 3, A::Centre, "(i3)"},
    Field{1013, P, K::Input, S::Blh2, "", V::kLMinutes, point(CV::LMin), C::Integer, 0.0, 60.0, 2, A::Centre, "(i2)"},
    Field{1036, P, K::Input, S::Blh2, "", V::kLSeconds, point(CV::LSec), C::Real, 0.0, 60.0, 8, A::Right, "(f8.5)"},
    Field{1031, P, K::Input, S::Blh2, "h", T::kSexagesimalH, point(CV::EllH), C::Real, -999.0, 9999.0, 8, A::Right, "(f8.3)"},
    Field{1103, P, K::Reason, S::Blh2, "", T::kReasonSexagesimal, kNoVar, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{kRadioUtm32, P, K::Radio, S::Utm32, "UTM32", "UTM32", kNoVar, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{1026, P, K::Input, S::Utm32, "N", T::kNorthing32, point(CV::Utm32North), C::Real, -kNorth, kNorth, 13, A::Right, "(f13.3)"},
    Field{1028, P, K::Input, S::Utm32, "E", T::kEasting32, point(CV::Utm32East), C::Real, 0.0, kEastMax, 13, A::Right, "(f13.3)"},
    Field{1027, P, K::Input, S::Utm32, "h", T::kHeight32, point(CV::EllH), C::Real, -999.0, 9999.0, 8, A::Right, "(f8.3)"},
    Field{1104, P, K::Reason, S::Utm32, "", T::kReasonUtm32, kNoVar, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{kRadioUtm33, P, K::Radio, S::Utm33, "UTM33", "UTM33", kNoVar, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{1074, P, K::Input, S::Utm33, "N", T::kNorthing33, point(CV::Utm33North), C::Real, -kNorth, kNorth, 13, A::Right, "(f13.3)"},
    Field{1075, P, K::Input, S::Utm33, "E", T::kEasting33, point(CV::Utm33East), C::Real, 0.0, kEastMax, 13, A::Right, "(f13.3)"},
    Field{1060, P, K::Input, S::Utm33, "h", T::kHeight33, point(CV::EllH), C::Real, -999.0, 9999.0, 8, A::Right, "(f8.3)"},
    Field{1105, P, K::Reason, S::Utm33, "", T::kReasonUtm33, kNoVar, C::None, kNone, kNone, 0, A::Left, nullptr},
    // The results, never editable, and the button.
    Field{kFieldN, P, K::Result, S::None, T::kHeightAnomaly, T::kHeightAnomaly, kAnomaly, C::None, kNone, kNone, 0, A::Right, "(f8.3)"},
    Field{kFieldH, P, K::Result, S::None, T::kNormalHeight, T::kNormalHeight, kNormal, C::None, kNone, kNone, 0, A::Right, "(f8.3)"},
    Field{kButtonComputePoint, P, K::Button, S::None, T::kCompute, T::kCompute, kNoVar, C::None, kNone, kNone, 0, A::Centre, nullptr},

    // File form, in the order Tab takes: the input column, the output column, the point
    // number, then the large button.
    Field{kButtonInputFile, F, K::Button, S::None, T::kInputFile, T::kInputFile, kNoVar, C::None, kNone, kNone, 0, A::Centre, nullptr},
    Field{kFieldInputFile, F, K::FileName, S::None, "", T::kInputFileName, kNoVar, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{1018, F, K::Label, S::None, T::kInputFormat, T::kInputFormat, kNoVar, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{kListInFormat, F, K::List, S::None, "", T::kInputFormat, kNoVar, C::None, 1.0, kFormats, 0, A::Left, nullptr},
    Field{kButtonViewInput, F, K::Button, S::None, T::kViewInput, T::kViewInput, kNoVar, C::None, kNone, kNone, 0, A::Centre, nullptr},
    Field{kButtonOutputFile, F, K::Button, S::None, T::kOutputFile, T::kOutputFile, kNoVar, C::None, kNone, kNone, 0, A::Centre, nullptr},
    Field{kFieldOutputFile, F, K::FileName, S::None, "", T::kOutputFileName, kNoVar, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{1012, F, K::Label, S::None, T::kOutputFormat, T::kOutputFormat, kNoVar, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{kListOutFormat, F, K::List, S::None, "", T::kOutputFormat, kNoVar, C::None, 1.0, kFormats, 0, A::Left, nullptr},
    Field{kButtonViewOutput, F, K::Button, S::None, T::kViewOutput, T::kViewOutput, kNoVar, C::None, kNone, kNone, 0, A::Centre, nullptr},
    Field{kCheckPointNumber, F, K::CheckBox, S::None, T::kPointNumberLabel, T::kPointNumber, kNoVar, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{1009, F, K::Label, S::None, T::kLengthLabel, T::kLength, kNoVar, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{kFieldPointNumberLength, F, K::Text, S::None, T::kLength, T::kLength, kNoVar, C::Integer, 1.0, kLongestPointNumber, 3, A::Centre, nullptr},
    Field{1171, F, K::Reason, S::None, "", T::kReasonLength, kNoVar, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{1182, F, K::Label, S::None, T::kHeightsLabel, T::kHeightsLabel, kNoVar, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{kListHeights, F, K::List, S::None, "", T::kHeightsLabel, kNoVar, C::None, 1.0, 2.0, 0, A::Left, nullptr},
    Field{kCheckZone, F, K::CheckBox, S::None, T::kZone, T::kZone, kNoVar, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{1185, F, K::Label, S::None, T::kSeparatorLabel, T::kSeparatorLabel, kNoVar, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{kListSeparator, F, K::List, S::None, "", T::kSeparatorLabel, kNoVar, C::None, 1.0, 4.0, 0, A::Left, nullptr},
    Field{1187, F, K::Label, S::None, T::kHeaderLines, T::kHeaderLines, kNoVar, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{kFieldHeaderLines, F, K::Text, S::None, T::kHeaderLines, T::kHeaderLines, kNoVar, C::Integer, 0.0, filecalc::kMaxHeaderLines, 3, A::Centre, nullptr},
    Field{kCheckRest, F, K::CheckBox, S::None, T::kRest, T::kRest, kNoVar, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{kCheckTable, F, K::CheckBox, S::None, T::kTable, T::kTable, kNoVar, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{1191, F, K::Label, S::None, T::kPreviewLabel, T::kPreviewLabel, kNoVar, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{kPreview, F, K::Preview, S::None, "", T::kPreview, kNoVar, C::None, kNone, kNone, 0, A::Left, nullptr},
    Field{kButtonComputeFile, F, K::Button, S::None, T::kCompute, T::kCompute, kNoVar, C::None, kNone, kNone, 0, A::Centre, nullptr},
};

}  // namespace

namespace {

// A number field's text: blanks around it aside, exactly one number, its decimal separator a
// point or a comma as German users write it ("52,5163", "-0,5", "5,25D1"). A second number, a
// unit, a letter, a second separator or a slash make it no number.
bool field_number(std::string_view text, double& value)
{
    const std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos) return false;
    return textio::parse_decimal(text.substr(start, text.find_last_not_of(" \t") + 1 - start), value);
}

// A bound as short as it reads: 47.23, -7000000.
std::string bound_text(double v)
{
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

}  // namespace

std::vector<std::string> list_entries(int id)
{
    std::vector<std::string> entries;
    if (id == kListHeights) return {T::kHeightsEllipsoidal, T::kHeightsNormal};
    if (id == kListSeparator) return {T::kSeparatorBlank, T::kSeparatorSemicolon, T::kSeparatorTab, T::kSeparatorBlanksDecimalComma};
    for (const filecalc::FileFormat& f : filecalc::formats()) entries.emplace_back(id == kListInFormat ? f.input_label : f.output_label);
    return entries;
}

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

const Field* reason_field(int dialog, System s)
{
    for (const Field& f : kFields)
        if (f.dialog == dialog && f.kind == Kind::Reason && f.system == s) return &f;
    return nullptr;
}

std::string check_reason(const Field& f)
{
    const std::string who = *f.label != '\0' ? f.label : f.name;
    switch (f.check) {
    case Check::Real: return messages::fill(T::kCheckReal, {who, bound_text(f.lowest), bound_text(f.highest)});
    case Check::Integer: return messages::fill(T::kCheckInteger, {who, bound_text(f.lowest), bound_text(f.highest)});
    case Check::Sign: return messages::fill(T::kCheckSign, {who});
    case Check::None: break;
    }
    return {};
}

VarRef var_ref(Var v, Koordinaten& k)
{
    switch (v.of) {
    case Var::Of::HeightAnomaly: return {&k.height_anomaly};
    case Var::Of::NormalHeight: return {&k.normal_height};
    default: return var_ref(v, k.point);
    }
}

VarRef var_ref(Var v, convert::Coordinates& p)
{
    return v.of == Var::Of::Point ? convert::member(v.value, p) : VarRef{};
}

bool check_real_text(std::string_view text, double& value, double lowest, double highest)
{
    double v = 0.0;
    if (!field_number(text, v)) return false;
    value = v;
    return v >= lowest && v <= highest;
}

bool check_integer_text(std::string_view text, std::int32_t& value, std::int32_t lowest, std::int32_t highest)
{
    std::int32_t v = 0;
    if (!textio::text_to_int32(text, v)) return false;
    value = v;
    return v >= lowest && v <= highest;
}

bool check_sign_text(std::string_view text, char& sign)
{
    sign = text.empty() ? ' ' : text[0];
    return sign == '+' || sign == '-';
}

}  // namespace geoid
