// geoidmodell: model files to and from the raster formats, grouped by format; round trips must
// give back the same bytes, bad input a clear message and no output file.

#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "interp/grid.h"
#include "interp/model.h"
#include "tests/model_builder.h"
#include "geoidmodell/karte.h"
#include "geoidmodell/modelltool.h"
#include "geoidmodell/text_grid.h"
#include "interp/query.h"
#include "messages/messages.h"
#include "textio/files.h"

using testing_support::Angle;
using testing_support::read_bytes;
using testing_support::TempDir;

namespace {

struct ToolRun {
    int status = -1;
    std::string out, err;
};

ToolRun tool(const TempDir& dir, const std::string& args)
{
    const std::string cmd = "cd '" + dir.path() + "' && timeout 120 '" GEOIDMODELL_EXE "' " + args +
                            " > stdout.txt 2> stderr.txt < /dev/null";
    const int raw = std::system(cmd.c_str());
    ToolRun r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = testing_support::read_text(dir.file("stdout.txt"));
    r.err = testing_support::read_text(dir.file("stderr.txt"));
    std::remove(dir.file("stdout.txt").c_str());
    std::remove(dir.file("stderr.txt").c_str());
    return r;
}

std::set<std::string> files_in(const TempDir& dir)
{
    std::set<std::string> names;
    DIR* d = opendir(dir.path().c_str());
    while (dirent* e = readdir(d))
        if (e->d_name[0] != '.') names.insert(e->d_name);
    closedir(d);
    return names;
}

// A model with negative values, nodes without a value and an odd size, west of Greenwich.
std::string odd_model(const TempDir& dir)
{
    const auto header = testing_support::header_records({47, 0, 0}, {48, 30, 0}, {-3, 0, 0}, {3, 0, 0}, {0, 15, 0},
                                                        {0, 30, 0});
    const std::string path = dir.file("odd.bin");
    testing_support::write_records(path, testing_support::with_nodes(header, testing_support::make_nodes(7, 13, [](int r, int c) {
                                                                        if ((r * 13 + c) % 17 == 0) return 99999999;
                                                                        return -250000 + 7919 * r * c - 1234 * c;
                                                                    })));
    return path;
}

// A raster written through GDAL: values row by row from the top, the geotransform, the SRS.
void write_raster(const std::string& path, const char* driver, int cols, int rows, const double gt[6], int epsg,
                  const std::vector<double>& values, const char* area_or_point = nullptr, double nodata = std::nan(""))
{
    GDALAllRegister();
    GDALDatasetUniquePtr ds(GetGDALDriverManager()->GetDriverByName(driver)->Create(path.c_str(), cols, rows, 1,
                                                                                    GDT_Float64, nullptr));
    ASSERT_TRUE(ds);
    ds->SetGeoTransform(const_cast<double*>(gt));
    if (epsg != 0) {
        OGRSpatialReference srs;
        srs.importFromEPSG(epsg);
        srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        ds->SetSpatialRef(&srs);
    }
    if (area_or_point != nullptr) ds->SetMetadataItem("AREA_OR_POINT", area_or_point);
    if (!std::isnan(nodata)) ds->GetRasterBand(1)->SetNoDataValue(nodata);
    ASSERT_EQ(ds->GetRasterBand(1)->RasterIO(GF_Write, 0, 0, cols, rows, const_cast<double*>(values.data()), cols, rows,
                                             GDT_Float64, 0, 0, nullptr),
              CE_None);
}

class GeoidModell : public ::testing::Test {
protected:
    TempDir dir;
};

}  // namespace

// ---- GTX and GeoTIFF: out and back ------------------------------------------------------------

TEST_F(GeoidModell, ModelOutAndBackGivesTheSameBytes)
{
    testing_support::write_bytes(dir.file("sample.bin"), read_bytes(SAMPLE_MODEL));
    const std::string models[] = {dir.file("sample.bin"), odd_model(dir)};
    for (const std::string& model : models) {
        for (const char* ext : {".gtx", ".tif"}) {
            SCOPED_TRACE(model + " via " + ext);
            const std::string grid = model + ext, back = model + ext + ".bin";
            const modelltool::Result out = modelltool::export_grid(model, grid);
            ASSERT_TRUE(out.ok) << out.message;
            const modelltool::Result in = modelltool::import_grid(grid, back);
            ASSERT_TRUE(in.ok) << in.message;
            EXPECT_EQ(read_bytes(back), read_bytes(model));
        }
    }
}

