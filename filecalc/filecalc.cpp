#include "filecalc/filecalc.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <charconv>
#include <array>
#include <optional>
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>
#include <vector>
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#endif

#include "crs/crs.h"
#include "interp/query.h"
#include "messages/crs.h"
#include "messages/command_line.h"
#include "messages/formats.h"
#include "messages/messages.h"
#include "textio/encoding.h"
#include "textio/files.h"
#include "textio/textio.h"

namespace filecalc {

namespace {

/// N and H written for a point without a model value.
constexpr double kNoValueWritten = 9999.999;
constexpr std::size_t kPointNumberChars = 30;
constexpr std::size_t kProgressEvery = 4096;  // points between two progress reports
constexpr std::size_t kBatch = 1 << 18;        // bytes of result lines written at a time
constexpr std::size_t kEncodingSample = 1 << 18;  // bytes that decide a file's encoding
constexpr const char* kStandardInput = messages::cli::kStandardInput;
constexpr const char* kStandardOutput = messages::cli::kStandardOutput;

using Item = textio::FreeReader::Item;

// Marks the upper halves of the AVX registers unused. Code before the run (the toolkit's string
// handling, its progress dialog) may leave them in use; until they are cleared, each call of the
// maths library's AVX variants from our SSE2 code costs many times as much: UTM input ran four
// times slower.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
__attribute__((target("avx"))) void zero_upper()
{
    _mm256_zeroupper();
}

void clear_vector_state()
{
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx) zero_upper();
}
#else
void clear_vector_state() {}
#endif

std::string bad_format()
{
    return messages::fill(messages::kBadFormat, {std::to_string(kFormatCount)});
}

bool is_whole(Value v)
{
    return v == Value::BDeg || v == Value::BMin || v == Value::LDeg || v == Value::LMin;
}

// What one line holds: the point number, the format's columns, h.
struct Layout {
    Item items[8];
    int count = 0;
    int first_value = 0;  // item of the first column
};

Layout layout(const FileFormat& f, bool point_number)
{
    Layout l;
    if (point_number) l.items[l.count++] = Item::Text;
    l.first_value = l.count;
    for (int c = 0; c < f.column_count; ++c)
        l.items[l.count++] = is_whole(f.columns[static_cast<std::size_t>(c)].value) ? Item::Integer : Item::Number;
    if (f.reads_height) l.items[l.count++] = Item::Number;
    return l;
}

// Degrees between -1 and 0 are 0 and cannot carry the angle's sign: "-0" marks them.
struct Signs {
    bool b = false;
    bool l = false;
};

void put_column(std::string& out, const Column& c, double v, const Signs& signs)
{
    out.append(static_cast<std::size_t>(c.lead), ' ');
    const bool negative_zero = (c.value == Value::BDeg && signs.b) || (c.value == Value::LDeg && signs.l);
    if (c.decimals >= 0) {
        textio::put_fixed(out, v, c.width, c.decimals);
    } else if (negative_zero && v == 0.0) {
        out.append(static_cast<std::size_t>(c.width - 2), ' ');
        out.append("-0");
    } else {
        textio::put_integer(out, static_cast<long long>(v), c.width);
    }
}

// The point of a run in every system it passes through, its N and H.
struct Working {
    convert::Coordinates point;
    double height_anomaly = 0;
    double normal_height = 0;
};

char separator_char(Separator s)
{
    return s == Separator::Semicolon ? ';' : s == Separator::Tab ? '\t' : 0;
}

bool is_easting(Value v)
{
    return v == Value::Utm32East || v == Value::Utm33East;
}

// A number as a message shows what was read: without an exponent where it fits (500000, not
// 5e+05).
std::string as_written(double v)
{
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    if (res.ec != std::errc{}) res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

// Reads the points of a coordinate file as the job's format and options say: into the record,
// as read, with the sign of "-0" degrees, the point number and the rest of the line.
class PointReader {
public:
    PointReader(const Job& job, const FileFormat& in, std::FILE* file, convert::Coordinates& point)
        : job_(job), in_(in), point_(point), reader_(file, kEncodingSample), layout_(layout(in, job.pnr_flag))
    {
        utf8_ = textio::reads_as_utf8(reader_.first_bytes(), reader_.first_bytes_cut());
        reader_.set_separator(separator_char(job.separator));
        reader_.skip_lines(std::clamp(job.header_lines, 0, kMaxHeaderLines));
        for (int c = 0; c < in.column_count; ++c)
            refs_[static_cast<std::size_t>(c)] = column_ref(in.columns[static_cast<std::size_t>(c)], point);
        zone_offset_ = job.zone_prefix ? in.zone * 1e6 : 0.0;
    }

    textio::ReadStatus read();
    // Where and why the line could not be read, with the name of the value expected there.
    std::string failure_line() const;
    // The values of the last point read with their names, as the preview shows them.
    std::vector<std::pair<std::string, std::string>> named_values() const;

    bool utf8() const { return utf8_; }
    const Signs& signs() const { return signs_; }
    double height() const { return height_; }
    const std::string& raw_number() const { return raw_number_; }
    const std::string& rest() const { return rest_; }
    bool continued() const { return reader_.continued(); }
    std::int64_t offset() const { return reader_.offset(); }
    std::int64_t line() const { return reader_.item_line(0); }  // where the point's first value stood
    int gk_zone() const { return gk_zone_; }

private:
    std::string expected(int item) const;

    const Job& job_;
    const FileFormat& in_;
    convert::Coordinates& point_;
    textio::FreeReader reader_;
    Layout layout_;
    std::array<ColumnRef, 6> refs_{};
    double values_[8] = {};
    double zone_offset_ = 0;
    double height_ = 0;
    int gk_zone_ = 0;
    bool utf8_ = true;
    Signs signs_;
    std::string raw_number_, rest_;
    textio::ReadFailure failure_;
};

textio::ReadStatus PointReader::read()
{
    unsigned negative_zero = 0;
    const textio::ReadStatus st =
        reader_.read_record(layout_.items, layout_.count, values_, raw_number_, negative_zero, job_.keep_rest ? &rest_ : nullptr);
    if (st == textio::ReadStatus::Error) failure_ = reader_.failure();
    if (st != textio::ReadStatus::Ok) return st;
    double* v = values_ + layout_.first_value;
    signs_ = Signs{};
    for (int c = 0; c < in_.column_count; ++c) {
        const Column& col = in_.columns[static_cast<std::size_t>(c)];
        if (zone_offset_ != 0.0 && is_easting(col.value)) {
            // An easting with the zone number in front: 32412345.678 is 412345.678 in zone 32.
            if (!(v[c] >= zone_offset_ && v[c] < zone_offset_ + 1e6)) {
                failure_.kind = textio::ReadFailure::Kind::NoZone;
                failure_.line = reader_.item_line(layout_.first_value + c);
                failure_.item = layout_.first_value + c;
                failure_.text = as_written(v[c]);
                return textio::ReadStatus::Error;
            }
            v[c] -= zone_offset_;
        }
        refs_[static_cast<std::size_t>(c)].set(v[c]);
        const bool minus_zero = (negative_zero >> (layout_.first_value + c)) & 1u;
        if (col.value == Value::BDeg) signs_.b = minus_zero;
        if (col.value == Value::LDeg) signs_.l = minus_zero;
    }
    if (in_.foreign == Foreign::GaussKrueger) {
        // The Rechtswert's first digit is the zone: 3512345.678 lies in zone 3.
        const int column = in_.columns[0].value == Value::GkEast ? 0 : 1;
        gk_zone_ = std::isfinite(v[column]) ? static_cast<int>(std::floor(v[column] / 1e6)) : 0;
        if (gk_zone_ < 2 || gk_zone_ > 5) {
            failure_.kind = textio::ReadFailure::Kind::NoZone;
            failure_.line = reader_.item_line(layout_.first_value + column);
            failure_.item = layout_.first_value + column;
            failure_.text = as_written(v[column]);
            return textio::ReadStatus::Error;
        }
    }
    if (in_.reads_height) point_.ell_h = height_ = v[in_.column_count];
    return st;
}

std::string PointReader::expected(int item) const
{
    const int column = item - layout_.first_value;
    if (column < 0) return messages::kPointNumber;
    if (column >= in_.column_count) return job_.normal_heights ? messages::formats::kNormalHeight : messages::kHeight;
    const Value v = in_.columns[static_cast<std::size_t>(column)].value;
    if (zone_offset_ != 0.0 && is_easting(v)) return messages::fill(messages::formats::kWithZone, {value_name(v), std::to_string(in_.zone)});
    if (v == Value::GkEast && failure_.kind == textio::ReadFailure::Kind::NoZone) return messages::formats::kGkZone;
    return value_name(v);
}

std::string PointReader::failure_line() const
{
    const bool whole = failure_.item >= 0 && failure_.item < layout_.count && layout_.items[failure_.item] == Item::Integer;
    return messages::read_failure_line(failure_, expected(failure_.item), whole && failure_.kind != textio::ReadFailure::Kind::NoZone);
}

std::vector<std::pair<std::string, std::string>> PointReader::named_values() const
{
    std::vector<std::pair<std::string, std::string>> named;
    for (int k = 0; k < layout_.count; ++k) {
        std::string shown;
        if (layout_.items[k] == Item::Text) {
            shown = utf8_ && textio::is_valid_utf8(raw_number_) ? raw_number_ : textio::cp1252_to_utf8(raw_number_);
        } else {
            char buf[64];
            const int column = k - layout_.first_value;
            double v = values_[k];
            const bool minus = column < in_.column_count && ((in_.columns[static_cast<std::size_t>(column)].value == Value::BDeg && signs_.b) ||
                                                             (in_.columns[static_cast<std::size_t>(column)].value == Value::LDeg && signs_.l));
            const auto res = std::to_chars(buf, buf + sizeof buf, v);
            shown.assign(buf, res.ptr);
            if (minus && v == 0.0) shown = "-0";
        }
        std::string name = expected(k);
        if (zone_offset_ != 0.0 && k >= layout_.first_value && k - layout_.first_value < in_.column_count &&
            is_easting(in_.columns[static_cast<std::size_t>(k - layout_.first_value)].value))
            name = value_name(in_.columns[static_cast<std::size_t>(k - layout_.first_value)].value);
        named.emplace_back(std::move(name), std::move(shown));
    }
    if (job_.keep_rest) named.emplace_back(messages::formats::kRest, utf8_ && textio::is_valid_utf8(rest_) ? rest_ : textio::cp1252_to_utf8(rest_));
    return named;
}

// A number as a table writes it: the fixed layout's decimals, no padding, a decimal comma.
void put_table_number(std::string& out, double v, int decimals)
{
    textio::put_decimal(out, v, decimals, ',');
}

// A text field of a table, in quotation marks when it holds the separator or a mark.
void put_table_text(std::string& out, std::string_view text)
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

// The name of a coordinate column in a table's header.
const char* table_name(Value v)
{
    switch (v) {
    case Value::Utm32North:
    case Value::Utm33North: return messages::formats::kTableNorth;
    case Value::Utm32East:
    case Value::Utm33East:
    case Value::CrsEast: return messages::formats::kTableEast;
    case Value::CrsNorth: return messages::formats::kTableNorth;
    default: return value_name(v);
    }
}

// A point as read, taken from the reader for the computation.
struct ReadPoint {
    convert::Coordinates point;  // the input's columns and h
    Signs signs;
    double height = 0;
    int gk_zone = 0;
    bool continued = false;
    std::string raw_number, rest;
};

// Reads ahead on a thread of its own: batches of points as read, while the run computes and
// writes the batch before. Two batches in all, so memory does not grow with the file. The run
// sees the points, the read error (its line) or the end in the order of the file.
class ReadAhead {
public:
    static constexpr std::size_t kPoints = kProgressEvery;  // points a batch: progress is told between two
    struct Batch {
        std::vector<ReadPoint> points;
        std::size_t count = 0;
        std::int64_t offset = 0;  // bytes of the input read once the batch was full
        textio::ReadStatus end = textio::ReadStatus::Ok;  // Ok: more follow; End, or Error
        std::string failure;  // with Error: the read error's line
        bool out_of_memory = false;
    };

    ReadAhead(PointReader& reader, convert::Coordinates& staged) : reader_(reader), staged_(staged)
    {
        for (Batch& b : batches_) b.points.resize(kPoints);
        thread_ = std::thread([this] { produce(); });
    }
    ~ReadAhead()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The next batch, once read; valid until the next call.
    const Batch& next()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (taken_ >= 0) {
            full_[taken_] = false;  // the run is done with it
            changed_.notify_all();
        }
        taken_ = 1 - (taken_ < 0 ? 1 : taken_);
        changed_.wait(lock, [this] { return full_[taken_]; });
        return batches_[static_cast<std::size_t>(taken_)];
    }

private:
    void produce()
    {
        int k = 0;
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(mutex_);
                changed_.wait(lock, [&] { return stop_ || !full_[k]; });
                if (stop_) return;
            }
            Batch& b = batches_[static_cast<std::size_t>(k)];
            fill(b);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                full_[k] = true;
            }
            changed_.notify_all();
            if (b.end != textio::ReadStatus::Ok) return;
            k = 1 - k;
        }
    }
    void fill(Batch& b)
    {
        b.count = 0;
        b.end = textio::ReadStatus::Ok;
        try {
            while (b.count < kPoints) {
                const textio::ReadStatus st = reader_.read();
                if (st != textio::ReadStatus::Ok) {
                    b.end = st;
                    if (st == textio::ReadStatus::Error) b.failure = reader_.failure_line();
                    break;
                }
                ReadPoint& p = b.points[b.count++];
                p.point = staged_;
                p.signs = reader_.signs();
                p.height = reader_.height();
                p.gk_zone = reader_.gk_zone();
                p.continued = reader_.continued();
                p.raw_number = reader_.raw_number();
                p.rest = reader_.rest();
            }
        } catch (const std::bad_alloc&) {
            b.end = textio::ReadStatus::Error;
            b.out_of_memory = true;
        }
        b.offset = reader_.offset();
    }

    PointReader& reader_;
    convert::Coordinates& staged_;
    Batch batches_[2];
    bool full_[2] = {false, false};
    int taken_ = -1;
    bool stop_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::thread thread_;
};

