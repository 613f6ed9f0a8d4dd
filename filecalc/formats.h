// The coordinate file formats, in one table: what a line of a coordinate file holds after
// the optional point number, and what a result line writes before h, H and N. Reading,
// writing, the file form's lists and the command line's help all take them from here.
#pragma once

#include <array>
#include <span>

#include "convert/convert.h"

namespace filecalc {

/// A value of the coordinate record that a column reads or writes.
using Value = convert::Value;

/// One coordinate column: read as a number (or a whole number for degrees and minutes) and
/// written right-aligned in `width` characters with `decimals` places (-1: a whole number),
/// after `lead` blanks.
struct Column {
    Value value;
    int width;
    int decimals;
    int lead = 0;
};

/// Positions that PROJ moves to ETRS89 and back, not the program's own conversions.
enum class Foreign {
    None,
    GaussKrueger,  ///< DHDN, 3-degree zones 2 to 5, the zone as the Rechtswert's first digit
    Crs,           ///< a CRS named on the command line
};

struct FileFormat {
    int number;                ///< 1..kFormatCount, the index in the form's lists (0: a CRS format)
    const char* input_label;   ///< label of the input-format list
    const char* output_label;  ///< label of the output-format list
    convert::System system;    ///< the coordinate system of the columns
    int zone;                  ///< UTM zone of its northing and easting (32 or 33), 0 for others
    bool north_first;          ///< UTM: northing before easting
    bool sexagesimal;          ///< B and L as degrees, minutes (whole numbers) and seconds
    std::array<Column, 6> columns;
    int column_count;          ///< coordinates in the order of the line
    bool reads_height;         ///< h follows the coordinates (XYZ holds it in X, Y, Z)
    Foreign foreign = Foreign::None;
};

inline constexpr int kFormatCount = 8;

/// The Gauß-Krüger zones of format 8: DHDN's 3-degree zones of Germany, the zone being the
/// Rechtswert's first digit.
inline constexpr int kFirstGkZone = 2, kLastGkZone = 5;

/// A format for a CRS named on the command line: east (or longitude), north (or latitude), h;
/// 3 decimals for metres, 8 for degrees.
FileFormat crs_format(bool geographic);

/// The formats, number 1 first.
std::span<const FileFormat, kFormatCount> formats();
/// The format with this number; nullptr outside 1..kFormatCount.
const FileFormat* format(int number);

/// A UTM easting, which may carry its zone number in front.
inline bool is_utm_easting(Value v)
{
    return v == Value::Utm32East || v == Value::Utm33East;
}

/// Where a column's value stands in the record: exactly one of the two is set.
struct ColumnRef {
    double* real = nullptr;
    std::int32_t* whole = nullptr;
    double get() const { return real != nullptr ? *real : *whole; }
    /// Whole numbers arrive as doubles of 32-bit integers: the conversion is exact.
    void set(double v) const
    {
        if (real != nullptr) *real = v;
        else *whole = static_cast<std::int32_t>(v);
    }
};
ColumnRef column_ref(const Column& c, convert::Coordinates& p);

/// The name of a column's value in messages about a line that could not be read ("B",
/// "B Minuten", "Ostwert").
const char* value_name(Value v);

}  // namespace filecalc
