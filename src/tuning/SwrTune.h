#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "platform/Platform.h"
#include "rig/RigConnection.h"
#include "tuning/RigState.h"
#include "tuning/SwrTuneSettings.h"

#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace tuning {

// The SWR tune: a touch-up of the loop by the rig's own SWR meter. It remembers the rig's mode
// and power, sets a low-power carrier (CW, AM or FM, whichever the rig has first), keys it,
// visits the positions around the table's one reading the SWR at each once it has settled,
// unkeys, turns to the lowest reading and sets mode and power back.
//
// Keyed, its turns are the only ones the engine's transmit gate lets through (swrTuneKeyed).
// Whatever ends it early - Stop, Esc, the time keyed running out, a read that fails, the link
// closing, the rig's frequency or mode changing or its transmit dropping under it - releases
// the PTT first, then the rig is set back; the stepper stays where it stood. It refuses a
// carrier above maxPowerW, a link that cannot set the power (unless all the rig can give is
// within maxPowerW: then it is keyed at the rig's own setting), a rig already transmitting.
class SwrTune : public QObject {
    Q_OBJECT

public:
    // Time from the end of a turn to the reading at its position, in ms.
    static constexpr double SettleMs = 150;
    // Longest wait for one answer of the rig, in ms.
    static constexpr double ReplyLimitMs = 2000;

    // shown: what the rig shows, its PTT and mode.
    SwrTune(const core::ProgramState& state, platform::Platform& platform, engine::Engine& engine,
            const RigState& shown, QObject* parent = nullptr);

    void setSettings(const SwrTuneSettings& settings) { settings_ = settings; }
    const SwrTuneSettings& settings() const { return settings_; }

    // Runs the tune around position center on the open link, with its meter; returns when it
    // has ended, the rig unkeyed. The user is told why it refused or ended early.
    void Run(rig::RigConnection& rig, rig::SwrMeter* meter, core::Long center);
    // Ends a running tune: the PTT is released at once.
    void Stop();
    // The link is about to close: the tune ends as by Stop, and the rig's mode and power are
    // set back at once, while the link can still carry them.
    void PortClosing();
    // The rig does not transmit although the tune keyed it.
    void TransmitDropped();

    bool running() const { return running_; }
    // The carrier is on: the engine lets the tune's turns through, no others.
    bool keyed() const { return keyed_; }
    // Why the link, with this meter, offers no tune; empty where it does.
    static QString Unavailable(const rig::RigConnection& rig, const rig::SwrMeter* meter);
    // Why the meter's rig is not keyed at the power settings allow; empty where it is (its power
    // set, or all it can give within maxPowerW).
    static QString PowerRefusal(const rig::SwrMeter& meter, const SwrTuneSettings& settings);
    QString Caption() const { return caption_; }
    // What a tune does to the rig, for the window.
    QString ToolTip() const;
    // What the last tune found: position and SWR; nullopt when it ended early.
    std::optional<std::pair<core::Long, double>> result() const { return result_; }

signals:
    // running(), keyed() or Caption() changed.
    void changed();

private:
    struct Sample {
        core::Long position;
        double swr;
    };
    // Ends the tune early with reason: the PTT off first.
    void abort(const QString& reason);
    void unkey();
    bool goesOn() const { return running_ && reason_.isEmpty(); }
    // One reading of the rig; nullopt when none came in time.
    std::optional<rig::RigReading> read();
    std::optional<double> await(const std::function<void(rig::SwrMeter::Value)>& ask);
    bool awaitDone(const std::function<void(rig::SwrMeter::Done)>& ask);
    // A reading while keyed that tells of anything the tune did not do: empty when all is as
    // it left it.
    QString unexpected(const std::optional<rig::RigReading>& reading) const;
    // Turns to position and reads its SWR once it has settled; false when the tune ended.
    bool visit(core::Long position);
    void restore();
    void tell(const QString& text);
    // The position to end at: the middle of the longest run of lowest readings.
    static core::Long Lowest(const std::vector<Sample>& samples);

    const core::ProgramState& state_;
    platform::Platform& platform_;
    engine::Engine& engine_;
    const RigState& shown_;
    SwrTuneSettings settings_;
    std::unique_ptr<platform::Timer> keyLimit_;

    rig::RigConnection* rig_ = nullptr; // while running
    rig::SwrMeter* meter_ = nullptr;
    bool running_ = false;
    bool keyed_ = false;
    bool unkeySent_ = true; // the last release of its PTT went out to the rig
    bool turning_ = false;  // one of its turns is under way
    QString reason_;        // why it ended early
    double keyedMs_ = 0;
    double keyedSinceMs_ = 0;
    int savedMode_ = 0;
    std::optional<double> savedPowerW_;
    bool modeChanged_ = false;
    bool powerChanged_ = false;
    bool powerAsked_ = false; // the carrier's power is asked for, the answer awaited
    bool setBack_ = false;    // restore() has run
    // The rig as keyed: what every later reading must say too.
    std::optional<float> keyedKHz_;
    std::optional<std::uint8_t> keyedModeCode_;
    int keyedModeIndex_ = 0;
    // A reading asked for and not yet answered (shared with the link's answer).
    std::shared_ptr<std::optional<rig::RigReading>> reading_;
    std::vector<Sample> samples_;
    std::optional<std::pair<core::Long, double>> result_;
    QString caption_;
};

} // namespace tuning
