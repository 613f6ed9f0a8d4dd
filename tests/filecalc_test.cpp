// The coordinate file computation without any window: real files in a scratch directory, the
// boxes replaced by a recorder.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#ifndef _WIN32
#include <sys/stat.h>
#endif
#include <vector>

#include "convert/convert.h"
#include "crs/crs.h"
#include "textio/files.h"
#include "filecalc/filecalc.h"
#include "tests/model_builder.h"
#include "interp/query.h"
#include "messages/messages.h"
#include "textio/textio.h"

using testing_support::read_text;
using testing_support::TempDir;
using testing_support::write_text;

namespace {

struct Recorder : filecalc::Reporter {
    std::vector<std::string> errors;
    std::vector<std::string> closing;
    std::vector<std::string> hints;
    std::int64_t cancel_at = -1;  // cancel at the first progress report from this many points on
    void error(const std::string& m) override { errors.push_back(m); }
    void finished(const std::string& m, const std::string& hint) override
    {
        closing.push_back(m);
        hints.push_back(hint);
    }
    bool progress(std::int64_t, std::int64_t, std::int64_t points) override { return cancel_at < 0 || points < cancel_at; }
};

// A reference point: B, L (degrees), h (m). All lie within 6 degrees of both central meridians,
// where a round trip through either UTM zone stays within a millimetre (farther out the
// zone's series drifts by several millimetres, see the conversion tests).
struct Point {
    double b, l, h;
};
const Point kPoints[] = {{52.5163, 13.3777, 80.412}, {48.1374, 11.5755, 566.023}, {51.0504, 13.7373, 113.0},
                         {54.3233, 10.1228, 12.5},   {47.4210, 10.9850, 2962.0}};

// The reference point written in an input format, at more precision than the output shows.
std::string input_line(int format, const Point& p)
{
    convert::Coordinates c;
    c.ell_b = p.b, c.ell_l = p.l, c.ell_h = p.h;
    char buf[256];
    switch (format) {
    case 1:
        convert::kokon1("BLh1", "XYZ", c);
        std::snprintf(buf, sizeof buf, "%.5f %.5f %.5f", c.cart_x, c.cart_y, c.cart_z);
        break;
    case 2: std::snprintf(buf, sizeof buf, "%.9f %.9f %.4f", p.b, p.l, p.h); break;
    case 3:
        convert::kokon1("BLh1", "BLh2", c);
        std::snprintf(buf, sizeof buf, "%d %d %.6f %d %d %.6f %.4f", c.b_deg, c.b_min, c.b_sec, c.l_deg, c.l_min, c.l_sec, p.h);
        break;
    default: {
        convert::kokon1("BLh1", format <= 5 ? "UTM32" : "UTM33", c);
        const int z = format <= 5 ? 0 : 1;
        const bool north_first = format == 4 || format == 6;
        std::snprintf(buf, sizeof buf, "%.5f %.5f %.4f", north_first ? c.utm_north[z] : c.utm_east[z],
                      north_first ? c.utm_east[z] : c.utm_north[z], p.h);
    }
    }
    return buf;
}

std::vector<double> numbers(const std::string& line)
{
    std::vector<double> out;
    std::istringstream in(line);
    std::string token;
    while (in >> token) {
        double v = 0;
        if (!textio::parse_number(token, v)) break;
        out.push_back(v);
    }
    return out;
}

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

class FileCalc : public ::testing::Test {
protected:
    FileCalc()
    {
        job.model_file = dir.file("model.bin");
        testing_support::write_bytes(job.model_file, testing_support::read_bytes(SAMPLE_MODEL));
        job.input_file = dir.file("in.txt");
        job.output_file = dir.file("out.txt");
    }
    filecalc::Summary run()
    {
        rec = Recorder{};
        return filecalc::geoidberechnung(job, rec);
    }
    // A run into a result file that does not exist yet: the lines before an error stay there.
    filecalc::Summary run_fresh()
    {
        std::remove(job.output_file.c_str());
        return run();
    }
    // A model of 1 x 1 degree around B 50.1, L 10.2 with N = 47.456 m everywhere.
    void constant_model()
    {
        const auto header = testing_support::header_records({49, 0, 0}, {51, 0, 0}, {9, 0, 0}, {11, 0, 0}, {0, 30, 0},
                                                            {0, 30, 0});
        testing_support::write_records(job.model_file, testing_support::with_nodes(header, testing_support::make_nodes(
                                                                                               5, 5, [](int, int) { return 474560; })));
    }
    TempDir dir;
    filecalc::Job job;
    Recorder rec;
};

}  // namespace

TEST_F(FileCalc, EveryInputFormatIntoEveryOutputFormat)
{
    for (int in = 1; in <= 7; ++in) {
        std::string text;
        for (const Point& p : kPoints) text += input_line(in, p) + "\n";
        write_text(job.input_file, text);
        for (int out = 1; out <= 7; ++out) {
            SCOPED_TRACE("format " + std::to_string(in) + " -> " + std::to_string(out));
            job.in_format = in;
            job.out_format = out;
            const filecalc::Summary o = run();
            ASSERT_EQ(rec.errors, std::vector<std::string>{});
            EXPECT_EQ(o.points, 5);
            const auto lines = lines_of(read_text(job.output_file));
            ASSERT_EQ(lines.size(), 5u);
            for (std::size_t k = 0; k < 5; ++k) {
                const Point& p = kPoints[k];
                const std::vector<double> v = numbers(lines[k]);
                const std::size_t coords = out == 3 ? 6 : out == 2 ? 2 : out == 1 ? 3 : 2;
                ASSERT_EQ(v.size(), coords + 3) << lines[k];
                // The coordinates are the point's, within what the format prints.
                convert::Coordinates c;
                c.ell_b = p.b, c.ell_l = p.l, c.ell_h = p.h;
                if (out == 1) {
                    convert::kokon1("BLh1", "XYZ", c);
                    EXPECT_NEAR(v[0], c.cart_x, 0.002);
                    EXPECT_NEAR(v[1], c.cart_y, 0.002);
                    EXPECT_NEAR(v[2], c.cart_z, 0.002);
                } else if (out == 2) {
                    EXPECT_NEAR(v[0], p.b, 2e-8);
                    EXPECT_NEAR(v[1], p.l, 2e-8);
                } else if (out == 3) {
                    EXPECT_NEAR(v[0] + v[1] / 60 + v[2] / 3600, p.b, 2e-5 / 3600);
                    EXPECT_NEAR(v[3] + v[4] / 60 + v[5] / 3600, p.l, 2e-5 / 3600);
                } else {
                    convert::kokon1("BLh1", out <= 5 ? "UTM32" : "UTM33", c);
                    const int z = out <= 5 ? 0 : 1;
                    const bool north_first = out == 4 || out == 6;
                    EXPECT_NEAR(v[0], north_first ? c.utm_north[z] : c.utm_east[z], 0.002);
                    EXPECT_NEAR(v[1], north_first ? c.utm_east[z] : c.utm_north[z], 0.002);
                }
                // h, H = h - N, and N as varnik computes it at the point.
                double n = 0;
                std::string message;
                messages::varnik1(p.b, p.l, job.model_file, n, message);
                const double h = v[coords], hh = v[coords + 1], nn = v[coords + 2];
                EXPECT_NEAR(h, p.h, 0.0015);
                EXPECT_NEAR(nn, n, 0.0015);
                EXPECT_NEAR(hh, h - nn, 0.0015);
                // The same format in and out writes the coordinates as read.
                if (in == out) {
                    const std::vector<double> read = numbers(input_line(in, p));
                    for (std::size_t j = 0; j < coords; ++j) EXPECT_NEAR(v[j], read[j], out == 2 ? 5e-9 : 5e-4);
                }
            }
        }
    }
}

TEST_F(FileCalc, ResultLinesAndClosingMessageExactly)
{
    constant_model();
    write_text(job.input_file, "50.1 10.2 300.123\n52.0,10.2,1\n");
    const filecalc::Summary o = run();
    EXPECT_EQ(read_text(job.output_file), "   50.10000000   10.20000000   300.123   252.667    47.456\n"
                                          "   52.00000000   10.20000000     1.000  9999.999  9999.999 "
                                          "Der Punkt liegt ausserhalb des Quasigeoidgitters.\n");
    EXPECT_EQ(o.outside, 1);
    EXPECT_EQ(rec.closing, std::vector<std::string>{"2 Punkte insgesamt\r\n1 Punkte ausserhalb des Modells"});
    EXPECT_EQ(o.field_error, 0);
}

