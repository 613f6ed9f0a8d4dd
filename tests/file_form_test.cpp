// The file form driven as a user drives it: files chosen through the dialogs, formats and
// point-number options set, "Berechnen" pressed, the boxes answered, the viewers opened.

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <sys/stat.h>

#include "app/fields.h"
#include "app/file_form.h"
#include "app/places.h"
#include "tests/geoid_fixture.h"
#include "app/model_selection.h"
#include "textio/viewer.h"

namespace {

QWidget* field(int id)
{
    return toolkit::testing::field_widget(id);
}

void click(int button)
{
    QTest::mouseClick(qobject_cast<QPushButton*>(field(button)), Qt::LeftButton);
}

std::string text_of(int id)
{
    return qobject_cast<QLineEdit*>(field(id))->text().toStdString();
}

// Answers the closing box (or the error box) and keeps its text.
std::function<void(QWidget*)> keep_text(std::string& text)
{
    return [&text](QWidget* m) {
        if (auto* box = qobject_cast<QMessageBox*>(m)) text = box->text().toStdString();
        else text = label_text(m, geoid::kErrorText).toStdString();
        m->close();
    };
}

class FileForm : public Geoid {
protected:
    void SetUp() override
    {
        Geoid::SetUp();
        k().job.model_file = sample_copy();
        geoid::fenster(app(), geoid::FormMode::File);
    }
    void TearDown() override
    {
        geoid::set_progress_delay(500);
        Geoid::TearDown();
    }
};

}  // namespace

TEST_F(FileForm, FilesChosenComputedAndViewed)
{
    write_text(dir.file("punkte.txt"), "P1 52.5163 13.3777 80.412\nP2 48.1374 11.5755 566.023\n");
    write_text(dir.file("alt.txt"), "old content\n");  // an existing result: overwrite is confirmed
    std::string closing;
    bool overwrite_asked = false;
    gui::ModalAnswers answers({[&](QWidget* m) {
                                   EXPECT_EQ(m->windowTitle(), QStringLiteral("Name der Koordinatendatei"));
                                   gui::choose_file(m, dir.file("punkte.txt"));
                               },
                               [&](QWidget* m) {
                                   EXPECT_EQ(m->windowTitle(), QStringLiteral("Name der Ergebnisdatei"));
                                   gui::choose_file(m, dir.file("alt.txt"));
                               },
                               [&](QWidget* m) {  // Qt asks before replacing a file
                                   auto* box = qobject_cast<QMessageBox*>(m);
                                   overwrite_asked = box != nullptr && box->button(QMessageBox::Yes) != nullptr;
                                   if (overwrite_asked) box->button(QMessageBox::Yes)->click();
                                   else m->close();
                               },
                               keep_text(closing)});
    EXPECT_TRUE(run_loop({[] { click(geoid::kButtonInputFile); },
                          [] { click(geoid::kButtonOutputFile); },
                          [&] {
                              EXPECT_EQ(text_of(geoid::kFieldInputFile), dir.file("punkte.txt"));
                              EXPECT_EQ(text_of(geoid::kFieldOutputFile), dir.file("alt.txt"));
                              qobject_cast<QCheckBox*>(field(geoid::kCheckPointNumber))->click();
                              auto* length = qobject_cast<QLineEdit*>(field(geoid::kFieldPointNumberLength));
                              length->setFocus();
                              QTest::keyClicks(length, QStringLiteral("4"));
                              qobject_cast<QComboBox*>(field(geoid::kListOutFormat))->setCurrentIndex(3);  // UTM32 N, E
                              click(geoid::kButtonComputeFile);
                          },
                          [] { click(geoid::kButtonViewInput); },
                          [] {
                              toolkit::windowselect(win().file_window);
                              toolkit::wdialogselect(geoid::kFileDialog);
                              click(geoid::kButtonViewOutput);
                          }}));
    EXPECT_TRUE(overwrite_asked);
    EXPECT_EQ(closing, "2 Punkte insgesamt\n0 Punkte ausserhalb des Modells");
    const std::string result = testing_support::read_text(dir.file("alt.txt"));
    EXPECT_EQ(result.substr(0, 34), std::string("P1") + "  " + "  " + "   5827475.852" + "    796986.834");
    EXPECT_EQ(result.find("old content"), std::string::npos);
    EXPECT_EQ(k().job.in_format, 2);
    EXPECT_EQ(k().job.out_format, 4);
    EXPECT_EQ(k().job.pnr_flag, 1);
    EXPECT_EQ(k().job.pnr_length, 4);
    // Both viewers show their file, titled with its path.
    ASSERT_NE(win().input_viewer.handle, 0);
    ASSERT_NE(win().output_viewer.handle, 0);
    QWidget* out_view = toolkit::testing::window_widget(win().output_viewer.handle);
    EXPECT_EQ(out_view->windowTitle().toStdString(), dir.file("alt.txt"));
    EXPECT_EQ(out_view->findChild<QPlainTextEdit*>()->toPlainText().toStdString(), result);
}

