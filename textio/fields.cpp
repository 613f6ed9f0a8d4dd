#include "textio/textio.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace textio {

int lench(std::string_view text)
{
    const auto pos = text.find_last_not_of(' ');
    return pos == std::string_view::npos ? 0 : static_cast<int>(pos + 1);
}

std::string_view trim_trailing(std::string_view text)
{
    return text.substr(0, static_cast<std::size_t>(lench(text)));
}

namespace {

void put_stars(std::string& out, int width)
{
    out.append(static_cast<std::size_t>(width > 0 ? width : 0), '*');
}

void put_right(std::string& out, const char* text, std::size_t len, int width)
{
    if (width < 0 || len > static_cast<std::size_t>(width)) {
        put_stars(out, width);
        return;
    }
    out.append(static_cast<std::size_t>(width) - len, ' ');
    out.append(text, len);
}

}  // namespace

namespace {

constexpr double kPow10[10] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};

// |v| in units of 10^-decimals, rounded as printf rounds the exact binary value, when the
// double product alone decides it. The product is within half an ulp (< x * 2^-52) of the
// exact one, so only a product that close to a tie is left to the exact conversion.
bool scaled_round(double a, int decimals, std::uint64_t& r)
{
    if (decimals < 0 || decimals > 9) return false;
    const double x = a * kPow10[decimals];
    if (!(x < 4.0e15)) return false;
    const double whole = std::floor(x);
    const double frac = x - whole;  // exact below 2^52
    if (std::fabs(frac - 0.5) <= x * 0x1p-51 + 0x1p-1000) return false;
    r = static_cast<std::uint64_t>(whole) + (frac > 0.5 ? 1 : 0);
    return true;
}

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// r in units of 10^-decimals written right to left before `end`, two digits a step: the whole
// part (at least one digit), `point`, the decimals. Returns the first character.
char* put_scaled(char* end, std::uint64_t r, int decimals, char point)
{
    char* p = end;
    while (r >= 100) {
        const std::uint64_t q = r / 100;
        p -= 2;
        std::memcpy(p, kDigitPairs + 2 * (r - q * 100), 2);
        r = q;
    }
    if (r >= 10) {
        p -= 2;
        std::memcpy(p, kDigitPairs + 2 * r, 2);
    } else {
        *--p = static_cast<char>('0' + r);
    }
    while (end - p < decimals + 1) *--p = '0';
    if (decimals > 0) {
        // Move the whole part one place to the left to make room for the point.
        char* point_at = end - decimals - 1;
        std::memmove(p - 1, p, static_cast<std::size_t>(point_at + 1 - p));
        --p;
        *point_at = point;
    }
    return p;
}

}  // namespace

void put_fixed(std::string& out, double v, int width, int decimals)
{
    if (!std::isfinite(v)) {
        put_stars(out, width);
        return;
    }
    std::uint64_t r = 0;
    if (scaled_round(std::fabs(v), decimals, r)) {
        // Digits from the right: the decimals, the point, the whole part, the sign.
        char buf[40];
        char* p = put_scaled(buf + sizeof buf, r, decimals, '.');
        if (std::signbit(v)) *--p = '-';  // printf keeps the sign of a negative that rounds to 0
        put_right(out, p, static_cast<std::size_t>(buf + sizeof buf - p), width);
        return;
    }
    // The largest double has 309 integer digits; the decimals we write are few.
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    if (res.ec != std::errc{}) {
        put_stars(out, width);
        return;
    }
    put_right(out, buf, static_cast<std::size_t>(res.ptr - buf), width);
}

void put_decimal(std::string& out, double v, int decimals, char point)
{
    if (!std::isfinite(v)) return;
    std::uint64_t r = 0;
    char buf[400];
    char* p = buf + sizeof buf;
    if (scaled_round(std::fabs(v), decimals, r)) {
        p = put_scaled(p, r, decimals, point);
        if (std::signbit(v)) *--p = '-';
        out.append(p, static_cast<std::size_t>(buf + sizeof buf - p));
        return;
    }
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    if (res.ec != std::errc{}) return;
    if (decimals > 0) res.ptr[-decimals - 1] = point;
    out.append(buf, static_cast<std::size_t>(res.ptr - buf));
}