// One computation over an opened pair of files.
class Run {
public:
    Run(const Job& job, Reporter& reporter) : job_(job), reporter_(reporter) {}
    ~Run() { close_files(); }
    Summary execute();

private:
    Summary refuse(const std::string& message);
    bool open_files();
    void close_files();
    bool compute_point();
    const std::string& text_as_utf8(const std::string& text);
    void write_line();
    void write_table_header();
    void write_table_line();
    void flush_batch();

    const Job& job_;
    Working w_;
    Reporter& reporter_;
    Summary summary_;
    const FileFormat* in_ = nullptr;
    const FileFormat* out_ = nullptr;
    std::string model_name_, input_name_, output_name_;
    std::FILE* in_file_ = nullptr;
    std::FILE* out_file_ = nullptr;
    std::int64_t in_size_ = 0;
    std::string batch_, converted_;
    Signs signs_;
    bool no_value_ = false;  // the point has no model value
    double east_offset_ = 0;  // the zone number in front of written eastings
    interp::Outcome outcome_ = interp::Outcome::Ok;
    std::array<ColumnRef, 6> out_refs_{};  // the record's values of the output columns
    std::optional<PointReader> reader_;
    convert::Coordinates staged_;       // where the reader puts a point, on its own thread
    const ReadPoint* cur_ = nullptr;    // the point the run computes and writes now
    std::optional<interp::ModelQuery> model_;
    // Positions through PROJ: Gauß-Krüger zones 2 to 5 made when first needed, the CRSs of
    // the command line, the formats of those.
    std::unique_ptr<crs::Transform> gauss_krueger_[4];
    std::unique_ptr<crs::Transform> in_crs_, out_crs_;
    FileFormat in_crs_format_{}, out_crs_format_{};
    std::string crs_error_;
    crs::Transform* gauss_krueger(int zone);
    bool to_etrs89(convert::Coordinates& p);
    void from_etrs89(convert::Coordinates& p);
    std::string operation_lines() const;
};

