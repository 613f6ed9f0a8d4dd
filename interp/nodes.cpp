#include "interp/nodes.h"

#include <bit>

namespace interp {

bool FileNodes::read_window(const GridHeader& h, std::int64_t top, std::int64_t left, int rows, int first,
                            NodeWindow& w) const
{
    // The rows lie nl records apart; while the block from the first to the last of these nodes
    // is small it is fetched in one read, otherwise row by row.
    constexpr std::int64_t kMaxBlockRecords = 8192;  // 32 KiB
    const std::int64_t first_record = node_record(h, top, left);
    const std::int64_t span = (rows - 1) * h.nl + rows;
    if (span <= kMaxBlockRecords) {
        unsigned char block[kMaxBlockRecords * kRecordBytes];
        if (!file_.read_raw(first_record, static_cast<std::size_t>(span), block)) return false;
        for (int r = 0; r < rows; ++r) {
            const unsigned char* row = block + static_cast<std::size_t>(r * h.nl) * kRecordBytes;
            for (int c = 0; c < rows; ++c) w[first + r][first + c] = decode_node(record_at(row + c * kRecordBytes));
        }
        return true;
    }
    std::int32_t raw[kWindow];
    for (int r = 0; r < rows; ++r) {
        if (!file_.read_records(first_record + r * h.nl, rows, raw)) return false;
        for (int c = 0; c < rows; ++c) w[first + r][first + c] = decode_node(raw[c]);
    }
    return true;
}

bool MemoryNodes::load(const ModelFile& file, const GridHeader& h, std::uint64_t cap)
{
    nodes_.clear();
    const std::uint64_t count = static_cast<std::uint64_t>(h.nb) * static_cast<std::uint64_t>(h.nl);
    if (count > cap / kRecordBytes) return false;
    const std::int64_t size = file.size_bytes();
    if (size < 0) return false;
    // Only complete records after the header; a file cut inside its grid holds fewer.
    const std::uint64_t in_file = size > kHeaderRecords * kRecordBytes
                                      ? static_cast<std::uint64_t>(size - kHeaderRecords * kRecordBytes) / kRecordBytes
                                      : 0;
    const std::uint64_t wanted = count < in_file ? count : in_file;
    nodes_.resize(static_cast<std::size_t>(wanted));
    auto* bytes = reinterpret_cast<unsigned char*>(nodes_.data());
    const std::size_t got =
        file.read_at(kHeaderRecords * kRecordBytes, bytes, static_cast<std::size_t>(wanted) * kRecordBytes);
    // What could be read is held; a node beyond it fails as a read of the file would.
    nodes_.resize(got / kRecordBytes);
    if constexpr (std::endian::native != std::endian::little) {
        for (std::int32_t& v : nodes_) v = record_at(reinterpret_cast<const unsigned char*>(&v));
    }
    nodes_.shrink_to_fit();
    return true;
}

bool MemoryNodes::read_window(const GridHeader& h, std::int64_t top, std::int64_t left, int rows, int first,
                              NodeWindow& w) const
{
    const std::int64_t first_index = (top - 1) * h.nl + (left - 1);
    const std::int64_t last_index = first_index + (rows - 1) * h.nl + (rows - 1);
    if (first_index < 0 || last_index >= static_cast<std::int64_t>(nodes_.size())) return false;
    const std::int32_t* p = nodes_.data() + first_index;
    for (int r = 0; r < rows; ++r, p += h.nl)
        for (int c = 0; c < rows; ++c) w[first + r][first + c] = decode_node(p[c]);
    return true;
}

}  // namespace interp
