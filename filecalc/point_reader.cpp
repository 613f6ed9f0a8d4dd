#include "filecalc/point_reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "messages/formats.h"
#include "messages/messages.h"
#include "textio/encoding.h"

namespace filecalc {

namespace {

using Item = Layout::Item;

constexpr std::size_t kEncodingSample = 1 << 18;  // bytes that decide a file's encoding
constexpr std::size_t kBinarySample = 4096;       // a NUL byte within them: no text file
// A double in fixed notation: at most 309 digits before the point (1.8e308), 327 after it
// (4.9e-324), a sign and the point.
constexpr std::size_t kFixedDoubleChars = 400;

bool is_whole(Value v)
{
    return v == Value::BDeg || v == Value::BMin || v == Value::LDeg || v == Value::LMin;
}


// A number as a message shows what was read: without an exponent where it fits (500000, not
// 5e+05).
std::string as_written(double v)
{
    char buf[kFixedDoubleChars];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    if (res.ec != std::errc{}) res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

}  // namespace

char separator_char(Separator s)
{
    switch (s) {
    case Separator::Semicolon: return ';';
    case Separator::Tab: return '\t';
    case Separator::BlanksDecimalComma: return ' ';
    case Separator::Blank: break;
    }
    return 0;
}

Layout layout(const FileFormat& f, bool point_number)
{
    Layout l;
    if (point_number) l.items[l.count++] = Item::Text;
    l.first_value = l.count;
    for (int c = 0; c < f.column_count; ++c)
        l.items[l.count++] = is_whole(f.columns[static_cast<std::size_t>(c)].value) ? Item::Integer : Item::Number;
    if (f.reads_height) l.items[l.count++] = Item::Number;
    return l;
}

const std::string& text_as_utf8(const std::string& text, bool utf8, std::string& converted)
{
    if (utf8 && textio::is_valid_utf8(text)) return text;
    converted = textio::cp1252_to_utf8(text);
    return converted;
}

PointReader::PointReader(const Job& job, const FileFormat& in, std::FILE* file)
    : job_(job), in_(in), reader_(file, kEncodingSample), layout_(layout(in, job.pnr_flag)), zone_prefix_(job.zone_prefix && in.zone != 0)
{
    // The encoding of the point numbers is judged by the file's start, as the viewer judges it.
    utf8_ = textio::reads_as_utf8(reader_.first_bytes(), reader_.first_bytes_cut());
    binary_ = reader_.first_bytes().substr(0, kBinarySample).find('\0') != std::string_view::npos;
    configure(reader_);
    reader_.skip_lines(std::clamp(job.header_lines, 0, kMaxHeaderLines), &header_texts_);
    for (int c = 0; c < in.column_count; ++c)
        refs_[static_cast<std::size_t>(c)] = column_ref(in.columns[static_cast<std::size_t>(c)], staged_);
}

// The separator and, for eastings with their zone number in front (32412345.678 is 412345.678
// in zone 32), the zone.
void PointReader::configure(textio::FreeReader& reader) const
{
    reader.set_separator(separator_char(job_.separator));
    for (int c = 0; c < in_.column_count; ++c)
        if (zone_prefix_ && is_utm_easting(in_.columns[static_cast<std::size_t>(c)].value))
            reader.set_zone_prefix(layout_.first_value + c, in_.zone);
}

std::vector<std::int64_t> PointReader::header_lines_as_points() const
{
    std::vector<std::int64_t> lines;
    double values[8];
    std::string text, rest;
    unsigned negative_zero = 0;
    for (std::size_t k = 0; k < header_texts_.size(); ++k) {
        textio::FreeReader line(header_texts_[k]);
        configure(line);
        if (line.read_record(layout_.items, layout_.count, values, text, negative_zero, &rest) == textio::ReadStatus::Ok)
            lines.push_back(static_cast<std::int64_t>(k) + 1);
    }
    return lines;
}

textio::ReadStatus PointReader::no_zone(int column, double value)
{
    failure_.kind = textio::ReadFailure::Kind::NoZone;
    failure_.line = reader_.item_line(layout_.first_value + column);
    failure_.item = layout_.first_value + column;
    failure_.text = as_written(value);
    return textio::ReadStatus::Error;
}

textio::ReadStatus PointReader::read(ReadPoint& p)
{
    unsigned negative_zero = 0;
    const textio::ReadStatus st =
        reader_.read_record(layout_.items, layout_.count, values_, p.raw_number, negative_zero, job_.keep_rest ? &p.rest : nullptr);
    if (st == textio::ReadStatus::Error) failure_ = reader_.failure();
    if (st != textio::ReadStatus::Ok) return st;
    double* v = values_ + layout_.first_value;
    p.signs = Signs{};
    for (int c = 0; c < in_.column_count; ++c) {
        const Column& col = in_.columns[static_cast<std::size_t>(c)];
        refs_[static_cast<std::size_t>(c)].set(v[c]);
        const bool minus_zero = (negative_zero >> (layout_.first_value + c)) & 1u;
        if (col.value == Value::BDeg) p.signs.b = minus_zero;
        if (col.value == Value::LDeg) p.signs.l = minus_zero;
    }
    p.gk_zone = 0;
    if (in_.foreign == Foreign::GaussKrueger) {
        // The Rechtswert's first digit is the zone: 3512345.678 lies in zone 3.
        const int column = in_.columns[0].value == Value::GkEast ? 0 : 1;
        p.gk_zone = std::isfinite(v[column]) ? static_cast<int>(std::floor(v[column] / 1e6)) : 0;
        if (p.gk_zone < kFirstGkZone || p.gk_zone > kLastGkZone) return no_zone(column, v[column]);
    }
    if (in_.reads_height) staged_.ell_h = p.height = v[in_.column_count];
    p.point = staged_;
    p.continued = reader_.continued();
    return st;
}

std::string PointReader::expected(int item) const
{
    const int column = item - layout_.first_value;
    if (column < 0) return messages::kPointNumber;
    if (column >= in_.column_count) return job_.normal_heights ? messages::formats::kNormalHeight : messages::kHeight;
    const Value v = in_.columns[static_cast<std::size_t>(column)].value;
    if (zone_prefix_ && is_utm_easting(v)) return messages::fill(messages::formats::kWithZone, {value_name(v), std::to_string(in_.zone)});
    if (v == Value::GkEast && failure_.kind == textio::ReadFailure::Kind::NoZone) return messages::formats::kGkZone;
    return value_name(v);
}

std::string PointReader::failure_line() const
{
    const bool whole = failure_.item >= 0 && failure_.item < layout_.count && layout_.items[failure_.item] == Item::Integer;
    std::string line = messages::read_failure_line(failure_, expected(failure_.item), whole && failure_.kind != textio::ReadFailure::Kind::NoZone);
    if (failure_.kind == textio::ReadFailure::Kind::DecimalComma) line += std::string("\r\n") + messages::kDecimalCommaSeparator;
    return line;
}

std::vector<std::pair<std::string, std::string>> PointReader::named_values(const ReadPoint& p) const
{
    std::vector<std::pair<std::string, std::string>> named;
    std::string converted;
    for (int k = 0; k < layout_.count; ++k) {
        const int column = k - layout_.first_value;
        const bool is_column = column >= 0 && column < in_.column_count;
        const Value value = is_column ? in_.columns[static_cast<std::size_t>(column)].value : Value::EllH;
        std::string shown;
        if (layout_.items[k] == Item::Text) {
            shown = text_as_utf8(p.raw_number, utf8_, converted);
        } else if (is_column && p.signs.minus_zero(value, values_[k])) {
            shown = "-0";
        } else {
            char buf[64];
            const auto res = std::to_chars(buf, buf + sizeof buf, values_[k]);
            shown.assign(buf, res.ptr);
        }
        // An easting read with its zone number is shown without it, under its plain name.
        std::string name = is_column && zone_prefix_ && is_utm_easting(value) ? value_name(value) : expected(k);
        named.emplace_back(std::move(name), std::move(shown));
    }
    if (job_.keep_rest) named.emplace_back(messages::formats::kRest, text_as_utf8(p.rest, utf8_, converted));
    return named;
}

}  // namespace filecalc
