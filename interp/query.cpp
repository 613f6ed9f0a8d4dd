#include "interp/query.h"

#include "interp/grid.h"
#include "interp/model.h"
#include "textio/textio.h"

namespace interp {

namespace {

std::string with_name(const char* text, std::string_view name)
{
    std::string m(text);
    m.append(name);
    return m;
}

}  // namespace

std::string check_model(const std::string& path)
{
    const std::string name(textio::trim_trailing(path));
    ModelFile file;
    if (!file.open(name)) return with_name(kMsgOpen, name);
    GridHeader h;
    switch (read_header(file, h)) {
    case HeaderStatus::ReadFailed: return with_name(kMsgHeader, name);
    case HeaderStatus::Invalid: return with_name(kMsgInvalid, name);
    case HeaderStatus::Ok: break;
    }
    const std::int64_t last = kHeaderRecords + h.nb * h.nl;
    std::int32_t probe = 0;
    if (!file.read_records(last, 1, &probe)) return with_name(kMsgRead, name);
    // Anything beyond the last node, a fragment of fewer than four bytes included, means the
    // file is not the model its header describes.
    if (file.size_bytes() != last * kRecordBytes) return with_name(kMsgInvalid, name);
    return {};
}

void varnik1(double b, double l, const std::string& model_file, double& n, std::string& message)
{
    message.clear();
    const std::string name(textio::trim_trailing(model_file));
    ModelFile file;
    if (!file.open(name)) {
        message = with_name(kMsgOpen, name);
        return;
    }
    GridHeader h;
    if (read_header(file, h) != HeaderStatus::Ok) {
        message = with_name(kMsgHeader, name);
        return;
    }
    double value = 0.0;
    switch (interpolate(file, h, b, l, value)) {
    case Outcome::Value: n = value; break;
    case Outcome::Outside:
        n = kDummy;
        message = kMsgOutside;
        break;
    case Outcome::ReadFailed: message = with_name(kMsgRead, name); break;
    }
}

ModelQuery::ModelQuery(const std::string& model_file, std::uint64_t memory_cap)
    : name_(textio::trim_trailing(model_file))
{
    if (!file_.open(name_)) {
        state_ = State::OpenFailed;
        return;
    }
    if (read_header(file_, header_) != HeaderStatus::Ok) {
        state_ = State::HeaderFailed;
        file_.close();
        return;
    }
    in_memory_ = memory_.load(file_, header_, memory_cap);
    if (in_memory_) file_.close();  // everything needed is held
}

void ModelQuery::query(double b, double l, double& n, std::string& message) const
{
    message.clear();
    switch (state_) {
    case State::OpenFailed: message = with_name(kMsgOpen, name_); return;
    case State::HeaderFailed: message = with_name(kMsgHeader, name_); return;
    case State::Ready: break;
    }
    double value = 0.0;
    const NodeSource& nodes = in_memory_ ? static_cast<const NodeSource&>(memory_) : from_file_;
    switch (interpolate(nodes, header_, b, l, value)) {
    case Outcome::Value: n = value; break;
    case Outcome::Outside:
        n = kDummy;
        message = kMsgOutside;
        break;
    case Outcome::ReadFailed: message = with_name(kMsgRead, name_); break;
    }
}

}  // namespace interp
