// The fields of the two forms, in one table: for each field of the point form (dialog 101)
// and the file form (dialog 102) its number, kind, coordinate system, label, variable, check
// bounds, length, alignment and output format. The form routines walk this table; no other
// code names a field by its number.
//
// Table order is the order of the forms' routines: the 21 input fields are disabled, checked
// and written in the order they stand here, system by system. It is also the order in which
// Tab moves through each form.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/koordinaten.h"

namespace geoid {

/// Fields the program addresses by name.
inline constexpr int kRadioXyz = 1001;
inline constexpr int kRadioBlh1 = 1002;
inline constexpr int kRadioBlh2 = 1016;
inline constexpr int kRadioUtm32 = 1003;
inline constexpr int kRadioUtm33 = 1061;
inline constexpr int kFieldB = 1029;  ///< decimal latitude: the focus when the point form opens
inline constexpr int kFieldL = 1014;  ///< decimal longitude
inline constexpr int kFieldHeight = 1015;  ///< ellipsoidal height of the decimal system
inline constexpr int kFieldN = 1043;  ///< height anomaly
inline constexpr int kFieldH = 1044;  ///< normal height
inline constexpr int kButtonComputePoint = 1055;

inline constexpr int kButtonInputFile = 1059;
inline constexpr int kFieldInputFile = 1061;
inline constexpr int kListInFormat = 1063;
inline constexpr int kCheckPointNumber = 1070;
inline constexpr int kButtonViewInput = 1066;
inline constexpr int kButtonOutputFile = 1060;
inline constexpr int kFieldOutputFile = 1062;
inline constexpr int kListOutFormat = 1064;
inline constexpr int kFieldPointNumberLength = 1071;
inline constexpr int kButtonViewOutput = 1067;
inline constexpr int kButtonComputeFile = 1065;
// The file form's options for point lists, and its preview.
inline constexpr int kListHeights = 1183;
inline constexpr int kCheckZone = 1184;
inline constexpr int kListSeparator = 1186;
inline constexpr int kFieldHeaderLines = 1188;
inline constexpr int kCheckRest = 1189;
inline constexpr int kCheckTable = 1190;
inline constexpr int kPreview = 1192;
inline constexpr int kPreviewLines = 5;  ///< points the preview shows

/// The five coordinate systems of the point form.
using convert::System;
using convert::system_code;
using convert::system_of;
/// The system whose radio button the point form's resources tick: its fields take input when
/// the form opens.
inline constexpr System kOpeningSystem = System::Blh1;

/// Reason: the line under a system's column (or the point-number length) that says why a field
/// failed its check.
enum class Kind { Radio, Input, Result, Button, FileName, List, CheckBox, Label, Text, Reason, Preview };
enum class Check { None, Real, Integer, Sign };
enum class Align { Left, Right, Centre };

/// The variable of module koordinaten that a field reads or shows: a value of the point (the
/// same map as the file formats', convert::member), N, H, or none.
struct Var {
    enum class Of { None, Point, HeightAnomaly, NormalHeight };
    Of of = Of::None;
    convert::Value value = convert::Value::CartX;  ///< with Of::Point
};

struct Field {
    int id;
    int dialog;
    Kind kind;
    System system;        ///< the system a radio button selects or an input field belongs to
    const char* label;    ///< the caption or the static text beside the field
    const char* name;     ///< accessible name: the label and what tells the field apart
    Var var;
    Check check;
    double lowest;        ///< check bounds, inclusive
    double highest;
    int length;           ///< characters the field shows; a sign field accepts no more (0: no limit)
    Align align;
    const char* format;   ///< output format text, e.g. "(f13.8)"; nullptr when never written
};

/// Every field of dialogs 101 and 102, in the order of the forms' routines.
std::span<const Field> fields();
/// The field with this number in a dialog; nullptr when the dialog has none.
const Field* find_field(int dialog, int id);
/// The reason line of a system's column in the point form, or of the file form (System::None).
const Field* reason_field(int dialog, System s);
/// The entries of a list of the file form: the formats' labels, or the choices of an option.
std::vector<std::string> list_entries(int id);

/// Why a field's text failed its check, in a few German words, e.g.
/// "B: Zahl zwischen 47.23 und 55.98".
std::string check_reason(const Field& f);

/// Address of a field's variable in the record: exactly one of the three is not null.
using VarRef = convert::Member;
VarRef var_ref(Var v, Koordinaten& k);
/// The same for the variables of the point alone (none for N and H).
VarRef var_ref(Var v, convert::Coordinates& p);

/// What reading a form gave: its values, or the number of the first field that failed its
/// check (the warning has sounded and that field has the focus).
template <class Values>
struct Reading {
    Values values{};
    int failed_field = 0;
    bool ok() const { return failed_field == 0; }
};

// ---- what a field's text means (no widgets involved) ------------------------------------------

/// A real field: its text, blanks around it aside, must be exactly one number (sign, digits
/// with a decimal point or a decimal comma, an exponent with E or D) within [lowest, highest].
/// `value` receives the number whenever the text is one.
bool check_real_text(std::string_view text, double& value, double lowest, double highest);
/// An integer field: blanks around, optional sign, digits only, within [lowest, highest].
/// `value` receives the number whenever the text converts.
bool check_integer_text(std::string_view text, std::int32_t& value, std::int32_t lowest, std::int32_t highest);
/// A sign field: "+" or "-" as its first character, which `sign` receives (a blank if none).
bool check_sign_text(std::string_view text, char& sign);

}  // namespace geoid
