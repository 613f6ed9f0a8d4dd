#include "geoidmodell/modelltool.h"

#include "geoidmodell/common.h"
#include "geoidmodell/text_grid.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "textio/files.h"
#include "interp/grid.h"
#include "interp/model.h"
#include "interp/query.h"
#include "textio/textio.h"
#include "messages/geoidmodell.h"
#include "messages/messages.h"

namespace modelltool {

using namespace detail;


namespace {

namespace text = messages::geoidmodell;

// A source grid, opened and checked for what the model format needs.
struct SourceGrid {
    GDALDatasetUniquePtr ds;
    std::int64_t rows = 0, cols = 0;
    double gt[6] = {};  // GDAL's geotransform: pixel areas, origin at the outer corner
};

// Pixel areas around the nodes (a node lies at the centre of its pixel) from the north-west
// node and the spacings; ETRS89 geographic, longitude first.
void georeference(GDALDataset& ds, double west, double north, double dl, double db)
{
    double gt[6] = {west - 0.5 * dl, dl, 0.0, north + 0.5 * db, 0.0, -db};
    ds.SetGeoTransform(gt);
    OGRSpatialReference srs;
    if (srs.importFromEPSG(4258) == OGRERR_NONE) {
        srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        ds.SetSpatialRef(&srs);
    }
}

// A text grid as a raster in memory: pixel areas around the nodes, ETRS89 geographic,
// no value as NaN.
GDALDatasetUniquePtr text_dataset(const TextGrid& t)
{
    GDALDriver* mem = GetGDALDriverManager()->GetDriverByName("MEM");
    if (mem == nullptr) return nullptr;
    GDALDatasetUniquePtr ds(mem->Create("", static_cast<int>(t.cols), static_cast<int>(t.rows), 1, GDT_Float64, nullptr));
    if (!ds) return ds;
    georeference(*ds, t.west, t.north, t.dl, t.db);
    GDALRasterBand* band = ds->GetRasterBand(1);
    band->SetNoDataValue(std::nan(""));
    if (band->RasterIO(GF_Write, 0, 0, static_cast<int>(t.cols), static_cast<int>(t.rows), const_cast<double*>(t.values.data()),
                       static_cast<int>(t.cols), static_cast<int>(t.rows), GDT_Float64, 0, 0, nullptr) != CE_None)
        return nullptr;
    return ds;
}

// A grid GDAL reads, or a text grid of lines "B L N": when the options for one are given,
// when GDAL cannot read the file or reads it only as points without a reference system.
Result open_source(const std::string& source, const TextGridOptions& options, bool text_grid, SourceGrid& g)
{
    if (!text_grid) g.ds.reset(GDALDataset::Open(source.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY));
    const bool xyz = g.ds && g.ds->GetDriver() != nullptr && std::strcmp(g.ds->GetDriver()->GetDescription(), "XYZ") == 0;
    if (!g.ds || xyz) {
        const std::string not_a_grid = g.ds || text_grid ? "" : messages::fill(text::kNotAGrid, {source, gdal_reason()});
        TextGrid t;
        std::string error;
        bool first_line_bad = false;
        if (!read_text_grid(source, options, t, error, first_line_bad))
            return fail(first_line_bad && !not_a_grid.empty() ? not_a_grid : error);
        g.ds = text_dataset(t);
        if (!g.ds) return fail(messages::fill(text::kNotAGrid, {source, gdal_reason()}));
    }
    if (g.ds->GetRasterCount() < 1) return fail(messages::fill(text::kNoBand, {source}));
    g.cols = g.ds->GetRasterXSize(), g.rows = g.ds->GetRasterYSize();
    const double* gt = g.gt;
    if (g.ds->GetGeoTransform(g.gt) != CE_None) return fail(messages::fill(text::kNoGeoreference, {source}));
    if (gt[2] != 0.0 || gt[4] != 0.0) return fail(messages::fill(text::kRotated, {source}));
    const OGRSpatialReference* srs = g.ds->GetSpatialRef();
    if (srs == nullptr) return fail(messages::fill(text::kNoReferenceSystem, {source}));
    if (!srs->IsGeographic())
        return fail(messages::fill(text::kNotGeographic, {source}));
    if (std::fabs(srs->GetAngularUnits(nullptr) / convert::kRadiansPerDegree - 1.0) > 1e-9)
        return fail(messages::fill(text::kNotDegrees, {source}));
    if (g.rows < 1 || g.cols < 1 || static_cast<std::uint64_t>(g.rows) * static_cast<std::uint64_t>(g.cols) > kMaxNodes)
        return fail(messages::fill(text::kTooLarge, {source, std::to_string(g.rows), std::to_string(g.cols)}));
    if (!(gt[1] > 0.0) || !(gt[5] != 0.0)) return fail(messages::fill(text::kNoSpacing, {source}));
    return {};
}

// The 18 header records of the model: nodes lie at the pixel centres, whatever the source's
// registration (GDAL reports every grid as pixel areas, shifted by half a step where the
// source stores node positions).
Result header_of(const SourceGrid& g, const std::string& source, std::int32_t header[18])
{
    const double* gt = g.gt;
    const bool south_up = gt[5] > 0.0;
    const double first_lat = gt[3] + 0.5 * gt[5], last_lat = gt[3] + (static_cast<double>(g.rows) - 0.5) * gt[5];
    const double north = south_up ? last_lat : first_lat, south = south_up ? first_lat : last_lat;
    const double west = gt[0] + 0.5 * gt[1], east = gt[0] + (static_cast<double>(g.cols) - 0.5) * gt[1];
    const double angles[6] = {south, north, west, east, std::fabs(gt[5]), gt[1]};
    const auto& names = text::kHeaderAngles;
    for (int k = 0; k < 6; ++k) {
        std::int64_t micro = 0;
        if (!whole_micro(angles[k], micro))
            return fail(messages::fill(text::kNotMicro, {names[k], degrees_text(angles[k], 12), source}));
        if (!interp::encode_angle(micro, header + 3 * k))
            return fail(messages::fill(text::kNearZero, {names[k], degrees_text(angles[k], 12)}));
    }
    interp::GridHeader h;
    if (!interp::decode_header(std::span<const std::int32_t, 18>(header, 18), h) || h.nb != g.rows || h.nl != g.cols)
        return fail(messages::fill(text::kNoGrid, {source}));
    // Every node where the source has it: the far row and column as the model derives them.
    const double far_lat = h.bmax - static_cast<double>(h.nb - 1) * h.db;
    const double far_lon = h.lmin + static_cast<double>(h.nl - 1) * h.dl;
    if (!(std::fabs(far_lat - south) <= kPositionTolerance && std::fabs(far_lon - east) <= kPositionTolerance))
        return fail(messages::fill(text::kDrift, {source}));
    return {};
}

// How a band's numbers become metres: no-data, and a scale and offset (BYN keeps millimetres).
struct BandValues {
    int has_nodata = 0, has_scale = 0, has_offset = 0;
    double nodata = 0, scale = 1, offset = 0;
    bool float_band = false, scaled = false;

