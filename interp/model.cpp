#include "interp/model.h"

#include "textio/files.h"

#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace interp {

ModelFile::~ModelFile()
{
    close();
}

bool ModelFile::open(const std::string& path)
{
    close();
    fd_ = textio::open_for_reading(path);
    return fd_ >= 0;
}

void ModelFile::close()
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::int64_t ModelFile::size_bytes() const
{
    struct stat st {};
    if (fd_ < 0 || fstat(fd_, &st) != 0) return -1;
    return static_cast<std::int64_t>(st.st_size);
}

bool ModelFile::read_raw(std::int64_t first, std::size_t count, unsigned char* bytes) const
{
    if (fd_ < 0 || first < 1 || count < 1) return false;
    const std::size_t want = count * kRecordBytes;
    const off_t offset = static_cast<off_t>((first - 1) * kRecordBytes);
    std::size_t got = 0;
    while (got < want) {
        const ssize_t n = pread(fd_, bytes + got, want - got, offset + static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

bool ModelFile::read_records(std::int64_t first, int count, std::int32_t* out) const
{
    unsigned char raw[64 * kRecordBytes];
    if (count < 1 || count > 64 || !read_raw(first, static_cast<std::size_t>(count), raw)) return false;
    for (int k = 0; k < count; ++k) out[k] = record_at(raw + k * kRecordBytes);
    return true;
}

double decode_angle(std::int32_t d, std::int32_t m, std::int32_t s)
{
    // The sign comes from the degrees only; 1/60 and 1/3600 are multiplied in as stored
    // constants, which is not always the same last digit as a division.
    const double dd = d;
    const double mm = m;
    const double ss = s;
    if (d >= 0) return dd + mm * 0.016666666666666666 + (ss * 1.0e-6) * 0.0002777777777777778;
    return dd - mm * 0.016666666666666666 - (ss * 1.0e-6) * 0.0002777777777777778;
}

namespace {

// Number of nodes along one axis; an extent short of whole steps by less than a tenth of a
// step counts as the whole number. False when no valid count results.
bool axis_nodes(double lo, double hi, double step, std::int64_t& count)
{
    const double n = ((hi - lo) + 0.1 * step) / step + 1.0;
    // Range-check before the conversion: an out-of-range double-to-integer cast is undefined.
    if (!(n >= 1.0 && n < kMaxNodesPerAxis)) return false;
    count = static_cast<std::int64_t>(n);
    return true;
}

}  // namespace

bool decode_header(std::span<const std::int32_t, kHeaderRecords> r, GridHeader& h)
{
    GridHeader g;
    g.bmin = decode_angle(r[0], r[1], r[2]);
    g.bmax = decode_angle(r[3], r[4], r[5]);
    g.lmin = decode_angle(r[6], r[7], r[8]);
    g.lmax = decode_angle(r[9], r[10], r[11]);
    g.db = decode_angle(r[12], r[13], r[14]);
    g.dl = decode_angle(r[15], r[16], r[17]);
    // Negated tests, so that a value that is not a number fails them too.
    if (!(std::isfinite(g.bmin) && std::isfinite(g.bmax) && std::isfinite(g.lmin) &&
          std::isfinite(g.lmax) && std::isfinite(g.db) && std::isfinite(g.dl)))
        return false;
    if (!(g.db > 0.0 && g.dl > 0.0)) return false;
    if (!(g.bmin < g.bmax && g.lmin < g.lmax)) return false;
    if (!axis_nodes(g.bmin, g.bmax, g.db, g.nb) || !axis_nodes(g.lmin, g.lmax, g.dl, g.nl))
        return false;
    h = g;
    return true;
}

HeaderStatus read_header(const ModelFile& file, GridHeader& header)
{
    std::int32_t records[kHeaderRecords];
    if (!file.read_records(1, kHeaderRecords, records)) return HeaderStatus::ReadFailed;
    return decode_header(records, header) ? HeaderStatus::Ok : HeaderStatus::Invalid;
}

}  // namespace interp
