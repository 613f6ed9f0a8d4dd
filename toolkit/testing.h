// What tests may see and do of the toolkit beyond its operations, the same for every window
// system: controls by their resource numbers, events as a user would cause them, steps run
// while the program waits for its next event, and modal dialogs answered instead of shown.
// Not for the program itself.
#pragma once

#include <deque>
#include <functional>
#include <string>

#include "toolkit/toolkit.h"

namespace toolkit::testing {

/// True while the program waits in wmessage and no event is queued.
bool idle();
/// The current window's handle and the current dialog's identifier (0: none).
int current_window();
int current_dialog();
/// How often the warning has sounded.
int bell_count();
/// Posts an event as if the user had caused it.
void post(const Event& event);

/// Steps run one at a time, each when the program waits for an event and none is queued, as a
/// user acts between the program's events. Replaces steps not yet run.
void when_idle(std::deque<std::function<void()>> steps);
/// True when every step has run.
bool steps_done();

/// A modal dialog, file dialog, message box or progress update the program asked for.
struct Modal {
    enum class Kind { Dialog, FileDialog, Message, Progress };
    Kind kind = Kind::Dialog;
    int dialog = 0;     ///< Dialog: its resource number
    int percent = 0;    ///< Progress: the share done
    std::string title;
    std::string text;   ///< Dialog: the texts of its fields, one per line; else the text shown
};
/// From now on each modal is not shown but handed to `answer`: a file dialog takes the path it
/// returns (empty: cancelled), a progress update is cancelled by "cancel"; dialogs and message
/// boxes end at once. An empty function shows them again.
void answer_modals(std::function<std::string(const Modal&)> answer);

/// Fields of the current dialog.
bool has_field(int field);
std::string field_text(int field);
/// A text field the user can type in (not read-only), another control that is enabled.
bool field_takes_input(int field);
/// The field of the current dialog that has the keyboard focus (0: none of them).
int focused_field();
/// As the user types: the field's text replaced, the change reported as typed.
void type_into(int field, const std::string& text);
/// As a click of the user on a button, check box or radio button.
void click(int field);
/// As the user chooses entry `index` (from 0) of a list.
void choose(int field, int index);
/// True when a text field is wide enough to show `chars` of the widest digit whole.
bool shows_whole(int field, int chars);

/// Windows by handle.
bool window_open(int handle);
std::string window_title(int handle);
std::string status_text(int handle);
bool menu_enabled(int handle, int item);
/// True when the window, frame included, lies inside the available area of its screen.
bool window_on_screen(int handle);

}  // namespace toolkit::testing
