// geoid on the command line, run as a script runs it: without any display, exit statuses,
// messages on the two output streams, and the same result bytes as the file form.

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <regex>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <sys/wait.h>

#include "app/fields.h"
#include "filecalc/filecalc.h"
#include "filecalc/formats.h"
#include "tests/geoid_fixture.h"

namespace {

struct CliRun {
    int status = -1;
    std::string out, err;
};

// Runs geoid with the arguments, without DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM.
CliRun geoid_cli(const TempDir& dir, const std::string& args, const std::string& environment = "")
{
    const std::string cmd = "cd '" + dir.path() + "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + environment +
                            " timeout 60 '" + GEOID_EXE + "' " + args + " > stdout.txt 2> stderr.txt < /dev/null";
    const int raw = std::system(cmd.c_str());
    CliRun r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = testing_support::read_text(dir.file("stdout.txt"));
    r.err = testing_support::read_text(dir.file("stderr.txt"));
    return r;
}

const char* const kPoints = "P1 52.5163 13.3777 80.412\nP2 48.1374 11.5755 566.023\nP3 46.0 13.0 100\n";

class CommandLine : public Geoid {
protected:
    void SetUp() override
    {
        Geoid::SetUp();
        model = sample_copy();
        write_text(dir.file("punkte.txt"), kPoints);
    }
    std::string model;
};

}  // namespace

