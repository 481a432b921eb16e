#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace core {

// ventrolo [--dir DIR] [--lpt auto|sim|ppdev|direct|gpio] [--port-log FILE]
//          [--headless [--status|--moves [N]]] [--version] [--help]
// How many moves --moves prints without a count.
constexpr int DefaultMoves = 20;

struct CommandLineOptions {
    QString directory;   // empty: the default program directory
    QString lpt;         // the --lpt choice by its name; empty: Ventrolo.ini decides
    QString portLogFile; // empty: no port log
    bool headless = false; // no display: the station runs without windows
    bool status = false;   // with headless: print the running station's state and exit
    std::optional<int> moves; // with headless: print the move log's last this many and exit
    bool showVersion = false;
    bool showHelp = false;
};

struct CommandLineResult {
    std::optional<CommandLineOptions> options; // nullopt when the line is wrong
    QString error;                             // what is wrong, for the user
};

// One value an option takes and what it means, for the help ("sim", "simulated").
struct OptionChoice {
    QString name;
    QString meaning;
};

// Reads the command line (arguments[0] is the program). lptChoices are the values --lpt takes,
// in the order the help lists them; they are matched without regard to case and blanks.
CommandLineResult ParseCommandLine(const QStringList& arguments,
                                   const QList<OptionChoice>& lptChoices);
// The text of --help: the usage line, what the program does and every option. The manual page
// is made from it.
QString CommandLineHelp(const QList<OptionChoice>& lptChoices);
QString VersionLine();

} // namespace core
