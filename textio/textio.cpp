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
    // Longer tokens are no numbers any sane file holds; refusing them keeps the copy bounded.
    char buf[128];
    if (token.empty() || token.size() >= sizeof buf) return false;
    std::size_t k = 0;
    std::size_t n = 0;
    if (token[k] == '+' || token[k] == '-') {
        if (token[k] == '-') buf[n++] = '-';
        ++k;
    }
    int digits = 0;
    while (k < token.size() && token[k] >= '0' && token[k] <= '9') { buf[n++] = token[k++]; ++digits; }
    if (k < token.size() && token[k] == '.') {
        buf[n++] = token[k++];
        while (k < token.size() && token[k] >= '0' && token[k] <= '9') { buf[n++] = token[k++]; ++digits; }
    }
    if (digits == 0) return false;
    if (k < token.size()) {
        const char e = token[k];
        if (e != 'e' && e != 'E' && e != 'd' && e != 'D') return false;
        buf[n++] = 'e';
        ++k;
        if (k < token.size() && (token[k] == '+' || token[k] == '-')) buf[n++] = token[k++];
        int exp_digits = 0;
        while (k < token.size() && token[k] >= '0' && token[k] <= '9') { buf[n++] = token[k++]; ++exp_digits; }
        if (exp_digits == 0 || k != token.size()) return false;
    }
    double v = 0.0;
    const auto res = std::from_chars(buf, buf + n, v);
    if (res.ec != std::errc{} || res.ptr != buf + n || !std::isfinite(v)) return false;
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

ReadStatus FreeReader::next_token(std::string& token)
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
    token.clear();
    last_line_start_ = line_start_;
    for (int c = peek(); c != EOF && c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != ',';
         c = peek()) {
        if (token.size() < 256) token.push_back(static_cast<char>(c));
        ++pos_;
    }
    if (io_error_) return ReadStatus::Error;
    comma_pending_ = false;
    return ReadStatus::Ok;
}

ReadStatus FreeReader::read(double* values, int count)
{
    std::string token;
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
