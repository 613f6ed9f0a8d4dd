// geoidmodell: model files to and from GTX, GeoTIFF, ISG, BYN (and whatever else GDAL reads),
// their description and their picture.
#include <cstdio>
#include <string>
#include <vector>

#include "geoidmodell/modelltool.h"
#include "geoidmodell/output.h"
#include "version.h"

namespace {

const char* const kHelp =
    "Aufruf: geoidmodell EINGABE AUSGABE.bin          Gitter (GTX, GeoTIFF, ISG, BYN, ...) in eine Modelldatei\n"
    "        geoidmodell MODELL.bin AUSGABE.gtx|.tif  Modelldatei in GTX oder GeoTIFF (float32)\n"
    "        geoidmodell --info MODELL                Beschreibung einer Modelldatei\n"
    "        geoidmodell --karte MODELL BILD.png [--punkte DATEI]\n"
    "                                                 Farbbild des Modells, wahlweise mit den Punkten\n"
    "                                                 einer Punktdatei (B L je Zeile)\n"
    "        geoidmodell -h | --help | -v | --version\n"
    "\n"
    "Beim Einlesen werden die Gitterpunkte von Nord nach S\xC3\xBC" "d und von West nach Ost in 0,1 mm\n"
    "geschrieben, Gitterpunkte ohne Wert (No-Data) als \"kein Wert\". Das Gitter muss in\n"
    "geografischen Koordinaten (Grad) vorliegen, nicht gedreht sein und Grenzen und Gitterweiten\n"
    "in ganzen Mikrobogensekunden haben.\n"
    "\n"
    "Beendigungsstatus: 0 bei Erfolg, 1 bei einem Fehler (keine Ausgabedatei bleibt zur\xC3\xBC" "ck),\n"
    "2 bei falschem Aufruf.\n";

int usage(const std::string& reason)
{
    std::fprintf(stderr, "geoidmodell: %s; geoidmodell --help zeigt den Aufruf.\n", reason.c_str());
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
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (args.size() == 1 && (args[0] == "-v" || args[0] == "--version")) {
        std::printf("geoidmodell %s\n", kGeoidVersion);
        return 0;
    }
    if (!args.empty() && args[0] == "--info") {
        if (args.size() != 2) return usage("--info erwartet genau eine Modelldatei");
        std::string text;
        const modelltool::Result r = modelltool::describe(args[1], text);
        std::fputs(text.c_str(), stdout);
        return report(r);
    }
    if (!args.empty() && args[0] == "--karte") {
        if (args.size() == 3) return report(modelltool::draw_map(args[1], args[2], ""));
        if (args.size() == 5 && args[3] == "--punkte") return report(modelltool::draw_map(args[1], args[2], args[4]));
        return usage("--karte erwartet MODELL BILD.png [--punkte DATEI]");
    }
    for (const std::string& a : args)
        if (a.size() > 1 && a[0] == '-') return usage("unbekannte Option \"" + a + "\"");
    if (args.size() != 2) return usage("erwartet werden EINGABE und AUSGABE");
    if (ends_with(args[1], ".bin")) return report(modelltool::import_grid(args[0], args[1]));
    if (ends_with(args[1], ".gtx") || ends_with(args[1], ".tif") || ends_with(args[1], ".tiff"))
        return report(modelltool::export_grid(args[0], args[1]));
    return usage("die Ausgabedatei muss auf .bin, .gtx oder .tif enden");
}
