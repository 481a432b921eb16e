#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace core {

enum class LptBackendChoice { Auto, Simulated, Ppdev, DirectIo };

// ventrolo [--dir DIR] [--lpt auto|sim|ppdev|direct] [--port-log FILE] [--version] [--help]
struct CommandLineOptions {
    QString directory; // empty: the default program directory
    LptBackendChoice lpt = LptBackendChoice::Auto;
    bool lptGiven = false; // --lpt was on the line (else Ventrolo.ini chooses)
    QString portLogFile;   // empty: no port log
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
