#include "core/CommandLine.h"

#include "core/VersionTexts.h"

#include <QCommandLineParser>

namespace core {
namespace {

QString ChoiceNames(const QList<OptionChoice>& choices, const QString& separator) {
    QStringList names;
    for (const OptionChoice& c : choices)
        names << c.name;
    return names.join(separator);
}

// The options and their help; QCommandLineParser reads the line and lays out the help.
struct Options {
    explicit Options(const QList<OptionChoice>& lptChoices) : lptChoices(lptChoices) {
        QStringList meanings;
        for (const OptionChoice& c : lptChoices)
            meanings << QStringLiteral("%1 (%2)").arg(c.name, c.meaning);
        lpt.setDescription(QStringLiteral("how the parallel port is reached: ") +
                           meanings.join(QStringLiteral(", ")) +
                           QStringLiteral("; without --lpt, backend= in Ventrolo.ini decides"));
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        // Qt prints the description as it stands: broken into lines here.
        parser.setApplicationDescription(QStringLiteral(
            "Drives one or two stepper motors through a PC parallel port or the GPIO lines of\n"
            "a Raspberry Pi. Tunes a magnetic-loop antenna to the frequency the transceiver\n"
            "reports over Yaesu CAT, Icom CI-V or the text CAT of Kenwood, Elecraft and\n"
            "current Yaesu rigs, or through rigctld, flrig or WSJT-X. Turns rotators and\n"
            "camera mounts, also for rotctld clients and from a web page, runs turning\n"
            "programs and turns at set times of day."));
        parser.addOptions({dir, lpt, portLog, headless, status, moves, version, help});
    }

    // "--dir needs a directory" for an option given without its value; empty for the others.
    QString needsValue(const QString& name) const {
        if (dir.names().contains(name))
            return QStringLiteral("--dir needs a directory");
        if (portLog.names().contains(name))
            return QStringLiteral("--port-log needs a file name");
        if (lpt.names().contains(name))
            return QStringLiteral("--lpt needs one of ") +
                   ChoiceNames(lptChoices, QStringLiteral(", "));
        return {};
    }

    QList<OptionChoice> lptChoices;
    QCommandLineOption dir{
        QStringLiteral("dir"),
        QStringLiteral("program directory holding Ventrolo.cfg, Ventrolo.ini, the tables and "
                       "logs (default: the executable's directory when it is writable and no "
                       "system directory such as /usr/bin, else $XDG_DATA_HOME/ventrolo, "
                       "that is ~/.local/share/ventrolo)"),
        QStringLiteral("DIR")};
    QCommandLineOption lpt{QStringLiteral("lpt"), QString(), QStringLiteral("BACKEND")};
    QCommandLineOption portLog{QStringLiteral("port-log"),
                               QStringLiteral("append one line per data-register write, <ms "
                                              "since start> <address> <value>, for checking "
                                              "the wiring"),
                               QStringLiteral("FILE")};
    QCommandLineOption headless{
        QStringLiteral("headless"),
        QStringLiteral("run without a display or windows: follow the rig, run the timer table "
                       "and serve rotator clients as the stored profile says; messages go to "
                       "the log (stderr), questions take their default answers")};
    QCommandLineOption status{QStringLiteral("status"),
                              QStringLiteral("with --headless: print the state of the station "
                                             "running in the program directory and exit (exit "
                                             "code 3 when none runs)")};
    QCommandLineOption moves{QStringLiteral("moves"),
                             QStringLiteral("with --headless: print the last N moves of the move "
                                            "log (default 20), one a line, and exit")};
    QCommandLineOption version{QStringLiteral("version"),
                               QStringLiteral("print the version and exit")};
    QCommandLineOption help{QStringList{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("print this help and exit")};
    QCommandLineParser parser;
};

// An option as the user typed it, without its value: "-frob" for the unknown name "frob".
QString AsTyped(const QStringList& arguments, const QString& name) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString typed = arguments[i].section(QLatin1Char('='), 0, 0);
        QString bare = typed;
        while (bare.startsWith(QLatin1Char('-')))
            bare.remove(0, 1);
        if (typed.startsWith(QLatin1Char('-')) && bare == name)
            return typed;
    }
    return QStringLiteral("--") + name;
}

// The usage line, wrapped like the help below it.
QString UsageLine(const QList<OptionChoice>& lptChoices) {
    const QStringList items{
        QStringLiteral("[--dir DIR]"),
        QStringLiteral("[--lpt %1]").arg(ChoiceNames(lptChoices, QStringLiteral("|"))),
        QStringLiteral("[--port-log FILE]"),
        QStringLiteral("[--headless [--status|--moves [N]]]"),
        QStringLiteral("[--version]"),
        QStringLiteral("[--help]")};
    const QString start = QStringLiteral("Usage: ventrolo");
    QString text = start;
    qsizetype lineStart = 0;
    for (const QString& item : items) {
        if (text.size() - lineStart + 1 + item.size() > 79) {
            text += QLatin1Char('\n') + QString(start.size(), QLatin1Char(' '));
            lineStart = text.lastIndexOf(QLatin1Char('\n')) + 1;
        }
        text += QLatin1Char(' ') + item;
    }
    return text;
}

} // namespace

