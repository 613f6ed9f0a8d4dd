// The desktop program with its real widgets, headless (offscreen platform).

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "checks.h"
#include "gui_support.h"
#include "ids.h"
#include "koordinaten.h"
#include "model_builder.h"
#include "model_selection.h"
#include "shell.h"
#include "toolkit.h"
#include "viewer_text.h"

using testing_support::TempDir;
using testing_support::write_text;

namespace {

geoid::Koordinaten& k()
{
    return geoid::koordinaten;
}

QString status_text(int handle)
{
    auto* w = qobject_cast<QMainWindow*>(toolkit::window_widget(handle));
    if (w == nullptr) return QStringLiteral("<no window>");
    auto* label = w->statusBar()->findChild<QLabel*>();
    return label != nullptr ? label->text() : QStringLiteral("<no status>");
}

// The window holding the menu: whichever main window is open.
int main_window()
{
    return k().point_window != 0 ? k().point_window : k().file_window != 0 ? k().file_window : k().start_window;
}

bool item_enabled(int handle, const char* text)
{
    QAction* a = gui::menu_action(toolkit::window_widget(handle), QString::fromUtf8(text));
    return a != nullptr && a->isEnabled();
}

void trigger(const char* text)
{
    QAction* a = gui::menu_action(toolkit::window_widget(main_window()), QString::fromUtf8(text));
    ASSERT_NE(a, nullptr) << text;
    a->trigger();
}

QString label_text(QWidget* modal, int id)
{
    auto* l = modal->findChild<QLabel*>(QStringLiteral("id%1").arg(id));
    return l != nullptr ? l->text() : QStringLiteral("<no field>");
}

class Geoid : public ::testing::Test {
protected:
    void SetUp() override
    {
        k() = geoid::Koordinaten{};
        old_cwd_ = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(dir.path()));
        geoid::startup();
    }
    void TearDown() override
    {
        geoid::shutdown();
        QDir::setCurrent(old_cwd_);
    }

    // Runs the real event loop with the steps, then "Beenden"; a watchdog ends a stuck run.
    // Returns false if the watchdog had to end it.
    bool run_loop(std::deque<std::function<void()>> steps, bool quit_at_end = true)
    {
        if (quit_at_end) steps.push_back([] { toolkit::post({toolkit::EventKind::MenuSelect, main_window(), geoid::kItemQuit, 0}); });
        gui::Steps s(std::move(steps));
        bool rescued = false;
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            rescued = true;
            if (QWidget* m = QApplication::activeModalWidget()) m->close();
            toolkit::post({toolkit::EventKind::MenuSelect, main_window(), geoid::kItemQuit, 0});
        });
        watchdog.start(15000);
        geoid::event_loop();
        return !rescued && s.done();
    }

    std::string sample_copy(const std::string& name = "model.bin")
    {
        const std::string path = dir.file(name);
        testing_support::write_bytes(path, testing_support::read_bytes(SAMPLE_MODEL));
        return path;
    }

    TempDir dir;

private:
    QString old_cwd_;
};

}  // namespace

// ---- start-up and the menu ----------------------------------------------------------------------

