// Where the interpolation takes its nodes from. Two sources serve it with identical results:
// the node part of the model held in memory, read once for a whole run, and reads by record
// number from the open file, one read per window, for models too large to hold and for the
// single-point query.
#pragma once

#include <cstdint>
#include <vector>

#include "interp/model.h"

namespace interp {

inline constexpr int kWindow = 5;  ///< nodes per spline in both directions
using NodeWindow = double[kWindow][kWindow];

/// Largest node part (bytes) a run holds in memory; larger models are read window by window.
inline constexpr std::uint64_t kMemoryNodeBytes = 256ull << 20;

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

}  // namespace interp
