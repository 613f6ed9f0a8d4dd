#include "app/cli.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <string>

#include "filecalc/filecalc.h"
#include "interp/query.h"
#include "messages/messages.h"

namespace geoid {

namespace {

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
// standard output.
class StreamReporter final : public filecalc::Reporter {
public:
    void error(const std::string& message) override { std::fprintf(stderr, "%s\n", lf(message).c_str()); }
    void finished(const std::string& message) override { std::fprintf(stdout, "%s\n", lf(message).c_str()); }
};

int usage_error(const std::string& reason)
{
    std::fprintf(stderr, "geoid: %s; geoid --help zeigt den Aufruf.\n", reason.c_str());
    return 2;
}

QString formats_text()
{
    QString text = QStringLiteral("\nEingabeformate (--eingabeformat):\n");
    for (const filecalc::FileFormat& f : filecalc::formats())
        text += QStringLiteral("  %1  %2\n").arg(f.number).arg(QString::fromUtf8(f.input_label));
    text += QStringLiteral("\nAusgabeformate (--ausgabeformat):\n");
    for (const filecalc::FileFormat& f : filecalc::formats())
        text += QStringLiteral("  %1  %2\n").arg(f.number).arg(QString::fromUtf8(f.output_label));
    text += QStringLiteral("\nBeendigungsstatus: 0 nach vollständiger Rechnung, 1 nach einer Ablehnung oder einem\n"
                           "Fehler (die Meldung steht auf der Standardfehlerausgabe), 2 bei falschem Aufruf.");
    return text;
}

// A whole number within [low, high]; false for anything else.
bool in_range(const QString& text, int low, int high, int& value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok && value >= low && value <= high;
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
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Diese Hilfe zeigen."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Die Version zeigen."));
    const QCommandLineOption model(QStringLiteral("modell"), QStringLiteral("Die Modelldatei (Quasigeoidmodell)."),
                                   QStringLiteral("MODELL"));
    const QCommandLineOption input(QStringLiteral("eingabe"), QStringLiteral("Die Koordinatendatei."), QStringLiteral("DATEI"));
    const QCommandLineOption output(QStringLiteral("ausgabe"),
                                    QStringLiteral("Die Ergebnisdatei; eine vorhandene wird ersetzt."), QStringLiteral("DATEI"));
    const QCommandLineOption in_format(QStringLiteral("eingabeformat"),
                                       QStringLiteral("Format der Koordinatendatei, 1 bis 7 (Vorgabe 2)."),
                                       QStringLiteral("1..7"), QStringLiteral("2"));
    const QCommandLineOption out_format(QStringLiteral("ausgabeformat"),
                                        QStringLiteral("Format der Ergebnisdatei, 1 bis 7 (Vorgabe 2)."),
                                        QStringLiteral("1..7"), QStringLiteral("2"));
    const QCommandLineOption point_number(
        QStringLiteral("punktnummer"),
        QStringLiteral("Jede Zeile beginnt mit einer Punktnummer, geschrieben mindestens LÄNGE (1 bis 30) Zeichen breit."),
        QStringLiteral("LÄNGE"));
    parser.addOptions({help, version, model, input, output, in_format, out_format, point_number});

    if (!parser.parse(QCoreApplication::arguments())) {
        if (!parser.unknownOptionNames().isEmpty())
            return usage_error("unbekannte Option \"" + utf8(parser.unknownOptionNames().first()) + "\"");
        return usage_error("einer Option fehlt ihr Wert (" + utf8(parser.errorText().trimmed()) + ")");
    }
    if (parser.isSet(help)) {
        std::fputs(utf8(parser.helpText()).c_str(), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("geoid %s\n", utf8(QCoreApplication::applicationVersion()).c_str());
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return usage_error("unerwartetes Argument \"" + utf8(parser.positionalArguments().first()) + "\"");
    for (const QCommandLineOption* required : {&model, &input, &output})
        if (!parser.isSet(*required)) return usage_error("die Option --" + utf8(required->names().first()) + " fehlt");

    filecalc::Job job;
    if (!in_range(parser.value(in_format), 1, 7, job.in_format))
        return usage_error("--eingabeformat muss 1 bis 7 sein, nicht \"" + utf8(parser.value(in_format)) + "\"");
    if (!in_range(parser.value(out_format), 1, 7, job.out_format))
        return usage_error("--ausgabeformat muss 1 bis 7 sein, nicht \"" + utf8(parser.value(out_format)) + "\"");
    if (parser.isSet(point_number)) {
        if (!in_range(parser.value(point_number), 1, 30, job.pnr_length))
            return usage_error("--punktnummer muss 1 bis 30 sein, nicht \"" + utf8(parser.value(point_number)) + "\"");
        job.pnr_flag = 1;
    }
    job.model_file = utf8(parser.value(model));
    job.input_file = utf8(parser.value(input));
    job.output_file = utf8(parser.value(output));

    // The model is checked as its selection in the window checks it.
    if (const interp::Outcome o = interp::check_model(job.model_file); o != interp::Outcome::Ok) {
        std::fprintf(stderr, "%s\n", messages::model_message(o, job.model_file).c_str());
        return 1;
    }
    StreamReporter reporter;
    filecalc::Working working;
    return filecalc::geoidberechnung(job, working, reporter).field_error == 0 ? 0 : 1;
}

}  // namespace geoid
