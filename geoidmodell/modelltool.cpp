#include "geoidmodell/modelltool.h"

#include "geoidmodell/common.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

#include "textio/files.h"
#include "interp/grid.h"
#include "interp/model.h"
#include "interp/query.h"
#include "textio/textio.h"

namespace modelltool {

using namespace detail;


namespace {

// A source grid, opened and checked for what the model format needs.
struct SourceGrid {
    GDALDatasetUniquePtr ds;
    std::int64_t rows = 0, cols = 0;
    double gt[6] = {};  // GDAL's geotransform: pixel areas, origin at the outer corner
};

Result open_source(const std::string& source, SourceGrid& g)
{
    g.ds.reset(GDALDataset::Open(source.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY));
    if (!g.ds) return fail("Die Datei " + source + " kann nicht als Gitter gelesen werden" + gdal_reason() + ".");
    if (g.ds->GetRasterCount() < 1) return fail("Die Datei " + source + " enth\xC3\xA4lt kein Gitter.");
    g.cols = g.ds->GetRasterXSize(), g.rows = g.ds->GetRasterYSize();
    const double* gt = g.gt;
    if (g.ds->GetGeoTransform(g.gt) != CE_None) return fail("Das Gitter " + source + " hat keine Lage (keine Georeferenz).");
    if (gt[2] != 0.0 || gt[4] != 0.0) return fail("Das Gitter " + source + " ist gedreht; nur nordorientierte Gitter gehen.");
    const OGRSpatialReference* srs = g.ds->GetSpatialRef();
    if (srs == nullptr) return fail("Das Gitter " + source + " hat kein Bezugssystem; erwartet werden geografische Koordinaten in Grad.");
    if (!srs->IsGeographic())
        return fail("Das Gitter " + source + " ist nicht in geografischen Koordinaten (Breite, L\xC3\xA4nge in Grad).");
    if (std::fabs(srs->GetAngularUnits(nullptr) / convert::kRadiansPerDegree - 1.0) > 1e-9)
        return fail("Das Gitter " + source + " ist nicht in Grad angegeben.");
    if (g.rows < 1 || g.cols < 1 || static_cast<std::uint64_t>(g.rows) * static_cast<std::uint64_t>(g.cols) > kMaxNodes)
        return fail("Das Gitter " + source + " ist zu gro\xC3\x9F (" + std::to_string(g.rows) + " x " + std::to_string(g.cols) +
                    " Gitterpunkte; h\xC3\xB6" "chstens 2^31 - 1).");
    if (!(gt[1] > 0.0) || !(gt[5] != 0.0)) return fail("Das Gitter " + source + " hat keine g\xC3\xBCltige Gitterweite.");
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
    const char* const names[6] = {"s\xC3\xBC" "dliche Breite", "n\xC3\xB6rdliche Breite", "westliche L\xC3\xA4nge",
                                  "\xC3\xB6stliche L\xC3\xA4nge", "Gitterweite in Breite", "Gitterweite in L\xC3\xA4nge"};
    for (int k = 0; k < 6; ++k) {
        std::int64_t micro = 0;
        if (!whole_micro(angles[k], micro))
            return fail("Die " + std::string(names[k]) + " " + degrees_text(angles[k], 12) + " von " + source +
                        " ist keine ganze Zahl von Mikrobogensekunden.");
        if (!interp::encode_angle(micro, header + 3 * k))
            return fail("Die " + std::string(names[k]) + " " + degrees_text(angles[k], 12) +
                        " liegt zwischen -1\xC2\xB0 und 0\xC2\xB0; das Modellformat kann sie nicht speichern.");
    }
    interp::GridHeader h;
    if (!interp::decode_header(std::span<const std::int32_t, 18>(header, 18), h) || h.nb != g.rows || h.nl != g.cols)
        return fail("Die Grenzen und Gitterweiten von " + source + " beschreiben kein Gitter dieses Formats.");
    // Every node where the source has it: the far row and column as the model derives them.
    const double far_lat = h.bmax - static_cast<double>(h.nb - 1) * h.db;
    const double far_lon = h.lmin + static_cast<double>(h.nl - 1) * h.dl;
    if (!(std::fabs(far_lat - south) <= kPositionTolerance && std::fabs(far_lon - east) <= kPositionTolerance))
        return fail("Die Gitterweite von " + source + " ist keine ganze Zahl von Mikrobogensekunden: die Gitterpunkte "
                    "l\xC3\xA4gen im Modell um mehr als 1e-9\xC2\xB0 anders.");
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
            return fail("Fehler beim Lesen von " + source + gdal_reason() + ".");
        for (std::int64_t c = 0; c < g.cols; ++c) {
            const double raw = values[static_cast<std::size_t>(c)];
            if (bv.is_nodata(raw)) {
                nodes[static_cast<std::size_t>(c)] = kNoValue;
                continue;
            }
            const double v = bv.metres(raw);
            const double tenths = v * 10000.0;  // 0.1 mm
            if (!(std::fabs(tenths) < 99999998.5))
                return fail("Der Wert " + plain(v, 4) + " m in Zeile " + std::to_string(source_row + 1) + ", Spalte " +
                            std::to_string(c + 1) + " von " + source +
                            " passt nicht in das Modellformat (Betrag unter 9999.9999 m).");
            nodes[static_cast<std::size_t>(c)] = static_cast<std::int32_t>(std::llround(tenths));
        }
        bytes.clear();
        interp::put_records(bytes, nodes.data(), nodes.size());
        if (std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) return fail("Fehler beim Schreiben von " + model + ".");
    }
    return {};
}

}  // namespace