TEST_F(FileCalc, PointNumbers)
{
    constant_model();
    job.pnr_flag = 1;
    job.pnr_length = 8;
    write_text(job.input_file, "12 50.1 10.2 300\n"
                               "123456789012 50.1 10.2 300\n"
                               "'Punkt 7, Nord' 50.1 10.2 300\n"
                               "\"it''s\" 50.1 10.2 300\n"
                               "'it''s' 50.1 10.2 300\n"
                               "'Turm 932   ' 50.1 10.2 300\n"  // blanks inside the quotes: not counted
                               "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 50.1 10.2 300\n"
                               "H\xF6he1 50.1 10.2 300\n"
                               "\xC3\xA4x 50.1 10.2 300\n");  // valid UTF-8 by chance, in a Windows-1252 file
    run();
    ASSERT_EQ(rec.errors, std::vector<std::string>{});
    const std::string rest = "   50.10000000   10.20000000   300.000   252.544    47.456";
    EXPECT_EQ(lines_of(read_text(job.output_file)),
              (std::vector<std::string>{"12        " + rest, "123456789012  " + rest, "Punkt 7, Nord  " + rest,
                                        "it''s     " + rest, "it's      " + rest, "Turm 932  " + rest,
                                        "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123  " + rest,  // cut to 30 characters
                                        "H\xC3\xB6he1     " + rest,                   // Windows-1252 read, UTF-8 written
                                        "\xC3\x83\xC2\xA4x       " + rest}));
}

TEST_F(FileCalc, EdgesOfReading)
{
    constant_model();
    // A read error names the line and what stood there; points read across lines are counted.
    const struct {
        const char* name;
        std::string input;
        std::size_t lines;
        std::string error_line;  // the read error's second line; empty: the run completes
        const char* hint = "";
    } cases[] = {
        {"empty file", "", 0, "", "Die Eingabedatei enth\xC3\xA4lt keine Punkte."},
        {"empty lines are skipped", "\n\n50.1 10.2 300\n\n", 1, ""},
        {"a line continued on the next", "50.1 10.2\n300 9 9\n50.2 10.3 5\n", 2, "",
         "Bei 1 Punkt standen die Werte auf mehreren Zeilen; passt das Eingabeformat zur Datei?"},
        {"two points continued", "50.1\n10.2\n300\n50.2 10.3\n5\n", 2, "",
         "Bei 2 Punkten standen die Werte auf mehreren Zeilen; passt das Eingabeformat zur Datei?"},
        {"short last line is dropped", "50.1 10.2 300\n50.2 10.3\n", 1, ""},
        {"a header line", "B L h\n50.1 10.2 300\n", 0, "Zeile 1: \"B\" ist keine Zahl (erwartet: B)"},
        {"error after good lines", "50.1 10.2 300\n50.2 x 300\n", 1, "Zeile 2: \"x\" ist keine Zahl (erwartet: L)"},
        {"error on a continued line", "\n50.1 10.2 300\n50.2 10.3\n\n53;5511\n", 1,
         "Zeile 5: \"53;5511\" ist keine Zahl (erwartet: h)"},
        {"empty value", "50.1,,10.2 300\n", 0, "Zeile 1: leerer Wert zwischen zwei Kommas (erwartet: L)"},
        {"repeat count", "2*50.1 300\n", 0, "Zeile 1: \"2*50.1\" ist keine Zahl (erwartet: B)"},
        {"a long text cut to 40 characters, Windows-1252 decoded", "50.1 10.2 \xE4" + std::string(60, 'x') + "\n", 0,
         "Zeile 1: \"\xC3\xA4" + std::string(39, 'x') + "\" ist keine Zahl (erwartet: h)"},
        {"a token over 256 characters", std::string(300, '5') + "\n", 0,
         "Zeile 1: \"" + std::string(40, '5') + "\" ist l\xC3\xA4nger als 256 Zeichen (erwartet: B)"},
        {"control characters shown as ?", "50.1\t1\x01" "0 300\n", 0, "Zeile 1: \"1?0\" ist keine Zahl (erwartet: L)"},
        {"Windows line ends and a byte-order mark", "\xEF\xBB\xBF" "50.1 10.2 300\r\n50.2\t10.3\t5\r\n", 2, ""},
        {"lone CR line ends of old Macs", "50.1 10.2 300 9\r50.2 10.3 5\r\r50.3 10.4 6", 3, ""},
        {"lines counted across CR LF and lone CR", "50.1 10.2 300\r\n\r50.2 x", 1,
         "Zeile 3: \"x\" ist keine Zahl (erwartet: L)"},
        {"an error after two batches read ahead", [] {
             std::string many;
             for (int k = 0; k < 9000; ++k) many += "50.1 10.2 300\n";
             return many + "50.2 x 1\n50.3 10.3 1\n";
         }(), 9000, "Zeile 9001: \"x\" ist keine Zahl (erwartet: L)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        write_text(job.input_file, c.input);
        const filecalc::Summary o = run_fresh();
        EXPECT_EQ(lines_of(read_text(job.output_file)).size(), c.lines);
        if (!c.error_line.empty()) {
            EXPECT_EQ(rec.errors, std::vector<std::string>{"Fehler beim Lesen der Datei: " + job.input_file + "\r\n" +
                                                           c.error_line});
            EXPECT_TRUE(rec.closing.empty());
            EXPECT_EQ(o.field_error, 1);
        } else {
            EXPECT_TRUE(rec.errors.empty());
            EXPECT_EQ(rec.closing, std::vector<std::string>{std::to_string(c.lines) +
                                                             " Punkte insgesamt\r\n0 Punkte ausserhalb des Modells"});
            EXPECT_EQ(rec.hints, std::vector<std::string>{c.hint});
        }
    }
    // What each format expects where, point numbers included.
    const struct {
        int format;
        int pnr_flag;
        std::string input, error_line;
    } expected[] = {
        {3, 0, "50 6.0 0 10 12 0 300\n", "Zeile 1: \"6.0\" (erwartet: B Minuten als ganze Zahl)"},
        {3, 0, "50 6 0 x 12 0 300\n", "Zeile 1: \"x\" ist keine Zahl (erwartet: L Grad als ganze Zahl)"},
        {4, 0, "5550000 N 300\n", "Zeile 1: \"N\" ist keine Zahl (erwartet: Ostwert)"},
        {1, 1, "P1 3900000 600000 5000000\n/ 1 2 3\n", "Zeile 2: \"/\" (erwartet: Punktnummer)"},
        {2, 1, "'P 1 50.1 10.2 300\n", "Zeile 1: \"'P 1 50.1 10.2 300\" ohne schlie\xC3\x9F" "endes Anf\xC3\xBChrungszeichen (erwartet: Punktnummer)"},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.input);
        job.in_format = e.format;
        job.pnr_flag = e.pnr_flag;
        job.pnr_length = 4;
        write_text(job.input_file, e.input);
        run_fresh();
        EXPECT_EQ(rec.errors, std::vector<std::string>{"Fehler beim Lesen der Datei: " + job.input_file + "\r\n" + e.error_line});
    }
}

