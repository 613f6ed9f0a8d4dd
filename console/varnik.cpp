// varnik: a short dialogue on the terminal, then every point of a point file (B, L in decimal
// degrees, optionally a height) gets the height anomaly N from the quasigeoid model, and in
// modes 2 and 3 its height converted: H = h - N (ETRS89 to DHHN92) or h = H + N.
// The one error message of a failed run goes into "varnik.err" in the current directory.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>

#include "console/varnik.h"
#include "interp/grid.h"
#include "interp/model.h"
#include "interp/nodes.h"
#include "messages/messages.h"
#include "messages/varnik.h"
#include "textio/files.h"
#include "textio/textio.h"

namespace {

// The height mode of a run: what the points carry and what is computed from it.
enum class Mode {
    Position = 1,     ///< B, L only: N is written
    Ellipsoidal = 2,  ///< ellipsoidal heights h in ETRS89: H = h - N is written
    Normal = 3,       ///< normal heights H in DHHN92: h = H + N is written
};

namespace text = messages::varnik;

// An answer in double or single quotes, as a copied path or a file dropped into a terminal
// gives it, without them (blanks around them aside).
std::string unquoted(const std::string& answer)
{
    const std::size_t first = answer.find_first_not_of(' ');
    const std::size_t last = answer.find_last_not_of(' ');
    if (first == std::string::npos || last - first < 1) return answer;
    const char q = answer[first];
    if ((q != '"' && q != '\'') || answer[last] != q) return answer;
    return answer.substr(first + 1, last - first - 1);
}

class Varnik {
public:
    Varnik(std::FILE* in, std::FILE* out) : in_(in), term_(out) {}
    ~Varnik()
    {
        if (points_ != nullptr) std::fclose(points_);
        if (out_ != nullptr && out_ != output_.stream()) std::fclose(out_);  // else output_ closes it
        if (err_ != nullptr) std::fclose(err_);
    }
    int run();
    int out_of_memory()
    {
        return abort_run(text::kOutOfMemory);
    }

private:
    void say(std::string_view text) { textio::write_text(term_, text); }
    // Writes the prompt and reads one line; ends the run when the terminal input ends.
    bool ask(const std::string& prompt, std::string& line);
    bool ask_name(const std::string& prompt, std::string& name);
    bool ask_yes(const std::string& prompt, bool& yes);
    // Writes the message into varnik.err, " Programmabbruch!" on the terminal; returns 1.
    int abort_run(const std::string& message);
    int abort_missing(const char* what, const std::string& name, textio::OpenStatus st);
    bool model_changed() const { return interp::stamp_of(model_name_) != model_.stamp(); }
    std::string changed_text() const
    {
        return text::kModelChangedBefore + model_name_ + text::kModelChangedAfter;
    }
    // The error file's text of a model outcome.
    std::string model_text(interp::Outcome o) const
    {
        return messages::model_message(o, model_name_, messages::Wording::Terminal);
    }
    bool same_file_as_input(const std::string& name) const;
    // The error file's text of a read error; a number with a decimal comma is named with its line.
    std::string read_error(const textio::FreeReader& reader) const
    {
        const textio::ReadFailure& f = reader.failure();
        std::string m = text::kReadError + point_name_;
        if (f.kind == textio::ReadFailure::Kind::DecimalComma)
            m += "\nZeile " + std::to_string(f.line) + ": \"" + f.text + "\"" + text::kDecimalComma;
        return m;
    }
    // Ends the run with `status`: false, for the caller to return exit_.
    bool stop(int status)
    {
        exit_ = status;
        return false;
    }
    bool choose_mode();  // the height questions with the height detection; false: the run has ended
    bool open_output();  // false: the run has been aborted, status in exit_
    bool open_existing_output();
    int abort_output(textio::OutputStatus st, const char* otherwise);
    int point_loop();

    // With an existing output: the lines go beside it until the run completes.
    std::string kept_note() const { return output_.keeps_old() ? text::kOutputUnchanged : ""; }

