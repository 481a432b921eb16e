#pragma once

#include "engine/BusyLock.h"
#include "engine/TurningModes.h"
#include "platform/Platform.h"

#include <QObject>

namespace panel {

// The main window's endless turning modes (shuttle, pulse, calibration) and its busy lock. The
// panels switch them; the engine, given both at construction, honours them at every turn and
// ends the modes at every stop.
class WindowModes : public QObject {
    Q_OBJECT

public:
    explicit WindowModes(platform::Platform& platform, QObject* parent = nullptr);

    engine::TurningModes& modes() { return modes_; }
    const engine::TurningModes& modes() const { return modes_; }
    engine::BusyLock& busyLock() { return busyLock_; }

    // Tells that a mode was switched on or off (or a stop ended them).
    void ModesChanged() { emit modesChanged(); }

signals:
    // The captions of the shuttle, pulse and calibration buttons.
    void modesChanged();

private:
    engine::TurningModes modes_;
    engine::BusyLock busyLock_;
};

} // namespace panel
