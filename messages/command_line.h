// The texts of geoid on the command line: its usage, the description of each option, and
// the usage errors. The format lists of the help are made from the format table.
#pragma once

namespace messages::cli {

// "-" for a file: the names messages give standard input and output.
inline constexpr const char* kStandardInput = "(Standardeingabe)";
inline constexpr const char* kStandardOutput = "(Standardausgabe)";

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
    "Jede Zeile beginnt mit einer Punktnummer, geschrieben mindestens L\xC3\x84NGE (1 bis 30) Zeichen breit.";
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
inline constexpr const char* kOutOfRange = "%s muss %d bis %d sein, nicht \"%s\"";

}  // namespace messages::cli
