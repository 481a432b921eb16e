#include "station/StationStatus.h"

namespace station {

namespace {

QString YesNo(bool value) {
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}

QString OrElse(const QString& value, const QString& absent) {
    const QString shown = value.trimmed(); // the window's numbers carry a leading blank
    return shown.isEmpty() ? absent : shown;
}

QString Frequency(qint64 hz) {
    return QStringLiteral("%1 Hz (%2 kHz)").arg(hz).arg(static_cast<double>(hz) / 1000, 0, 'f', 3);
}

} // namespace

QString StatusText(const StationStatus& status) {
    const QString none = QStringLiteral("none");
    const QString off = QStringLiteral("off");
    const std::pair<const char*, QString> lines[] = {
        {"counter", QString::number(status.counter)},
        {"degrees", OrElse(status.degrees, off)},
        {"stepper", QString::number(status.stepper)},
        {"turning", YesNo(status.turning)},
        {"target", status.target ? QString::number(*status.target) : none},
        {"following", YesNo(status.following)},
        {"rig", OrElse(status.rig, off)},
        {"frequency", status.frequencyHz ? Frequency(*status.frequencyHz) : none},
        {"transmit", YesNo(status.transmitting)},
        {"hold", OrElse(status.hold, none)},
        {"rotctld", status.rotctldPort ? QString::number(*status.rotctldPort) : off},
        {"timer", YesNo(status.timerRunning)},
        {"follow", status.follow},
        {"motion", status.settled ? QStringLiteral("settled") : QStringLiteral("moving")},
        {"arrival",
         status.arrival ? status.arrival->toString(QStringLiteral("HH:mm:ss.zzz")) : none},
        {"alarm", OrElse(status.rigAlarm, none)},
        {"notice", OrElse(status.rigNotice, none)},
        {"doubt", OrElse(status.positionDoubt, none)},
    };
    QString text;
    for (const auto& [key, value] : lines)
        text += QLatin1String(key) + QStringLiteral(": ") + value + u'\n';
    return text;
}

} // namespace station
