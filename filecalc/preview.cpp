// The preview of the file form: the first points of the input file as a run would read them.
#include "filecalc/filecalc.h"
#include "filecalc/point_reader.h"
#include "messages/messages.h"
#include "textio/files.h"

namespace filecalc {

std::vector<PreviewLine> preview(const Job& job, int count)
{
    std::vector<PreviewLine> lines;
    const std::string name = textio::name_of(job.input_file);
    const FileFormat* in = format(job.in_format);
    if (name.empty() || in == nullptr) return lines;
    const textio::Stream file(textio::fopen_for_reading(name));
    if (file == nullptr) {
        lines.push_back({0, {}, messages::open_failed(name), {}});
        return lines;
    }
    PointReader reader(job, *in, file.get());
    if (reader.binary()) {
        lines.push_back({0, {}, messages::kInputReadError + name + "\r\n" + messages::kNotText, {}});
        return lines;
    }
    for (std::size_t k = 0; k < reader.header_texts().size(); ++k)
        lines.push_back({0, {}, {}, messages::header_line(static_cast<std::int64_t>(k) + 1, reader.header_texts()[k])});
    const std::size_t headers = lines.size();
    ReadPoint point;
    while (lines.size() - headers < static_cast<std::size_t>(count)) {
        const textio::ReadStatus st = reader.read(point);
        if (st == textio::ReadStatus::End) break;
        if (st == textio::ReadStatus::Error) {
            lines.push_back({0, {}, reader.failure_line(), {}});
            break;
        }
        lines.push_back({reader.line(), reader.named_values(point), {}, {}});
    }
    return lines;
}

}  // namespace filecalc