Result import_grid(const std::string& source, const std::string& model)
{
    gdal_init();
    if (textio::same_file(source, model)) return fail("Die Ausgabedatei " + model + " ist die Eingabedatei.");
    SourceGrid g;
    if (Result r = open_source(source, g); !r.ok) return r;
    std::int32_t header[18];
    if (Result r = header_of(g, source, header); !r.ok) return r;
    TempOutput out(model);
    if (out.path().empty()) return fail(out.failure());
    std::FILE* f = std::fopen(out.path().c_str(), "wb");
    if (f == nullptr) return fail("Die Datei " + model + " kann nicht angelegt werden.");
    std::string bytes;
    interp::put_records(bytes, header, 18);
    Result result;
    if (std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) result = fail("Fehler beim Schreiben von " + model + ".");
    if (result.ok) result = write_nodes(g, source, model, f);
    if (std::fclose(f) != 0 && result.ok) result = fail("Fehler beim Schreiben von " + model + ".");
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
                return fail("Der Wert " + plain(nodes[c] * 0.0001, 4) + " m in Zeile " + std::to_string(r) + ", Spalte " +
                            std::to_string(c + 1) + " kann in " + target + " nicht genau gespeichert werden.");
            values[c] = v;
        }
        if (band->RasterIO(GF_Write, 0, static_cast<int>(r - 1), static_cast<int>(m.h.nl), 1, values.data(),
                           static_cast<int>(m.h.nl), 1, GDT_Float32, 0, 0, nullptr) != CE_None)
            return fail("Fehler beim Schreiben von " + target + gdal_reason() + ".");
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
    double gt[6] = {h.lmin - 0.5 * h.dl, h.dl, 0.0, h.bmax + 0.5 * h.db, 0.0, -h.db};
    ds->SetGeoTransform(gt);
    OGRSpatialReference srs;
    if (srs.importFromEPSG(4258) == OGRERR_NONE) {
        srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        ds->SetSpatialRef(&srs);
    }
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
        return fail("Unbekanntes Ausgabeformat " + target + ": erlaubt sind .bin (Modelldatei), .gtx und .tif.");
    if (textio::same_file(model, target)) return fail("Die Ausgabedatei " + target + " ist die Eingabedatei.");
    OpenModel m;
    if (!m.open(model)) return fail(m.message);
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(gtx ? "GTX" : "GTiff");
    if (driver == nullptr) return fail("Der GDAL-Treiber f\xC3\xBCr " + target + " fehlt.");
    TempOutput out(target);
    if (out.path().empty()) return fail(out.failure());
    std::remove(out.path().c_str());  // the driver creates it anew
    const float nodata = gtx ? static_cast<float>(kGtxNoData) : std::nanf("");
    GDALDatasetUniquePtr ds = create_raster(driver, out.path(), m.h, nodata);
    if (!ds) return fail("Die Datei " + target + " kann nicht angelegt werden" + gdal_reason() + ".");
    Result result = write_band(m, model, target, ds->GetRasterBand(1), nodata, gtx);
    if (result.ok) {
        CPLErrorReset();
        ds.reset();  // closing writes what the driver still holds
        if (CPLGetLastErrorType() >= CE_Failure) result = fail("Fehler beim Schreiben von " + target + gdal_reason() + ".");
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
    text = "Modelldatei:      " + path + "\n";
    text += "Breite:           " + deg(h.bmin) + " bis " + deg(h.bmax) + "\n";
    text += "L\xC3\xA4nge:            " + deg(h.lmin) + " bis " + deg(h.lmax) + "\n";
    text += "Gitterweite:      " + sec(h.db) + " in Breite, " + sec(h.dl) + " in L\xC3\xA4nge\n";
    text += "Gitter:           " + std::to_string(h.nb) + " Zeilen x " + std::to_string(h.nl) + " Spalten = " +
            std::to_string(h.nb * h.nl) + " Gitterpunkte\n";
    if (any)
        text += "Werte:            " + plain(lo * 0.0001, 4) + " m bis " +
                plain(hi * 0.0001, 4) + " m\n";
    else
        text += "Werte:            keine\n";
    text += "Ohne Wert:        " + std::to_string(no_value) + " Gitterpunkte\n";
    text += "Dateigr\xC3\xB6\xC3\x9F" "e:       " + std::to_string(size) + " Byte, erwartet " + std::to_string(expected) + " Byte: ";
    if (size == expected) {
        text += "stimmt\n";
        return {};
    }
    text += size < expected ? "zu kurz" : "zu lang";
    if (missing_rows > 0) text += " (" + std::to_string(missing_rows) + " Zeilen fehlen ganz oder teilweise)";
    text += "\n";
    return fail(size < expected ? messages::kReadFailed + path : messages::kInvalid + path);
}

}  // namespace modelltool
