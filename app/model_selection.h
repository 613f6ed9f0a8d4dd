// The menu commands "Quasigeoidmodell" (choose and check the model file), "Info" and "Hilfe".
#pragma once

#include "app/koordinaten.h"

namespace geoid {

/// Lets the user choose a model file and checks it against its own header; unlocks the two
/// form commands on success, returns to the start window without a model otherwise.
void open_model(Application& app);
/// The information dialog.
void show_info();
/// The help text in the help viewer: geoid.readme where the program started, beside it or in
/// its installed data folder, or else the copy the program carries.
void show_help(const Koordinaten& k, Viewer& help_viewer);

}  // namespace geoid
