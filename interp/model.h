// Quasigeoid model file: a sequence of 4-byte little-endian signed integers ("records",
// numbered from 1). Records 1..18 hold six header angles (Bmin, Bmax, Lmin, Lmax, dB, dL),
// each as degrees, minutes and micro-arc-seconds; records 19.. hold the nodes in units of
// 0.1 mm, stored north to south, and within a row west to east.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace interp {

inline constexpr int kHeaderRecords = 18;
inline constexpr int kRecordBytes = 4;
/// N of a point without a model value (outside the grid, or needed nodes without a value).
inline constexpr double kDummy = 999999.0;
/// A decoded node value above this bound counts as a node without a value.
inline constexpr double kValueBound = 90000.0;
/// Stored integers from this value upward mark a node without a value.
inline constexpr std::int32_t kNoValueInteger = 99999999;
/// Largest number of rows or columns a header may describe. Keeps every record number and
/// byte offset well inside 64 bits (2^30 * 2^30 * 4 < 2^63).
inline constexpr double kMaxNodesPerAxis = 1073741824.0;

/// Grid geometry in decimal degrees, with the derived numbers of rows and columns.
/// Row 1 is the northernmost (at bmax), column 1 the westernmost (at lmin).
struct GridHeader {
    double bmin = 0, bmax = 0, lmin = 0, lmax = 0, db = 0, dl = 0;
    std::int64_t nb = 0, nl = 0;
};

/// One model file, opened for reading by record number. Closes itself.
class ModelFile {
public:
    ModelFile() = default;
    ~ModelFile();
    ModelFile(const ModelFile&) = delete;
    ModelFile& operator=(const ModelFile&) = delete;

    /// Opens an existing file for reading; false when it is missing, unreadable or no regular
    /// file (a directory or a named pipe).
    bool open(const std::string& path);
    void close();
    bool is_open() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    /// File size in bytes, -1 when it cannot be determined.
    std::int64_t size_bytes() const;

    /// Reads `count` (1..64) consecutive records starting at record number `first` (from 1)
    /// in one read. False when the file does not hold all of them completely.
    bool read_records(std::int64_t first, int count, std::int32_t* out) const;

    /// Reads the raw bytes of `count` consecutive records from record `first` in one read;
    /// decode them with record_at(). False when the file does not hold all of them.
    bool read_raw(std::int64_t first, std::size_t count, unsigned char* bytes) const;

private:
    int fd_ = -1;
};

/// The signed 32-bit little-endian integer of a record's four bytes.
inline std::int32_t record_at(const unsigned char* p)
{
    const std::uint32_t u = std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
                            (std::uint32_t(p[3]) << 24);
    return static_cast<std::int32_t>(u);
}

/// Decodes one header angle from degrees (carrying the sign), minutes and micro-seconds.
double decode_angle(std::int32_t d, std::int32_t m, std::int32_t s);

/// Decodes the 18 header records and derives nb and nl. False when the header describes no
/// usable grid: a spacing that is not positive, limits out of order, or dimensions whose
/// records could not exist.
bool decode_header(std::span<const std::int32_t, kHeaderRecords> records, GridHeader& header);

enum class HeaderStatus { Ok, ReadFailed, Invalid };

/// Reads records 1..18 in one read and decodes them.
HeaderStatus read_header(const ModelFile& file, GridHeader& header);

/// Node value in metres; kDummy for a node without a value.
inline double decode_node(std::int32_t v)
{
    return v >= kNoValueInteger ? kDummy : v * 0.0001;
}

/// Record number of node (row, col), both counted from 1.
inline std::int64_t node_record(const GridHeader& h, std::int64_t row, std::int64_t col)
{
    return kHeaderRecords + (row - 1) * h.nl + col;
}

}  // namespace interp