crs::Transform* Run::gauss_krueger(int zone)
{
    std::unique_ptr<crs::Transform>& t = gauss_krueger_[zone - 2];
    if (t == nullptr && crs_error_.empty()) t = crs::Transform::create(crs::gauss_krueger_code(zone), crs_error_);
    return t.get();
}

// The point's position from another CRS into B, L; false when no operation reaches it.
bool Run::to_etrs89(convert::Coordinates& p)
{
    crs::Transform* t = in_->foreign == Foreign::Crs ? in_crs_.get() : gauss_krueger(cur_->gk_zone);
    return t != nullptr && t->to_etrs89(p.foreign_east, p.foreign_north, p.ell_b, p.ell_l);
}

// B, L into the output's CRS; Gauß-Krüger in the input's zone, else in the zone whose central
// meridian lies nearest. Not a number where no operation reaches the point.
void Run::from_etrs89(convert::Coordinates& p)
{
    crs::Transform* t = out_crs_.get();
    if (out_->foreign == Foreign::GaussKrueger) {
        const int zone = in_->foreign == Foreign::GaussKrueger ? cur_->gk_zone
                         : std::isfinite(p.ell_l) ? std::clamp(static_cast<int>(std::lround(p.ell_l / 3.0)), 2, 5)
                                                 : 3;
        t = gauss_krueger(zone);
    }
    if (t == nullptr || !t->from_etrs89(p.ell_b, p.ell_l, p.foreign_east, p.foreign_north))
        p.foreign_east = p.foreign_north = std::nan("");
}