QString CommandLineHelp(const QList<OptionChoice>& lptChoices) {
    const Options options(lptChoices);
    // Qt's first line names the executable as it was started; ours shows every option.
    const QString laidOut = options.parser.helpText();
    return UsageLine(lptChoices) + laidOut.mid(laidOut.indexOf(QLatin1Char('\n')));
}

QString VersionLine() {
    return QStringLiteral("Ventrolo %1 (%2)").arg(VersionText).arg(Revision);
}

CommandLineResult ParseCommandLine(const QStringList& arguments,
                                   const QList<OptionChoice>& lptChoices) {
    auto wrong = [](const QString& why) { return CommandLineResult{std::nullopt, why}; };
    Options o(lptChoices);
    if (!o.parser.parse(arguments)) {
        const QStringList unknown = o.parser.unknownOptionNames();
        if (!unknown.isEmpty())
            return wrong(QStringLiteral("unknown option '%1'").arg(AsTyped(arguments, unknown[0])));
        // A value is missing only after the last argument.
        QString last = arguments.isEmpty() ? QString() : arguments.last();
        while (last.startsWith(QLatin1Char('-')))
            last.remove(0, 1);
        const QString needs = o.needsValue(last);
        return wrong(needs.isEmpty() ? o.parser.errorText() : needs);
    }
    CommandLineOptions options;
    QStringList stray = o.parser.positionalArguments();
    if (o.parser.isSet(o.moves)) {
        options.moves = DefaultMoves;
        if (!stray.isEmpty()) {
            bool number = false;
            options.moves = stray.takeFirst().toInt(&number);
            if (!number || *options.moves < 1)
                return wrong(QStringLiteral("--moves takes a count from 1"));
        }
    }
    if (!stray.isEmpty())
        return wrong(QStringLiteral("unexpected argument '%1'").arg(stray[0]));

    options.showHelp = o.parser.isSet(o.help);
    options.showVersion = o.parser.isSet(o.version);
    options.headless = o.parser.isSet(o.headless);
    options.status = o.parser.isSet(o.status);
    if (options.status && !options.headless)
        return wrong(QStringLiteral("--status needs --headless"));
    if (options.moves && !options.headless)
        return wrong(QStringLiteral("--moves needs --headless"));
    if (options.moves && options.status)
        return wrong(QStringLiteral("--moves and --status go one at a time"));
    for (const QCommandLineOption* given : {&o.dir, &o.portLog, &o.lpt}) {
        if (o.parser.isSet(*given) && o.parser.value(*given).isEmpty())
            return wrong(o.needsValue(given->names().constFirst()));
    }
    options.directory = o.parser.value(o.dir);
    options.portLogFile = o.parser.value(o.portLog);
    if (o.parser.isSet(o.lpt)) {
        const QString given = o.parser.value(o.lpt);
        for (const OptionChoice& c : lptChoices) {
            if (given.trimmed().compare(c.name, Qt::CaseInsensitive) == 0)
                options.lpt = c.name;
        }
        if (options.lpt.isEmpty())
            return wrong(QStringLiteral("unknown --lpt backend '%1' (%2)")
                             .arg(given, ChoiceNames(lptChoices, QStringLiteral(", "))));
    }
    return {options, {}};
}

} // namespace core
