// The result file of a run: one writer per output kind behind one interface. The run hands each
// point's result record to `line`; `begin` and `end` write what stands before the first and
// after the last line. A further output kind is one more writer file and a case in make_writer.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "filecalc/filecalc.h"
#include "filecalc/formats.h"
#include "filecalc/point_reader.h"
#include "interp/outcome.h"
#include "textio/textio.h"

namespace filecalc {

/// What a run knows of one point when it writes its line.
struct PointResult {
    const ReadPoint* read = nullptr;   ///< as read: point number and rest of the line
    std::array<double, 6> columns{};   ///< the output format's columns, eastings as written
    Signs signs;                       ///< "-0" degrees of the output
    double ell_h = 0, normal_height = 0, height_anomaly = 0;  ///< h, H and N as written
    interp::Outcome outcome = interp::Outcome::Ok;
    // What a point without a model value does not have (the fixed columns write 9999.999
    // there, the table leaves the field empty).
    bool has_position = true, has_h = true, has_normal_height = true, has_anomaly = true;
};

/// Result lines collected in memory and written in large pieces.
class ResultSink {
public:
    explicit ResultSink(std::FILE* file);
    std::string text;
    /// Writes what was collected once it is large enough.
    void maybe_flush()
    {
        if (text.size() >= textio::kWriteBatch) flush();
    }
    void flush();

private:
    std::FILE* file_;
};

/// What every writer is given.
struct WriterSetup {
    const Job& job;
    const FileFormat& out;
    std::string model_name;  ///< for the model's message at a line's end
    bool utf8 = true;        ///< the input reads as UTF-8 (else its texts are Windows-1252)
};

class ResultWriter {
public:
    virtual ~ResultWriter() = default;
    virtual void begin() = 0;
    virtual void line(const PointResult& r) = 0;
    virtual void end() = 0;
    /// Lines with a value too wide for its column (written as asterisks).
    virtual std::int64_t overflowed() const { return 0; }
};

/// Fixed columns, as the layouts of the formats write them.
std::unique_ptr<ResultWriter> make_columns_writer(const WriterSetup& setup, ResultSink& sink);
/// A table for spreadsheets: a header, fields separated by semicolons, decimal commas.
std::unique_ptr<ResultWriter> make_table_writer(const WriterSetup& setup, ResultSink& sink);

/// The writer of the job's output kind.
std::unique_ptr<ResultWriter> make_writer(const WriterSetup& setup, ResultSink& sink);

}  // namespace filecalc