// A line for each datum transformation PROJ used, as the closing message's last lines.
std::string Run::operation_lines() const
{
    std::string lines;
    const auto add = [&lines](const std::vector<crs::Operation>& ops, const char* stated, const char* unstated) {
        for (const crs::Operation& op : ops) {
            if (!op.datum_shift) continue;
            char accuracy[32];
            const auto res = std::to_chars(accuracy, accuracy + sizeof accuracy, op.accuracy);
            if (!lines.empty()) lines += "\r\n";
            lines += op.accuracy >= 0 ? messages::fill(stated, {op.name, std::string(accuracy, res.ptr)})
                                      : messages::fill(unstated, {op.name});
        }
    };
    std::vector<const crs::Transform*> all;
    for (const auto& t : gauss_krueger_) all.push_back(t.get());
    all.push_back(in_crs_.get());
    all.push_back(out_crs_.get());
    for (const crs::Transform* t : all)
        if (t != nullptr) add(t->used_to_etrs89(), messages::crs::kToEtrs89, messages::crs::kToEtrs89Unstated);
    for (const crs::Transform* t : all)
        if (t != nullptr) add(t->used_from_etrs89(), messages::crs::kFromEtrs89, messages::crs::kFromEtrs89Unstated);
    return lines;
}

Summary Run::refuse(const std::string& message)
{
    close_files();
    reporter_.error(message);
    summary_.field_error = true;
    return summary_;
}