TEST_F(Geoid, StartWindowWithTheTwoFormCommandsDisabled)
{
    QWidget* w = toolkit::window_widget(k().start_window);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("Quasigeoidh\xC3\xB6henberechnung"));
    EXPECT_FALSE(item_enabled(k().start_window, "Interaktive Eingabe"));
    EXPECT_FALSE(item_enabled(k().start_window, "Dateieingabe"));
    for (const char* item : {"Quasigeoidmodell", "Hilfe", "Info", "Beenden"})
        EXPECT_TRUE(item_enabled(k().start_window, item)) << item;
    const QStringList order = [&] {
        QStringList l;
        for (QAction* a : qobject_cast<QMainWindow*>(w)->menuBar()->actions()) l << a->text();
        return l;
    }();
    EXPECT_EQ(order, (QStringList{"&Quasigeoidmodell", "&Interaktive Eingabe", "&Dateieingabe", "&Hilfe", "&Info",
                                  "&Beenden"}));
    EXPECT_EQ(status_text(k().start_window), "");
    EXPECT_EQ(k().point_window, 0);
    EXPECT_EQ(k().file_window, 0);
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
            EXPECT_EQ(k().point_window, 0);
            EXPECT_EQ(k().file_window, 0);
            trigger("Info");
        },
        [] { trigger("Hilfe"); },
        [] { EXPECT_NE(k().help_viewer, 0); },
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
                              EXPECT_EQ(k().model_file, model);
                              EXPECT_EQ(status_text(k().start_window), QString::fromStdString(model));
                              EXPECT_TRUE(item_enabled(k().start_window, "Interaktive Eingabe"));
                              EXPECT_TRUE(item_enabled(k().start_window, "Dateieingabe"));
                              trigger("Interaktive Eingabe");
                          },
                          [&] {
                              ASSERT_NE(k().point_window, 0);
                              EXPECT_EQ(status_text(k().point_window), QString::fromStdString(model));
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
        k().model_file = good;
        geoid::fenster("Inte");
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
        const int bells = toolkit::bell_count();
        gui::ModalAnswers answers(std::move(handlers));
        EXPECT_TRUE(run_loop({[] { trigger("Quasigeoidmodell"); },
                              [] {
                                  // Back to the start window without a model.
                                  EXPECT_EQ(k().point_window, 0);
                                  ASSERT_NE(k().start_window, 0);
                                  EXPECT_EQ(toolkit::window_widget(k().start_window)->windowTitle(),
                                            QStringLiteral("Quasigeoidberechnung"));
                                  EXPECT_FALSE(item_enabled(k().start_window, "Interaktive Eingabe"));
                                  EXPECT_FALSE(item_enabled(k().start_window, "Dateieingabe"));
                                  EXPECT_EQ(status_text(k().start_window), "");
                                  EXPECT_EQ(k().model_file, "");
                              }}));
        EXPECT_EQ(shown, QString::fromStdString(c.message));
        EXPECT_TRUE(answers.all_answered());
        EXPECT_GT(toolkit::bell_count(), bells);  // the error box sounds the warning
    }
}

TEST_F(Geoid, CancelWhileThePointFormIsOpenReturnsToTheStartWindow)
{
    k().model_file = sample_copy();
    geoid::fenster("Inte");
    toolkit::window_widget(k().point_window)->move(140, 90);
    gui::ModalAnswers answers({gui::cancel});
    EXPECT_TRUE(run_loop({[] { trigger("Quasigeoidmodell"); },
                          [] {
                              EXPECT_EQ(k().point_window, 0);
                              ASSERT_NE(k().start_window, 0);
                              EXPECT_EQ(toolkit::window_widget(k().start_window)->pos(), QPoint(140, 90));
                              EXPECT_FALSE(item_enabled(k().start_window, "Interaktive Eingabe"));
                              EXPECT_EQ(k().model_file, "");
                              EXPECT_EQ(status_text(k().start_window), "");
                          }}));
}

TEST_F(Geoid, NewValidModelKeepsTheOpenFormAndItsContents)
{
    k().model_file = sample_copy("first.bin");
    const std::string second = sample_copy("second.bin");
    geoid::fenster("Inte");
    const int form = k().point_window;
    toolkit::wdialogputstring(1029, "52.5");
    gui::ModalAnswers answers({[&](QWidget* m) { gui::choose_file(m, second); }});
    EXPECT_TRUE(run_loop({[] { trigger("Quasigeoidmodell"); },
                          [&] {
                              EXPECT_EQ(k().point_window, form);
                              EXPECT_EQ(status_text(form), QString::fromStdString(second));
                              toolkit::wdialogselect(geoid::kPointDialog);
                              std::string text;
                              toolkit::wdialoggetstring(1029, text);
                              EXPECT_EQ(text, "52.5");
                          }}));
}

TEST_F(Geoid, LongPathsAreNotCut)
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
                              EXPECT_EQ(k().model_file, model);
                              EXPECT_EQ(status_text(k().start_window), QString::fromStdString(model));
                          }}));
}

// ---- information and help -------------------------------------------------------------------------

TEST_F(Geoid, InformationDialogShowsItsEightLines)
{
    k().model_file = "/x/model.bin";
    toolkit::windowoutstatusbar(1, k().model_file);
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
    EXPECT_EQ(status_text(k().start_window), QStringLiteral("/x/model.bin"));
    EXPECT_FALSE(item_enabled(k().start_window, "Interaktive Eingabe"));
}