TEST_F(CommandLine, RefusalsAndUsageErrorsWithTheirStatus)
{
    write_text(dir.file("short.bin"), "x");
    mkdir(dir.file("adir").c_str(), 0755);
    const std::string base = "--modell model.bin --eingabe punkte.txt --ausgabe";
    const struct {
        const char* name;
        std::string args;
        int status;
        std::string err_starts;
    } cases[] = {
        {"unknown option", "--hilfe", 2, "geoid: unbekannte Option \"--hilfe\"; geoid --help zeigt den Aufruf.\n"},
        {"unknown short option", "-x", 2, "geoid: unbekannte Option \"-x\";"},
        {"model name blank", "--modell '' --eingabe punkte.txt --ausgabe e.txt", 1, "Name der Geoiddatei muss angeben werden.\n"},
        {"model missing", "--eingabe punkte.txt --ausgabe e.txt", 2, "geoid: die Option --modell fehlt;"},
        {"input missing", "--modell model.bin --ausgabe e.txt", 2, "geoid: die Option --eingabe fehlt;"},
        {"output missing", "--modell model.bin --eingabe punkte.txt", 2, "geoid: die Option --ausgabe fehlt;"},
        {"input format 0", base + " e.txt --eingabeformat 0", 2, "geoid: --eingabeformat muss 1 bis 8 sein"},
        {"output format 9", base + " e.txt --ausgabeformat 9", 2, "geoid: --ausgabeformat muss 1 bis 8 sein"},
        {"length 31", base + " e.txt --punktnummer 31", 2, "geoid: --punktnummer muss 1 bis 30 sein"},
        {"length empty", base + " e.txt --punktnummer ''", 2, "geoid: --punktnummer muss 1 bis 30 sein"},
        {"value missing", "--modell", 2, "geoid: einer Option fehlt ihr Wert"},
        {"stray argument", base + " e.txt zusatz", 2, "geoid: unerwartetes Argument \"zusatz\""},
        {"model cannot be opened", "--modell nix.bin --eingabe punkte.txt --ausgabe e.txt", 1,
         "Fehler beim \xC3\x96" "ffnen der Datei: nix.bin\n"},
        {"model header short", "--modell short.bin --eingabe punkte.txt --ausgabe e.txt", 1,
         "Fehler beim Lesen des Headers der Geoiddatei    Datei: short.bin\n"},
        {"input cannot be opened", "--modell model.bin --eingabe nix.txt --ausgabe e.txt", 1,
         "Fehler beim \xC3\x96" "ffnen der Datei: nix.txt\n"},
        {"output is the input", base + " ./punkte.txt", 1, "Ausgabedatei ist zugleich Eingabedatei: ./punkte.txt\n"},
        {"output is a directory", base + " adir", 1, "Fehler beim \xC3\x96" "ffnen der Datei: adir\n"},
        {"normal heights in XYZ", base + " e.txt --normalhoehen --eingabeformat 1", 2,
         "geoid: Normalh\xC3\xB6hen in der Eingabedatei passen nicht zum Eingabeformat 1: XYZ enth\xC3\xA4lt die "
         "ellipsoidische H\xC3\xB6he; geoid --help zeigt den Aufruf.\n"},
        {"separator comma", base + " e.txt --trennzeichen komma", 2,
         "geoid: --trennzeichen muss semikolon, tab oder leerzeichen sein, nicht \"komma\";"},
        {"a format with trailing characters", base + " e.txt --eingabeformat 2x", 2,
         "geoid: --eingabeformat muss 1 bis 8 sein, nicht \"2x\";"},
        {"100 header lines", base + " e.txt --kopfzeilen 100", 2, "geoid: --kopfzeilen muss 0 bis 99 sein, nicht \"100\""},
        {"a CRS and a format", base + " e.txt --eingabe-crs EPSG:31467 --eingabeformat 2", 2,
         "geoid: --eingabe-crs und --eingabeformat schlie\xC3\x9F" "en einander aus;"},
        {"unknown CRS", base + " e.txt --ausgabe-crs EPSG:99999", 2,
         "geoid: Bezugssystem \"EPSG:99999\" unbekannt: proj_create: crs not found;"},
        {"vertical CRS", base + " e.txt --eingabe-crs EPSG:5783", 2,
         "geoid: Bezugssystem \"EPSG:5783\" ist kein horizontales Bezugssystem;"},
        {"a value for a switch", base + " e.txt --tabelle=ja", 2, "geoid: einer Option fehlt ihr Wert (Wert unerwartet nach '--tabelle'.)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun r = geoid_cli(dir, c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.err.rfind(c.err_starts, 0), 0u) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(testing_support::file_exists(dir.file("e.txt")));
    }
    EXPECT_EQ(testing_support::read_text(dir.file("punkte.txt")), kPoints);
    // Help and version go to standard output.
    const CliRun help = geoid_cli(dir, "--help");
    EXPECT_EQ(help.status, 0);
    for (const char* label : {"--punktnummer", "--eingabeformat <1..8>", "--eingabe-crs <CODE>", "--ausgabe-crs <CODE>", "--normalhoehen", "--zonenkennung",
                              "--trennzeichen <semikolon|tab|leerzeichen>", "--kopfzeilen <ANZAHL>", "--restspalten", "--tabelle",
                              "3 nach\nvollst\xC3\xA4ndiger Rechnung, in der Punkte Fehler beim Lesen der Geoiddatei hatten"})
        EXPECT_NE(help.out.find(label), std::string::npos) << label;
    // Every format of the table, by its number, in both lists.
    for (const filecalc::FileFormat& f : filecalc::formats())
        for (const char* label : {f.input_label, f.output_label})
            EXPECT_NE(help.out.find("  " + std::to_string(f.number) + "  " + label + "\n"), std::string::npos) << label;
    EXPECT_EQ(geoid_cli(dir, "-v").out, "geoid 1.05\n");
}

// What the boxes add on the command line: the hint on points read over several lines on
// standard error (the run completed, status 0), and the line of a read error.
TEST_F(CommandLine, ContinuedLinesAndReadErrorsOnStandardError)
{
    write_text(dir.file("bl.txt"), "52.5163 13.3777\n48.1374 11.5755\n53.5511 9.9937\n");
    write_text(dir.file("kopf.txt"), "B;L;h\n52.5163;13.3777;80.412\n");
    write_text(dir.file("leer.txt"), "");
    const struct {
        const char* input;
        int status;
        std::string out, err;
    } cases[] = {
        {"bl.txt", 0, "1 Punkte insgesamt\n0 Punkte ausserhalb des Modells\n",
         "Bei 1 Punkt standen die Werte auf mehreren Zeilen; passt das Eingabeformat zur Datei?\n"},
        {"punkte.txt --punktnummer 2", 0, "3 Punkte insgesamt\n1 Punkte ausserhalb des Modells\n", ""},
        {"leer.txt", 0, "0 Punkte insgesamt\n0 Punkte ausserhalb des Modells\n", "Die Eingabedatei enth\xC3\xA4lt keine Punkte.\n"},
        {"bl.txt --eingabeformat 4", 0, "1 Punkte insgesamt\n1 Punkte ausserhalb des Modells\n",
         "Bei 1 Punkt standen die Werte auf mehreren Zeilen; passt das Eingabeformat zur Datei?\n"
         "Der Punkt liegt au\xC3\x9F" "erhalb des Modells; passen Eingabeformat und Modell zur Datei?\n"},
        // e.txt stands from the runs before: it stays as it was.
        {"kopf.txt", 1, "", "Fehler beim Lesen der Datei: kopf.txt\nZeile 1: \"B;L;h\" ist keine Zahl (erwartet: B)\n"
                            "Die Ergebnisdatei wurde nicht ge\xC3\xA4ndert.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        const CliRun r = geoid_cli(dir, std::string("--modell model.bin --ausgabe e.txt --eingabe ") + c.input);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, c.err);
    }
}

// The options for point lists reach the computation: a spreadsheet list in, a table out.
TEST_F(CommandLine, PointListOptions)
{
    write_text(dir.file("liste.csv"), "Nr;B;L;H;Code\n1001;52,5163;13,3777;80,412;GP\n");
    const CliRun r = geoid_cli(dir, "--modell model.bin --eingabe liste.csv --ausgabe e.csv --trennzeichen semikolon "
                                    "--kopfzeilen 1 --punktnummer 4 --normalhoehen --restspalten --tabelle --ausgabeformat 5 "
                                    "--zonenkennung");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(testing_support::read_text(dir.file("e.csv")), "\xEF\xBB\xBFPunktnummer;Ost;Nord;h;H;N;Meldung;Rest\r\n"
                                                            "1001;32796986,834;5827475,852;119,973;80,412;39,561;;GP\r\n");
    // The separator as people write it: in any case, or the character itself.
    write_text(dir.file("tab.txt"), "52,5163\t13,3777\t80,412\n");
    write_text(dir.file("blank.txt"), "52,5163 13,3777 80,412\n");
    const std::string expected = "   52.51630000   13.37770000    80.412    40.851    39.561\n";
    for (const auto& [file, value] : {std::pair{"liste.csv", "Semikolon"}, {"liste.csv", "SEMIKOLON"}, {"liste.csv", "';'"},
                                      {"tab.txt", "TAB"}, {"tab.txt", "'\t'"}, {"blank.txt", "Leerzeichen"}}) {
        SCOPED_TRACE(value);
        const bool list = std::string(file) == "liste.csv";
        const CliRun run = geoid_cli(dir, std::string("--modell model.bin --eingabe ") + file + " --ausgabe e.txt --trennzeichen " +
                                              value + (list ? " --kopfzeilen 1 --punktnummer 4" : ""));
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(testing_support::read_text(dir.file("e.txt")), list ? "1001  " + expected : expected);
    }
}

// One writer per result file; exit status 3 when a completed run met errors of the model file
// (here a disk that fails while the nodes are read).
TEST_F(CommandLine, LockedResultFileAndModelReadErrors)
{
    write_text(dir.file("gesperrt.txt"), "fremd\n");
    const int other = open(dir.file("gesperrt.txt").c_str(), O_RDWR);
    ASSERT_EQ(flock(other, LOCK_EX), 0);
    const CliRun locked = geoid_cli(dir, "--modell model.bin --eingabe punkte.txt --ausgabe gesperrt.txt");
    EXPECT_EQ(locked.status, 1);
    EXPECT_EQ(locked.err, "Ausgabedatei wird gerade von einem anderen Programm geschrieben: gesperrt.txt\n");
    EXPECT_EQ(testing_support::read_text(dir.file("gesperrt.txt")), "fremd\n");
    close(other);

    // Reads 1 and 2 check the model, 3 reads its header for the run, 4 its nodes: half of them come.
    const CliRun failing = geoid_cli(dir, "--modell model.bin --eingabe punkte.txt --ausgabe e.txt --punktnummer 3",
                                     "LD_PRELOAD=" FAIL_PREAD " GEOID_FAIL_PREAD_FROM=4 ASAN_OPTIONS=verify_asan_link_order=0");
    EXPECT_EQ(failing.status, 3) << failing.err;
    EXPECT_EQ(failing.out, "3 Punkte insgesamt\n1 Punkte ausserhalb des Modells\n1 Punkte mit Fehlern beim Lesen der Geoiddatei\n");
    EXPECT_NE(testing_support::read_text(dir.file("e.txt")).find("P2"), std::string::npos);
}

TEST_F(CommandLine, CompletedRunInEveryOutputFormatReplacesAnOlderResult)
{
    for (int out = 1; out <= 7; ++out) {
        SCOPED_TRACE("format " + std::to_string(out));
        write_text(dir.file("e.txt"), std::string(5000, 'x'));
        const CliRun r = geoid_cli(dir, "--modell model.bin --eingabe punkte.txt --ausgabe e.txt --punktnummer 3 "
                                     "--ausgabeformat " + std::to_string(out));
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, "3 Punkte insgesamt\n1 Punkte ausserhalb des Modells\n");
        EXPECT_EQ(r.err, "");
        const std::string result = testing_support::read_text(dir.file("e.txt"));
        EXPECT_EQ(std::count(result.begin(), result.end(), '\n'), 3);
        EXPECT_EQ(result.rfind("P1   ", 0), 0u);
        EXPECT_EQ(result.find('x'), std::string::npos);
    }
}

TEST_F(CommandLine, SameBytesAsTheFileFormForAllFormatPairs)
{
    // One coordinate file per input format, each holding the same points with point numbers.
    const char* const inputs[8] = {
        "",
        "A 3784039.701 899929.192 5038032.370\nB 4240437.917 868918.766 4738849.305\n",
        "A 52.5163 13.3777 80.412\nB 48.1374 11.5755 566.023\n",
        "A 52 30 58.68 13 22 39.72 80.412\nB 48 8 14.64 11 34 31.8 566.023\n",
        "A 5827475.852 796986.834 80.412\nB 5333869.373 691627.158 566.023\n",
        "A 796986.834 5827475.852 80.412\nB 691627.158 5333869.373 566.023\n",
        "A 5819701.919 389917.833 80.412\nB 5335968.478 242617.006 566.023\n",
        "A 389917.833 5819701.919 80.412\nB 242617.006 5335968.478 566.023\n",
    };
    k().job.model_file = model;
    geoid::fenster(app(), geoid::FormMode::File);
    std::deque<std::function<void()>> steps;
    for (int in = 1; in <= 7; ++in) {
        write_text(dir.file("in" + std::to_string(in) + ".txt"), inputs[in]);
        for (int out = 1; out <= 7; ++out) {
            steps.push_back([this, in, out] {
                k().job.input_file = dir.file("in" + std::to_string(in) + ".txt");
                k().job.output_file = dir.file("form-" + std::to_string(in) + std::to_string(out) + ".txt");
                toolkit::windowselect(win().file_window);
                toolkit::wdialogselect(geoid::kFileDialog);
                qobject_cast<QComboBox*>(toolkit::testing::field_widget(geoid::kListInFormat))->setCurrentIndex(in - 1);
                qobject_cast<QComboBox*>(toolkit::testing::field_widget(geoid::kListOutFormat))->setCurrentIndex(out - 1);
                toolkit::wdialogputstring(geoid::kFieldPointNumberLength, "5");
                qobject_cast<QAbstractButton*>(toolkit::testing::field_widget(geoid::kCheckPointNumber))->setChecked(true);
                QTest::mouseClick(qobject_cast<QPushButton*>(toolkit::testing::field_widget(geoid::kButtonComputeFile)),
                                  Qt::LeftButton);
            });
        }
    }
    std::deque<std::function<void(QWidget*)>> closes(49, [](QWidget* m) { m->close(); });
    gui::ModalAnswers answers(std::move(closes), 60000);
    EXPECT_TRUE(run_loop(std::move(steps)));
    for (int in = 1; in <= 7; ++in) {
        for (int out = 1; out <= 7; ++out) {
            SCOPED_TRACE("format " + std::to_string(in) + " -> " + std::to_string(out));
            const std::string pair = std::to_string(in) + std::to_string(out);
            const CliRun r = geoid_cli(dir, "--modell model.bin --eingabe in" + std::to_string(in) + ".txt --ausgabe cli-" + pair +
                                             ".txt --eingabeformat " + std::to_string(in) + " --ausgabeformat " +
                                             std::to_string(out) + " --punktnummer 5");
            EXPECT_EQ(r.status, 0) << r.err;
            const std::string form = testing_support::read_text(dir.file("form-" + pair + ".txt"));
            EXPECT_EQ(std::count(form.begin(), form.end(), '\n'), 2);
            EXPECT_EQ(testing_support::read_text(dir.file("cli-" + pair + ".txt")), form);
            // Through a pipe in and out: the same bytes; the closing message on standard error.
            const std::string piped = "cd '" + dir.path() + "' && cat in" + std::to_string(in) + ".txt | env -u DISPLAY '" +
                                      GEOID_EXE + "' --modell model.bin --eingabe - --ausgabe - --eingabeformat " +
                                      std::to_string(in) + " --ausgabeformat " + std::to_string(out) +
                                      " --punktnummer 5 2> pipe.err | cat > pipe-" + pair + ".txt";
            EXPECT_EQ(std::system(piped.c_str()), 0);
            EXPECT_EQ(testing_support::read_text(dir.file("pipe-" + pair + ".txt")), form);
            EXPECT_EQ(testing_support::read_text(dir.file("pipe.err")), "2 Punkte insgesamt\n0 Punkte ausserhalb des Modells\n");
        }
    }
}

// The help, the manual page and the help text name the formats with UTM eastings and the
// limits of the options as the format table and the limits are, not as once written down.
TEST_F(CommandLine, HelpAndManualNameTheUtmFormatsAndLimitsOfTheTable)
{
    std::vector<int> utm;
    for (const filecalc::FileFormat& f : filecalc::formats())
        if (f.zone != 0) utm.push_back(f.number);
    ASSERT_GE(utm.size(), 3u);
    ASSERT_EQ(utm.back() - utm.front() + 1, static_cast<int>(utm.size()));  // one range
    const std::string range = std::to_string(utm.front()) + " bis " + std::to_string(utm.back());
    const std::string help = geoid_cli(dir, "--help").out;
    // The help wraps its descriptions: compared with the line breaks and indents taken out.
    const std::string flat = std::regex_replace(help, std::regex("\n +"), " ");
    EXPECT_NE(flat.find("Ostwerte (Formate " + range + ") mit der Zonennummer"), std::string::npos) << help;
    EXPECT_NE(flat.find("(1 bis " + std::to_string(filecalc::kMaxPointNumberLength) + ") Zeichen"), std::string::npos) << help;
    EXPECT_NE(flat.find("(0 bis " + std::to_string(filecalc::kMaxHeaderLines) + ")"), std::string::npos) << help;
    for (const char* file : {HELP_TEXT, MANUAL_PAGE}) {
        const std::string text = std::regex_replace(testing_support::read_text(file), std::regex("\n"), " ");
        EXPECT_NE(text.find("In den Formaten " + range + " steht die Zonennummer"), std::string::npos) << file;
    }
}

// A file that cannot be opened is named with the reason on the next line: missing file or
// folder and too long a name as they are; a read-only folder, a read-only drive, a full drive
// and another error of the system through a preloaded open() that refuses (the tests run as
// root, for whom no folder is read-only). A binary file is no coordinate file.
TEST_F(CommandLine, RefusedFilesSayWhy)
{
    std::filesystem::create_directory(dir.file("nurlesen"));
    const std::string open_failed = "Fehler beim \xC3\x96" "ffnen der Datei: ";
    const std::string long_name(300, 'x');
    const struct {
        const char* name;
        std::string input, output, refusal;
        std::string message;
    } cases[] = {
        {"missing file", "fehlt.txt", "e.txt", "", open_failed + "fehlt.txt\nDie Datei gibt es nicht.\n"},
        {"missing folder of the input", "ordner/fehlt.txt", "e.txt", "", open_failed + "ordner/fehlt.txt\nDen Ordner gibt es nicht.\n"},
        {"missing folder of the output", "punkte.txt", "ordner/e.txt", "", open_failed + "ordner/e.txt\nDen Ordner gibt es nicht.\n"},
        {"name too long", "punkte.txt", long_name, "", open_failed + long_name + "\nDer Name ist zu lang.\n"},
        {"read-only folder", "punkte.txt", "nurlesen/e.txt", "nurlesen/=13", open_failed + "nurlesen/e.txt\nKeine Berechtigung.\n"},
        {"read-only drive", "punkte.txt", "nurlesen/e.txt", "nurlesen/=30",
         open_failed + "nurlesen/e.txt\nDas Laufwerk ist schreibgesch\xC3\xBCtzt.\n"},
        {"full drive", "punkte.txt", "nurlesen/e.txt", "nurlesen/=28", open_failed + "nurlesen/e.txt\nKein Platz auf dem Laufwerk.\n"},
        {"input without rights", "nurlesen/p.txt", "e.txt", "nurlesen/=13", open_failed + "nurlesen/p.txt\nKeine Berechtigung.\n"},
        {"another error: the system's text", "nurlesen/p.txt", "e.txt", "nurlesen/=5", open_failed + "nurlesen/p.txt\n" + std::strerror(5) + "\n"},
        {"the model as coordinate file", "model.bin", "e.txt", "", "Fehler beim Lesen der Datei: model.bin\nDie Datei ist keine Textdatei.\n"},
    };
    write_text(dir.file("nurlesen/p.txt"), kPoints);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::remove(dir.file("e.txt").c_str());
        const CliRun r = geoid_cli(dir, "--modell model.bin --eingabe " + c.input + " --ausgabe " + c.output,
                                   c.refusal.empty() ? std::string() : "LD_PRELOAD=" FAIL_OPEN " GEOID_FAIL_OPEN=" + c.refusal +
                                                                           " ASAN_OPTIONS=verify_asan_link_order=0");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, c.message);
        EXPECT_FALSE(testing_support::file_exists(dir.file("e.txt")));  // refused before a result was touched
    }
}

