// Module koordinaten: the record of the desktop program that outlives a handler. The forms
// write it from their fields, the converter and the model query read and write it, the forms
// read it back. The application object (app/shell.h) owns the one instance.
#pragma once

#include <string>

#include "convert/convert.h"
#include "filecalc/filecalc.h"

namespace geoid {

/// What the file form hands a file computation (`job`), the point of the point form in all
/// five systems with its N and H, and where the program finds its files.
struct Koordinaten {
    Koordinaten() { job.in_format = job.out_format = 0; }
    filecalc::Job job;
    convert::Coordinates point;
    double height_anomaly = 0;
    double normal_height = 0;
    std::string help_file;    ///< geoid.readme of the working directory at start-up, as a full path
    std::string file_folder;  ///< folder of the file last chosen in the file form
};

/// A screen position in pixels.
struct Position {
    int x = 0;
    int y = 0;
};

/// A viewer window: its handle (0 while closed) and where it last stood.
struct Viewer {
    int handle = 0;
    Position pos;
};

/// The program's windows: the three main windows that replace each other at one place (at
/// most one is open), and the three viewers that come and go on their own.
struct Windows {
    int start_window = 0;
    int point_window = 0;
    int file_window = 0;
    Position form_pos;  ///< last position of the start, point or file window
    bool point_shown = false;  ///< the point form shows a computed point in every system
    Viewer input_viewer, output_viewer, help_viewer;
};

/// The running program: the record and the windows. The event loop owns the one instance and
/// hands each handler what it uses.
struct Application {
    Koordinaten koordinaten;
    Windows windows;
};

}  // namespace geoid
