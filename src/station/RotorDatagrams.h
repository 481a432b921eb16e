#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>
#include <vector>

namespace station {

// The rotator datagrams that contest loggers and rotator programs send over UDP, beside
// rotctld. Bytes in, values out; the server does the I/O.
//
// N1MM Logger+'s rotor datagram, to its rotor program's port (12040):
//   <N1MMRotor><rotor>name</rotor><goazi>90.0</goazi><offset>0.0</offset>
//     <bidirectional>0</bidirectional><freqband>14.0</freqband></N1MMRotor>
//   <N1MMRotor><stop><rotor>name</rotor><freqband>21.0</freqband></stop></N1MMRotor>
// and the heading it is told back, broadcast to its port 13010: "name@900", tenths of a degree.
// Headings told back are on the compass, 0 to 359.9: 720 degrees is "name@0".
struct LoggerRotorCommand {
    enum class Kind { GoTo, Stop };
    Kind kind = Kind::GoTo;
    double azimuth = 0; // degrees, finite (GoTo)
    QString rotor;      // the rotor's name as the logger knows it
};
// nullopt for anything else: another root, no goazi or stop, a heading that is no number.
std::optional<LoggerRotorCommand> ParseLoggerRotorDatagram(QByteArrayView datagram);
QByteArray LoggerRotorHeading(const QString& rotor, double degrees);

// PstRotator's UDP commands, to its port (12000), several in one datagram:
//   <PST><AZIMUTH>85</AZIMUTH></PST>  <PST><ELEVATION>10</ELEVATION></PST>
//   <PST><STOP>1</STOP></PST>  <PST><PARK>1</PARK></PST>  <PST>AZ?</PST>  <PST>EL?</PST>
// A query is answered to the sender's address at the port above the command port: "AZ:85.0\r",
// the azimuth on the compass (0 to 359.9, as for the logger).
struct PstRotatorCommand {
    enum class Kind { Azimuth, Elevation, Stop, Park, AskAzimuth, AskElevation };
    Kind kind = Kind::Stop;
    double degrees = 0; // finite (Azimuth, Elevation)
};
// Empty for a datagram that is not one (or holds no command this station knows).
std::vector<PstRotatorCommand> ParsePstRotatorDatagram(QByteArrayView datagram);
QByteArray PstRotatorReply(PstRotatorCommand::Kind asked, double degrees);

} // namespace station
