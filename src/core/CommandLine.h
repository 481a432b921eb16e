#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace core {

// ventrolo [--dir DIR] [--lpt auto|sim|ppdev|direct] [--port-log FILE] [--version] [--help]
struct CommandLineOptions {
    QString directory;   // empty: the default program directory
    QString lpt;         // the --lpt backend as given (the port checks it); empty: Ventrolo.ini
    QString portLogFile; // empty: no port log
    bool showVersion = false;
    bool showHelp = false;
};

struct CommandLineResult {
    std::optional<CommandLineOptions> options; // nullopt when the line is wrong
    QString error;                             // what is wrong, for the user
};

CommandLineResult ParseCommandLine(const QStringList& arguments);
QString CommandLineHelp();
QString VersionLine();

} // namespace core
