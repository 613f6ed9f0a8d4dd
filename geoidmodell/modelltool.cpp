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


Result import_grid(const std::string& source, const std::string& model)
{
    gdal_init();
    if (textio::same_file(source, model)) return fail("Die Ausgabedatei " + model + " ist die Eingabedatei.");
    GDALDatasetUniquePtr ds(GDALDataset::Open(source.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY));
    if (!ds) return fail("Die Datei " + source + " kann nicht als Gitter gelesen werden" + gdal_reason() + ".");
    if (ds->GetRasterCount() < 1) return fail("Die Datei " + source + " enth\xC3\xA4lt kein Gitter.");
    const std::int64_t cols = ds->GetRasterXSize(), rows = ds->GetRasterYSize();
    double gt[6];
    if (ds->GetGeoTransform(gt) != CE_None) return fail("Das Gitter " + source + " hat keine Lage (keine Georeferenz).");
    if (gt[2] != 0.0 || gt[4] != 0.0) return fail("Das Gitter " + source + " ist gedreht; nur nordorientierte Gitter gehen.");
    const OGRSpatialReference* srs = ds->GetSpatialRef();
    if (srs == nullptr) return fail("Das Gitter " + source + " hat kein Bezugssystem; erwartet werden geografische Koordinaten in Grad.");
    if (!srs->IsGeographic())
        return fail("Das Gitter " + source + " ist nicht in geografischen Koordinaten (Breite, L\xC3\xA4nge in Grad).");
    if (std::fabs(srs->GetAngularUnits(nullptr) / convert::kRadiansPerDegree - 1.0) > 1e-9)
        return fail("Das Gitter " + source + " ist nicht in Grad angegeben.");
    if (rows < 1 || cols < 1 || static_cast<std::uint64_t>(rows) * static_cast<std::uint64_t>(cols) > kMaxNodes)
        return fail("Das Gitter " + source + " ist zu gro\xC3\x9F (" + std::to_string(rows) + " x " + std::to_string(cols) +
                    " Gitterpunkte; h\xC3\xB6" "chstens 2^31 - 1).");
    if (!(gt[1] > 0.0) || !(gt[5] != 0.0)) return fail("Das Gitter " + source + " hat keine g\xC3\xBCltige Gitterweite.");

    // Nodes lie at the pixel centres, whatever the source's registration: GDAL reports every
    // grid as pixel areas, shifted by half a step where the source stores node positions.
    const bool south_up = gt[5] > 0.0;
    const double dy = std::fabs(gt[5]);
    const double first_lat = gt[3] + 0.5 * gt[5], last_lat = gt[3] + (static_cast<double>(rows) - 0.5) * gt[5];
    const double north = south_up ? last_lat : first_lat, south = south_up ? first_lat : last_lat;
    const double west = gt[0] + 0.5 * gt[1], east = gt[0] + (static_cast<double>(cols) - 0.5) * gt[1];
    const double angles[6] = {south, north, west, east, dy, gt[1]};
    const char* const names[6] = {"s\xC3\xBC" "dliche Breite", "n\xC3\xB6rdliche Breite", "westliche L\xC3\xA4nge",
                                  "\xC3\xB6stliche L\xC3\xA4nge", "Gitterweite in Breite", "Gitterweite in L\xC3\xA4nge"};
    std::int32_t header[18];
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
    if (!interp::decode_header(std::span<const std::int32_t, 18>(header, 18), h) || h.nb != rows || h.nl != cols)
        return fail("Die Grenzen und Gitterweiten von " + source + " beschreiben kein Gitter dieses Formats.");
    // Every node where the source has it: the far row and column as the model derives them.
    const double far_lat = h.bmax - static_cast<double>(h.nb - 1) * h.db;
    const double far_lon = h.lmin + static_cast<double>(h.nl - 1) * h.dl;
    if (!(std::fabs(far_lat - south) <= kPositionTolerance && std::fabs(far_lon - east) <= kPositionTolerance))
        return fail("Die Gitterweite von " + source + " ist keine ganze Zahl von Mikrobogensekunden: die Gitterpunkte "
                    "l\xC3\xA4gen im Modell um mehr als 1e-9\xC2\xB0 anders.");

    TempOutput out(model);
    if (out.path().empty()) return fail("Die Datei " + model + " kann nicht angelegt werden.");
    std::FILE* f = std::fopen(out.path().c_str(), "wb");
    if (f == nullptr) return fail("Die Datei " + model + " kann nicht angelegt werden.");
    std::string bytes;
    interp::put_records(bytes, header, 18);
    GDALRasterBand* band = ds->GetRasterBand(1);
    int has_nodata = 0;
    const double nodata = band->GetNoDataValue(&has_nodata);
    // Stored numbers may be scaled (BYN keeps millimetres, for one): metres = raw * scale + offset.
    int has_scale = 0, has_offset = 0;
    const double scale = band->GetScale(&has_scale), offset = band->GetOffset(&has_offset);
    const bool float_band = band->GetRasterDataType() == GDT_Float32;
    const bool scaled = (has_scale && scale != 1.0 && scale != 0.0) || (has_offset && offset != 0.0);
    std::vector<double> values(static_cast<std::size_t>(cols));
    std::vector<std::int32_t> nodes(static_cast<std::size_t>(cols));
    Result result;
    for (std::int64_t r = 0; r < rows && result.ok; ++r) {
        const std::int64_t source_row = south_up ? rows - 1 - r : r;  // north to south
        if (band->RasterIO(GF_Read, 0, static_cast<int>(source_row), static_cast<int>(cols), 1, values.data(),
                           static_cast<int>(cols), 1, GDT_Float64, 0, 0, nullptr) != CE_None) {
            result = fail("Fehler beim Lesen von " + source + gdal_reason() + ".");
            break;
        }
        for (std::int64_t c = 0; c < cols; ++c) {
            const double raw = values[static_cast<std::size_t>(c)];
            // The no-data value compared in the precision the band stores (GTX: float32 -88.8888).
            if (std::isnan(raw) || (has_nodata && (raw == nodata || (float_band && static_cast<float>(raw) ==
                                                                                         static_cast<float>(nodata))))) {
                nodes[static_cast<std::size_t>(c)] = kNoValue;
                continue;
            }
            const double v = scaled ? raw * (has_scale && scale != 0.0 ? scale : 1.0) + (has_offset ? offset : 0.0) : raw;
            const double tenths = v * 10000.0;  // 0.1 mm
            if (!(std::fabs(tenths) < 99999998.5)) {
                result = fail("Der Wert " + plain(v, 4) + " m in Zeile " +
                              std::to_string(source_row + 1) + ", Spalte " + std::to_string(c + 1) + " von " + source +
                              " passt nicht in das Modellformat (Betrag unter 9999.9999 m).");
                break;
            }
            nodes[static_cast<std::size_t>(c)] = static_cast<std::int32_t>(std::llround(tenths));
        }
        interp::put_records(bytes, nodes.data(), nodes.size());
        if (std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) result = fail("Fehler beim Schreiben von " + model + ".");
        bytes.clear();
    }
    if (std::fclose(f) != 0 && result.ok) result = fail("Fehler beim Schreiben von " + model + ".");
    if (result.ok && !out.commit()) result = fail("Die Datei " + model + " kann nicht angelegt werden.");
    return result;
}

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
    if (out.path().empty()) return fail("Die Datei " + target + " kann nicht angelegt werden.");
    std::remove(out.path().c_str());  // the driver creates it anew
    Result result;
    {
        GDALDatasetUniquePtr ds(driver->Create(out.path().c_str(), static_cast<int>(m.h.nl), static_cast<int>(m.h.nb), 1,
                                               GDT_Float32, nullptr));
        if (!ds) return fail("Die Datei " + target + " kann nicht angelegt werden" + gdal_reason() + ".");
        // Pixel areas around the nodes: a node lies at the centre of its pixel.
        double gt[6] = {m.h.lmin - 0.5 * m.h.dl, m.h.dl, 0.0, m.h.bmax + 0.5 * m.h.db, 0.0, -m.h.db};
        ds->SetGeoTransform(gt);
        OGRSpatialReference srs;
        if (srs.importFromEPSG(4258) == OGRERR_NONE) {  // ETRS89, geographic
            srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
            ds->SetSpatialRef(&srs);
        }
        const float nodata = gtx ? static_cast<float>(kGtxNoData) : std::nanf("");
        GDALRasterBand* band = ds->GetRasterBand(1);
        band->SetNoDataValue(static_cast<double>(nodata));
        std::vector<std::int32_t> nodes;
        std::vector<float> values(static_cast<std::size_t>(m.h.nl));
        for (std::int64_t r = 1; r <= m.h.nb && result.ok; ++r) {
            if (!m.row(r, nodes)) {
                result = fail(messages::kReadFailed + model);
                break;
            }
            for (std::size_t c = 0; c < nodes.size() && result.ok; ++c) {
                if (nodes[c] >= kNoValue) {
                    values[c] = nodata;
                    continue;
                }
                const float v = static_cast<float>(interp::decode_node(nodes[c]));
                // Only values that come back exactly: float32 holds 0.1 mm up to about 1000 m.
                if (std::llround(static_cast<double>(v) * 10000.0) != nodes[c] || (gtx && v == static_cast<float>(kGtxNoData)))
                    result = fail("Der Wert " + plain(nodes[c] * 0.0001, 4) +
                                  " m in Zeile " + std::to_string(r) + ", Spalte " + std::to_string(c + 1) +
                                  " kann in " + target + " nicht genau gespeichert werden.");
                values[c] = v;
            }
            if (result.ok && band->RasterIO(GF_Write, 0, static_cast<int>(r - 1), static_cast<int>(m.h.nl), 1, values.data(),
                                            static_cast<int>(m.h.nl), 1, GDT_Float32, 0, 0, nullptr) != CE_None)
                result = fail("Fehler beim Schreiben von " + target + gdal_reason() + ".");
        }
        if (result.ok) {
            CPLErrorReset();
            ds.reset();  // closing writes what the driver still holds
            if (CPLGetLastErrorType() >= CE_Failure) result = fail("Fehler beim Schreiben von " + target + gdal_reason() + ".");
        }
    }
    if (result.ok && !out.commit()) result = fail("Die Datei " + target + " kann nicht angelegt werden.");
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
