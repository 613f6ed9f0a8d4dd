#include "query.h"

#include "grid.h"
#include "model.h"
#include "textio.h"

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

}  // namespace interp
