#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace station {

// What `--status` tells of a running station.
struct StationStatus {
    long long counter = 0;
    QString degrees; // as the main window shows it; empty when degrees are off
    int stepper = 1;
    bool turning = false;
    std::optional<long long> target; // steps, while a turn has one
    bool following = false;          // the rig link is open and the table locked
    QString rig;                     // the link, e.g. "rigctld 127.0.0.1:4532"; empty: closed
    std::optional<qint64> frequencyHz;
    bool transmitting = false;
    QString hold;                   // why no turn may start now ("the rig transmits"); empty: none
    std::optional<int> rotctldPort; // while the rotator server listens
    bool timerRunning = false;
    // When following turns: "continuous", "rested" or "manual", with ", within dead band" while
    // the dead band keeps the stepper still.
    QString follow = QStringLiteral("continuous");
    bool settled = true;              // no turn, and the motor stood still for its settle time
    std::optional<QDateTime> arrival; // while moving: when the turn should end
    QString rigAlarm;  // "no reading from the rig for 60 s" while following; empty: none
    QString rigNotice; // "announcements stopped; polling carries following"; empty: none
    // "Stepper 1 may stand up to 40 steps from its counter: ..." since an abnormal end, until
    // its position is found; empty: none
    QString positionDoubt;
};

// One "key: value" line each, in a fixed order with fixed English keys that scripts may read:
// counter, degrees, stepper, turning, target, following, rig, frequency, transmit, hold,
// rotctld, timer, follow, motion (moving or settled), arrival (the time a turn should end, as
// HH:mm:ss.zzz), alarm (the rig silent while followed), notice (what following rests on when not
// on the link as usual), doubt (a stepper that may not stand at its counter since an abnormal
// end). Absent values read "none" or "off", yes/no answer the flags.
QString StatusText(const StationStatus& status);

} // namespace station
