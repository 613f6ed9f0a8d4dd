// The quasigeoid model file format, both ways: a sequence of 4-byte little-endian signed
// integers ("records", numbered from 1). Records 1..18 hold six header angles (Bmin, Bmax,
// Lmin, Lmax, dB, dL), each as degrees (carrying the sign), minutes and micro-arc-seconds;
// records 19.. hold the nodes in units of 0.1 mm, stored north to south, and within a row
// west to east. The readers decode with these functions and geoidmodell encodes with them.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace interp {

inline constexpr int kHeaderRecords = 18;
inline constexpr int kRecordBytes = 4;
/// N (metres) of a point without a model value: outside the grid, or needed nodes without a
/// value. A node without a value decodes to it too; varnik writes it as 999999.000.
inline constexpr double kNoValue = 999999.0;
/// A decoded node value above this bound (metres) counts as a node without a value.
inline constexpr double kValueBound = 90000.0;
/// Stored integers from this value upward mark a node without a value.
inline constexpr std::int32_t kNoValueRecord = 99999999;
/// Largest number of rows or columns a header may describe. Keeps every record number and
/// byte offset well inside 64 bits (2^30 * 2^30 * 4 < 2^63).
inline constexpr double kMaxNodesPerAxis = 1073741824.0;
/// Micro-arc-seconds per degree: the unit of the header's third record of an angle.
inline constexpr std::int64_t kMicroArcsecPerDegree = 3600000000LL;

/// Grid geometry in decimal degrees, with the derived numbers of rows and columns.
/// Row 1 is the northernmost (at bmax), column 1 the westernmost (at lmin).
struct GridHeader {
    double bmin = 0, bmax = 0, lmin = 0, lmax = 0, db = 0, dl = 0;
    std::int64_t nb = 0, nl = 0;
};

/// The signed 32-bit little-endian integer of a record's four bytes.
inline std::int32_t record_at(const unsigned char* p)
{
    const std::uint32_t u = std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
                            (std::uint32_t(p[3]) << 24);
    return static_cast<std::int32_t>(u);
}

/// Appends `n` records as 4-byte little-endian integers.
void put_records(std::string& out, const std::int32_t* records, std::size_t n);

/// Decodes one header angle (degrees) from degrees (carrying the sign), minutes and
/// micro-arc-seconds.
double decode_angle(std::int32_t d, std::int32_t m, std::int32_t s);

/// Encodes an angle given in whole micro-arc-seconds into degrees, minutes and micro-seconds.
/// False when the format cannot hold it: its sign rides on the degrees, so an angle between
/// -1 and 0 degrees cannot be stored, nor degrees beyond 32 bits.
bool encode_angle(std::int64_t micro_arcsec, std::int32_t out[3]);

/// Decodes the 18 header records and derives nb and nl. False when the header describes no
/// usable grid: a spacing that is not positive, limits out of order, or dimensions whose
/// records could not exist.
bool decode_header(std::span<const std::int32_t, kHeaderRecords> records, GridHeader& header);

/// Node value in metres; kNoValue for a node without a value.
inline double decode_node(std::int32_t v)
{
    return v >= kNoValueRecord ? kNoValue : v * 0.0001;
}

/// Record number of node (row, col), both counted from 1.
inline std::int64_t node_record(const GridHeader& h, std::int64_t row, std::int64_t col)
{
    return kHeaderRecords + (row - 1) * h.nl + col;
}

/// Bytes of a complete model file of this header: 4 * (18 + nb * nl).
inline std::int64_t model_bytes(const GridHeader& h)
{
    return kRecordBytes * (kHeaderRecords + h.nb * h.nl);
}

}  // namespace interp