TEST_F(FileCalc, RefusalsInTheirOrderTouchNoFile)
{
    write_text(job.input_file, "50.1 10.2 300\n");
    std::filesystem::create_directory(dir.file("adir"));
    const std::string in = job.input_file, model = job.model_file, out = job.output_file;
    const struct {
        const char* name;
        std::string model, input, output;
        std::string message;
    } cases[] = {
        {"everything blank", "  ", "", "", "Name der Geoiddatei muss angeben werden."},
        {"input blank", model, std::string(3, '\0'), "", "Name der Koordinateneingabedatei muss angeben werden."},
        {"input missing", model, dir.file("none.txt"), "", "Fehler beim \xC3\x96" "ffnen der Datei: " + dir.file("none.txt") +
                                                           "\r\nDie Datei gibt es nicht."},
        {"input is a directory", model, dir.file("adir"), out, "Fehler beim \xC3\x96" "ffnen der Datei: " + dir.file("adir") +
                                                                "\r\nDas ist keine gew\xC3\xB6hnliche Datei."},
        {"output blank", model, in, " ", "Name der Ausgabedatei muss angeben werden."},
        {"output is the input", model, in, dir.path() + "/./in.txt", "Ausgabedatei ist zugleich Eingabedatei: " + dir.path() + "/./in.txt"},
        {"output is the model", model, in, model, "Ausgabedatei ist zugleich Eingabedatei: " + model},
        {"output is a directory", model, in, dir.file("adir"), "Fehler beim \xC3\x96" "ffnen der Datei: " + dir.file("adir") +
                                                               "\r\nDas ist keine gew\xC3\xB6hnliche Datei."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        job.model_file = c.model;
        job.input_file = c.input;
        job.output_file = c.output;
        const filecalc::Summary o = run();
        EXPECT_EQ(rec.errors, std::vector<std::string>{c.message});
        EXPECT_EQ(o.field_error, 1);
        EXPECT_TRUE(rec.closing.empty());
        EXPECT_EQ(read_text(in), "50.1 10.2 300\n");
        EXPECT_FALSE(testing_support::file_exists(out));
    }
    EXPECT_EQ(testing_support::read_bytes(model), testing_support::read_bytes(SAMPLE_MODEL));
}

// Faults of other programs and of the machine: a result file another run writes, a device as
// the result, a model rewritten during the run, too little memory. Nothing is lost or mixed.
TEST_F(FileCalc, FaultsOfOtherProgramsAndTheMachine)
{
    write_text(job.input_file, "52.5 13.4 80\n48.1 11.6 500\n");
    // Another run holds the result file: refused, the file untouched.
    write_text(job.output_file, "seine Zeilen\n");
    textio::OutputStatus held;
    const int other = textio::open_output(job.output_file, held, textio::kKeep);  // holds the lock
    ASSERT_GE(other, 0);
    EXPECT_EQ(run().field_error, 1);
    EXPECT_EQ(rec.errors, std::vector<std::string>{"Ausgabedatei wird gerade von einem anderen Programm geschrieben: " +
                                                   job.output_file});
    EXPECT_EQ(read_text(job.output_file), "seine Zeilen\n");
    textio::close_file(other);
    EXPECT_EQ(run().field_error, 0);  // released: written
    EXPECT_EQ(lines_of(read_text(job.output_file)).size(), 2u);

    // Devices that discard or refuse what is written are written as they are; a pipe is refused.
    job.output_file = testing_support::kNullDevice;
    EXPECT_EQ(run().field_error, 0);
#ifndef _WIN32
    job.output_file = "/dev/full";
    run();
    EXPECT_EQ(rec.errors, std::vector<std::string>{"Fehler beim Schreiben der Datei: /dev/full"});
    ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0644), 0);
    job.output_file = dir.file("fifo");
    run();
    EXPECT_EQ(rec.errors, std::vector<std::string>{"Ausgabedatei ist keine gew\xC3\xB6hnliche Datei: " + job.output_file});
#endif

    // The model rewritten while the run goes on: not a complete result.
    job.output_file = dir.file("out.txt");
    std::string many;
    for (int k = 0; k < 10000; ++k) many += "52.5 13.4 80\n";
    write_text(job.input_file, many);
    struct Rewriter : Recorder {
        std::string model;
        bool progress(std::int64_t, std::int64_t, std::int64_t) override
        {
            auto bytes = testing_support::read_bytes(model);
            bytes[100] ^= 1;
            testing_support::write_bytes(model, bytes);  // in place: the same file, a new time
            return true;
        }
    } rewriter;
    rewriter.model = job.model_file;
    std::remove(job.output_file.c_str());
    EXPECT_EQ(filecalc::geoidberechnung(job, rewriter).field_error, 1);
    EXPECT_EQ(rewriter.errors, std::vector<std::string>{"Geoiddatei wurde w\xC3\xA4hrend der Berechnung ge\xC3\xA4ndert: " +
                                                        job.model_file});
    EXPECT_TRUE(rewriter.closing.empty());
}

// Memory for the nodes cannot be had: they are read from the file instead, with the same bytes.
TEST_F(FileCalc, TooLittleMemoryForTheNodesGivesTheSameResult)
{
    if (testing_support::kAddressSanitizer) GTEST_SKIP() << "the sanitizer reserves more address space than any limit allows";
#ifdef _WIN32
    GTEST_SKIP() << "Windows has neither fork nor address-space limits";
#else
    testing_support::write_dense_model(job.model_file);
    write_text(job.input_file, testing_support::dense_points(" 100"));
    ASSERT_EQ(run().field_error, 0);
    const std::string expected = read_text(job.output_file);
    std::remove(job.output_file.c_str());
    EXPECT_EQ(testing_support::in_child([&] { return testing_support::limit_address_space(3u << 20) ? run().field_error : 9; }), 0);
    EXPECT_EQ(read_text(job.output_file), expected);
#endif
}

// More than a megabyte of results (the lines are written in batches of 256 KiB): each line has
// the N of the single-point query.
TEST_F(FileCalc, LargeResultFileLineByLineAsSinglePoints)
{
    std::string points;
    std::vector<std::pair<double, double>> bl;
    for (int k = 0; k < 20000; ++k) {
        char line[64];
        std::snprintf(line, sizeof line, "%.6f %.6f 250\n", 47.0 + 9.5 * ((k * 7919) % 20000) / 20000.0,
                      5.0 + 10.0 * ((k * 104729) % 20000) / 20000.0);
        points += line;
        const std::vector<double> v = numbers(line);
        bl.emplace_back(v[0], v[1]);
    }
    write_text(job.input_file, points);
    ASSERT_EQ(run().field_error, 0);
    const std::string out = read_text(job.output_file);
    ASSERT_GT(out.size(), 1u << 20);
    const auto lines = lines_of(out);
    ASSERT_EQ(lines.size(), bl.size());
    for (std::size_t k = 0; k < lines.size(); ++k) {
        double n = 0;
        std::string message;
        messages::varnik1(bl[k].first, bl[k].second, job.model_file, n, message);
        ASSERT_EQ(lines[k].substr(48, 10), message.empty() ? testing_support::fixed(n, 10, 3) : "  9999.999") << k;
    }
}

TEST_F(FileCalc, OlderResultIsReplacedWhole)
{
    write_text(job.output_file, std::string(10000, 'x') + "\n");
    write_text(job.input_file, "52.5 13.4 80\n");
    run();
    EXPECT_EQ(lines_of(read_text(job.output_file)).size(), 1u);
    EXPECT_EQ(read_text(job.output_file).find('x'), std::string::npos);
}

TEST_F(FileCalc, ModelFileErrorsAreWrittenAsDummiesAndCounted)
{
    // Cut inside the grid: points in the south have no nodes. Once, the N of the point before
    // stood on such a line.
    auto bytes = testing_support::read_bytes(job.model_file);
    bytes.resize(bytes.size() / 2);
    testing_support::write_bytes(job.model_file, bytes);
    write_text(job.input_file, "55.0 9.0 100\n48.0 9.0 100\n47.0 20.0 5\n");
    const filecalc::Summary o = run();
    const auto lines = lines_of(read_text(job.output_file));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "   48.00000000    9.00000000   100.000  9999.999  9999.999 Fehler beim Lesen der Geoiddatei    Datei: " +
                            job.model_file);
    EXPECT_EQ(o.model_errors, 1);
    EXPECT_EQ(o.outside, 1);
    EXPECT_EQ(rec.closing, std::vector<std::string>{"3 Punkte insgesamt\r\n1 Punkte ausserhalb des Modells\r\n"
                                                     "1 Punkte mit Fehlern beim Lesen der Geoiddatei"});
    // A model that cannot be opened: its message on every line, as the per-point query gives.
    job.model_file = dir.file("gone.bin");
    run();
    for (const std::string& l : lines_of(read_text(job.output_file)))
        EXPECT_NE(l.find("9999.999  9999.999 Fehler beim \xC3\x96" "ffnen der Datei: " + job.model_file), std::string::npos) << l;
}

TEST_F(FileCalc, AnglesBetweenMinusOneAndZeroKeepTheirSign)
{
    // A model around Greenwich so that the points are inside.
    const auto header = testing_support::header_records({50, 0, 0}, {52, 0, 0}, {-2, 0, 0}, {2, 0, 0}, {0, 30, 0},
                                                        {0, 30, 0});
    testing_support::write_records(job.model_file, testing_support::with_nodes(header, testing_support::make_nodes(
                                                                                           5, 9, [](int, int) { return 474560; })));
    write_text(job.input_file, "51.0 -0.5 10\n");
    job.out_format = 3;
    run();
    EXPECT_EQ(read_text(job.output_file), " 51  0  0.00000    -0 30  0.00000    10.000   -37.456    47.456\n");
    // Read back, "-0" is a negative angle: the same point.
    std::rename(job.output_file.c_str(), dir.file("dms.txt").c_str());
    job.input_file = dir.file("dms.txt");
    job.in_format = 3;
    job.out_format = 2;
    run();
    EXPECT_EQ(read_text(job.output_file), "   51.00000000   -0.50000000    10.000   -37.456    47.456\n");
    job.out_format = 3;  // same format: as read, "-0" included
    run();
    EXPECT_EQ(read_text(job.output_file), " 51  0  0.00000    -0 30  0.00000    10.000   -37.456    47.456\n");
}

