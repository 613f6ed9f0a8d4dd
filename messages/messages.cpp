#include "messages/messages.h"

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

std::string output_message(textio::OutputStatus status, std::string_view path)
{
    const char* text = status == textio::OutputStatus::Locked     ? kLocked
                       : status == textio::OutputStatus::NotAFile ? kNotAFile
                                                                  : kOpenFailed;
    return with_name(text, trimmed(path));
}

std::vector<std::string_view> window_texts()
{
    // Not kBadFormat: the form's lists and the command line's checks never let a format
    // outside 1..7 reach a computation.
    return {kOpenFailed,     kHeaderFailed, kReadFailed,   kInvalid,     kOutside,    kNoModel,
            kNoInput,        kNoOutput,     kSameFile,     kLocked,      kNotAFile,   kInputReadError,
            kWriteError,     kModelChanged, kOutOfMemory,  kPointsRead,  kPointsOutside,
            kPointsWithModelErrors, kCancelledBefore, kCancelledAfter};
}

}  // namespace messages
