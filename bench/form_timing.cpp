// The file form on a large coordinate file, as a user runs it: "Berechnen" pressed, then the
// time until the closing box appears (the progress dialog comes and goes meanwhile).
// Usage: form_timing MODEL INPUT OUTPUT IN_FORMAT OUT_FORMAT   (offscreen platform)
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/fields.h"
#include "app/ids.h"
#include "app/koordinaten.h"
#include "app/shell.h"
#include "toolkit/toolkit.h"
#include "toolkit/toolkit_testing.h"

int main(int argc, char** argv)
{
    if (argc != 6) {
        std::fprintf(stderr, "usage: form_timing MODEL INPUT OUTPUT IN_FORMAT OUT_FORMAT\n");
        return 2;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    geoid::register_resources();
    geoid::Application application;
    geoid::startup(application);
    geoid::Koordinaten& k = application.koordinaten;
    const geoid::Windows& w = application.windows;
    k.job.model_file = argv[1];
    k.job.input_file = argv[2];
    k.job.output_file = argv[3];
    geoid::fenster(application, geoid::FormMode::File);
    qobject_cast<QComboBox*>(toolkit::testing::field_widget(geoid::kListInFormat))->setCurrentIndex(std::atoi(argv[4]) - 1);
    qobject_cast<QComboBox*>(toolkit::testing::field_widget(geoid::kListOutFormat))->setCurrentIndex(std::atoi(argv[5]) - 1);

    QElapsedTimer clock;
    double seconds = -1;
    QTimer press;
    press.setSingleShot(true);
    QObject::connect(&press, &QTimer::timeout, [&] {
        clock.start();
        toolkit::testing::post({toolkit::EventKind::PushButton, w.file_window, geoid::kButtonComputeFile, 0});
    });
    press.start(0);
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) return;
        seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        std::printf("%s\n", box->text().toStdString().c_str());
        box->close();
        watch.stop();
        toolkit::testing::post({toolkit::EventKind::MenuSelect, w.file_window, geoid::kItemQuit, 0});
    });
    watch.start(1);
    geoid::event_loop(application);
    geoid::shutdown(application);
    std::printf("pressed to closing box: %.3f s\n", seconds);
    return seconds < 0 ? 1 : 0;
}
