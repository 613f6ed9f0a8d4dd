// Interpolation alone, on the sample model kept open: points per second in the spline branch
// (inner cells) and in the bilinear branch (cells next to the grid border).
#include <benchmark/benchmark.h>
#include <random>
#include <stdexcept>
#include <vector>

#include "interp/grid.h"
#include "interp/model.h"
#include "interp/query.h"
#include "messages/messages.h"

namespace {

struct Point {
    double b, l;
};

struct Sample {
    interp::ModelFile file;
    interp::GridHeader grid;
    interp::FileNodes nodes{file};
    Sample()
    {
        if (!file.open(SAMPLE_MODEL) || interp::read_header(file, grid) != interp::HeaderStatus::Ok)
            throw std::runtime_error("sample model not readable");
    }
};

std::vector<Point> random_points(unsigned seed, double b_lo, double b_hi, double l_lo, double l_hi)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> b(b_lo, b_hi), l(l_lo, l_hi);
    std::vector<Point> p(4096);
    for (auto& x : p) x = {b(rng), l(rng)};
    return p;
}

// Inner cells: at least two rows/columns away from the border (46.5..56.5, 2.5..16.5, 0.25 deg).
std::vector<Point> spline_points() { return random_points(1, 47.01, 55.74, 3.01, 15.74); }

// Cells in the first row below the northern limit: always the bilinear branch.
std::vector<Point> bilinear_points() { return random_points(2, 56.26, 56.49, 2.6, 16.4); }

void run(benchmark::State& state, const std::vector<Point>& points)
{
    Sample s;
    std::size_t k = 0;
    double n = 0;
    for (auto _ : state) {
        const Point& p = points[k++ & 4095];
        if (interp::interpolate(s.nodes, s.grid, p.b, p.l, n) != interp::Outcome::Ok)
            state.SkipWithError("point without value");
        benchmark::DoNotOptimize(n);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

void BM_SplineBranch(benchmark::State& state) { run(state, spline_points()); }
void BM_BilinearBranch(benchmark::State& state) { run(state, bilinear_points()); }

// The desktop program's query: open, header, interpolate, close for every point.
void BM_Varnik1(benchmark::State& state)
{
    const auto points = spline_points();
    std::size_t k = 0;
    double n = 0;
    std::string message;
    for (auto _ : state) {
        const Point& p = points[k++ & 4095];
        messages::varnik1(p.b, p.l, SAMPLE_MODEL, n, message);
        benchmark::DoNotOptimize(n);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

}  // namespace

BENCHMARK(BM_SplineBranch);
BENCHMARK(BM_BilinearBranch);
BENCHMARK(BM_Varnik1);
BENCHMARK_MAIN();