TEST_F(FileForm, CancelledDialogClearsTheNameAndANewFormShowsTheKeptNames)
{
    k().job.input_file = dir.file("frueher.txt");
    k().job.output_file = dir.file("ergebnis.txt");
    geoid::fenster(app(), geoid::FormMode::File);  // opened anew: the names that Berechnen would use
    EXPECT_EQ(text_of(geoid::kFieldInputFile), k().job.input_file);
    EXPECT_EQ(text_of(geoid::kFieldOutputFile), k().job.output_file);
    gui::ModalAnswers answers({gui::cancel});
    EXPECT_TRUE(run_loop({[] { click(geoid::kButtonInputFile); },
                          [] {
                              EXPECT_EQ(k().job.input_file, "");
                              EXPECT_EQ(text_of(geoid::kFieldInputFile), "");
                          }}));
}

// The file dialogs open in the folder of the sample files first, then in the folder of the
// file last chosen (also when that was the other of the two files, and after a cancel).
TEST_F(FileForm, FileDialogsOpenWhereTheLastFileWasChosen)
{
    mkdir(dir.file("messungen").c_str(), 0755);
    write_text(dir.file("messungen/punkte.txt"), "52.5163 13.3777 80.412\n");
    std::vector<std::string> opened_in;
    const auto folder_of = [&](QWidget* m) {
        opened_in.push_back(qobject_cast<QFileDialog*>(m)->directory().absolutePath().toStdString());
    };
    gui::ModalAnswers answers({[&](QWidget* m) {
                                   folder_of(m);
                                   gui::choose_file(m, dir.file("messungen/punkte.txt"));
                               },
                               [&](QWidget* m) {
                                   folder_of(m);
                                   gui::cancel(m);
                               },
                               [&](QWidget* m) {
                                   folder_of(m);
                                   gui::cancel(m);
                               }});
    EXPECT_TRUE(run_loop({[] { click(geoid::kButtonInputFile); }, [] { click(geoid::kButtonOutputFile); },
                          [] { click(geoid::kButtonInputFile); }}));
    const std::string samples = QCoreApplication::applicationDirPath().toStdString();
    EXPECT_EQ(geoid::sample_folder(), samples);
    EXPECT_EQ(opened_in, (std::vector<std::string>{samples, dir.file("messungen"), dir.file("messungen")}));
}

TEST_F(FileForm, PointNumberLengthIsCheckedOnlyWhenTicked)
{
    write_text(dir.file("in.txt"), "");
    k().job.input_file = dir.file("in.txt");
    k().job.output_file = dir.file("out.txt");
    const struct {
        bool ticked;
        const char* length;
        bool refused;
    } cases[] = {{false, "", false}, {false, "99", false}, {true, "1", false}, {true, "30", false},
                 {true, "0", true},  {true, "31", true},   {true, "", true},   {true, "x", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.ticked ? "ticked " : "not ticked ") + c.length);
        std::string closing;
        gui::ModalAnswers answers({keep_text(closing)}, 3000);
        const int bells = toolkit::testing::bell_count();
        EXPECT_TRUE(run_loop({[&] {
                                  qobject_cast<QCheckBox*>(field(geoid::kCheckPointNumber))->setChecked(c.ticked);
                                  qobject_cast<QLineEdit*>(field(geoid::kFieldPointNumberLength))->setText(c.length);
                                  click(geoid::kButtonComputeFile);
                              },
                              [&] {
                                  if (c.refused) {
                                      EXPECT_EQ(toolkit::testing::window_widget(win().file_window)->focusWidget(),
                                                field(geoid::kFieldPointNumberLength));
                                  }
                              }}));
        // Refused: the warning and no box; accepted: the closing box (of an empty file).
        EXPECT_EQ(closing.empty(), c.refused);
        EXPECT_EQ(toolkit::testing::bell_count() - bells, 1);  // the warning, or the box's own
    }
}

