// The desktop program with its real widgets, headless (offscreen platform).

#include <QApplication>
#include <QFile>
#include <QAbstractButton>
#include <QListView>
#include <QFileInfo>
#include <QFileDialog>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSet>
#include <QStatusBar>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/checks.h"
#include "app/fields.h"
#include "app/model_selection.h"
#include "app/places.h"
#include "app/point_form.h"
#include "tests/geoid_fixture.h"

// ---- start-up and the menu ----------------------------------------------------------------------

TEST_F(Geoid, StartWindowWithTheTwoFormCommandsDisabled)
{
    QWidget* w = toolkit::testing::window_widget(win().start_window);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("Quasigeoidh\xC3\xB6henberechnung"));
    EXPECT_FALSE(item_enabled(win().start_window, "Interaktive Eingabe"));
    EXPECT_FALSE(item_enabled(win().start_window, "Dateieingabe"));
    for (const char* item : {"Quasigeoidmodell", "Hilfe", "Info", "Beenden"})
        EXPECT_TRUE(item_enabled(win().start_window, item)) << item;
    const QStringList order = [&] {
        QStringList l;
        for (QAction* a : qobject_cast<QMainWindow*>(w)->menuBar()->actions()) l << a->text();
        return l;
    }();
    EXPECT_EQ(order, (QStringList{"&Quasigeoidmodell", "&Interaktive Eingabe", "&Dateieingabe", "&Hilfe", "I&nfo",
                                  "&Beenden"}));
    // Every command has an access key of its own (Alt+I used to alternate between two).
    QSet<QChar> keys;
    for (const QString& text : order) keys.insert(text.at(text.indexOf(QLatin1Char('&')) + 1).toLower());
    EXPECT_EQ(keys.size(), order.size());
    EXPECT_EQ(status_text(win().start_window), "");
    EXPECT_EQ(win().point_window, 0);
    EXPECT_EQ(win().file_window, 0);
}

TEST_F(Geoid, DisabledCommandsDoNothingAndTheOthersWork)
{
    QString info;
    gui::ModalAnswers answers({[&](QWidget* m) {
        info = label_text(m, geoid::kInfoText);
        m->close();
    }});
    const bool clean = run_loop({
        [] { trigger("Interaktive Eingabe"); },
        [] { trigger("Dateieingabe"); },
        [] {
            EXPECT_EQ(win().point_window, 0);
            EXPECT_EQ(win().file_window, 0);
            trigger("Info");
        },
        [] { trigger("Hilfe"); },
        [] { EXPECT_NE(win().help_viewer.handle, 0); },
    });
    EXPECT_TRUE(clean);
    EXPECT_TRUE(info.contains(QString::fromUtf8("Berechnung von Quasigeoidh\xC3\xB6hen")));
}

// ---- model selection ------------------------------------------------------------------------------

TEST_F(Geoid, ChosenModelIsAcceptedAndUnlocksTheForms)
{
    const std::string model = sample_copy();
    gui::ModalAnswers answers({[&](QWidget* m) {
        EXPECT_EQ(m->windowTitle(), QStringLiteral("Name des Geoidmodells"));
        gui::choose_file(m, model);
    }});
    EXPECT_TRUE(run_loop({[] { trigger("Quasigeoidmodell"); },
                          [&] {
                              EXPECT_EQ(k().job.model_file, model);
                              EXPECT_EQ(status_text(win().start_window), QString::fromStdString(model));
                              EXPECT_TRUE(item_enabled(win().start_window, "Interaktive Eingabe"));
                              EXPECT_TRUE(item_enabled(win().start_window, "Dateieingabe"));
                              trigger("Interaktive Eingabe");
                          },
                          [&] {
                              ASSERT_NE(win().point_window, 0);
                              EXPECT_EQ(status_text(win().point_window), QString::fromStdString(model));
                          }}));
    EXPECT_TRUE(answers.all_answered());
}

