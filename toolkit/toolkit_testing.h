// What tests and tools may see of the Qt build beyond toolkit/testing.h: the widgets behind
// handles and fields, the screens' area and a dark palette. Not for the program itself.
#pragma once

#include <QPalette>
#include <QRect>

#include "toolkit/testing.h"
#include "toolkit/toolkit.h"

namespace toolkit::testing {

/// The top-level window of a handle (nullptr when closed).
QWidget* window_widget(int handle);
/// The widget of a field in the current dialog (nullptr when absent).
QWidget* field_widget(int field);
/// The available area of every screen from now on, as a screen of that size (in device-
/// independent pixels: 1920 x 1080 at 200 % is 960 x 540) would offer; a null rectangle gives
/// the screens' own back.
void set_screen_area(const QRect& area);
/// A dark palette as desktops with a dark theme give the program (light text on dark grey).
QPalette dark_palette();

}  // namespace toolkit::testing
