// The Win32 build's state, shared by its parts. Windows and dialogs are the system's own: a
// form is a child dialog (DS_CONTROL) from a DIALOGEX template of the program's resources,
// inside a top-level window with the menu and the status bar; modal dialogs are popups from
// the same templates. Controls carry their resource numbers as their identifiers.
#pragma once

#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0A00  // Windows 10: per-monitor scaling, subclassing through comctl32
#endif
#ifndef UNICODE
#define UNICODE  // the wide forms of the system's names (IDC_ARROW, the control classes)
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/toolkit.h"

namespace toolkit::detail {

std::wstring wide(std::string_view s);
std::string narrow(std::wstring_view w);
/// A program's text for a control: lone line feeds become CR LF, as edit controls want them.
std::wstring control_text(std::string_view s);
/// A control's text for the program (CR LF as it stands).
std::string text_of(HWND control);

/// The queue of the program's events. Waiting runs the system's message loop.
class EventPump {
public:
    void post(const Event& e);
    Event wait();
    bool idle() const { return queue_.empty() && waiting_; }
    void enable_field_changes(bool on) { field_changes_ = on; }
    void clear() { queue_.clear(); }

private:
    std::deque<Event> queue_;
    bool field_changes_ = false;
    bool waiting_ = false;
};

/// Takes one message of the thread's queue through the dialogs' keyboard handling (Tab, access
/// keys, Return, Escape) and dispatches it; false when WM_QUIT came.
bool pump_one(bool wait);

struct Window {
    HWND hwnd = nullptr;
    HWND dialog = nullptr;
    int dialog_id = 0;
    HWND status = nullptr;
    HMENU menu = nullptr;
    std::wstring status_text;
    HWND last_focus = nullptr;  ///< where the keyboard was when the window was left
    SIZE content{};             ///< the dialog's size: what scrolls when the window is smaller
    POINT scrolled{};
};

struct LoadedDialog {
    int id = 0;
    HWND hwnd = nullptr;
    bool ended = false;
};

struct State {
    HINSTANCE instance = nullptr;
    std::map<int, std::vector<FieldSetup>> fields;
    std::map<int, std::vector<MenuItem>> menus;
    EventPump pump;
    HWND root = nullptr;
    std::map<int, Window> windows;
    int next_handle = 1;
    int current_window = 0;
    int current_dialog_id = 0;
    HWND current_dialog = nullptr;
    std::vector<LoadedDialog> loaded;
    int file_dialog_ok = 0;
    int bells = 0;
    int setting_text = 0;  ///< > 0 while the program itself changes a control's text
    HWND progress = nullptr;
};

State& st();

/// The current window, or nullptr when none is open.
Window* current();
/// Enables or disables input to every window of the program (around a modal dialog).
void enable_windows(bool on);
/// Field `id` of the current dialog, or nullptr.
HWND current_field(int id);
/// True when `control` is of the window class `name` ("Edit", "Static", ...).
bool is_class(HWND control, const wchar_t* name);
/// The system's message font (at the system's scale).
LOGFONTW message_font();
/// The window whose dialog is `dialog`, or nullptr.
Window* window_of_dialog(HWND dialog);
/// The owner of a modal dialog: the current window, if any.
HWND modal_owner();
/// Handle of the window `hwnd` (a top-level window of ours), 0 when none.
int handle_of(HWND hwnd);

/// Creates dialog `id` of the program's resources in the system's message font: as a child
/// control of `parent` (a form in a window) or as a popup owned by it. nullptr when the
/// resources have no such dialog.
HWND create_dialog(int id, HWND parent, bool child);
/// Gives a dialog's controls what register_fields said of them.
void apply_fields(HWND dialog, int id);
/// The dialog procedure of every dialog: controls' notifications become the window's events.
INT_PTR CALLBACK dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

/// Width in pixels a text field needs to show `chars` of the widest digit whole, in its font.
int needed_width(HWND edit, int chars);

/// Draws the picture of the Info dialog into `dc` within `r`.
void draw_info_picture(HDC dc, const RECT& r);

/// Tells screen readers that `control` has something to announce (a reason that appeared).
void announce(HWND control);
/// Sets what screen readers call a control, and what they say of it beyond its name.
void set_accessible_name(HWND control, const std::wstring& name);
void set_accessible_description(HWND control, const std::wstring& text);

}  // namespace toolkit::detail
