#include "app/shell.h"

#include <unistd.h>

#include "app/fields.h"
#include "app/file_form.h"
#include "app/ids.h"
#include "app/model_selection.h"
#include "app/point_form.h"
#include "textio/textio.h"

namespace geoid {

namespace {

const char* const kStartTitle = "Quasigeoidh\xC3\xB6henberechnung";
const char* const kStartTitleAgain = "Quasigeoidberechnung";
const char* const kPointTitle = "Quasigeoidberechnung Interaktive Eingabe - Koordinaten im ETRS89";
const char* const kFileTitle = "Quasigeoidberechnung Dateieingabe";

// Stores the current window's position and closes it.
void close_keeping_position(int& handle, Position& pos)
{
    if (handle == 0) return;
    toolkit::windowselect(handle);
    pos.x = toolkit::winfowindow(5);
    pos.y = toolkit::winfowindow(6);
    toolkit::windowclosechild(handle);
    handle = 0;
}

bool is_main_window(int handle)
{
    const Koordinaten& k = koordinaten;
    return handle != 0 && (handle == k.start_window || handle == k.point_window || handle == k.file_window);
}

void close_request(int window, int& quit_flag)
{
    Koordinaten& k = koordinaten;
    if (is_main_window(window)) {
        quit_flag = 1;
    } else if (window == k.input_viewer) {
        close_keeping_position(k.input_viewer, k.input_viewer_pos);
    } else if (window == k.output_viewer) {
        close_keeping_position(k.output_viewer, k.output_viewer_pos);
    } else if (window == k.help_viewer) {
        close_keeping_position(k.help_viewer, k.help_viewer_pos);
    }
}

// geoid.readme in the working directory of the start, as a full path.
std::string help_path()
{
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd) == nullptr) return "geoid.readme";
    return std::string(cwd) + "/geoid.readme";
}

}  // namespace

void startup()
{
    Koordinaten& k = koordinaten;
    k.help_file = help_path();
    toolkit::winitialise();
    toolkit::windowopen2();
    k.start_window = k.point_window = k.file_window = 0;
    k.input_viewer = k.output_viewer = k.help_viewer = 0;
    toolkit::windowopenchild2(k.start_window, toolkit::kSysMenu | toolkit::kStatusBar, toolkit::kCentred,
                              toolkit::kCentred, kMenu, kStartDialog, kStartTitle);
    toolkit::wmenusetstate(kItemPointForm, 1, 0);
    toolkit::wmenusetstate(kItemFileForm, 1, 0);
    toolkit::wmessageenable(toolkit::EventKind::FieldChanged, 1);
}

void event_loop()
{
    int quit_flag = 0;
    while (quit_flag == 0) {
        toolkit::EventKind kind = toolkit::EventKind::None;
        toolkit::Event event;
        toolkit::wmessage(kind, event);
        switch (kind) {
        case toolkit::EventKind::MenuSelect:
            // The menu belongs to the window it was chosen in: status bar and items are that
            // window's, even when a viewer was the current window before.
            toolkit::windowselect(event.window);
            processmenu(event.value1, quit_flag);
            break;
        case toolkit::EventKind::PushButton: processpushbutton(event.window, event.value1); break;
        case toolkit::EventKind::Expose: toolkit::windowselect(event.window); break;
        case toolkit::EventKind::CloseRequest: close_request(event.window, quit_flag); break;
        case toolkit::EventKind::FieldChanged: processfield(kind, event); break;
        case toolkit::EventKind::None: break;
        }
    }
}

void shutdown()
{
    Koordinaten& k = koordinaten;
    for (int* handle : {&k.start_window, &k.point_window, &k.file_window, &k.input_viewer, &k.output_viewer,
                        &k.help_viewer}) {
        if (*handle != 0) toolkit::windowclosechild(*handle);
        *handle = 0;
    }
    toolkit::windowclose();
}

void run()
{
    startup();
    event_loop();
    shutdown();
}

void processmenu(int item, int& quit_flag)
{
    switch (item) {
    case kItemModel: open_model(); break;
    case kItemPointForm: fenster("Inte"); break;
    case kItemFileForm: fenster("Date"); break;
    case kItemHelp: show_help(); break;
    case kItemInfo: show_info(); break;
    case kItemQuit: quit_flag = 1; break;
    default: break;
    }
}

void processfield(toolkit::EventKind, const toolkit::Event& event)
{
    // Only the form that posted the event handles it; one replaced since then has no window.
    if (event.window != 0 && event.window == koordinaten.point_window) point_form_field(event.value1, event.value2);
}

void processpushbutton(int window, int button)
{
    const Koordinaten& k = koordinaten;
    if (window == 0) return;
    if (window == k.point_window) point_form_button(button);
    else if (window == k.file_window) file_form_button(button);
}

void fenster(const std::string& mode)
{
    Koordinaten& k = koordinaten;
    close_keeping_position(k.start_window, k.form_pos);
    close_keeping_position(k.point_window, k.form_pos);
    close_keeping_position(k.file_window, k.form_pos);
    const std::string model(textio::trim_trailing(k.model_file));
    if (mode == "Leer") {
        toolkit::windowopenchild2(k.start_window, toolkit::kSysMenu | toolkit::kMinButton | toolkit::kStatusBar,
                                  k.form_pos.x, k.form_pos.y, kMenu, kStartDialog, kStartTitleAgain);
        toolkit::wmenusetstate(kItemPointForm, 1, 0);
        toolkit::wmenusetstate(kItemFileForm, 1, 0);
    } else if (mode == "Inte") {
        toolkit::windowopenchild2(k.point_window, toolkit::kSysMenu | toolkit::kMinButton | toolkit::kStatusBar,
                                  k.form_pos.x, k.form_pos.y, kMenu, kPointDialog, kPointTitle);
        toolkit::windowoutstatusbar(1, model);
        toolkit::wdialogsetfield(kFieldB);
    } else if (mode == "Date") {
        toolkit::windowopenchild2(k.file_window, toolkit::kSysMenu | toolkit::kMinButton | toolkit::kStatusBar,
                                  k.form_pos.x, k.form_pos.y, kMenu, kFileDialog, kFileTitle);
        toolkit::wdialogfieldstate(kFieldInputFile, 0);
        toolkit::wdialogfieldstate(kFieldOutputFile, 0);
        show_file_names();
        toolkit::windowoutstatusbar(1, model);
        toolkit::wdialogsetfield(kButtonComputeFile);
    }
}

void open_viewer(int& handle, Position& pos, int dialog, int field, const std::string& title, const std::string& text)
{
    close_keeping_position(handle, pos);
    toolkit::windowopenchild2(handle, toolkit::kSysMenu, pos.x, pos.y, 0, dialog, title);
    toolkit::wdialogputstring(field, text);
}

}  // namespace geoid
