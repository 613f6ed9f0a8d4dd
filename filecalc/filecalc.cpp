#include "filecalc/filecalc.h"

#include <algorithm>
#include <array>
#include <optional>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#endif

#include "interp/query.h"
#include "messages/command_line.h"
#include "messages/messages.h"
#include "textio/encoding.h"
#include "textio/files.h"
#include "textio/textio.h"

namespace filecalc {

namespace {

/// N and H written for a point without a model value.
constexpr double kNoValueWritten = 9999.999;
constexpr std::size_t kPointNumberChars = 30;
constexpr std::int64_t kProgressEvery = 4096;  // points between two progress reports
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

// A standard stream as a stream of the run's own, so that closing it leaves the stream open.
std::FILE* own_stream(int fd, const char* mode)
{
    const int copy = dup(fd);
    if (copy < 0) return nullptr;
    return textio::stream_of(copy, mode);
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
    textio::ReadStatus read_point();
    std::string read_failure() const;
    bool compute_point();
    void write_line();
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
    bool utf8_ = true;
    Layout layout_;
    std::string raw_number_, batch_;
    Signs signs_;
    interp::Outcome outcome_ = interp::Outcome::Ok;
    std::array<ColumnRef, 6> in_refs_{}, out_refs_{};  // the record's values of the columns
    std::optional<textio::FreeReader> reader_;
    std::optional<interp::ModelQuery> model_;
};

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
    if (in_ == nullptr || out_ == nullptr) return refuse(bad_format()), false;
    in_file_ = job_.input_from_stdin ? own_stream(0, "rb") : textio::fopen_for_reading(input_name_);
    if (in_file_ == nullptr) return refuse(messages::kOpenFailed + input_name_), false;
    if (output_name_.empty()) return refuse(messages::kNoOutput), false;
    if (job_.output_to_stdout) {
        out_file_ = own_stream(1, "w");
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
    struct stat info {};
    in_size_ = fstat(fileno(in_file_), &info) == 0 ? static_cast<std::int64_t>(info.st_size) : 0;
    layout_ = layout(*in_, job_.pnr_flag);
    for (int c = 0; c < in_->column_count; ++c)
        in_refs_[static_cast<std::size_t>(c)] = column_ref(in_->columns[static_cast<std::size_t>(c)], w_.point);
    for (int c = 0; c < out_->column_count; ++c)
        out_refs_[static_cast<std::size_t>(c)] = column_ref(out_->columns[static_cast<std::size_t>(c)], w_.point);
    return true;
}

// Reads the next point into the record, as read: the values of the input format's columns
// and h, and whether sexagesimal degrees were written "-0".
textio::ReadStatus Run::read_point()
{
    double values[8];
    unsigned negative_zero = 0;
    const textio::ReadStatus st = reader_->read_record(layout_.items, layout_.count, values, raw_number_, negative_zero);
    if (st != textio::ReadStatus::Ok) return st;
    convert::Coordinates& p = w_.point;
    const double* v = values + layout_.first_value;
    signs_ = Signs{};
    for (int c = 0; c < in_->column_count; ++c) {
        const Column& col = in_->columns[static_cast<std::size_t>(c)];
        in_refs_[static_cast<std::size_t>(c)].set(v[c]);
        const bool minus_zero = (negative_zero >> (layout_.first_value + c)) & 1u;
        if (col.value == Value::BDeg) signs_.b = minus_zero;
        if (col.value == Value::LDeg) signs_.l = minus_zero;
    }
    if (in_->reads_height) p.ell_h = v[in_->column_count];
    return st;
}

// Where and why the line could not be read, with the name of the value expected there.
std::string Run::read_failure() const
{
    const textio::ReadFailure& f = reader_->failure();
    const int column = f.item - layout_.first_value;
    const char* expected = column < 0                    ? messages::kPointNumber
                           : column < in_->column_count ? value_name(in_->columns[static_cast<std::size_t>(column)].value)
                                                         : messages::kHeight;
    const bool whole = f.item >= 0 && f.item < layout_.count && layout_.items[f.item] == Item::Integer;
    return messages::read_failure_line(f, expected, whole);
}

// The point into B, L; its N and H; then into the output system. False when the model file
// changed under the run.
bool Run::compute_point()
{
    convert::Coordinates& p = w_.point;
    if (in_->system != convert::System::Blh1) convert::kokon1(convert::system_code(in_->system), "BLh1", p);
    // "-0" degrees: the angle lies between -1 and 0 degrees.
    if (in_->sexagesimal) {
        if (signs_.b) p.ell_b = -p.ell_b;
        if (signs_.l) p.ell_l = -p.ell_l;
    }
    outcome_ = model_->query(p.ell_b, p.ell_l, w_.height_anomaly);
    // A node that cannot be read: perhaps the model is being rewritten under the run.
    if (outcome_ == interp::Outcome::ReadError && model_->changed()) return false;
    if (outcome_ == interp::Outcome::Outside) ++summary_.outside;
    if (outcome_ != interp::Outcome::Ok || w_.height_anomaly == interp::kNoValue) {
        // Also after an error of the model file: never an N left over from another point.
        if (outcome_ != interp::Outcome::Outside) ++summary_.model_errors;
        w_.height_anomaly = w_.normal_height = kNoValueWritten;
    } else {
        w_.normal_height = p.ell_h - w_.height_anomaly;
    }
    // The same format in and out writes the values as read.
    if (out_ != in_) {
        if (out_->system != convert::System::Blh1) convert::kokon1("BLh1", convert::system_code(out_->system), p);
        signs_.b = p.ell_b < 0.0 && p.b_deg == 0;
        signs_.l = p.ell_l < 0.0 && p.l_deg == 0;
    }
    return true;
}

void Run::write_line()
{
    if (job_.pnr_flag) {
        // Written as read, in UTF-8; cut to 30 characters, then without its trailing blanks (a
        // quoted number may hold them) at least pnr_length wide.
        const std::string number =
            utf8_ && textio::is_valid_utf8(raw_number_) ? raw_number_ : textio::cp1252_to_utf8(raw_number_);
        const std::string_view cut = textio::trim_trailing(textio::utf8_prefix(number, kPointNumberChars));
        batch_ += cut;
        const std::size_t n = textio::utf8_length(cut);
        const std::size_t width = static_cast<std::size_t>(std::max(0, job_.pnr_length));
        if (n < width) batch_.append(width - n, ' ');
        batch_ += "  ";
    }
    const convert::Coordinates& p = w_.point;
    for (int c = 0; c < out_->column_count; ++c)
        put_column(batch_, out_->columns[static_cast<std::size_t>(c)], out_refs_[static_cast<std::size_t>(c)].get(), signs_);
    textio::put_fixed(batch_, p.ell_h, 10, 3);
    textio::put_fixed(batch_, w_.normal_height, 10, 3);
    textio::put_fixed(batch_, w_.height_anomaly, 10, 3);
    if (outcome_ != interp::Outcome::Ok) {
        batch_ += ' ';
        batch_ += messages::model_message(outcome_, model_name_);
    }
    batch_ += '\n';
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
    reader_.emplace(in_file_, kEncodingSample);
    utf8_ = textio::reads_as_utf8(reader_->first_bytes(), reader_->first_bytes_cut());
    model_.emplace(model_name_);
    batch_.reserve(kBatch + 512);
    bool read_error = false, model_changed = false;
    clear_vector_state();
    for (;;) {
        if (summary_.points % kProgressEvery == 0 && summary_.points > 0) {
            if (!reporter_.progress(reader_->offset(), in_size_, summary_.points)) {
                summary_.cancelled = true;
                break;
            }
            clear_vector_state();
        }
        const textio::ReadStatus st = read_point();
        if (st == textio::ReadStatus::End) break;
        if (st == textio::ReadStatus::Error) {
            read_error = true;
            break;
        }
        ++summary_.points;
        if (reader_->continued()) ++summary_.continued;
        if (!compute_point()) {
            model_changed = true;
            break;
        }
        write_line();
    }
    // Lines already computed are written whatever ended the loop.
    flush_batch();
    const bool write_failed = std::fflush(out_file_) != 0 || std::ferror(out_file_) != 0;
    const bool close_failed = std::fclose(out_file_) != 0;
    out_file_ = nullptr;
    // Values read from a model that changed under the run may belong to neither version.
    if (model_changed || model_->changed()) return refuse(messages::kModelChanged + model_name_);
    if (read_error) return refuse(messages::kInputReadError + input_name_ + "\r\n" + read_failure());
    if (write_failed || close_failed) return refuse(messages::kWriteError + output_name_);
    close_files();
    reporter_.finished(closing_message(summary_), messages::continued_hint(summary_.continued));
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
