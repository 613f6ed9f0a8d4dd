// The quasigeoid as national agencies publish it: a text file of lines "B L N" (decimal degrees
// on ETRS89, metres), one node per line, no header, no-data written as 999999. Spacing and
// limits are found from the nodes; a node missing from the file has no value.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace modelltool {

struct TextGridOptions {
    double no_data = 999999.0;   ///< the value that stands for no value (--kein-wert)
    bool longitude_first = false;  ///< lines "L B N" (--reihenfolge lbn)
};

/// The grid of a text file: limits and spacing in degrees, values north to south and west to
/// east (NaN: no value).
struct TextGrid {
    double south = 0, north = 0, west = 0, east = 0, db = 0, dl = 0;
    std::int64_t rows = 0, cols = 0;
    std::vector<double> values;
};

/// Reads `path` as a text grid. False with the message in `error` (which names the line) for a
/// line that is not three numbers, a node off the regular spacing, a node given twice, or fewer
/// than two rows or columns; `first_line_bad` when the file cannot be opened or already its first
/// line is no such line (the file is then perhaps no text grid at all).
bool read_text_grid(const std::string& path, const TextGridOptions& options, TextGrid& grid, std::string& error,
                    bool& first_line_bad);

/// The same from an open file read twice, named `path` in messages. A file that changes
/// between the two passes is refused with the first line that differs. `between_passes`, when
/// given, runs between them (the tests change the file there).
bool read_text_grid(std::FILE* f, const std::string& path, const TextGridOptions& options, TextGrid& grid,
                    std::string& error, bool& first_line_bad, const std::function<void()>& between_passes);

}  // namespace modelltool