void Run::close_files()
{
    if (in_file_ != nullptr) std::fclose(in_file_);
    if (out_file_ != nullptr) std::fclose(out_file_);
    in_file_ = out_file_ = nullptr;
}

// Opens both files after the refusals in their order; false when one applied (reported).
bool Run::open_files()
{
    model_name_ = textio::name_of(job_.model_file);
    input_name_ = job_.input_from_stdin ? std::string(kStandardInput) : textio::name_of(job_.input_file);
    output_name_ = job_.output_to_stdout ? std::string(kStandardOutput) : textio::name_of(job_.output_file);
    in_ = format(job_.in_format);
    out_ = format(job_.out_format);
    if (model_name_.empty()) return refuse(messages::kNoModel), false;
    if (input_name_.empty()) return refuse(messages::kNoInput), false;
    if (!job_.in_crs.empty()) {
        if ((in_crs_ = crs::Transform::create(job_.in_crs, crs_error_)) == nullptr) return refuse(crs_error_), false;
        in_crs_format_ = crs_format(in_crs_->geographic());
        in_ = &in_crs_format_;
    }
    if (!job_.out_crs.empty()) {
        if ((out_crs_ = crs::Transform::create(job_.out_crs, crs_error_)) == nullptr) return refuse(crs_error_), false;
        out_crs_format_ = crs_format(out_crs_->geographic());
        out_ = job_.out_crs == job_.in_crs ? in_ : &out_crs_format_;
    }
    if (in_ == nullptr || out_ == nullptr) return refuse(bad_format()), false;
    if ((in_->foreign == Foreign::GaussKrueger || out_->foreign == Foreign::GaussKrueger) && !crs::available())
        return refuse(messages::crs::kNotInBuild), false;
    if (const std::string conflict = job_conflict(job_); !conflict.empty()) return refuse(conflict), false;
    in_file_ = job_.input_from_stdin ? textio::standard_stream(0, "rb") : textio::fopen_for_reading(input_name_);
    if (in_file_ == nullptr) return refuse(messages::kOpenFailed + input_name_), false;
    if (output_name_.empty()) return refuse(messages::kNoOutput), false;
    if (job_.output_to_stdout) {
        out_file_ = textio::standard_stream(1, "w");
        if (out_file_ == nullptr) return refuse(messages::kOpenFailed + output_name_), false;
    } else {
        // The result would overwrite what the run reads: compared as files, whatever the names.
        if (textio::same_file(fileno(in_file_), output_name_) || textio::same_file(model_name_, output_name_))
            return refuse(messages::kSameFile + output_name_), false;
        textio::OutputStatus status = textio::OutputStatus::Ok;
        out_file_ = textio::fopen_output(output_name_, &status);
        if (out_file_ == nullptr) return refuse(messages::output_message(status, output_name_)), false;
    }
    static thread_local char out_buffer[1 << 16];
    std::setvbuf(out_file_, out_buffer, _IOFBF, sizeof out_buffer);
    in_size_ = static_cast<std::int64_t>(textio::regular_size(in_file_));
    for (int c = 0; c < out_->column_count; ++c)
        out_refs_[static_cast<std::size_t>(c)] = column_ref(out_->columns[static_cast<std::size_t>(c)], w_.point);
    east_offset_ = job_.zone_prefix ? out_->zone * 1e6 : 0.0;
    return true;
}