TEST_F(Geoid, HelpShowsGeoidReadmeOfTheWorkingDirectory)
{
    write_text(dir.file("geoid.readme"), "Hilfe zur H\xC3\xB6he   \r\n\r\n  eingerückt\nletzte Zeile");
    geoid::show_help();
    ASSERT_NE(k().help_viewer, 0);
    QWidget* v = toolkit::window_widget(k().help_viewer);
    EXPECT_EQ(v->windowTitle(), QStringLiteral("Hilfe"));
    EXPECT_EQ(v->pos(), QPoint(0, 0));  // first opening: top-left corner
    auto* text = v->findChild<QPlainTextEdit*>(QStringLiteral("id1056"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->toPlainText(), QString::fromUtf8("Hilfe zur H\xC3\xB6he\n\n  eingerückt\nletzte Zeile\n"));
    EXPECT_TRUE(text->isReadOnly());
}

TEST_F(Geoid, HelpWithoutGeoidReadmeCreatesItAndShowsItEmpty)
{
    geoid::show_help();
    ASSERT_NE(k().help_viewer, 0);
    EXPECT_TRUE(testing_support::file_exists(dir.file("geoid.readme")));
    auto* text = toolkit::window_widget(k().help_viewer)->findChild<QPlainTextEdit*>(QStringLiteral("id1056"));
    EXPECT_EQ(text->toPlainText(), "");
}

TEST_F(Geoid, UnreadableHelpShowsTheOpenMessageAndChangesNothing)
{
    mkdir(dir.file("geoid.readme").c_str(), 0755);  // exists, cannot be read as a file
    QString shown;
    gui::ModalAnswers answers({[&](QWidget* m) {
        shown = label_text(m, 1006);
        gui::press(m, QStringLiteral("id1"));
    }});
    geoid::show_help();
    EXPECT_EQ(k().help_viewer, 0);
    EXPECT_EQ(shown, QString::fromUtf8("Fehler beim \xC3\x96" "ffnen der Datei: geoid.readme"));
}

// ---- windows ----------------------------------------------------------------------------------------

TEST_F(Geoid, FormsReplaceEachOtherAtOnePlace)
{
    const QPoint centred = toolkit::window_widget(k().start_window)->pos();
    geoid::fenster("Inte");
    EXPECT_EQ(k().start_window, 0);
    QWidget* point = toolkit::window_widget(k().point_window);
    EXPECT_EQ(point->pos(), centred);  // the first form takes the place of the centred start window
    EXPECT_EQ(point->windowTitle(), QStringLiteral("Quasigeoidberechnung Interaktive Eingabe - Koordinaten im ETRS89"));
    point->move(210, 130);
    geoid::fenster("Date");
    EXPECT_EQ(k().point_window, 0);
    QWidget* file = toolkit::window_widget(k().file_window);
    EXPECT_EQ(file->pos(), QPoint(210, 130));
    EXPECT_EQ(file->windowTitle(), QStringLiteral("Quasigeoidberechnung Dateieingabe"));
    toolkit::wdialogselect(geoid::kFileDialog);
    EXPECT_FALSE(toolkit::field_widget(1061)->isEnabled());
    EXPECT_FALSE(toolkit::field_widget(1062)->isEnabled());
    EXPECT_EQ(file->focusWidget(), toolkit::field_widget(1065));

    // The point form opened again while open: an empty one at the same place.
    geoid::fenster("Inte");
    toolkit::wdialogputstring(1029, "50.0");
    geoid::fenster("Inte");
    EXPECT_EQ(toolkit::window_widget(k().point_window)->pos(), QPoint(210, 130));
    std::string text = "x";
    toolkit::wdialoggetstring(1029, text);
    EXPECT_EQ(text, "");
    EXPECT_EQ(toolkit::window_widget(k().point_window)->focusWidget(), toolkit::field_widget(1029));

    geoid::fenster("xxxx");  // any other code closes the form and opens none
    EXPECT_EQ(k().point_window, 0);
    EXPECT_EQ(k().start_window, 0);
}

TEST_F(Geoid, PointFormOpensWithDecimalDegreesSelected)
{
    geoid::fenster("Inte");
    int index = 0;
    toolkit::wdialoggetradiobutton(1001, index);
    EXPECT_EQ(index, 2);
    for (const int f : {1029, 1014, 1015}) EXPECT_TRUE(toolkit::field_widget(f)->isEnabled()) << f;
    for (const int f : {1007, 1004, 1005, 1058, 1035, 1037, 1038, 1057, 1030, 1013, 1036, 1031, 1026, 1028, 1027,
                        1074, 1075, 1060, 1043, 1044})
        EXPECT_FALSE(toolkit::field_widget(f)->isEnabled()) << f;
    std::string sign;
    toolkit::wdialoggetstring(1058, sign);
    EXPECT_EQ(sign, "+");
    toolkit::wdialoggetstring(1057, sign);
    EXPECT_EQ(sign, "+");
    auto* b = qobject_cast<QLineEdit*>(toolkit::field_widget(1029));
    EXPECT_EQ(b->maxLength(), 13);
    EXPECT_TRUE(b->alignment() & Qt::AlignRight);
    EXPECT_EQ(qobject_cast<QLineEdit*>(toolkit::field_widget(1030))->maxLength(), 3);
    auto* go = qobject_cast<QPushButton*>(toolkit::field_widget(1055));
    ASSERT_NE(go, nullptr);
    EXPECT_EQ(go->text(), QStringLiteral("Berechnen"));
    EXPECT_TRUE(go->isDefault());
}

TEST_F(Geoid, ClosingAViewerKeepsTheProgramClosingAFormEndsIt)
{
    k().model_file = sample_copy();
    geoid::fenster("Inte");
    write_text(dir.file("geoid.readme"), "Hilfe\n");
    const bool clean = run_loop({[] { trigger("Hilfe"); },
                                 [] {
                                     ASSERT_NE(k().help_viewer, 0);
                                     toolkit::window_widget(k().help_viewer)->close();  // its close box
                                 },
                                 [] {
                                     EXPECT_EQ(k().help_viewer, 0);
                                     ASSERT_NE(k().point_window, 0);
                                     toolkit::window_widget(k().point_window)->close();
                                 }},
                                /*quit_at_end=*/false);
    EXPECT_TRUE(clean);  // the loop ended through the form's close box
}

TEST_F(Geoid, ViewerReopensAtItsMovedPosition)
{
    write_text(dir.file("geoid.readme"), "Hilfe\n");
    EXPECT_TRUE(run_loop({[] { trigger("Hilfe"); },
                          [] {
                              QWidget* v = toolkit::window_widget(k().help_viewer);
                              EXPECT_EQ(v->pos(), QPoint(0, 0));
                              v->move(333, 222);
                              v->close();
                          },
                          [] {
                              EXPECT_EQ(k().help_viewer, 0);
                              trigger("Hilfe");
                          },
                          [] {
                              EXPECT_EQ(toolkit::window_widget(k().help_viewer)->pos(), QPoint(333, 222));
                              toolkit::window_widget(k().help_viewer)->move(50, 60);
                              trigger("Hilfe");  // opened again while open: same place
                          },
                          [] { EXPECT_EQ(toolkit::window_widget(k().help_viewer)->pos(), QPoint(50, 60)); }}));
}

// ---- field checks ---------------------------------------------------------------------------------

TEST_F(Geoid, FieldChecksOfThePointForm)
{
    geoid::fenster("Inte");
    QWidget* form = toolkit::window_widget(k().point_window);
    const struct {
        int field;
        const char* text;
        bool ok;
    } cases[] = {
        {1029, "47.23", true},   {1029, "55.98", true},    {1029, "47.229", false}, {1029, "55.981", false},
        {1029, "", false},       {1029, "   ", false},    {1029, "52,5", true},    {1029, " 52.5  ", true},
        {1029, "abc", false},    {1029, "5 2", false},    {1029, "5.25D1", true},  {1029, "nan", false},
        {1029, ",52", false},    {1029, "52/", true},     {1014, "3.26", true},    {1014, "15.121", false},
        {1007, "0", true},       {1007, "-7000000", true}, {1007, "7000000", true}, {1007, "7000000.001", false},
        {1004, "1e999", false},  {1015, "-999", true},    {1015, "9999", true},    {1015, "10000", false},
        {1031, "-999.001", false}, {1058, "+", true},     {1058, "-", true},       {1058, " ", false},
        {1058, "", false},       {1058, "x", false},      {1035, "-", false},      {1035, "5 2", false},
        {1035, "", false},       {1030, " 9 ", true},     {1035, "47", true},      {1035, "56", false},
        {1030, "9.0", false},    {1030, "5 2", false},   {1037, "+", true},       {1037, "60", true},      {1037, "61", false},
        {1038, "60", true},      {1038, "60.0001", false}, {1038, "-0.1", false},  {1030, "3", true},
        {1030, "16", false},     {1013, "0", true},       {1036, "59.99999", true}, {1026, "-99999999", true},
        {1026, "100000000", false}, {1028, "1200000", true}, {1028, "-1", false},  {1074, "5761038.212", true},
        {1075, "0", true},       {1075, "1200000.5", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.field) + " \"" + c.text + "\"");
        QWidget* f = toolkit::field_widget(c.field);
        ASSERT_NE(f, nullptr);
        f->setEnabled(true);
        toolkit::wdialogputstring(c.field, c.text);
        form->setFocus();
        k().field_error = 0;
        const int bells = toolkit::bell_count();
        geoid::check_field(c.field);
        EXPECT_EQ(k().field_error, c.ok ? 0 : 1);
        EXPECT_EQ(toolkit::bell_count() - bells, c.ok ? 0 : 1);
        if (!c.ok) {
            EXPECT_EQ(form->focusWidget(), f);
        }
    }
    // Stored values.
    toolkit::wdialogputstring(1029, "52,5");
    geoid::check_field(1029);
    EXPECT_EQ(k().point.ell_b, 52.0);
    toolkit::wdialogputstring(1037, "+");
    geoid::check_field(1037);
    EXPECT_EQ(k().point.b_min, 0);
    toolkit::wdialogputstring(1058, "-");
    geoid::check_field(1058);
    EXPECT_EQ(k().point.b_sign, '-');
    toolkit::wdialogputstring(1026, "5761038.212");
    geoid::check_field(1026);
    EXPECT_EQ(k().point.utm_north[0], 5761038.212);
    // A field without a check leaves the flag as it was.
    k().field_error = 1;
    geoid::check_field(1043);
    EXPECT_EQ(k().field_error, 1);
}

