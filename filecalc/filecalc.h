// The coordinate file computation: a coordinate file in one of the formats of formats.h is read
// point by point, converted to B, L, h, given the height anomaly N of the model and H = h - N,
// converted into one of the output formats and written line by line into the result file. It
// knows no window: it takes the form's values as a parameter and reports through a small
// interface.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "convert/convert.h"
#include "filecalc/formats.h"

namespace crs {
class Transform;
}

namespace filecalc {

/// How the values of a line are separated.
enum class Separator {
    Blank,      ///< blanks, tabs or single commas; a point may go on on the next line
    Semicolon,  ///< a list from a spreadsheet: one point per line, decimal comma or point
    Tab,
    BlanksDecimalComma,  ///< blanks or tabs between the values, the comma always a decimal comma;
                         ///< one point per line
};

/// What the result file is.
enum class Output {
    Columns,  ///< fixed columns, as the formats lay them out
    Table,    ///< a table for spreadsheets (CSV)
};

/// The longest point number: longer ones are cut to it in the result.
inline constexpr int kMaxPointNumberLength = 30;
/// The most header lines a run skips.
inline constexpr int kMaxHeaderLines = 99;

/// What a run needs of the file form: the three file names and the options.
struct Job {
    std::string model_file;
    std::string input_file;
    std::string output_file;
    int in_format = 2;   ///< 1..kFormatCount
    int out_format = 2;  ///< 1..kFormatCount
    bool pnr_flag = false;  ///< every line starts with a point number
    int pnr_length = 0;  ///< 1..kMaxPointNumberLength: the point number is written at least this wide
    bool input_from_stdin = false;  ///< read standard input instead of input_file (a pipe)
    bool output_to_stdout = false;  ///< write standard output instead of output_file
    // How lines are read and written; all off, the formats' layouts as they stand.
    bool normal_heights = false;  ///< the input's heights are H: h = H + N (not with format 1)
    bool zone_prefix = false;     ///< UTM eastings carry the zone number in front
    Separator separator = Separator::Blank;
    int header_lines = 0;         ///< 0..kMaxHeaderLines lines at the start that hold no point
    bool keep_rest = false;       ///< what follows the values taken ends the result line
    Output output = Output::Columns;
    // A CRS that PROJ knows instead of the input or output format (command line only), and
    // the transforms the command line made when it checked them (the run makes them itself
    // when they are not given).
    std::string in_crs, out_crs;
    std::shared_ptr<crs::Transform> in_transform, out_transform;
};

/// The message of a job whose options contradict each other, empty when they agree.
std::string job_conflict(const Job& job);

/// How a run reaches the user. The desktop program shows boxes and a progress dialog; tests
/// and the command line record or print.
class Reporter {
public:
    virtual ~Reporter() = default;
    /// A refusal or an error that ends the run.
    virtual void error(const std::string& message) = 0;
    /// The closing message of a run that read its file to the end or was cancelled, and a
    /// hint to show after it (empty when there is none).
    virtual void finished(const std::string& message, const std::string& hint) = 0;
    /// Called between points now and then: input bytes read of the total, points done.
    /// Returning false cancels the run there; the lines written so far stay.
    virtual bool progress(std::int64_t bytes_read, std::int64_t bytes_total, std::int64_t points)
    {
        (void)bytes_read, (void)bytes_total, (void)points;
        return true;
    }
};

/// What a run did.
struct Summary {
    bool field_error = false;       ///< the run was refused or broken off
    std::int64_t points = 0;        ///< points read
    std::int64_t outside = 0;       ///< points outside the model
    std::int64_t model_errors = 0;  ///< points whose query met an error of the model file
    std::int64_t continued = 0;     ///< points whose values stood on more than one line
    std::int64_t overflowed = 0;    ///< points with a value too wide for its column (asterisks)
    bool cancelled = false;
};

/// Runs the computation of `job`. Refusals and read errors go to reporter.error, the closing
/// counts to reporter.finished. Memory that cannot be had ends the run as an error too.
Summary geoidberechnung(const Job& job, Reporter& reporter);

/// A line of the preview: the values of one point with their names, as the run would read
/// them, or the read error it would stop at.
struct PreviewLine {
    std::int64_t line = 0;  ///< where the point stands in the file (0: the file cannot be opened)
    std::vector<std::pair<std::string, std::string>> values;
    std::string error;
    std::string header;  ///< a header line skipped, as the preview shows it (Kopfzeile 1: "Nr;B;L;h")
};

/// The header lines the job skips, then the first `count` points of the job's input file as the
/// run would read them; a line with an error ends the list. Empty without an input file name.
std::vector<PreviewLine> preview(const Job& job, int count);

/// The closing message: the counts, each on its own line (CR LF between them); a line for
/// points with errors of the model file and one for a cancelled run only when they occurred.
std::string closing_message(const Summary& summary);

}  // namespace filecalc