TEST_F(Geoid, RejectedModelsShowTheirMessageAndLeaveNoModel)
{
    const std::string good = sample_copy("good.bin");
    const auto bytes = testing_support::read_bytes(good);
    const std::string shorter = dir.file("shorter.bin"), longer = dir.file("longer.bin"),
                      header = dir.file("header.bin"), missing = dir.file("missing.bin");
    testing_support::write_bytes(shorter, {bytes.begin(), bytes.end() - 4});
    auto extra = bytes;
    extra.insert(extra.end(), {1, 2, 3, 4});
    testing_support::write_bytes(longer, extra);
    testing_support::write_bytes(header, {bytes.begin(), bytes.begin() + 40});

    const struct {
        std::string path;
        std::string message;
    } cases[] = {
        {shorter, "Fehler beim Lesen der Geoiddatei    Datei: " + shorter},
        {longer, "Keine g\xC3\xBCltige Geoiddatei,   Datei: " + longer},
        {header, "Fehler beim Lesen des Headers der Geoiddatei    Datei: " + header},
        {missing, "Fehler beim \xC3\x96" "ffnen der Datei: " + missing},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        // A model was chosen and the point form is open.
        k().job.model_file = good;
        geoid::fenster(app(), geoid::FormMode::Point);
        std::deque<std::function<void(QWidget*)>> handlers{[&](QWidget* m) { gui::choose_file(m, c.path); }};
        if (c.path == missing)  // the dialog asks before it takes a file that does not exist
            handlers.push_back([](QWidget* m) {
                auto* box = qobject_cast<QMessageBox*>(m);
                ASSERT_NE(box, nullptr);
                box->button(QMessageBox::Yes)->click();
            });
        QString shown;
        handlers.push_back([&](QWidget* m) {
            EXPECT_EQ(m->windowTitle(), QStringLiteral("Fehler"));
            shown = label_text(m, 1006);
            gui::press(m, QStringLiteral("id1"));
        });
        const int bells = toolkit::testing::bell_count();
        gui::ModalAnswers answers(std::move(handlers));
        EXPECT_TRUE(run_loop({[] { trigger("Quasigeoidmodell"); },
                              [] {
                                  // Back to the start window without a model.
                                  EXPECT_EQ(win().point_window, 0);
                                  ASSERT_NE(win().start_window, 0);
                                  EXPECT_EQ(toolkit::testing::window_widget(win().start_window)->windowTitle(),
                                            QStringLiteral("Quasigeoidberechnung"));
                                  EXPECT_FALSE(item_enabled(win().start_window, "Interaktive Eingabe"));
                                  EXPECT_FALSE(item_enabled(win().start_window, "Dateieingabe"));
                                  EXPECT_EQ(status_text(win().start_window), "");
                                  EXPECT_EQ(k().job.model_file, "");
                              }}));
        EXPECT_EQ(shown, QString::fromStdString(c.message));
        EXPECT_TRUE(answers.all_answered());
        EXPECT_GT(toolkit::testing::bell_count(), bells);  // the error box sounds the warning
    }
}

TEST_F(Geoid, CancelWhileThePointFormIsOpenReturnsToTheStartWindow)
{
    k().job.model_file = sample_copy();
    geoid::fenster(app(), geoid::FormMode::Point);
    toolkit::testing::window_widget(win().point_window)->move(20, 90);
    gui::ModalAnswers answers({gui::cancel});
    EXPECT_TRUE(run_loop({[] { trigger("Quasigeoidmodell"); },
                          [] {
                              EXPECT_EQ(win().point_window, 0);
                              ASSERT_NE(win().start_window, 0);
                              EXPECT_EQ(toolkit::testing::window_widget(win().start_window)->pos(), QPoint(20, 90));
                              EXPECT_FALSE(item_enabled(win().start_window, "Interaktive Eingabe"));
                              EXPECT_EQ(k().job.model_file, "");
                              EXPECT_EQ(status_text(win().start_window), "");
                          }}));
}

TEST_F(Geoid, NewValidModelKeepsTheOpenFormAndItsContents)
{
    k().job.model_file = sample_copy("first.bin");
    const std::string second = sample_copy("second.bin");
    geoid::fenster(app(), geoid::FormMode::Point);
    const int form = win().point_window;
    toolkit::wdialogputstring(1029, "52.5");
    gui::ModalAnswers answers({[&](QWidget* m) { gui::choose_file(m, second); }});
    EXPECT_TRUE(run_loop({[] { trigger("Quasigeoidmodell"); },
                          [&] {
                              EXPECT_EQ(win().point_window, form);
                              EXPECT_EQ(status_text(form), QString::fromStdString(second));
                              toolkit::wdialogselect(geoid::kPointDialog);
                              std::string text;
                              toolkit::wdialoggetstring(1029, text);
                              EXPECT_EQ(text, "52.5");
                          }}));
}

