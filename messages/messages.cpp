#include "messages/messages.h"

#include "interp/query.h"
#include "textio/encoding.h"

namespace messages {

namespace {

std::string_view trimmed(std::string_view path)
{
    const std::size_t end = path.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view() : path.substr(0, end + 1);
}

std::string with_name(std::string_view text, std::string_view name)
{
    std::string m(text);
    m.append(name);
    return m;
}

// varnik's error file: plain ASCII, the name between dashes or after "Datei".
std::string terminal_message(interp::Outcome outcome, std::string_view name)
{
    switch (outcome) {
    case interp::Outcome::Ok:
    case interp::Outcome::Outside: return {};
    case interp::Outcome::OpenError:
        return with_name("Geoiddatei --- ", name) + " --- nicht vorhanden,\nbitte Dateinamen pruefen und neu starten.";
    case interp::Outcome::HeaderError:
    case interp::Outcome::Invalid: return with_name("Fehler beim Lesen der Datei ", name) + ": Header falsch!";
    case interp::Outcome::ReadError: return with_name("Fehler beim Lesen der Datei ", name);
    }
    return {};
}

}  // namespace

std::string model_message(interp::Outcome outcome, std::string_view path, Wording wording)
{
    const std::string_view name = trimmed(path);
    if (wording == Wording::Terminal) return terminal_message(outcome, name);
    switch (outcome) {
    case interp::Outcome::Ok: return {};
    case interp::Outcome::Outside: return kOutside;
    case interp::Outcome::OpenError: return with_name(kOpenFailed, name);
    case interp::Outcome::HeaderError: return with_name(kHeaderFailed, name);
    case interp::Outcome::ReadError: return with_name(kReadFailed, name);
    case interp::Outcome::Invalid: return with_name(kInvalid, name);
    }
    return {};
}

void varnik1(double b, double l, const std::string& model_file, double& n, std::string& message)
{
    message = model_message(interp::query_model(b, l, model_file, n), model_file);
}

std::string output_message(textio::OutputStatus status, std::string_view path)
{
    if (status == textio::OutputStatus::Locked) return with_name(kLocked, trimmed(path));
    if (status == textio::OutputStatus::NotAFile) return with_name(kNotAFile, trimmed(path));
    return open_failed(path);
}

std::string open_reason(const textio::OpenFailure& failure)
{
    using R = textio::FailureReason;
    switch (failure.reason) {
    case R::None: return {};
    case R::NoFile: return kNoSuchFile;
    case R::NoFolder: return kNoSuchFolder;
    case R::NoPermission: return kNoPermission;
    case R::ReadOnly: return kReadOnlyDrive;
    case R::NoSpace: return kNoSpace;
    case R::NameTooLong: return kNameTooLong;
    case R::NotAFile: return kNoRegularFile;
    case R::Other: break;
    }
    return failure.system_text;
}

std::string open_failed(std::string_view path)
{
    std::string m = with_name(kOpenFailed, trimmed(path));
    if (const std::string why = open_reason(textio::last_open_failure()); !why.empty()) m += "\r\n" + why;
    return m;
}

std::string fill(std::string_view pattern, std::initializer_list<std::string> values)
{
    std::string out;
    auto value = values.begin();
    for (std::size_t k = 0; k < pattern.size(); ++k) {
        if (pattern[k] == '%' && k + 1 < pattern.size() && (pattern[k + 1] == 's' || pattern[k + 1] == 'd') &&
            value != values.end()) {
            out += *value++;
            ++k;
        } else {
            out += pattern[k];
        }
    }
    return out;
}

std::string number_list(const std::vector<std::int64_t>& numbers)
{
    if (numbers.size() > 1 && numbers.back() - numbers.front() + 1 == static_cast<std::int64_t>(numbers.size()))
        return fill(kRange, {std::to_string(numbers.front()), std::to_string(numbers.back())});
    std::string list;
    for (std::size_t k = 0; k < numbers.size(); ++k)
        list += (k == 0 ? "" : k + 1 == numbers.size() ? kAndLast : ", ") + std::to_string(numbers[k]);
    return list;
}

std::string run_hints(std::int64_t points, std::int64_t outside, std::int64_t overflowed, int header_lines,
                      const std::vector<std::int64_t>& header_points)
{
    std::vector<std::string> hints;
    if (points > 0 && outside == points) hints.push_back(points == 1 ? kTheOneOutside : fill(kAllOutside, {std::to_string(points)}));
    if (overflowed > 0) hints.push_back(overflowed == 1 ? kOverflowedOne : fill(kOverflowed, {std::to_string(overflowed)}));
    if (points == 0)
        hints.push_back(header_lines == 0 ? kNoPoints
                        : header_lines == 1 ? kNoPointsAfterOneHeader
                                            : fill(kNoPointsAfterHeader, {std::to_string(header_lines)}));
    if (header_points.size() == 1) hints.push_back(fill(kHeaderAsPoint, {std::to_string(header_points[0])}));
    if (header_points.size() > 1) hints.push_back(fill(kHeadersAsPoints, {number_list(header_points)}));
    std::string text;
    for (const std::string& h : hints) text += (text.empty() ? "" : "\r\n") + h;
    return text;
}

std::string continued_hint(std::int64_t count, Wording wording)
{
    if (count <= 0) return {};
    return kContinuedBefore + std::to_string(count) + (count == 1 ? kContinuedOne : kContinuedMany) +
           (wording == Wording::Terminal ? kContinuedTextTerminal : kContinuedText);
}

namespace {

// What stood in the file, as a line of a message can show it: UTF-8 (a file in Windows-1252
// decoded as such), at most 40 characters, control characters as "?".
std::string shown_text(std::string_view bytes)
{
    constexpr std::size_t kShownChars = 40;
    const std::string utf8 = textio::is_valid_utf8(bytes) ? std::string(bytes) : textio::cp1252_to_utf8(bytes);
    std::string shown(textio::utf8_prefix(utf8, kShownChars));
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return '"' + shown + '"';
}

}  // namespace

std::string header_line(std::int64_t line, std::string_view text)
{
    return "Kopfzeile " + std::to_string(line) + ": " + shown_text(text);
}

std::string read_failure_line(const textio::ReadFailure& failure, std::string_view expected, bool whole_number)
{
    using Kind = textio::ReadFailure::Kind;
    std::string m = "Zeile " + std::to_string(failure.line) + ": ";
    const std::string text = shown_text(failure.text);
    double number = 0.0;
    switch (failure.kind) {
    case Kind::NotNumber: m += text + " ist keine Zahl"; break;
    case Kind::NotInteger:
        m += text;
        if (!textio::parse_number(failure.text, number)) m += " ist keine Zahl";
        break;
    case Kind::EmptyValue: m += "leerer Wert zwischen zwei Kommas"; break;
    case Kind::TooLong: m += text + " ist l\xC3\xA4nger als " + std::to_string(textio::kMaxToken) + " Zeichen"; break;
    case Kind::BadText: m += text; break;
    case Kind::OpenQuote: m += text + " ohne schlie\xC3\x9F" "endes Anf\xC3\xBChrungszeichen"; break;
    case Kind::Io: return m + "die Datei kann nicht weiter gelesen werden";
    case Kind::EmptyField: m += "leeres Feld"; break;
    case Kind::TooFewValues: m += "zu wenige Werte"; break;
    case Kind::LineTooLong: m += "die Zeile ist l\xC3\xA4nger als " + std::to_string(textio::kMaxLine) + " Zeichen"; break;
    case Kind::NoZone: m += text + " ohne Zonenkennung"; break;
    case Kind::DecimalComma: m += text + kDecimalCommaBetweenBlanks; break;
    }
    m += " (erwartet: ";
    m.append(expected);
    if (whole_number) m += " als ganze Zahl";
    return m + ")";
}

std::vector<std::string_view> window_texts()
{
    // Not kBadFormat: the form's lists and the command line's checks never let a format
    // outside the format table reach a computation.
    return {kOpenFailed,     kHeaderFailed, kReadFailed,   kInvalid,     kOutside,    kNoModel,
            kNoInput,        kNoOutput,     kSameFile,     kNormalHeightsXyz,     kLocked,      kNotAFile,   kInputReadError,
            kWriteError,     kModelChanged, kOutOfMemory,  kPointsRead,  kPointsOutside,
            kPointsWithModelErrors, kCancelledBefore, kCancelledAfter, kContinuedText};
}

}  // namespace messages