    explicit BandValues(GDALRasterBand* band)
    {
        nodata = band->GetNoDataValue(&has_nodata);
        scale = band->GetScale(&has_scale), offset = band->GetOffset(&has_offset);
        float_band = band->GetRasterDataType() == GDT_Float32;
        scaled = (has_scale && scale != 1.0 && scale != 0.0) || (has_offset && offset != 0.0);
    }
    // The no-data value compared in the precision the band stores (GTX: float32 -88.8888).
    bool is_nodata(double raw) const
    {
        return std::isnan(raw) ||
               (has_nodata && (raw == nodata || (float_band && static_cast<float>(raw) == static_cast<float>(nodata))));
    }
    double metres(double raw) const
    {
        return scaled ? raw * (has_scale && scale != 0.0 ? scale : 1.0) + (has_offset ? offset : 0.0) : raw;
    }
};

// The source's rows north to south as node records, after the header.
Result write_nodes(const SourceGrid& g, const std::string& source, const std::string& model, std::FILE* f)
{
    GDALRasterBand* band = g.ds->GetRasterBand(1);
    const BandValues bv(band);
    const bool south_up = g.gt[5] > 0.0;
    std::vector<double> values(static_cast<std::size_t>(g.cols));
    std::vector<std::int32_t> nodes(static_cast<std::size_t>(g.cols));
    std::string bytes;
    for (std::int64_t r = 0; r < g.rows; ++r) {
        const std::int64_t source_row = south_up ? g.rows - 1 - r : r;
        if (band->RasterIO(GF_Read, 0, static_cast<int>(source_row), static_cast<int>(g.cols), 1, values.data(),
                           static_cast<int>(g.cols), 1, GDT_Float64, 0, 0, nullptr) != CE_None)
            return fail(messages::fill(text::kReadError, {source, gdal_reason()}));
        for (std::int64_t c = 0; c < g.cols; ++c) {
            const double raw = values[static_cast<std::size_t>(c)];
            if (bv.is_nodata(raw)) {
                nodes[static_cast<std::size_t>(c)] = kNoValue;
                continue;
            }
            const double v = bv.metres(raw);
            const double tenths = v * 10000.0;  // 0.1 mm
            if (!(std::fabs(tenths) < 99999998.5))
                return fail(messages::fill(text::kValueTooLarge, {plain(v, 4), std::to_string(source_row + 1), std::to_string(c + 1), source}));
            nodes[static_cast<std::size_t>(c)] = static_cast<std::int32_t>(std::llround(tenths));
        }
        bytes.clear();
        interp::put_records(bytes, nodes.data(), nodes.size());
        if (std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) return fail(messages::fill(text::kWriteError, {model, ""}));
    }
    return {};
}

}  // namespace

Result import_grid(const std::string& source, const std::string& model, const TextGridOptions& options, bool text_grid)
{
    gdal_init();
    if (textio::same_file(source, model)) return fail(messages::fill(text::kSameFile, {model}));
    SourceGrid g;
    if (Result r = open_source(source, options, text_grid, g); !r.ok) return r;
    std::int32_t header[18];
    if (Result r = header_of(g, source, header); !r.ok) return r;
    TempOutput out(model);
    if (out.path().empty()) return fail(out.failure());
    std::FILE* f = std::fopen(out.path().c_str(), "wb");
    if (f == nullptr) return fail(messages::fill(text::kCannotCreate, {model, ""}));
    std::string bytes;
    interp::put_records(bytes, header, 18);
    Result result;
    if (std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) result = fail(messages::fill(text::kWriteError, {model, ""}));
    if (result.ok) result = write_nodes(g, source, model, f);
    if (std::fclose(f) != 0 && result.ok) result = fail(messages::fill(text::kWriteError, {model, ""}));
    if (result.ok) {
        if (std::string m = out.commit(); !m.empty()) result = fail(m);
    }
    return result;
}

namespace {

// The model's rows as float32 into the band; refused where a value would not come back exactly.
Result write_band(const OpenModel& m, const std::string& model, const std::string& target, GDALRasterBand* band,
                  float nodata, bool gtx)
{
    std::vector<std::int32_t> nodes;
    std::vector<float> values(static_cast<std::size_t>(m.h.nl));
    for (std::int64_t r = 1; r <= m.h.nb; ++r) {
        if (!m.row(r, nodes)) return fail(messages::kReadFailed + model);
        for (std::size_t c = 0; c < nodes.size(); ++c) {
            if (nodes[c] >= kNoValue) {
                values[c] = nodata;
                continue;
            }
            const float v = static_cast<float>(interp::decode_node(nodes[c]));
            // Only values that come back exactly: float32 holds 0.1 mm up to about 1000 m.
            if (std::llround(static_cast<double>(v) * 10000.0) != nodes[c] || (gtx && v == static_cast<float>(kGtxNoData)))
                return fail(messages::fill(text::kNotExact, {plain(nodes[c] * 0.0001, 4), std::to_string(r), std::to_string(c + 1), target}));
            values[c] = v;
        }
        if (band->RasterIO(GF_Write, 0, static_cast<int>(r - 1), static_cast<int>(m.h.nl), 1, values.data(),
                           static_cast<int>(m.h.nl), 1, GDT_Float32, 0, 0, nullptr) != CE_None)
            return fail(messages::fill(text::kWriteError, {target, gdal_reason()}));
    }
    return {};
}

// A new raster of the model's size at `path`: pixel areas around the nodes (a node lies at
// the centre of its pixel), ETRS89 geographic, one float32 band with its no-data value.
GDALDatasetUniquePtr create_raster(GDALDriver* driver, const std::string& path, const interp::GridHeader& h, float nodata)
{
    GDALDatasetUniquePtr ds(driver->Create(path.c_str(), static_cast<int>(h.nl), static_cast<int>(h.nb), 1, GDT_Float32,
                                           nullptr));
    if (!ds) return ds;
    georeference(*ds, h.lmin, h.bmax, h.dl, h.db);
    ds->GetRasterBand(1)->SetNoDataValue(static_cast<double>(nodata));
    return ds;
}

}  // namespace

Result export_grid(const std::string& model, const std::string& target)
{
    gdal_init();
    std::string ext = target.substr(target.find_last_of('.') == std::string::npos ? target.size() : target.find_last_of('.'));
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const bool gtx = ext == ".gtx";
    if (!gtx && ext != ".tif" && ext != ".tiff")
        return fail(messages::fill(text::kUnknownTarget, {target}));
    if (textio::same_file(model, target)) return fail(messages::fill(text::kSameFile, {target}));
    OpenModel m;
    if (!m.open(model)) return fail(m.message);
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(gtx ? "GTX" : "GTiff");
    if (driver == nullptr) return fail(messages::fill(text::kNoDriver, {target}));
    TempOutput out(target);
    if (out.path().empty()) return fail(out.failure());
    std::remove(out.path().c_str());  // the driver creates it anew
    const float nodata = gtx ? static_cast<float>(kGtxNoData) : std::nanf("");
    GDALDatasetUniquePtr ds = create_raster(driver, out.path(), m.h, nodata);
    if (!ds) return fail(messages::fill(text::kCannotCreate, {target, gdal_reason()}));
    Result result = write_band(m, model, target, ds->GetRasterBand(1), nodata, gtx);
    if (result.ok) {
        CPLErrorReset();
        ds.reset();  // closing writes what the driver still holds
        if (CPLGetLastErrorType() >= CE_Failure) result = fail(messages::fill(text::kWriteError, {target, gdal_reason()}));
    }
    ds.reset();
    if (result.ok) {
        if (std::string m = out.commit(); !m.empty()) result = fail(m);
    }
    return result;
}

Result describe(const std::string& path, std::string& text)
{
    OpenModel m;
    if (!m.open(path, /*checked=*/false)) return fail(m.message);
    const interp::GridHeader& h = m.h;
    const std::int64_t expected = 4 * (18 + h.nb * h.nl);
    const std::int64_t size = m.file.size_bytes();
    const OpenModel::Scan v = m.scan();
    const std::int64_t no_value = v.no_value, missing_rows = v.missing_rows;
    const std::int32_t lo = v.lo, hi = v.hi;
    const bool any = v.any;
    const auto deg = [](double v) { return degrees_text(v); };
    const auto sec = [](double v) { return plain(v * 3600.0, 6) + "\""; };
    text = messages::fill(text::kInfoModel, {path});
    text += messages::fill(text::kInfoLatitude, {deg(h.bmin), deg(h.bmax)});
    text += messages::fill(text::kInfoLongitude, {deg(h.lmin), deg(h.lmax)});
    text += messages::fill(text::kInfoSpacing, {sec(h.db), sec(h.dl)});
    text += messages::fill(text::kInfoGrid, {std::to_string(h.nb), std::to_string(h.nl), std::to_string(h.nb * h.nl)});
    text += any ? messages::fill(text::kInfoValues, {plain(lo * 0.0001, 4), plain(hi * 0.0001, 4)}) : std::string(text::kInfoNoValues);
    text += messages::fill(text::kInfoWithout, {std::to_string(no_value)});
    text += messages::fill(text::kInfoSize, {std::to_string(size), std::to_string(expected)});
    if (size == expected) {
        text += text::kInfoSizeRight;
        return {};
    }
    text += size < expected ? text::kInfoTooShort : text::kInfoTooLong;
    if (missing_rows > 0) text += messages::fill(text::kInfoMissingRows, {std::to_string(missing_rows)});
    text += "\n";
    return fail(size < expected ? messages::kReadFailed + path : messages::kInvalid + path);
}

}  // namespace modelltool
