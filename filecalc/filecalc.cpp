// The engine of the file computation: the files opened or the run refused, then one loop over
// the points (read, compute, write, report), then the closing message. Reading, writing and the
// systems PROJ serves are parts of their own: point_reader, read_ahead, result_writer and its
// writers, foreign_systems.
#include "filecalc/filecalc.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <new>
#include <optional>

#include "crs/crs.h"
#include "filecalc/foreign_systems.h"
#include "filecalc/point_reader.h"
#include "filecalc/read_ahead.h"
#include "filecalc/result_writer.h"
#include "filecalc/vector_state.h"
#include "interp/query.h"
#include "messages/command_line.h"
#include "messages/crs.h"
#include "messages/messages.h"
#include "textio/files.h"
#include "textio/textio.h"

namespace filecalc {

namespace {

/// N and H written for a point without a model value.
constexpr double kNoValueWritten = 9999.999;
/// Bytes of the result file's stream buffer.
constexpr std::size_t kStreamBuffer = 1 << 16;

// One computation over an opened pair of files.
class Run {
public:
    Run(const Job& job, Reporter& reporter) : job_(job), reporter_(reporter) {}
    Summary execute();

private:
    Summary refuse(const std::string& message);
    bool open_files();
    bool open_output();
    bool compute(const ReadPoint& read, PointResult& r);
    void set_heights(const ReadPoint& read, bool no_value, PointResult& r);
    Summary finish(bool read_error, const std::string& failure, bool model_changed);

