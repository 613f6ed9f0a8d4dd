// The texts of the desktop program's windows beside its messages: titles, the menu, the file
// dialogs, the information dialog, the progress of a file computation, and what the toolkit
// says in German on its own (confirmations, buttons, names for screen readers). The labels of
// the forms' fields stand in their field table (app/fields.cpp).
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

// The toolkit's own words.
inline constexpr const char* kNoSuchFolder = "Das Verzeichnis %s existiert nicht.";
inline constexpr const char* kNoSuchFile = "Die Datei %s existiert nicht.\nTrotzdem \xC3\xBC" "bernehmen?";
inline constexpr const char* kOpenButton = "\xC3\x96&ffnen";
inline constexpr const char* kCancelButton = "Abbrechen";
inline constexpr const char* kProgressName = "Fortschritt der Berechnung";

}  // namespace messages::geoid