TEST_F(Geoid, NumbersAreWrittenIntoFieldsByFormat)
{
    geoid::fenster("Inte");
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
    geoid::fenster("Inte");
    QString title, text;
    gui::ModalAnswers answers({[&](QWidget* m) {
        title = m->windowTitle();
        if (auto* box = qobject_cast<QMessageBox*>(m)) text = box->text();
        m->close();
    }});
    const int bells = toolkit::bell_count();
    geoid::write_message(geoid::kPointDialog, "Anzahl gelesener Punkte: 3   ");
    EXPECT_EQ(title, QStringLiteral("Berechnung beendet"));
    EXPECT_EQ(text, QStringLiteral("Anzahl gelesener Punkte: 3"));
    EXPECT_EQ(toolkit::bell_count(), bells + 1);
    EXPECT_EQ(toolkit::current_dialog(), geoid::kPointDialog);
}

// ---- toolkit texts --------------------------------------------------------------------------------

TEST(ToolkitTexts, StringToInteger)
{
    const struct {
        const char* text;
        int value;
        bool error;
    } cases[] = {{"  12 ", 12, false}, {"-7", -7, false}, {"+", 0, false}, {"-", 0, false},
                 {"", 0, true},       {"   ", 0, true},  {"1 2", 0, true}, {"12345678901", 0, true},
                 {"2147483647", 2147483647, false}, {"2147483648", 0, true}, {"0000000042", 42, false},
                 {"4a", 0, true},     {"1.0", 0, true},  {"+-1", 0, true}};
    for (const auto& c : cases) {
        int v = -99;
        toolkit::istringtointeger(c.text, v);
        EXPECT_EQ(v, c.value) << c.text;
        EXPECT_EQ(toolkit::infoerror(1) != 0, c.error) << c.text;
    }
}