    const Job& job_;
    Reporter& reporter_;
    Summary summary_;
    const FileFormat* in_ = nullptr;
    const FileFormat* out_ = nullptr;
    std::string model_name_, input_name_, output_name_;
    textio::Stream in_file_;
    textio::ReplacingOutput output_;  // an existing result file is replaced only at the end
    textio::Stream standard_output_;
    std::FILE* out_file_ = nullptr;   // the one of the two written
    std::int64_t in_size_ = 0;
    std::optional<PointReader> reader_;
    std::optional<interp::ModelQuery> model_;
    ForeignSystems foreign_;
    convert::Coordinates point_;            // the point computed now, in every system it passes
    std::array<ColumnRef, 6> out_refs_{};  // where the output's columns stand in it
    std::array<bool, 6> out_eastings_{};   // the output's UTM eastings
    double east_offset_ = 0;               // the zone number in front of written eastings
};

Summary Run::refuse(const std::string& message)
{
    in_file_.reset();
    output_.abandon();
    out_file_ = nullptr;
    reporter_.error(message);
    summary_.field_error = true;
    return summary_;
}

// Opens both files after the refusals in their order; false when one applied (reported).
bool Run::open_files()
{
    model_name_ = textio::name_of(job_.model_file);
    input_name_ = job_.input_from_stdin ? std::string(messages::cli::kStandardInput) : textio::name_of(job_.input_file);
    output_name_ = job_.output_to_stdout ? std::string(messages::cli::kStandardOutput) : textio::name_of(job_.output_file);
    in_ = format(job_.in_format);
    out_ = format(job_.out_format);
    if (model_name_.empty()) return refuse(messages::kNoModel), false;
    if (input_name_.empty()) return refuse(messages::kNoInput), false;
    if (std::string error; !foreign_.open(job_, in_, out_, error)) return refuse(error), false;
    if (in_ == nullptr || out_ == nullptr)
        return refuse(messages::fill(messages::kBadFormat, {std::to_string(kFormatCount)})), false;
    if ((in_->foreign == Foreign::GaussKrueger || out_->foreign == Foreign::GaussKrueger) && !crs::available())
        return refuse(messages::crs::kNotInBuild), false;
    if (const std::string conflict = job_conflict(job_); !conflict.empty()) return refuse(conflict), false;
    in_file_.reset(job_.input_from_stdin ? textio::standard_stream(0, "rb") : textio::fopen_for_reading(input_name_));
    if (in_file_ == nullptr)
        return refuse(job_.input_from_stdin ? messages::kOpenFailed + input_name_ : messages::open_failed(input_name_)), false;
    // The reader takes the file's start now: a binary file is refused before a result is touched.
    reader_.emplace(job_, *in_, in_file_.get());
    if (reader_->binary()) return refuse(messages::kInputReadError + input_name_ + "\r\n" + messages::kNotText), false;
    if (output_name_.empty()) return refuse(messages::kNoOutput), false;
    if (!open_output()) return false;
    in_size_ = static_cast<std::int64_t>(textio::regular_size(in_file_.get()));
    for (std::size_t c = 0; c < static_cast<std::size_t>(out_->column_count); ++c) {
        out_refs_[c] = column_ref(out_->columns[c], point_);
        out_eastings_[c] = is_utm_easting(out_->columns[c].value);
    }
    east_offset_ = job_.zone_prefix ? out_->zone * 1e6 : 0.0;
    return true;
}

bool Run::open_output()
{
    if (job_.output_to_stdout) {
        standard_output_.reset(textio::standard_stream(1, "w"));
        out_file_ = standard_output_.get();
        if (out_file_ == nullptr) return refuse(messages::kOpenFailed + output_name_), false;
    } else {
        // The result would overwrite what the run reads: compared as files, whatever the names.
        if (textio::same_file(in_file_.get(), output_name_) || textio::same_file(model_name_, output_name_))
            return refuse(messages::kSameFile + output_name_), false;
        textio::OutputStatus status = textio::OutputStatus::Ok;
        out_file_ = output_.open(output_name_, &status);
        if (out_file_ == nullptr) return refuse(messages::output_message(status, output_name_)), false;
    }
    static thread_local char buffer[kStreamBuffer];
    std::setvbuf(out_file_, buffer, _IOFBF, sizeof buffer);
    return true;
}

// N and H of the point, or h from H with normal heights; 9999.999 where there is no value.
void Run::set_heights(const ReadPoint& read, bool no_value, PointResult& r)
{
    convert::Coordinates& p = point_;
    if (no_value) {
        r.height_anomaly = kNoValueWritten;
        if (job_.normal_heights) {
            r.normal_height = read.height;
            p.ell_h = kNoValueWritten;
        } else {
            r.normal_height = kNoValueWritten;
        }
    } else if (job_.normal_heights) {
        r.normal_height = read.height;
        p.ell_h = r.normal_height + r.height_anomaly;
    } else {
        r.normal_height = p.ell_h - r.height_anomaly;
    }
    r.has_anomaly = !no_value;
    r.has_normal_height = !no_value || job_.normal_heights;
    r.has_h = !(no_value && job_.normal_heights);
}

// The point into B, L; its N and H (or h from H); then into the output system. False when the
// model file changed under the run.
bool Run::compute(const ReadPoint& read, PointResult& r)
{
    convert::Coordinates& p = point_;
    p = read.point;
    r.read = &read;
    r.signs = read.signs;
    if (in_->foreign != Foreign::None) {
        if (!foreign_.to_etrs89(*in_, read.gk_zone, p)) p.ell_b = p.ell_l = std::nan("");  // outside of everything
    } else {
        convert::kokon1(in_->system, convert::System::Blh1, p);
    }
    // "-0" degrees: the angle lies between -1 and 0 degrees.
    if (in_->sexagesimal) {
        if (r.signs.b) p.ell_b = -p.ell_b;
        if (r.signs.l) p.ell_l = -p.ell_l;
    }
    r.outcome = model_->query(p.ell_b, p.ell_l, r.height_anomaly);
    // A node that cannot be read: perhaps the model is being rewritten under the run.
    if (r.outcome == interp::Outcome::ReadError && model_->changed()) return false;
    if (r.outcome == interp::Outcome::Outside) ++summary_.outside;
    const bool no_value = r.outcome != interp::Outcome::Ok || r.height_anomaly == interp::kNoValue;
    // Also after an error of the model file: never an N left over from another point.
    if (no_value && r.outcome != interp::Outcome::Outside) ++summary_.model_errors;
    set_heights(read, no_value, r);
    r.has_position = true;
    // The same format in and out writes the values as read.
    if (out_ != in_) {
        if (out_->foreign != Foreign::None) foreign_.from_etrs89(*in_, *out_, read.gk_zone, p);
        else convert::kokon1(convert::System::Blh1, out_->system, p);
        r.signs = Signs::of(p);
        // Cartesian coordinates need h, which a point without N does not have here.
        if (no_value && job_.normal_heights && out_->system == convert::System::Xyz) {
            p.cart_x = p.cart_y = p.cart_z = kNoValueWritten;
            r.has_position = false;
        }
    }
    for (std::size_t c = 0; c < static_cast<std::size_t>(out_->column_count); ++c) {
        const double v = out_refs_[c].get();
        r.columns[c] = out_eastings_[c] ? v + east_offset_ : v;
    }
    r.ell_h = p.ell_h;
    return true;
}

Summary Run::execute()
{
    if (!open_files()) return summary_;
    PointReader& reader = *reader_;
    ResultSink sink(out_file_);
    const std::unique_ptr<ResultWriter> writer = make_writer({job_, *out_, model_name_, reader.utf8()}, sink);
    model_.emplace(model_name_);
    writer->begin();
    bool read_error = false, model_changed = false;
    std::string failure;
    {
        ReadAhead ahead(reader);
        clear_vector_state();
        // One loop over the file, a batch of points at a time as the reading thread hands them
        // over: each point computed and its line written; between two batches the progress is
        // told and the run may be cancelled. The end of the file, a line that cannot be read or
        // a model that changed under the run ends it.
        for (bool more = true; more;) {
            const ReadAhead::Batch& b = ahead.next();
            PointResult r;
            for (std::size_t k = 0; k < b.count && !model_changed; ++k) {
                ++summary_.points;
                if (b.points[k].continued) ++summary_.continued;
                if (!compute(b.points[k], r)) model_changed = true;
                else writer->line(r);
            }
            if (b.out_of_memory) throw std::bad_alloc();
            if (b.end == textio::ReadStatus::Error) read_error = true, failure = b.failure;
            more = !model_changed && b.end == textio::ReadStatus::Ok;
            if (more && !reporter_.progress(b.offset, in_size_, summary_.points)) summary_.cancelled = true, more = false;
            if (more) clear_vector_state();
        }
    }
    // Lines already computed are written whatever ended the loop.
    writer->end();
    sink.flush();
    summary_.overflowed = writer->overflowed();
    return finish(read_error, failure, model_changed);
}

// Closes the result file and reports how the run ended: a refusal, or the closing message
// with its hints. A run that did not complete leaves an existing result file as it was.
Summary Run::finish(bool read_error, const std::string& failure, bool model_changed)
{
    model_changed = model_changed || model_->changed();
    const bool kept = output_.keeps_old();
    const bool complete = !model_changed && !read_error && foreign_.error().empty() && !summary_.cancelled;
    bool written = true;
    if (standard_output_ != nullptr) {
        written = textio::close_stream(standard_output_.release());
    } else if (complete || !kept) {
        written = output_.commit();
    } else {
        output_.abandon();
    }
    out_file_ = nullptr;
    // Say so where the older result is still there.
    const std::string unchanged = kept && !(complete && written) ? std::string("\r\n") + messages::kResultUnchanged : "";
    // Values read from a model that changed under the run may belong to neither version.
    if (model_changed) return refuse(messages::kModelChanged + model_name_ + unchanged);
    if (read_error) return refuse(messages::kInputReadError + input_name_ + "\r\n" + failure + unchanged);
    if (!foreign_.error().empty()) return refuse(foreign_.error() + unchanged);
    if (!written) return refuse(messages::kWriteError + output_name_ + unchanged);
    in_file_.reset();
    // After the closing message: hints that the options may not fit the file, then the datum
    // transformations used.
    std::string hint = messages::continued_hint(summary_.continued);
    const auto add = [&hint](const std::string& lines) {
        if (!lines.empty()) hint += (hint.empty() ? "" : "\r\n") + lines;
    };
    if (!summary_.cancelled)
        add(messages::run_hints(summary_.points, summary_.outside, summary_.overflowed, std::clamp(job_.header_lines, 0, kMaxHeaderLines),
                                reader_->header_lines_as_points()));
    add(foreign_.operation_lines());
    reporter_.finished(closing_message(summary_) + unchanged, hint);
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
