// geoidmodell: model files to and from the raster formats national grids are published in
// (GTX, GeoTIFF, ISG, BYN and whatever else GDAL reads), a description of a model, and a
// picture of it. Every operation writes its output under a temporary name and renames it at
// the end, so a refused or failed run leaves no output file behind.
#pragma once

#include <string>

#include "geoidmodell/text_grid.h"

namespace modelltool {

/// Outcome of an operation: empty message on success, otherwise the German reason.
struct Result {
    bool ok = true;
    std::string message;
};

/// Any grid GDAL reads into a model file: rows north to south, columns west to east, values in
/// 0.1 mm, no-data nodes as "no value". Refused: grids not in geographic degrees, rotated,
/// with limits or spacings that are not whole micro-arc-seconds, too large, or with values
/// that do not fit. A text grid of lines "B L N" is read when `text_grid` says so, when GDAL
/// cannot read the file, or reads it only as points without a reference system.
Result import_grid(const std::string& source, const std::string& model, const TextGridOptions& options = {},
                   bool text_grid = false);

/// A model file into GTX (".gtx") or GeoTIFF (".tif", ".tiff"), float32, no value as no-data.
/// Refused when a value would not come back exactly.
Result export_grid(const std::string& model, const std::string& target);

/// What a user needs to know before trusting a model: extent, spacing, rows and columns,
/// value range, nodes without a value, file size. `text` receives it.
Result describe(const std::string& model, std::string& text);

/// A colour picture (PNG) of the model: a perceptual colour scale with a legend in metres,
/// nodes without a value grey, a frame labelled in degrees; with `points` (a point file, B L
/// per line) the points marked, inside and outside the grid in two colours.
Result draw_map(const std::string& model, const std::string& png, const std::string& points);

}  // namespace modelltool
