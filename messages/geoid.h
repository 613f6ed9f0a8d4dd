// The texts of the desktop program's windows beside its messages: titles, the menu, the file
// dialogs, the information dialog, the progress of a file computation, and what the toolkit
// says in German on its own (confirmations, buttons, names for screen readers), and the forms'
// labels, names for screen readers and checks.
#pragma once

namespace messages::geoid {

// Window titles.
inline constexpr const char* kStartTitle = "Quasigeoidh\xC3\xB6henberechnung";
inline constexpr const char* kStartTitleAgain = "Quasigeoidberechnung";
inline constexpr const char* kPointTitle = "Quasigeoidberechnung Interaktive Eingabe - Koordinaten im ETRS89";
inline constexpr const char* kFileTitle = "Quasigeoidberechnung Dateieingabe";
inline constexpr const char* kHelpTitle = "Hilfe";
inline constexpr const char* kProgressTitle = "Berechnung";

// The menu, with its access keys.
inline constexpr const char* kMenuModel = "&Quasigeoidmodell";
inline constexpr const char* kMenuPointForm = "&Interaktive Eingabe";
inline constexpr const char* kMenuFileForm = "&Dateieingabe";
inline constexpr const char* kMenuHelp = "&Hilfe";
inline constexpr const char* kMenuInfo = "I&nfo";
inline constexpr const char* kMenuQuit = "&Beenden";

// File dialogs: the filter ("description|pattern|") and the titles.
inline constexpr const char* kAllFiles = "alle Dateien (*.*)|*.*|";
inline constexpr const char* kChooseModel = "Name des Geoidmodells";
inline constexpr const char* kChooseInput = "Name der Koordinatendatei";
inline constexpr const char* kChooseOutput = "Name der Ergebnisdatei";

// The information dialog: lines joined by CR LF; the version line is a field of 30 characters.
inline constexpr const char* kInfoTitleLine = "Berechnung von Quasigeoidh\xC3\xB6hen";
inline constexpr const char* kInfoVersion = "Version %s  (%s)";
inline constexpr const char* kInfoMaker = "Vennhof";
inline constexpr const char* kInfoPicture = "Bild: ein Quasigeoid \xC3\xBC" "ber dem Ellipsoid";

// Progress of a file computation: points done, whole percentage of the input read.
inline constexpr const char* kProgress = "%s Punkte berechnet, %s % der Eingabedatei gelesen";

// A viewer showing the start of a file too long for it: bytes shown, the file's size.
inline constexpr const char* kViewerCut = "[gek\xC3\xBCrzt: angezeigt werden die ersten %s von %s Byte]";

// The toolkit's own words.
inline constexpr const char* kNoSuchFolder = "Das Verzeichnis %s existiert nicht.";
inline constexpr const char* kNoSuchFile = "Die Datei %s existiert nicht.\nTrotzdem \xC3\xBC" "bernehmen?";
inline constexpr const char* kOpenButton = "\xC3\x96&ffnen";
inline constexpr const char* kCancelButton = "Abbrechen";
inline constexpr const char* kProgressName = "Fortschritt der Berechnung";

// The forms' fields: labels and the names screen readers say. The labels of single values (X,
// B, h, E) are their symbols; the degrees, minutes and seconds are named as in the file formats.
namespace form {
inline constexpr const char* kCartesian = "kartesische Koordinaten";
inline constexpr const char* kEllipsoidal = "ellipsoidische Koordinaten";
inline constexpr const char* kEllipsoidalDecimal = "ellipsoidische Koordinaten (Dezimalgrad)";
inline constexpr const char* kEllipsoidalSexagesimal = "ellipsoidische Koordinaten (Grad, Minuten, Sekunden)";
inline constexpr const char* kDecimalB = "B (Dezimalgrad)";
inline constexpr const char* kDecimalL = "L (Dezimalgrad)";
inline constexpr const char* kDecimalH = "h (Dezimalgrad)";
inline constexpr const char* kSexagesimalH = "h (Grad, Minuten, Sekunden)";
inline constexpr const char* kBSign = "B Vorzeichen";
inline constexpr const char* kLSign = "L Vorzeichen";
inline constexpr const char* kNorthing32 = "N UTM32";
inline constexpr const char* kEasting32 = "E UTM32";
inline constexpr const char* kHeight32 = "h UTM32";
inline constexpr const char* kNorthing33 = "N UTM33";
inline constexpr const char* kEasting33 = "E UTM33";
inline constexpr const char* kHeight33 = "h UTM33";
// The line under each system that says why a value was refused.
inline constexpr const char* kReasonCartesian = "Hinweis kartesische Koordinaten";
inline constexpr const char* kReasonDecimal = "Hinweis ellipsoidische Koordinaten (Dezimalgrad)";
inline constexpr const char* kReasonSexagesimal = "Hinweis ellipsoidische Koordinaten (Grad, Minuten, Sekunden)";
inline constexpr const char* kReasonUtm32 = "Hinweis UTM32";
inline constexpr const char* kReasonUtm33 = "Hinweis UTM33";
inline constexpr const char* kHeightAnomaly = "H\xC3\xB6henanomalie N";
inline constexpr const char* kNormalHeight = "Normalh\xC3\xB6he H";
inline constexpr const char* kCompute = "Berechnen";
// The file form.
inline constexpr const char* kInputFile = "Eingabedatei";
inline constexpr const char* kInputFileName = "Name der Eingabedatei";
inline constexpr const char* kInputFormat = "Eingabeformat";
inline constexpr const char* kViewInput = "Eingabedatei ansehen";
inline constexpr const char* kOutputFile = "Ausgabedatei";
inline constexpr const char* kOutputFileName = "Name der Ausgabedatei";
inline constexpr const char* kOutputFormat = "Ausgabeformat";
inline constexpr const char* kViewOutput = "Ausgabedatei ansehen";
inline constexpr const char* kPointNumberLabel = " Punktnummer in Spalte 1";
inline constexpr const char* kPointNumber = "Punktnummer in Spalte 1";
inline constexpr const char* kLengthLabel = "L\xC3\xA4nge der Punktnummer (<31 Zeichen)";
inline constexpr const char* kLength = "L\xC3\xA4nge der Punktnummer";
inline constexpr const char* kReasonLength = "Hinweis zur L\xC3\xA4nge der Punktnummer";
// The file form's options for point lists and its preview.
inline constexpr const char* kHeightsLabel = "H\xC3\xB6hen in der Eingabedatei";
inline constexpr const char* kHeightsEllipsoidal = "ellipsoidisch h";
inline constexpr const char* kHeightsNormal = "Normalh\xC3\xB6he H";
inline constexpr const char* kZone = "Ostwert mit Zonenkennung";
inline constexpr const char* kSeparatorLabel = "Trennzeichen";
inline constexpr const char* kSeparatorBlank = "Leerzeichen oder Komma";
inline constexpr const char* kSeparatorSemicolon = "Semikolon";
inline constexpr const char* kSeparatorTab = "Tabulator";
inline constexpr const char* kSeparatorBlanksDecimalComma = "Leerzeichen (Dezimalkomma)";
inline constexpr const char* kHeaderLines = "Kopfzeilen";
inline constexpr const char* kRest = "Rest der Zeile \xC3\xBC" "bernehmen";
inline constexpr const char* kTable = "Ergebnis als Tabelle (CSV)";
inline constexpr const char* kPreviewLabel = "Vorschau";
inline constexpr const char* kPreview = "Vorschau: die ersten Punkte, wie die Berechnung sie liest";
inline constexpr const char* kPreviewLine = "Zeile %s:";
inline constexpr const char* kPreviewNoPoints = "Keine Punkte in der Eingabedatei.";
// Why a field's text was refused: the field's label or name, then its bounds.
inline constexpr const char* kCheckReal = "%s: Zahl zwischen %s und %s";
inline constexpr const char* kCheckInteger = "%s: ganze Zahl zwischen %s und %s";
inline constexpr const char* kCheckSign = "%s: + oder -";
}  // namespace form

}  // namespace messages::geoid