// A file the viewer cannot open is named in the error box with the reason, as the run names it;
// the file form's run says why too.
TEST_F(FileForm, FilesThatCannotBeOpenedSayWhy)
{
    mkdir(dir.file("ordner").c_str(), 0755);
    const std::string open_failed = "Fehler beim \xC3\x96" "ffnen der Datei: ";
    k().job.input_file = dir.file("ordner");
    std::string shown;
    {
        gui::ModalAnswers answers({keep_text(shown)}, 3000);
        EXPECT_TRUE(run_loop({[] { click(geoid::kButtonViewInput); }}));
    }
    EXPECT_EQ(shown, open_failed + dir.file("ordner") + "\nDas ist keine gew\xC3\xB6hnliche Datei.");
    write_text(dir.file("in.txt"), "52.5 13.4 80\n");
    k().job.input_file = dir.file("in.txt");
    k().job.output_file = dir.file("fehlt/out.txt");
    geoid::show_file_names(k());
    {
        gui::ModalAnswers answers({keep_text(shown)}, 3000);
        EXPECT_TRUE(run_loop({[] { click(geoid::kButtonComputeFile); }}));
    }
    EXPECT_EQ(shown, open_failed + dir.file("fehlt/out.txt") + "\nDen Ordner gibt es nicht.");
}

// "Abbrechen" or Escape stops a long run; its text and its bar give one percentage.
TEST_F(FileForm, LongRunShowsProgressAndStopsWhenCancelled)
{
    std::string text;
    for (int n = 0; n < 200000; ++n) text += "52.5163 13.3777 80.412\n";
    write_text(dir.file("viele.txt"), text);
    k().job.input_file = dir.file("viele.txt");
    k().job.output_file = dir.file("viele-out.txt");
    geoid::set_progress_delay(0);
    for (const bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "Escape" : "Abbrechen");
        std::remove(dir.file("viele-out.txt").c_str());  // a new result: its lines stay (an older one would)
        std::string closing;
        bool progress_seen = false;
        gui::ModalAnswers answers({[&](QWidget* m) {
                                       auto* p = qobject_cast<QProgressDialog*>(m);
                                       auto* cancel = p != nullptr ? p->findChild<QPushButton*>() : nullptr;
                                       progress_seen = cancel != nullptr;
                                       if (cancel == nullptr) {
                                           m->close();
                                           return;
                                       }
                                       EXPECT_EQ(cancel->text(), QStringLiteral("Abbrechen"));
                                       const QString label = p->labelText();
                                       const QString percent = label.mid(label.indexOf(QStringLiteral(", ")) + 2).section(QLatin1Char(' '), 0, 0);
                                       EXPECT_EQ(percent.toInt(), p->value()) << label.toStdString();
                                       if (escape) QTest::keyClick(p->windowHandle(), Qt::Key_Escape);  // as a real key arrives
                                       else cancel->click();
                                   },
                                   keep_text(closing)});
        EXPECT_TRUE(run_loop({[] { click(geoid::kButtonComputeFile); }}));
        EXPECT_TRUE(progress_seen);
        ASSERT_EQ(closing.rfind("Berechnung nach ", 0), 0u) << closing;
        const std::int64_t points = std::stoll(closing.substr(16));
        EXPECT_GT(points, 0);
        EXPECT_LT(points, 200000);
        // The lines written so far stay: one per point computed.
        const std::string out = testing_support::read_text(dir.file("viele-out.txt"));
        EXPECT_EQ(static_cast<std::int64_t>(std::count(out.begin(), out.end(), '\n')), points);
    }
}

TEST_F(FileForm, HelpIsFoundWhereTheProgramStartedAfterAResultFileElsewhere)
{
    write_text(dir.file("geoid.readme"), "Hilfe\n");
    mkdir(dir.file("anderswo").c_str(), 0755);
    gui::ModalAnswers answers({[&](QWidget* m) { gui::choose_file(m, dir.file("anderswo/ergebnis.txt")); }});
    EXPECT_TRUE(run_loop({[] { click(geoid::kButtonOutputFile); },
                          [] { geoid::show_help(k(), win().help_viewer); },
                          [] {
                              ASSERT_NE(win().help_viewer.handle, 0);
                              EXPECT_EQ(toolkit::testing::window_widget(win().help_viewer.handle)
                                            ->findChild<QPlainTextEdit*>()
                                            ->toPlainText(),
                                        QStringLiteral("Hilfe\n"));
                          }}));
    EXPECT_FALSE(testing_support::file_exists(dir.file("anderswo/geoid.readme")));
}

