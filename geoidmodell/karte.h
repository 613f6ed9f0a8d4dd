// The layout of a model's picture: where the map, its frame labels, the title, the colour
// bar, the legend and the scale go. Computed apart from the drawing, so that it can be
// checked (no label over another, round tick values) without looking at pixels.
#pragma once

#include <string>
#include <vector>

#include "interp/format.h"

namespace modelltool {

struct Box {
    int x = 0, y = 0, w = 0, h = 0;
    bool overlaps(const Box& o) const { return x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h; }
};

/// A text (UTF-8) and the box its characters fill.
struct Label {
    std::string text;
    Box box;
};

/// A short tick mark at the frame or the colour bar.
struct Tick {
    int x0, y0, x1, y1;
};

struct MapLayout {
    int width = 0, height = 0;   ///< the picture, pixels
    Box map;                     ///< the model's area: its limits are the box's edges
    double px_per_lon = 0;       ///< pixels per degree of longitude
    double px_per_lat = 0;       ///< pixels per degree of latitude
    std::vector<Label> labels;   ///< title, frame, axis names, legend, scale
    std::vector<Tick> ticks;     ///< of the frame and the colour bar
    Box bar;                     ///< the colour bar, from the lowest value (bottom) to the highest
    std::vector<double> bar_ticks;  ///< values (metres) labelled at the bar
    Box scale;                   ///< the bar of the kilometre scale
    double scale_km = 0;         ///< its length
    /// The colour boxes of the legend and what each stands for.
    enum class Key { NoValue, Inside, Outside };
    std::vector<std::pair<Box, Key>> keys;
};

/// A point of the point file: latitude, longitude (degrees).
struct MapPoint {
    double b, l;
};

/// Lays out the picture of model `name` with header `h`, values from `lo` to `hi` metres;
/// `gaps`: a key for nodes without a value; `points`: keys for points inside and outside;
/// `beyond`: the points that lie beyond the picture, listed under the keys.
MapLayout map_layout(const interp::GridHeader& h, const std::string& name, double lo, double hi, bool gaps,
                     bool points, const std::vector<MapPoint>& beyond = {});

/// The pixel of latitude b, longitude l (degrees); false when it lies beyond the map's box.
bool map_pixel(const MapLayout& m, const interp::GridHeader& h, double b, double l, int& x, int& y);

/// Round values from lo to hi: the multiples of 1, 2 or 5 times a power of ten whose step
/// leaves at least `room` units between two of them and gives as many as fit.
std::vector<double> round_ticks(double lo, double hi, double room);

}  // namespace modelltool
