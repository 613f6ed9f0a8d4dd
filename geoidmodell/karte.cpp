// The picture of a model: nearest-node colours on a plate carree whose longitudes are shortened
// by the cosine of the middle latitude, a frame labelled in degrees at round values, a title
// with the model's name and limits, a colour bar with round values in metres, a scale of
// kilometres and optionally the points of a point file. Text is drawn with the program's own
// bitmap font, so the picture is the same on every machine.
#include "geoidmodell/karte.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "convert/convert.h"
#include "geoidmodell/common.h"
#include "geoidmodell/font.h"
#include "textio/encoding.h"
#include "textio/files.h"
#include "textio/textio.h"
#include "messages/geoidmodell.h"
#include "messages/messages.h"

namespace modelltool {

namespace {

namespace text = messages::geoidmodell;

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
constexpr Rgb kBlack{0, 0, 0}, kInside{255, 255, 255}, kOutside{220, 30, 30};

constexpr int kMargin = 16;
constexpr int kLine = kGlyphHeight + 4;  // one line of text
constexpr int kTickLength = 7;

Rgb viridis(double t)
{
    t = std::clamp(t, 0.0, 1.0) * static_cast<double>(kViridis.size() - 1);
    const auto k = std::min<std::size_t>(static_cast<std::size_t>(t), kViridis.size() - 2);
    const double f = t - static_cast<double>(k);
    const auto mix = [f](std::uint8_t a, std::uint8_t b) { return static_cast<std::uint8_t>(std::lround(a + f * (b - a))); };
    return {mix(kViridis[k].r, kViridis[k + 1].r), mix(kViridis[k].g, kViridis[k + 1].g), mix(kViridis[k].b, kViridis[k + 1].b)};
}

int text_width(const std::string& utf8)
{
    return static_cast<int>(textio::utf8_length(utf8)) * kGlyphWidth;
}

Label label_at(std::string text, int x, int y)
{
    const int w = text_width(text);
    return {std::move(text), {x, y, w, kGlyphHeight}};
}

int decimals_of(double step)
{
    int d = 0;
    while (d < 6 && std::fabs(step * std::pow(10.0, d) - std::round(step * std::pow(10.0, d))) > 1e-9) ++d;
    return d;
}

// Degrees with the given decimals, or as many as the value needs (at most 6) for -1.
std::string degrees(double v, int decimals)
{
    return plain(v, decimals >= 0 ? decimals : decimals_of(std::round(v * 1e6) / 1e6)) + "\xC2\xB0";
}

// A spacing as it is said: whole minutes as 15', otherwise seconds as 20".
std::string spacing_text(double degrees_step)
{
    const double seconds = degrees_step * 3600.0;
    if (std::fabs(seconds / 60.0 - std::round(seconds / 60.0)) < 1e-6) return plain(seconds / 60.0, 0) + "'";
    return plain(seconds, decimals_of(std::round(seconds * 1e6) / 1e6)) + "\"";
}

std::string base_name(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::vector<double> round_ticks(double lo, double hi, double room)
{
    if (!(hi > lo)) return {lo};
    if (!(room > 0.0)) room = (hi - lo) / 6.0;
    // The smallest of 1, 2 and 5 times a power of ten that is at least `room`.
    const double p = std::pow(10.0, std::floor(std::log10(room)));
    double step = 10.0 * p;
    for (const double f : {1.0, 2.0, 5.0}) {
        if (f * p >= room * (1.0 - 1e-12)) {
            step = f * p;
            break;
        }
    }
    // Whole multiples of the step, so that no sum drifts off a round value.
    std::vector<double> ticks;
    const double first = std::ceil(lo / step - 1e-9), last = std::floor(hi / step + 1e-9);
    for (double k = first; k <= last; k += 1.0) ticks.push_back(k == 0.0 ? 0.0 : k * step);
    return ticks;
}

namespace {

// The map's box and scales: 720 pixels wide (or 900 high), longitudes shortened by the cosine
// of the middle latitude; a narrow strip is widened to 240 pixels (its scale bar measures
// along the parallel, so it stays true).
void place_map(MapLayout& m, const interp::GridHeader& h, int left, int top)
{
    const double cos_mid = std::max(0.1, std::cos(0.5 * (h.bmin + h.bmax) * convert::kRadiansPerDegree));
    double per_degree = 720.0 / (h.lmax - h.lmin);
    if ((h.bmax - h.bmin) * per_degree / cos_mid > 900.0) per_degree = 900.0 * cos_mid / (h.bmax - h.bmin);
    m.px_per_lat = per_degree / cos_mid;
    m.px_per_lon = std::max(per_degree, 240.0 / (h.lmax - h.lmin));
    const int w = std::max(1, static_cast<int>(std::lround((h.lmax - h.lmin) * m.px_per_lon)));
    const int ht = std::max(1, static_cast<int>(std::lround((h.bmax - h.bmin) * m.px_per_lat)));
    m.map = {left, top, w, ht};
}

// B at round values left of the map, L below it, each with its tick; the axis names.
void frame_labels(MapLayout& m, const interp::GridHeader& h, const std::vector<double>& bt, int bdec)
{
    for (const double b : bt) {
        const int y = m.map.y + static_cast<int>(std::lround((h.bmax - b) * m.px_per_lat));
        m.ticks.push_back({m.map.x - 1 - kTickLength, y, m.map.x - 1, y});
        Label l = label_at(degrees(b, bdec), 0, y - kGlyphHeight / 2);
        l.box.x = m.map.x - 1 - kTickLength - 4 - l.box.w;
        m.labels.push_back(l);
    }
    const std::vector<double> lt = round_ticks(h.lmin, h.lmax, std::max((h.lmax - h.lmin) / 7.0, 60.0 / m.px_per_lon));
    const int ldec = lt.size() > 1 ? decimals_of(lt[1] - lt[0]) : decimals_of(lt[0]);
    for (const double l : lt) {
        const int x = m.map.x + static_cast<int>(std::lround((l - h.lmin) * m.px_per_lon));
        m.ticks.push_back({x, m.map.y + m.map.h, x, m.map.y + m.map.h + kTickLength});
        Label t = label_at(degrees(l, ldec), 0, m.map.y + m.map.h + kTickLength + 4);
        t.box.x = x - t.box.w / 2;
        m.labels.push_back(t);
    }
    m.labels.push_back(label_at("B", kMargin, m.map.y + m.map.h / 2 - kGlyphHeight / 2));
    m.labels.push_back(label_at("L", m.map.x + m.map.w / 2, m.map.y + m.map.h + kTickLength + 4 + kLine));
}

// A bar of a round number of kilometres, about a fifth of the map's width, at the middle
// latitude (GRS80), with its labels.
void scale_bar(MapLayout& m, const interp::GridHeader& h, int y)
{
    const double phi = 0.5 * (h.bmin + h.bmax) * convert::kRadiansPerDegree;
    const convert::Ellipsoid& e = convert::kEllipsoids[convert::kGrs80 - 1];
    const double f = 1.0 / e.inv_f, e2 = f * (2.0 - f);
    const double km_per_degree = e.a * std::cos(phi) / std::sqrt(1.0 - e2 * std::sin(phi) * std::sin(phi)) *
                                 convert::kRadiansPerDegree / 1000.0;
    const double km_per_px = km_per_degree / m.px_per_lon;
    const std::vector<double> lengths = round_ticks(0.0, m.map.w * km_per_px, m.map.w * km_per_px / 5.0);
    m.scale_km = lengths.size() > 1 ? lengths[1] : m.map.w * km_per_px;
    m.scale = {m.map.x, y, static_cast<int>(std::lround(m.scale_km / km_per_px)), 6};
    m.labels.push_back(label_at("0", m.map.x - kGlyphWidth - 4, y - 4));
    m.labels.push_back(label_at(messages::fill(text::kMapScale, {plain(m.scale_km, decimals_of(m.scale_km))}), m.scale.x + m.scale.w + 4, y - 4));
}

// The colour bar right of the map with round values in metres, its title above it, the keys
// below the map and the points beyond the picture.
void legend(MapLayout& m, double lo, double hi, bool gaps, bool points, const std::vector<MapPoint>& beyond)
{
    const int x = m.map.x + m.map.w + 40;
    m.labels.push_back(label_at(text::kMapValues, x, m.map.y));
    m.bar = {x, m.map.y + kLine + 8, 20, std::max(2 * kLine, m.map.h - kLine - 8)};
    m.bar_ticks = round_ticks(lo, hi, std::max((hi - lo) / 6.0, (hi - lo) * kLine / m.bar.h));
    const int dec = m.bar_ticks.size() > 1 ? decimals_of(m.bar_ticks[1] - m.bar_ticks[0]) : 2;
    for (const double v : m.bar_ticks) {
        const double t = hi > lo ? (v - lo) / (hi - lo) : 0.5;
        const int y = m.bar.y + m.bar.h - 1 - static_cast<int>(std::lround((m.bar.h - 1) * t));
        m.ticks.push_back({m.bar.x + m.bar.w, y, m.bar.x + m.bar.w + 5, y});
        m.labels.push_back(label_at(plain(v, dec), m.bar.x + m.bar.w + 9, y - kGlyphHeight / 2));
    }
    int y = std::max(m.bar.y + m.bar.h, m.map.y + m.map.h) + kLine;
    const auto key = [&](MapLayout::Key kind, const char* text) {
        m.keys.push_back({{x, y + 1, 12, 12}, kind});
        m.labels.push_back(label_at(text, x + 20, y));
        y += kLine + 2;
    };
    if (gaps) key(MapLayout::Key::NoValue, text::kMapNoValue);
    if (points) {
        key(MapLayout::Key::Inside, text::kMapInside);
        key(MapLayout::Key::Outside, text::kMapOutside);
    }
    constexpr std::size_t kListed = 5;
    if (!beyond.empty()) m.labels.push_back(label_at(text::kMapBeyond, x, y)), y += kLine;
    for (std::size_t k = 0; k < beyond.size() && k < kListed; ++k, y += kLine)
        m.labels.push_back(label_at(messages::fill(text::kMapPoint, {degrees(beyond[k].b, -1), degrees(beyond[k].l, -1)}), x, y));
    if (beyond.size() > kListed) m.labels.push_back(label_at(messages::fill(text::kMapMore, {std::to_string(beyond.size() - kListed)}), x, y));
}

}  // namespace

MapLayout map_layout(const interp::GridHeader& h, const std::string& name, double lo, double hi, bool gaps, bool points,
                     const std::vector<MapPoint>& beyond)
{
    MapLayout m;
    m.labels.push_back(label_at(messages::fill(text::kMapTitle, {base_name(name)}), kMargin, kMargin));
    m.labels.push_back(label_at(messages::fill(text::kMapLimits, {degrees(h.bmin, -1), degrees(h.bmax, -1), degrees(h.lmin, -1),
                                                                 degrees(h.lmax, -1), spacing_text(h.db), spacing_text(h.dl)}),
                                kMargin, kMargin + kLine));
    const int top = kMargin + 3 * kLine;
    // The latitude labels first: their widest sets the room left of the map.
    place_map(m, h, 0, top);
    const std::vector<double> bt = round_ticks(h.bmin, h.bmax, std::max((h.bmax - h.bmin) / 7.0, 2.0 * kLine / m.px_per_lat));
    const int bdec = bt.size() > 1 ? decimals_of(bt[1] - bt[0]) : decimals_of(bt[0]);
    int widest = 0;
    for (const double b : bt) widest = std::max(widest, text_width(degrees(b, bdec)));
    place_map(m, h, kMargin + kGlyphWidth + 12 + widest + 4 + kTickLength, top);
    frame_labels(m, h, bt, bdec);
    scale_bar(m, h, m.map.y + m.map.h + kTickLength + 4 + 2 * kLine + 6);
    legend(m, lo, hi, gaps, points, beyond);
    for (const Label& l : m.labels) {
        m.width = std::max(m.width, l.box.x + l.box.w + kMargin);
        m.height = std::max(m.height, l.box.y + l.box.h + kMargin);
    }
    for (const auto& [k, kind] : m.keys) m.height = std::max(m.height, k.y + k.h + kMargin);
    return m;
}

bool map_pixel(const MapLayout& m, const interp::GridHeader& h, double b, double l, int& x, int& y)
{
    const double fx = (l - h.lmin) * m.px_per_lon, fy = (h.bmax - b) * m.px_per_lat;
    if (!(fx >= -0.5 && fx <= m.map.w + 0.5 && fy >= -0.5 && fy <= m.map.h + 0.5)) return false;
    x = m.map.x + static_cast<int>(std::lround(fx));
    y = m.map.y + static_cast<int>(std::lround(fy));
    return true;
}

namespace {

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
    void fill(const Box& b, Rgb c)
    {
        for (int y = b.y; y < b.y + b.h; ++y)
            for (int x = b.x; x < b.x + b.w; ++x) set(x, y, c);
    }
    // A one-pixel line around the box, outside it.
    void frame(const Box& b, Rgb c)
    {
        fill({b.x - 1, b.y - 1, b.w + 2, 1}, c), fill({b.x - 1, b.y + b.h, b.w + 2, 1}, c);
        fill({b.x - 1, b.y, 1, b.h}, c), fill({b.x + b.w, b.y, 1, b.h}, c);
    }
    void line(const Tick& t, Rgb c)
    {
        fill({std::min(t.x0, t.x1), std::min(t.y0, t.y1), std::abs(t.x1 - t.x0) + 1, std::abs(t.y1 - t.y0) + 1}, c);
    }
    void text(const Label& l, Rgb c)
    {
        int x = l.box.x;
        for (const char32_t ch : textio::utf8_to_u32(l.text)) {
            if (const std::uint8_t* rows = glyph(ch))
                for (int r = 0; r < kGlyphHeight; ++r)
                    for (int col = 0; col < kGlyphWidth; ++col)
                        if (rows[r] & (1u << (kGlyphWidth - 1 - col))) set(x + col, l.box.y + r, c);
            x += kGlyphWidth;
        }
    }
    std::uint8_t* data() { return rgb_.data(); }

private:
    int w_, h_;
    std::vector<std::uint8_t> rgb_;
};

// Each pixel of the map in the colour of its nearest node; the rows come north to south, one
// node row read at a time.
Result draw_nodes(Canvas& canvas, const OpenModel& m, const MapLayout& l, std::int32_t lo, std::int32_t hi,
                  const std::string& model)
{
    const interp::GridHeader& h = m.h;
    std::vector<std::int32_t> row;
    std::int64_t loaded = -1;
    for (int y = 0; y < l.map.h; ++y) {
        const double lat = h.bmax - (y + 0.5) / l.px_per_lat;
        const std::int64_t r = std::clamp<std::int64_t>(std::llround((h.bmax - lat) / h.db) + 1, 1, h.nb);
        if (r != loaded) {
            if (!m.row(r, row)) return fail(messages::kReadFailed + model);
            loaded = r;
        }
        for (int x = 0; x < l.map.w; ++x) {
            const double lon = h.lmin + (x + 0.5) / l.px_per_lon;
            const std::int64_t c = std::clamp<std::int64_t>(std::llround((lon - h.lmin) / h.dl), 0, h.nl - 1);
            const std::int32_t v = row[static_cast<std::size_t>(c)];
            canvas.set(l.map.x + x, l.map.y + y,
                       v >= kNoValue ? kNoValueGrey : viridis(hi > lo ? static_cast<double>(v - lo) / (hi - lo) : 0.5));
        }
    }
    return {};
}

// The frame, ticks, labels, colour bar, scale and keys.
void draw_furniture(Canvas& canvas, const MapLayout& l)
{
    canvas.frame(l.map, kBlack);
    for (int y = 0; y < l.bar.h; ++y) canvas.fill({l.bar.x, l.bar.y + y, l.bar.w, 1}, viridis(1.0 - (y + 0.5) / l.bar.h));
    canvas.frame(l.bar, kBlack);
    for (const Tick& t : l.ticks) canvas.line(t, kBlack);
    canvas.fill(l.scale, kBlack);
    canvas.fill({l.scale.x + l.scale.w / 2, l.scale.y + 1, l.scale.w - l.scale.w / 2, l.scale.h - 2}, {255, 255, 255});
    for (const auto& [box, kind] : l.keys) {
        canvas.fill(box, kind == MapLayout::Key::NoValue ? kNoValueGrey : kind == MapLayout::Key::Inside ? kInside : kOutside);
        canvas.frame(box, kBlack);
    }
    for (const Label& t : l.labels) canvas.text(t, kBlack);
}

// The points of the file; false with the reason when it cannot be read.
Result read_points(const std::string& points, std::vector<MapPoint>& out)
{
    std::FILE* f = textio::fopen_for_reading(points);
    if (f == nullptr) return fail(messages::kOpenFailed + points);
    textio::FreeReader reader(f);
    double v[2];
    textio::ReadStatus st;
    while ((st = reader.read(v, 2)) == textio::ReadStatus::Ok) out.push_back({v[0], v[1]});
    std::fclose(f);
    if (st == textio::ReadStatus::Error) return fail(messages::fill(text::kPointsReadError, {points}));
    return {};
}

// Points inside and outside the grid in two colours, each where it lies; a point beyond the
// map's box is left out, so that none covers the frame's labels.
void draw_points(Canvas& canvas, const MapLayout& l, const interp::GridHeader& h, const std::vector<MapPoint>& points)
{
    for (const MapPoint& p : points) {
        int x = 0, y = 0;
        if (!map_pixel(l, h, p.b, p.l, x, y)) continue;
        canvas.fill({x - 3, y - 3, 7, 7}, kBlack);
        canvas.fill({x - 2, y - 2, 5, 5}, interp::inside_grid(h, p.b, p.l) ? kInside : kOutside);
    }
}

// Written as PNG through an in-memory raster, under a temporary name first.
Result write_png(Canvas& canvas, const std::string& png)
{
    GDALDriver* mem = GetGDALDriverManager()->GetDriverByName("MEM");
    GDALDriver* png_driver = GetGDALDriverManager()->GetDriverByName("PNG");
    if (mem == nullptr || png_driver == nullptr) return fail(text::kNoPngDriver);
    GDALDatasetUniquePtr image(mem->Create("", canvas.width(), canvas.height(), 3, GDT_Byte, nullptr));
    int bands[3] = {1, 2, 3};
    if (!image || image->RasterIO(GF_Write, 0, 0, canvas.width(), canvas.height(), canvas.data(), canvas.width(),
                                  canvas.height(), GDT_Byte, 3, bands, 3, static_cast<GSpacing>(canvas.width()) * 3, 1,
                                  nullptr) != CE_None)
        return fail(messages::fill(text::kNoPicture, {gdal_reason()}));
    TempOutput out(png);
    if (out.path().empty()) return fail(out.failure());
    CPLErrorReset();
    GDALDatasetUniquePtr written(png_driver->CreateCopy(out.path().c_str(), image.get(), FALSE, nullptr, nullptr, nullptr));
    if (!written) return fail(messages::fill(text::kWriteError, {png, gdal_reason()}));
    written.reset();
    if (CPLGetLastErrorType() >= CE_Failure) return fail(messages::fill(text::kWriteError, {png, gdal_reason()}));
    if (std::string m = out.commit(); !m.empty()) return fail(m);
    return {};
}

}  // namespace

Result draw_map(const std::string& model, const std::string& png, const std::string& points)
{
    gdal_init();
    if (textio::same_file(model, png)) return fail(messages::fill(text::kSameFile, {png}));
    OpenModel m;
    if (!m.open(model)) return fail(m.message);
    const OpenModel::Scan values = m.scan();
    if (values.missing_rows > 0) return fail(messages::kReadFailed + model);
    std::vector<MapPoint> pts;
    if (!points.empty())
        if (Result r = read_points(points, pts); !r.ok) return r;
    std::vector<MapPoint> beyond;
    for (const MapPoint& p : pts)
        if (!(p.b >= m.h.bmin && p.b <= m.h.bmax && p.l >= m.h.lmin && p.l <= m.h.lmax)) beyond.push_back(p);
    const MapLayout layout =
        map_layout(m.h, model, values.lo * 0.0001, values.hi * 0.0001, values.no_value > 0, !points.empty(), beyond);
    Canvas canvas(layout.width, layout.height);
    if (Result r = draw_nodes(canvas, m, layout, values.lo, values.hi, model); !r.ok) return r;
    draw_furniture(canvas, layout);
    draw_points(canvas, layout, m.h, pts);
    return write_png(canvas, png);
}

}  // namespace modelltool
