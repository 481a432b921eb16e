#pragma once

#include "core/ProgramState.h"
#include "engine/SpeedRamp.h"
#include "engine/StepTimeline.h"
#include "platform/LptPort.h"
#include "platform/SteppingThread.h"
#include "port/StepDirSettings.h"
#include "port/StepPulses.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

namespace engine {

// What a run of steps needs to know, taken from the program's state by the GUI thread as it
// starts; the run reads nothing else of it, so it may run on the stepping thread.
struct StepJob {
    std::int64_t steps = 0;               // the steps to make at most
    std::optional<std::uint16_t> address; // the data register; none: steps are counted only
    std::size_t phase = 0;                // the place in the register values of the first step
    double delayLimitMs = 0;              // above 0: no step waits longer (an overlay move)
    double leadMs = 0; // the transmit-inhibit line's lead left: no write before it
    // The status register read before each step: the run ends when its switch inputs change.
    std::optional<std::uint16_t> statusAddress;
    std::uint8_t switchesAtStart = 0; // the switch bits of the status register when it started
    // A step/dir driver: each step is its STEP pulses on top of values[0] (ENABLE and DIR
    // set), which is written first and held dirSetupUs before the first pulse.
    std::optional<port::StepDirSettings> stepDir;
    // Above 0: a step's pulses come within this, however long its delay (a slow turn's steps
    // are made on the GUI thread, which must not wait between them).
    double pulseSpanMs = 0;
};

// Why a run ended.
// TooFast: a step/dir driver was asked for pulses closer than the port keeps them.
enum class RunEnd { Arrived, Stopped, Held, SwitchChanged, TooFast };

// Whether a step/dir driver's pulses at delayMs per counted step come far enough apart: at
// least port::MinPulseSpacingUs, and STEP as long low as high.
bool PulsesKept(const port::StepDirSettings& stepDir, double delayMs);

// What the two threads share while a run goes on: the GUI thread sets the halt and the speed,
// the run publishes its steps.
struct StepControl {
    enum Halt : int { None, Stop, Hold, Recheck };
    std::atomic<int> halt{None};
    std::atomic<std::int64_t> made{0}; // steps made so far, each after its write
    std::atomic<core::Long> delayMs{0};
    std::atomic<bool> ramping{false};
    std::atomic<core::Long> rampDelayMs{-1}; // the ramp's last delay; -1 before the first
    std::atomic<bool> behind{false};
    // The register value of each step in the four-step cycle.
    std::array<std::atomic<std::uint8_t>, 4> values{};
    std::atomic<std::size_t> nextPhase{0};

    // Asks the run to end before its next step: a stop overrides a hold or a recheck.
    void request(Halt why) {
        int none = None;
        if (why == Stop)
            halt.store(Stop);
        else
            halt.compare_exchange_strong(none, why);
    }
};

// The switch bits of the status register: begin (or centre) and end.
inline constexpr std::uint8_t SwitchStatusBits = (4 | 8) << 3;

// The writes of every step of every turn, the slow turns' included. StartStepDir: a step/dir
// driver's ENABLE and DIR (base) written and held its dirSetupUs before the first pulse.
// WriteStep: the coil code value, or a step/dir driver's STEP pulses on top of base spread
// over periodUs from now (pulses is scratch space, reserved by the caller); edges are when the
// last STEP edges were written, kept by the caller from step to step.
struct StepEdges {
    double lastMs = -std::numeric_limits<double>::infinity();
    double lastRiseMs = -std::numeric_limits<double>::infinity();
};
void StartStepDir(const StepJob& job, std::uint8_t base, platform::StepClock& clock,
                  platform::LptPort& lpt);
void WriteStep(const StepJob& job, std::uint8_t value, std::uint8_t base, double periodUs,
               platform::StepClock& clock, platform::LptPort& lpt,
               std::vector<port::TimedWrite>& pulses, StepEdges& edges);

// The steps of one run, one at a time (a coil code, or a step/dir driver's pulses spread evenly
// over the step's period), each one delay after the one before on the timeline (the ramp's
// delays while ramping), until the steps are made or the control halts it. Writes to the port
// and reads it, reads the control and the ramp; nothing else but counted(), which a run made
// on the GUI thread calls once a step is counted, before it is written. RunSteps makes them in
// a loop, waiting on its clock; a slow turn makes each one from the event loop when it is due.
class StepRun {
public:
    StepRun(const StepJob& job, StepControl& control, StepTimeline& timeline,
            platform::StepClock& clock, platform::LptPort& lpt, SpeedRamp& ramp);

    // Makes the next step (before the first: the lead, and a step/dir driver's ENABLE and DIR):
    // nullopt when it was made, else why the run ends.
    std::optional<RunEnd> step(const std::function<void()>& counted = nullptr);
    // The delay after the step just made.
    core::Long delayMs() const { return delayMs_; }

private:
    const StepJob& job_;
    StepControl& control_;
    StepTimeline& timeline_;
    platform::StepClock& clock_;
    platform::LptPort& lpt_;
    SpeedRamp& ramp_;
    std::vector<port::TimedWrite> pulses_;
    StepEdges edges_;
    std::size_t phase_;
    bool begun_ = false;
    core::Long delayMs_ = 0;
};

// The one stepping loop: the steps of a StepRun, each waited for on the clock.
RunEnd RunSteps(const StepJob& job, StepControl& control, StepTimeline& timeline,
                platform::StepClock& clock, platform::LptPort& lpt, SpeedRamp& ramp,
                const std::function<void()>& counted = nullptr);

} // namespace engine
