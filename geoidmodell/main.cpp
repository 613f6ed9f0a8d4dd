// geoidmodell: model files to and from GTX, GeoTIFF, ISG, BYN (and whatever else GDAL reads),
// their description and their picture.
#include <cstdio>
#include <string>
#include <vector>

#include "geoidmodell/modelltool.h"
#include "geoidmodell/output.h"
#include "version.h"
#include "messages/geoidmodell.h"
#include "messages/messages.h"
#include "textio/textio.h"

namespace {

namespace text = messages::geoidmodell;

int usage(const std::string& reason)
{
    std::fprintf(stderr, "%s\n", messages::fill(text::kUsage, {reason}).c_str());
    return 2;
}

bool ends_with(const std::string& s, const std::string& tail)
{
    if (s.size() < tail.size()) return false;
    for (std::size_t k = 0; k < tail.size(); ++k)
        if (std::tolower(static_cast<unsigned char>(s[s.size() - tail.size() + k])) != tail[k]) return false;
    return true;
}

int report(const modelltool::Result& r)
{
    if (r.ok) return 0;
    std::fprintf(stderr, "%s\n", r.message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    modelltool::remove_output_on_signals();
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "-h" || args[0] == "--help")) {
        std::fputs(text::kHelp, stdout);
        return 0;
    }
    if (args.size() == 1 && (args[0] == "-v" || args[0] == "--version")) {
        std::printf("geoidmodell %s\n", kGeoidVersion);
        return 0;
    }
    if (!args.empty() && args[0] == "--info") {
        if (args.size() != 2) return usage(text::kInfoUsage);
        std::string text;
        const modelltool::Result r = modelltool::describe(args[1], text);
        std::fputs(text.c_str(), stdout);
        return report(r);
    }
    if (!args.empty() && args[0] == "--karte") {
        if (args.size() == 3) return report(modelltool::draw_map(args[1], args[2], ""));
        if (args.size() == 5 && args[3] == "--punkte") return report(modelltool::draw_map(args[1], args[2], args[4]));
        return usage(text::kMapUsage);
    }
    // The options of a text grid, then the two files.
    modelltool::TextGridOptions grid;
    bool text_grid = false;
    std::vector<std::string> files;
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string& a = args[k];
        if (a == "--kein-wert" || a == "--reihenfolge") {
            if (k + 1 == args.size()) return usage(messages::fill(text::kMissingValue, {a}));
            const std::string& v = args[++k];
            text_grid = true;
            const std::string order = textio::ascii_lower(v);
            if (a == "--reihenfolge" && (order == "lbn" || order == "bln")) grid.longitude_first = order == "lbn";
            else if (a == "--kein-wert" && textio::parse_number(v, grid.no_data)) continue;
            else return usage(messages::fill(text::kBadValue, {a, v}));
            continue;
        }
        if (a.size() > 1 && a[0] == '-') return usage(messages::fill(text::kUnknownOption, {a}));
        files.push_back(a);
    }
    if (files.size() != 2) return usage(text::kTwoFiles);
    if (ends_with(files[1], ".bin")) return report(modelltool::import_grid(files[0], files[1], grid, text_grid));
    if (text_grid) return usage(text::kTextGridOptions);
    if (ends_with(files[1], ".gtx") || ends_with(files[1], ".tif") || ends_with(files[1], ".tiff"))
        return report(modelltool::export_grid(files[0], files[1]));
    return usage(text::kOutputEnding);
}
