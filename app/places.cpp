#include "app/places.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "messages/geoid.h"
#include "textio/viewer.h"

extern const char builtin_help[];
extern const std::size_t builtin_help_size;

namespace geoid {

namespace {

constexpr const char* kHelpFile = "geoid.readme";
// A sample every installation and build tree holds beside the others.
constexpr const char* kSampleFile = "koordinaten-format-2-bl-dezimal.txt";

std::string utf8(const QString& s)
{
    return s.toStdString();
}

}  // namespace

std::vector<std::string> data_folders()
{
    const QDir program(QCoreApplication::applicationDirPath());
    return {utf8(program.absolutePath()), utf8(QDir::cleanPath(program.absoluteFilePath(QStringLiteral(GEOID_DATA_FROM_BIN))))};
}

std::string help_text(const std::string& start_help)
{
    std::vector<std::string> places;
    if (!start_help.empty()) places.push_back(start_help);
    for (const std::string& folder : data_folders()) places.push_back(folder + "/" + kHelpFile);
    for (const std::string& path : places) {
        // A file that is missing or cannot be read leaves the next place to try.
        const textio::ViewerText help = textio::read_viewer_text(path, messages::geoid::kViewerCut, textio::Missing::Report);
        if (help.status == textio::ViewerRead::Ok) return help.text;
    }
    return textio::viewer_text(std::string_view(builtin_help, builtin_help_size), messages::geoid::kViewerCut).text;
}

std::string sample_folder()
{
    for (const std::string& folder : data_folders())
        if (QFileInfo(QString::fromStdString(folder + "/" + kSampleFile)).isFile()) return folder;
    return {};
}

}  // namespace geoid
