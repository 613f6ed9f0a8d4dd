// Writes a dense model for benchmarks: the area of the sample model (B 46.5..56.5,
// L 2.5..16.5) at a spacing of SECONDS arc seconds (20" by default: 1801 x 2521 nodes, 18 MB of
// nodes; 6": 192 MiB; 3.6": 534 MiB), the values interpolated in the sample with a ripple of a
// few centimetres added so that neighbouring nodes differ. Written row by row.
// Usage: make_dense_model SAMPLE_MODEL OUTPUT [SECONDS]
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "interp/format.h"
#include "interp/query.h"

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: make_dense_model SAMPLE_MODEL OUTPUT [SECONDS]\n");
        return 2;
    }
    const double seconds = argc == 4 ? std::atof(argv[3]) : 20.0;
    const auto micro = static_cast<std::int32_t>(std::lround(seconds * 1e6));
    if (!(seconds >= 1.0 && seconds <= 60.0)) return 2;
    const interp::ModelQuery sample(argv[1]);
    const int rows = static_cast<int>(std::lround(10.0 * 3600.0 / seconds)) + 1;
    const int cols = static_cast<int>(std::lround(14.0 * 3600.0 / seconds)) + 1;
    const double step = seconds / 3600.0;
    const std::int32_t header[18] = {46, 30, 0, 56, 30, 0, 2, 30, 0, 16, 30, 0, 0, 0, micro, 0, 0, micro};
    std::FILE* f = std::fopen(argv[2], "wb");
    if (f == nullptr) return 1;
    std::string bytes;
    interp::put_records(bytes, header, 18);
    std::vector<std::int32_t> row(static_cast<std::size_t>(cols));
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    for (int r = 0; r < rows && ok; ++r) {
        const double b = std::clamp(56.5 - r * step, 46.5001, 56.4999);
        for (int c = 0; c < cols; ++c) {
            const double l = std::clamp(2.5 + c * step, 2.5001, 16.4999);
            double n = 0.0;
            if (sample.query(b, l, n) != interp::Outcome::Ok) {
                std::fprintf(stderr, "no model value at %.6f %.6f\n", b, l);
                return 1;
            }
            n += 0.03 * std::sin(b * 40.0) * std::cos(l * 55.0);
            row[static_cast<std::size_t>(c)] = static_cast<std::int32_t>(std::lround(n * 10000.0));
        }
        bytes.clear();
        interp::put_records(bytes, row.data(), row.size());
        ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    }
    return std::fclose(f) == 0 && ok ? 0 : 1;
}