// The point into B, L; its N and H (or h from H); then into the output system. False when the
// model file changed under the run.
bool Run::compute_point()
{
    convert::Coordinates& p = w_.point;
    signs_ = cur_->signs;
    if (in_->foreign != Foreign::None) {
        if (!to_etrs89(p)) p.ell_b = p.ell_l = std::nan("");  // no operation: outside of everything
    } else if (in_->system != convert::System::Blh1) {
        convert::kokon1(convert::system_code(in_->system), "BLh1", p);
    }
    // "-0" degrees: the angle lies between -1 and 0 degrees.
    if (in_->sexagesimal) {
        if (signs_.b) p.ell_b = -p.ell_b;
        if (signs_.l) p.ell_l = -p.ell_l;
    }
    outcome_ = model_->query(p.ell_b, p.ell_l, w_.height_anomaly);
    // A node that cannot be read: perhaps the model is being rewritten under the run.
    if (outcome_ == interp::Outcome::ReadError && model_->changed()) return false;
    if (outcome_ == interp::Outcome::Outside) ++summary_.outside;
    no_value_ = outcome_ != interp::Outcome::Ok || w_.height_anomaly == interp::kNoValue;
    if (no_value_) {
        // Also after an error of the model file: never an N left over from another point.
        if (outcome_ != interp::Outcome::Outside) ++summary_.model_errors;
        w_.height_anomaly = kNoValueWritten;
        if (job_.normal_heights) {
            w_.normal_height = cur_->height;
            p.ell_h = kNoValueWritten;
        } else {
            w_.normal_height = kNoValueWritten;
        }
    } else if (job_.normal_heights) {
        w_.normal_height = cur_->height;
        p.ell_h = w_.normal_height + w_.height_anomaly;
    } else {
        w_.normal_height = p.ell_h - w_.height_anomaly;
    }
    // The same format in and out writes the values as read.
    if (out_ != in_) {
        if (out_->foreign != Foreign::None) from_etrs89(p);
        else if (out_->system != convert::System::Blh1) convert::kokon1("BLh1", convert::system_code(out_->system), p);
        signs_.b = p.ell_b < 0.0 && p.b_deg == 0;
        signs_.l = p.ell_l < 0.0 && p.l_deg == 0;
        // Cartesian coordinates need h, which a point without N does not have here.
        if (no_value_ && job_.normal_heights && out_->system == convert::System::Xyz)
            p.cart_x = p.cart_y = p.cart_z = kNoValueWritten;
    }
    return true;
}

// Point numbers and the rest of a line are written in UTF-8 whatever the input's encoding.
const std::string& Run::text_as_utf8(const std::string& text)
{
    if (reader_->utf8() && textio::is_valid_utf8(text)) return text;
    converted_ = textio::cp1252_to_utf8(text);
    return converted_;
}

