// What tests and tools may see of the toolkit beyond its operations: the widgets behind
// handles and fields, whether the program sits idle in its event wait, and a way to post
// events as if the user had caused them. Not for the program itself.
#pragma once

#include <QPalette>
#include <QRect>

#include "toolkit/toolkit.h"

namespace toolkit::testing {

/// True while the program waits in wmessage and no event is queued.
bool idle();
/// The top-level window of a handle (nullptr when closed).
QWidget* window_widget(int handle);
/// The current window's handle and the current dialog's identifier (0: none).
int current_window();
int current_dialog();
/// The widget of a field in the current dialog (nullptr when absent).
QWidget* field_widget(int field);
/// How often the warning has sounded.
int bell_count();
/// The available area of every screen from now on, as a screen of that size (in device-
/// independent pixels: 1920 x 1080 at 200 % is 960 x 540) would offer; a null rectangle gives
/// the screens' own back.
void set_screen_area(const QRect& area);
/// A dark palette as desktops with a dark theme give the program (light text on dark grey).
QPalette dark_palette();
/// Posts an event as if the user had caused it.
void post(const Event& event);

}  // namespace toolkit::testing
