// Reading a coordinate file point by point as a job's format and options say: the layout of a
// line (point number, the format's columns, h), the zone number in front of eastings, the
// Gauß-Krüger zone of a Rechtswert, and the sign of "-0" degrees.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "convert/convert.h"
#include "filecalc/filecalc.h"
#include "filecalc/formats.h"
#include "textio/textio.h"

namespace filecalc {

/// Degrees between -1 and 0 are 0 and cannot carry the angle's sign: "-0" marks them, in the
/// input and in the output of sexagesimal formats.
struct Signs {
    bool b = false;
    bool l = false;

    /// The signs a point's sexagesimal form needs: its angle is negative, its degrees 0.
    static Signs of(const convert::Coordinates& p) { return {p.ell_b < 0.0 && p.b_deg == 0, p.ell_l < 0.0 && p.l_deg == 0}; }
    /// True when the value `v` of column value `c` is written "-0".
    bool minus_zero(Value c, double v) const { return v == 0.0 && ((c == Value::BDeg && b) || (c == Value::LDeg && l)); }
};

/// What one line holds: the point number, the format's columns, h.
struct Layout {
    using Item = textio::FreeReader::Item;
    Item items[8];
    int count = 0;
    int first_value = 0;  ///< item of the first column
};
Layout layout(const FileFormat& f, bool point_number);

/// The character that separates the values of a line for the reader (0: blanks or commas).
char separator_char(Separator s);

/// Point numbers and the rest of a line as UTF-8: as they stand in a UTF-8 file, otherwise
/// taken as Windows-1252. `converted` holds the text when it had to be converted.
const std::string& text_as_utf8(const std::string& text, bool utf8, std::string& converted);

/// A point as read, handed from the reader to the computation.
struct ReadPoint {
    convert::Coordinates point;  ///< the input's columns and h
    Signs signs;
    double height = 0;  ///< the height as read (h, or H with normal heights)
    int gk_zone = 0;    ///< Gauß-Krüger input: the zone of the Rechtswert
    bool continued = false;
    std::string raw_number, rest;
};

/// Reads the points of a coordinate file as the job's format and options say.
class PointReader {
public:
    PointReader(const Job& job, const FileFormat& in, std::FILE* file);

    /// The next point into `point`.
    textio::ReadStatus read(ReadPoint& point);
    /// Where and why the line could not be read, with the name of the value expected there.
    std::string failure_line() const;
    /// The values of the last point read with their names, as the preview shows them.
    std::vector<std::pair<std::string, std::string>> named_values(const ReadPoint& point) const;

    /// The header lines skipped, as they stand (at most kMaxHeaderLines).
    const std::vector<std::string>& header_texts() const { return header_texts_; }
    /// The header lines (numbered from 1) that read as a point with the job's format and
    /// options: a sign that the file has fewer header lines than the job says.
    std::vector<std::int64_t> header_lines_as_points() const;

    /// The file's start reads as UTF-8 (else its texts are taken as Windows-1252).
    bool utf8() const { return utf8_; }
    /// A NUL byte near the file's start: no text file (a model file chosen by mistake).
    bool binary() const { return binary_; }
    std::int64_t offset() const { return reader_.offset(); }
    /// Where the last point's first value stood.
    std::int64_t line() const { return reader_.item_line(0); }

private:
    std::string expected(int item) const;
    void configure(textio::FreeReader& reader) const;
    textio::ReadStatus no_zone(int column, double value);

    const Job& job_;
    const FileFormat& in_;
    textio::FreeReader reader_;
    Layout layout_;
    convert::Coordinates staged_;          ///< the record the columns are read into
    std::array<ColumnRef, 6> refs_{};      ///< where each column stands in it
    double values_[8] = {};
    bool zone_prefix_ = false;  ///< eastings carry their zone number in front
    bool utf8_ = true;
    bool binary_ = false;
    std::vector<std::string> header_texts_;
    textio::ReadFailure failure_;
};

}  // namespace filecalc
