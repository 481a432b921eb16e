#include "station/RotorDatagrams.h"

#include <QXmlStreamReader>
#include <cmath>

namespace station {

namespace {

// Datagrams larger than this are no rotator's command.
constexpr qsizetype MaxDatagram = 2048;

std::optional<double> Degrees(const QString& text) {
    bool number = false;
    const double value = text.trimmed().toDouble(&number);
    if (!number || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// The heading on the compass in tenths of a degree, 0 to 3599: a rotator whose limits allow
// more than one turn points where heading modulo 360 does, and the loggers read 0 to 360 only.
long long CompassTenths(double degrees) {
    const long long tenths = std::llround(degrees * 10) % 3600;
    return tenths < 0 ? tenths + 3600 : tenths;
}

} // namespace

std::optional<LoggerRotorCommand> ParseLoggerRotorDatagram(QByteArrayView datagram) {
    if (datagram.size() > MaxDatagram)
        return std::nullopt;
    QXmlStreamReader xml(datagram.toByteArray());
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("N1MMRotor"))
        return std::nullopt;
    LoggerRotorCommand command;
    bool stop = false;
    std::optional<double> heading;
    while (!xml.atEnd() && !xml.hasError()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("stop"))
            stop = true;
        else if (xml.name() == QLatin1String("rotor"))
            command.rotor = xml.readElementText().trimmed();
        else if (xml.name() == QLatin1String("goazi"))
            heading = Degrees(xml.readElementText());
    }
    if (xml.hasError() && xml.error() != QXmlStreamReader::PrematureEndOfDocumentError)
        return std::nullopt;
    if (stop) {
        command.kind = LoggerRotorCommand::Kind::Stop;
        return command;
    }
    if (!heading)
        return std::nullopt;
    command.azimuth = *heading;
    return command;
}

QByteArray LoggerRotorHeading(const QString& rotor, double degrees) {
    return rotor.toUtf8() + '@' + QByteArray::number(CompassTenths(degrees));
}

std::vector<PstRotatorCommand> ParsePstRotatorDatagram(QByteArrayView datagram) {
    using Kind = PstRotatorCommand::Kind;
    std::vector<PstRotatorCommand> commands;
    if (datagram.size() > MaxDatagram)
        return commands;
    QXmlStreamReader xml(datagram.toByteArray());
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("PST"))
        return commands;
    while (!xml.atEnd() && !xml.hasError()) {
        xml.readNext();
        if (xml.isCharacters()) {
            const QString text = xml.text().trimmed().toString();
            if (text.compare(QLatin1String("AZ?"), Qt::CaseInsensitive) == 0)
                commands.push_back({Kind::AskAzimuth});
            else if (text.compare(QLatin1String("EL?"), Qt::CaseInsensitive) == 0)
                commands.push_back({Kind::AskElevation});
            continue;
        }
        if (!xml.isStartElement())
            continue;
        const QString name = xml.name().toString().toUpper();
        if (name == QLatin1String("AZIMUTH") || name == QLatin1String("ELEVATION")) {
            if (const auto degrees = Degrees(xml.readElementText()))
                commands.push_back(
                    {name == QLatin1String("AZIMUTH") ? Kind::Azimuth : Kind::Elevation, *degrees});
        } else if (name == QLatin1String("STOP")) {
            commands.push_back({Kind::Stop});
        } else if (name == QLatin1String("PARK")) {
            commands.push_back({Kind::Park});
        }
    }
    return commands;
}

QByteArray PstRotatorReply(PstRotatorCommand::Kind asked, double degrees) {
    if (asked == PstRotatorCommand::Kind::AskElevation)
        return "EL:" + QByteArray::number(degrees, 'f', 1) + '\r';
    return "AZ:" + QByteArray::number(CompassTenths(degrees) / 10.0, 'f', 1) + '\r';
}

} // namespace station
