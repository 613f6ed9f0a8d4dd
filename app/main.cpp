// geoid: the desktop program, or with options one file computation on the command line
// without any window. Sets the names, loads the German texts of Qt's own dialogs and runs the
// shell or the command line.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

#include "app/cli.h"
#include "app/shell.h"
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
    // With options: no window, so no display is needed.
    const bool command_line = geoid::wants_command_line(argc, argv);
    std::unique_ptr<QCoreApplication> app =
        command_line ? std::make_unique<QCoreApplication>(argc, argv) : std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("geoid"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kGeoidVersion));
    QTranslator qt_de;
    german_texts(qt_de);
    if (command_line) return geoid::run_command_line();
    geoid::register_resources();
    geoid::run();
    return 0;
}