TEST_F(FileCalc, CancelledRunKeepsItsLinesAndSaysSo)
{
    std::string text;
    for (int k = 0; k < 10000; ++k) text += "52.5 13.4 80\n";
    write_text(job.input_file, text);
    Recorder cancelling;
    cancelling.cancel_at = 4096;
    const filecalc::Summary o = filecalc::geoidberechnung(job, cancelling);
    EXPECT_TRUE(o.cancelled);
    EXPECT_EQ(o.points, 4096);
    EXPECT_EQ(lines_of(read_text(job.output_file)).size(), 4096u);
    EXPECT_EQ(cancelling.closing, std::vector<std::string>{"Berechnung nach 4096 Punkten abgebrochen\r\n"
                                                            "4096 Punkte insgesamt\r\n0 Punkte ausserhalb des Modells"});
}

// A run that does not complete leaves an existing result file byte for byte as it was and says
// so; it is replaced only by a run that completes. Without one, the lines before an error stay.
TEST_F(FileCalc, FailedRunKeepsTheOlderResult)
{
    constant_model();
    std::string many;
    for (int k = 0; k < 10000; ++k) many += "50.1 10.2 300\n";
    const std::string older = "older 12 B\n";
    const std::string unchanged = "\r\nDie Ergebnisdatei wurde nicht ge\xC3\xA4ndert.";
    const struct {
        const char* name;
        bool existing;
        std::string input;
        std::int64_t cancel_at;
        std::string error;        // the refusal, without the line on the older result
        std::size_t lines_after;  // of a run without an older result
    } cases[] = {
        {"read error on line 1", true, "x 10.2 300\n", -1, "Zeile 1: \"x\" ist keine Zahl (erwartet: B)", 0},
        {"read error after 5000 lines", true, many.substr(0, 5000 * 14) + "50.1 x 300\n", -1,
         "Zeile 5001: \"x\" ist keine Zahl (erwartet: L)", 4096},
        {"a decimal comma", true, "50.1 10.2 300,5\n", -1, "Zeile 1: \"300,5\"", 0},
        {"cancelled", true, many, 4096, "", 4096},
        {"completed", true, "50.1 10.2 300\n", -1, "", 1},
        {"read error, no older result", false, many.substr(0, 5000 * 14) + "50.1 x 300\n", -1, "Zeile 5001", 5000},
        {"cancelled, no older result", false, many, 4096, "", 4096},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::remove(job.output_file.c_str());
        if (c.existing) write_text(job.output_file, older);
        write_text(job.input_file, c.input);
        Recorder r;
        r.cancel_at = c.cancel_at;
        const filecalc::Summary o = filecalc::geoidberechnung(job, r);
        const bool complete = c.error.empty() && c.cancel_at < 0;
        const std::string text = read_text(job.output_file);
        if (c.existing && !complete) {
            EXPECT_EQ(text, older);
        } else {
            EXPECT_EQ(lines_of(text).size(), c.lines_after);
        }
        const std::string note = c.existing && !complete ? unchanged : "";
        if (!c.error.empty()) {
            ASSERT_EQ(r.errors.size(), 1u);
            EXPECT_NE(r.errors[0].find(c.error), std::string::npos) << r.errors[0];
            EXPECT_EQ(r.errors[0].substr(r.errors[0].size() - note.size()), note);
            EXPECT_EQ(r.errors[0].find("nicht ge\xC3\xA4ndert") != std::string::npos, c.existing) << r.errors[0];
        } else {
            EXPECT_EQ(o.cancelled, c.cancel_at >= 0);
            ASSERT_EQ(r.closing.size(), 1u);
            EXPECT_EQ(r.closing[0].find("nicht ge\xC3\xA4ndert") != std::string::npos, c.existing && !complete) << r.closing[0];
        }
        // Nothing is left beside it.
        std::size_t files = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++files;
        EXPECT_EQ(files, 3u);  // model, input, result
    }
}

// Each shipped sample coordinate file fits the format its name gives: computed into format 2,
// every line's h, H and N are those of a point of the decimal sample, no point over two lines.
TEST_F(FileCalc, ShippedSamplesFitTheirFormats)
{
    const auto heights = [&](int format, const char* name) {
        job.input_file = std::string(SAMPLE_DATA) + "/koordinaten-format-" + name + ".txt";
        job.in_format = format;
        job.pnr_flag = std::string(name).find("punktnummer") != std::string::npos;
        job.pnr_length = 4;
        const filecalc::Summary o = run();
        EXPECT_TRUE(!o.field_error && o.outside == 0 && o.continued == 0 && o.points >= 3) << name;
        std::set<std::string> h_H_N;  // the last 30 characters of each line
        for (const std::string& line : lines_of(read_text(job.output_file))) h_H_N.insert(line.substr(line.size() - 30));
        return h_H_N;
    };
    const std::set<std::string> reference = heights(2, "2-bl-dezimal");
    for (const auto& [format, name] : std::vector<std::pair<int, const char*>>{
             {1, "1-xyz"}, {3, "3-bl-grad-minuten-sekunden"}, {4, "4-utm32-nord-ost"},
             {5, "5-utm32-ost-nord-mit-punktnummer"}, {6, "6-utm33-nord-ost"}, {7, "7-utm33-ost-nord"}})
        for (const std::string& line : heights(format, name)) EXPECT_EQ(reference.count(line), 1u) << name << ": " << line;
    // Gauß-Krüger through PROJ: five of the points, in zones 3 and 4.
    if (!crs::available()) return;
    const std::set<std::string> gk = heights(8, "8-gauss-krueger-dhdn");
    EXPECT_EQ(gk.size(), 5u);
    for (const std::string& line : gk) EXPECT_EQ(reference.count(line), 1u) << "8: " << line;
    for (const char* zone : {"zone 3 +", "zone 4 +"}) EXPECT_NE(rec.hints.at(0).find(zone), std::string::npos) << rec.hints.at(0);
}

// A table as a spreadsheet reads it (RFC 4180): fields separated by ';', quoted fields with
// doubled marks, CR LF line ends.
std::vector<std::vector<std::string>> read_table(const std::string& text)
{
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t k = 0; k < text.size(); ++k) {
        const char c = text[k];
        if (quoted) {
            if (c == '"' && k + 1 < text.size() && text[k + 1] == '"') rows.back().back() += '"', ++k;
            else if (c == '"') quoted = false;
            else rows.back().back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ';') {
            rows.back().emplace_back();
        } else if (c == '\r' && k + 1 < text.size() && text[k + 1] == '\n') {
            rows.emplace_back(1);
            ++k;
        } else {
            rows.back().back() += c;
        }
    }
    if (rows.back() == std::vector<std::string>(1)) rows.pop_back();
    return rows;
}

// The options for the lists surveyors hold. N is 47.456 m everywhere in the constant model.
TEST_F(FileCalc, NormalHeightsGiveEllipsoidalHeights)
{
    constant_model();
    const std::string outside = " Der Punkt liegt ausserhalb des Quasigeoidgitters.";
    const struct {
        int in, out;
        std::string input, result;
    } cases[] = {
        {2, 2, "50.1 10.2 252.544\n", "   50.10000000   10.20000000   300.000   252.544    47.456"},
        {2, 2, "52.0 10.2 1\n", "   52.00000000   10.20000000  9999.999     1.000  9999.999" + outside},
        {3, 2, "50 6 0 10 12 0 -47.456\n", "   50.10000000   10.20000000     0.000   -47.456    47.456"},
        // Cartesian coordinates need h: none without N.
        {2, 1, "52.0 10.2 1\n", "      9999.999      9999.999      9999.999  9999.999     1.000  9999.999" + outside},
    };
    job.normal_heights = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        job.in_format = c.in, job.out_format = c.out;
        write_text(job.input_file, c.input);
        run();
        EXPECT_EQ(rec.errors, std::vector<std::string>{});
        EXPECT_EQ(read_text(job.output_file), c.result + "\n");
    }
    // The cartesian coordinates of h = H + N are those of the same point given with h.
    job.in_format = 2, job.out_format = 1;
    write_text(job.input_file, "50.1 10.2 252.544\n");
    run();
    const std::string from_h = read_text(job.output_file);
    job.normal_heights = false;
    write_text(job.input_file, "50.1 10.2 300\n");
    run();
    EXPECT_EQ(from_h.substr(0, 52), read_text(job.output_file).substr(0, 52));
    // XYZ holds h: refused before any file is touched.
    job.normal_heights = true, job.in_format = 1;
    std::remove(job.output_file.c_str());
    run();
    EXPECT_EQ(rec.errors, std::vector<std::string>{messages::kNormalHeightsXyz});
    EXPECT_FALSE(testing_support::file_exists(job.output_file));
}

