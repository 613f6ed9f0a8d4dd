// Result lines in fixed columns: the point number, the output format's columns, h, H and N,
// and the model's message for a point without N.
#include <algorithm>

#include "filecalc/result_writer.h"
#include "messages/messages.h"
#include "textio/encoding.h"
#include "textio/textio.h"

namespace filecalc {

namespace {

class ColumnsWriter final : public ResultWriter {
public:
    ColumnsWriter(const WriterSetup& setup, ResultSink& sink) : setup_(setup), out_(sink.text), sink_(sink) {}

    void begin() override {}
    void line(const PointResult& r) override;
    void end() override {}
    std::int64_t overflowed() const override { return overflowed_; }

private:
    void put_point_number(const std::string& raw);
    void put_column(const Column& c, double v, const Signs& signs);

    WriterSetup setup_;
    std::string& out_;
    ResultSink& sink_;
    std::string converted_;
    std::int64_t overflowed_ = 0;
};

// Written as read, in UTF-8; cut to its longest length, then without its trailing blanks (a
// quoted number may hold them) at least pnr_length wide, and two blanks.
void ColumnsWriter::put_point_number(const std::string& raw)
{
    const std::string& number = text_as_utf8(raw, setup_.utf8, converted_);
    const std::string_view cut = textio::trim_trailing(textio::utf8_prefix(number, kMaxPointNumberLength));
    out_ += cut;
    const std::size_t n = textio::utf8_length(cut);
    const std::size_t width = static_cast<std::size_t>(std::max(0, setup_.job.pnr_length));
    if (n < width) out_.append(width - n, ' ');
    out_ += "  ";
}

void ColumnsWriter::put_column(const Column& c, double v, const Signs& signs)
{
    out_.append(static_cast<std::size_t>(c.lead), ' ');
    if (c.decimals >= 0) {
        textio::put_fixed(out_, v, c.width, c.decimals);
    } else if (signs.minus_zero(c.value, v)) {
        out_.append(static_cast<std::size_t>(c.width - 2), ' ');
        out_ += "-0";
    } else {
        textio::put_integer(out_, static_cast<long long>(v), c.width);
    }
}

void ColumnsWriter::line(const PointResult& r)
{
    if (setup_.job.pnr_flag) put_point_number(r.read->raw_number);
    const std::size_t numbers = out_.size();
    for (int c = 0; c < setup_.out.column_count; ++c)
        put_column(setup_.out.columns[static_cast<std::size_t>(c)], r.columns[static_cast<std::size_t>(c)], r.signs);
    textio::put_fixed(out_, r.ell_h, 10, 3);
    textio::put_fixed(out_, r.normal_height, 10, 3);
    textio::put_fixed(out_, r.height_anomaly, 10, 3);
    if (out_.find('*', numbers) != std::string::npos) ++overflowed_;
    if (r.outcome != interp::Outcome::Ok) {
        out_ += ' ';
        out_ += messages::model_message(r.outcome, setup_.model_name);
    }
    if (setup_.job.keep_rest && !r.read->rest.empty()) {
        out_ += "  ";
        out_ += text_as_utf8(r.read->rest, setup_.utf8, converted_);
    }
    out_ += '\n';
    sink_.maybe_flush();
}

}  // namespace

std::unique_ptr<ResultWriter> make_columns_writer(const WriterSetup& setup, ResultSink& sink)
{
    return std::make_unique<ColumnsWriter>(setup, sink);
}

}  // namespace filecalc
