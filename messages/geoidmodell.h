// The texts of geoidmodell: its usage, the refusals of a source grid or a target, the lines
// of --info and the labels of the picture. "%s" stands for a name or a value, filled in order
// (messages::fill).
#pragma once

namespace messages::geoidmodell {

inline constexpr const char* kHelp =
    "Aufruf: geoidmodell EINGABE AUSGABE.bin          Gitter (GTX, GeoTIFF, ISG, BYN, ...) in eine Modelldatei\n"
    "        geoidmodell MODELL.bin AUSGABE.gtx|.tif  Modelldatei in GTX oder GeoTIFF (float32)\n"
    "        geoidmodell --info MODELL                Beschreibung einer Modelldatei\n"
    "        geoidmodell --karte MODELL BILD.png [--punkte DATEI]\n"
    "                                                 Farbbild des Modells, wahlweise mit den Punkten\n"
    "                                                 einer Punktdatei (B L je Zeile)\n"
    "        geoidmodell [--kein-wert WERT] [--reihenfolge lbn|bln] GITTER.txt AUSGABE.bin\n"
    "                                                 Textgitter (Zeilen \"B L N\") in eine Modelldatei\n"
    "        geoidmodell -h | --help | -v | --version\n"
    "\n"
    "Beim Einlesen werden die Gitterpunkte von Nord nach S\xC3\xBC" "d und von West nach Ost in 0,1 mm\n"
    "geschrieben, Gitterpunkte ohne Wert (No-Data) als \"kein Wert\". Das Gitter muss in\n"
    "geografischen Koordinaten (Grad) vorliegen, nicht gedreht sein und Grenzen und Gitterweiten\n"
    "in ganzen Mikrobogensekunden haben.\n"
    "\n"
    "Ein Textgitter hat je Zeile einen Knoten \"B L N\" (Dezimalgrad ETRS89, Meter; Leerzeichen oder\n"
    "Tabulatoren; keine Kopfzeile), mit --reihenfolge lbn \"L B N\". 999999 steht f\xC3\xBCr kein Wert\n"
    "(--kein-wert WERT f\xC3\xBCr einen anderen). Gitterweite und Grenzen ergeben sich aus den Knoten; ein\n"
    "Knoten, der fehlt, hat keinen Wert. Ein Knoten au\xC3\x9F" "erhalb des regelm\xC3\xA4\xC3\x9F" "igen Abstands, ein\n"
    "doppelter Knoten oder eine Zeile, die nicht aus drei Zahlen besteht, wird mit ihrer\n"
    "Zeilennummer abgelehnt.\n"
    "\n"
    "Beendigungsstatus: 0 bei Erfolg, 1 bei einem Fehler (keine Ausgabedatei bleibt zur\xC3\xBC" "ck),\n"
    "2 bei falschem Aufruf.\n";

// Usage errors: "geoidmodell: <reason>; geoidmodell --help zeigt den Aufruf."
inline constexpr const char* kUsage = "geoidmodell: %s; geoidmodell --help zeigt den Aufruf.";
inline constexpr const char* kInfoUsage = "--info erwartet genau eine Modelldatei";
inline constexpr const char* kMapUsage = "--karte erwartet MODELL BILD.png [--punkte DATEI]";
inline constexpr const char* kUnknownOption = "unbekannte Option \"%s\"";
inline constexpr const char* kTwoFiles = "erwartet werden EINGABE und AUSGABE";
inline constexpr const char* kOutputEnding = "die Ausgabedatei muss auf .bin, .gtx oder .tif enden";

// The source grid.
inline constexpr const char* kNotAGrid = "Die Datei %s kann nicht als Gitter gelesen werden%s.";
inline constexpr const char* kNoBand = "Die Datei %s enth\xC3\xA4lt kein Gitter.";
inline constexpr const char* kNoGeoreference = "Das Gitter %s hat keine Lage (keine Georeferenz).";
inline constexpr const char* kRotated = "Das Gitter %s ist gedreht; nur nordorientierte Gitter gehen.";
// Text grids: lines "B L N".
inline constexpr const char* kMissingValue = "nach %s fehlt der Wert";
inline constexpr const char* kBadValue = "%s: ung\xC3\xBCltiger Wert \"%s\"";
inline constexpr const char* kTextGridOptions = "--kein-wert und --reihenfolge gelten nur beim Einlesen eines Textgitters in eine .bin-Datei";
inline constexpr const char* kTextGridLine = "Das Gitter %s: Zeile %s ist keine Zeile aus drei Zahlen (B L N): \"%s\"";
inline constexpr const char* kTextGridIrregular =
    "Das Gitter %s: der Knoten in Zeile %s liegt nicht im regelm\xC3\xA4\xC3\x9F" "igen Abstand der \xC3\xBC" "brigen";
inline constexpr const char* kTextGridTwice = "Das Gitter %s: der Knoten in Zeile %s steht zum zweiten Mal in der Datei";
inline constexpr const char* kTextGridChanged = "Das Gitter %s hat sich beim Lesen ge\xC3\xA4ndert (Zeile %s)";
inline constexpr const char* kTextGridSparse =
    "Das Gitter %s: %s Knoten in der Datei sind zu wenige f\xC3\xBCr ein Gitter aus %s Knoten";
inline constexpr const char* kTextGridTooSmall = "Das Gitter %s hat weniger als zwei Breiten oder L\xC3\xA4ngen";
inline constexpr const char* kNoReferenceSystem =
    "Das Gitter %s hat kein Bezugssystem; erwartet werden geografische Koordinaten in Grad.";
inline constexpr const char* kNotGeographic = "Das Gitter %s ist nicht in geografischen Koordinaten (Breite, L\xC3\xA4nge in Grad).";
inline constexpr const char* kNotDegrees = "Das Gitter %s ist nicht in Grad angegeben.";
inline constexpr const char* kTooLarge = "Das Gitter %s ist zu gro\xC3\x9F (%s x %s Gitterpunkte; h\xC3\xB6" "chstens 2^31 - 1).";
inline constexpr const char* kNoSpacing = "Das Gitter %s hat keine g\xC3\xBCltige Gitterweite.";
inline constexpr const char* kHeaderAngles[6] = {("s\xC3\xBC" "dliche Breite"), "n\xC3\xB6rdliche Breite", "westliche L\xC3\xA4nge",
                                               "\xC3\xB6stliche L\xC3\xA4nge", "Gitterweite in Breite", "Gitterweite in L\xC3\xA4nge"};
inline constexpr const char* kNotMicro = "Die %s %s von %s ist keine ganze Zahl von Mikrobogensekunden.";
inline constexpr const char* kNearZero = "Die %s %s liegt zwischen -1\xC2\xB0 und 0\xC2\xB0; das Modellformat kann sie nicht speichern.";
inline constexpr const char* kNoGrid = "Die Grenzen und Gitterweiten von %s beschreiben kein Gitter dieses Formats.";
inline constexpr const char* kDrift =
    "Die Gitterweite von %s ist keine ganze Zahl von Mikrobogensekunden: die Gitterpunkte l\xC3\xA4gen im Modell um mehr als 1e-9\xC2\xB0 anders.";
inline constexpr const char* kReadError = "Fehler beim Lesen von %s%s.";
inline constexpr const char* kValueTooLarge = "Der Wert %s m in Zeile %s, Spalte %s von %s passt nicht in das Modellformat (Betrag unter 9999.9999 m).";

// The target.
inline constexpr const char* kWriteError = "Fehler beim Schreiben von %s%s.";
inline constexpr const char* kSameFile = "Die Ausgabedatei %s ist die Eingabedatei.";
inline constexpr const char* kCannotCreate = "Die Datei %s kann nicht angelegt werden%s.";
inline constexpr const char* kNotExact = "Der Wert %s m in Zeile %s, Spalte %s kann in %s nicht genau gespeichert werden.";
inline constexpr const char* kUnknownTarget = "Unbekanntes Ausgabeformat %s: erlaubt sind .bin (Modelldatei), .gtx und .tif.";
inline constexpr const char* kNoDriver = "Der GDAL-Treiber f\xC3\xBCr %s fehlt.";
inline constexpr const char* kNotAFile = "Die Ausgabedatei %s ist keine gew\xC3\xB6hnliche Datei.";

// --info, one line each: the label in 18 columns, then the value.
inline constexpr const char* kInfoModel = "Modelldatei:      %s\n";
inline constexpr const char* kInfoLatitude = "Breite:           %s bis %s\n";
inline constexpr const char* kInfoLongitude = "L\xC3\xA4nge:            %s bis %s\n";
inline constexpr const char* kInfoSpacing = "Gitterweite:      %s in Breite, %s in L\xC3\xA4nge\n";
inline constexpr const char* kInfoGrid = "Gitter:           %s Zeilen x %s Spalten = %s Gitterpunkte\n";
inline constexpr const char* kInfoValues = "Werte:            %s m bis %s m\n";
inline constexpr const char* kInfoNoValues = "Werte:            keine\n";
inline constexpr const char* kInfoWithout = "Ohne Wert:        %s Gitterpunkte\n";
inline constexpr const char* kInfoSize = "Dateigr\xC3\xB6\xC3\x9F" "e:       %s Byte, erwartet %s Byte: ";
inline constexpr const char* kInfoSizeRight = "stimmt\n";
inline constexpr const char* kInfoTooShort = "zu kurz";
inline constexpr const char* kInfoTooLong = "zu lang";
inline constexpr const char* kInfoMissingRows = " (%s Zeilen fehlen ganz oder teilweise)";

// The picture (--karte).
inline constexpr const char* kMapScale = "%s km";
inline constexpr const char* kMapValues = "N [m]";
inline constexpr const char* kMapNoValue = "kein Wert";
inline constexpr const char* kMapInside = "Punkt im Modell";
inline constexpr const char* kMapOutside = "Punkt ausserhalb des Modells";
inline constexpr const char* kMapBeyond = "nicht im Bild:";
inline constexpr const char* kMapPoint = "B %s, L %s";
inline constexpr const char* kMapMore = "und %s weitere";
inline constexpr const char* kMapTitle = "Modell %s";
inline constexpr const char* kMapLimits = "B %s bis %s, L %s bis %s, Gitterweite %s x %s";
inline constexpr const char* kPointsReadError = "Fehler beim Lesen der Datei %s";
inline constexpr const char* kNoPngDriver = "Der GDAL-Treiber f\xC3\xBCr PNG fehlt.";
inline constexpr const char* kNoPicture = "Das Bild kann nicht erzeugt werden%s.";

}  // namespace messages::geoidmodell
