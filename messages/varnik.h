// The texts of varnik, in its ASCII spelling ("ae", "oe", "ue"): the questions, what each
// height mode reads and writes, the terminal lines and the messages of its error file. A file
// name stands between " --- " marks; most messages end with a line asking for a new start.
#pragma once

namespace messages::varnik {

inline constexpr const char* kErrorFile = "varnik.err";

// Its arguments.
inline constexpr const char* kHelp =
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
inline constexpr const char* kUnknownArgument = "varnik: unbekanntes Argument \"%s\"; varnik --help zeigt den Aufruf.\n";

// The questions, in the order they are asked.
inline constexpr const char* kAskModel = "\n Name der Geoiddatei: ";
inline constexpr const char* kAskPoints = "\n Name der Datei mit zu interpolierenden Punkten: ";
inline constexpr const char* kAskHeights = "\n Enthaelt die Datei der zu interpolierenden Punkte auch eine Hoehe? (j/n): ";
inline constexpr const char* kAskEllipsoidal =
    "\n Handelt es sich um ellipsoidische Hoehen im ETRS89 (anderenfalls wird\n"
    " DHHN92 erwartet) (j/n): ";
inline constexpr const char* kAskOutput = "\n Name der Ausgabedatei: ";
inline constexpr const char* kAskOverwriteBefore = "\n Datei ";  // then the name
inline constexpr const char* kAskOverwriteAfter = " existiert schon, soll sie ueberschrieben werden? (j/n): ";

// What a height mode reads and writes.
inline constexpr const char* kInfoPositions =
    "\n Eingabeformat: geod. Breite(dezimalg. Grad),geod. Laenge(dezimalg. Grad),\n"
    "                durch Leerzeichen getrennt\n"
    "\n Ausgegeben wird: B,L,Geoidundulation(m), jeweils durch Leerzeichen getrennt\n";
inline constexpr const char* kWarnNoHeights =
    "\n WARNUNG: Datei der zu interpolierenden Punkte enthaelt keine Hoehen!\n"
    "\n Ausgegeben wird: B,L,Geoidundulation(m), jeweils durch Leerzeichen getrennt\n";
inline constexpr const char* kInfoEllipsoidal =
    "\n Eingabeformat: geod. Breite(dezimalg. Grad),geod. Laenge(dezimalg. Grad),\n"
    "                ellips. Hoehe(dezimalg. Meter), jeweils durch Leerzeichen\n"
    "                getrennt\n"
    "\n Ausgegeben wird: B,L,Normalhoehe(m),Geoidundulation(m), jeweils durch\n"
    "                  Leerzeichen getrennt\n";
inline constexpr const char* kInfoNormal =
    "\n Eingabeformat: geod. Breite(dezimalg. Grad),geod. Laenge(dezimalg. Grad),\n"
    "                Normalhoehe(dezimalg. Meter), jeweils durch Leerzeichen\n"
    "                getrennt\n"
    "\n Ausgegeben wird: B,L,ellips. Hoehe(m),Geoidundulation(m), jeweils durch\n"
    "                  Leerzeichen getrennt\n";

// On the terminal.
inline constexpr const char* kAbort = "\n Programmabbruch!\n";
// After the run, in a console window of varnik's own (ASCII: whatever the console shows).
inline constexpr const char* kPressAKey = " Taste druecken, um das Fenster zu schliessen.";
inline constexpr const char* kNoErrorFile = "\n Die Fehlerdatei varnik.err kann im aktuellen Verzeichnis nicht angelegt werden.\n";
inline constexpr const char* kOutsideBefore = "\n Zu interpolierender Punkt ---";  // then B and L
inline constexpr const char* kOutsideAfter = " ---\nliegt ausserhalb des gewaehlten Geoides.\n Dummywert gesetzt.\n";

// In the error file.
inline constexpr const char* kRestart = "bitte Dateinamen pruefen und neu starten.";
inline constexpr const char* kOutOfMemory = "Nicht genug Arbeitsspeicher fuer den Lauf,\nbitte neu starten.";
inline constexpr const char* kTerminalEnded =
    "Die Eingabe am Terminal ist zu Ende, bevor alle Fragen beantwortet waren,\nbitte neu starten.";
inline constexpr const char* kModelFile = "Geoid";                  // "<what>datei --- NAME --- ..."
inline constexpr const char* kPointFile = "Interpolationspunkte";
inline constexpr const char* kFileBefore = "datei --- ";
inline constexpr const char* kMissing = " --- nicht vorhanden,\n";
inline constexpr const char* kCannotOpen = " --- kann nicht geoeffnet werden,\n";
inline constexpr const char* kModelChangedBefore = "Geoiddatei --- ";
inline constexpr const char* kModelChangedAfter = " --- wurde waehrend der Berechnung geaendert,\nbitte neu starten.";
inline constexpr const char* kOutputBefore = "Ausgabedatei --- ";  // then the name and one of these
inline constexpr const char* kOutputLocked = " --- wird gerade von einem anderen Programm geschrieben,\n";
inline constexpr const char* kOutputNotAFile = " --- ist keine gewoehnliche Datei,\n";
inline constexpr const char* kOutputCannotOpen = " --- kann nicht geoeffnet werden,\n";
inline constexpr const char* kOutputCannotCreate = " --- kann nicht angelegt werden,\n";
inline constexpr const char* kOutputIsInput = " --- ist zugleich Eingabedatei,\n";
inline constexpr const char* kOutputIsErrorFile = " --- ist zugleich die Fehlerdatei varnik.err,\n";
inline constexpr const char* kTooFewValuesBefore = "Interpolationspunktedatei --- ";
inline constexpr const char* kTooFewValuesAfter = " --- enthaelt zu wenige Werte,\nbitte Datei pruefen und neu starten.";
inline constexpr const char* kReadError = "Fehler beim Lesen der Datei ";   // then the name
// A number with a decimal comma, "Zeile 3: \"80,412\"", then this.
inline constexpr const char* kDecimalComma =
    " hat ein Dezimalkomma, die Werte sind aber durch Leerzeichen getrennt,\nbitte Dezimalpunkte schreiben und neu starten.";
inline constexpr const char* kWriteError = "Fehler beim Schreiben der Datei ";
// After an error that left an existing output file as it was.
inline constexpr const char* kOutputUnchanged = "\nDie Ergebnisdatei wurde nicht geaendert.";

}  // namespace messages::varnik
