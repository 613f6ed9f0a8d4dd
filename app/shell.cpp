#include "app/shell.h"

#include "app/fields.h"
#include "app/file_form.h"
#include "app/ids.h"
#include "app/model_selection.h"
#include "app/point_form.h"
#include "textio/files.h"
#include "textio/textio.h"
#include "messages/geoid.h"

namespace geoid {

namespace {

using namespace messages::geoid;

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

bool is_main_window(const Windows& w, int handle)
{
    return handle != 0 && (handle == w.start_window || handle == w.point_window || handle == w.file_window);
}

void close_request(Windows& w, int window, int& quit_flag)
{
    if (is_main_window(w, window)) {
        quit_flag = 1;
        return;
    }
    for (Viewer* v : {&w.input_viewer, &w.output_viewer, &w.help_viewer})
        if (window == v->handle) close_keeping_position(v->handle, v->pos);
}

// geoid.readme in the working directory of the start, as a full path.
std::string help_path()
{
    const std::string cwd = textio::current_directory();
    return cwd.empty() ? "geoid.readme" : cwd + "/geoid.readme";
}

}  // namespace

void startup(Application& app)
{
    app.koordinaten.help_file = help_path();
    toolkit::winitialise();
    toolkit::windowopen2();
    app.windows = Windows{};
    toolkit::windowopenchild2(app.windows.start_window, toolkit::kSysMenu | toolkit::kStatusBar, toolkit::kCentred,
                              toolkit::kCentred, kMenu, kStartDialog, kStartTitle);
    toolkit::wmenusetstate(kItemPointForm, 1, 0);
    toolkit::wmenusetstate(kItemFileForm, 1, 0);
    toolkit::wmessageenable(toolkit::EventKind::FieldChanged, 1);
}

void event_loop(Application& app)
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
            processmenu(app, event.value1, quit_flag);
            break;
        case toolkit::EventKind::PushButton: processpushbutton(app, event.window, event.value1); break;
        case toolkit::EventKind::CloseRequest: close_request(app.windows, event.window, quit_flag); break;
        case toolkit::EventKind::FieldChanged: processfield(app, kind, event); break;
        case toolkit::EventKind::None: break;
        }
    }
}

void shutdown(Application& app)
{
    Windows& w = app.windows;
    for (int* handle : {&w.start_window, &w.point_window, &w.file_window, &w.input_viewer.handle,
                        &w.output_viewer.handle, &w.help_viewer.handle}) {
        if (*handle != 0) toolkit::windowclosechild(*handle);
        *handle = 0;
    }
    toolkit::windowclose();
}

void run()
{
    Application app;
    startup(app);
    event_loop(app);
    shutdown(app);
}

void processmenu(Application& app, int item, int& quit_flag)
{
    switch (item) {
    case kItemModel: open_model(app); break;
    case kItemPointForm: fenster(app, FormMode::Point); break;
    case kItemFileForm: fenster(app, FormMode::File); break;
    case kItemHelp: show_help(app.koordinaten, app.windows.help_viewer); break;
    case kItemInfo: show_info(); break;
    case kItemQuit: quit_flag = 1; break;
    default: break;
    }
}

void processfield(Application& app, toolkit::EventKind, const toolkit::Event& event)
{
    // Only the form that posted the event handles it; one replaced since then has no window.
    Windows& w = app.windows;
    if (event.window == 0) return;
    if (event.window == w.point_window) point_form_field(w.point_shown, event.value1, event.value2);
    else if (event.window == w.file_window) file_form_field(app.koordinaten, event.value1, event.value2);
}

void processpushbutton(Application& app, int window, int button)
{
    Windows& w = app.windows;
    if (window == 0) return;
    if (window == w.point_window) point_form_button(app.koordinaten, w, button);
    else if (window == w.file_window) file_form_button(app, button);
}

void fenster(Application& app, FormMode mode)
{
    Windows& w = app.windows;
    close_keeping_position(w.start_window, w.form_pos);
    close_keeping_position(w.point_window, w.form_pos);
    close_keeping_position(w.file_window, w.form_pos);
    const std::string& model = app.koordinaten.job.model_file;
    switch (mode) {
    case FormMode::Start:
        toolkit::windowopenchild2(w.start_window, toolkit::kSysMenu | toolkit::kMinButton | toolkit::kStatusBar,
                                  w.form_pos.x, w.form_pos.y, kMenu, kStartDialog, kStartTitleAgain);
        toolkit::wmenusetstate(kItemPointForm, 1, 0);
        toolkit::wmenusetstate(kItemFileForm, 1, 0);
        break;
    case FormMode::Point:
        w.point_shown = false;
        toolkit::windowopenchild2(w.point_window, toolkit::kSysMenu | toolkit::kMinButton | toolkit::kStatusBar,
                                  w.form_pos.x, w.form_pos.y, kMenu, kPointDialog, kPointTitle);
        toolkit::windowoutstatusbar(1, model);
        toolkit::wdialogsetfield(kFieldB);
        break;
    case FormMode::File:
        toolkit::windowopenchild2(w.file_window, toolkit::kSysMenu | toolkit::kMinButton | toolkit::kStatusBar,
                                  w.form_pos.x, w.form_pos.y, kMenu, kFileDialog, kFileTitle);
        toolkit::wdialogfieldstate(kFieldInputFile, 0);
        toolkit::wdialogfieldstate(kFieldOutputFile, 0);
        show_file_names(app.koordinaten);
        toolkit::wdialogputstring(kFieldHeaderLines, "0");
        update_file_form(app.koordinaten);
        toolkit::windowoutstatusbar(1, model);
        toolkit::wdialogsetfield(kButtonComputeFile);
        break;
    case FormMode::None: break;
    }
}

void open_viewer(Viewer& viewer, int dialog, int field, const std::string& title, const std::string& text)
{
    close_keeping_position(viewer.handle, viewer.pos);
    toolkit::windowopenchild2(viewer.handle, toolkit::kSysMenu, viewer.pos.x, viewer.pos.y, 0, dialog, title);
    toolkit::wdialogputstring(field, text);
}

}  // namespace geoid
