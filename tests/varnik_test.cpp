// The console program run as a user would: answers on standard input, in a real directory.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "tests/model_builder.h"
#include "interp/query.h"
#include "messages/messages.h"
#include "console/varnik.h"
#include "textio/files.h"
#include "textio/textio.h"

using testing_support::read_text;
using testing_support::TempDir;
using testing_support::write_text;

namespace {

const std::string kAskModel = "\n Name der Geoiddatei: ";
const std::string kAskPoints = "\n Name der Datei mit zu interpolierenden Punkten: ";
const std::string kAskHeights = "\n Enthaelt die Datei der zu interpolierenden Punkte auch eine Hoehe? (j/n): ";
const std::string kAskEllipsoidal = "\n Handelt es sich um ellipsoidische Hoehen im ETRS89 (anderenfalls wird\n"
                        " DHHN92 erwartet) (j/n): ";
const std::string kAskOutput = "\n Name der Ausgabedatei: ";
const std::string kContinued = "\n Bei %s standen die Werte auf mehreren Zeilen; passt die Datei zur Auswahl?\n";
std::string continued(const char* points)
{
    std::string text = kContinued;
    return text.replace(text.find("%s"), 2, points);
}
const std::string kInfoPositions = "\n Eingabeformat: geod. Breite(dezimalg. Grad),geod. Laenge(dezimalg. Grad),\n"
                        "                durch Leerzeichen getrennt\n"
                        "\n"
                        " Ausgegeben wird: B,L,Geoidundulation(m), jeweils durch Leerzeichen getrennt\n";
const std::string kWarnNoHeights = "\n WARNUNG: Datei der zu interpolierenden Punkte enthaelt keine Hoehen!\n"
                        "\n"
                        " Ausgegeben wird: B,L,Geoidundulation(m), jeweils durch Leerzeichen getrennt\n";
const std::string kInfoEllipsoidal = "\n Eingabeformat: geod. Breite(dezimalg. Grad),geod. Laenge(dezimalg. Grad),\n"
                        "                ellips. Hoehe(dezimalg. Meter), jeweils durch Leerzeichen\n"
                        "                getrennt\n"
                        "\n"
                        " Ausgegeben wird: B,L,Normalhoehe(m),Geoidundulation(m), jeweils durch\n"
                        "                  Leerzeichen getrennt\n";
const std::string kInfoNormal = "\n Eingabeformat: geod. Breite(dezimalg. Grad),geod. Laenge(dezimalg. Grad),\n"
                        "                Normalhoehe(dezimalg. Meter), jeweils durch Leerzeichen\n"
                        "                getrennt\n"
                        "\n"
                        " Ausgegeben wird: B,L,ellips. Hoehe(m),Geoidundulation(m), jeweils durch\n"
                        "                  Leerzeichen getrennt\n";
const std::string kAbort = "\n Programmabbruch!\n";
const std::string kRestart = ",\nbitte Dateinamen pruefen und neu starten.\n";

// A run's answers and how it ends: its exit status and what varnik.err holds.
struct EndCase {
    const char* name;
    std::string answers;
    int status;
    std::string message;
};

struct RunResult {
    int status = -1;
    std::string terminal;
};

class VarnikRun : public ::testing::Test {
protected:
    VarnikRun()
    {
        // A constant model over B 50..51, L 8..9 with N = 47.456 m everywhere.
        const auto header = testing_support::header_records({50, 0, 0}, {51, 0, 0}, {8, 0, 0}, {9, 0, 0}, {0, 6, 0},
                                                            {0, 6, 0});
        testing_support::write_records(
            dir.file("model.bin"),
            testing_support::with_nodes(header, testing_support::make_nodes(11, 11, [](int, int) { return 474560; })));
    }

    RunResult run(const std::string& answers)
    {
        write_text(dir.file("answers.txt"), answers);
        RunResult r;
        r.status = testing_support::run_program(dir.path(), VARNIK_EXE, "", "answers.txt", "terminal.txt");
        r.terminal = testing_support::terminal_text(dir.file("terminal.txt"));
        return r;
    }
    std::string err() { return read_text(dir.file("varnik.err")); }
    std::string out(const std::string& name = "out.txt") { return read_text(dir.file(name)); }

