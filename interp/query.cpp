#include "interp/query.h"

#include "interp/grid.h"
#include "textio/textio.h"

namespace interp {

Outcome check_model(const std::string& path)
{
    ModelFile file;
    if (!file.open(path)) return Outcome::OpenError;
    GridHeader h;
    switch (read_header(file, h)) {
    case HeaderStatus::ReadFailed: return Outcome::HeaderError;
    case HeaderStatus::Invalid: return Outcome::Invalid;
    case HeaderStatus::Ok: break;
    }
    std::int32_t probe = 0;
    if (!file.read_records(kHeaderRecords + h.nb * h.nl, 1, &probe)) return Outcome::ReadError;
    // Anything beyond the last node, a fragment of fewer than four bytes included, means the
    // file is not the model its header describes.
    if (file.size_bytes() != model_bytes(h)) return Outcome::Invalid;
    return Outcome::Ok;
}

Outcome query_model(double b, double l, const std::string& model_file, double& n)
{
    ModelFile file;
    if (!file.open(model_file)) return Outcome::OpenError;
    GridHeader h;
    if (read_header(file, h) != HeaderStatus::Ok) return Outcome::HeaderError;
    return interpolate(FileNodes(file), h, b, l, n);
}

ModelQuery::ModelQuery(const std::string& model_file, std::uint64_t memory_cap)
{
    if (!file_.open(model_file)) {
        state_ = Outcome::OpenError;
        return;
    }
    if (read_header(file_, header_) != HeaderStatus::Ok) {
        state_ = Outcome::HeaderError;
        return;
    }
    nodes_ = node_source(file_, header_, memory_cap);
}

Outcome ModelQuery::query(double b, double l, double& n) const
{
    if (state_ != Outcome::Ok) return state_;
    return interpolate(*nodes_, header_, b, l, n);
}

bool ModelQuery::in_memory() const
{
    return dynamic_cast<const MemoryNodes*>(nodes_.get()) != nullptr;
}

bool ModelQuery::changed() const
{
    return file_.is_open() && stamp_of(file_.path()) != file_.stamp();
}

}  // namespace interp