void put_integer(std::string& out, long long v, int width)
{
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    put_right(out, buf, static_cast<std::size_t>(res.ptr - buf), width);
}

int actual_length(std::string_view text)
{
    for (std::size_t k = text.size(); k > 0; --k)
        if (text[k - 1] != ' ' && text[k - 1] != '\0') return static_cast<int>(k);
    return 0;
}

std::string name_of(std::string_view text)
{
    return std::string(text.substr(0, static_cast<std::size_t>(actual_length(text))));
}

bool text_to_int32(std::string_view text, std::int32_t& value)
{
    value = 0;
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return false;
    std::string_view t = text.substr(first, text.find_last_not_of(' ') - first + 1);
    const bool negative = t[0] == '-';
    if (t[0] == '+' || t[0] == '-') t.remove_prefix(1);
    if (t.empty()) return true;  // a lone sign
    if (t.size() > 10) return false;
    long long v = 0;
    for (const char c : t) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v > 2147483647LL) return false;
    value = static_cast<std::int32_t>(negative ? -v : v);
    return true;
}

bool parse_format(std::string_view text, FieldFormat& format)
{
    FieldFormat f;
    std::size_t k = 0;
    const auto skip = [&](char c) {
        if (k < text.size() && text[k] == c) ++k;
    };
    // Digits saturate instead of overflowing: no field is wider than kMaxFieldWidth.
    const auto number = [&](int& out) {
        const std::size_t start = k;
        out = 0;
        for (; k < text.size() && text[k] >= '0' && text[k] <= '9'; ++k)
            out = std::min(kMaxFieldWidth, out * 10 + (text[k] - '0'));
        return k > start;
    };
    skip('(');
    if (k == text.size()) return false;
    const char kind = static_cast<char>(text[k] | 0x20);
    if (kind != 'f' && kind != 'i') return false;
    f.kind = kind;
    ++k;
    if (!number(f.width)) return false;
    if (kind == 'f' && k < text.size() && text[k] == '.') {
        ++k;
        if (!number(f.decimals)) return false;
    }
    skip(')');
    if (k != text.size()) return false;
    format = f;
    return true;
}

std::string format_real(double v, std::string_view text)
{
    FieldFormat f;
    if (!parse_format(text, f)) return {};
    if (f.kind == 'i') return format_integer(std::isfinite(v) && std::fabs(v) < 1e18 ? std::llround(v) : 0, text);
    std::string out;
    put_fixed(out, v, f.width, f.decimals);
    return out;
}

std::string format_integer(long long v, std::string_view text)
{
    FieldFormat f;
    if (!parse_format(text, f)) f.width = 0;
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    const auto len = static_cast<std::size_t>(res.ptr - buf);
    std::string out;
    put_right(out, buf, len, f.width == 0 ? static_cast<int>(len) : f.width);
    return out;
}

namespace {

// The shape of a free-format number token, as far as its conversion needs it.
struct NumberShape {
    bool plus = false;      // a leading "+", which from_chars does not take
    bool negative = false;
    long magnitude = 0;     // decimal exponent of the leading significant digit, roughly
    long exponent = 0;      // the written exponent, saturated
    std::size_t d_exponent = std::string_view::npos;  // where a D exponent stands
};

// Sign and digits with an optional decimal point from token[k]; false without any digit.
bool scan_mantissa(std::string_view token, std::size_t& k, NumberShape& s)
{
    const std::size_t size = token.size();
    s.negative = size > 0 && token[0] == '-';
    if (k < size && (token[k] == '+' || token[k] == '-')) s.plus = token[k++] == '+';
    int digits = 0;
    bool significant = false;
    while (k < size && token[k] >= '0' && token[k] <= '9') {
        significant = significant || token[k] != '0';
        if (significant) ++s.magnitude;
        ++k;
        ++digits;
    }
    if (k < size && token[k] == '.') {
        ++k;
        while (k < size && token[k] >= '0' && token[k] <= '9') {
            if (!significant && token[k] == '0') --s.magnitude;
            significant = significant || token[k] != '0';
            ++k;
            ++digits;
        }
    }
    return digits > 0;
}

// An optional exponent with E or D from token[k] to the end of the token.
bool scan_exponent(std::string_view token, std::size_t k, NumberShape& s)
{
    const std::size_t size = token.size();
    if (k == size) return true;
    const char e = token[k];
    if (e == 'd' || e == 'D') s.d_exponent = k;
    else if (e != 'e' && e != 'E') return false;
    ++k;
    bool exponent_negative = false;
    if (k < size && (token[k] == '+' || token[k] == '-')) exponent_negative = token[k++] == '-';
    int exp_digits = 0;
    for (; k < size && token[k] >= '0' && token[k] <= '9'; ++k, ++exp_digits)
        s.exponent = std::min(100000L, s.exponent * 10 + (token[k] - '0'));
    if (exp_digits == 0 || k != size) return false;
    if (exponent_negative) s.exponent = -s.exponent;
    return true;
}

}  // namespace

