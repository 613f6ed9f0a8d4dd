#include "app/cli.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <string>

#include "filecalc/filecalc.h"
#include "interp/query.h"
#include "messages/messages.h"
#include "textio/textio.h"

namespace geoid {

namespace {

// Exit statuses of a command-line run.
constexpr int kCompleted = 0;
constexpr int kRefused = 1;  // refused, broken off, or the model changed during the run
constexpr int kUsage = 2;
constexpr int kModelReadErrors = 3;  // completed, but points met errors of the model file

std::string utf8(const QString& s)
{
    return s.toStdString();
}

// Line ends of the messages are CR LF; a terminal wants LF.
std::string lf(std::string text)
{
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
    return text;
}

// Messages as the boxes would show them: errors on standard error, the closing message on
// standard output, or on standard error when the results go to standard output.
class StreamReporter final : public filecalc::Reporter {
public:
    explicit StreamReporter(bool results_on_stdout) : closing_(results_on_stdout ? stderr : stdout) {}
    void error(const std::string& message) override { std::fprintf(stderr, "%s\n", lf(message).c_str()); }
    void finished(const std::string& message, const std::string& hint) override
    {
        std::fprintf(closing_, "%s\n", lf(message).c_str());
        if (!hint.empty()) std::fprintf(stderr, "%s\n", hint.c_str());
    }

private:
    std::FILE* closing_;
};

int usage_error(const std::string& reason)
{
    std::fprintf(stderr, "geoid: %s; geoid --help zeigt den Aufruf.\n", reason.c_str());
    return kUsage;
}

QString formats_text()
{
    QString text = QStringLiteral("\nEingabeformate (--eingabeformat):\n");
    for (const filecalc::FileFormat& f : filecalc::formats())
        text += QStringLiteral("  %1  %2\n").arg(f.number).arg(QString::fromUtf8(f.input_label));
    text += QStringLiteral("\nAusgabeformate (--ausgabeformat):\n");
    for (const filecalc::FileFormat& f : filecalc::formats())
        text += QStringLiteral("  %1  %2\n").arg(f.number).arg(QString::fromUtf8(f.output_label));
    text += QStringLiteral(
        "\n\"-\" als DATEI: --eingabe - liest die Standardeingabe, --ausgabe - schreibt die Ergebnisse\n"
        "auf die Standardausgabe (die Abschlussmeldung steht dann auf der Standardfehlerausgabe).\n"
        "\nBeendigungsstatus: 0 nach vollständiger Rechnung, 1 nach einer Ablehnung oder einem\n"
        "Fehler (die Meldung steht auf der Standardfehlerausgabe), 2 bei falschem Aufruf, 3 nach\n"
        "vollständiger Rechnung, in der Punkte Fehler beim Lesen der Geoiddatei hatten.");
    return text;
}

// A whole number within [low, high]; false for anything else.
bool in_range(const QString& text, int low, int high, int& value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok && value >= low && value <= high;
}

struct Options {
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Diese Hilfe zeigen.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Die Version zeigen.")};
    QCommandLineOption model{QStringLiteral("modell"), QStringLiteral("Die Modelldatei (Quasigeoidmodell)."),
                             QStringLiteral("MODELL")};
    QCommandLineOption input{QStringLiteral("eingabe"), QStringLiteral("Die Koordinatendatei; - liest die Standardeingabe."),
                             QStringLiteral("DATEI")};
    QCommandLineOption output{QStringLiteral("ausgabe"),
                              QStringLiteral("Die Ergebnisdatei; eine vorhandene wird ersetzt; - schreibt die Standardausgabe."),
                              QStringLiteral("DATEI")};
    QCommandLineOption in_format{QStringLiteral("eingabeformat"), QStringLiteral("Format der Koordinatendatei, 1 bis 7 (Vorgabe 2)."),
                                 QStringLiteral("1..7"), QStringLiteral("2")};
    QCommandLineOption out_format{QStringLiteral("ausgabeformat"), QStringLiteral("Format der Ergebnisdatei, 1 bis 7 (Vorgabe 2)."),
                                  QStringLiteral("1..7"), QStringLiteral("2")};
    QCommandLineOption point_number{
        QStringLiteral("punktnummer"),
        QStringLiteral("Jede Zeile beginnt mit einer Punktnummer, geschrieben mindestens LÄNGE (1 bis 30) Zeichen breit."),
        QStringLiteral("LÄNGE")};
};

// The option as the user typed it ("--bogus", "-x"), found among the arguments.
std::string as_typed(const QString& name)
{
    for (const QString& a : QCoreApplication::arguments()) {
        if (a == QStringLiteral("--") + name || a.startsWith(QStringLiteral("--") + name + QLatin1Char('=')))
            return utf8(a.section(QLatin1Char('='), 0, 0));
        if (a.startsWith(QLatin1Char('-')) && !a.startsWith(QStringLiteral("--")) && a.contains(name)) return utf8(a);
    }
    return utf8((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name);
}

// The job the options describe; a usage error's status otherwise (0 when the job is set).
int job_of(const QCommandLineParser& parser, const Options& o, filecalc::Job& job)
{
    if (!parser.positionalArguments().isEmpty())
        return usage_error("unerwartetes Argument \"" + utf8(parser.positionalArguments().first()) + "\"");
    for (const QCommandLineOption* required : {&o.model, &o.input, &o.output})
        if (!parser.isSet(*required)) return usage_error("die Option --" + utf8(required->names().first()) + " fehlt");
    if (!in_range(parser.value(o.in_format), 1, 7, job.in_format))
        return usage_error("--eingabeformat muss 1 bis 7 sein, nicht \"" + utf8(parser.value(o.in_format)) + "\"");
    if (!in_range(parser.value(o.out_format), 1, 7, job.out_format))
        return usage_error("--ausgabeformat muss 1 bis 7 sein, nicht \"" + utf8(parser.value(o.out_format)) + "\"");
    if (parser.isSet(o.point_number)) {
        if (!in_range(parser.value(o.point_number), 1, 30, job.pnr_length))
            return usage_error("--punktnummer muss 1 bis 30 sein, nicht \"" + utf8(parser.value(o.point_number)) + "\"");
        job.pnr_flag = 1;
    }
    job.model_file = utf8(parser.value(o.model));
    job.input_file = utf8(parser.value(o.input));
    job.output_file = utf8(parser.value(o.output));
    // "-" stands for the standard streams on the command line only; the form has no such name.
    job.input_from_stdin = job.input_file == "-";
    job.output_to_stdout = job.output_file == "-";
    return 0;
}

// The model checked as its selection in the window checks it, then the computation.
int compute(const filecalc::Job& job)
{
    if (textio::actual_length(job.model_file) == 0) {
        std::fprintf(stderr, "%s\n", messages::kNoModel);
        return kRefused;
    }
    if (const interp::Outcome o = interp::check_model(job.model_file); o != interp::Outcome::Ok) {
        std::fprintf(stderr, "%s\n", messages::model_message(o, job.model_file).c_str());
        return kRefused;
    }
    StreamReporter reporter(job.output_to_stdout);
    filecalc::Working working;
    const filecalc::Summary s = filecalc::geoidberechnung(job, working, reporter);
    if (s.field_error != 0) return kRefused;
    return s.model_errors > 0 ? kModelReadErrors : kCompleted;
}

}  // namespace

bool wants_command_line(int argc, char**)
{
    return argc > 1;
}

int run_command_line()
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Rechnet eine Koordinatendatei mit dem Quasigeoidmodell in eine Ergebnisdatei um:\n"
                       "je Punkt die Koordinaten im Ausgabeformat, die ellipsoidische Höhe h, die\n"
                       "Normalhöhe H = h - N und die Höhenanomalie N. Ohne Optionen öffnet geoid sein\n"
                       "Fenster.") +
        formats_text());
    const Options o;
    parser.addOptions({o.help, o.version, o.model, o.input, o.output, o.in_format, o.out_format, o.point_number});
    if (!parser.parse(QCoreApplication::arguments())) {
        if (!parser.unknownOptionNames().isEmpty())
            return usage_error("unbekannte Option \"" + as_typed(parser.unknownOptionNames().first()) + "\"");
        return usage_error("einer Option fehlt ihr Wert (" + utf8(parser.errorText().trimmed()) + ")");
    }
    if (parser.isSet(o.help)) {
        std::fputs(utf8(parser.helpText()).c_str(), stdout);
        return kCompleted;
    }
    if (parser.isSet(o.version)) {
        std::printf("geoid %s\n", utf8(QCoreApplication::applicationVersion()).c_str());
        return kCompleted;
    }
    filecalc::Job job;
    if (const int status = job_of(parser, o, job); status != 0) return status;
    return compute(job);
}

}  // namespace geoid
