#include "core/CommandLine.h"

#include "core/VersionTexts.h"

namespace core {

QString CommandLineHelp() {
    return QStringLiteral(
        "Usage: ventrolo [--dir DIR] [--lpt auto|sim|ppdev|direct] [--port-log FILE]\n"
        "                [--version] [--help]\n"
        "\n"
        "Drives one or two stepper motors through a PC parallel port.\n"
        "\n"
        "  --dir DIR        program directory holding Ventrolo.cfg, the tables and logs\n"
        "                   (default: the executable's directory when writable, else\n"
        "                   $XDG_DATA_HOME/ventrolo)\n"
        "  --lpt BACKEND    parallel port access: auto (default: ppdev when the device\n"
        "                   opens, else simulated), sim, ppdev (/dev/parportN) or\n"
        "                   direct (I/O ports, root only)\n"
        "  --port-log FILE  append one line per data-register write:\n"
        "                   <ms since start> <address> <value>\n"
        "  --version        print the version and exit\n"
        "  --help           print this help and exit\n");
}

QString VersionLine() {
    return QStringLiteral("Ventrolo %1 (%2)").arg(VersionText).arg(Revision);
}

CommandLineResult ParseCommandLine(const QStringList& arguments) {
    CommandLineOptions options;
    auto wrong = [](const QString& why) { return CommandLineResult{std::nullopt, why}; };
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString name = arguments[i];
        QString value;
        bool hasValue = false;
        if (const qsizetype eq = name.indexOf(QLatin1Char('='));
            name.startsWith(QLatin1String("--")) && eq > 0) {
            value = name.mid(eq + 1);
            name = name.left(eq);
            hasValue = true;
        }
        auto takeValue = [&]() -> bool {
            if (hasValue)
                return true;
            if (i + 1 >= arguments.size())
                return false;
            value = arguments[++i];
            return true;
        };
        if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            options.showHelp = true;
        } else if (name == QLatin1String("--version")) {
            options.showVersion = true;
        } else if (name == QLatin1String("--dir")) {
            if (!takeValue() || value.isEmpty())
                return wrong(QStringLiteral("--dir needs a directory"));
            options.directory = value;
        } else if (name == QLatin1String("--port-log")) {
            if (!takeValue() || value.isEmpty())
                return wrong(QStringLiteral("--port-log needs a file name"));
            options.portLogFile = value;
        } else if (name == QLatin1String("--lpt")) {
            if (!takeValue() || value.isEmpty())
                return wrong(QStringLiteral("--lpt needs one of auto, sim, ppdev, direct"));
            options.lpt = value;
        } else if (name.startsWith(QLatin1Char('-'))) {
            return wrong(QStringLiteral("unknown option '%1'").arg(name));
        } else {
            return wrong(QStringLiteral("unexpected argument '%1'").arg(name));
        }
    }
    return {options, {}};
}

} // namespace core
