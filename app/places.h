// Where the desktop program finds its files: the help text and the sample data.
#pragma once

#include <string>
#include <vector>

namespace geoid {

/// The folders that may hold the program's data, in the order they are tried: beside the
/// program, then the data folder of an installation (share/geoid next to its bin/).
std::vector<std::string> data_folders();

/// The help text for the viewer: the first readable geoid.readme of the working directory the
/// program started in (`start_help`, a full path), the data folders, or else the copy built
/// into the program. Nothing is created anywhere.
std::string help_text(const std::string& start_help);

/// The folder of the sample coordinate files, where the file form's dialogs first open; empty
/// when there is none.
std::string sample_folder();

}  // namespace geoid
