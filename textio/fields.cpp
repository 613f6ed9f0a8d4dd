#include "textio.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace textio {

int lench(const char* text, int length)
{
    for (int k = length; k > 0; --k)
        if (text[k - 1] != ' ') return k;
    return 0;
}

int lench(std::string_view text)
{
    const auto pos = text.find_last_not_of(' ');
    return pos == std::string_view::npos ? 0 : static_cast<int>(pos + 1);
}

std::string_view trim_trailing(std::string_view text)
{
    return text.substr(0, static_cast<std::size_t>(lench(text)));
}

bool is_blank(std::string_view text)
{
    return lench(text) == 0;
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

void put_fixed(std::string& out, double v, int width, int decimals)
{
    if (!std::isfinite(v)) {
        put_stars(out, width);
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

std::string fixed(double v, int width, int decimals)
{
    std::string s;
    put_fixed(s, v, width, decimals);
    return s;
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

int first_nonblank(std::string_view text)
{
    for (std::size_t k = 0; k < text.size(); ++k)
        if (text[k] != ' ' && text[k] != '\0') return static_cast<int>(k + 1);
    return 0;
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

bool parse_number(std::string_view token, double& value)
{
    // Validate the Fortran-style free format first; from_chars alone would take "inf" or "nan"
    // and knows neither a leading "+" nor the D exponent.
    const std::size_t size = token.size();
    std::size_t k = 0;
    bool plus = false;
    if (k < size && (token[k] == '+' || token[k] == '-')) plus = token[k++] == '+';
    int digits = 0;
    while (k < size && token[k] >= '0' && token[k] <= '9') { ++k; ++digits; }
    if (k < size && token[k] == '.') {
        ++k;
        while (k < size && token[k] >= '0' && token[k] <= '9') { ++k; ++digits; }
    }
    if (digits == 0) return false;
    std::size_t d_exponent = std::string_view::npos;
    if (k < size) {
        const char e = token[k];
        if (e == 'd' || e == 'D') d_exponent = k;
        else if (e != 'e' && e != 'E') return false;
        ++k;
        if (k < size && (token[k] == '+' || token[k] == '-')) ++k;
        int exp_digits = 0;
        while (k < size && token[k] >= '0' && token[k] <= '9') { ++k; ++exp_digits; }
        if (exp_digits == 0 || k != size) return false;
    }
    const char* begin = token.data() + (plus ? 1 : 0);
    const char* end = token.data() + size;
    char buf[128];
    if (d_exponent != std::string_view::npos) {
        // Longer tokens are no numbers any sane file holds; refusing them bounds the copy.
        if (size >= sizeof buf) return false;
        const std::size_t n = static_cast<std::size_t>(end - begin);
        std::memcpy(buf, begin, n);
        buf[d_exponent - (plus ? 1 : 0)] = 'e';
        begin = buf;
        end = buf + n;
    }
    double v = 0.0;
    const auto res = std::from_chars(begin, end, v);
    if (res.ec != std::errc{} || res.ptr != end || !std::isfinite(v)) return false;
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

}  // namespace textio