void Run::write_line()
{
    if (job_.table) return write_table_line();
    if (job_.pnr_flag) {
        // Written as read, in UTF-8; cut to 30 characters, then without its trailing blanks (a
        // quoted number may hold them) at least pnr_length wide.
        const std::string& number = text_as_utf8(cur_->raw_number);
        const std::string_view cut = textio::trim_trailing(textio::utf8_prefix(number, kPointNumberChars));
        batch_ += cut;
        const std::size_t n = textio::utf8_length(cut);
        const std::size_t width = static_cast<std::size_t>(std::max(0, job_.pnr_length));
        if (n < width) batch_.append(width - n, ' ');
        batch_ += "  ";
    }
    const convert::Coordinates& p = w_.point;
    for (int c = 0; c < out_->column_count; ++c) {
        const Column& col = out_->columns[static_cast<std::size_t>(c)];
        const double v = out_refs_[static_cast<std::size_t>(c)].get();
        put_column(batch_, col, is_easting(col.value) ? v + east_offset_ : v, signs_);
    }
    textio::put_fixed(batch_, p.ell_h, 10, 3);
    textio::put_fixed(batch_, w_.normal_height, 10, 3);
    textio::put_fixed(batch_, w_.height_anomaly, 10, 3);
    if (outcome_ != interp::Outcome::Ok) {
        batch_ += ' ';
        batch_ += messages::model_message(outcome_, model_name_);
    }
    if (job_.keep_rest && !cur_->rest.empty()) {
        batch_ += "  ";
        batch_ += text_as_utf8(cur_->rest);
    }
    batch_ += '\n';
    if (batch_.size() >= kBatch) flush_batch();
}

void Run::write_table_header()
{
    namespace T = messages::formats;
    batch_ += "\xEF\xBB\xBF";  // UTF-8, as spreadsheets recognise it
    if (job_.pnr_flag) batch_ += std::string(T::kTablePointNumber) + ';';
    for (int c = 0; c < out_->column_count; ++c) {
        batch_ += table_name(out_->columns[static_cast<std::size_t>(c)].value);
        batch_ += ';';
    }
    batch_ += std::string("h;H;N;") + T::kTableMessage;
    if (job_.keep_rest) batch_ += std::string(";") + T::kRest;
    batch_ += "\r\n";
}

// A line of the table: the fixed layout's values without padding, an empty field where it
// writes 9999.999.
void Run::write_table_line()
{
    if (job_.pnr_flag) {
        put_table_text(batch_, text_as_utf8(cur_->raw_number));
        batch_ += ';';
    }
    const convert::Coordinates& p = w_.point;
    const bool no_h = no_value_ && job_.normal_heights;
    const bool no_position = no_h && out_ != in_ && out_->system == convert::System::Xyz;
    for (int c = 0; c < out_->column_count; ++c) {
        const Column& col = out_->columns[static_cast<std::size_t>(c)];
        const double v = out_refs_[static_cast<std::size_t>(c)].get();
        if (no_position) {
        } else if (col.decimals >= 0) {
            put_table_number(batch_, is_easting(col.value) ? v + east_offset_ : v, col.decimals);
        } else if (v == 0.0 && ((col.value == Value::BDeg && signs_.b) || (col.value == Value::LDeg && signs_.l))) {
            batch_ += "-0";
        } else {
            char buf[24];
            const auto res = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(v));
            batch_.append(buf, res.ptr);
        }
        batch_ += ';';
    }
    if (!no_h) put_table_number(batch_, p.ell_h, 3);
    batch_ += ';';
    if (!no_value_ || job_.normal_heights) put_table_number(batch_, w_.normal_height, 3);
    batch_ += ';';
    if (!no_value_) put_table_number(batch_, w_.height_anomaly, 3);
    batch_ += ';';
    if (outcome_ != interp::Outcome::Ok) put_table_text(batch_, messages::model_message(outcome_, model_name_));
    if (job_.keep_rest) {
        const std::string& rest = text_as_utf8(cur_->rest);
        if (job_.separator == Separator::Blank) {
            batch_ += ';';
            put_table_text(batch_, rest);
        } else if (!rest.empty()) {
            for (const std::string& field : textio::split_fields(rest, separator_char(job_.separator))) {
                batch_ += ';';
                put_table_text(batch_, field);
            }
        }
    }
    batch_ += "\r\n";
    if (batch_.size() >= kBatch) flush_batch();
}

void Run::flush_batch()
{
    std::fwrite(batch_.data(), 1, batch_.size(), out_file_);
    batch_.clear();
}

