// geoid: the desktop program, or with options one file computation on the command line
// without any window. The window: sets the names, loads the German texts of Qt's own dialogs
// and runs the shell.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/shell.h"
#include "filecalc/command_line.h"
#include "version.h"

namespace {

void german_texts(QTranslator& qt_de)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    if (qt_de.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qt_de);
}

}  // namespace

int main(int argc, char** argv)
{
    // With options: one file computation, without a window, a display or the toolkit.
    if (argc > 1) return filecalc::run_command_line(argc, argv, kGeoidVersion);
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("geoid"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kGeoidVersion));
    QTranslator qt_de;
    german_texts(qt_de);
    geoid::register_resources();
    geoid::run();
    return 0;
}
