// The single-point model query of the desktop program and the check of a chosen model file.
// Each call opens the model file, reads what it needs and closes it again: nothing of a model
// is kept between calls. ModelQuery serves a whole run over many points instead.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "interp/format.h"
#include "interp/model.h"
#include "interp/nodes.h"
#include "interp/outcome.h"

namespace interp {

/// Checks a chosen model file against its own header: Ok, or OpenError, HeaderError,
/// ReadError (the last node is missing) or Invalid (a header that describes no grid, or
/// anything beyond the last node). Trailing blanks are no part of the path (ModelFile::open).
Outcome check_model(const std::string& path);

/// Height anomaly N (metres) at latitude b, longitude l (decimal degrees) in the model file:
/// Ok with n set, Outside with n = kNoValue, or a file outcome with n untouched.
Outcome query_model(double b, double l, const std::string& model_file, double& n);

/// The single-point query for a whole run over many points: the model file is opened and its
/// header read once, its nodes served by the best source within `memory_cap` bytes
/// (interp/nodes.h), and every query gives exactly the outcome and N that query_model would
/// give for the file as it was opened. A file that cannot be opened or whose header cannot be
/// read gives that outcome for every point, as one query_model call per point would.
class ModelQuery {
public:
    explicit ModelQuery(const std::string& model_file, std::uint64_t memory_cap = kMemoryNodeBytes);
    ModelQuery(const ModelQuery&) = delete;
    ModelQuery& operator=(const ModelQuery&) = delete;

    /// As query_model: Ok, Outside (n = kNoValue) or a file outcome with n untouched.
    Outcome query(double b, double l, double& n) const;
    /// Whether all nodes are held in memory.
    bool in_memory() const;
    /// True when the model file is no longer the one opened: replaced, rewritten or changed in
    /// size or time since. Results of a run are then not to be trusted.
    bool changed() const;

private:
    Outcome state_ = Outcome::Ok;  // OpenError or HeaderError when the file cannot serve
    ModelFile file_;
    GridHeader header_;
    std::unique_ptr<NodeSource> nodes_;
};

}  // namespace interp