TEST_F(FileCalc, EastingsWithTheirZoneNumber)
{
    constant_model();
    // The plain UTM coordinates of a point, as format 5 and 7 write them.
    const auto plain = [&](int out) {
        job.zone_prefix = false, job.in_format = 2, job.out_format = out;
        write_text(job.input_file, "50.1 10.2 300\n");
        run();
        return numbers(read_text(job.output_file));
    };
    const std::vector<double> utm32 = plain(5), utm33 = plain(7);
    char line[128];
    job.zone_prefix = true;
    // Written with the zone in front, in the same field of 14 characters.
    job.in_format = 2, job.out_format = 5;
    run();
    std::snprintf(line, sizeof line, "%14.3f%14.3f", utm32[0] + 32e6, utm32[1]);
    EXPECT_EQ(read_text(job.output_file).substr(0, 28), line);
    // Read with the zone in front: the same point; equal formats write the values as read. In
    // the lines E stands for the plain easting, N for the northing.
    const struct {
        int in, out;
        std::string input;
        std::string error;  // the read error's second line; empty: B and L of the point
    } cases[] = {
        {5, 2, "32E N 300\n", ""},
        {4, 2, "N 32E 300\n", ""},
        {5, 5, "32E N 300\n", ""},
        {7, 2, "33E N 300\n", ""},
        {5, 2, "E N 300\n", "Zeile 1: \"E\" ohne Zonenkennung (erwartet: Ostwert mit Zonenkennung 32)"},
        {7, 2, "32E N 300\n", "Zeile 1: \"32E\" ohne Zonenkennung (erwartet: Ostwert mit Zonenkennung 33)"},
        {5, 2, "\n\n50 N 300\n", "Zeile 3: \"50\" ohne Zonenkennung (erwartet: Ostwert mit Zonenkennung 32)"},
    };
    const auto filled = [](std::string text, const std::vector<double>& utm) {
        char e[32], n[32];
        std::snprintf(e, sizeof e, "%.3f", utm[0]);
        std::snprintf(n, sizeof n, "%.3f", utm[1]);
        for (std::size_t at; (at = text.find_first_of("EN")) != std::string::npos && at < text.find('('); )
            text.replace(at, 1, text[at] == 'E' ? e : n);
        return text;
    };
    for (const auto& c : cases) {
        const std::vector<double>& utm = c.in == 7 ? utm33 : utm32;
        const std::string input = filled(c.input, utm);
        SCOPED_TRACE(input);
        job.in_format = c.in, job.out_format = c.out;
        write_text(job.input_file, input);
        run_fresh();
        if (!c.error.empty()) {
            EXPECT_EQ(rec.errors, std::vector<std::string>{"Fehler beim Lesen der Datei: " + job.input_file + "\r\n" +
                                                           filled(c.error, utm)});
            continue;
        }
        ASSERT_EQ(rec.errors, std::vector<std::string>{});
        const std::vector<double> v = numbers(read_text(job.output_file));
        if (c.out == 2) {
            EXPECT_NEAR(v[0], 50.1, 1e-8);
            EXPECT_NEAR(v[1], 10.2, 1e-8);
        } else {
            EXPECT_EQ(v[0], std::round((utm[0] + 32e6) * 1000) / 1000);
        }
    }
}

// The zone number is taken off an easting as text, not subtracted: an easting written with it
// reads to the same bits as without it.
TEST_F(FileCalc, EastingsWithAndWithoutTheirZoneNumberGiveTheSameBytes)
{
    // Points whose last digit of L (format 2) or of the seconds (format 3) came out differently
    // when the zone was subtracted, found in 2,000,000 random points; then 200,000 more.
    std::string plain = "723780.369 5861364.186 343.729\n432152.990 5383421.613 342.804\n818237.102 5908986.284 978.123\n"
                        "302077.893 5411655.091 232.967\n446176.615 6002176.842 266.420\n816939.886 5743095.534 660.260\n"
                        "440353.769 5996093.631 720.452\n865778.413 5699078.731 988.434\n372832.859 5952923.014 928.694\n"
                        "637168.558 6037296.173 898.944\n703969.220 6064816.508 368.359\n582618.732 5842448.856 647.051\n";
    std::string zoned;
    for (std::size_t at = 0; at < plain.size(); at = plain.find('\n', at) + 1) zoned += "32" + plain.substr(at, plain.find('\n', at) + 1 - at);
    unsigned state = 12345;
    const auto next = [&state](double low, double high) {
        state = state * 1103515245u + 12345u;
        return low + (high - low) * ((state >> 8) & 0xFFFFFF) / double(0x1000000);
    };
    for (int k = 0; k < 200000; ++k) {
        char line[96];
        const double east = next(280000, 920000), north = next(5240000, 6100000), h = next(0, 1000);
        std::snprintf(line, sizeof line, "%.3f %.3f %.3f\n", east, north, h);
        plain += line;
        zoned += "32" + std::string(line);
    }
    for (const int out : {2, 3}) {
        SCOPED_TRACE(out);
        job.in_format = 5, job.out_format = out;
        std::string results[2];
        for (const bool zone : {false, true}) {
            job.zone_prefix = zone;
            write_text(job.input_file, zone ? zoned : plain);
            run();
            ASSERT_EQ(rec.errors, std::vector<std::string>{});
            results[zone] = read_text(job.output_file);
        }
        EXPECT_EQ(std::count(results[0].begin(), results[0].end(), '\n'), 200012);
        EXPECT_EQ(results[0].substr(0, 1000), results[1].substr(0, 1000));  // the twelve, shown when they differ
        EXPECT_TRUE(results[0] == results[1]);  // not EXPECT_EQ: 14 MB each
    }
    // The preview shows the easting as written after its zone.
    write_text(job.input_file, "32796986.834 5827475.852 80.412\n");
    EXPECT_EQ(filecalc::preview(job, 1).at(0).values.at(0), (std::pair<std::string, std::string>{"Ostwert", "796986.834"}));
}

