// The picture of a model: nearest-node colours on a plate carree whose longitudes are shortened
// by the cosine of the middle latitude, a frame labelled in degrees, a legend in metres and
// optionally the points of a point file. Text is drawn with a small built-in bitmap font, so
// the picture is the same on every machine.
#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "textio/files.h"
#include "geoidmodell/common.h"
#include "textio/textio.h"

namespace modelltool {

namespace {

using namespace detail;

struct Rgb {
    std::uint8_t r, g, b;
};

// The viridis scale (perceptually uniform, readable in grey and by colour-blind readers),
// sampled at nine points and interpolated linearly between them.
constexpr std::array<Rgb, 9> kViridis = {{{68, 1, 84},
                                          {71, 44, 122},
                                          {59, 81, 139},
                                          {44, 113, 142},
                                          {33, 144, 141},
                                          {39, 173, 129},
                                          {92, 200, 99},
                                          {170, 220, 50},
                                          {253, 231, 37}}};
constexpr Rgb kNoValueGrey{160, 160, 160};
constexpr Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255}, kInside{255, 255, 255}, kOutside{220, 30, 30};

Rgb viridis(double t)
{
    t = std::clamp(t, 0.0, 1.0) * static_cast<double>(kViridis.size() - 1);
    const auto k = std::min<std::size_t>(static_cast<std::size_t>(t), kViridis.size() - 2);
    const double f = t - static_cast<double>(k);
    const auto mix = [f](std::uint8_t a, std::uint8_t b) { return static_cast<std::uint8_t>(std::lround(a + f * (b - a))); };
    return {mix(kViridis[k].r, kViridis[k + 1].r), mix(kViridis[k].g, kViridis[k + 1].g), mix(kViridis[k].b, kViridis[k + 1].b)};
}

// 5 x 7 glyphs, one byte per row, the lowest five bits from left to right.
const std::map<char32_t, std::array<std::uint8_t, 7>>& glyphs()
{
    static const std::map<char32_t, std::array<std::uint8_t, 7>> g = {
        {U'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {U'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
        {U'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {U'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
        {U'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {U'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
        {U'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {U'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
        {U'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {U'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
        {U'.', {0, 0, 0, 0, 0, 0x0C, 0x0C}},                {U'-', {0, 0, 0, 0x1F, 0, 0, 0}},
        {U'\u00B0', {0x0C, 0x12, 0x12, 0x0C, 0, 0, 0}},     {U'[', {0x0E, 0x08, 0x08, 0x08, 0x08, 0x08, 0x0E}},
        {U']', {0x0E, 0x02, 0x02, 0x02, 0x02, 0x02, 0x0E}}, {U'm', {0, 0, 0x1A, 0x15, 0x15, 0x11, 0x11}},
        {U'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}}, {U'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
        {U'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}}, {U'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
        {U'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}}, {U'a', {0, 0, 0x0E, 0x01, 0x0F, 0x11, 0x0F}},
        {U'b', {0x10, 0x10, 0x16, 0x19, 0x11, 0x11, 0x1E}}, {U'e', {0, 0, 0x0E, 0x11, 0x1F, 0x10, 0x0E}},
        {U'h', {0x10, 0x10, 0x16, 0x19, 0x11, 0x11, 0x11}}, {U'i', {0x04, 0, 0x0C, 0x04, 0x04, 0x04, 0x0E}},
        {U'k', {0x10, 0x10, 0x12, 0x14, 0x18, 0x14, 0x12}}, {U'l', {0x0C, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
        {U'n', {0, 0, 0x16, 0x19, 0x11, 0x11, 0x11}},       {U'r', {0, 0, 0x16, 0x19, 0x10, 0x10, 0x10}},
        {U's', {0, 0, 0x0F, 0x10, 0x0E, 0x01, 0x1E}},       {U't', {0x08, 0x08, 0x1C, 0x08, 0x08, 0x09, 0x06}},
        {U'u', {0, 0, 0x11, 0x11, 0x11, 0x13, 0x0D}},
    };
    return g;
}

constexpr int kGlyphScale = 2;
constexpr int kAdvance = 6 * kGlyphScale;
constexpr int kTextHeight = 7 * kGlyphScale;

class Canvas {
public:
    Canvas(int w, int h) : w_(w), h_(h), rgb_(static_cast<std::size_t>(w) * h * 3, 255) {}
    int width() const { return w_; }
    int height() const { return h_; }
    void set(int x, int y, Rgb c)
    {
        if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
        std::uint8_t* p = &rgb_[(static_cast<std::size_t>(y) * w_ + x) * 3];
        p[0] = c.r, p[1] = c.g, p[2] = c.b;
    }
    void fill(int x0, int y0, int x1, int y1, Rgb c)
    {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) set(x, y, c);
    }
    void frame(int x0, int y0, int x1, int y1, Rgb c)
    {
        fill(x0, y0, x1, y0 + 1, c), fill(x0, y1 - 1, x1, y1, c), fill(x0, y0, x0 + 1, y1, c), fill(x1 - 1, y0, x1, y1, c);
    }
    static int text_width(const std::u32string& text) { return static_cast<int>(text.size()) * kAdvance; }
    void text(int x, int y, const std::u32string& text, Rgb c)
    {
        for (const char32_t ch : text) {
            if (auto it = glyphs().find(ch); it != glyphs().end())
                for (int row = 0; row < 7; ++row)
                    for (int col = 0; col < 5; ++col)
                        if (it->second[row] & (0x10 >> col))
                            fill(x + col * kGlyphScale, y + row * kGlyphScale, x + (col + 1) * kGlyphScale, y + (row + 1) * kGlyphScale, c);
            x += kAdvance;
        }
    }
    std::uint8_t* data() { return rgb_.data(); }

private:
    int w_, h_;
    std::vector<std::uint8_t> rgb_;
};

std::u32string u32(const std::string& ascii)
{
    return std::u32string(ascii.begin(), ascii.end());
}

// Tick labels: the step among 1, 2, 2.5, 5 times a power of ten that gives a handful of ticks.
double tick_step(double span)
{
    const double raw = span / 6.0;
    const double p = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double f : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (f * p >= raw) return f * p;
    return 10.0 * p;
}

int decimals_of(double step)
{
    int d = 0;
    while (d < 6 && std::fabs(step * std::pow(10.0, d) - std::round(step * std::pow(10.0, d))) > 1e-9) ++d;
    return d;
}

}  // namespace

Result draw_map(const std::string& model, const std::string& png, const std::string& points)
{
    gdal_init();
    if (textio::same_file(model, png)) return fail("Die Ausgabedatei " + png + " ist die Eingabedatei.");
    OpenModel m;
    if (!m.open(model)) return fail(m.message);
    const interp::GridHeader& h = m.h;

    // The value range, and whether any node has no value.
    const OpenModel::Scan values = m.scan();
    if (values.missing_rows > 0) return fail(messages::kReadFailed + model);
    const std::int32_t lo = values.lo, hi = values.hi;
    const bool gaps = values.no_value > 0;
    std::vector<std::int32_t> row;

    // Map area: 720 pixels wide, longitudes shortened by the cosine of the middle latitude.
    const double cos_mid = std::max(0.1, std::cos(0.5 * (h.bmin + h.bmax) * convert::kRadiansPerDegree));
    double per_degree = 720.0 / (h.lmax - h.lmin);
    if ((h.bmax - h.bmin) * per_degree / cos_mid > 900.0) per_degree = 900.0 * cos_mid / (h.bmax - h.bmin);
    const double sx = per_degree, sy = per_degree / cos_mid;
    const int map_w = std::max(1, static_cast<int>(std::lround((h.lmax - h.lmin) * sx)));
    const int map_h = std::max(1, static_cast<int>(std::lround((h.bmax - h.bmin) * sy)));
    const int left = 90, top = 30, right = 250, bottom = 60;
    Canvas canvas(left + map_w + right, top + map_h + bottom);

    // Nearest node of each pixel; the rows come north to south, one node row read at a time.
    std::int64_t loaded = -1;
    for (int y = 0; y < map_h; ++y) {
        const double lat = h.bmax - (y + 0.5) / sy;
        const std::int64_t r = std::clamp<std::int64_t>(std::llround((h.bmax - lat) / h.db) + 1, 1, h.nb);
        if (r != loaded) {
            if (!m.row(r, row)) return fail(messages::kReadFailed + model);
            loaded = r;
        }
        for (int x = 0; x < map_w; ++x) {
            const double lon = h.lmin + (x + 0.5) / sx;
            const std::int64_t c = std::clamp<std::int64_t>(std::llround((lon - h.lmin) / h.dl), 0, h.nl - 1);
            const std::int32_t v = row[static_cast<std::size_t>(c)];
            canvas.set(left + x, top + y, v >= kNoValue ? kNoValueGrey
                                                        : viridis(hi > lo ? static_cast<double>(v - lo) / (hi - lo) : 0.5));
        }
    }
    canvas.frame(left - 1, top - 1, left + map_w + 1, top + map_h + 1, kBlack);

    // The frame in degrees: B on the left, L below.
    const double bstep = tick_step(h.bmax - h.bmin), lstep = tick_step(h.lmax - h.lmin);
    for (double b = std::ceil(h.bmin / bstep - 1e-9) * bstep; b <= h.bmax + 1e-9; b += bstep) {
        const int y = top + static_cast<int>(std::lround((h.bmax - b) * sy));
        canvas.fill(left - 8, y, left - 1, y + 1, kBlack);
        const std::u32string label = u32(plain(b, decimals_of(bstep))) + U"\u00B0";
        canvas.text(left - 12 - Canvas::text_width(label), y - kTextHeight / 2, label, kBlack);
    }
    for (double l = std::ceil(h.lmin / lstep - 1e-9) * lstep; l <= h.lmax + 1e-9; l += lstep) {
        const int x = left + static_cast<int>(std::lround((l - h.lmin) * sx));
        canvas.fill(x, top + map_h + 1, x + 1, top + map_h + 8, kBlack);
        const std::u32string label = u32(plain(l, decimals_of(lstep))) + U"\u00B0";
        canvas.text(x - Canvas::text_width(label) / 2, top + map_h + 12, label, kBlack);
    }
    canvas.text(8, top + map_h / 2 - kTextHeight / 2, U"B", kBlack);
    canvas.text(left + map_w / 2 - kAdvance / 2, top + map_h + 36, U"L", kBlack);

    // The legend: the colour bar from the lowest to the highest value, in metres.
    const int bar_x = left + map_w + 30, bar_w = 24;
    for (int y = 0; y < map_h; ++y) canvas.fill(bar_x, top + y, bar_x + bar_w, top + y + 1, viridis(1.0 - (y + 0.5) / map_h));
    canvas.frame(bar_x - 1, top - 1, bar_x + bar_w + 1, top + map_h + 1, kBlack);
    canvas.text(bar_x, top - kTextHeight - 8, U"N [m]", kBlack);
    for (int k = 0; k <= 4; ++k) {
        const double v = (lo + (hi - lo) * k / 4.0) * 0.0001;
        const int y = top + map_h - 1 - static_cast<int>(std::lround((map_h - 1) * k / 4.0));
        canvas.fill(bar_x + bar_w + 1, y, bar_x + bar_w + 6, y + 1, kBlack);
        canvas.text(bar_x + bar_w + 10, y - kTextHeight / 2, u32(plain(v, 2)), kBlack);
    }
    int key_y = top + map_h + 14;
    const auto key = [&](Rgb c, const std::u32string& text) {
        canvas.fill(bar_x, key_y, bar_x + 12, key_y + 12, c);
        canvas.frame(bar_x - 1, key_y - 1, bar_x + 13, key_y + 13, kBlack);
        canvas.text(bar_x + 20, key_y - 1, text, kBlack);
        key_y += 20;
    };
    if (gaps) key(kNoValueGrey, U"kein Wert");

    // The points, inside and outside the grid in two colours.
    if (!points.empty()) {
        std::FILE* f = textio::fopen_for_reading(points);
        if (f == nullptr) return fail(messages::kOpenFailed + points);
        textio::FreeReader reader(f);
        double v[2];
        textio::ReadStatus st;
        while ((st = reader.read(v, 2)) == textio::ReadStatus::Ok) {
            const int x = left + static_cast<int>(std::lround((v[1] - h.lmin) * sx));
            const int y = top + static_cast<int>(std::lround((h.bmax - v[0]) * sy));
            const Rgb c = interp::inside_grid(h, v[0], v[1]) ? kInside : kOutside;
            canvas.fill(x - 3, y - 3, x + 4, y + 4, kBlack);
            canvas.fill(x - 2, y - 2, x + 3, y + 3, c);
        }
        std::fclose(f);
        if (st == textio::ReadStatus::Error) return fail("Fehler beim Lesen der Datei " + points);
        key(kInside, U"Punkt innerhalb");
        key(kOutside, U"Punkt ausserhalb");
    }

    // Written as PNG through an in-memory raster.
    GDALDriver* mem = GetGDALDriverManager()->GetDriverByName("MEM");
    GDALDriver* png_driver = GetGDALDriverManager()->GetDriverByName("PNG");
    if (mem == nullptr || png_driver == nullptr) return fail("Der GDAL-Treiber f\xC3\xBCr PNG fehlt.");
    GDALDatasetUniquePtr image(mem->Create("", canvas.width(), canvas.height(), 3, GDT_Byte, nullptr));
    int bands[3] = {1, 2, 3};
    if (!image || image->RasterIO(GF_Write, 0, 0, canvas.width(), canvas.height(), canvas.data(), canvas.width(), canvas.height(),
                                  GDT_Byte, 3, bands, 3, static_cast<GSpacing>(canvas.width()) * 3, 1, nullptr) != CE_None)
        return fail("Das Bild kann nicht erzeugt werden" + gdal_reason() + ".");
    TempOutput out(png);
    if (out.path().empty()) return fail(out.failure());
    {
        CPLErrorReset();
        GDALDatasetUniquePtr written(png_driver->CreateCopy(out.path().c_str(), image.get(), FALSE, nullptr, nullptr, nullptr));
        if (!written) return fail("Fehler beim Schreiben von " + png + gdal_reason() + ".");
        written.reset();
        if (CPLGetLastErrorType() >= CE_Failure) return fail("Fehler beim Schreiben von " + png + gdal_reason() + ".");
    }
    if (std::string m = out.commit(); !m.empty()) return fail(m);
    return {};
}

}  // namespace modelltool