    TempDir dir;
};

}  // namespace

// Whole runs on the constant model (N = 47.456 m): the answers, the point file, every text on
// the terminal and the result file; varnik.err stays empty after each.
TEST_F(VarnikRun, DialogueHeightDetectionAndResultLines)
{
    const std::string m1_east = "\n Zu interpolierender Punkt --- 50.100000 10.200000 ---\n"
                                "liegt ausserhalb des gewaehlten Geoides.\n"
                                " Dummywert gesetzt.\n";
    const std::string m1_north = "\n Zu interpolierender Punkt --- 51.500000  8.500000 ---\n"
                                 "liegt ausserhalb des gewaehlten Geoides.\n"
                                 " Dummywert gesetzt.\n";
    const struct {
        const char* name;
        std::string points, answers, terminal, result;
    } cases[] = {
        // 10.2 lies east of the model: M1 and the dummy line.
        {"mode 2, one point outside", "50.1 10.2 300.123\n50.5,8.5,100\n", "j\nj\n",
         kAskModel + kAskPoints + kAskHeights + kAskEllipsoidal + kInfoEllipsoidal + kAskOutput + m1_east,
         " 50.1000000 10.2000000 999999.000 999999.000\n 50.5000000  8.5000000     52.544     47.456\n"},
        {"mode 3 adds N and writes both dummies outside", "50.5 8.5 100\n51.5 8.5 100\n", "J\nn\n",
         kAskModel + kAskPoints + kAskHeights + kAskEllipsoidal + kInfoNormal + kAskOutput + m1_north,
         " 50.5000000  8.5000000    147.456     47.456\n 51.5000000  8.5000000 999999.000 999999.000\n"},
        // The first read takes 50.5 8.5 50.5 over two lines; read again from the second line it
        // gives B 50.5 but L 8.7: the lines hold no heights.
        {"same latitude, other longitude: no height", "50.5 8.5\n50.5 8.7\n", "j\n", kAskModel + kAskPoints + kAskHeights + kWarnNoHeights + kAskOutput,
         " 50.5000000  8.5000000     47.456\n 50.5000000  8.7000000     47.456\n"},
        {"yes for a file without heights warns, mode 1", "50.5 8.5\n50.25 8.75\n", "j\n", kAskModel + kAskPoints + kAskHeights + kWarnNoHeights + kAskOutput,
         " 50.5000000  8.5000000     47.456\n 50.2500000  8.7500000     47.456\n"},
        {"yes for a longer file without heights warns too", "50.5 8.5\n50.25 8.75\n50.75 8.25\n", "j\n",
         kAskModel + kAskPoints + kAskHeights + kWarnNoHeights + kAskOutput,
         " 50.5000000  8.5000000     47.456\n 50.2500000  8.7500000     47.456\n 50.7500000  8.2500000     47.456\n"},
        // Two lines with the same B and L: the kind of heights is asked, and each read then takes the height from
        // the first number of the next line.
        {"same first two points are taken for heights", "50.5 8.5\n50.5 8.5\n50.25 8.75\n", "j\nj\n",
         kAskModel + kAskPoints + kAskHeights + kAskEllipsoidal + kInfoEllipsoidal + kAskOutput + continued("1 Punkt"), " 50.5000000  8.5000000      3.044     47.456\n"},
        {"every point over two lines, hint after the outside report", "50.5 8.5\n50.5 8.5\n51.5 8.5\n100 1\n1\n", "j\nj\n",
         kAskModel + kAskPoints + kAskHeights + kAskEllipsoidal + kInfoEllipsoidal + kAskOutput + m1_north + continued("2 Punkten"),
         " 50.5000000  8.5000000      3.044     47.456\n 51.5000000  8.5000000 999999.000 999999.000\n"},
        {"empty point file, empty result", "", "n\n", kAskModel + kAskPoints + kAskHeights + kInfoPositions + kAskOutput, ""},
        {"last incomplete line dropped, too wide values as asterisks", "50.5 1000.0 1\n50.5 -100 1\n50.5 8.5 1\n50.5\n",
         "j\nj\n", "",
         " 50.5000000*********** 999999.000 999999.000\n"
         " 50.5000000*********** 999999.000 999999.000\n"
         " 50.5000000  8.5000000    -46.456     47.456\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::remove(dir.file("out.txt").c_str());
        write_text(dir.file("points.txt"), c.points);
        const RunResult r = run("model.bin\npoints.txt\n" + c.answers + "out.txt\n");
        EXPECT_EQ(r.status, 0);
        if (!c.terminal.empty()) {
            EXPECT_EQ(r.terminal, c.terminal);
        }
        EXPECT_EQ(out(), c.result);
        EXPECT_EQ(err(), "");  // varnik.err exists after a normal run, and is empty
    }
}

TEST_F(VarnikRun, ResultLineOfTheExample)
{
    // B = 50.1, L = 10.2, h = 300.123 with N = 47.456: a model that covers that point.
    const auto header = testing_support::header_records({49, 0, 0}, {51, 0, 0}, {9, 0, 0}, {11, 0, 0}, {0, 30, 0},
                                                        {0, 30, 0});
    testing_support::write_records(
        dir.file("wide.bin"),
        testing_support::with_nodes(header, testing_support::make_nodes(5, 5, [](int, int) { return 474560; })));
    write_text(dir.file("points.txt"), "50.1 10.2 300.123\n");
    const RunResult r = run("wide.bin\npoints.txt\nJa\nj\nout.txt\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(out(), " 50.1000000 10.2000000    252.667     47.456\n");
}

TEST_F(VarnikRun, ModeOneIgnoresHeightsAndAnyOtherAnswerIsNo)
{
    write_text(dir.file("points.txt"), "50.5 8.5 100\n50.25 8.75 7 8 9\n");
    for (const std::string answer : {"n", "", "x", " j"}) {
        std::remove(dir.file("out.txt").c_str());
        const RunResult r = run("model.bin\npoints.txt\n" + answer + "\nout.txt\n");
        EXPECT_EQ(r.status, 0) << answer;
        EXPECT_EQ(r.terminal, kAskModel + kAskPoints + kAskHeights + kInfoPositions + kAskOutput) << answer;
        EXPECT_EQ(out(), " 50.5000000  8.5000000     47.456\n 50.2500000  8.7500000     47.456\n") << answer;
    }
}

TEST_F(VarnikRun, PointsOnTheGridBorderAreOutside)
{
    write_text(dir.file("points.txt"), "51 8.5\n50 8.5\n50.5 8\n50.5 9\n");
    const RunResult r = run("model.bin\npoints.txt\nn\nout.txt\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(out(), " 51.0000000  8.5000000 999999.000\n 50.0000000  8.5000000 999999.000\n"
                     " 50.5000000  8.0000000 999999.000\n 50.5000000  9.0000000 999999.000\n");
    EXPECT_NE(r.terminal.find("\n Zu interpolierender Punkt --- 50.500000  9.000000 ---\n"), std::string::npos);
}

TEST_F(VarnikRun, NodeWithoutValueGivesTheDummyWithoutTerminalText)
{
    const auto header = testing_support::header_records({50, 0, 0}, {51, 0, 0}, {8, 0, 0}, {9, 0, 0}, {0, 6, 0},
                                                        {0, 6, 0});
    testing_support::write_records(
        dir.file("holes.bin"),
        testing_support::with_nodes(header, testing_support::make_nodes(11, 11, [](int r, int c) {
                                        return r == 6 && c == 6 ? 99999999 : 474560;
                                    })));
    write_text(dir.file("points.txt"), "50.5 8.5 10\n");
    const RunResult r = run("holes.bin\npoints.txt\nj\nj\nout.txt\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.terminal, kAskModel + kAskPoints + kAskHeights + kAskEllipsoidal + kInfoEllipsoidal + kAskOutput);
    EXPECT_EQ(out(), " 50.5000000  8.5000000 999999.000 999999.000\n");
}

TEST_F(VarnikRun, LongFileNamesAreUsedWhole)
{
    // A name of 90 characters: cut to 72 it would name another file.
    const std::string name = std::string(86, 'p') + ".txt";
    write_text(dir.file(name), "50.5 8.5\n");
    write_text(dir.file(name.substr(0, 72)), "50.25 8.25\n");
    const std::string out_name = std::string(80, 'o') + ".out";
    const RunResult r = run("model.bin\n" + name + "\nn\n" + out_name + "\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(out(out_name), " 50.5000000  8.5000000     47.456\n");
    EXPECT_FALSE(testing_support::file_exists(dir.file(out_name.substr(0, 72))));
}

TEST_F(VarnikRun, OverwriteAfterYesTruncatesTheOldFile)
{
    write_text(dir.file("points.txt"), "50.5 8.5\n");
    write_text(dir.file("out.txt"), "old line 1\nold line 2\nold line 3\n");
    const RunResult r = run("model.bin\npoints.txt\nn\nout.txt\nj\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.terminal,
              kAskModel + kAskPoints + kAskHeights + kInfoPositions + kAskOutput + "\n Datei out.txt existiert schon, soll sie ueberschrieben werden? (j/n): ");
    EXPECT_EQ(out(), " 50.5000000  8.5000000     47.456\n");
}

TEST_F(VarnikRun, NoToOverwriteEndsTheRunAndKeepsTheFile)
{
    write_text(dir.file("points.txt"), "50.5 8.5\n");
    write_text(dir.file("out.txt"), "keep me\n");
    const RunResult r = run("model.bin\npoints.txt\nn\nout.txt\nn\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.terminal.substr(r.terminal.size() - kAbort.size()), kAbort);
    EXPECT_EQ(out(), "keep me\n");
}

// An existing output file is replaced only by a run that completes: after a read error it is
// as it was, and the error says so; nothing is left beside it.
TEST_F(VarnikRun, ExistingOutputStaysAfterAFailedRun)
{
    const struct {
        const char* name;
        std::string points;
        int status;
        std::string out;
        std::string message;
    } cases[] = {
        {"read error", "50.5 8.5\n50.6 x\n", 1, "older\n",
         "\nFehler beim Lesen der Datei points.txt\nDie Ergebnisdatei wurde nicht geaendert.\n"},
        {"decimal comma", "50.5 8.5\n50,6 8,5\n", 1, "older\n",
         "\nFehler beim Lesen der Datei points.txt\nZeile 2: \"50,6\" hat ein Dezimalkomma, die Werte sind aber durch Leerzeichen "
         "getrennt,\nbitte Dezimalpunkte schreiben und neu starten.\nDie Ergebnisdatei wurde nicht geaendert.\n"},
        {"completed", "50.5 8.5\n", 0, " 50.5000000  8.5000000     47.456\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        write_text(dir.file("points.txt"), c.points);
        write_text(dir.file("out.txt"), "older\n");
        const RunResult r = run("model.bin\npoints.txt\nn\nout.txt\nj\n");
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(out(), c.out);
        EXPECT_EQ(err(), c.message);
        std::size_t files = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++files;
        EXPECT_EQ(files, 6u);  // model, points, answers, terminal, varnik.err, out.txt
    }
}

// Names in quotation marks or apostrophes, as a copied path or a file dropped into a terminal
// gives them, are taken without them.
TEST_F(VarnikRun, QuotedAnswersAreTakenWithoutTheirQuotes)
{
    write_text(dir.file("points.txt"), "50.5 8.5\n");
    const RunResult r = run("\"model.bin\"\n  'points.txt'  \n'n'\n\"out.txt\"\n");
    EXPECT_EQ(r.status, 0) << err();
    EXPECT_EQ(out(), " 50.5000000  8.5000000     47.456\n");
    EXPECT_EQ(err(), "");
}

TEST_F(VarnikRun, VarnikErrHoldsOnlyTheLatestRun)
{
    write_text(dir.file("varnik.err"), "\nmessage of an earlier run\n");
    write_text(dir.file("points.txt"), "50.5 8.5\n");
    EXPECT_EQ(run("model.bin\npoints.txt\nn\nout.txt\n").status, 0);
    EXPECT_EQ(err(), "");
}

// Every failure path: its message in varnik.err, " Programmabbruch!" and exit status 1.
TEST_F(VarnikRun, FailurePathsWriteTheirMessage)
{
    write_text(dir.file("points.txt"), "50.5 8.5 100\n50.6 abc 100\n");
    write_text(dir.file("bad.bin"), std::string(40, '\0'));
    const auto full = testing_support::read_bytes(dir.file("model.bin"));
    testing_support::write_bytes(dir.file("cut.bin"), {full.begin(), full.begin() + 4 * (18 + 3 * 11)});
    const auto zero_spacing = testing_support::header_records({50, 0, 0}, {51, 0, 0}, {8, 0, 0}, {9, 0, 0}, {0, 0, 0},
                                                              {0, 6, 0});
    testing_support::write_records(dir.file("zero.bin"),
                                   testing_support::with_nodes(zero_spacing, std::vector<std::int32_t>(121, 1)));
    write_text(dir.file("one.txt"), "50.5 8.5\n");
    write_text(dir.file("comma.txt"), "50.5 8.5 100.0\n50,6 8,5 100,0\n");
    std::filesystem::create_directory(dir.file("adir"));

    const struct {
        const char* name;
        std::string answers;
        std::string message;
        std::string terminal;
    } cases[] = {
        {"model missing", "nomodel.bin\n", "\nGeoiddatei --- nomodel.bin --- nicht vorhanden,\nbitte Dateinamen pruefen und neu starten.\n",
         kAskModel},
        {"model is a directory", "adir\n", "\nGeoiddatei --- adir --- kann nicht geoeffnet werden,\nbitte Dateinamen pruefen und neu starten.\n",
         kAskModel},
        {"point file missing", "model.bin\nnopoints.txt   \n",
         "\nInterpolationspunktedatei --- nopoints.txt --- nicht vorhanden,\nbitte Dateinamen pruefen und neu starten.\n",
         kAskModel + kAskPoints},
        {"short header", "bad.bin\npoints.txt\n", "\nFehler beim Lesen der Datei bad.bin: Header falsch!\n", kAskModel + kAskPoints},
        {"zero spacing", "zero.bin\npoints.txt\n", "\nFehler beim Lesen der Datei zero.bin: Header falsch!\n", kAskModel + kAskPoints},
        {"point not a number", "model.bin\npoints.txt\nj\nj\nout1.txt\n", "\nFehler beim Lesen der Datei points.txt\n",
         kAskModel + kAskPoints + kAskHeights + kAskEllipsoidal + kInfoEllipsoidal + kAskOutput},
        {"a decimal comma between blanks", "model.bin\ncomma.txt\nj\nj\nout3.txt\n",
         "\nFehler beim Lesen der Datei comma.txt\nZeile 2: \"50,6\" hat ein Dezimalkomma, die Werte sind aber durch Leerzeichen "
         "getrennt,\nbitte Dezimalpunkte schreiben und neu starten.\n",
         kAskModel + kAskPoints + kAskHeights + kAskEllipsoidal + kInfoEllipsoidal + kAskOutput},
        {"grid value unreadable", "cut.bin\npoints.txt\nn\nout2.txt\n", "\nFehler beim Lesen der Datei cut.bin\n",
         kAskModel + kAskPoints + kAskHeights + kInfoPositions + kAskOutput},
        {"terminal input ends", "model.bin\npoints.txt\n",
         "\nDie Eingabe am Terminal ist zu Ende, bevor alle Fragen beantwortet waren,\nbitte neu starten.\n",
         kAskModel + kAskPoints + kAskHeights},
        {"detection finds too few values", "model.bin\none.txt\nj\n",
         "\nInterpolationspunktedatei --- one.txt --- enthaelt zu wenige Werte,\nbitte Datei pruefen und neu starten.\n",
         kAskModel + kAskPoints + kAskHeights},
        {"output is the point file", "model.bin\npoints.txt\nn\n./points.txt\n",
         "\nAusgabedatei --- ./points.txt --- ist zugleich Eingabedatei,\nbitte Dateinamen pruefen und neu starten.\n",
         kAskModel + kAskPoints + kAskHeights + kInfoPositions + kAskOutput},
        {"output is the model file", "model.bin\npoints.txt\nn\nmodel.bin\n",
         "\nAusgabedatei --- model.bin --- ist zugleich Eingabedatei,\nbitte Dateinamen pruefen und neu starten.\n",
         kAskModel + kAskPoints + kAskHeights + kInfoPositions + kAskOutput},
        {"output cannot be created", "model.bin\npoints.txt\nn\nnodir/out.txt\n",
         "\nAusgabedatei --- nodir/out.txt --- kann nicht angelegt werden,\nbitte Dateinamen pruefen und neu starten.\n",
         kAskModel + kAskPoints + kAskHeights + kInfoPositions + kAskOutput},
        {"no answer at all", "", "\nDie Eingabe am Terminal ist zu Ende, bevor alle Fragen beantwortet waren,\nbitte neu starten.\n",
         kAskModel},
#ifndef _WIN32  // no device on Windows refuses every write
        {"output cannot be written", "model.bin\none.txt\nn\n/dev/full\nj\n", "\nFehler beim Schreiben der Datei /dev/full\n",
         kAskModel + kAskPoints + kAskHeights + kInfoPositions + kAskOutput + "\n Datei /dev/full existiert schon, soll sie ueberschrieben werden? (j/n): "},
#endif
        // Refused before the question whether to overwrite it.
        {"existing output is a directory", "model.bin\npoints.txt\nn\nadir\nj\n",
         "\nAusgabedatei --- adir --- ist keine gewoehnliche Datei,\nbitte Dateinamen pruefen und neu starten.\n",
         kAskModel + kAskPoints + kAskHeights + kInfoPositions + kAskOutput},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RunResult r = run(c.answers);
        EXPECT_EQ(r.status, 1);
        // The reason on the terminal too, before " Programmabbruch!".
        EXPECT_EQ(r.terminal, c.terminal + c.message.substr(0, c.message.size() - 1) + kAbort);
        EXPECT_EQ(err(), c.message);
    }
    // Result lines written before the failure stay in the output file.
    EXPECT_EQ(out("out1.txt"), " 50.5000000  8.5000000     52.544     47.456\n");
    // The model and point files are untouched.
    EXPECT_EQ(read_text(dir.file("points.txt")), "50.5 8.5 100\n50.6 abc 100\n");
}

// Bad input never hangs and is never misread. Each row once made the program spin, accept a
// misread value or lose data.
TEST_F(VarnikRun, BadInputNeverHangsNorIsMisread)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows lacks named pipes and /dev/zero";
#else
    write_text(dir.file("points.txt"), "50.5 8.5 100\n");
    write_text(dir.file("ones.txt"), std::string(1 << 20, '1'));  // no separator at all
    // An over-long token across the reader's 64 KiB chunk boundary, after good lines.
    std::string across;
    while (across.size() < 65536 - 8) across += "50.5 8.5\n";
    across += "52.0 1" + std::string(400, '0') + "\n";
    write_text(dir.file("across.txt"), across);
    // 9E-400 underflows to 0; a D-exponent number of 134 characters reads as 8.5 as with E.
    write_text(dir.file("tiny.txt"), "50.5 8.5 9E-400\n50.5 0." + std::string(126, '0') + "85D127 5\n");
    ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0644), 0);
    const EndCase cases[] = {
        {"/dev/zero without heights", "model.bin\n/dev/zero\nn\nout1.txt\n", 1, "\nFehler beim Lesen der Datei /dev/zero\n"},
        {"/dev/zero with heights", "model.bin\n/dev/zero\nj\n", 1, "\nFehler beim Lesen der Datei /dev/zero\n"},
        {"a megabyte of ones", "model.bin\nones.txt\nn\nout2.txt\n", 1, "\nFehler beim Lesen der Datei ones.txt\n"},
        {"long token across the chunk boundary", "model.bin\nacross.txt\nn\nout3.txt\n", 1,
         "\nFehler beim Lesen der Datei across.txt\n"},
        {"named pipe as model", "fifo\n", 1, "\nGeoiddatei --- fifo --- kann nicht geoeffnet werden" + kRestart},
        {"named pipe as point file", "model.bin\nfifo\n", 1, "\nInterpolationspunktedatei --- fifo --- kann nicht geoeffnet werden" + kRestart},
        {"varnik.err as output", "model.bin\npoints.txt\nn\nvarnik.err\n", 1,
         "\nAusgabedatei --- varnik.err --- ist zugleich die Fehlerdatei varnik.err" + kRestart},
        {"underflow is zero, D exponent as long as E", "model.bin\ntiny.txt\nj\nj\nout4.txt\n", 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RunResult r = run(c.answers);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(err(), c.message);
    }
    // The good lines before the over-long token are written.
    EXPECT_EQ(out("out3.txt").size(), (across.size() - 407) / 9 * 34);
    EXPECT_EQ(out("out4.txt"), " 50.5000000  8.5000000    -47.456     47.456\n"
                               " 50.5000000  8.5000000    -42.456     47.456\n");
#endif
}

TEST_F(VarnikRun, HelpVersionAndUsageErrors)
{
    const struct {
        const char* args;
        int status;
        const char* starts;
    } cases[] = {{"--help", 0, "Aufruf: varnik"}, {"-h", 0, "Aufruf: varnik"}, {"--version", 0, "varnik 1.05\n"},
                 {"-v", 0, "varnik 1.05\n"},     {"--hilfe", 2, "varnik: unbekanntes Argument"}, {"a b", 2, "varnik: unbekanntes"}};
    for (const auto& c : cases) {
        EXPECT_EQ(testing_support::run_program(dir.path(), VARNIK_EXE, c.args, "", "terminal.txt"), c.status) << c.args;
        EXPECT_EQ(testing_support::terminal_text(dir.file("terminal.txt")).rfind(c.starts, 0), 0u) << c.args;
    }
    EXPECT_FALSE(testing_support::file_exists(dir.file("varnik.err")));  // no dialogue was run
}

// Faults of other programs and of the machine: the result file written by another run, a pipe
// or a device in place of a file, old Mac line ends, a model rewritten during the run, too
// little memory for the nodes. Nothing is lost, mixed or left hanging.
TEST_F(VarnikRun, FaultsOfOtherProgramsAndTheMachine)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows lacks named pipes, popen and flock";
#else
    write_text(dir.file("points.txt"), "50.5 8.5\r50.25 8.75\r\r50.75 8.25");
    write_text(dir.file("locked.txt"), "die Zeilen eines anderen Laufs\n");
    textio::OutputStatus held;
    const int other = textio::open_output(dir.file("locked.txt"), held, textio::kKeep);  // holds the lock
    ASSERT_GE(other, 0);
    ASSERT_EQ(mkfifo(dir.file("pipe.txt").c_str(), 0644), 0);
    const EndCase cases[] = {
        {"result file written by another run", "locked.txt\nj\n", 1,
         "\nAusgabedatei --- locked.txt --- wird gerade von einem anderen Programm geschrieben" + kRestart},
        {"named pipe as result file", "pipe.txt\n", 1, "\nAusgabedatei --- pipe.txt --- ist keine gewoehnliche Datei" + kRestart},
        {"a device that discards what it gets", "/dev/null\nj\n", 0, ""},
        {"lone CR line ends", "out.txt\n", 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RunResult r = run("model.bin\npoints.txt\nn\n" + c.answers);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(err(), c.message);
    }
    EXPECT_EQ(read_text(dir.file("locked.txt")), "die Zeilen eines anderen Laufs\n");
    textio::close_file(other);
    EXPECT_EQ(out(), " 50.5000000  8.5000000     47.456\n 50.2500000  8.7500000     47.456\n"
                     " 50.7500000  8.2500000     47.456\n");
    // varnik.err a pipe: the run ends at once, with the reason on the terminal.
    std::remove(dir.file("varnik.err").c_str());
    ASSERT_EQ(mkfifo(dir.file("varnik.err").c_str(), 0644), 0);
    const RunResult fifo = run("model.bin\n");
    EXPECT_EQ(fifo.status, 1);
    EXPECT_NE(fifo.terminal.find("varnik.err"), std::string::npos);
    std::remove(dir.file("varnik.err").c_str());

    // The model rewritten in place after it was opened, while varnik waits for an answer.
    const std::string cmd = "cd '" + dir.path() + "' && timeout 60 '" VARNIK_EXE "' > terminal.txt 2>&1";
    std::FILE* in = popen(cmd.c_str(), "w");
    ASSERT_NE(in, nullptr);
    std::fputs("model.bin\npoints.txt\n", in);
    std::fflush(in);
    for (int k = 0; k < 5000 && read_text(dir.file("terminal.txt")).find(kAskHeights) == std::string::npos; ++k) usleep(1000);
    auto bytes = testing_support::read_bytes(dir.file("model.bin"));
    bytes[200] ^= 1;
    testing_support::write_bytes(dir.file("model.bin"), bytes);
    std::fputs("n\nchanged.txt\n", in);
    const int raw = pclose(in);
    EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1);
    EXPECT_EQ(err(), "\nGeoiddatei --- model.bin --- wurde waehrend der Berechnung geaendert,\nbitte neu starten.\n");
#endif
}

// Memory for the nodes cannot be had: they are read from the file instead, with the same
// result; memory for anything at all cannot be had: the run ends with its message, never a crash.
TEST_F(VarnikRun, TooLittleMemoryFallsBackOrEndsCleanly)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows lacks fork and address-space limits";
#else
    if (testing_support::kAddressSanitizer) GTEST_SKIP() << "the sanitizer reserves more address space than any limit allows";
    testing_support::write_dense_model(dir.file("dense.bin"));
    write_text(dir.file("points.txt"), testing_support::dense_points(""));
    ASSERT_EQ(run("dense.bin\npoints.txt\nn\nfree.txt\n").status, 0);
    for (const std::size_t extra : {std::size_t{3} << 20, std::size_t{0}}) {
        SCOPED_TRACE(extra);
        const std::string out_name = "limited" + std::to_string(extra) + ".txt";
        const std::string answers = "dense.bin\npoints.txt\nn\n" + out_name + "\n";
        const int status = testing_support::in_child([&] {
            std::FILE* in = fmemopen(const_cast<char*>(answers.data()), answers.size(), "r");
            std::FILE* term = std::fopen("/dev/null", "w");
            if (chdir(dir.path().c_str()) != 0 || in == nullptr || term == nullptr) return 9;
            return testing_support::limit_address_space(extra) ? run_varnik(in, term) : 9;
        });
        ASSERT_GE(status, 0) << "the run aborted";
        if (extra > 0) {
            EXPECT_EQ(status, 0);
            EXPECT_EQ(read_text(dir.file(out_name)), read_text(dir.file("free.txt")));
        } else if (status != 0) {
            EXPECT_EQ(status, 1);
            EXPECT_EQ(err(), "\nNicht genug Arbeitsspeicher fuer den Lauf,\nbitte neu starten.\n");
        }
    }
#endif
}

TEST_F(VarnikRun, SameNAsTheSinglePointQuery)
{
    // Real model, points scattered over its area, border cells and nodes included.
    const std::string model = SAMPLE_MODEL;
    std::ostringstream points;
    std::vector<std::pair<double, double>> bl;
    // More than a megabyte of result lines: more than one of the batches they are written in.
    for (double b = 46.55; b < 56.5; b += 0.045)
        for (double l = 2.52; l < 16.5; l += 0.09) bl.emplace_back(b, l);
    bl.emplace_back(52.0, 9.0);
    bl.emplace_back(46.5, 9.0);
    char buf[64];
    for (const auto& [b, l] : bl) {
        std::snprintf(buf, sizeof buf, "%.7f %.7f\n", b, l);
        points << buf;
    }
    write_text(dir.file("points.txt"), points.str());
    const RunResult r = run(model + "\npoints.txt\nn\nout.txt\n");
    ASSERT_EQ(r.status, 0);
    ASSERT_GT(out().size(), 1u << 20);
    std::istringstream lines(out());
    std::string line;
    std::size_t k = 0;
    for (; std::getline(lines, line); ++k) {
        ASSERT_LT(k, bl.size());
        double b = 0, l = 0, n = 0;
        std::string message;
        std::istringstream fields(line);
        ASSERT_TRUE(fields >> b >> l) << line;
        messages::varnik1(b, l, model, n, message);
        EXPECT_EQ(line.substr(22), testing_support::fixed(n, 11, 3)) << line;
    }
    EXPECT_EQ(k, bl.size());
}
