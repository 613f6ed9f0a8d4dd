// Renders every window of the desktop program to PNG files (headless with the offscreen
// platform): start window, point form, file form, error box, information dialog, help viewer.
// Usage: geoid_screenshots OUTPUT_DIR [FONT [dunkel]]   (run where geoid.readme lies); FONT as
//        "Cantarell,11" draws every window in that font, "dunkel" with a dark palette.
//        QT_SCALE_FACTOR=1.5 shows them as at 150 %.
//        geoid_screenshots --menu-geometry   prints "TEXT X Y" for each menu command: its centre
//        relative to the window, for tests that click the real program.
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QDir>
#include <QFile>
#include <QPalette>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <functional>

#include "app/checks.h"
#include "app/file_form.h"
#include "app/fields.h"
#include "app/point_form.h"
#include "app/ids.h"
#include "app/koordinaten.h"
#include "app/model_selection.h"
#include "app/shell.h"
#include "toolkit/toolkit.h"
#include "toolkit/toolkit_testing.h"

namespace {

QString out_dir;

void save(QWidget* w, const char* name)
{
    QCoreApplication::processEvents();  // scroll bars and layouts settle first
    w->grab().save(out_dir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
    std::printf("%s/%s.png\n", qPrintable(out_dir), name);
}

// Grabs the next modal dialog once it is shown, then closes it.
void grab_modal(const char* name)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, name] {
        if (QWidget* m = QApplication::activeModalWidget(); m != nullptr && m->isVisible()) {
            timer->stop();
            timer->deleteLater();
            save(m, name);
            m->close();
        }
    });
    timer->start(20);
}

// The positions of the menu's items on the start window, for the end-to-end test's clicks.
int print_menu_geometry()
{
    geoid::register_resources();
    geoid::Application app;
    geoid::startup(app);
    auto* w = qobject_cast<QMainWindow*>(toolkit::testing::window_widget(app.windows.start_window));
    for (QAction* a : w->menuBar()->actions()) {
        const QPoint c = w->menuBar()->actionGeometry(a).center() + w->menuBar()->pos();
        std::printf("%s %d %d\n", qPrintable(a->text().remove(QLatin1Char('&')).replace(QLatin1Char(' '), QLatin1Char('_'))), c.x(), c.y());
    }
    geoid::shutdown(app);
    return 0;
}

// Each window and box of the program, as a user meets them.
void save_windows()
{
    geoid::register_resources();
    geoid::Application app;
    geoid::Koordinaten& k = app.koordinaten;
    geoid::Windows& w = app.windows;
    geoid::startup(app);
    save(toolkit::testing::window_widget(w.start_window), "start-window");

    k.job.model_file = "egm96-de-15min.bin";  // the tool runs in data/
    geoid::fenster(app, geoid::FormMode::Point);
    // A point typed in decimal degrees and computed: every system with N and H.
    toolkit::wdialogputstring(geoid::kFieldB, "52.5163");
    toolkit::wdialogputstring(geoid::kFieldL, "13.3777");
    toolkit::wdialogputstring(geoid::kFieldHeight, "80.412");
    geoid::point_form_button(k, w, geoid::kButtonComputePoint);
    save(toolkit::testing::window_widget(w.point_window), "point-form");

    // The file form after a computation of the sample points, with its closing box.
    geoid::fenster(app, geoid::FormMode::File);
    k.job.input_file = "points-ellipsoidal.txt";
    k.job.output_file = "ergebnis.txt";
    geoid::show_file_names(k);
    geoid::update_file_form(k);  // the preview of the sample points
    grab_modal("closing-box");
    geoid::file_form_button(app, geoid::kButtonComputeFile);
    QFile::remove(QString::fromStdString(k.job.output_file));
    save(toolkit::testing::window_widget(w.file_window), "file-form");

    grab_modal("error-box");
    geoid::write_errcode(-1, "Fehler beim \xC3\x96" "ffnen der Datei: /daten/vermessung/projekte/2026/los-17-bahnhofsvorplatz/modelle/quasigeoid_gcg2016_deutschland.bin");
    grab_modal("info-dialog");
    geoid::show_info();

    geoid::show_help(k, app.windows.help_viewer);
    if (w.help_viewer.handle != 0) save(toolkit::testing::window_widget(w.help_viewer.handle), "help-viewer");
    geoid::shutdown(app);
}

}  // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    // The pictures show the windows as on an office PC's 1024 x 768 screen.
    toolkit::testing::set_screen_area(QRect(0, 0, 1024, 768));
    out_dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    if (argc > 2) {
        QFont font;
        font.fromString(QString::fromLocal8Bit(argv[2]));
        QApplication::setFont(font);
    }
    if (argc > 3 && QByteArray(argv[3]) == "dunkel") QApplication::setPalette(toolkit::testing::dark_palette());
    if (out_dir == QStringLiteral("--menu-geometry")) return print_menu_geometry();
    QDir().mkpath(out_dir);
    save_windows();
    return 0;
}