TEST_F(FileCalc, SeparatedListsHeaderLinesAndRest)
{
    constant_model();
    const std::string values = "   50.10000000   10.20000000   300.000   252.544    47.456";
    const struct {
        const char* name;
        filecalc::Separator separator;
        int header, pnr;
        bool rest;
        std::string input;
        std::vector<std::string> lines;
        std::string error;  // the read error's second line
    } cases[] = {
        {"semicolons, decimal commas", filecalc::Separator::Semicolon, 0, 1, false, "1001;50,1;10,2;300\n",
         {"1001  " + values}, ""},
        {"blanks around values, points too", filecalc::Separator::Semicolon, 0, 1, false, " P 1 ; 50.1 ;10,2; 300 \n",
         {"P 1  " + values}, ""},
        {"quoted number holding the separator", filecalc::Separator::Semicolon, 0, 1, false, "\"10;\"\"2\"\"\";50,1;10,2;300\n",
         {"10;\"2\"  " + values}, ""},
        {"empty point number, blank lines skipped", filecalc::Separator::Semicolon, 0, 1, false, ";50,1;10,2;300\n;;;\n\n",
         {"   " + values}, ""},  // padded to its width of 1
        {"header lines counted in errors", filecalc::Separator::Semicolon, 2, 1, false, "Nr;B;L;h\nx\n1;50,1;10,2\n",
         {}, "Zeile 3: zu wenige Werte (erwartet: h)"},
        {"an empty number", filecalc::Separator::Semicolon, 0, 1, false, "1;;10,2;300\n", {}, "Zeile 1: leeres Feld (erwartet: B)"},
        {"two decimal commas", filecalc::Separator::Semicolon, 0, 0, false, "50,1,2;10,2;300\n", {},
         "Zeile 1: \"50,1,2\" ist keine Zahl (erwartet: B)"},
        {"tabs; values after the last one taken ignored", filecalc::Separator::Tab, 0, 0, false, "50,1\t10.2\t300\tGP\n",
         {values}, ""},
        {"tabs with rest fields", filecalc::Separator::Tab, 0, 1, true, "7\t50,1\t10.2\t300\t GP \tSchacht\n",
         {"7  " + values + "  GP \tSchacht"}, ""},
        {"semicolons with rest fields", filecalc::Separator::Semicolon, 1, 0, true, "B;L;h;Code\n50,1;10,2;300;GP;\"a;b\"\n",
         {values + "  GP;\"a;b\""}, ""},
        {"no rest, no blanks", filecalc::Separator::Semicolon, 0, 0, true, "50,1;10,2;300\n", {values}, ""},
        {"blank-separated with rest and a header", filecalc::Separator::Blank, 1, 0, true, "B L h\n50.1 10.2 300, GP 12 \n",
         {values + "  GP 12"}, ""},
        {"rest after the message", filecalc::Separator::Blank, 0, 0, true, "52 10.2 300 Turm\n",
         {"   52.00000000   10.20000000   300.000  9999.999  9999.999 Der Punkt liegt ausserhalb des "
          "Quasigeoidgitters.  Turm"}, ""},
        {"more header lines than the file has", filecalc::Separator::Blank, 5, 0, false, "50.1 10.2 300\n", {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        job.separator = c.separator, job.header_lines = c.header, job.pnr_flag = c.pnr, job.pnr_length = 1;
        job.keep_rest = c.rest;
        write_text(job.input_file, c.input);
        run_fresh();
        EXPECT_EQ(lines_of(read_text(job.output_file)), c.lines);
        EXPECT_EQ(rec.errors, c.error.empty() ? std::vector<std::string>{}
                                              : std::vector<std::string>{"Fehler beim Lesen der Datei: " + job.input_file +
                                                                         "\r\n" + c.error});
    }
}

// Blank-separated lists from German offices write decimal commas. With blanks or commas as the
// separator such a number is refused, never split into two values; where a comma can only be a
// separator (no blank next to the word, degrees and minutes, the rest of the line) lines are
// read as ever. The separator "Leerzeichen (Dezimalkomma)" reads them.
TEST_F(FileCalc, DecimalCommasBetweenBlanksAreRefusedOrReadWithTheirSeparator)
{
    constant_model();
    using S = filecalc::Separator;
    const std::string values = "   50.10000000   10.20000000   300.000   252.544    47.456";
    const auto refused = [](const char* word, const char* expected) {
        return std::string("Zeile 1: \"") + word + "\" hat ein Dezimalkomma, die Werte sind aber durch Leerzeichen getrennt (erwartet: " +
               expected + ")\r\n" + messages::kDecimalCommaSeparator;
    };
    const struct {
        const char* name;
        S separator;
        int in_format;
        bool pnr, rest;
        std::string input;
        std::string line;   // the result line, when read
        std::string error;  // else the read error's lines after the first
    } cases[] = {
        {"h with a decimal comma", S::Blank, 2, false, false, "50.1 10.2 300,0\n", "", refused("300,0", "h")},
        {"every value with one", S::Blank, 2, false, false, "50,1 10,2 300,0\n", "", refused("50,1", "B")},
        {"a signed one", S::Blank, 2, false, false, "50.1 10.2 -300,5\n", "", refused("-300,5", "h")},
        {"tab before it", S::Blank, 2, false, false, "50.1\t10,2\t300\n", "", refused("10,2", "L")},
        {"seconds of format 3", S::Blank, 3, false, false, "50 6 0,0 10 12 0 300\n", "", refused("0,0", "B Sekunden")},
        {"commas only", S::Blank, 2, false, false, "50.1,10.2,300\n", values, ""},
        {"comma, then a blank", S::Blank, 2, false, false, "50.1,10.2 300\n", values, ""},
        {"commas with blanks after them", S::Blank, 2, false, false, "50.1, 10.2, 300\n", values, ""},
        {"whole numbers separated by a comma", S::Blank, 2, false, false, "50.1 10.2 300,5,\n", values, ""},
        {"after a point number", S::Blank, 2, true, false, "1001 50.1,10.2,300\n", "1001  " + values, ""},
        {"degrees and minutes joined by a comma", S::Blank, 3, false, false, "50 6 0 10,12 0 300\n", values, ""},
        {"a text after h", S::Blank, 2, false, false, "50.1 10.2 300,GP\n", values, ""},
        {"in the rest of the line", S::Blank, 2, false, true, "50.1 10.2 300 1,5\n", values + "  1,5", ""},
        {"the separator for it", S::BlanksDecimalComma, 2, false, false, "50,1 10,2 300,0\n", values, ""},
        {"with tabs and runs of blanks", S::BlanksDecimalComma, 2, false, false, "  50,1\t 10,2    300\t\n", values, ""},
        {"points too", S::BlanksDecimalComma, 2, false, false, "50.1 10.2 300\n", values, ""},
        {"quoted point number and rest", S::BlanksDecimalComma, 2, true, true, "\"P 1\" 50,1 10,2 300 GP 1,5\n",
         "P 1  " + values + "  GP 1,5", ""},
        {"a comma is never a separator there", S::BlanksDecimalComma, 2, false, false, "50,1,10,2 300\n", "",
         "Zeile 1: \"50,1,10,2\" ist keine Zahl (erwartet: B)"},
        {"one point a line", S::BlanksDecimalComma, 2, false, false, "50,1 10,2\n300\n", "", "Zeile 1: zu wenige Werte (erwartet: h)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        job.separator = c.separator, job.in_format = c.in_format, job.pnr_flag = c.pnr, job.pnr_length = 1, job.keep_rest = c.rest;
        write_text(job.input_file, c.input);
        run_fresh();
        EXPECT_EQ(lines_of(read_text(job.output_file)), c.line.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.line});
        EXPECT_EQ(rec.errors, c.error.empty() ? std::vector<std::string>{}
                                              : std::vector<std::string>{"Fehler beim Lesen der Datei: " + job.input_file +
                                                                         "\r\n" + c.error});
    }
}

// Each hint after the closing message stands there exactly when its condition holds; the run
// completes as before.
TEST_F(FileCalc, HintsWhenARunCannotBeRight)
{
    constant_model();  // B 49..51, L 9..11
    const std::string all_outside = "passen Eingabeformat und Modell zur Datei?";
    const struct {
        const char* name;
        int in_format, out_format, header;
        filecalc::Separator separator;
        std::string input;
        std::string hints;
    } cases[] = {
        {"every point outside", 2, 2, 0, filecalc::Separator::Blank, "60 10 5\n61 10 5\n",
         "Alle 2 Punkte liegen au\xC3\x9F" "erhalb des Modells; " + all_outside},
        {"the one point outside", 2, 2, 0, filecalc::Separator::Blank, "60 10 5\n",
         "Der Punkt liegt au\xC3\x9F" "erhalb des Modells; " + all_outside},
        {"one of two outside", 2, 2, 0, filecalc::Separator::Blank, "60 10 5\n50.1 10.2 300\n", ""},
        {"UTM read as format 2", 2, 2, 0, filecalc::Separator::Blank, "5550438.765 585820.869 300\n5550439 585821 300\n",
         "Alle 2 Punkte liegen au\xC3\x9F" "erhalb des Modells; " + all_outside + "\r\n"
         "Bei 2 Punkten passten Werte nicht in ihre Spalten (Sterne in der Ergebnisdatei); passt das Eingabeformat zur Datei?"},
        {"one height too wide", 2, 2, 0, filecalc::Separator::Blank, "50.1 10.2 300\n50.1 10.2 12345678\n",
         "Bei 1 Punkt passten Werte nicht in ihre Spalten (Sterne in der Ergebnisdatei); passt das Eingabeformat zur Datei?"},
        {"no point", 2, 2, 0, filecalc::Separator::Blank, "\n\n", "Die Eingabedatei enth\xC3\xA4lt keine Punkte."},
        {"no point after a header line", 2, 2, 1, filecalc::Separator::Blank, "B L h\n",
         "Nach der Kopfzeile enth\xC3\xA4lt die Eingabedatei keine Punkte."},
        {"no point after the header lines", 2, 2, 3, filecalc::Separator::Blank, "B L h\n",
         "Nach den 3 Kopfzeilen enth\xC3\xA4lt die Eingabedatei keine Punkte."},
        {"header lines that are points", 2, 2, 3, filecalc::Separator::Semicolon, "Nr;B;L;h\n50,1;10,2;300\n50,1;10,2;301\n50,1;10,2;302\n",
         "Die Kopfzeilen 2 bis 3 lesen sich wie Punkte; stimmt die Zahl der Kopfzeilen?"},
        {"four header lines that are points", 2, 2, 5, filecalc::Separator::Blank,
         "B L h\n50.1 10.2 1\n50.1 10.2 2\n50.1 10.2 3\n50.1 10.2 4\n50.1 10.2 5\n",
         "Die Kopfzeilen 2 bis 5 lesen sich wie Punkte; stimmt die Zahl der Kopfzeilen?"},
        {"one header line that is a point", 2, 2, 2, filecalc::Separator::Blank, "B L h\n50.1 10.2 1\n50.1 10.2 2\n",
         "Die Kopfzeile 2 liest sich wie ein Punkt; stimmt die Zahl der Kopfzeilen?"},
        {"a header line that is not", 2, 2, 1, filecalc::Separator::Semicolon, "Nr;B;L;h\n50,1;10,2;300\n", ""},
        {"a header line with too few values", 2, 2, 2, filecalc::Separator::Blank, "B L h\n50.1 10.2\n50.1 10.2 3\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        job.in_format = c.in_format, job.out_format = c.out_format, job.header_lines = c.header, job.separator = c.separator;
        write_text(job.input_file, c.input);
        const filecalc::Summary o = run();
        EXPECT_EQ(o.field_error, 0);
        ASSERT_EQ(rec.closing.size(), 1u);
        EXPECT_EQ(rec.hints, std::vector<std::string>{c.hints});
    }
    // A cancelled run gives none: what it saw is not the whole file.
    std::string outside;
    for (int k = 0; k < 5000; ++k) outside += "60 10 5\n";
    write_text(job.input_file, outside);
    job.header_lines = 0, job.separator = filecalc::Separator::Blank;
    Recorder cancelling;
    cancelling.cancel_at = 4096;
    filecalc::geoidberechnung(job, cancelling);
    EXPECT_EQ(cancelling.hints, std::vector<std::string>{""});
}

// Between two batches the run tells how many bytes of the input it has read, of how many: the
// bytes of the whole lines of the points read so far.
TEST_F(FileCalc, ProgressTellsTheBytesRead)
{
    constant_model();
    std::string text;
    for (int k = 0; k < 10000; ++k) text += "50.1 10.2 300\n";  // 14 bytes a line
    write_text(job.input_file, text);
    struct Progress : Recorder {
        std::vector<std::array<std::int64_t, 3>> reports;
        bool progress(std::int64_t read, std::int64_t total, std::int64_t points) override
        {
            reports.push_back({read, total, points});
            return true;
        }
    } r;
    filecalc::geoidberechnung(job, r);
    EXPECT_EQ(r.reports, (std::vector<std::array<std::int64_t, 3>>{{4096 * 14, 140000, 4096}, {8192 * 14, 140000, 8192}}));
}

// The most header lines a run skips, 99: the point stands on line 100.
TEST_F(FileCalc, NinetyNineHeaderLines)
{
    constant_model();
    std::string text;
    for (int k = 0; k < 99; ++k) text += "Kopf " + std::to_string(k + 1) + "\n";
    write_text(job.input_file, text + "50.1 10.2 300\n");
    job.header_lines = 99;
    run();
    EXPECT_EQ(rec.errors, std::vector<std::string>{});
    EXPECT_EQ(lines_of(read_text(job.output_file)).size(), 1u);
    EXPECT_EQ(filecalc::preview(job, 1).back().line, 100);
    job.header_lines = 98;
    run_fresh();
    EXPECT_EQ(rec.errors, std::vector<std::string>{"Fehler beim Lesen der Datei: " + job.input_file +
                                                   "\r\nZeile 99: \"Kopf\" ist keine Zahl (erwartet: B)"});
}

// The zones of format 8 and their EPSG codes; here also where no cs2cs can check them.
TEST(GaussKrueger, ZonesHaveTheirEpsgCodes)
{
    const std::pair<int, const char*> zones[] = {{2, "EPSG:31466"}, {3, "EPSG:31467"}, {4, "EPSG:31468"}, {5, "EPSG:31469"}};
    for (const auto& [zone, code] : zones) EXPECT_EQ(crs::gauss_krueger_code(zone), code);
    EXPECT_EQ(filecalc::kFirstGkZone, zones[0].first);
    EXPECT_EQ(filecalc::kLastGkZone, zones[3].first);
}

TEST_F(FileCalc, ResultTableForSpreadsheets)
{
    constant_model();
    job.output = filecalc::Output::Table, job.pnr_flag = true, job.pnr_length = 8, job.keep_rest = true;
    job.separator = filecalc::Separator::Semicolon;
    write_text(job.input_file, "\"P;1\";50,1;10,2;300;GP\n\"Sch\"\"7\";52;10,2;1;a;\"b;c\"\nP3;50.1;10.2;-0.5\n");
    const struct {
        int out;
        bool normal_heights;
        std::vector<std::vector<std::string>> rows;
    } cases[] = {
        {2, false, {{"Punktnummer", "B", "L", "h", "H", "N", "Meldung", "Rest"},
                    {"P;1", "50,10000000", "10,20000000", "300,000", "252,544", "47,456", "", "GP"},
                    {"Sch\"7", "52,00000000", "10,20000000", "1,000", "", "", "Der Punkt liegt ausserhalb des Quasigeoidgitters.", "a;\"b;c\""},
                    {"P3", "50,10000000", "10,20000000", "-0,500", "-47,956", "47,456", "", ""}}},
        {3, true, {{"Punktnummer", "B Grad", "B Minuten", "B Sekunden", "L Grad", "L Minuten", "L Sekunden", "h", "H", "N", "Meldung", "Rest"},
                   {"P;1", "50", "6", "0,00000", "10", "12", "0,00000", "347,456", "300,000", "47,456", "", "GP"},
                   {"Sch\"7", "52", "0", "0,00000", "10", "12", "0,00000", "", "1,000", "", "Der Punkt liegt ausserhalb des Quasigeoidgitters.", "a;\"b;c\""},
                   {"P3", "50", "6", "0,00000", "10", "12", "0,00000", "46,956", "-0,500", "47,456", "", ""}}},
        {1, true, {{"Punktnummer", "X", "Y", "Z", "h", "H", "N", "Meldung", "Rest"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.out);
        job.out_format = c.out, job.normal_heights = c.normal_heights;
        run();
        ASSERT_EQ(rec.errors, std::vector<std::string>{});
        const std::string text = read_text(job.output_file);
        ASSERT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
        const auto rows = read_table(text.substr(3));
        ASSERT_EQ(rows.size(), 4u);
        EXPECT_EQ(rows[0], c.rows[0]);
        if (c.out != 1) {
            for (std::size_t k = 1; k < 4; ++k) EXPECT_EQ(rows[k], c.rows[k]);
        for (const auto& row : rows) EXPECT_EQ(row.size(), rows[0].size());  // every row as wide as the header
        } else {
            EXPECT_EQ(std::vector<std::string>(rows[2].begin() + 1, rows[2].begin() + 7),
                      (std::vector<std::string>{"", "", "", "", "1,000", ""}));  // no h, no position
            EXPECT_NE(rows[1][1], "");
        }
        EXPECT_EQ(text.find('\n', 0), text.find("\r\n", 0) + 1);  // CR LF only
    }
    EXPECT_EQ(rec.closing, std::vector<std::string>{"3 Punkte insgesamt\r\n1 Punkte ausserhalb des Modells"});
}

TEST_F(FileCalc, PreviewShowsHowTheLinesAreRead)
{
    job.separator = filecalc::Separator::Semicolon, job.header_lines = 1, job.pnr_flag = true, job.keep_rest = true;
    job.normal_heights = true;
    write_text(job.input_file, "Nr;B;L;H\nA;52,5;13,25;80;GP\n\nB;52;x;1\nC;1;2;3\n");
    auto lines = filecalc::preview(job, 5);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].header, "Kopfzeile 1: \"Nr;B;L;H\"");  // the header line skipped comes first
    lines.erase(lines.begin());
    EXPECT_EQ(lines[0].line, 2);
    EXPECT_EQ(lines[0].values, (std::vector<std::pair<std::string, std::string>>{
                                   {"Punktnummer", "A"}, {"B", "52.5"}, {"L", "13.25"}, {"H", "80"}, {"Rest", "GP"}}));
    EXPECT_EQ(lines[1].error, "Zeile 4: \"x\" ist keine Zahl (erwartet: L)");
    job.separator = filecalc::Separator::Blank, job.header_lines = 0, job.pnr_flag = false, job.keep_rest = false;
    job.in_format = 3;
    write_text(job.input_file, "-0 30 0 13 15 0 80\n1 2 3 4 5 6 7\n");
    EXPECT_EQ(filecalc::preview(job, 1).at(0).values,
              (std::vector<std::pair<std::string, std::string>>{{"B Grad", "-0"}, {"B Minuten", "30"}, {"B Sekunden", "0"},
                                                                {"L Grad", "13"}, {"L Minuten", "15"}, {"L Sekunden", "0"}, {"H", "80"}}));
    job.input_file = dir.file("fehlt.txt");
    EXPECT_EQ(filecalc::preview(job, 5).at(0).error, "Fehler beim \xC3\x96" "ffnen der Datei: " + job.input_file +
                                                         "\r\nDie Datei gibt es nicht.");
    job.input_file = job.model_file;  // a binary file
    EXPECT_EQ(filecalc::preview(job, 5).at(0).error, "Fehler beim Lesen der Datei: " + job.model_file + "\r\nDie Datei ist keine Textdatei.");
    job.input_file.clear();
    EXPECT_TRUE(filecalc::preview(job, 5).empty());
}

// Gauß-Krüger through PROJ, checked against cs2cs on the same machine: B and L of points in
// every zone to the millimetre, the way back to the millimetre, N as at B and L given directly.
TEST_F(FileCalc, GaussKruegerInEveryZoneAgreesWithCs2cs)
{
    if (!crs::available() || !testing_support::kPosix) GTEST_SKIP() << "no PROJ (and no cs2cs) in this build";
    const struct {
        int zone;
        double east, north;
    } points[] = {{2, 2512345.678, 5512345.678}, {3, 3512345.678, 5412345.678}, {4, 4512345.000, 5812345.000},
                  {5, 5400000.000, 5700000.000}};
    std::string input;
    for (const auto& p : points) input += std::to_string(p.east) + " " + std::to_string(p.north) + " 100\n";
    write_text(job.input_file, input);
    job.in_format = 8, job.out_format = 2;
    run();
    ASSERT_EQ(rec.errors, std::vector<std::string>{});
    const auto lines = lines_of(read_text(job.output_file));
    ASSERT_EQ(lines.size(), 4u);
    // The operation PROJ ranks best on this machine: BeTA2007, whose grid setup installs.
    EXPECT_NE(rec.hints.at(0).find("Lage nach ETRS89 (1 Punkt): BETA2007.gsb, etwa 0,9 m (Inverse of 3-degree Gauss-Kruger zone 3 + "
                                   "DHDN to ETRS89 (8))"),
              std::string::npos) << rec.hints.at(0);
    std::string blh;
    for (std::size_t k = 0; k < 4; ++k) {
        SCOPED_TRACE(points[k].zone);
        // cs2cs takes EPSG's axis order: Hochwert first.
        const std::string command = "echo '" + std::to_string(points[k].north) + " " + std::to_string(points[k].east) +
                                    "' | cs2cs -f %.10f EPSG:" + std::to_string(31464 + points[k].zone) + " EPSG:4258";
        std::FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        double b = 0, l = 0;
        ASSERT_EQ(std::fscanf(pipe, "%lf %lf", &b, &l), 2);
        pclose(pipe);
        const std::vector<double> v = numbers(lines[k]);
        EXPECT_NEAR(v[0], b, 1e-8);  // about a millimetre
        EXPECT_NEAR(v[1], l, 1.5e-8);
        char line[96];
        std::snprintf(line, sizeof line, "%.10f %.10f 100\n", b, l);
        blh += line;
    }
    // N as for the same B and L given directly, to 0.1 mm; back to Gauß-Krüger to 1 mm.
    const std::string from_gk = read_text(job.output_file);
    write_text(job.input_file, blh);
    job.in_format = 2;
    run();
    const auto direct = lines_of(read_text(job.output_file));
    for (std::size_t k = 0; k < 4; ++k) EXPECT_NEAR(numbers(lines[k])[4], numbers(direct[k])[4], 1e-4);
    write_text(job.input_file, from_gk);
    job.out_format = 8;
    run();
    const auto back = lines_of(read_text(job.output_file));
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_NEAR(numbers(back[k])[0], points[k].east, 0.001);
        EXPECT_NEAR(numbers(back[k])[1], points[k].north, 0.001);
    }
    // The zone is the Rechtswert's first digit: 2 to 5.
    for (const char* bad : {"6500000 5400000 1\n", "1500000 5400000 1\n", "500000 5400000 1\n"}) {
        write_text(job.input_file, std::string("3512345 5412345 1\n") + bad);
        job.in_format = 8;
        run_fresh();
        const std::string shown = std::string(bad).substr(0, std::string(bad).find(' '));
        EXPECT_EQ(rec.errors, std::vector<std::string>{"Fehler beim Lesen der Datei: " + job.input_file + "\r\nZeile 2: \"" +
                                                       shown + "\" ohne Zonenkennung (erwartet: Rechtswert mit Zonenkennziffer 2 bis 5)"});
    }
}

// A CRS named like a format: EPSG:25832 gives the lines of format 5; output in degrees has 8
// decimals; unknown and non-horizontal CRSs are refused with PROJ's reason.
// The operation lines in a surveyor's words: how many points took the operation, the grid file
// it uses or "ohne Gitter", its accuracy with a decimal comma, PROJ's name of it.
TEST_F(FileCalc, OperationLinesNameTheirGridAndPoints)
{
    if (!crs::available()) GTEST_SKIP() << "built without PROJ";
    const struct {
        const char* name;
        std::string input;
        int in_format, out_format;
        std::string hint;
    } cases[] = {
        {"two points through BeTA2007", "3512345 5412345 100\n3512445 5412445 100\n", 8, 2,
         "Lage nach ETRS89 (2 Punkte): BETA2007.gsb, etwa 0,9 m (Inverse of 3-degree Gauss-Kruger zone 3 + DHDN to ETRS89 (8))"},
        {"outside BeTA2007's area: no grid", "3500000 6300000 1\n", 8, 2,
         "Lage nach ETRS89 (1 Punkt): ohne Gitter, etwa 3 m (Inverse of 3-degree Gauss-Kruger zone 3 + DHDN to ETRS89 (2))"},
        {"from ETRS89", "48.8 9.1 100\n48.9 9.2 100\n48.7 9.0 100\n", 2, 8,
         "Lage aus ETRS89 (3 Punkte): BETA2007.gsb, etwa 0,9 m (Inverse of 3-degree Gauss-Kruger zone 3 + DHDN to ETRS89 (8))"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        write_text(job.input_file, c.input);
        job.in_format = c.in_format, job.out_format = c.out_format;
        run();
        ASSERT_EQ(rec.errors, std::vector<std::string>{});
        const std::string hints = rec.hints.at(0);
        EXPECT_EQ(hints.substr(hints.find("Lage ")), c.hint);
    }
}

TEST_F(FileCalc, AnyCrsInsteadOfAFormat)
{
    if (!crs::available()) {
        // A build without PROJ says so for format 8 and for a CRS.
        write_text(job.input_file, "3512345 5412345 100\n");
        for (const bool by_code : {false, true}) {
            job.in_format = by_code ? 2 : 8;
            job.in_crs = by_code ? "EPSG:31467" : "";
            run();
            EXPECT_EQ(rec.errors, std::vector<std::string>{"Gau\xC3\x9F-Kr\xC3\xBCger und andere Bezugssysteme fehlen in diesem Build (ohne PROJ)"});
        }
        GTEST_SKIP() << "no PROJ in this build: the rest needs it";
    }
    write_text(job.input_file, "796986.834 5827475.852 80.412\n412345.6 5550000 1\n");
    job.in_format = 5;
    run();
    const std::string as_format_5 = read_text(job.output_file);
    job.in_crs = "EPSG:25832";
    run();
    EXPECT_EQ(read_text(job.output_file), as_format_5);
    EXPECT_EQ(rec.hints, std::vector<std::string>{""});  // a projection, no datum moved
    job.out_crs = "EPSG:4258";
    run();
    EXPECT_EQ(lines_of(read_text(job.output_file)).at(0).substr(0, 28), "   13.37770000   52.51630000");
    const struct {
        const char* code;
        std::string error;
    } refused[] = {{"EPSG:99999", "Bezugssystem \"EPSG:99999\" unbekannt: proj_create: crs not found"},
                   {"EPSG:5783", "Bezugssystem \"EPSG:5783\" ist kein horizontales Bezugssystem"},
                   {"EPSG:4978", "Bezugssystem \"EPSG:4978\" ist kein horizontales Bezugssystem"}};
    for (const auto& r : refused) {
        job.in_crs = r.code;
        run();
        EXPECT_EQ(rec.errors, std::vector<std::string>{r.error});
    }
}