// The options for point lists set as a user sets them: the preview follows each change at once,
// the list of heights is off for XYZ, the header lines are checked, "Berechnen" uses them all.
TEST_F(FileForm, OptionsReachThePreviewAndTheRun)
{
    write_text(dir.file("liste.csv"), "Nr;B;L;H;Code\n1001;52,5163;13,3777;80,412;GP\n");
    k().job.input_file = dir.file("liste.csv");
    k().job.output_file = dir.file("tabelle.csv");
    geoid::show_file_names(k());
    const auto choose = [](int list, int index) {
        auto* box = qobject_cast<QComboBox*>(field(list));
        box->setCurrentIndex(index);
        emit box->activated(index);
    };
    const auto type = [](int id, const char* text) {
        auto* e = qobject_cast<QLineEdit*>(field(id));
        e->clear();
        QTest::keyClicks(e, text);
    };
    const auto preview = [] { return qobject_cast<QPlainTextEdit*>(field(geoid::kPreview))->toPlainText().toStdString(); };
    const std::string kHeader = "Kopfzeile 1: \"Nr;B;L;H;Code\"\n";  // the line skipped comes first
    const struct {
        std::function<void()> change;
        std::string preview;
    } steps[] = {
        {[&] { choose(geoid::kListSeparator, 1); }, "Zeile 1: \"Nr\" ist keine Zahl (erwartet: B)"},
        // Without point numbers the number is read as B: the preview shows it.
        {[&] { type(geoid::kFieldHeaderLines, "1"); }, kHeader + "Zeile 2:   B = 1001   L = 52.5163   h = 13.3777"},
        {[&] { choose(geoid::kListHeights, 1); }, kHeader + "Zeile 2:   B = 1001   L = 52.5163   H = 13.3777"},
        {[&] { qobject_cast<QCheckBox*>(field(geoid::kCheckRest))->setChecked(true); },
         kHeader + "Zeile 2:   B = 1001   L = 52.5163   H = 13.3777   Rest = 80,412;GP"},
        {[&] { qobject_cast<QCheckBox*>(field(geoid::kCheckPointNumber))->setChecked(true); },
         kHeader + "Zeile 2:   Punktnummer = 1001   B = 52.5163   L = 13.3777   H = 80.412   Rest = GP"},
        {[&] { type(geoid::kFieldHeaderLines, "100"); }, "Kopfzeilen: ganze Zahl zwischen 0 und 99"},
        {[&] { type(geoid::kFieldHeaderLines, "1"); }, kHeader + "Zeile 2:   Punktnummer = 1001   B = 52.5163   L = 13.3777   H = 80.412   Rest = GP"},
    };
    std::deque<std::function<void()>> loop;
    for (const auto& s : steps) {
        loop.push_back(s.change);
        loop.push_back([&] { EXPECT_EQ(preview(), s.preview); });
    }
    // XYZ holds h: the list of heights is off, and a Normalhöhe chosen before does not count.
    loop.push_back([&] { choose(geoid::kListInFormat, 0); });
    loop.push_back([&] { EXPECT_FALSE(field(geoid::kListHeights)->isEnabled()); });
    loop.push_back([&] { choose(geoid::kListInFormat, 1); });
    loop.push_back([&] {
        EXPECT_TRUE(field(geoid::kListHeights)->isEnabled());
        qobject_cast<QCheckBox*>(field(geoid::kCheckTable))->setChecked(true);
        qobject_cast<QLineEdit*>(field(geoid::kFieldPointNumberLength))->setText("4");
    });
    std::string closing;
    gui::ModalAnswers answers({keep_text(closing)}, 3000);
    loop.push_back([&] { click(geoid::kButtonComputeFile); });
    loop.push_back([] {});
    EXPECT_TRUE(run_loop(loop));
    EXPECT_EQ(closing, "1 Punkte insgesamt\n0 Punkte ausserhalb des Modells");
    EXPECT_EQ(testing_support::read_text(dir.file("tabelle.csv")), "\xEF\xBB\xBFPunktnummer;B;L;h;H;N;Meldung;Rest\r\n"
                                                   "1001;52,51630000;13,37770000;119,973;80,412;39,561;;GP\r\n");
}