TEST_F(Geoid, LongPathsAreElidedInTheMiddleAndShownWholeAsTooltip)
{
    // A model path of more than 256 characters.
    std::string deep = dir.path();
    while (deep.size() < 300) {
        deep += "/verzeichnis-mit-einem-langen-namen";
        mkdir(deep.c_str(), 0755);
    }
    const std::string model = deep + "/modell.bin";
    testing_support::write_bytes(model, testing_support::read_bytes(SAMPLE_MODEL));
    gui::ModalAnswers answers({[&](QWidget* m) { gui::choose_file(m, model); }});
    EXPECT_TRUE(run_loop({[] { trigger("Quasigeoidmodell"); },
                          [&] {
                              EXPECT_EQ(k().job.model_file, model);
                              auto* w = qobject_cast<QMainWindow*>(toolkit::testing::window_widget(win().start_window));
                              auto* label = w->statusBar()->findChild<QLabel*>();
                              EXPECT_EQ(label->toolTip(), QString::fromStdString(model));
                              EXPECT_TRUE(label->text().endsWith(QStringLiteral("/modell.bin"))) << label->text().toStdString();
                              EXPECT_TRUE(label->text().contains(QChar(0x2026)));
                              EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width());
                              EXPECT_EQ(w->width(), w->sizeHint().width());  // the window did not grow
                          }}));
}

// ---- information and help -------------------------------------------------------------------------

TEST_F(Geoid, InformationDialogShowsItsEightLines)
{
    k().job.model_file = "/x/model.bin";
    toolkit::windowoutstatusbar(1, k().job.model_file);
    QString text, title;
    bool has_picture = false;
    gui::ModalAnswers answers({[&](QWidget* m) {
        title = m->windowTitle();
        text = label_text(m, geoid::kInfoText);
        auto* pic = m->findChild<QLabel*>(QStringLiteral("id2002"));
        has_picture = pic != nullptr && !pic->pixmap().isNull();
        m->close();
    }});
    geoid::show_info();
    EXPECT_EQ(title, QStringLiteral("Info"));
    EXPECT_EQ(text, QString::fromUtf8("\n\nBerechnung von Quasigeoidh\xC3\xB6hen\n\nVersion 1.05  (22.08.12)      \n\n\nVennhof"));
    EXPECT_TRUE(has_picture);
    EXPECT_EQ(status_text(win().start_window), QStringLiteral("/x/model.bin"));
    EXPECT_FALSE(item_enabled(win().start_window, "Interaktive Eingabe"));
}

