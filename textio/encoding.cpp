#include "textio/encoding.h"

namespace textio {

bool is_valid_utf8(std::string_view bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t k = 0;
    while (k < n) {
        const unsigned char c = p[k];
        if (c < 0x80) {
            ++k;
            continue;
        }
        std::size_t len;
        char32_t cp;
        if (c >= 0xC2 && c <= 0xDF) { len = 2; cp = c & 0x1F; }
        else if (c >= 0xE0 && c <= 0xEF) { len = 3; cp = c & 0x0F; }
        else if (c >= 0xF0 && c <= 0xF4) { len = 4; cp = c & 0x07; }
        else return false;
        if (k + len > n) return false;
        for (std::size_t j = 1; j < len; ++j) {
            if ((p[k + j] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (p[k + j] & 0x3F);
        }
        if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        k += len;
    }
    return true;
}

void append_utf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string cp1252_to_utf8(std::string_view bytes)
{
    // 0x80..0x9F differ from Latin-1; 0x81, 0x8D, 0x8F, 0x90 and 0x9D are unassigned.
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x80 && c <= 0x9F) append_utf8(out, kHigh[c - 0x80]);
        else append_utf8(out, c);
    }
    return out;
}

std::size_t without_cut_character(std::string_view bytes)
{
    std::size_t k = bytes.size();
    while (k > 0 && (static_cast<unsigned char>(bytes[k - 1]) & 0xC0) == 0x80) --k;
    if (k == 0 || static_cast<unsigned char>(bytes[k - 1]) < 0xC0) return bytes.size();
    const auto lead = static_cast<unsigned char>(bytes[k - 1]);
    const std::size_t need = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    return bytes.size() - (k - 1) < need ? k - 1 : bytes.size();
}

bool reads_as_utf8(std::string_view sample, bool cut)
{
    return is_valid_utf8(cut ? sample.substr(0, without_cut_character(sample)) : sample);
}

std::u32string utf8_to_u32(std::string_view text)
{
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t k = 0; k < text.size();) {
        const auto c = static_cast<unsigned char>(text[k]);
        const std::size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
        for (std::size_t j = 1; j < len && k + j < text.size(); ++j)
            cp = (cp << 6) | (static_cast<unsigned char>(text[k + j]) & 0x3F);
        out.push_back(cp);
        k += len;
    }
    return out;
}

std::size_t utf8_length(std::string_view utf8)
{
    std::size_t n = 0;
    for (const char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

std::string_view utf8_prefix(std::string_view utf8, std::size_t count)
{
    std::size_t n = 0;
    for (std::size_t k = 0; k < utf8.size(); ++k) {
        if ((static_cast<unsigned char>(utf8[k]) & 0xC0) != 0x80 && n++ == count) return utf8.substr(0, k);
    }
    return utf8;
}

}  // namespace textio
