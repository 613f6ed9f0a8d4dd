// Conversions per second: each routine, and kokon with each input system.
#include <benchmark/benchmark.h>
#include <array>
#include <random>
#include <vector>

#include "convert/convert.h"

using namespace convert;

namespace {

struct Point {
    double b, l, h;
};

const std::vector<Point>& points()
{
    static const std::vector<Point> p = [] {
        std::mt19937 rng(3);
        std::uniform_real_distribution<double> b(47.23, 55.98), l(5.0, 15.0), h(0.0, 1000.0);
        std::vector<Point> v(1024);
        for (auto& x : v) x = {b(rng), l(rng), h(rng)};
        return v;
    }();
    return p;
}

void BM_blh2xyz(benchmark::State& state)
{
    std::size_t k = 0;
    double x, y, z;
    for (auto _ : state) {
        const Point& p = points()[k++ & 1023];
        blh2xyz(p.b, p.l, p.h, kGrs80, x, y, z);
        benchmark::DoNotOptimize(x);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_xyz2blh(benchmark::State& state)
{
    std::vector<std::array<double, 3>> xyz;
    for (const Point& p : points()) {
        std::array<double, 3> c{};
        blh2xyz(p.b, p.l, p.h, kGrs80, c[0], c[1], c[2]);
        xyz.push_back(c);
    }
    std::size_t k = 0;
    double b, l, h;
    for (auto _ : state) {
        const auto& c = xyz[k++ & 1023];
        xyz2blh(c[0], c[1], c[2], kGrs80, b, l, h);
        benchmark::DoNotOptimize(b);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_gd2gms(benchmark::State& state)
{
    std::size_t k = 0;
    char sign;
    std::int32_t d, m;
    double s;
    for (auto _ : state) {
        gd2gms(points()[k++ & 1023].b, sign, d, m, s);
        benchmark::DoNotOptimize(s);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_gms2gd(benchmark::State& state)
{
    std::size_t k = 0;
    double a;
    for (auto _ : state) {
        gms2gd('+', 52, static_cast<std::int32_t>(k++ & 63), 12.345, a);
        benchmark::DoNotOptimize(a);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_bl2gkutm(benchmark::State& state)
{
    std::size_t k = 0;
    double n, e;
    for (auto _ : state) {
        const Point& p = points()[k++ & 1023];
        bl2gkutm(p.b, p.l, kGrs80, kUtm, n, 32, e);
        benchmark::DoNotOptimize(n);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_gkutm2bl(benchmark::State& state)
{
    std::vector<std::array<double, 2>> ne;
    for (const Point& p : points()) {
        std::array<double, 2> c{};
        bl2gkutm(p.b, p.l, kGrs80, kUtm, c[0], 32, c[1]);
        ne.push_back(c);
    }
    std::size_t k = 0;
    double b, l;
    for (auto _ : state) {
        const auto& c = ne[k++ & 1023];
        gkutm2bl(c[0], 32, c[1], kGrs80, kUtm, b, l);
        benchmark::DoNotOptimize(b);
    }
    state.SetItemsProcessed(state.iterations());
}

// kokon with each input system: the record is filled once from decimal degrees, so every
// system's fields hold the same point.
void BM_kokon(benchmark::State& state, const char* code)
{
    std::vector<Coordinates> recs;
    for (const Point& p : points()) {
        Coordinates c;
        c.ell_b = p.b;
        c.ell_l = p.l;
        c.ell_h = p.h;
        kokon("BLh1", c);
        recs.push_back(c);
    }
    std::size_t k = 0;
    for (auto _ : state) {
        Coordinates& c = recs[k++ & 1023];
        kokon(code, c);
        benchmark::DoNotOptimize(c.ell_b);
    }
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_blh2xyz);
BENCHMARK(BM_xyz2blh);
BENCHMARK(BM_gd2gms);
BENCHMARK(BM_gms2gd);
BENCHMARK(BM_bl2gkutm);
BENCHMARK(BM_gkutm2bl);
BENCHMARK_CAPTURE(BM_kokon, XYZ, "XYZ");
BENCHMARK_CAPTURE(BM_kokon, BLh1, "BLh1");
BENCHMARK_CAPTURE(BM_kokon, BLh2, "BLh2");
BENCHMARK_CAPTURE(BM_kokon, UTM32, "UTM32");
BENCHMARK_CAPTURE(BM_kokon, UTM33, "UTM33");
BENCHMARK_MAIN();