namespace {

constexpr double kExactPow10[16] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// The common case quickly: a sign, at most 15 digits with a decimal point, no exponent. The
// digits as an integer and the power of ten are both exact doubles, so their quotient is the
// correctly rounded value, the same that from_chars gives. False for anything else.
bool parse_plain_number(std::string_view token, double& value, char comma = '.')
{
    std::size_t k = 0;
    const std::size_t size = token.size();
    bool negative = false;
    if (k < size && (token[k] == '+' || token[k] == '-')) negative = token[k++] == '-';
    std::uint64_t digits = 0;
    int count = 0, decimals = -1;
    for (; k < size; ++k) {
        const char c = token[k];
        if (c >= '0' && c <= '9') {
            if (++count > 15) return false;
            digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
            if (decimals >= 0) ++decimals;
        } else if ((c == '.' || c == comma) && decimals < 0) {
            decimals = 0;
        } else {
            return false;
        }
    }
    if (count == 0) return false;
    const double v = static_cast<double>(digits) / kExactPow10[decimals < 0 ? 0 : decimals];
    value = negative ? -v : v;
    return true;
}

}  // namespace

bool parse_decimal(std::string_view token, double& value)
{
    if (parse_plain_number(token, value, ',')) return true;
    const std::size_t comma = token.find(',');
    if (comma == std::string_view::npos) return parse_number(token, value);
    // One decimal comma where the point would stand, and no point.
    if (token.size() > kMaxToken || token.find_first_of(",.", comma + 1) != std::string_view::npos ||
        token.find('.') < comma)
        return false;
    char buf[kMaxToken];
    std::memcpy(buf, token.data(), token.size());
    buf[comma] = '.';
    return parse_number(std::string_view(buf, token.size()), value);
}

bool parse_number(std::string_view token, double& value)
{
    if (parse_plain_number(token, value)) return true;
    // Validate the free format first; from_chars alone would take "inf" or "nan" and knows
    // neither a leading "+" nor the D exponent. One length rule for every form.
    if (token.size() > kMaxToken) return false;
    NumberShape s;
    std::size_t k = 0;
    if (!scan_mantissa(token, k, s) || !scan_exponent(token, k, s)) return false;
    const char* begin = token.data() + (s.plus ? 1 : 0);
    const char* end = token.data() + token.size();
    char buf[kMaxToken];
    if (s.d_exponent != std::string_view::npos) {
        const std::size_t n = static_cast<std::size_t>(end - begin);
        std::memcpy(buf, begin, n);
        buf[s.d_exponent - (s.plus ? 1 : 0)] = 'e';
        begin = buf;
        end = buf + n;
    }
    double v = 0.0;
    const auto res = std::from_chars(begin, end, v);
    if (res.ec == std::errc::result_out_of_range && s.magnitude + s.exponent < 0) {
        v = s.negative ? -0.0 : 0.0;  // too small for a double: zero, as a list-directed read gives
    } else if (res.ec != std::errc{} || res.ptr != end || !std::isfinite(v)) {
        return false;
    }
    value = v;
    return true;
}

bool parse_integer(std::string_view token, long long& value)
{
    std::size_t k = 0;
    if (!token.empty() && token[0] == '+') k = 1;
    if (k == token.size()) return false;
    long long v = 0;
    const auto res = std::from_chars(token.data() + k, token.data() + token.size(), v);
    if (res.ec != std::errc{} || res.ptr != token.data() + token.size()) return false;
    if (k == 1 && token.size() > 1 && token[1] == '-') return false;  // "+-5"
    value = v;
    return true;
}

std::string ascii_lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

}  // namespace textio
