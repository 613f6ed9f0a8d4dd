// The frame of the desktop program: start-up, the event loop, the menu, the three main windows
// that replace each other at one place (start, point form, file form), viewers, shutdown.
#pragma once

#include <string>

#include "app/koordinaten.h"
#include "toolkit/toolkit.h"

namespace geoid {

/// Registers the dialogs and the menu with the toolkit (once per process).
void register_resources();
/// The part of it that is the same for every window system: the fields and the menu.
void register_field_setups();

/// Opens the root window and the start window, disables the two form commands.
void startup(Application& app);
/// Waits for events and dispatches them until "Beenden" or the close box of a main window.
void event_loop(Application& app);
/// Closes every open window and the root window.
void shutdown(Application& app);
/// The whole program: one application object, started, run and shut down.
void run();

/// Handles a menu item; sets quit_flag for "Beenden".
void processmenu(Application& app, int item, int& quit_flag);
/// Field changes of the forms (radio buttons of the point form), handled by the form whose
/// window posted them.
void processfield(Application& app, toolkit::EventKind kind, const toolkit::Event& event);
/// Push button `button` of the form in `window`; a window that is no longer open does nothing.
void processpushbutton(Application& app, int window, int button);

/// The main window a form command opens. The codes of the original dialogue are "Leer" (the
/// start window), "Inte" (the point form) and "Date" (the file form).
enum class FormMode { Start, Point, File, None };

/// Closes the open main window and opens the one `mode` names; None opens none.
void fenster(Application& app, FormMode mode);

/// Opens a viewer anew at its stored position (closing it first, keeping its place) with
/// `title`, and puts `text` into its field.
void open_viewer(Viewer& viewer, int dialog, int field, const std::string& title, const std::string& text);

}  // namespace geoid
