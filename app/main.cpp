// geoid: the desktop program. Sets the names, loads the German texts of Qt's own dialogs,
// registers the resources and runs the shell.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "shell.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("geoid"));
    QApplication::setApplicationVersion(QStringLiteral("1.05"));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QTranslator qt_de;
    if (qt_de.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qt_de);
    geoid::register_resources();
    geoid::run();
    return 0;
}
