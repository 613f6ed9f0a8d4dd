// The text grid reader of geoidmodell on fuzzed files: lines "B L N" in either order, any
// no-data value. A read must end; a grid read has at least two rows and columns, a positive
// spacing and one value (or none) per node.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "geoidmodell/text_grid.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    static const std::string path = [] {
        char name[] = "/tmp/fuzz-textgrid-XXXXXX";
        const int fd = mkstemp(name);
        if (fd >= 0) close(fd);
        return std::string(name);
    }();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return 0;
    std::fwrite(data + 1, 1, size - 1, f);
    std::fclose(f);
    modelltool::TextGridOptions options;
    options.longitude_first = data[0] & 1;
    if (data[0] & 2) options.no_data = -9999.0;
    modelltool::TextGrid grid;
    std::string error;
    bool first_line_bad = false;
    if (modelltool::read_text_grid(path, options, grid, error, first_line_bad)) {
        if (grid.rows < 2 || grid.cols < 2 || !(grid.db > 0) || !(grid.dl > 0) ||
            grid.values.size() != static_cast<std::size_t>(grid.rows * grid.cols))
            std::abort();
    } else if (error.empty()) {
        std::abort();
    }
    return 0;
}
