#pragma once

#include <QString>

namespace engine {

// The endless turning modes of the main window, whose buttons show their state.
// StopTurningAndFollowing() ends every one of them; their loops test their flag between turns.
struct TurningModes {
    bool shuttleOn = false;
    bool pulsOn = false;
    bool calibrationRunning = false;

    QString shuttleCaption() const {
        return shuttleOn ? QStringLiteral("S&huttle  on") : QStringLiteral("S&huttle  off");
    }
    QString pulsCaption() const {
        return pulsOn ? QStringLiteral("   Pu&ls   on") : QStringLiteral("   Pu&ls    off");
    }
    QString calibrationCaption() const {
        return calibrationRunning ? QStringLiteral("Ru&nning") : QStringLiteral("Calibratio&n");
    }
    void reset() { shuttleOn = pulsOn = calibrationRunning = false; }
};

} // namespace engine