TEST(ToolkitTexts, LengthsAndIntegerFormat)
{
    EXPECT_EQ(toolkit::iactuallength(std::string_view("ab \0  ", 6)), 2);
    EXPECT_EQ(toolkit::iactuallength("   "), 0);
    EXPECT_EQ(toolkit::ilocatechar(std::string_view(" \0x", 3)), 3);
    EXPECT_EQ(toolkit::ilocatechar(""), 0);
    std::string s;
    toolkit::integertostring(-5, s, "(i3)");
    EXPECT_EQ(s, " -5");
    toolkit::integertostring(-50, s, "(i2)");
    EXPECT_EQ(s, "**");
}

// ---- viewer texts ---------------------------------------------------------------------------------

TEST(ViewerText, LinesWithoutTrailingBlanksAndWithCrLf)
{
    TempDir dir;
    write_text(dir.file("a.txt"), "erste   \n\n  zweite\r\n   \nletzte");
    const geoid::ViewerText t = geoid::read_viewer_text(dir.file("a.txt"));
    EXPECT_EQ(t.status, geoid::ViewerRead::Ok);
    EXPECT_EQ(t.text, "erste\r\n\r\n  zweite\r\n\r\nletzte\r\n");
}

TEST(ViewerText, Windows1252AndUtf8AreBothShownCorrectly)
{
    TempDir dir;
    write_text(dir.file("latin.txt"), "H\xF6he \x80 5\n\xC4rger\n");
    EXPECT_EQ(geoid::read_viewer_text(dir.file("latin.txt")).text, "H\xC3\xB6he \xE2\x82\xAC 5\r\n\xC3\x84rger\r\n");
    write_text(dir.file("utf8.txt"), "H\xC3\xB6he \xE2\x82\xAC 5\n");
    EXPECT_EQ(geoid::read_viewer_text(dir.file("utf8.txt")).text, "H\xC3\xB6he \xE2\x82\xAC 5\r\n");
    // One Latin-1 byte anywhere makes the whole file Windows-1252.
    write_text(dir.file("mixed.txt"), "\xC3\xA4\n\xE4\n");
    EXPECT_EQ(geoid::read_viewer_text(dir.file("mixed.txt")).text, "\xC3\x83\xC2\xA4\r\n\xC3\xA4\r\n");
}

