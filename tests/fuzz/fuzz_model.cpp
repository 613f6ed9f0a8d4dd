// The model file: the selection check and the interpolation on whatever bytes a file holds.
// Input: 16 bytes for a point (B, L as doubles), then the file. Besides that point, points
// near every node of the grid's first rows are queried. The nodes held in memory, the rows
// kept in a cache, the nodes read window by window and the per-point query must agree exactly
// on every outcome.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "interp/grid.h"
#include "interp/model.h"
#include "interp/nodes.h"
#include "interp/query.h"
#include "messages/messages.h"

namespace {

std::string scratch_file()
{
    static const std::string path = [] {
        char name[] = "/tmp/fuzz-model-XXXXXX";
        const int fd = mkstemp(name);
        if (fd >= 0) close(fd);
        return std::string(name);
    }();
    return path;
}

void same(bool ok)
{
    if (!ok) std::abort();
}

void compare_at(const std::string& path, const interp::ModelQuery& held, const interp::ModelQuery& windowed, double b,
                double l)
{
    double n1 = -7, n2 = -7, n3 = -7;
    const interp::Outcome o1 = interp::query_model(b, l, path, n1);
    same(o1 == held.query(b, l, n2) && o1 == windowed.query(b, l, n3));
    same(std::memcmp(&n1, &n2, sizeof n1) == 0 && std::memcmp(&n1, &n3, sizeof n1) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 16) return 0;
    double b, l;
    std::memcpy(&b, data, 8);
    std::memcpy(&l, data + 8, 8);
    const std::string path = scratch_file();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return 0;
    std::fwrite(data + 16, 1, size - 16, f);
    std::fclose(f);

    (void)interp::check_model(path);
    double n = 0;
    std::string message;
    messages::varnik1(0.5 * b, 0.5 * l, path, n, message);
    const interp::ModelQuery held(path), windowed(path, 0);
    compare_at(path, held, windowed, b, l);
    interp::ModelFile file;
    interp::GridHeader h;
    if (!file.open(path) || interp::read_header(file, h) != interp::HeaderStatus::Ok) return 0;
    // A cache of as few rows as it takes (half the grid, at least a window's), so that rows
    // are thrown out and read again.
    interp::RowCache rows(file);
    // Headers of huge grids on small files are left to the other comparisons: such a cache
    // would take gigabytes.
    const std::uint64_t row_bytes = static_cast<std::uint64_t>(h.nl) * interp::kRecordBytes + 16;
    const std::uint64_t cap = (1ull << 20) + row_bytes * static_cast<std::uint64_t>(std::max<std::int64_t>(5, (h.nb + 1) / 2));
    const bool cached = h.nl < (1 << 20) && cap <= (64ull << 20) && rows.init(h, cap);
    const auto compare_cached = [&](double pb, double pl) {
        if (!cached) return;
        double n1 = -7, n2 = -7;
        const interp::Outcome o1 = interp::query_model(pb, pl, path, n1);
        same(o1 == interp::interpolate(rows, h, pb, pl, n2));
        same(std::memcmp(&n1, &n2, sizeof n1) == 0);
    };
    compare_cached(b, l);
    // On, near and between the nodes of the first rows and columns.
    for (std::int64_t r = 1; r <= 4 && r <= h.nb; ++r)
        for (std::int64_t c = 1; c <= 4 && c <= h.nl; ++c) {
            const double nb = h.bmax - static_cast<double>(r - 1) * h.db;
            const double nl = h.lmin + static_cast<double>(c - 1) * h.dl;
            compare_at(path, held, windowed, nb, nl);
            compare_at(path, held, windowed, nb - 0.001 * h.db, nl + 0.001 * h.dl);
            compare_at(path, held, windowed, nb - 0.5 * h.db, nl + 0.5 * h.dl);
            compare_cached(nb - 0.5 * h.db, nl + 0.5 * h.dl);
            compare_cached(nb - static_cast<double>(h.nb / 2) * h.db, nl + 0.25 * h.dl);  // another slot's rows
        }
    return 0;
}
