#include "app/places.h"

#include "messages/geoid.h"
#include "textio/files.h"
#include "textio/viewer.h"

extern const char builtin_help[];
extern const std::size_t builtin_help_size;

namespace geoid {

namespace {

constexpr const char* kHelpFile = "geoid.readme";
// A sample every installation and build tree holds beside the others.
constexpr const char* kSampleFile = "koordinaten-format-2-bl-dezimal.txt";

// `relative` ("../share/geoid", "daten") seen from `folder`, its ".." steps taken.
std::string joined(std::string folder, std::string_view relative)
{
    while (relative.starts_with("../")) {
        const std::size_t slash = folder.find_last_of("/\\");
        if (slash == std::string::npos || slash == 0) break;
        folder.erase(slash);
        relative.remove_prefix(3);
    }
    return relative.empty() ? folder : folder + "/" + std::string(relative);
}

}  // namespace

std::vector<std::string> data_folders()
{
    const std::string program = textio::program_folder();
    if (program.empty()) return {};
    return {program, joined(program, GEOID_DATA_FROM_BIN)};
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
        if (textio::output_target(folder + "/" + kSampleFile).kind == textio::OutputTarget::Kind::Regular) return folder;
    return {};
}

}  // namespace geoid