TEST_F(GeoidModell, GtxOfTheBenchmarkScriptReadsBackIdentical)
{
    const std::string cmd = "python3 '" BENCH_DIR "/model2gtx.py' '" SAMPLE_MODEL "' '" + dir.file("py.gtx") + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    ASSERT_TRUE(modelltool::import_grid(dir.file("py.gtx"), dir.file("py.bin")).ok);
    EXPECT_EQ(read_bytes(dir.file("py.bin")), read_bytes(SAMPLE_MODEL));
    // N on the converted model is N on the original, at nodes and between them.
    for (const double b : {47.13, 50.0, 52.5163, 55.9})
        for (const double l : {3.0, 9.0, 13.3777, 16.2}) {
            double n1 = 0, n2 = 0;
            std::string m1, m2;
            messages::varnik1(b, l, SAMPLE_MODEL, n1, m1);
            messages::varnik1(b, l, dir.file("py.bin"), n2, m2);
            EXPECT_EQ(n1, n2) << b << ' ' << l;
            EXPECT_EQ(m1, "");
        }
}

TEST_F(GeoidModell, PointAndAreaRegistrationPutTheNodesWhereTheSourceHasThem)
{
    // Nodes at B 51.0, 50.5, 50.0 and L 8.0 .. 10.0: the pixels around them.
    const double gt[6] = {7.75, 0.5, 0, 51.25, 0, -0.5};
    std::vector<double> values;
    for (int k = 0; k < 15; ++k) values.push_back(40.0 + 0.001 * k);
    write_raster(dir.file("area.tif"), "GTiff", 5, 3, gt, 4258, values, "Area");
    write_raster(dir.file("point.tif"), "GTiff", 5, 3, gt, 4258, values, "Point");
    for (const char* name : {"area", "point"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(modelltool::import_grid(dir.file(std::string(name) + ".tif"), dir.file(std::string(name) + ".bin")).ok);
        interp::ModelFile f;
        ASSERT_TRUE(f.open(dir.file(std::string(name) + ".bin")));
        interp::GridHeader h;
        ASSERT_EQ(interp::read_header(f, h), interp::HeaderStatus::Ok);
        EXPECT_EQ(h.bmin, 50.0);
        EXPECT_EQ(h.bmax, 51.0);
        EXPECT_EQ(h.lmin, 8.0);
        EXPECT_EQ(h.lmax, 10.0);
        EXPECT_EQ(h.nb, 3);
        EXPECT_EQ(h.nl, 5);
    }
    EXPECT_EQ(read_bytes(dir.file("point.bin")), read_bytes(dir.file("area.bin")));
}

// ---- ISG and BYN: in ---------------------------------------------------------------------------

TEST_F(GeoidModell, IsgAndBynAreReadNodeForNode)
{
    // The same 3 x 5 nodes (B 50..51, L 8..10, 30'), one without a value, in both formats.
    testing_support::write_text(dir.file("t.isg"),
                                "begin_of_head ===\nmodel name     : TEST\ndata units     : meters\ncoord type     : geodetic\n"
                                "lat min        =    49.750000\nlat max        =    51.250000\n"
                                "lon min        =     7.750000\nlon max        =    10.250000\n"
                                "delta lat      =     0.500000\ndelta lon      =     0.500000\n"
                                "nrows          =          3\nncols          =          5\nnodata         =   -9999.0000\n"
                                "ISG format     =          2.0\nend_of_head ===\n"
                                "  40.0000  40.0010  40.0020  40.0030  40.0040\n"
                                "  41.0000  41.0010 -9999.0000 41.0030 41.0040\n"
                                "  42.0000  42.0010  42.0020  42.0030  42.0040\n");
    {
        GDALAllRegister();
        const double gt[6] = {7.75, 0.5, 0, 51.25, 0, -0.5};
        GDALDatasetUniquePtr ds(GetGDALDriverManager()->GetDriverByName("BYN")->Create(dir.file("t.byn").c_str(), 5, 3, 1,
                                                                                       GDT_Int32, nullptr));
        ASSERT_TRUE(ds);
        ds->SetGeoTransform(const_cast<double*>(gt));
        GDALRasterBand* band = ds->GetRasterBand(1);
        band->SetScale(0.001);  // millimetres, as BYN stores them
        band->SetNoDataValue(9999000);
        std::vector<std::int32_t> mm;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 5; ++c) mm.push_back(r == 1 && c == 2 ? 9999000 : 40000 + 1000 * r + c);
        ASSERT_EQ(band->RasterIO(GF_Write, 0, 0, 5, 3, mm.data(), 5, 3, GDT_Int32, 0, 0, nullptr), CE_None);
    }
    const auto expected = testing_support::with_nodes(
        testing_support::header_records({50, 0, 0}, {51, 0, 0}, {8, 0, 0}, {10, 0, 0}, {0, 30, 0}, {0, 30, 0}),
        testing_support::make_nodes(3, 5, [](int r, int c) { return r == 2 && c == 3 ? 99999999 : 400000 + 10000 * (r - 1) + 10 * (c - 1); }));
    testing_support::write_records(dir.file("expected.bin"), expected);
    for (const char* src : {"t.isg", "t.byn"}) {
        SCOPED_TRACE(src);
        const modelltool::Result r = modelltool::import_grid(dir.file(src), dir.file(std::string(src) + ".bin"));
        ASSERT_TRUE(r.ok) << r.message;
        EXPECT_EQ(read_bytes(dir.file(std::string(src) + ".bin")), read_bytes(dir.file("expected.bin")));
    }
}

