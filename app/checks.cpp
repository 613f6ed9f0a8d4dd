#include "checks.h"

#include "ids.h"
#include "koordinaten.h"
#include "textio.h"
#include "toolkit.h"

namespace geoid {

namespace {

constexpr std::size_t kFieldText = 20;  // characters of a field the checks look at

std::string field_text(int field)
{
    std::string text;
    toolkit::wdialoggetstring(field, text);
    if (text.size() > kFieldText) text.resize(kFieldText);
    return text;
}

void fail(int field, std::int32_t& error)
{
    toolkit::windowbell("");
    toolkit::wdialogsetfield(field);
    error = 1;
}

// "(fW.D)" or "(iW)": the width and the decimals.
void parse_format(const std::string& format, int& width, int& decimals)
{
    width = 0;
    decimals = 0;
    int* target = &width;
    for (const char c : format) {
        if (c >= '0' && c <= '9') *target = *target * 10 + (c - '0');
        else if (c == '.') target = &decimals;
    }
}

}  // namespace

void check_real(int field, double& value, double lowest, double highest, std::int32_t& error)
{
    error = 0;
    const std::string text = field_text(field);
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string::npos) return fail(field, error);
    // The first item ends at a blank, a comma, a slash or the end of the text.
    const std::size_t end = text.find_first_of(" ,/", start);
    const std::string_view item = std::string_view(text).substr(start, end == std::string::npos ? std::string::npos : end - start);
    double v = 0.0;
    if (!textio::parse_number(item, v)) return fail(field, error);
    value = v;
    if (!(v >= lowest && v <= highest)) fail(field, error);
}

void check_integer(int field, std::int32_t& value, std::int32_t lowest, std::int32_t highest, std::int32_t& error)
{
    error = 0;
    int v = 0;
    toolkit::istringtointeger(field_text(field), v);
    if (toolkit::infoerror(1) != 0) return fail(field, error);
    value = v;
    if (v < lowest || v > highest) fail(field, error);
}

void check_vorzeichen(int field, char& sign, std::int32_t& error)
{
    error = 0;
    const std::string text = field_text(field);
    sign = text.empty() ? ' ' : text[0];
    if (sign != '+' && sign != '-') fail(field, error);
}

void check_field(int field)
{
    convert::Coordinates& p = koordinaten.point;
    std::int32_t& e = koordinaten.field_error;
    switch (field) {
    case 1007: check_real(field, p.cart_x, -7000000.0, 7000000.0, e); break;
    case 1004: check_real(field, p.cart_y, -7000000.0, 7000000.0, e); break;
    case 1005: check_real(field, p.cart_z, -7000000.0, 7000000.0, e); break;
    case 1029: check_real(field, p.ell_b, 47.23, 55.98, e); break;
    case 1014: check_real(field, p.ell_l, 3.26, 15.12, e); break;
    case 1015:
    case 1031:
    case 1027:
    case 1060: check_real(field, p.ell_h, -999.0, 9999.0, e); break;
    case 1058: check_vorzeichen(field, p.b_sign, e); break;
    case 1035: check_integer(field, p.b_deg, 47, 55, e); break;
    case 1037: check_integer(field, p.b_min, 0, 60, e); break;
    case 1038: check_real(field, p.b_sec, 0.0, 60.0, e); break;
    case 1057: check_vorzeichen(field, p.l_sign, e); break;
    case 1030: check_integer(field, p.l_deg, 3, 15, e); break;
    case 1013: check_integer(field, p.l_min, 0, 60, e); break;
    case 1036: check_real(field, p.l_sec, 0.0, 60.0, e); break;
    case 1026: check_real(field, p.utm_north[0], -99999999.0, 99999999.0, e); break;
    case 1028: check_real(field, p.utm_east[0], 0.0, 1200000.0, e); break;
    case 1074: check_real(field, p.utm_north[1], -99999999.0, 99999999.0, e); break;
    case 1075: check_real(field, p.utm_east[1], 0.0, 1200000.0, e); break;
    default: break;
    }
}

void put_string_real(int field, double value, const std::string& format)
{
    int width = 0, decimals = 0;
    parse_format(format, width, decimals);
    toolkit::wdialogputstring(field, textio::fixed(value, width, decimals));
}

void put_string_integer(int field, std::int32_t value, const std::string& format)
{
    std::string text;
    toolkit::integertostring(value, text, format);
    toolkit::wdialogputstring(field, text);
}

void write_errcode(int dialog, const std::string& message)
{
    toolkit::wdialogload(kErrorDialog);
    toolkit::windowbell("");
    toolkit::wdialogputstring(kErrorText, std::string(textio::trim_trailing(message)));
    toolkit::wdialogshow(-1, -1, 0, 1);
    toolkit::wdialogunload();
    if (dialog != -1) toolkit::wdialogselect(dialog);
}

void write_message(int dialog, const std::string& message)
{
    toolkit::windowbell("");
    toolkit::wmessagebox(0, 4, 1, std::string(textio::trim_trailing(message)), "Berechnung beendet");
    if (dialog != -1) toolkit::wdialogselect(dialog);
}

}  // namespace geoid
