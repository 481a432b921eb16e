#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "platform/Platform.h"
#include "rig/RigConnection.h"
#include "tuning/RigState.h"

#include <QObject>
#include <QString>
#include <optional>

namespace tuning {

// The S-meter peak search (cmdCalibreer): turns through 30 positions around the present one,
// reading the rig's S-meter at each, then to the loudest (back to the start when the readings
// are flat). Esc, a second click, our PTT or the port closing end it where the stepper stands.
class PeakSearch : public QObject {
    Q_OBJECT

public:
    // shown: what the rig shows, whose S-meter the search resets when it ends.
    PeakSearch(const core::ProgramState& state, platform::Platform& platform,
               engine::Engine& engine, RigState& shown, QObject* parent = nullptr);

    // Runs the search on the open rig link; returns when it has ended.
    void Run(rig::RigConnection& rig);
    // Ends a running search after its present step.
    void Stop();
    // As Stop, and a reading awaited is given up: none comes on a closed port.
    void PortClosed();
    // The rig's answer to the S-meter request.
    void sMeterArrived(std::optional<float> value);

    bool searching() const { return searching_; }
    QString Caption() const { return caption_; }

signals:
    // searching() or Caption() changed.
    void changed();

private:
    bool goesOn() const;
    std::optional<float> readSMeter();

    const core::ProgramState& state_;
    platform::Platform& platform_;
    engine::Engine& engine_;
    RigState& shown_;
    rig::RigConnection* rig_ = nullptr; // while searching
    bool searching_ = false;
    bool stopped_ = false;
    bool replyAwaited_ = false;
    std::optional<float> reply_;
    QString caption_;
};

} // namespace tuning