// ---- bad input: a clear message, status 1, no output file ---------------------------------------

TEST_F(GeoidModell, BadSourcesAreRefusedAndLeaveNoOutput)
{
    const double gt[6] = {7.75, 0.5, 0, 51.25, 0, -0.5};
    const std::vector<double> ok_values(15, 40.0);
    write_raster(dir.file("utm.tif"), "GTiff", 5, 3, (const double[6]){400000, 1000, 0, 5700000, 0, -1000}, 25832, ok_values);
    write_raster(dir.file("rotated.tif"), "GTiff", 5, 3, (const double[6]){7.75, 0.5, 0.1, 51.25, 0.1, -0.5}, 4258, ok_values);
    write_raster(dir.file("nosrs.tif"), "GTiff", 5, 3, gt, 0, ok_values);
    // 1/7 degree is no whole number of micro-arc-seconds: over 200 columns the nodes drift.
    write_raster(dir.file("crooked.tif"), "GTiff", 200, 3, (const double[6]){7.75, 1.0 / 7.0, 0, 51.25, 0, -0.5}, 4258,
                 std::vector<double>(600, 40.0));
    write_raster(dir.file("greenwich.tif"), "GTiff", 5, 3, (const double[6]){-0.75, 0.5, 0, 51.25, 0, -0.5}, 4258, ok_values);
    std::vector<double> huge = ok_values;
    huge[7] = 12345.0;
    write_raster(dir.file("toolarge.tif"), "GTiff", 5, 3, gt, 4258, huge);
    testing_support::write_text(dir.file("text.txt"), "kein Gitter\n");
    // A GTX header announcing 2^31 nodes (65536 x 32768), with no values behind it.
    {
        std::string h(40, '\0');
        const auto be_double = [&h](int at, double v) {
            std::uint64_t u;
            std::memcpy(&u, &v, 8);
            for (int k = 0; k < 8; ++k) h[at + k] = static_cast<char>(u >> (56 - 8 * k));
        };
        const auto be_int = [&h](int at, std::uint32_t v) {
            for (int k = 0; k < 4; ++k) h[at + k] = static_cast<char>(v >> (24 - 8 * k));
        };
        be_double(0, 40.0), be_double(8, 0.0), be_double(16, 1e-3), be_double(24, 1e-3);
        be_int(32, 32768), be_int(36, 65536);
        testing_support::write_text(dir.file("big.gtx"), h);
    }
    const struct {
        const char* source;
        const char* says;
    } cases[] = {
        {"fehlt.tif", "kann nicht als Gitter gelesen werden"},
        {"text.txt", "kann nicht als Gitter gelesen werden"},
        {"utm.tif", "nicht in geografischen Koordinaten"},
        {"rotated.tif", "ist gedreht"},
        {"nosrs.tif", "hat kein Bezugssystem"},
        {"crooked.tif", "Gitterweite von crooked.tif ist keine ganze Zahl von Mikrobogensekunden"},
        {"greenwich.tif", "zwischen -1\xC2\xB0 und 0\xC2\xB0"},
        {"toolarge.tif", "12345.0000 m in Zeile 2, Spalte 3"},
        {"big.gtx", "big.gtx"},
    };
    const std::set<std::string> before = files_in(dir);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        const ToolRun r = tool(dir, std::string(c.source) + " out.bin");
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_EQ(files_in(dir), before);  // no out.bin, no temporary file
    }
}

