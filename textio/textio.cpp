#include "textio.h"

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

// ---------------------------------------------------------------------------------------------

FreeReader::FreeReader(std::FILE* file) : file_(file), buffer_(kBufferSize, '\0')
{
    seek(0);
}

bool FreeReader::fill()
{
    if (at_eof_ || io_error_) return false;
    buffer_offset_ += static_cast<std::int64_t>(len_);
    pos_ = 0;
    len_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
    if (len_ == 0) {
        if (std::ferror(file_)) io_error_ = true;
        else at_eof_ = true;
        return false;
    }
    return true;
}

inline int FreeReader::peek()
{
    if (pos_ == len_ && !fill()) return EOF;
    return static_cast<unsigned char>(buffer_[pos_]);
}

inline int FreeReader::get()
{
    const int c = peek();
    if (c != EOF) ++pos_;
    return c;
}

bool FreeReader::seek(std::int64_t offset)
{
    pos_ = len_ = 0;
    at_eof_ = io_error_ = false;
    buffer_offset_ = offset;
    line_start_ = last_line_start_ = offset;
    comma_pending_ = true;
    if (fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0) {
        io_error_ = true;
        return false;
    }
    std::clearerr(file_);
    if (offset == 0) {
        // A UTF-8 byte-order mark is no part of the data.
        static constexpr unsigned char kBom[3] = {0xEF, 0xBB, 0xBF};
        if (peek() == kBom[0] && len_ >= 3 && static_cast<unsigned char>(buffer_[1]) == kBom[1] &&
            static_cast<unsigned char>(buffer_[2]) == kBom[2])
            pos_ = 3;
    }
    return true;
}

bool FreeReader::rewind()
{
    return seek(0);
}

bool FreeReader::backspace()
{
    return seek(last_line_start_);
}

void FreeReader::skip_line()
{
    for (int c = get(); c != EOF; c = get()) {
        if (c == '\n') {
            line_start_ = buffer_offset_ + static_cast<std::int64_t>(pos_);
            break;
        }
    }
    comma_pending_ = true;
}

namespace {

inline bool ends_token(int c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',';
}

}  // namespace

ReadStatus FreeReader::next_token(std::string_view& token)
{
    for (;;) {
        const int c = peek();
        if (c == EOF) return io_error_ ? ReadStatus::Error : ReadStatus::End;
        if (c == ' ' || c == '\t' || c == '\r') {
            ++pos_;
        } else if (c == '\n') {
            ++pos_;
            line_start_ = buffer_offset_ + static_cast<std::int64_t>(pos_);
        } else if (c == ',') {
            if (comma_pending_) return ReadStatus::Error;  // empty value
            comma_pending_ = true;
            ++pos_;
        } else {
            break;
        }
    }
    last_line_start_ = line_start_;
    comma_pending_ = false;
    // Usually the whole token lies in the buffer and is used where it stands.
    const char* data = buffer_.data();
    std::size_t end = pos_;
    while (end < len_ && !ends_token(static_cast<unsigned char>(data[end]))) ++end;
    if (end < len_) {
        token = std::string_view(data + pos_, end - pos_);
        pos_ = end;
        return ReadStatus::Ok;
    }
    // The token runs on past the end of the buffer: collect it (bounded, longer is no number).
    scratch_.clear();
    for (int c = peek(); c != EOF && !ends_token(c); c = peek()) {
        if (scratch_.size() < 256) scratch_.push_back(static_cast<char>(c));
        ++pos_;
    }
    if (io_error_) return ReadStatus::Error;
    token = scratch_;
    return ReadStatus::Ok;
}

ReadStatus FreeReader::read(double* values, int count)
{
    std::string_view token;
    comma_pending_ = true;
    for (int k = 0; k < count; ++k) {
        const ReadStatus st = next_token(token);
        if (st != ReadStatus::Ok) return st;
        if (!parse_number(token, values[k])) return ReadStatus::Error;
    }
    skip_line();
    return ReadStatus::Ok;
}

}  // namespace textio

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

}  // namespace textio
