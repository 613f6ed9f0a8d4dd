#include "interp/nodes.h"

#include <algorithm>
#include <bit>
#include <new>

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
try {
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
} catch (const std::bad_alloc&) {
    // No memory for the nodes: the run reads them from the file instead.
    std::vector<std::int32_t>().swap(nodes_);
    return false;
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

namespace {

// What a run holds besides the rows of the cache (result lines, buffers): kept free of the
// budget, so that the run as a whole stays within it.
constexpr std::uint64_t kCacheOverhead = 1ull << 20;

}  // namespace

bool RowCache::init(const GridHeader& h, std::uint64_t cap)
try {
    // The rows and the bookkeeping of their slots within the budget.
    const std::uint64_t row_bytes = static_cast<std::uint64_t>(h.nl) * kRecordBytes + 2 * sizeof(std::int64_t);
    const std::uint64_t room = cap > kCacheOverhead ? cap - kCacheOverhead : 0;
    slots_ = static_cast<std::int64_t>(std::min<std::uint64_t>(room / row_bytes, static_cast<std::uint64_t>(h.nb)));
    if (slots_ < kWindow || 2 * slots_ < h.nb) {
        slots_ = 0;
        return false;
    }
    rows_.assign(static_cast<std::size_t>(slots_ * h.nl), 0);
    held_.assign(static_cast<std::size_t>(slots_), 0);
    valid_.assign(static_cast<std::size_t>(slots_), 0);
    return true;
} catch (const std::bad_alloc&) {
    slots_ = 0;
    std::vector<std::int32_t>().swap(rows_);
    return false;
}

// Row r (from 1) of the model, read into its slot unless it is there; `valid` nodes of it are
// in the file.
const std::int32_t* RowCache::row(const GridHeader& h, std::int64_t r, std::int64_t& valid) const
{
    const auto slot = static_cast<std::size_t>(r % slots_);
    std::int32_t* p = rows_.data() + static_cast<std::size_t>(slot) * static_cast<std::size_t>(h.nl);
    if (held_[slot] != r) {
        const std::size_t got = file_.read_at((node_record(h, r, 1) - 1) * kRecordBytes, reinterpret_cast<unsigned char*>(p),
                                              static_cast<std::size_t>(h.nl) * kRecordBytes);
        valid_[slot] = static_cast<std::int64_t>(got / kRecordBytes);
        if constexpr (std::endian::native != std::endian::little) {
            for (std::int64_t c = 0; c < valid_[slot]; ++c) p[c] = record_at(reinterpret_cast<const unsigned char*>(p + c));
        }
        held_[slot] = r;
    }
    valid = valid_[slot];
    return p;
}

bool RowCache::read_window(const GridHeader& h, std::int64_t top, std::int64_t left, int rows, int first,
                           NodeWindow& w) const
{
    for (int r = 0; r < rows; ++r) {
        std::int64_t valid = 0;
        const std::int32_t* p = row(h, top + r, valid);
        if (left - 1 + rows > valid) return false;  // as a read of the file cut short fails
        for (int c = 0; c < rows; ++c) w[first + r][first + c] = decode_node(p[left - 1 + c]);
    }
    return true;
}

std::unique_ptr<NodeSource> node_source(const ModelFile& file, const GridHeader& h, std::uint64_t cap)
{
    try {
        auto memory = std::make_unique<MemoryNodes>();
        if (memory->load(file, h, cap)) return memory;
        auto cache = std::make_unique<RowCache>(file);
        if (cache->init(h, cap)) return cache;
        return std::make_unique<FileNodes>(file);
    } catch (const std::bad_alloc&) {
        return std::make_unique<FileNodes>(file);
    }
}

}  // namespace interp
