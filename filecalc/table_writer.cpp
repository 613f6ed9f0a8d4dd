// The result as a table for spreadsheets: a byte-order mark and a header line, then a line per
// point with the values of the fixed columns without padding, decimal commas, fields separated
// by semicolons, CR LF; a value the fixed columns write as 9999.999 is an empty field.
#include <algorithm>
#include <charconv>

#include "filecalc/result_writer.h"
#include "messages/formats.h"
#include "messages/messages.h"
#include "textio/textio.h"

namespace filecalc {

namespace {

namespace T = messages::formats;

// A number as a table writes it: the fixed layout's decimals, no padding, a decimal comma.
void put_number(std::string& out, double v, int decimals)
{
    textio::put_decimal(out, v, decimals, ',');
}

// A text field, in quotation marks when it holds the separator or a mark.
void put_text(std::string& out, std::string_view text)
{
    if (std::none_of(text.begin(), text.end(), [](char c) { return c == ';' || c == '"' || c == '\r' || c == '\n'; })) {
        out += text;
        return;
    }
    out += '"';
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

// The name of a coordinate column in the header.
const char* table_name(Value v)
{
    switch (v) {
    case Value::Utm32North:
    case Value::Utm33North:
    case Value::CrsNorth: return T::kTableNorth;
    case Value::Utm32East:
    case Value::Utm33East:
    case Value::CrsEast: return T::kTableEast;
    default: return value_name(v);
    }
}

class TableWriter final : public ResultWriter {
public:
    TableWriter(const WriterSetup& setup, ResultSink& sink) : setup_(setup), out_(sink.text), sink_(sink) {}

    void begin() override;
    void line(const PointResult& r) override;
    void end() override {}

private:
    void put_column(const Column& c, double v, const Signs& signs);
    void put_rest(const std::string& raw);

    WriterSetup setup_;
    std::string& out_;
    ResultSink& sink_;
    std::string converted_;
};

void TableWriter::begin()
{
    out_ += "\xEF\xBB\xBF";  // UTF-8, as spreadsheets recognise it
    if (setup_.job.pnr_flag) out_ += std::string(T::kTablePointNumber) + ';';
    for (int c = 0; c < setup_.out.column_count; ++c) {
        out_ += table_name(setup_.out.columns[static_cast<std::size_t>(c)].value);
        out_ += ';';
    }
    out_ += std::string("h;H;N;") + T::kTableMessage;
    if (setup_.job.keep_rest) out_ += std::string(";") + T::kRest;
    out_ += "\r\n";
}

void TableWriter::put_column(const Column& c, double v, const Signs& signs)
{
    if (c.decimals >= 0) {
        put_number(out_, v, c.decimals);
    } else if (signs.minus_zero(c.value, v)) {
        out_ += "-0";
    } else {
        char buf[24];
        const auto res = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(v));
        out_.append(buf, res.ptr);
    }
}

// The rest of the line is one field, as it stood: every row has the header's fields.
void TableWriter::put_rest(const std::string& raw)
{
    out_ += ';';
    put_text(out_, text_as_utf8(raw, setup_.utf8, converted_));
}

void TableWriter::line(const PointResult& r)
{
    if (setup_.job.pnr_flag) {
        put_text(out_, text_as_utf8(r.read->raw_number, setup_.utf8, converted_));
        out_ += ';';
    }
    for (int c = 0; c < setup_.out.column_count; ++c) {
        if (r.has_position) put_column(setup_.out.columns[static_cast<std::size_t>(c)], r.columns[static_cast<std::size_t>(c)], r.signs);
        out_ += ';';
    }
    if (r.has_h) put_number(out_, r.ell_h, 3);
    out_ += ';';
    if (r.has_normal_height) put_number(out_, r.normal_height, 3);
    out_ += ';';
    if (r.has_anomaly) put_number(out_, r.height_anomaly, 3);
    out_ += ';';
    if (r.outcome != interp::Outcome::Ok) put_text(out_, messages::model_message(r.outcome, setup_.model_name));
    if (setup_.job.keep_rest) put_rest(r.read->rest);
    out_ += "\r\n";
    sink_.maybe_flush();
}

}  // namespace

std::unique_ptr<ResultWriter> make_table_writer(const WriterSetup& setup, ResultSink& sink)
{
    return std::make_unique<TableWriter>(setup, sink);
}

}  // namespace filecalc
