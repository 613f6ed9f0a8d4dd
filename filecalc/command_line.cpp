#include "filecalc/command_line.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <getopt.h>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "crs/crs.h"
#include "filecalc/filecalc.h"
#include "filecalc/formats.h"
#include "interp/query.h"
#include "messages/command_line.h"
#include "messages/messages.h"
#include "textio/encoding.h"
#include "textio/files.h"
#include "textio/textio.h"

namespace filecalc {

namespace {

namespace text = messages::cli;

using messages::fill;

// Line ends of the messages are CR LF; a terminal wants LF.
std::string lf(std::string message)
{
    for (std::size_t at; (at = message.find("\r\n")) != std::string::npos;) message.erase(at, 1);
    return message;
}

// Messages as the boxes would show them: errors on standard error, the closing message on
// standard output, or on standard error when the results go to standard output; a hint after
// the closing message on standard error.
class StreamReporter final : public Reporter {
public:
    explicit StreamReporter(bool results_on_stdout) : closing_(results_on_stdout ? stderr : stdout) {}
    void error(const std::string& message) override { textio::write_text(stderr, lf(message) + "\n"); }
    void finished(const std::string& message, const std::string& hint) override
    {
        textio::write_text(closing_, lf(message) + "\n");
        if (!hint.empty()) textio::write_text(stderr, lf(hint) + "\n");
    }

private:
    std::FILE* closing_;
};

int usage_error(const std::string& reason)
{
    textio::write_text(stderr, std::string(text::kErrorBefore) + reason + text::kErrorAfter + "\n");
    return kUsage;
}

// The options. Each has a value of its own for getopt_long beyond every character.
enum Id {
    kHelpId = 'h',
    kVersionId = 'v',
    kModelId = 1000,
    kInputId,
    kOutputId,
    kInFormatId,
    kOutFormatId,
    kPointNumberId,
    kNormalHeightsId,
    kZoneId,
    kSeparatorId,
    kHeaderId,
    kRestId,
    kTableId,
    kInCrsId,
    kOutCrsId,
};

struct Option {
    Id id;
    const char* name;   ///< long name
    char letter;        ///< short name, 0 for none
    std::string value;  ///< name of its value in the help, empty for none
    std::string description;
};

// The formats with UTM eastings, as the help names them: "4 bis 7".
std::string utm_formats()
{
    std::vector<std::int64_t> numbers;
    for (const FileFormat& f : formats())
        if (f.zone != 0) numbers.push_back(f.number);
    return messages::number_list(numbers);
}

std::vector<Option> options()
{
    const std::string formats = "1.." + std::to_string(kFormatCount);
    const std::string count = std::to_string(kFormatCount);
    return {
        {kHelpId, "help", 'h', "", text::kHelp},
        {kVersionId, "version", 'v', "", text::kVersion},
        {kModelId, "modell", 0, text::kModelValue, text::kModel},
        {kInputId, "eingabe", 0, text::kFileValue, text::kInput},
        {kOutputId, "ausgabe", 0, text::kFileValue, text::kOutput},
        {kInFormatId, "eingabeformat", 0, formats, fill(text::kInFormat, {count})},
        {kOutFormatId, "ausgabeformat", 0, formats, fill(text::kOutFormat, {count})},
        {kPointNumberId, "punktnummer", 0, text::kLengthValue, fill(text::kPointNumber, {std::to_string(kMaxPointNumberLength)})},
        {kNormalHeightsId, "normalhoehen", 0, "", text::kNormalHeights},
        {kZoneId, "zonenkennung", 0, "", fill(text::kZone, {utm_formats()})},
        {kSeparatorId, "trennzeichen", 0, text::kSeparatorValue, text::kSeparator},
        {kHeaderId, "kopfzeilen", 0, text::kCountValue, fill(text::kHeaderLines, {std::to_string(kMaxHeaderLines)})},
        {kRestId, "restspalten", 0, "", text::kRest},
        {kTableId, "tabelle", 0, "", text::kTable},
        {kInCrsId, "eingabe-crs", 0, text::kCrsValue, text::kInCrs},
        {kOutCrsId, "ausgabe-crs", 0, text::kCrsValue, text::kOutCrs},
    };
}

// The option lines of the help: names in a column as wide as the widest, then the description
// wrapped at the 79th column under itself.
std::string option_lines(const std::vector<Option>& list)
{
    const auto names = [](const Option& o) {
        std::string n = o.letter != 0 ? std::string("-") + o.letter + ", --" + o.name : std::string("--") + o.name;
        if (!o.value.empty()) n += " <" + o.value + ">";
        return n;
    };
    std::size_t column = 0;
    for (const Option& o : list) column = std::max(column, textio::utf8_length(names(o)));
    const std::size_t indent = 2 + column + 2, width = 79 - indent;
    std::string out;
    for (const Option& o : list) {
        const std::string n = names(o);
        out += "  ";
        out += n;
        out.append(column + 2 - textio::utf8_length(n), ' ');
        std::size_t line = 0;
        std::string_view rest = o.description;
        while (!rest.empty()) {
            const std::size_t space = rest.find(' ');
            const std::string_view word = rest.substr(0, space);
            if (line > 0 && line + 1 + textio::utf8_length(word) > width) {
                out += '\n';
                out.append(indent, ' ');
                line = 0;
            } else if (line > 0) {
                out += ' ';
                ++line;
            }
            out += word;
            line += textio::utf8_length(word);
            rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
        }
        out += '\n';
    }
    return out;
}

std::string help_text(const char* program)
{
    std::string out = std::string(text::kUsage) + program + text::kUsageOptions + "\n" + text::kDescription + "\n";
    out += std::string(text::kInputFormats) + "\n";
    for (const FileFormat& f : formats()) out += "  " + std::to_string(f.number) + "  " + f.input_label + "\n";
    out += std::string("\n") + text::kOutputFormats + "\n";
    for (const FileFormat& f : formats()) out += "  " + std::to_string(f.number) + "  " + f.output_label + "\n";
    out += std::string("\n") + text::kStreamsAndStatus + "\n\n" + text::kOptions + "\n" + option_lines(options());
    return out;
}

// A whole number within [low, high], blanks around it and a plus sign allowed.
bool in_range(const std::string& value, int low, int high, int& number)
{
    const std::size_t first = value.find_first_not_of(" \t");
    if (first == std::string::npos) return false;
    std::string_view v(value);
    v = v.substr(first, value.find_last_not_of(" \t") + 1 - first);
    if (v.size() > 1 && v[0] == '+' && v[1] != '-') v.remove_prefix(1);
    const auto res = std::from_chars(v.data(), v.data() + v.size(), number);
    return res.ec == std::errc{} && res.ptr == v.data() + v.size() && number >= low && number <= high;
}

// What the arguments say, as parsed.
struct Parsed {
    bool help = false, version = false;
    std::string unknown;         // the first unknown option as typed
    std::string value_problem;   // the first option without its value (or with one it takes none)
    std::vector<std::string> positional;
    bool model = false, input = false, output = false, point_number = false;
    std::string model_file, input_file, output_file, in_format = "2", out_format = "2", length;
    bool normal_heights = false, zone = false, rest = false, table = false, separator = false, header = false;
    std::string separator_name, header_lines;
    bool in_format_given = false, out_format_given = false;
    std::string in_crs, out_crs;
};

// getopt_long's table of the options.
std::vector<option> long_options(const std::vector<Option>& list)
{
    std::vector<option> longs;
    for (const Option& o : list) longs.push_back({o.name, o.value.empty() ? no_argument : required_argument, nullptr, o.id});
    longs.push_back({nullptr, 0, nullptr, 0});
    return longs;
}

// Notes the first option getopt_long refused: one without its value (':'), or ('?') a known
// option given a value it does not take, or an unknown one as typed.
void note_refusal(Parsed& p, int c, const std::string& typed, const std::vector<Option>& list)
{
    std::string name;
    bool is_switch = false;
    for (const Option& o : list)
        if (o.id == optopt) name = std::string("--") + o.name, is_switch = o.value.empty();
    if (c == ':') {
        if (p.value_problem.empty()) p.value_problem = fill(text::kMissingValue, {name});
    } else if (is_switch) {
        if (p.value_problem.empty()) p.value_problem = fill(text::kUnexpectedValue, {name});
    } else if (p.unknown.empty()) {
        p.unknown = typed;
    }
}

// Takes a recognised option and its value.
void take(Parsed& p, int id, const char* value)
{
    switch (id) {
    case kHelpId: p.help = true; break;
    case kVersionId: p.version = true; break;
    case kModelId: p.model = true, p.model_file = value; break;
    case kInputId: p.input = true, p.input_file = value; break;
    case kOutputId: p.output = true, p.output_file = value; break;
    case kInFormatId: p.in_format = value, p.in_format_given = true; break;
    case kOutFormatId: p.out_format = value, p.out_format_given = true; break;
    case kInCrsId: p.in_crs = value; break;
    case kOutCrsId: p.out_crs = value; break;
    case kPointNumberId: p.point_number = true, p.length = value; break;
    case kNormalHeightsId: p.normal_heights = true; break;
    case kZoneId: p.zone = true; break;
    case kSeparatorId: p.separator = true, p.separator_name = value; break;
    case kHeaderId: p.header = true, p.header_lines = value; break;
    case kRestId: p.rest = true; break;
    case kTableId: p.table = true; break;
    default: break;
    }
}

Parsed parse(int argc, char** argv)
{
    const std::vector<Option> list = options();
    const std::vector<option> longs = long_options(list);
    Parsed p;
    opterr = 0;
    optind = 0;  // a fresh scan (glibc)
    // "-": arguments that are no option come back in order; ":": a missing value is told apart.
    for (;;) {
        const int at = optind == 0 ? 1 : optind;
        int index = -1;
        const int c = getopt_long(argc, argv, "-:hv", longs.data(), &index);
        if (c == -1) break;
        const std::string element = at < argc ? argv[at] : "";
        const std::string typed = element.substr(0, element.find('='));
        if (c == 1 && std::string_view(optarg) == "/?") {
            p.help = true;  // the help as Windows programs are asked for it
        } else if (c == 1) {
            p.positional.push_back(optarg);
        } else if (c == ':' || c == '?') {
            note_refusal(p, c, typed, list);
        } else if (index >= 0 && typed != std::string("--") + longs[static_cast<std::size_t>(index)].name) {
            // An abbreviation, which getopt_long would take: not an option of geoid.
            if (p.unknown.empty()) p.unknown = typed;
        } else {
            take(p, c, optarg);
        }
    }
    for (int k = optind; k < argc; ++k) p.positional.push_back(argv[k]);  // after "--"
    return p;
}

// The job the options describe; a usage error's status otherwise (0 when the job is set).
int job_of(const Parsed& p, Job& job)
{
    if (!p.positional.empty()) return usage_error(fill(text::kUnexpected, {p.positional.front()}));
    const std::pair<bool, const char*> required[] = {{p.model, "--modell"}, {p.input, "--eingabe"}, {p.output, "--ausgabe"}};
    for (const auto& [given, name] : required)
        if (!given) return usage_error(fill(text::kOptionMissing, {name}));
    if (!in_range(p.in_format, 1, kFormatCount, job.in_format))
        return usage_error(fill(text::kOutOfRange, {"--eingabeformat", "1", std::to_string(kFormatCount), p.in_format}));
    if (!in_range(p.out_format, 1, kFormatCount, job.out_format))
        return usage_error(fill(text::kOutOfRange, {"--ausgabeformat", "1", std::to_string(kFormatCount), p.out_format}));
    if (p.point_number) {
        if (!in_range(p.length, 1, kMaxPointNumberLength, job.pnr_length))
            return usage_error(fill(text::kOutOfRange, {"--punktnummer", "1", std::to_string(kMaxPointNumberLength), p.length}));
        job.pnr_flag = true;
    }
    if (p.separator) {
        // In any case, or the character itself.
        const std::string name = textio::ascii_lower(p.separator_name);
        if (name == "semikolon" || name == ";") job.separator = Separator::Semicolon;
        else if (name == "tab" || name == "\t") job.separator = Separator::Tab;
        else if (name == "leerzeichen") job.separator = Separator::BlanksDecimalComma;
        else return usage_error(fill(text::kBadSeparator, {p.separator_name}));
    }
    if (p.header && !in_range(p.header_lines, 0, kMaxHeaderLines, job.header_lines))
        return usage_error(fill(text::kOutOfRange, {"--kopfzeilen", "0", std::to_string(kMaxHeaderLines), p.header_lines}));
    // A CRS is checked by making its transform, which the run then uses.
    const std::tuple<const std::string&, bool, std::shared_ptr<crs::Transform>&> crs_options[] = {
        {p.in_crs, p.in_format_given, job.in_transform}, {p.out_crs, p.out_format_given, job.out_transform}};
    for (const auto& [code, format_given, transform] : crs_options) {
        if (code.empty()) continue;
        const bool input = &code == &p.in_crs;
        if (format_given) return usage_error(fill(text::kCrsAndFormat, {input ? "--eingabe-crs" : "--ausgabe-crs", input ? "--eingabeformat" : "--ausgabeformat"}));
        std::string error;
        if ((transform = crs::Transform::create(code, error)) == nullptr) return usage_error(error);
    }
    job.in_crs = p.in_crs;
    job.out_crs = p.out_crs;
    job.normal_heights = p.normal_heights;
    job.zone_prefix = p.zone;
    job.keep_rest = p.rest;
    job.output = p.table ? Output::Table : Output::Columns;
    if (const std::string conflict = job_conflict(job); !conflict.empty()) return usage_error(conflict);
    // The names enter here: without trailing blanks from now on.
    job.model_file = textio::name_of(p.model_file);
    job.input_file = textio::name_of(p.input_file);
    job.output_file = textio::name_of(p.output_file);
    // "-" stands for the standard streams on the command line only; the form has no such name.
    job.input_from_stdin = job.input_file == "-";
    job.output_to_stdout = job.output_file == "-";
    return 0;
}

// The model checked as its selection in the window checks it, then the computation.
int compute(const Job& job)
{
    if (job.model_file.empty()) {
        textio::write_text(stderr, std::string(messages::kNoModel) + "\n");
        return kRefused;
    }
    if (const interp::Outcome o = interp::check_model(job.model_file); o != interp::Outcome::Ok) {
        textio::write_text(stderr, messages::model_message(o, job.model_file) + "\n");
        return kRefused;
    }
    // Interrupted, the run leaves no file beside an older result, which stays as it was.
    textio::remove_temporary_on_signals();
    StreamReporter reporter(job.output_to_stdout);
    const Summary s = geoidberechnung(job, reporter);
    if (s.field_error) return kRefused;
    return s.model_errors > 0 ? kModelReadErrors : kCompleted;
}

}  // namespace

int run_without_window(const char* program)
{
    textio::write_text(stderr, std::string(text::kNoWindow) + "\n\n" + help_text(program));
    return kUsage;
}

int run_command_line(int argc, char** argv, const char* version)
{
    const Parsed p = parse(argc, argv);
    if (!p.unknown.empty()) return usage_error(fill(text::kUnknownOption, {p.unknown}));
    if (!p.value_problem.empty()) return usage_error(fill(text::kValueProblem, {p.value_problem}));
    if (p.help) {
        textio::write_text(stdout, help_text(argc > 0 ? argv[0] : "geoid"));
        return kCompleted;
    }
    if (p.version) {
        textio::write_text(stdout, std::string("geoid ") + version + "\n");
        return kCompleted;
    }
    Job job;
    if (const int status = job_of(p, job); status != 0) return status;
    return compute(job);
}

}  // namespace filecalc