    std::FILE* in_;
    std::FILE* term_;
    textio::ReplacingOutput output_;
    FILE* err_ = nullptr;
    FILE* points_ = nullptr;
    FILE* out_ = nullptr;
    interp::ModelFile model_;
    interp::GridHeader grid_;
    std::string model_name_, point_name_, out_name_;
    Mode mode_ = Mode::Position;
    int exit_ = 0;
    std::int64_t continued_ = 0;  // points whose values stood on more than one line
    char buffer_[1 << 16];
};

bool Varnik::ask(const std::string& prompt, std::string& line)
{
    say(prompt);
    std::fflush(term_);
    line.clear();
    for (int c = std::getc(in_); c != EOF; c = std::getc(in_)) {
        if (c == '\n') return true;
        line.push_back(static_cast<char>(c));
    }
    if (!line.empty()) return true;  // last line without a line feed
    exit_ = abort_run(text::kTerminalEnded);
    return false;
}

bool Varnik::ask_name(const std::string& prompt, std::string& name)
{
    if (!ask(prompt, name)) return false;
    // The whole typed name, without trailing blanks (and the carriage return of a Windows line).
    while (!name.empty() && (name.back() == ' ' || name.back() == '\r')) name.pop_back();
    name = unquoted(name);
    return true;
}

bool Varnik::ask_yes(const std::string& prompt, bool& yes)
{
    std::string line;
    if (!ask(prompt, line)) return false;
    line = unquoted(line);
    yes = !line.empty() && (line[0] == 'j' || line[0] == 'J');
    return true;
}

int Varnik::abort_run(const std::string& message)
{
    if (err_ != nullptr) {
        std::fprintf(err_, "\n%s\n", message.c_str());
        std::fflush(err_);
    }
    // The reason on the terminal too, not only in the error file.
    if (!message.empty()) say("\n" + message);
    say(text::kAbort);
    std::fflush(term_);
    return 1;
}

int Varnik::abort_missing(const char* what, const std::string& name, textio::OpenStatus st)
{
    // A name that leads to no file is missing; a directory, a pipe or a file without rights
    // cannot be opened.
    const char* why = st == textio::OpenStatus::Missing ? text::kMissing : text::kCannotOpen;
    return abort_run(std::string(what) + text::kFileBefore + name + why + text::kRestart);
}

bool Varnik::same_file_as_input(const std::string& name) const
{
    return textio::same_file(model_.fd(), name) || textio::same_file(points_, name);
}

// The output file cannot be written, in varnik's words.
int Varnik::abort_output(textio::OutputStatus st, const char* otherwise)
{
    const char* why = st == textio::OutputStatus::Locked ? text::kOutputLocked
                      : st == textio::OutputStatus::NotAFile || st == textio::OutputStatus::Directory ? text::kOutputNotAFile
                                                                                                        : otherwise;
    return abort_run(text::kOutputBefore + out_name_ + why + text::kRestart);
}

// An existing output file: none of the run's other files, not written by another run now, and
// replaced only after yes to the overwrite question (it stays locked meanwhile). A file is
// written beside it and takes its place when the run completes; a device is emptied. False:
// the run has ended.
bool Varnik::open_existing_output()
{
    if (same_file_as_input(out_name_)) return stop(abort_run(text::kOutputBefore + out_name_ + text::kOutputIsInput + text::kRestart));
    // The results must not land in the file that holds the run's error message.
    if (err_ != nullptr && textio::same_file(err_, out_name_))
        return stop(abort_run(text::kOutputBefore + out_name_ + text::kOutputIsErrorFile + text::kRestart));
    textio::OutputStatus st;
    const int fd = textio::open_output(out_name_, st, textio::kKeep);
    if (fd < 0) return stop(abort_output(st, text::kOutputCannotOpen));
    bool yes = false;
    if (!ask_yes(text::kAskOverwriteBefore + out_name_ + text::kAskOverwriteAfter, yes) || !yes) {
        textio::close_file(fd);
        if (!yes && exit_ == 0) {
            say(text::kAbort);
            exit_ = 1;
        }
        return false;
    }
    const textio::OutputTarget where = textio::output_target(out_name_);
    if (where.kind == textio::OutputTarget::Kind::Regular) out_ = output_.open_beside(fd, where.path);
    else if (textio::empty_output(fd)) out_ = textio::stream_of(fd, "w");
    else textio::close_file(fd);
    if (out_ == nullptr) return stop(abort_run(text::kOutputBefore + out_name_ + text::kOutputCannotOpen + text::kRestart));
    return true;
}

bool Varnik::open_output()
{
    textio::OutputStatus st;
    const int fd = textio::open_output(out_name_, st, textio::kCreateNew);
    if (fd < 0 && st == textio::OutputStatus::Exists) {
        if (!open_existing_output()) return false;
    } else if (fd < 0) {
        return stop(abort_output(st, text::kOutputCannotCreate));
    } else if ((out_ = textio::stream_of(fd, "w")) == nullptr) {
        return stop(abort_run(text::kOutputBefore + out_name_ + text::kOutputCannotCreate + text::kRestart));
    }
    std::setvbuf(out_, buffer_, _IOFBF, sizeof buffer_);
    return true;
}

int Varnik::point_loop()
{
    textio::FreeReader reader(points_);
    // The nodes from memory within a fixed budget, or from the file: memory stays bounded
    // whatever the model's size.
    const std::unique_ptr<interp::NodeSource> source = interp::node_source(model_, grid_);
    const interp::NodeSource& nodes = *source;
    const int count = mode_ == Mode::Position ? 2 : 3;
    double v[3] = {0.0, 0.0, 0.0};
    std::string line;
    // Result lines are collected and written in large pieces; whatever was collected is written
    // before the loop ends for any reason.
    std::string batch;
    batch.reserve(textio::kWriteBatch + 128);
    const auto write_batch = [&] {
        std::fwrite(batch.data(), 1, batch.size(), out_);
        batch.clear();
    };
    for (;;) {
        if (batch.size() >= textio::kWriteBatch) write_batch();
        const textio::ReadStatus st = reader.read(v, count);
        if (st == textio::ReadStatus::End) break;
        if (st == textio::ReadStatus::Error) {
            write_batch();
            return abort_run(read_error(reader) + kept_note());
        }
        if (reader.continued()) ++continued_;
        const double b = v[0];
        const double l = v[1];
        double height = v[2];
        double n = interp::kNoValue;
        const interp::Outcome outcome = interp::interpolate(nodes, grid_, b, l, n);
        if (outcome == interp::Outcome::ReadError) {
            write_batch();
            return abort_run((model_changed() ? changed_text() : model_text(outcome)) + kept_note());
        }
        // Only a point outside the grid is reported; nodes without a value give the dummy quietly.
        // The bounds are tested again only for the rare points without a value.
        if (outcome == interp::Outcome::Outside && !interp::inside_grid(grid_, b, l)) {
            line.assign(text::kOutsideBefore);
            textio::put_fixed(line, b, 10, 6);
            textio::put_fixed(line, l, 10, 6);
            line.append(text::kOutsideAfter);
            say(line);
        }
        // A point without a value gets the no-value N as its height too.
        if (mode_ == Mode::Ellipsoidal) height = outcome != interp::Outcome::Ok ? n : height - n;
        else if (mode_ == Mode::Normal) height = outcome != interp::Outcome::Ok ? n : height + n;

        textio::put_fixed(batch, b, 11, 7);
        textio::put_fixed(batch, l, 11, 7);
        if (mode_ != Mode::Position) textio::put_fixed(batch, height, 11, 3);
        textio::put_fixed(batch, n, 11, 3);
        batch.push_back('\n');
    }
    write_batch();
    return 0;
}

bool Varnik::choose_mode()
{
    bool yes = false;
    if (!ask_yes(text::kAskHeights, yes)) return false;
    if (!yes) {
        mode_ = Mode::Position;
        say(text::kInfoPositions);
        return true;
    }
    // Height detection: read three numbers, go back to the line where that read ended and
    // read three again. The same B and L twice means the first line carries a height.
    textio::FreeReader reader(points_);
    double first[3], second[3];
    const textio::ReadStatus st1 = reader.read(first, 3);
    if (st1 == textio::ReadStatus::End)
        return stop(abort_run(text::kTooFewValuesBefore + point_name_ + text::kTooFewValuesAfter));
    if (st1 == textio::ReadStatus::Error) return stop(abort_run(read_error(reader)));
    reader.backspace();
    const textio::ReadStatus st2 = reader.read(second, 3);
    if (st2 == textio::ReadStatus::Error) return stop(abort_run(read_error(reader)));
    // The file ending in the second read means the first read spanned several lines: the
    // first line holds no height.
    if (st2 == textio::ReadStatus::Ok && first[0] == second[0] && first[1] == second[1]) {
        if (!ask_yes(text::kAskEllipsoidal, yes))
            return false;
        mode_ = yes ? Mode::Ellipsoidal : Mode::Normal;
        say(yes ? text::kInfoEllipsoidal : text::kInfoNormal);
    } else {
        say(text::kWarnNoHeights);
        mode_ = Mode::Position;
    }
    return true;
}

int Varnik::run()
{
    // Created empty at every start: it only ever holds the message of the latest run.
    textio::OutputStatus err_status;
    const int err_fd = textio::open_output(text::kErrorFile, err_status, textio::kNoLock);
    err_ = err_fd >= 0 ? textio::stream_of(err_fd, "w") : nullptr;
    if (err_ == nullptr) {
        say(text::kNoErrorFile);
        return abort_run("");
    }

    if (!ask_name(text::kAskModel, model_name_)) return exit_;
    textio::OpenStatus opened = textio::OpenStatus::Ok;
    if (!model_.open(model_name_, &opened))
        return opened == textio::OpenStatus::Missing ? abort_run(model_text(interp::Outcome::OpenError))
                                                     : abort_missing(text::kModelFile, model_name_, opened);

    if (!ask_name(text::kAskPoints, point_name_)) return exit_;
    points_ = textio::fopen_for_reading(point_name_, &opened);
    if (points_ == nullptr) return abort_missing(text::kPointFile, point_name_, opened);

    if (interp::read_header(model_, grid_) != interp::HeaderStatus::Ok)
        return abort_run(model_text(interp::Outcome::HeaderError));

    if (!choose_mode()) return exit_;

    if (!ask_name(text::kAskOutput, out_name_)) return exit_;
    if (!open_output()) return exit_;

    int status = point_loop();
    // Values read from a model that changed under the run may belong to neither version.
    if (status == 0 && model_changed()) status = abort_run(changed_text() + kept_note());
    bool written = true;
    if (out_ == output_.stream()) {
        // An existing file is replaced by a completed run only.
        const std::string note = kept_note();
        if (status == 0) written = output_.commit();
        else output_.abandon();
        if (!written) status = abort_run(text::kWriteError + out_name_ + note);
    } else {
        // Lines already written stay in a new output file, also after an error.
        written = textio::close_stream(out_);
        if (!written && status == 0) status = abort_run(text::kWriteError + out_name_);
    }
    out_ = nullptr;
    // A point file that does not fit the chosen heights reads across lines: say so last.
    if (status == 0 && continued_ > 0) say("\n " + messages::continued_hint(continued_, messages::Wording::Terminal) + "\n");
    std::fflush(term_);
    return status;
}

}  // namespace

int run_varnik(std::FILE* in, std::FILE* out)
{
    Varnik program(in, out);
    try {
        return program.run();
    } catch (const std::bad_alloc&) {
        return program.out_of_memory();
    }
}