TEST_F(Geoid, HelpShowsGeoidReadmeOfTheWorkingDirectory)
{
    write_text(dir.file("geoid.readme"), "Hilfe zur H\xC3\xB6he   \r\n\r\n  eingerückt\nletzte Zeile");
    geoid::show_help(k(), win().help_viewer);
    ASSERT_NE(win().help_viewer.handle, 0);
    QWidget* v = toolkit::testing::window_widget(win().help_viewer.handle);
    EXPECT_EQ(v->windowTitle(), QStringLiteral("Hilfe"));
    EXPECT_EQ(v->pos(), QPoint(0, 0));  // first opening: top-left corner
    auto* text = v->findChild<QPlainTextEdit*>(QStringLiteral("id1056"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->toPlainText(), QString::fromUtf8("Hilfe zur H\xC3\xB6he\n\n  eingerückt\nletzte Zeile\n"));
    EXPECT_TRUE(text->isReadOnly());
}

// Without a readable geoid.readme where it started (none, or a directory of that name), beside
// it or in an installation's data folder, geoid shows the help text it carries, and creates
// nothing anywhere.
TEST_F(Geoid, HelpIsAlwaysThereAndCreatesNothing)
{
    const std::string builtin = QString::fromUtf8(testing_support::read_text(HELP_TEXT)).toStdString();
    const QString program = QCoreApplication::applicationDirPath();
    EXPECT_EQ(geoid::data_folders(),
              (std::vector<std::string>{program.toStdString(), QDir::cleanPath(program + QStringLiteral("/../share/geoid")).toStdString()}));
    for (const bool directory : {false, true}) {
        SCOPED_TRACE(directory ? "a directory named geoid.readme" : "no geoid.readme");
        if (directory) mkdir(dir.file("geoid.readme").c_str(), 0755);
        const int bells = toolkit::testing::bell_count();
        geoid::show_help(k(), win().help_viewer);
        ASSERT_NE(win().help_viewer.handle, 0);
        auto* text = toolkit::testing::window_widget(win().help_viewer.handle)->findChild<QPlainTextEdit*>(QStringLiteral("id1056"));
        EXPECT_EQ(text->toPlainText().left(60).toStdString(), builtin.substr(0, 60));
        EXPECT_EQ(text->document()->blockCount(), static_cast<int>(std::count(builtin.begin(), builtin.end(), '\n')) + 1);
        EXPECT_EQ(testing_support::file_exists(dir.file("geoid.readme")), directory);
        EXPECT_EQ(toolkit::testing::bell_count(), bells);  // no error box
        EXPECT_FALSE(testing_support::file_exists(program.toStdString() + "/geoid.readme"));
    }
    // One beside the program is shown when the working directory has none; one in the working
    // directory wins over it. (Here, not in a test of its own: the loop above wants none beside.)
    rmdir(dir.file("geoid.readme").c_str());
    const std::string beside = program.toStdString() + "/geoid.readme";
    testing_support::write_text(beside, "Hilfe neben dem Programm\n");
    EXPECT_EQ(geoid::help_text(dir.file("geoid.readme")), "Hilfe neben dem Programm\r\n");  // the viewer ends lines CR LF
    testing_support::write_text(dir.file("geoid.readme"), "Hilfe aus dem Arbeitsordner\n");
    EXPECT_EQ(geoid::help_text(dir.file("geoid.readme")), "Hilfe aus dem Arbeitsordner\r\n");
    std::remove(beside.c_str());
}

// ---- windows ----------------------------------------------------------------------------------------

TEST_F(Geoid, FormsReplaceEachOtherAtOnePlace)
{
    const QPoint centred = toolkit::testing::window_widget(win().start_window)->pos();
    geoid::fenster(app(), geoid::FormMode::Point);
    EXPECT_EQ(win().start_window, 0);
    QWidget* point = toolkit::testing::window_widget(win().point_window);
    EXPECT_EQ(point->pos(), centred);  // the first form takes the place of the centred start window
    EXPECT_EQ(point->windowTitle(), QStringLiteral("Quasigeoidberechnung Interaktive Eingabe - Koordinaten im ETRS89"));
    point->move(30, 130);
    geoid::fenster(app(), geoid::FormMode::File);
    EXPECT_EQ(win().point_window, 0);
    QWidget* file = toolkit::testing::window_widget(win().file_window);
    EXPECT_EQ(file->pos(), QPoint(30, 130));
    EXPECT_EQ(file->windowTitle(), QStringLiteral("Quasigeoidberechnung Dateieingabe"));
    toolkit::wdialogselect(geoid::kFileDialog);
    EXPECT_TRUE(qobject_cast<QLineEdit*>(toolkit::testing::field_widget(1061))->isReadOnly());
    EXPECT_TRUE(qobject_cast<QLineEdit*>(toolkit::testing::field_widget(1062))->isReadOnly());
    EXPECT_EQ(file->focusWidget(), toolkit::testing::field_widget(1065));

    // The point form opened again while open: an empty one at the same place.
    geoid::fenster(app(), geoid::FormMode::Point);
    toolkit::wdialogputstring(1029, "50.0");
    geoid::fenster(app(), geoid::FormMode::Point);
    EXPECT_EQ(toolkit::testing::window_widget(win().point_window)->pos(), QPoint(30, 130));
    std::string text = "x";
    toolkit::wdialoggetstring(1029, text);
    EXPECT_EQ(text, "");
    EXPECT_EQ(toolkit::testing::window_widget(win().point_window)->focusWidget(), toolkit::testing::field_widget(1029));

    geoid::fenster(app(), geoid::FormMode::None);  // any other mode closes the form and opens none
    EXPECT_EQ(win().point_window, 0);
    EXPECT_EQ(win().start_window, 0);
}

TEST_F(Geoid, PointFormOpensWithDecimalDegreesSelected)
{
    geoid::fenster(app(), geoid::FormMode::Point);
    EXPECT_EQ(geoid::selected_system(), geoid::System::Blh1);  // the second button of the group
    const auto read_only = [](int f) { return qobject_cast<QLineEdit*>(toolkit::testing::field_widget(f))->isReadOnly(); };
    for (const int f : {1029, 1014, 1015}) EXPECT_FALSE(read_only(f)) << f;
    for (const int f : {1007, 1004, 1005, 1058, 1035, 1037, 1038, 1057, 1030, 1013, 1036, 1031, 1026, 1028, 1027,
                        1074, 1075, 1060, 1043, 1044})
        EXPECT_TRUE(read_only(f)) << f;
    std::string sign;
    toolkit::wdialoggetstring(1058, sign);
    EXPECT_EQ(sign, "+");
    toolkit::wdialoggetstring(1057, sign);
    EXPECT_EQ(sign, "+");
    auto* b = qobject_cast<QLineEdit*>(toolkit::testing::field_widget(1029));
    EXPECT_TRUE(b->alignment() & Qt::AlignRight);
    // A number field keeps all that is put into it, to be checked whole; a sign field one sign.
    for (const int f : {1029, 1030, 1035}) {
        auto* e = qobject_cast<QLineEdit*>(toolkit::testing::field_widget(f));
        e->setText(QStringLiteral("52,5 und noch mehr Text"));
        EXPECT_EQ(e->text(), QStringLiteral("52,5 und noch mehr Text")) << f;
    }
    EXPECT_EQ(qobject_cast<QLineEdit*>(toolkit::testing::field_widget(1058))->maxLength(), 1);
    auto* go = qobject_cast<QPushButton*>(toolkit::testing::field_widget(1055));
    ASSERT_NE(go, nullptr);
    EXPECT_EQ(go->text().remove(QLatin1Char('&')), QStringLiteral("Berechnen"));
    EXPECT_TRUE(go->isDefault());
}

TEST_F(Geoid, ClosingAViewerKeepsTheProgramClosingAFormEndsIt)
{
    k().job.model_file = sample_copy();
    geoid::fenster(app(), geoid::FormMode::Point);
    write_text(dir.file("geoid.readme"), "Hilfe\n");
    const bool clean = run_loop({[] { trigger("Hilfe"); },
                                 [] {
                                     ASSERT_NE(win().help_viewer.handle, 0);
                                     toolkit::testing::window_widget(win().help_viewer.handle)->close();  // its close box
                                 },
                                 [] {
                                     EXPECT_EQ(win().help_viewer.handle, 0);
                                     ASSERT_NE(win().point_window, 0);
                                     toolkit::testing::window_widget(win().point_window)->close();
                                 }},
                                /*quit_at_end=*/false);
    EXPECT_TRUE(clean);  // the loop ended through the form's close box
}

TEST_F(Geoid, ViewerReopensAtItsMovedPosition)
{
    write_text(dir.file("geoid.readme"), "Hilfe\n");
    EXPECT_TRUE(run_loop({[] { trigger("Hilfe"); },
                          [] {
                              QWidget* v = toolkit::testing::window_widget(win().help_viewer.handle);
                              EXPECT_EQ(v->pos(), QPoint(0, 0));
                              v->move(333, 222);
                              v->close();
                          },
                          [] {
                              EXPECT_EQ(win().help_viewer.handle, 0);
                              trigger("Hilfe");
                          },
                          [] {
                              EXPECT_EQ(toolkit::testing::window_widget(win().help_viewer.handle)->pos(), QPoint(333, 222));
                              toolkit::testing::window_widget(win().help_viewer.handle)->move(50, 60);
                              trigger("Hilfe");  // opened again while open: same place
                          },
                          [] { EXPECT_EQ(toolkit::testing::window_widget(win().help_viewer.handle)->pos(), QPoint(50, 60)); }}));
}

// ---- field checks ---------------------------------------------------------------------------------

TEST_F(Geoid, FailedCheckSoundsTheWarningAndFocusesTheFieldWithoutAMessage)
{
    geoid::fenster(app(), geoid::FormMode::Point);
    QWidget* form = toolkit::testing::window_widget(win().point_window);
    const struct {
        int field;
        const char* text;
        bool ok;
    } cases[] = {{1029, "55.981", false}, {1029, "52,5", true}, {1035, "5 2", false}, {1058, " ", false}, {1058, "-", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.field) + " \"" + c.text + "\"");
        QWidget* f = toolkit::testing::field_widget(c.field);
        ASSERT_NE(f, nullptr);
        f->setEnabled(true);
        toolkit::wdialogputstring(c.field, c.text);
        form->setFocus();
        const int bells = toolkit::testing::bell_count();
        EXPECT_EQ(geoid::check_field(c.field, k().point), c.ok);
        EXPECT_EQ(toolkit::testing::bell_count() - bells, c.ok ? 0 : 1);
        EXPECT_EQ(form->focusWidget() == f, !c.ok);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
    EXPECT_EQ(k().point.ell_b, 52.5);  // a decimal comma
    EXPECT_EQ(k().point.b_sign, '-');
    EXPECT_TRUE(geoid::check_field(1043, k().point));  // a field without a check passes
}

TEST_F(Geoid, NumbersAreWrittenIntoFieldsByFormat)
{
    geoid::fenster(app(), geoid::FormMode::Point);
    std::string text;
    geoid::put_string_real(1044, 100.0 - 47.123, "(f8.3)");
    toolkit::wdialoggetstring(1044, text);
    EXPECT_EQ(text, "  52.877");
    geoid::put_string_real(1029, 52.5163, "(f13.8)");
    toolkit::wdialoggetstring(1029, text);
    EXPECT_EQ(text, "  52.51630000");
    geoid::put_string_real(1015, 123456.0, "(f8.3)");
    toolkit::wdialoggetstring(1015, text);
    EXPECT_EQ(text, "********");
    geoid::put_string_integer(1035, 7, "(i2)");
    toolkit::wdialoggetstring(1035, text);
    EXPECT_EQ(text, " 7");
    geoid::put_string_integer(1030, 1234, "(i3)");
    toolkit::wdialoggetstring(1030, text);
    EXPECT_EQ(text, "***");
}

TEST_F(Geoid, MessageBoxOfACompletedComputation)
{
    geoid::fenster(app(), geoid::FormMode::Point);
    QString title, text;
    gui::ModalAnswers answers({[&](QWidget* m) {
        title = m->windowTitle();
        if (auto* box = qobject_cast<QMessageBox*>(m)) text = box->text();
        m->close();
    }});
    const int bells = toolkit::testing::bell_count();
    geoid::write_message(geoid::kPointDialog, "Anzahl gelesener Punkte: 3   ");
    EXPECT_EQ(title, QStringLiteral("Berechnung beendet"));
    EXPECT_EQ(text, QStringLiteral("Anzahl gelesener Punkte: 3"));
    EXPECT_EQ(toolkit::testing::bell_count(), bells + 1);
    EXPECT_EQ(toolkit::testing::current_dialog(), geoid::kPointDialog);
}

// ---- the frame: sizes, ownership, dispatch, plain texts, file dialogs, viewers -----------------

TEST_F(Geoid, StartWindowAndBothFormsShareOneSize)
{
    const QSize start = toolkit::testing::window_widget(win().start_window)->size();
    geoid::fenster(app(), geoid::FormMode::Point);
    EXPECT_EQ(toolkit::testing::window_widget(win().point_window)->size(), start);
    geoid::fenster(app(), geoid::FormMode::File);
    EXPECT_EQ(toolkit::testing::window_widget(win().file_window)->size(), start);
}

TEST_F(Geoid, ClosedWindowsAreDeletedOverAHundredSwaps)
{
    geoid::fenster(app(), geoid::FormMode::Point);
    geoid::fenster(app(), geoid::FormMode::File);
    const qsizetype before = QApplication::topLevelWidgets().size();
    for (int n = 0; n < 100; ++n) geoid::fenster(app(), n % 3 == 0 ? geoid::FormMode::Point : n % 3 == 1 ? geoid::FormMode::File : geoid::FormMode::Start);
    geoid::fenster(app(), geoid::FormMode::File);
    EXPECT_EQ(QApplication::topLevelWidgets().size(), before);
}

TEST_F(Geoid, ClosingAWindowWhileItsDialogIsCurrentLeavesNothingDangling)
{
    // Under AddressSanitizer a stale pointer to the form or to a dialog over it would show here.
    geoid::fenster(app(), geoid::FormMode::Point);
    toolkit::wdialogload(geoid::kErrorDialog);  // a modal dialog owned by the form's window
    toolkit::windowclosechild(win().point_window);
    win().point_window = 0;
    toolkit::wdialogputstring(geoid::kErrorText, "x");
    toolkit::wdialogunload();
    EXPECT_EQ(toolkit::testing::current_dialog(), 0);
    EXPECT_EQ(toolkit::testing::field_widget(1029), nullptr);
    toolkit::wdialogputstring(1029, "52");  // no window, no dialog: nothing happens
    toolkit::wdialogselect(geoid::kPointDialog);
    EXPECT_EQ(toolkit::testing::current_dialog(), 0);
}

TEST_F(Geoid, EventOfAReplacedFormNeverReachesTheNewForm)
{
    // "Berechnen" without a model shows the error box; queued by a form replaced since, nothing.
    geoid::fenster(app(), geoid::FormMode::Point);
    const int old_form = win().point_window;
    toolkit::testing::post({toolkit::EventKind::PushButton, old_form, geoid::kButtonComputePoint, 0});
    toolkit::testing::post({toolkit::EventKind::FieldChanged, old_form, geoid::kRadioXyz, geoid::kRadioXyz});
    geoid::fenster(app(), geoid::FormMode::Point);
    ASSERT_NE(win().point_window, old_form);
    int boxes = 0;
    gui::ModalAnswers answers({[&](QWidget* m) {
        ++boxes;
        m->close();
    }});
    EXPECT_TRUE(run_loop({[] { EXPECT_TRUE(toolkit::testing::field_widget(1029)->isEnabled()); },
                          [] {
                              toolkit::testing::post({toolkit::EventKind::PushButton, win().point_window,
                                                      geoid::kButtonComputePoint, 0});
                          },
                          [&] { EXPECT_EQ(boxes, 1); }}));
    EXPECT_EQ(boxes, 1);  // only the new form's own press
}

TEST_F(Geoid, RadioButtonsSelectTheirSystemByFieldNumber)
{
    geoid::fenster(app(), geoid::FormMode::Point);
    const std::pair<int, geoid::System> radios[] = {{1001, geoid::System::Xyz}, {1002, geoid::System::Blh1},
                                                    {1016, geoid::System::Blh2}, {1003, geoid::System::Utm32},
                                                    {1061, geoid::System::Utm33}};
    for (const auto& [id, system] : radios) {
        qobject_cast<QAbstractButton*>(toolkit::testing::field_widget(id))->click();
        EXPECT_EQ(geoid::selected_system(), system) << id;
    }
}

TEST_F(Geoid, LabelsShowPlainTextNeverMarkup)
{
    const std::string path = "/daten/<i>kursiv</i>   a&b.bin";
    QString box_text, message_text;
    gui::ModalAnswers answers({[&](QWidget* m) {
                                   box_text = label_text(m, geoid::kErrorText);
                                   EXPECT_EQ(m->findChild<QLabel*>(QStringLiteral("id1006"))->textFormat(), Qt::PlainText);
                                   m->close();
                               },
                               [&](QWidget* m) {
                                   auto* box = qobject_cast<QMessageBox*>(m);
                                   ASSERT_NE(box, nullptr);
                                   message_text = box->text();
                                   EXPECT_EQ(box->textFormat(), Qt::PlainText);
                                   m->close();
                               }});
    geoid::write_errcode(-1, path);
    geoid::write_message(-1, path);
    EXPECT_EQ(box_text.toStdString(), path);
    EXPECT_EQ(message_text.toStdString(), path);
    toolkit::windowoutstatusbar(1, path);
    auto* bar = qobject_cast<QMainWindow*>(toolkit::testing::window_widget(win().start_window))->statusBar();
    EXPECT_EQ(bar->findChild<QLabel*>()->textFormat(), Qt::PlainText);
}

TEST_F(Geoid, FileDialogListsFilesWithoutADotAndWritesGermanDates)
{
    write_text(dir.file("modell"), "x");  // no extension
    write_text(dir.file("punkte.txt"), "x");
    QStringList listed;
    QString filter, date;
    gui::ModalAnswers answers({[&](QWidget* m) {
        auto* d = qobject_cast<QFileDialog*>(m);
        ASSERT_NE(d, nullptr);
        auto* combo = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        filter = combo->currentText();
        auto* view = d->findChild<QListView*>(QStringLiteral("listView"));
        QAbstractItemModel* model = view->model();
        EXPECT_TRUE(QTest::qWaitFor([&] { return model->rowCount(view->rootIndex()) >= 2; }, 3000));
        for (int r = 0; r < model->rowCount(view->rootIndex()); ++r) {
            listed << model->index(r, 0, view->rootIndex()).data().toString();
            if (listed.back() == QStringLiteral("modell")) date = model->index(r, 3, view->rootIndex()).data().toString();
        }
        m->close();
    }});
    std::string path;
    toolkit::wselectfile2("alle Dateien (*.*)|*.*|", toolkit::kLoadDialog | toolkit::kPromptOn, path, "Name des Geoidmodells");
    EXPECT_EQ(filter, QStringLiteral("alle Dateien (*.*)"));
    EXPECT_TRUE(listed.contains(QStringLiteral("modell"))) << listed.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(listed.contains(QStringLiteral("punkte.txt")));
    // German short form: day.month.year, 24-hour clock.
    EXPECT_EQ(date, QLocale(QLocale::German, QLocale::Germany).toString(QFileInfo(QString::fromStdString(dir.file("modell"))).lastModified(), QLocale::ShortFormat));
    EXPECT_TRUE(date.contains(QLatin1Char('.'))) << date.toStdString();
}

TEST_F(Geoid, ViewersScrollBothWaysAndTheHelpTextFitsTheirWidth)
{
    QFile::copy(QStringLiteral(HELP_TEXT), QString::fromStdString(dir.file("geoid.readme")));
    geoid::show_help(k(), win().help_viewer);
    ASSERT_NE(win().help_viewer.handle, 0);
    auto* text = qobject_cast<QPlainTextEdit*>(toolkit::testing::field_widget(geoid::kHelpViewerText));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_NE(text->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_NE(text->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_TRUE(text->textInteractionFlags() & Qt::TextSelectableByKeyboard);
    EXPECT_TRUE(text->isReadOnly());
    // The keyboard moves through the text: Ctrl+End reaches the last line.
    QTest::keyClick(text, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(text->textCursor().blockNumber(), text->document()->blockCount() - 1);
    // Every line of the help text is readable without scrolling sideways.
    int widest = 0;
    for (const QString& line : text->toPlainText().split(QLatin1Char('\n')))
        widest = std::max(widest, text->fontMetrics().horizontalAdvance(line));
    EXPECT_LE(widest, text->viewport()->width() - 2 * static_cast<int>(text->document()->documentMargin()));
}

int main(int argc, char** argv)
{
    // Before the QApplication: test discovery runs this binary at build time without the
    // environment of the test properties. The offscreen screen is an office PC's 1024 x 768.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen") {
        // One file per process: tests run in parallel processes.
        const QString config =
            QDir::temp().filePath(QStringLiteral("geoid_test_screen_%1.json").arg(QCoreApplication::applicationPid()));
        QFile f(config);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(R"({"screens": [{"name": "office", "x": 0, "y": 0, "width": 1024, "height": 768,)"
                    R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        f.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toUtf8());
    }
    QApplication app(argc, argv);
    if (const QByteArray p = qgetenv("QT_QPA_PLATFORM"); p.startsWith("offscreen:configfile="))
        QFile::remove(QString::fromUtf8(p.mid(21)));  // read when the application started
    geoid::register_resources();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
