// Writes a dense model for benchmarks: the area of the sample model (B 46.5..56.5,
// L 2.5..16.5) at a spacing of 20" (1801 x 2521 nodes, 18 MB of nodes), the values
// interpolated in the sample with a ripple of a few centimetres added so that neighbouring
// nodes differ. Usage: make_dense_model SAMPLE_MODEL OUTPUT
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "interp/query.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_dense_model SAMPLE_MODEL OUTPUT\n");
        return 2;
    }
    const interp::ModelQuery sample(argv[1]);
    constexpr int kRows = 1801, kCols = 2521;
    constexpr double kStep = 20.0 / 3600.0;
    const std::int32_t header[18] = {46, 30, 0, 56, 30, 0, 2, 30, 0, 16, 30, 0, 0, 0, 20000000, 0, 0, 20000000};
    std::vector<std::int32_t> records(header, header + 18);
    records.reserve(18 + static_cast<std::size_t>(kRows) * kCols);
    for (int r = 0; r < kRows; ++r) {
        const double b = std::clamp(56.5 - r * kStep, 46.5001, 56.4999);
        for (int c = 0; c < kCols; ++c) {
            const double l = std::clamp(2.5 + c * kStep, 2.5001, 16.4999);
            double n = 0.0;
            if (sample.query(b, l, n) != interp::Outcome::Ok) {
                std::fprintf(stderr, "no model value at %.6f %.6f\n", b, l);
                return 1;
            }
            n += 0.03 * std::sin(b * 40.0) * std::cos(l * 55.0);
            records.push_back(static_cast<std::int32_t>(std::lround(n * 10000.0)));
        }
    }
    std::FILE* f = std::fopen(argv[2], "wb");
    if (f == nullptr) return 1;
    // Records are little-endian 32-bit integers; this runs on little-endian machines only.
    const bool ok = std::fwrite(records.data(), 4, records.size(), f) == records.size();
    return std::fclose(f) == 0 && ok ? 0 : 1;
}
