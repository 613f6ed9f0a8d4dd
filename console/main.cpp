// varnik: normal heights from ellipsoidal heights (or back) for a whole point file, after a
// short dialogue on the terminal. Takes no arguments but --help and --version.
#include <cstdio>
#include <cstring>

#include "console/varnik.h"
#include "version.h"

namespace {

const char* const kHelp =
    "Aufruf: varnik [--help | --version]\n"
    "\n"
    "Berechnet fuer die Punkte einer Punktdatei (B, L in Dezimalgrad im ETRS89, wahlweise mit\n"
    "einer Hoehe) die Hoehenanomalie N aus einem Quasigeoidmodell und rechnet die Hoehe um:\n"
    "ellipsoidische Hoehe h in Normalhoehe H = h - N oder Normalhoehe H in h = H + N.\n"
    "Ohne Argumente fragt das Programm am Terminal nach Modelldatei, Punktdatei, Art der\n"
    "Hoehen und Ausgabedatei. Fehlermeldungen stehen in varnik.err im aktuellen Verzeichnis.\n"
    "\n"
    "  -h, --help      diese Hilfe zeigen\n"
    "  -v, --version   die Version zeigen\n"
    "\n"
    "Beendigungsstatus: 0 nach einem normalen Lauf, 1 nach \"Programmabbruch!\",\n"
    "2 bei falschem Aufruf. Mehr in der Handbuchseite varnik(1).\n";

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (argc == 2 && (std::strcmp(argv[1], "--version") == 0 || std::strcmp(argv[1], "-v") == 0)) {
        std::printf("varnik %s\n", kGeoidVersion);
        return 0;
    }
    if (argc > 1) {
        std::fprintf(stderr, "varnik: unbekanntes Argument \"%s\"; varnik --help zeigt den Aufruf.\n", argv[1]);
        return 2;
    }
    return run_varnik(stdin, stdout);
}
