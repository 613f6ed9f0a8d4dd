#include "textio/textio.h"

#include "textio/files.h"

#include <algorithm>
#include <cstring>

namespace textio {

FreeReader::FreeReader(std::FILE* file, std::size_t buffer_bytes)
    : file_(file), buffer_(std::max<std::size_t>(buffer_bytes, kMaxToken + 1), '\0')
{
    // A pipe cannot seek: it is read from where it stands, as a file from its start.
    if (!seek(0, 1)) start_at(0, 1);
}

FreeReader::FreeReader(std::string_view text) : file_(nullptr), buffer_(text)
{
    len_ = buffer_.size();
    at_eof_ = true;  // nothing follows the text
}

std::string_view FreeReader::first_bytes()
{
    peek();
    return std::string_view(buffer_.data(), len_);
}

bool FreeReader::first_bytes_cut() const
{
    return len_ == buffer_.size();
}

bool FreeReader::fill()
{
    if (at_eof_ || io_error_) return false;
    buffer_offset_ += static_cast<std::int64_t>(len_);
    pos_ = len_ = 0;
    return read_more();
}

// Reads into the buffer after its len_ bytes; false at the end of the file or on an error.
bool FreeReader::read_more()
{
    const std::size_t got = std::fread(buffer_.data() + len_, 1, buffer_.size() - len_, file_);
    len_ += got;
    if (got == 0) {
        if (std::ferror(file_)) io_error_ = true;
        else at_eof_ = true;
    }
    return got > 0;
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

bool FreeReader::seek(std::int64_t offset, std::int64_t line)
{
    // Nothing is read before the seek succeeded: a pipe keeps every byte for start_at.
    if (!seek_stream(file_, offset)) return false;
    std::clearerr(file_);
    start_at(offset, line);
    return true;
}

void FreeReader::start_at(std::int64_t offset, std::int64_t line)
{
    pos_ = len_ = 0;
    at_eof_ = io_error_ = false;
    buffer_offset_ = offset;
    line_start_ = last_line_start_ = offset;
    line_ = last_line_ = line;
    comma_pending_ = true;
    if (offset == 0) {
        // A UTF-8 byte-order mark is no part of the data.
        static constexpr unsigned char kBom[3] = {0xEF, 0xBB, 0xBF};
        if (peek() == kBom[0] && len_ >= 3 && static_cast<unsigned char>(buffer_[1]) == kBom[1] &&
            static_cast<unsigned char>(buffer_[2]) == kBom[2])
            pos_ = 3;
    }
}

bool FreeReader::backspace()
{
    if (seek(last_line_start_, last_line_)) return true;
    io_error_ = true;
    return false;
}

// A line ends at LF, CR LF or a lone CR (files from old Macs).
void FreeReader::end_line(int c)
{
    if (c == '\r' && peek() == '\n') ++pos_;
    line_start_ = buffer_offset_ + static_cast<std::int64_t>(pos_);
    ++line_;
}

ReadStatus FreeReader::fail(ReadFailure::Kind kind, std::string_view text)
{
    failure_.kind = kind;
    failure_.line = line_;
    failure_.item = item_;
    failure_.text.assign(text.substr(0, kMaxToken + 1));
    return ReadStatus::Error;
}

void FreeReader::skip_line()
{
    for (int c = get(); c != EOF; c = get()) {
        if (c == '\n' || c == '\r') {
            end_line(c);
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

// An integer item k: digits only, within 32 bits; "-0" is remembered in bit k, it carries a
// sign the value cannot.
bool whole_number(std::string_view token, double& value, unsigned& negative_zero, int k)
{
    long long v = 0;
    if (!parse_integer(token, v) || v < -2147483647LL - 1 || v > 2147483647LL) return false;
    value = static_cast<double>(v);
    if (v == 0 && token[0] == '-') negative_zero |= 1u << k;
    return true;
}

// Blanks around a field; a tab too, unless tabs separate the fields.
std::string_view trimmed(std::string_view field, char separator)
{
    const auto blank = [separator](char c) { return c == ' ' || (c == '\t' && separator != '\t'); };
    std::size_t first = 0, end = field.size();
    while (first < end && blank(field[first])) ++first;
    while (end > first && blank(field[end - 1])) --end;
    return field.substr(first, end - first);
}

// Whether `c` separates fields: the separator, or with ' ' any run of blanks and tabs.
bool separates(char c, char separator)
{
    return separator == ' ' ? c == ' ' || c == '\t' : c == separator;
}

// Where the next field starts after a separator at `end`: with ' ' past the whole run of blanks
// and tabs (npos when the line ends there), else right after it.
std::size_t after_separator(std::string_view line, std::size_t end, char separator)
{
    if (end == std::string_view::npos) return end;
    if (separator != ' ') return end + 1;
    const std::size_t next = line.find_first_not_of(" \t", end);
    return next == std::string_view::npos ? std::string_view::npos : next;
}

// One field of a separated line from `at`, which moves past its separator (npos after the
// last field). A field in quotation marks is unquoted into `unquoted`.
enum class Field { Ok, OpenQuote, BadText };
Field next_field(std::string_view line, std::size_t& at, char separator, std::string_view& field, std::string& unquoted)
{
    if (separator == ' ') at = std::min(line.find_first_not_of(" \t", at), line.size());
    const std::size_t start = at;
    std::size_t end = start;
    while (end < line.size() && !separates(line[end], separator)) ++end;  // fields are short: no memchr
    if (end == line.size()) end = std::string_view::npos;
    std::string_view raw = line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    field = trimmed(raw, separator);
    if (field.empty() || field.front() != '"') {
        at = after_separator(line, end, separator);
        return Field::Ok;
    }
    // In quotation marks a separator is part of the text; the field ends after the closing mark.
    const std::size_t open = static_cast<std::size_t>(field.data() - line.data());
    unquoted.clear();
    std::size_t k = open + 1;
    for (;; ++k) {
        if (k >= line.size()) {
            field = line.substr(open, std::min(line.size() - open, kMaxToken + 1));
            return Field::OpenQuote;
        }
        if (line[k] == '"') {
            if (k + 1 < line.size() && line[k + 1] == '"') {
                unquoted.push_back('"');
                ++k;
                continue;
            }
            break;
        }
        unquoted.push_back(line[k]);
    }
    const std::size_t after = separator == ' ' ? (k + 1 < line.size() ? k + 1 : std::string_view::npos)
                                               : line.find_first_not_of(separator == '\t' ? " " : " \t", k + 1);
    if (after != std::string_view::npos && !separates(line[after], separator)) {
        field = line.substr(open, std::min(after + 1 - open, kMaxToken + 1));
        return Field::BadText;
    }
    at = after_separator(line, after, separator);
    field = unquoted;
    return Field::Ok;
}

bool blank_line(std::string_view line, char separator)
{
    for (const char c : line)
        if (c != ' ' && c != '\t' && c != separator) return false;
    return true;
}

}  // namespace

std::vector<std::string> split_fields(std::string_view line, char separator)
{
    std::vector<std::string> fields;
    std::string unquoted;
    for (std::size_t at = 0; at != std::string_view::npos;) {
        std::string_view field;
        const std::size_t before = at;
        if (next_field(line, at, separator, field, unquoted) != Field::Ok) {
            // What cannot be unquoted is kept as it stands.
            fields.emplace_back(trimmed(line.substr(before), separator));
            break;
        }
        fields.emplace_back(field);
    }
    return fields;
}

bool FreeReader::skip_lines(int count, std::vector<std::string>* texts)
{
    for (int k = 0; k < count; ++k) {
        if (peek() == EOF) return false;
        if (texts == nullptr) {
            skip_line();
            continue;
        }
        std::string& text = texts->emplace_back();
        int c = get();
        for (; c != EOF && c != '\n' && c != '\r'; c = get())
            if (text.size() < kMaxLine) text.push_back(static_cast<char>(c));
        if (c != EOF) end_line(c);
        comma_pending_ = true;
    }
    return true;
}

// The rest of the current line, after the last value taken.
ReadStatus FreeReader::take_rest(std::string& rest)
{
    rest.clear();
    int c = get();
    for (; c != EOF && c != '\n' && c != '\r'; c = get()) {
        if (rest.size() == kMaxLine) return fail(ReadFailure::Kind::LineTooLong);
        rest.push_back(static_cast<char>(c));
    }
    if (c != EOF) end_line(c);
    comma_pending_ = true;
    std::string_view r = trimmed(rest, 0);
    if (!r.empty() && r.front() == ',') r = trimmed(r.substr(1), 0);
    rest.assign(std::string(r));
    return ReadStatus::Ok;
}

// The next line without its line end, and its number. Usually it lies in the buffer and is
// used where it stands; one that crosses the buffer's end is copied, up to kMaxLine.
ReadStatus FreeReader::next_line(std::string_view& line, std::int64_t& number)
{
    if (peek() == EOF) return io_error_ ? fail(ReadFailure::Kind::Io) : ReadStatus::End;
    number = line_;
    last_line_start_ = line_start_;
    last_line_ = line_;
    const char* data = buffer_.data();
    std::size_t end = pos_;
    for (; end < len_; ++end) {
        const unsigned char c = static_cast<unsigned char>(data[end]);
        if (c <= '\r' && (c == '\n' || c == '\r')) break;
    }
    if (end < len_ && end + 1 < len_) {
        line = std::string_view(data + pos_, end - pos_);
        pos_ = end + 1;
        end_line(static_cast<unsigned char>(data[end]));
        return ReadStatus::Ok;
    }
    line_copy_.assign(data + pos_, end - pos_);
    pos_ = end;
    int c = get();
    for (; c != EOF && c != '\n' && c != '\r'; c = get()) {
        if (line_copy_.size() == kMaxLine) return fail(ReadFailure::Kind::LineTooLong);
        line_copy_.push_back(static_cast<char>(c));
    }
    if (io_error_) return fail(ReadFailure::Kind::Io);
    if (c != EOF) end_line(c);
    line = line_copy_;
    return ReadStatus::Ok;
}

ReadStatus FreeReader::read_separated(const Item* items, int count, double* values, std::string& text,
                                      unsigned& negative_zero, std::string* rest)
{
    negative_zero = 0;
    continued_ = false;
    std::string_view line;
    std::int64_t number = 0;
    do {
        if (const ReadStatus st = next_line(line, number); st != ReadStatus::Ok) return st;
    } while (blank_line(line, separator_));
    const auto failed = [&](ReadFailure::Kind kind, std::string_view shown) {
        fail(kind, shown);
        failure_.line = number;
        return ReadStatus::Error;
    };
    std::size_t at = 0;
    std::string_view field;
    for (item_ = 0; item_ < count; ++item_) {
        const int k = item_;
        if (at == std::string_view::npos) return failed(ReadFailure::Kind::TooFewValues, {});
        const Field f = next_field(line, at, separator_, field, scratch_);
        if (f == Field::OpenQuote) return failed(ReadFailure::Kind::OpenQuote, field);
        if (f == Field::BadText) return failed(ReadFailure::Kind::BadText, field);
        if (field.size() > kMaxToken) return failed(ReadFailure::Kind::TooLong, field);
        item_lines_[k & 7] = number;
        if (items[k] == Item::Text) {
            text.assign(field);
            continue;
        }
        if (field.empty()) return failed(ReadFailure::Kind::EmptyField, {});
        if (items[k] == Item::Number) {
            if (const ReadStatus st = number_item(k, field, values); st != ReadStatus::Ok) {
                failure_.line = number;
                return st;
            }
        } else if (!whole_number(field, values[k], negative_zero, k)) {
            return failed(ReadFailure::Kind::NotInteger, field);
        }
    }
    if (rest != nullptr) rest->assign(at == std::string_view::npos ? std::string_view() : trimmed(line.substr(at), separator_));
    return ReadStatus::Ok;
}

namespace {

bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

// Digits alone, a sign before them allowed: what a decimal comma's first part looks like.
bool digits_only(std::string_view token)
{
    if (!token.empty() && (token[0] == '-' || token[0] == '+')) token.remove_prefix(1);
    return !token.empty() && std::all_of(token.begin(), token.end(), is_digit);
}

}  // namespace

// At least `want` bytes from the position on in the buffer, as far as the file has them: what
// is left is moved to the buffer's start and the rest read after it. What was taken from the
// buffer before is no longer there. Returns the bytes there are.
std::size_t FreeReader::ahead(std::size_t want)
{
    if (len_ - pos_ >= want || at_eof_ || io_error_) return len_ - pos_;
    std::memmove(buffer_.data(), buffer_.data() + pos_, len_ - pos_);
    buffer_offset_ += static_cast<std::int64_t>(pos_);
    len_ -= pos_;
    pos_ = 0;
    read_more();
    return len_;
}

// After a number item: a word of digits, a comma and digits between blanks (80,412) is a number
// with a decimal comma, which the comma would otherwise split into two values. The error names
// the whole word. The rest of a line, after the values taken, is not looked at.
bool FreeReader::decimal_comma_follows(std::string_view token)
{
    // The usual case, a number not followed by a comma, is decided by one comparison.
    if (after_comma_ || (pos_ < len_ && buffer_[pos_] != ',') || !digits_only(token)) return false;
    const std::string first(token);
    const std::size_t n = ahead(kMaxToken + 2);
    const char* p = buffer_.data() + pos_;
    if (n < 2 || p[0] != ',' || !is_digit(p[1])) return false;
    std::size_t end = 1;
    while (end < n && is_digit(p[end])) ++end;
    if (end < n && !(p[end] == ' ' || p[end] == '\t' || p[end] == '\r' || p[end] == '\n')) return false;
    fail(ReadFailure::Kind::DecimalComma, first + std::string(p, end));
    return true;
}

// A number item: free format, in a separated list with a decimal comma allowed; with a zone
// number in front when one is set for the item, taken off as text so that the number is read
// exactly as without it.
ReadStatus FreeReader::number_item(int k, std::string_view token, double* values)
{
    const bool separated = separator_ != 0;
    const int zone = zone_prefix_[k & 7];
    if (zone != 0) {
        const std::string digits = std::to_string(zone);
        std::string_view rest = token;
        if (!rest.empty() && rest[0] == '+') rest.remove_prefix(1);
        const bool prefixed = rest.size() > digits.size() && rest.substr(0, digits.size()) == digits && is_digit(rest[digits.size()]);
        rest.remove_prefix(prefixed ? digits.size() : 0);
        double v = 0.0;
        const bool number = separated ? parse_decimal(rest, v) : parse_number(rest, v);
        if (!number) return fail(ReadFailure::Kind::NotNumber, token);
        if (!prefixed || !(v >= 0.0 && v < 1e6)) return fail(ReadFailure::Kind::NoZone, token);
        values[k] = v;
        return ReadStatus::Ok;
    }
    const bool number = separated ? parse_decimal(token, values[k]) : parse_number(token, values[k]);
    return number ? ReadStatus::Ok : fail(ReadFailure::Kind::NotNumber, token);
}

ReadStatus FreeReader::skip_to_token()
{
    after_comma_ = false;
    for (;;) {
        const int c = peek();
        if (c == EOF) return io_error_ ? fail(ReadFailure::Kind::Io) : ReadStatus::End;
        if (c == ' ' || c == '\t') {
            ++pos_;
        } else if (c == '\n' || c == '\r') {
            ++pos_;
            end_line(c);
        } else if (c == ',') {
            if (comma_pending_) return fail(ReadFailure::Kind::EmptyValue);
            comma_pending_ = true;
            ++pos_;
            after_comma_ = true;
            continue;
        } else {
            break;
        }
        after_comma_ = false;
    }
    last_line_start_ = line_start_;
    last_line_ = line_;
    comma_pending_ = false;
    return ReadStatus::Ok;
}

ReadStatus FreeReader::next_token(std::string_view& token)
{
    if (const ReadStatus st = skip_to_token(); st != ReadStatus::Ok) return st;
    // Usually the whole token lies in the buffer and is used where it stands. A token longer
    // than kMaxToken is an error wherever it lies; the scan stops right after that length.
    const char* data = buffer_.data();
    std::size_t end = pos_;
    const std::size_t limit = std::min(len_, pos_ + kMaxToken + 1);
    while (end < limit && !ends_token(static_cast<unsigned char>(data[end]))) ++end;
    if (end - pos_ > kMaxToken) return fail(ReadFailure::Kind::TooLong, std::string_view(data + pos_, end - pos_));
    if (end < len_) {
        token = std::string_view(data + pos_, end - pos_);
        pos_ = end;
        return ReadStatus::Ok;
    }
    // The token runs on past the end of the buffer: collect it, as far as kMaxToken + 1.
    scratch_.clear();
    for (int c = peek(); c != EOF && !ends_token(c); c = peek()) {
        if (scratch_.size() == kMaxToken) {
            scratch_.push_back(static_cast<char>(c));
            return fail(ReadFailure::Kind::TooLong, scratch_);
        }
        scratch_.push_back(static_cast<char>(c));
        ++pos_;
    }
    if (io_error_) return fail(ReadFailure::Kind::Io);
    token = scratch_;
    return ReadStatus::Ok;
}

ReadStatus FreeReader::read(double* values, int count)
{
    std::string_view token;
    comma_pending_ = true;
    std::int64_t first_line = line_;
    for (item_ = 0; item_ < count; ++item_) {
        const ReadStatus st = next_token(token);
        if (st != ReadStatus::Ok) return st;
        if (item_ == 0) first_line = line_;
        if (!parse_number(token, values[item_])) return fail(ReadFailure::Kind::NotNumber, token);
        if (decimal_comma_follows(token)) return ReadStatus::Error;
    }
    continued_ = line_ != first_line;
    skip_line();
    return ReadStatus::Ok;
}

ReadStatus FreeReader::next_text(std::string& text)
{
    if (const ReadStatus st = skip_to_token(); st != ReadStatus::Ok) return st;
    const int quote = peek();
    if (quote != '\'' && quote != '"') {
        std::string_view token;
        const ReadStatus st = next_token(token);
        // A lone slash ends a list-directed read and would leave the value from before.
        if (st == ReadStatus::Ok && token == "/") return fail(ReadFailure::Kind::BadText, token);
        text.assign(token);
        return st;
    }
    // A string in apostrophes or quotation marks: blanks and commas are part of it, a doubled
    // mark stands for one; it must end on its line.
    ++pos_;
    text.clear();
    const auto as_written = [&] { return std::string(1, static_cast<char>(quote)) + text; };
    for (;;) {
        const int c = get();
        if (io_error_) return fail(ReadFailure::Kind::Io);
        if (c == EOF || c == '\n' || c == '\r') return fail(ReadFailure::Kind::OpenQuote, as_written());
        if (c == quote) {
            if (peek() != quote) break;
            ++pos_;
        }
        if (text.size() == kMaxToken) return fail(ReadFailure::Kind::TooLong, as_written());
        text.push_back(static_cast<char>(c));
    }
    const int after = peek();
    if (after != EOF && !ends_token(after))
        return fail(ReadFailure::Kind::BadText, as_written() + static_cast<char>(quote) + static_cast<char>(after));
    return io_error_ ? fail(ReadFailure::Kind::Io) : ReadStatus::Ok;
}

ReadStatus FreeReader::read_record(const Item* items, int count, double* values, std::string& text,
                                   unsigned& negative_zero, std::string* rest)
{
    if (separator_ != 0) return read_separated(items, count, values, text, negative_zero, rest);
    std::string_view token;
    comma_pending_ = true;
    negative_zero = 0;
    std::int64_t first_line = line_;
    for (item_ = 0; item_ < count; ++item_) {
        const int k = item_;
        if (items[k] == Item::Text) {
            if (const ReadStatus st = next_text(text); st != ReadStatus::Ok) return st;
        } else if (const ReadStatus st = next_token(token); st != ReadStatus::Ok) {
            return st;
        } else if (items[k] == Item::Number) {
            if (const ReadStatus st = number_item(k, token, values); st != ReadStatus::Ok) return st;
            if (decimal_comma_follows(token)) return ReadStatus::Error;
        } else if (!whole_number(token, values[k], negative_zero, k)) {
            return fail(ReadFailure::Kind::NotInteger, token);
        }
        if (k == 0) first_line = line_;
        item_lines_[k & 7] = line_;
    }
    continued_ = line_ != first_line;
    if (rest != nullptr) return take_rest(*rest);
    skip_line();
    return ReadStatus::Ok;
}

std::int64_t FreeReader::offset() const
{
    return buffer_offset_ + static_cast<std::int64_t>(pos_);
}

}  // namespace textio
