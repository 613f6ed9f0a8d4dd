#include "app/file_form.h"

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "app/checks.h"
#include "app/fields.h"
#include "filecalc/filecalc.h"
#include "app/ids.h"
#include "app/places.h"
#include "interp/query.h"
#include "messages/messages.h"
#include "app/shell.h"
#include "textio/textio.h"
#include "toolkit/toolkit.h"
#include "textio/viewer.h"
#include "messages/geoid.h"

namespace geoid {

namespace {

using messages::geoid::kAllFiles;
int progress_delay_ms = 500;

// The file computation's messages as the boxes over the file form; progress in a dialog
// that appears once a run takes longer than about half a second.
class BoxReporter final : public filecalc::Reporter {
public:
    ~BoxReporter() override { close_progress(); }
    void error(const std::string& message) override
    {
        close_progress();
        write_errcode(kFileDialog, message);
    }
    void finished(const std::string& message, const std::string& hint) override
    {
        close_progress();
        write_message(kFileDialog, hint.empty() ? message : message + "\r\n" + hint);
    }
    bool progress(std::int64_t bytes_read, std::int64_t bytes_total, std::int64_t points) override
    {
        if (!shown_) {
            if (std::chrono::steady_clock::now() - start_ < std::chrono::milliseconds(progress_delay_ms)) return true;
            toolkit::wprogressshow(messages::geoid::kProgressTitle);
            shown_ = true;
        }
        // One whole percentage for the bar and the text.
        const double share = bytes_total > 0 ? static_cast<double>(bytes_read) / static_cast<double>(bytes_total) : 0.0;
        const int percent = static_cast<int>(100.0 * std::clamp(share, 0.0, 1.0));
        const std::string text = messages::fill(messages::geoid::kProgress, {std::to_string(points), std::to_string(percent)});
        return toolkit::wprogressupdate(percent, text) == 0;
    }

private:
    void close_progress()
    {
        if (shown_) toolkit::wprogressclose();
        shown_ = false;
    }
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    bool shown_ = false;
};

void select_form(int file_window)
{
    toolkit::windowselect(file_window);
    toolkit::wdialogselect(kFileDialog);
}

// Lets the user choose a file; the old name is blanked first and stays blank after a cancel.
// The dialog opens in the folder of the file last chosen here, at first in that of the samples.
void choose_file(Koordinaten& k, int file_window, std::string& name, int field, int flags, const char* title)
{
    name.clear();
    select_form(file_window);
    toolkit::wdialogputstring(field, "");
    if (k.file_folder.empty()) k.file_folder = sample_folder();
    std::string path;
    toolkit::wselectfile2(kAllFiles, flags, path, title, k.file_folder);
    if (toolkit::winfodialog(4) != 1) return;
    name = textio::name_of(path);  // where a name enters the program
    k.file_folder = std::filesystem::absolute(std::filesystem::path(path)).parent_path().string();
    select_form(file_window);
    toolkit::wdialogputstring(field, name);
    update_file_form(k);
}

void view(int file_window, const std::string& name, Viewer& viewer, int dialog, int field)
{
    const std::string& path = name;
    if (path.empty()) return;
    const textio::ViewerText text = textio::read_viewer_text(path, messages::geoid::kViewerCut);
    if (text.status == textio::ViewerRead::OpenFailed) {
        // It exists but cannot be read (no rights, a directory, a pipe): say so.
        select_form(file_window);
        write_errcode(kFileDialog, messages::open_failed(path));
        return;
    }
    // After a read error what was read up to then is shown.
    open_viewer(viewer, dialog, field, path, text.text);
}

void compute(Koordinaten& k, int file_window)
{
    select_form(file_window);
    clear_reasons(kFileDialog);
    update_file_form(k);
    const Reading<filecalc::Job> options = readfields(k.job);
    if (!options.ok()) return;
    k.job = options.values;
    BoxReporter reporter;
    filecalc::geoidberechnung(k.job, reporter);
}

}  // namespace

void set_progress_delay(int milliseconds)
{
    progress_delay_ms = milliseconds;
}

namespace {

bool ticked(int field)
{
    int state = 0;
    toolkit::wdialoggetcheckbox(field, state);
    return state == 1;
}

// The number in an integer field, or -1 when its text is none within its bounds. An empty
// field of header lines means none.
int field_number(int id)
{
    const Field* f = find_field(kFileDialog, id);
    std::string text;
    toolkit::wdialoggetstring(f->id, text);
    std::int32_t n = 0;
    if (id == kFieldHeaderLines && textio::lench(text) == 0) return 0;
    if (!textio::text_to_int32(text, n) || n < f->lowest || n > f->highest) return -1;
    return n;
}

// The lists and check boxes of the form into `j`; the number fields are read by the caller.
void read_choices(filecalc::Job& j)
{
    toolkit::wdialoggetmenu1(kListInFormat, j.in_format);
    toolkit::wdialoggetmenu1(kListOutFormat, j.out_format);
    j.pnr_flag = ticked(kCheckPointNumber);
    int heights = 1, separator = 1;
    toolkit::wdialoggetmenu1(kListHeights, heights);
    toolkit::wdialoggetmenu1(kListSeparator, separator);
    // XYZ holds h: its list of heights is disabled and does not count.
    j.normal_heights = heights == 2 && j.in_format != 1;
    j.separator = separator == 2 ? filecalc::Separator::Semicolon
                  : separator == 3 ? filecalc::Separator::Tab
                  : separator == 4 ? filecalc::Separator::BlanksDecimalComma
                                   : filecalc::Separator::Blank;
    j.zone_prefix = ticked(kCheckZone);
    j.keep_rest = ticked(kCheckRest);
    j.output = ticked(kCheckTable) ? filecalc::Output::Table : filecalc::Output::Columns;
}

// The refusal of a number field: the warning, the focus, the reason.
int refuse_field(int id)
{
    toolkit::windowbell("");
    toolkit::wdialogsetfield(id);
    show_reason(kFileDialog, id);
    return id;
}

// The preview's text: each point as the computation would read it, value by value.
std::string preview_text(const filecalc::Job& job)
{
    namespace T = messages::geoid::form;
    std::string text;
    const std::vector<filecalc::PreviewLine> lines = filecalc::preview(job, kPreviewLines);
    bool points = false;
    for (const filecalc::PreviewLine& line : lines) {
        if (!text.empty()) text += "\r\n";
        if (!line.header.empty()) {
            text += line.header;
            continue;
        }
        points = true;
        if (!line.error.empty()) {
            text += textio::trim_trailing(line.error);
            continue;
        }
        text += messages::fill(T::kPreviewLine, {std::to_string(line.line)});
        for (const auto& [name, value] : line.values) text += "   " + name + " = " + value;
    }
    if (!points && !textio::name_of(job.input_file).empty()) text += (text.empty() ? "" : "\r\n") + std::string(T::kPreviewNoPoints);
    return text;
}

}  // namespace

Reading<filecalc::Job> readfields(const filecalc::Job& job)
{
    Reading<filecalc::Job> r{job, 0};
    filecalc::Job& j = r.values;
    read_choices(j);
    if (const int lines = field_number(kFieldHeaderLines); lines >= 0) j.header_lines = lines;
    else return r.failed_field = refuse_field(kFieldHeaderLines), r;
    if (!j.pnr_flag) return r;
    std::string text;
    toolkit::wdialoggetstring(kFieldPointNumberLength, text);
    std::int32_t length = 0;
    if (!textio::text_to_int32(text, length)) length = 0;
    j.pnr_length = length;
    if (field_number(kFieldPointNumberLength) < 0) r.failed_field = refuse_field(kFieldPointNumberLength);
    return r;
}

void update_file_form(const Koordinaten& k)
{
    filecalc::Job job = k.job;
    read_choices(job);
    toolkit::wdialogfieldstate(kListHeights, job.in_format == 1 ? 0 : 1);
    job.header_lines = field_number(kFieldHeaderLines);
    const std::string text =
        job.header_lines >= 0 ? preview_text(job) : check_reason(*find_field(kFileDialog, kFieldHeaderLines));
    toolkit::wdialogputstring(kPreview, text);
}

void file_form_field(const Koordinaten& k, int field1, int field2)
{
    if ((field1 == kFieldPointNumberLength || field1 == kFieldHeaderLines) && field2 == 0) clear_reasons(kFileDialog);
    update_file_form(k);
}

void show_file_names(const Koordinaten& k)
{
    toolkit::wdialogputstring(kFieldInputFile, k.job.input_file);
    toolkit::wdialogputstring(kFieldOutputFile, k.job.output_file);
}

void file_form_button(Application& app, int button)
{
    Koordinaten& k = app.koordinaten;
    Windows& w = app.windows;
    switch (button) {
    case kButtonInputFile:
        choose_file(k, w.file_window, k.job.input_file, kFieldInputFile, toolkit::kLoadDialog | toolkit::kPromptOn,
                    messages::geoid::kChooseInput);
        break;
    case kButtonOutputFile:
        choose_file(k, w.file_window, k.job.output_file, kFieldOutputFile,
                    toolkit::kSaveDialog | toolkit::kPromptOn | toolkit::kDirChange, messages::geoid::kChooseOutput);
        break;
    case kButtonComputeFile: compute(k, w.file_window); break;
    case kButtonViewInput:
        view(w.file_window, k.job.input_file, w.input_viewer, kInputViewerDialog, kInputViewerText);
        break;
    case kButtonViewOutput:
        view(w.file_window, k.job.output_file, w.output_viewer, kOutputViewerDialog, kOutputViewerText);
        break;
    default: break;
    }
}

}  // namespace geoid
