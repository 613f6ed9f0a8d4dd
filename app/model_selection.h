// The menu commands "Quasigeoidmodell" (choose and check the model file), "Info" and "Hilfe".
#pragma once

namespace geoid {

/// Lets the user choose a model file and checks it against its own header; unlocks the two
/// form commands on success, returns to the start window without a model otherwise.
void open_model();
/// The information dialog.
void show_info();
/// "geoid.readme" of the current working directory in the help viewer.
void show_help();

}  // namespace geoid
