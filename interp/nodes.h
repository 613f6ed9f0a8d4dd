// Where the interpolation takes its nodes from. Three sources serve it with identical results:
// the node part of the model held in memory, read once for a whole run; rows of nodes kept as
// they are met, within the same budget, for models somewhat larger; and reads by record number
// from the open file, one read per window, for large models and the single-point query. A run
// never holds more than the budget, whatever the model's size.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "interp/model.h"

namespace interp {

inline constexpr int kWindow = 5;  ///< nodes per spline in both directions
using NodeWindow = double[kWindow][kWindow];

/// Most bytes of nodes a run holds in memory.
inline constexpr std::uint64_t kMemoryNodeBytes = 16ull << 20;

class NodeSource {
public:
    virtual ~NodeSource() = default;
    /// Decoded values (metres; kNoValue for a node without a value) of `rows` x `rows` nodes
    /// from node (top, left) into w[first + r][first + c]. False when a node is not completely
    /// in the file.
    virtual bool read_window(const GridHeader& h, std::int64_t top, std::int64_t left, int rows, int first,
                             NodeWindow& w) const = 0;
};

/// Nodes read from the open file, one read per window: memory stays bounded whatever the
/// model's size.
class FileNodes final : public NodeSource {
public:
    explicit FileNodes(const ModelFile& file) : file_(file) {}
    bool read_window(const GridHeader& h, std::int64_t top, std::int64_t left, int rows, int first,
                     NodeWindow& w) const override;

private:
    const ModelFile& file_;
};

/// The node part of the model, read once. Nodes past the end of a file cut short are missing
/// here as they are in the file, and a read of them fails the same way.
class MemoryNodes final : public NodeSource {
public:
    /// Reads the nodes of `h` from the file; false (and nothing held) when they would take
    /// more than `cap` bytes or the file cannot be read.
    bool load(const ModelFile& file, const GridHeader& h, std::uint64_t cap = kMemoryNodeBytes);
    bool read_window(const GridHeader& h, std::int64_t top, std::int64_t left, int rows, int first,
                     NodeWindow& w) const override;
    std::size_t bytes() const { return nodes_.size() * sizeof(std::int32_t); }

private:
    std::vector<std::int32_t> nodes_;  // node (R, C) at (R - 1) * nl + (C - 1)
};

/// Whole rows of nodes, read from the file when a window first needs them and kept within a
/// byte budget: slot r % slots holds row r. Worth it when most rows fit: points near each other
/// share their rows.
class RowCache final : public NodeSource {
public:
    explicit RowCache(const ModelFile& file) : file_(file) {}
    /// Sets up the slots for the rows of `h` within `cap` bytes; false (and nothing held) when
    /// fewer than half the rows would fit, or the memory cannot be had.
    bool init(const GridHeader& h, std::uint64_t cap = kMemoryNodeBytes);
    bool read_window(const GridHeader& h, std::int64_t top, std::int64_t left, int rows, int first,
                     NodeWindow& w) const override;
    std::size_t bytes() const { return rows_.size() * sizeof(std::int32_t); }

private:
    const std::int32_t* row(const GridHeader& h, std::int64_t r, std::int64_t& valid) const;

    const ModelFile& file_;
    std::int64_t slots_ = 0;
    mutable std::vector<std::int32_t> rows_;   // slot s at s * nl
    mutable std::vector<std::int64_t> held_;   // the row in each slot, 0 for none
    mutable std::vector<std::int64_t> valid_;  // nodes of that row in the file (fewer when it is cut short)
};

/// The best source for a run over the model: all nodes in memory when they fit the budget, a
/// row cache when most rows do, window reads otherwise (also when memory cannot be had). The
/// source reads from `file`, which must stay open while the source is used.
std::unique_ptr<NodeSource> node_source(const ModelFile& file, const GridHeader& h,
                                        std::uint64_t cap = kMemoryNodeBytes);

}  // namespace interp