TEST(ViewerText, MissingFileIsCreatedEmptyAndDirectoriesCannotBeOpened)
{
    TempDir dir;
    const geoid::ViewerText t = geoid::read_viewer_text(dir.file("neu.txt"));
    EXPECT_EQ(t.status, geoid::ViewerRead::Ok);
    EXPECT_EQ(t.text, "");
    EXPECT_TRUE(testing_support::file_exists(dir.file("neu.txt")));
    EXPECT_EQ(geoid::read_viewer_text(dir.path()).status, geoid::ViewerRead::OpenFailed);
    EXPECT_EQ(geoid::read_viewer_text(dir.file("nodir/x.txt")).status, geoid::ViewerRead::OpenFailed);
}

TEST(ViewerText, LongTextIsCutAtTheViewersLimit)
{
    TempDir dir;
    // 1000 lines of 98 characters + CR LF = 100 characters each: the 656th line reaches the
    // limit of 65534 characters and is cut there; no further line is read.
    std::string text;
    for (int k = 0; k < 1000; ++k) text += std::string(97, static_cast<char>('a' + k % 26)) + "Z\n";
    write_text(dir.file("long.txt"), text);
    const geoid::ViewerText t = geoid::read_viewer_text(dir.file("long.txt"));
    ASSERT_EQ(t.text.size(), geoid::kViewerChars);
    EXPECT_EQ(t.text.substr(0, 100), std::string(97, 'a') + "Z\r\n");
    EXPECT_EQ(t.text.substr(65500, 34), std::string(34, static_cast<char>('a' + 655 % 26)));
    // A line longer than the whole text is cut too.
    write_text(dir.file("one.txt"), std::string(70000, 'x') + "\nmehr\n");
    EXPECT_EQ(geoid::read_viewer_text(dir.file("one.txt")).text, std::string(geoid::kViewerChars, 'x'));
}

int main(int argc, char** argv)
{
    // Before the QApplication: test discovery runs this binary at build time without the
    // environment of the test properties.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    geoid::register_resources();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
