// Every message of the desktop program's boxes and command line, in one place, and the one
// function that turns a model outcome and a file name into its German text. The file
// messages are followed directly by the file name.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "interp/outcome.h"
#include "textio/files.h"
#include "textio/textio.h"

namespace messages {

// The model file (selection check and point query).
inline constexpr const char* kOpenFailed = "Fehler beim \xC3\x96" "ffnen der Datei: ";
inline constexpr const char* kHeaderFailed = "Fehler beim Lesen des Headers der Geoiddatei    Datei: ";
inline constexpr const char* kReadFailed = "Fehler beim Lesen der Geoiddatei    Datei: ";
inline constexpr const char* kInvalid = "Keine g\xC3\xBCltige Geoiddatei,   Datei: ";
inline constexpr const char* kOutside = "Der Punkt liegt ausserhalb des Quasigeoidgitters.";

// Refusals of a computation, in the order they are tested.
inline constexpr const char* kNoModel = "Name der Geoiddatei muss angeben werden.";
inline constexpr const char* kNoInput = "Name der Koordinateneingabedatei muss angeben werden.";
inline constexpr const char* kNoOutput = "Name der Ausgabedatei muss angeben werden.";
inline constexpr const char* kSameFile = "Ausgabedatei ist zugleich Eingabedatei: ";
inline constexpr const char* kNormalHeightsXyz =
    "Normalh\xC3\xB6hen in der Eingabedatei passen nicht zum Eingabeformat 1: XYZ enth\xC3\xA4lt die ellipsoidische H\xC3\xB6he";
inline constexpr const char* kBadFormat = "Unbekanntes Dateiformat (erlaubt sind 1 bis %d).";  // the count
inline constexpr const char* kLocked = "Ausgabedatei wird gerade von einem anderen Programm geschrieben: ";
inline constexpr const char* kNotAFile = "Ausgabedatei ist keine gew\xC3\xB6hnliche Datei: ";

// Errors of the coordinate and result files during a computation.
inline constexpr const char* kInputReadError = "Fehler beim Lesen der Datei: ";
inline constexpr const char* kWriteError = "Fehler beim Schreiben der Datei: ";
inline constexpr const char* kOutOfMemory = "Nicht genug Arbeitsspeicher f\xC3\xBCr die Berechnung.";
inline constexpr const char* kModelChanged = "Geoiddatei wurde w\xC3\xA4hrend der Berechnung ge\xC3\xA4ndert: ";

// The closing message of a file computation: "<count><text>", lines joined by CR LF.
inline constexpr const char* kClosingTitle = "Berechnung beendet";
inline constexpr const char* kPointsRead = " Punkte insgesamt";
inline constexpr const char* kPointsOutside = " Punkte ausserhalb des Modells";
inline constexpr const char* kPointsWithModelErrors = " Punkte mit Fehlern beim Lesen der Geoiddatei";
inline constexpr const char* kCancelledBefore = "Berechnung nach ";
inline constexpr const char* kCancelledAfter = " Punkten abgebrochen";

// The line after the closing message when the values of some points stood on several lines:
// "Bei <count><one or many><text>".
inline constexpr const char* kContinuedBefore = "Bei ";
inline constexpr const char* kContinuedOne = " Punkt";
inline constexpr const char* kContinuedMany = " Punkten";
inline constexpr const char* kContinuedText =
    " standen die Werte auf mehreren Zeilen; passt das Eingabeformat zur Datei?";
/// varnik's wording of the same, in ASCII.
inline constexpr const char* kContinuedTextTerminal = " standen die Werte auf mehreren Zeilen; passt die Datei zur Auswahl?";

// The value expected where a coordinate file could not be read.
inline constexpr const char* kPointNumber = "Punktnummer";
inline constexpr const char* kHeight = "h";

/// Whose words: the desktop program's boxes and command line, or varnik's error file.
enum class Wording { Window, Terminal };

/// The text of a model outcome for the model file `path` (trailing blanks dropped): empty for
/// Ok; the out-of-grid text (no name) for Outside; otherwise the file message and the name.
/// In varnik's words Outside is empty (varnik reports such points on its terminal with their
/// coordinates) and an invalid header reads as an unreadable one.
std::string model_message(interp::Outcome outcome, std::string_view path, Wording wording = Wording::Window);

/// The single-point query with its outcome worded, for the point form: N at latitude b,
/// longitude l (decimal degrees) in the model file; the message is empty on success, otherwise
/// the out-of-grid text (N = 999999.0) or a file message, and N keeps the caller's value.
void varnik1(double b, double l, const std::string& model_file, double& n, std::string& message);

/// The refusal of an output file that open_output did not open (textio/files.h), with its name.
/// The reason of the platform layer's last failed open, in German (the system's text for the
/// rest); empty when it gave none.
std::string open_reason(const textio::OpenFailure& failure);
/// kOpenFailed and the name, then on a line of its own the reason of the last failed open.
std::string open_failed(std::string_view path);

std::string output_message(textio::OutputStatus status, std::string_view path);

/// A text with each "%s" (or "%d") replaced by the next of `values`, in order.
std::string fill(std::string_view pattern, std::initializer_list<std::string> values);

/// The hints after a run that cannot be right, each on a line (CR LF between them), empty when
/// none applies: every point outside the model, values too wide for their columns, no point
/// at all, header lines (numbered from 1) that read as points.
std::string run_hints(std::int64_t points, std::int64_t outside, std::int64_t overflowed, int header_lines,
                      const std::vector<std::int64_t>& header_points);
inline constexpr const char* kAllOutside =
    "Alle %d Punkte liegen au\xC3\x9F" "erhalb des Modells; passen Eingabeformat und Modell zur Datei?";
inline constexpr const char* kTheOneOutside =
    "Der Punkt liegt au\xC3\x9F" "erhalb des Modells; passen Eingabeformat und Modell zur Datei?";
inline constexpr const char* kOverflowed =
    "Bei %d Punkten passten Werte nicht in ihre Spalten (Sterne in der Ergebnisdatei); passt das Eingabeformat zur Datei?";
inline constexpr const char* kOverflowedOne =
    "Bei 1 Punkt passten Werte nicht in ihre Spalten (Sterne in der Ergebnisdatei); passt das Eingabeformat zur Datei?";
inline constexpr const char* kNoPoints = "Die Eingabedatei enth\xC3\xA4lt keine Punkte.";
inline constexpr const char* kNoPointsAfterHeader = "Nach den %d Kopfzeilen enth\xC3\xA4lt die Eingabedatei keine Punkte.";
inline constexpr const char* kNoPointsAfterOneHeader = "Nach der Kopfzeile enth\xC3\xA4lt die Eingabedatei keine Punkte.";
inline constexpr const char* kHeadersAsPoints = "Die Kopfzeilen %s lesen sich wie Punkte; stimmt die Zahl der Kopfzeilen?";
inline constexpr const char* kHeaderAsPoint = "Die Kopfzeile %d liest sich wie ein Punkt; stimmt die Zahl der Kopfzeilen?";
/// Numbers in a text: a range, or a list whose last two are joined by "und".
inline constexpr const char* kRange = "%d bis %d";
inline constexpr const char* kAndLast = " und ";
/// A number list as a text: "2 bis 5" for a run without gaps, else "2, 4 und 7".
std::string number_list(const std::vector<std::int64_t>& numbers);

/// The hint that the values of `count` points stood on several lines; empty for 0.
std::string continued_hint(std::int64_t count, Wording wording = Wording::Window);

/// The second line of a read error of a coordinate file: the line number, the text that could
/// not be read (quoted, at most 40 characters) and what was expected there, e.g.
/// `Zeile 3: "53;5511" ist keine Zahl (erwartet: B)`; `whole_number` when a whole number was
/// expected (`Zeile 9: "40.5" (erwartet: B Minuten als ganze Zahl)`).
/// Why a file could not be opened: the line after kOpenFailed and its name.
inline constexpr const char* kNoSuchFile = "Die Datei gibt es nicht.";
inline constexpr const char* kNoSuchFolder = "Den Ordner gibt es nicht.";
inline constexpr const char* kNoPermission = "Keine Berechtigung.";
inline constexpr const char* kReadOnlyDrive = "Das Laufwerk ist schreibgesch\xC3\xBCtzt.";
inline constexpr const char* kNoSpace = "Kein Platz auf dem Laufwerk.";
inline constexpr const char* kNameTooLong = "Der Name ist zu lang.";
inline constexpr const char* kNoRegularFile = "Das ist keine gew\xC3\xB6hnliche Datei.";
/// A coordinate file with a NUL byte near its start: the line after kInputReadError and its name.
inline constexpr const char* kNotText = "Die Datei ist keine Textdatei.";

/// After an error or a cancel that left an existing result file as it was.
inline constexpr const char* kResultUnchanged = "Die Ergebnisdatei wurde nicht ge\xC3\xA4ndert.";

/// After a read error of kind DecimalComma: what the number is and which separator reads it.
inline constexpr const char* kDecimalCommaBetweenBlanks = " hat ein Dezimalkomma, die Werte sind aber durch Leerzeichen getrennt";
inline constexpr const char* kDecimalCommaSeparator =
    "F\xC3\xBCr Werte mit Dezimalkomma zwischen Leerzeichen das Trennzeichen \"Leerzeichen (Dezimalkomma)\" w\xC3\xA4hlen "
    "(auf der Kommandozeile --trennzeichen leerzeichen).";

/// A header line as the preview shows it: Kopfzeile 1: "Nr;B;L;h".
std::string header_line(std::int64_t line, std::string_view text);

std::string read_failure_line(const textio::ReadFailure& failure, std::string_view expected, bool whole_number);

/// Every fixed text above that the desktop program can show, for the test that the help text
/// names each of them.
std::vector<std::string_view> window_texts();

}  // namespace messages
