// The texts of geoid on the command line: its usage, the description of each option, and
// the usage errors. The format lists of the help are made from the format table.
#pragma once

namespace messages::cli {

// "-" for a file: the names messages give standard input and output.
inline constexpr const char* kStandardInput = "(Standardeingabe)";
inline constexpr const char* kStandardOutput = "(Standardausgabe)";

// geoid without options in a build without the desktop program.
inline constexpr const char* kNoWindow =
    "geoid: das Fenster ist nicht Teil dieses Builds; geoid rechnet hier nur auf der Kommandozeile.";

// geoid.com alone on Windows when the window program beside it cannot be started.
inline constexpr const char* kWindowNotStarted = "geoid: das Fenster (%s) l\xC3\xA4sst sich nicht starten.";

inline constexpr const char* kUsage = "Aufruf: ";  // then the program as called
inline constexpr const char* kUsageOptions = " [Optionen]";
inline constexpr const char* kDescription =
    "Rechnet eine Koordinatendatei mit dem Quasigeoidmodell in eine Ergebnisdatei um:\n"
    "je Punkt die Koordinaten im Ausgabeformat, die ellipsoidische H\xC3\xB6he h, die\n"
    "Normalh\xC3\xB6he H = h - N und die H\xC3\xB6henanomalie N. Ohne Optionen \xC3\xB6" "ffnet geoid sein\n"
    "Fenster.";
inline constexpr const char* kInputFormats = "Eingabeformate (--eingabeformat):";
inline constexpr const char* kOutputFormats = "Ausgabeformate (--ausgabeformat):";
inline constexpr const char* kStreamsAndStatus =
    "\"-\" als DATEI: --eingabe - liest die Standardeingabe, --ausgabe - schreibt die Ergebnisse\n"
    "auf die Standardausgabe (die Abschlussmeldung steht dann auf der Standardfehlerausgabe).\n"
    "\n"
    "Beendigungsstatus: 0 nach vollst\xC3\xA4ndiger Rechnung, 1 nach einer Ablehnung oder einem\n"
    "Fehler (die Meldung steht auf der Standardfehlerausgabe), 2 bei falschem Aufruf, 3 nach\n"
    "vollst\xC3\xA4ndiger Rechnung, in der Punkte Fehler beim Lesen der Geoiddatei hatten.";
inline constexpr const char* kOptions = "Optionen:";

// What each option does, as the help lists it.
inline constexpr const char* kHelp = "Diese Hilfe zeigen.";
inline constexpr const char* kVersion = "Die Version zeigen.";
inline constexpr const char* kModel = "Die Modelldatei (Quasigeoidmodell).";
inline constexpr const char* kInput = "Die Koordinatendatei; - liest die Standardeingabe.";
inline constexpr const char* kOutput = "Die Ergebnisdatei; eine vorhandene wird ersetzt; - schreibt die Standardausgabe.";
inline constexpr const char* kInFormat = "Format der Koordinatendatei, 1 bis %d (Vorgabe 2).";
inline constexpr const char* kOutFormat = "Format der Ergebnisdatei, 1 bis %d (Vorgabe 2).";
inline constexpr const char* kPointNumber =
    "Jede Zeile beginnt mit einer Punktnummer, geschrieben mindestens L\xC3\x84NGE (1 bis %d) Zeichen breit.";
inline constexpr const char* kNormalHeights =
    "Die H\xC3\xB6hen der Koordinatendatei sind Normalh\xC3\xB6hen H; berechnet wird h = H + N (nicht mit Eingabeformat 1).";
inline constexpr const char* kZone =
    "Ostwerte (Formate %s) mit der Zonennummer vorn, in der Koordinatendatei und in der Ergebnisdatei: 32412345.678.";
inline constexpr const char* kSeparator =
    "Die Werte einer Zeile sind durch Semikolon oder Tabulator getrennt, Zahlen mit Dezimalkomma oder -punkt, ein Punkt je Zeile; "
    "leerzeichen: durch Leerzeichen oder Tabulatoren getrennt, das Komma ist immer ein Dezimalkomma.";
inline constexpr const char* kHeaderLines = "So viele Zeilen (0 bis %d) am Anfang der Koordinatendatei \xC3\xBC" "berspringen.";
inline constexpr const char* kRest = "Was in einer Zeile nach den gelesenen Werten steht, ans Ende der Ergebniszeile schreiben.";
inline constexpr const char* kTable =
    "Die Ergebnisdatei als Tabelle (CSV) f\xC3\xBCr Tabellenkalkulationen: Semikolon, Dezimalkomma, Kopfzeile, UTF-8, CR LF.";
inline constexpr const char* kInCrs =
    "Statt eines Eingabeformats ein Bezugssystem, das PROJ kennt (EPSG:31467, EPSG:25832, ein PROJ-Text): "
    "je Zeile Ostwert oder L\xC3\xA4nge, Nordwert oder Breite, h.";
inline constexpr const char* kOutCrs =
    "Statt eines Ausgabeformats ein Bezugssystem, das PROJ kennt; Meter mit 3, Grad mit 8 Nachkommastellen.";
inline constexpr const char* kCrsValue = "CODE";
inline constexpr const char* kSeparatorValue = "semikolon|tab|leerzeichen";
inline constexpr const char* kCountValue = "ANZAHL";
inline constexpr const char* kModelValue = "MODELL";
inline constexpr const char* kFileValue = "DATEI";
inline constexpr const char* kLengthValue = "L\xC3\x84NGE";

// Usage errors: "geoid: <reason>; geoid --help zeigt den Aufruf."
inline constexpr const char* kErrorBefore = "geoid: ";
inline constexpr const char* kErrorAfter = "; geoid --help zeigt den Aufruf.";
inline constexpr const char* kUnknownOption = "unbekannte Option \"%s\"";
inline constexpr const char* kValueProblem = "einer Option fehlt ihr Wert (%s)";
inline constexpr const char* kMissingValue = "Nach '%s' fehlt der Wert.";
inline constexpr const char* kUnexpectedValue = "Wert unerwartet nach '%s'.";
inline constexpr const char* kUnexpected = "unerwartetes Argument \"%s\"";
inline constexpr const char* kOptionMissing = "die Option %s fehlt";
inline constexpr const char* kCrsAndFormat = "%s und %s schlie\xC3\x9F" "en einander aus";
inline constexpr const char* kBadSeparator = "--trennzeichen muss semikolon, tab oder leerzeichen sein, nicht \"%s\"";
inline constexpr const char* kOutOfRange = "%s muss %d bis %d sein, nicht \"%s\"";

}  // namespace messages::cli
