#include "app/file_form.h"

#include <chrono>

#include "app/checks.h"
#include "app/fields.h"
#include "filecalc/filecalc.h"
#include "app/ids.h"
#include "app/koordinaten.h"
#include "interp/query.h"
#include "messages/messages.h"
#include "app/shell.h"
#include "textio/textio.h"
#include "toolkit/toolkit.h"
#include "textio/viewer.h"

namespace geoid {

namespace {

constexpr const char* kAllFiles = "alle Dateien (*.*)|*.*|";
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
    void finished(const std::string& message) override
    {
        close_progress();
        write_message(kFileDialog, message);
    }
    bool progress(std::int64_t bytes_read, std::int64_t bytes_total, std::int64_t points) override
    {
        if (!shown_) {
            if (std::chrono::steady_clock::now() - start_ < std::chrono::milliseconds(progress_delay_ms)) return true;
            toolkit::wprogressshow("Berechnung");
            shown_ = true;
        }
        const int permille = bytes_total > 0 ? static_cast<int>(1000.0 * static_cast<double>(bytes_read) /
                                                                static_cast<double>(bytes_total))
                                             : 0;
        const std::string text = std::to_string(points) + " Punkte berechnet, " + std::to_string(permille / 10) +
                                 " % der Eingabedatei gelesen";
        return toolkit::wprogressupdate(permille, text) == 0;
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

void select_form()
{
    toolkit::windowselect(koordinaten.file_window);
    toolkit::wdialogselect(kFileDialog);
}

// Lets the user choose a file; the old name is blanked first and stays blank after a cancel.
void choose_file(std::string& name, int field, int flags, const char* title)
{
    name.clear();
    select_form();
    toolkit::wdialogputstring(field, "");
    std::string path;
    toolkit::wselectfile2(kAllFiles, flags, path, title);
    if (toolkit::winfodialog(4) != 1) return;
    name = path;
    select_form();
    toolkit::wdialogputstring(field, name);
}

void view(const std::string& name, int& handle, Position& pos, int dialog, int field)
{
    const std::string path(textio::trim_trailing(name));
    if (textio::actual_length(path) == 0) return;
    const textio::ViewerText text = textio::read_viewer_text(path);
    if (text.status == textio::ViewerRead::OpenFailed) {
        // It exists but cannot be read (no rights, a directory, a pipe): say so.
        select_form();
        write_errcode(kFileDialog, messages::kOpenFailed + path);
        return;
    }
    // After a read error what was read up to then is shown.
    open_viewer(handle, pos, dialog, field, path, text.text);
}

void compute()
{
    Koordinaten& k = koordinaten;
    select_form();
    k.field_error = 0;
    read_file_form_fields();
    if (k.field_error != 0) return;
    filecalc::Job job;
    job.model_file = k.model_file;
    job.input_file = k.input_file;
    job.output_file = k.output_file;
    job.in_format = k.in_format;
    job.out_format = k.out_format;
    job.pnr_flag = k.pnr_flag;
    job.pnr_length = k.pnr_length;
    filecalc::Working working;
    working.point = k.point;
    working.height_anomaly = k.height_anomaly;
    working.normal_height = k.normal_height;
    BoxReporter reporter;
    const filecalc::Summary outcome = filecalc::geoidberechnung(job, working, reporter);
    k.point = working.point;
    k.height_anomaly = working.height_anomaly;
    k.normal_height = working.normal_height;
    k.field_error = outcome.field_error;
}

}  // namespace

void set_progress_delay(int milliseconds)
{
    progress_delay_ms = milliseconds;
}

void read_file_form_fields()
{
    Koordinaten& k = koordinaten;
    int index = 0;
    toolkit::wdialoggetmenu1(kListInFormat, index);
    k.in_format = index;
    toolkit::wdialoggetmenu1(kListOutFormat, index);
    k.out_format = index;
    int ticked = 0;
    toolkit::wdialoggetcheckbox(kCheckPointNumber, ticked);
    k.pnr_flag = ticked;
    if (k.pnr_flag != 1) return;
    const Field* f = find_field(kFileDialog, kFieldPointNumberLength);
    std::string text;
    toolkit::wdialoggetstring(f->id, text);
    std::int32_t length = 0;
    if (!textio::text_to_int32(text, length)) length = 0;
    k.pnr_length = length;
    if (length < f->lowest || length > f->highest) {
        toolkit::windowbell("");
        k.field_error = 1;
        toolkit::wdialogsetfield(f->id);
    }
}

void show_file_names()
{
    toolkit::wdialogputstring(kFieldInputFile, koordinaten.input_file);
    toolkit::wdialogputstring(kFieldOutputFile, koordinaten.output_file);
}

void file_form_button(int button)
{
    Koordinaten& k = koordinaten;
    switch (button) {
    case kButtonInputFile:
        choose_file(k.input_file, kFieldInputFile, toolkit::kLoadDialog | toolkit::kPromptOn, "Name der Koordinatendatei");
        break;
    case kButtonOutputFile:
        choose_file(k.output_file, kFieldOutputFile, toolkit::kSaveDialog | toolkit::kPromptOn | toolkit::kDirChange,
                    "Name der Ergebnisdatei");
        break;
    case kButtonComputeFile: compute(); break;
    case kButtonViewInput: view(k.input_file, k.input_viewer, k.input_viewer_pos, kInputViewerDialog, kInputViewerText); break;
    case kButtonViewOutput:
        view(k.output_file, k.output_viewer, k.output_viewer_pos, kOutputViewerDialog, kOutputViewerText);
        break;
    default: break;
    }
}

}  // namespace geoid
