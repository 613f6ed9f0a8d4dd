// Module koordinaten: the one block of state of the desktop program that outlives a handler.
// Forms write it from their fields, the converter and the model query read and write it.
#pragma once

#include <cstdint>
#include <string>

#include "convert/convert.h"

namespace geoid {

struct Position {
    int x = 0;
    int y = 0;
};

struct Koordinaten {
    std::string model_file;   ///< chosen quasigeoid model, blank (empty) until one passed its check
    std::string input_file;   ///< coordinate input file of the file form
    std::string output_file;  ///< result file of the file form
    std::string help_file;    ///< geoid.readme of the working directory at start-up, as a full path

    convert::Coordinates point;  ///< the point in all five systems (cart_x ... utm_east)
    double height_anomaly = 0;   ///< N in metres; 999999.0 marks a missing value
    double normal_height = 0;    ///< H in metres

    std::int32_t in_format = 0;   ///< 1..7
    std::int32_t out_format = 0;  ///< 1..7
    std::int32_t pnr_flag = 0;    ///< 1: point number in column 1
    std::int32_t pnr_length = 0;  ///< 1..30
    std::int32_t field_error = 0;

    // Window handles, 0 while the window is closed.
    int start_window = 0;
    int point_window = 0;
    int file_window = 0;
    int input_viewer = 0;
    int output_viewer = 0;
    int help_viewer = 0;

    Position form_pos;  ///< last position of the start, point or file window
    Position input_viewer_pos, output_viewer_pos, help_viewer_pos;
};

/// The program's one instance.
extern Koordinaten koordinaten;

}  // namespace geoid
