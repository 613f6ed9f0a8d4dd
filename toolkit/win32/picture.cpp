// The picture of the Info dialog, drawn with GDI as the Qt build paints it: a stylised
// quasigeoid, a gently undulating surface drawn as a grid over an ellipsoid outline, and the
// height anomaly N as a red plumb line.
#include <cmath>
#include <vector>

#include "toolkit/win32/internal.h"

namespace toolkit::detail {

namespace {

// The sky inside the ellipse: light blue at the top to a deeper blue below.
template <class At>
void fill_sky(HDC dc, const RECT& r, At at)
{
    HRGN ellipse = CreateEllipticRgn(at(6, 30).x, at(6, 30).y, at(122, 106).x, at(122, 106).y);
    SelectClipRgn(dc, ellipse);
    for (int k = 0; k < 76; ++k) {
        const double t = k / 75.0;
        const auto mix = [t](int a, int b) { return static_cast<BYTE>(a + (b - a) * t); };
        HBRUSH band = CreateSolidBrush(RGB(mix(0xdf, 0x9c), mix(0xee, 0xc3), mix(0xfb, 0xe6)));
        const RECT row{r.left, at(0, 30 + k).y, r.right, at(0, 31 + k).y + 1};
        FillRect(dc, &row, band);
        DeleteObject(band);
    }
    SelectClipRgn(dc, nullptr);
    DeleteObject(ellipse);
}

}  // namespace

void draw_info_picture(HDC dc, const RECT& r)
{
    // The drawing is made for 128 x 128 and scaled to the control.
    const double scale = std::min(r.right - r.left, r.bottom - r.top) / 128.0;
    const auto at = [&](double x, double y) {
        return POINT{r.left + static_cast<LONG>(std::lround(x * scale)), r.top + static_cast<LONG>(std::lround(y * scale))};
    };
    const int saved = SaveDC(dc);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    fill_sky(dc, r, at);
    const auto pen = [&](COLORREF c, double w) { return CreatePen(PS_SOLID, std::max(1, static_cast<int>(std::lround(w * scale))), c); };
    HPEN outline = pen(RGB(0x2b, 0x4c, 0x7e), 1.5);
    SelectObject(dc, outline);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Ellipse(dc, at(6, 30).x, at(6, 30).y, at(122, 106).x, at(122, 106).y);
    const auto surface = [](double u, double v) {
        return std::pair{64 + 52 * u, 68 + 30 * v + 7 * std::sin(3.1 * u + 1.3) * std::cos(2.3 * v) + 4 * std::sin(5.0 * v + u)};
    };
    HPEN grid = pen(RGB(0x1f, 0x6f, 0x3a), 1.1);
    SelectObject(dc, grid);
    for (int k = -4; k <= 4; ++k) {
        std::vector<POINT> row, col;
        const double lim = std::sqrt(std::max(0.0, 1.0 - (k / 4.5) * (k / 4.5)));
        for (int s = -20; s <= 20; ++s) {
            const double t = s / 20.0;
            const auto a = surface(t * lim, k / 4.5);
            const auto b = surface(k / 4.5, t * lim);
            row.push_back(at(a.first, a.second));
            col.push_back(at(b.first, b.second));
        }
        Polyline(dc, row.data(), static_cast<int>(row.size()));
        Polyline(dc, col.data(), static_cast<int>(col.size()));
    }
    HPEN red = pen(RGB(0xc0, 0x39, 0x2b), 2);
    HBRUSH dot = CreateSolidBrush(RGB(0xc0, 0x39, 0x2b));
    SelectObject(dc, red);
    MoveToEx(dc, at(64, 22).x, at(64, 22).y, nullptr);
    LineTo(dc, at(64, 66).x, at(64, 66).y);
    SelectObject(dc, dot);
    Ellipse(dc, at(61, 65).x, at(61, 65).y, at(67, 71).x, at(67, 71).y);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0xc0, 0x39, 0x2b));
    RECT label{at(0, 2).x, at(0, 2).y, at(128, 20).x, at(128, 20).y};
    DrawTextW(dc, L"N", 1, &label, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    RestoreDC(dc, saved);
    DeleteObject(outline);
    DeleteObject(grid);
    DeleteObject(red);
    DeleteObject(dot);
}

}  // namespace toolkit::detail