Summary Run::execute()
{
    if (!open_files()) return summary_;
    // The encoding of the point numbers is judged by the file's start, as the viewer judges it.
    reader_.emplace(job_, *in_, in_file_, staged_);
    model_.emplace(model_name_);
    batch_.reserve(kBatch + 512);
    if (job_.table) write_table_header();
    bool read_error = false, model_changed = false;
    std::string failure;
    {
        ReadAhead ahead(*reader_, staged_);
        clear_vector_state();
        for (bool more = true; more;) {
            const ReadAhead::Batch& b = ahead.next();
            for (std::size_t k = 0; k < b.count; ++k) {
                cur_ = &b.points[k];
                w_.point = cur_->point;
                ++summary_.points;
                if (cur_->continued) ++summary_.continued;
                if (!compute_point()) {
                    model_changed = true;
                    break;
                }
                write_line();
            }
            cur_ = nullptr;
            if (b.out_of_memory) throw std::bad_alloc();
            more = !model_changed && b.end == textio::ReadStatus::Ok;
            if (b.end == textio::ReadStatus::Error) read_error = true, failure = b.failure;
            // Between two batches: how far the run is, and whether to go on.
            if (more) {
                if (!reporter_.progress(b.offset, in_size_, summary_.points)) {
                    summary_.cancelled = true;
                    more = false;
                }
                clear_vector_state();
            }
        }
    }
    // Lines already computed are written whatever ended the loop.
    flush_batch();
    const bool write_failed = std::fflush(out_file_) != 0 || std::ferror(out_file_) != 0;
    const bool close_failed = std::fclose(out_file_) != 0;
    out_file_ = nullptr;
    // Values read from a model that changed under the run may belong to neither version.
    if (model_changed || model_->changed()) return refuse(messages::kModelChanged + model_name_);
    if (read_error) return refuse(messages::kInputReadError + input_name_ + "\r\n" + failure);
    if (!crs_error_.empty()) return refuse(crs_error_);
    if (write_failed || close_failed) return refuse(messages::kWriteError + output_name_);
    close_files();
    std::string hint = messages::continued_hint(summary_.continued);
    if (const std::string operations = operation_lines(); !operations.empty())
        hint += (hint.empty() ? "" : "\r\n") + operations;
    reporter_.finished(closing_message(summary_), hint);
    return summary_;
}

}  // namespace

std::string closing_message(const Summary& s)
{
    std::string m;
    if (s.cancelled)
        m += messages::kCancelledBefore + std::to_string(s.points) + messages::kCancelledAfter + "\r\n";
    m += std::to_string(s.points) + messages::kPointsRead + "\r\n";
    m += std::to_string(s.outside) + messages::kPointsOutside;
    if (s.model_errors > 0) m += "\r\n" + std::to_string(s.model_errors) + messages::kPointsWithModelErrors;
    return m;
}

std::string job_conflict(const Job& job)
{
    const FileFormat* in = format(job.in_format);
    if (job.normal_heights && in != nullptr && !in->reads_height) return messages::kNormalHeightsXyz;
    return {};
}

std::vector<PreviewLine> preview(const Job& job, int count)
{
    std::vector<PreviewLine> lines;
    const std::string name = textio::name_of(job.input_file);
    const FileFormat* in = format(job.in_format);
    if (name.empty() || in == nullptr) return lines;
    std::FILE* file = textio::fopen_for_reading(name);
    if (file == nullptr) {
        lines.push_back({0, {}, messages::kOpenFailed + name});
        return lines;
    }
    convert::Coordinates point;
    PointReader reader(job, *in, file, point);
    while (static_cast<int>(lines.size()) < count) {
        const textio::ReadStatus st = reader.read();
        if (st == textio::ReadStatus::End) break;
        if (st == textio::ReadStatus::Error) {
            lines.push_back({0, {}, reader.failure_line()});
            break;
        }
        lines.push_back({reader.line(), reader.named_values(), {}});
    }
    std::fclose(file);
    return lines;
}

Summary geoidberechnung(const Job& job, Reporter& reporter)
{
    try {
        Run run(job, reporter);
        return run.execute();
    } catch (const std::bad_alloc&) {
        reporter.error(messages::kOutOfMemory);
        Summary s;
        s.field_error = true;
        return s;
    }
}

}  // namespace filecalc