// An interrupted run (SIGTERM, SIGINT) leaves an older result as it was and nothing beside it.
TEST_F(CommandLine, InterruptedRunKeepsTheOlderResult)
{
    for (const char* signal : {"TERM", "INT"}) {
        SCOPED_TRACE(signal);
        write_text(dir.file("e.txt"), "older\n");
        // The points come from a pipe that stays open: the run waits for more until the signal.
        const std::string script = "cd '" + dir.path() + "' || exit 1; { printf '52.5 13.4 80\\n'; sleep 5; } | '" + GEOID_EXE +
                                   "' --modell model.bin --eingabe - --ausgabe e.txt > /dev/null 2>&1 & pid=$!; "
                                   // the signal once the run writes beside the older result
                                   "for k in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20; do "
                                   "ls | grep -q tmp && break; sleep 0.1; done; "
                                   "kill -" + signal + " $pid; wait $pid; echo $? > status.txt; ls '" + dir.path() + "' | grep -c tmp > '" +
                                   dir.file("left.txt") + "'; true";
        EXPECT_EQ(std::system(script.c_str()), 0);
        EXPECT_EQ(testing_support::read_text(dir.file("status.txt")), std::string(signal) == "TERM" ? "143\n" : "130\n");
        EXPECT_EQ(testing_support::read_text(dir.file("e.txt")), "older\n");
        EXPECT_EQ(testing_support::read_text(dir.file("left.txt")), "0\n");  // no file beside it
    }
}