TEST_F(GeoidModell, UsageErrorsAndHelp)
{
    for (const char* args : {"", "a.tif", "a.tif b.txt", "--info", "--karte m.bin", "--x a b", "a b c", "--info m.bin extra",
                             "--karte m.bin k.png --punkte p.txt extra", "--karte m.bin k.png extra", "m.bin a.gtx extra"}) {
        const ToolRun r = tool(dir, args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find("geoidmodell --help zeigt den Aufruf"), std::string::npos) << args;
    }
    EXPECT_EQ(tool(dir, "--help").status, 0);
    EXPECT_EQ(tool(dir, "--version").out, "geoidmodell 1.05\n");
}

// An output that is no regular file is never replaced: a device that discards or refuses writes
// is written in place, anything else refused; a link keeps pointing where it did. No temporary
// file stays behind, also not after SIGINT in the middle of a large export.
TEST_F(GeoidModell, OutputsThatAreNoRegularFilesAndInterruptedRuns)
{
    testing_support::write_bytes(dir.file("m.bin"), read_bytes(SAMPLE_MODEL));
    mkdir(dir.file("adir").c_str(), 0755);
    ASSERT_EQ(mkfifo(dir.file("pipe.tif").c_str(), 0644), 0);
    ASSERT_EQ(symlink("real.gtx", dir.file("link.gtx").c_str()), 0);
    const struct {
        const char* args;
        int status;
        const char* err;
    } cases[] = {
        {"--karte m.bin /dev/null", 0, ""},
        {"--karte m.bin /dev/full", 1, "Fehler beim Schreiben von /dev/full.\n"},
        {"--karte m.bin adir", 1, "Die Ausgabedatei adir ist keine gew\xC3\xB6hnliche Datei.\n"},
        {"m.bin pipe.tif", 1, "Die Ausgabedatei pipe.tif ist keine gew\xC3\xB6hnliche Datei.\n"},
        {"m.bin link.gtx", 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const ToolRun r = tool(dir, c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
    struct stat st {};
    ASSERT_EQ(lstat(dir.file("link.gtx").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_TRUE(testing_support::file_exists(dir.file("real.gtx")));
    ASSERT_EQ(lstat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    EXPECT_EQ(files_in(dir), (std::set<std::string>{"adir", "link.gtx", "m.bin", "pipe.tif", "real.gtx"}));

    // 1801 x 2521 nodes: the export to GeoTIFF takes a while; SIGINT once its temporary file is there.
    const auto header = testing_support::header_records({46, 30, 0}, {56, 30, 0}, {2, 30, 0}, {16, 30, 0}, {0, 0, 20000000},
                                                        {0, 0, 20000000});
    testing_support::write_records(dir.file("big.bin"), testing_support::with_nodes(header, testing_support::make_nodes(
                                                            1801, 2521, [](int r, int c) { return 400000 + r * 3 + c; })));
    for (const int sig : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(sig);
        const pid_t child = fork();
        if (child == 0) {
            if (chdir(dir.path().c_str()) != 0) _exit(9);
            execl(GEOIDMODELL_EXE, GEOIDMODELL_EXE, "big.bin", "big.tif", static_cast<char*>(nullptr));
            _exit(9);
        }
        bool temporary = false;
        for (int k = 0; k < 2000 && !temporary; ++k) {
            for (const std::string& f : files_in(dir)) temporary = temporary || f.find(".tmp-") != std::string::npos;
            if (!temporary) usleep(1000);
        }
        kill(child, sig);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(temporary);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig);
        for (const std::string& f : files_in(dir)) EXPECT_EQ(f.find(".tmp-"), std::string::npos) << f;
        EXPECT_FALSE(testing_support::file_exists(dir.file("big.tif")));
    }
}

// ---- description and picture ---------------------------------------------------------------------

TEST_F(GeoidModell, InfoTellsTheFactsAndNotesAShortFile)
{
    const ToolRun r = tool(dir, "--info '" SAMPLE_MODEL "'");
    EXPECT_EQ(r.status, 0);
    for (const char* line : {"Breite:           46.500000\xC2\xB0 bis 56.500000\xC2\xB0\n",
                             "Gitterweite:      900.000000\" in Breite, 900.000000\" in L\xC3\xA4nge\n",
                             "Gitter:           41 Zeilen x 57 Spalten = 2337 Gitterpunkte\n",
                             "Werte:            30.2500 m bis 50.6800 m\n", "Ohne Wert:        0 Gitterpunkte\n",
                             "9420 Byte, erwartet 9420 Byte: stimmt\n"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line;
    auto bytes = read_bytes(SAMPLE_MODEL);
    bytes.resize(bytes.size() - 400);
    testing_support::write_bytes(dir.file("cut.bin"), bytes);
    const ToolRun cut = tool(dir, "--info cut.bin");
    EXPECT_EQ(cut.status, 1);
    EXPECT_NE(cut.out.find("9020 Byte, erwartet 9420 Byte: zu kurz (2 Zeilen fehlen ganz oder teilweise)"), std::string::npos)
        << cut.out;
}

TEST_F(GeoidModell, PictureMarksPointsInsideAndOutside)
{
    odd_model(dir);
    testing_support::write_text(dir.file("punkte.txt"), "47.7 0.5\n60.0 0.0\n48.5 -2.0\n");
    const mode_t old_mask = umask(022);
    ASSERT_EQ(tool(dir, "--karte odd.bin karte.png --punkte punkte.txt").status, 0);
    umask(old_mask);
    struct stat st {};
    ASSERT_EQ(stat(dir.file("karte.png").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0044, 0044u);  // readable by others, as new files are (umask 022)
    GDALAllRegister();
    GDALDatasetUniquePtr png(GDALDataset::Open(dir.file("karte.png").c_str(), GDAL_OF_RASTER));
    ASSERT_TRUE(png);
    ASSERT_EQ(png->GetRasterCount(), 3);
    const int w = png->GetRasterXSize(), h_px = png->GetRasterYSize();
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w) * h_px * 3);
    int bands[3] = {1, 2, 3};
    ASSERT_EQ(png->RasterIO(GF_Read, 0, 0, w, h_px, rgb.data(), w, h_px, GDT_Byte, 3, bands, 3, w * 3, 1, nullptr), CE_None);
    std::set<std::uint32_t> colours;
    for (std::size_t k = 0; k < rgb.size(); k += 3) colours.insert(rgb[k] << 16 | rgb[k + 1] << 8 | rgb[k + 2]);
    EXPECT_TRUE(colours.count(0xA0A0A0));  // nodes without a value
    EXPECT_TRUE(colours.count(0x440154));  // the low end of the colour scale
    EXPECT_TRUE(colours.count(0xFDE725));  // the high end
    // Each point in its colour at its own pixel: inside white, on the outermost row (outside) red.
    interp::ModelFile f;
    interp::GridHeader h;
    ASSERT_TRUE(f.open(dir.file("odd.bin")));
    ASSERT_EQ(interp::read_header(f, h), interp::HeaderStatus::Ok);
    const modelltool::MapLayout layout = modelltool::map_layout(h, "odd.bin", -25.0, 0.0, true, true, {{60.0, 0.0}});
    ASSERT_EQ(layout.width, w);
    ASSERT_EQ(layout.height, h_px);
    const struct {
        double b, l;
        std::uint32_t colour;
    } points[] = {{47.7, 0.5, 0xFFFFFF}, {48.5, -2.0, 0xDC1E1E}};
    for (const auto& p : points) {
        int x = 0, y = 0;
        ASSERT_TRUE(modelltool::map_pixel(layout, h, p.b, p.l, x, y));
        const std::size_t at = (static_cast<std::size_t>(y) * w + x) * 3;
        EXPECT_EQ(static_cast<std::uint32_t>(rgb[at] << 16 | rgb[at + 1] << 8 | rgb[at + 2]), p.colour) << p.b << ' ' << p.l;
    }
}

// The picture reads as a map: no label over another label, the map, the colour bar or a key;
// the values at the colour bar and the frame round (1, 2 or 5 times a power of ten).
TEST_F(GeoidModell, PictureLayoutHasRoundTicksAndNoLabelOverAnother)
{
    const auto round = [](const std::vector<double>& ticks) {
        if (ticks.size() < 2) return true;
        const double step = ticks[1] - ticks[0];
        const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
        const bool nice = std::fabs(mantissa - 1) < 1e-6 || std::fabs(mantissa - 2) < 1e-6 || std::fabs(mantissa - 5) < 1e-6;
        for (const double t : ticks)
            if (std::fabs(t / step - std::round(t / step)) > 1e-6) return false;
        return nice;
    };
    const struct {
        const char* name;
        std::array<std::int32_t, 18> header;
        double lo, hi;
    } models[] = {
        {"sample", testing_support::header_records({46, 30, 0}, {56, 30, 0}, {2, 30, 0}, {16, 30, 0}, {0, 15, 0}, {0, 15, 0}),
         30.25, 50.68},
        {"west of Greenwich", testing_support::header_records({47, 0, 0}, {48, 30, 0}, {-3, 0, 0}, {3, 0, 0}, {0, 15, 0}, {0, 30, 0}),
         -25.0, 0.4},
        {"tall and narrow", testing_support::header_records({40, 0, 0}, {60, 0, 0}, {10, 0, 0}, {10, 30, 0}, {0, 1, 0}, {0, 1, 0}),
         12.3456, 12.3789},
        {"one degree at 1\"", testing_support::header_records({50, 0, 0}, {51, 0, 0}, {8, 0, 0}, {9, 0, 0}, {0, 0, 1000000}, {0, 0, 1000000}),
         47.0, 47.0},
    };
    for (const auto& m : models) {
        SCOPED_TRACE(m.name);
        interp::GridHeader h;
        ASSERT_TRUE(interp::decode_header(m.header, h));
        const modelltool::MapLayout l = modelltool::map_layout(h, std::string("/daten/") + m.name + ".bin", m.lo, m.hi, true,
                                                               true, {{70.0, 1.0}, {0.0, 0.0}});
        EXPECT_TRUE(round(l.bar_ticks));
        ASSERT_FALSE(l.bar_ticks.empty());
        for (const double t : l.bar_ticks) EXPECT_TRUE(t >= m.lo - 1e-9 && t <= m.hi + 1e-9) << t;
        std::vector<double> b_ticks, l_ticks;
        for (std::size_t i = 0; i < l.labels.size(); ++i) {
            const modelltool::Label& a = l.labels[i];
            EXPECT_FALSE(a.box.overlaps(l.map)) << a.text;
            EXPECT_FALSE(a.box.overlaps(l.bar)) << a.text;
            EXPECT_TRUE(a.box.x >= 0 && a.box.y >= 0 && a.box.x + a.box.w <= l.width && a.box.y + a.box.h <= l.height) << a.text;
            for (const auto& [key, kind] : l.keys) EXPECT_FALSE(a.box.overlaps(key)) << a.text;
            for (std::size_t j = i + 1; j < l.labels.size(); ++j)
                EXPECT_FALSE(a.box.overlaps(l.labels[j].box)) << a.text << " / " << l.labels[j].text;
            // Frame labels: "48°" left of the map, below it the longitudes.
            if (a.text.size() > 2 && a.text.compare(a.text.size() - 2, 2, "\xC2\xB0") == 0 && a.text.find(' ') == std::string::npos)
                (a.box.y > l.map.y + l.map.h ? l_ticks : b_ticks).push_back(std::stod(a.text));
        }
        EXPECT_GE(b_ticks.size(), 2u);
        EXPECT_GE(l_ticks.size(), 2u);
        EXPECT_TRUE(round(b_ticks));
        EXPECT_TRUE(round(l_ticks));
        EXPECT_GT(l.scale_km, 0.0);
        EXPECT_TRUE(round({0.0, l.scale_km}));
    }
}

// ---- Text grids "B L N" ---------------------------------------------------------------------

// The odd model's nodes (7 x 13, B 48.5 down to 47, L -3 to 3) as a text grid: every line
// "B L N", or "L B N", with the no-data value given, and without the node at (row, col) when
// `skip_row` >= 0.
std::string text_grid(const std::vector<unsigned char>& model, bool longitude_first, const char* no_data, int skip_row = -1,
                      int skip_col = -1)
{
    std::string text;
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 13; ++c) {
            if (r == skip_row && c == skip_col) continue;
            std::int32_t node = 0;
            std::memcpy(&node, &model[72 + 4 * static_cast<std::size_t>(r * 13 + c)], 4);
            char b[32], l[32], n[32];
            std::snprintf(b, sizeof b, "%.6f", 48.5 - 0.25 * r);
            std::snprintf(l, sizeof l, "%.6f", -3.0 + 0.5 * c);
            std::snprintf(n, sizeof n, "%.4f", node / 10000.0);
            text += std::string(longitude_first ? l : b) + (longitude_first ? "\t" : " ") + (longitude_first ? b : l) + " " +
                    (node == 99999999 ? no_data : n) + "\n";
        }
    return text;
}

// The same grid as text and from GeoTIFF gives the same model, node for node; a node missing
// from the file has no value; what is no regular grid is refused with its line.
TEST_F(GeoidModell, TextGridEqualsTheSameGridFromGeoTiff)
{
    const std::string model = odd_model(dir);
    ASSERT_TRUE(modelltool::export_grid(model, dir.file("odd.tif")).ok);
    ASSERT_TRUE(modelltool::import_grid(dir.file("odd.tif"), dir.file("from_tif.bin")).ok);
    const auto expected = read_bytes(dir.file("from_tif.bin"));
    ASSERT_EQ(expected, read_bytes(model));
    // The model with the node at row 2, column 5 without a value.
    auto holed = expected;
    const std::int32_t none = 99999999;
    std::memcpy(&holed[72 + 4 * (2 * 13 + 5)], &none, 4);
    const struct {
        const char* name;
        std::string text;
        modelltool::TextGridOptions options;
        std::vector<unsigned char> model;
        std::string error;
    } cases[] = {
        {"B L N, no-data 999999", text_grid(expected, false, "999999"), {}, expected, ""},
        {"L B N with tabs", text_grid(expected, true, "999999"), {999999.0, true}, expected, ""},
        {"own no-data value", text_grid(expected, false, "-9999"), {-9999.0, false}, expected, ""},
        {"a node missing", text_grid(expected, false, "999999", 2, 5), {}, holed, ""},
        {"blank lines and CR LF", "\r\n" + text_grid(expected, false, "999999") + "\n\n", {}, expected, ""},
        {"a node off the spacing", text_grid(expected, false, "999999") + "48.3 -3.0 1\n", {}, {},
         "der Knoten in Zeile 92 liegt nicht im regelm\xC3\xA4\xC3\x9F" "igen Abstand der \xC3\xBC" "brigen"},
        {"a node twice", text_grid(expected, false, "999999") + "48.500000 -3.000000 1\n", {}, {},
         "der Knoten in Zeile 92 steht zum zweiten Mal in der Datei"},
        {"four numbers", text_grid(expected, false, "999999") + "48.5 -3.0 1 2\n", {}, {},
         "Zeile 92 ist keine Zeile aus drei Zahlen (B L N): \"48.5 -3.0 1 2\""},
        {"one row", "50 7 1\n50 8 2\n", {}, {}, "hat weniger als zwei Breiten oder L\xC3\xA4ngen"},
        {"far more grid than nodes", "50 7 1\n50 7.001 1\n51 8 1\n", {}, {},
         "3 Knoten in der Datei sind zu wenige f\xC3\xBCr ein Gitter aus 2002 Knoten"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing_support::write_text(dir.file("grid.txt"), c.text);
        std::remove(dir.file("grid.bin").c_str());
        const modelltool::Result r = modelltool::import_grid(dir.file("grid.txt"), dir.file("grid.bin"), c.options, true);
        if (c.error.empty()) {
            ASSERT_TRUE(r.ok) << r.message;
            EXPECT_EQ(read_bytes(dir.file("grid.bin")), c.model);
        } else {
            EXPECT_FALSE(r.ok);
            EXPECT_NE(r.message.find(c.error), std::string::npos) << r.message;
            EXPECT_FALSE(testing_support::file_exists(dir.file("grid.bin")));
        }
    }
    // On the command line: the options, and --info as for the GeoTIFF's model.
    testing_support::write_text(dir.file("lbn.txt"), text_grid(expected, true, "-9999"));
    const ToolRun run = tool(dir, "--reihenfolge lbn --kein-wert -9999 lbn.txt lbn.bin");
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string info_text = tool(dir, "--info lbn.bin").out, info_tif = tool(dir, "--info from_tif.bin").out;
    EXPECT_EQ(info_text.substr(info_text.find('\n')), info_tif.substr(info_tif.find('\n')));  // all but the name
    EXPECT_EQ(tool(dir, "--reihenfolge nlb lbn.txt x.bin").status, 2);
    EXPECT_EQ(tool(dir, "--kein-wert lbn.txt x.bin").status, 2);
}

// The reader goes through a text grid twice. A file rewritten in between is refused at the
// first line that differs from what the first pass read, and nothing lands outside the grid
// (under the sanitizers, a write past the grid's end would stop the test).
TEST_F(GeoidModell, TextGridChangedBetweenItsPassesIsRefusedWithItsLine)
{
    const std::string model = odd_model(dir);
    ASSERT_TRUE(modelltool::export_grid(model, dir.file("odd.tif")).ok);
    ASSERT_TRUE(modelltool::import_grid(dir.file("odd.tif"), dir.file("from_tif.bin")).ok);
    const std::string grid = text_grid(read_bytes(dir.file("from_tif.bin")), false, "999999");
    std::string bad_line_5 = grid;
    const std::size_t line5 = [&] {
        std::size_t at = 0;
        for (int k = 0; k < 4; ++k) at = grid.find('\n', at) + 1;
        return at;
    }();
    bad_line_5.replace(line5, grid.find('\n', line5) - line5, "48.5 x 1");
    const struct {
        const char* name;
        std::string second;  // the file as the second pass finds it
        std::string error;   // empty: read as the first pass found it
    } cases[] = {
        {"unchanged", grid, ""},
        {"a node far south of the grid added", grid + "-89.0 -3.0 1\n", "hat sich beim Lesen ge\xC3\xA4ndert (Zeile 92)"},
        {"a node one row south of the grid added", grid + "46.75 -3.0 1\n", "(Zeile 92)"},
        {"a node off the spacing added", grid + "48.3 -3.0 1\n", "(Zeile 92)"},
        {"a line that is no node", bad_line_5, "hat sich beim Lesen ge\xC3\xA4ndert (Zeile 5)"},
        {"the last node gone", grid.substr(0, grid.rfind('\n', grid.size() - 2) + 1), "(Zeile 90)"},
        {"empty", "", "(Zeile 0)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing_support::write_text(dir.file("grid.txt"), grid);
        const textio::Stream f(textio::fopen_for_reading(dir.file("grid.txt")));
        ASSERT_NE(f, nullptr);
        modelltool::TextGrid read;
        std::string error;
        bool first_line_bad = false;
        const bool ok = modelltool::read_text_grid(f.get(), "grid.txt", {}, read, error, first_line_bad,
                                                   [&] { testing_support::write_text(dir.file("grid.txt"), c.second); });
        if (c.error.empty()) {
            EXPECT_TRUE(ok) << error;
            EXPECT_EQ(read.rows * read.cols, 7 * 13);
        } else {
            EXPECT_FALSE(ok);
            EXPECT_NE(error.find(c.error), std::string::npos) << error;
            EXPECT_FALSE(first_line_bad);
        }
    }
}
