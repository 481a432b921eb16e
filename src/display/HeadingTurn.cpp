#include "display/HeadingTurn.h"

#include "display/DialGeometry.h"

namespace display {

void TurnToHeading(engine::Engine& engine, const core::ProgramState& state, double heading) {
    const core::Long target = HeadingTarget(heading, state.StepCounter, state.DegreesPerStep,
                                            state.MinPosition, state.MaxPosition);
    engine.TurnTo(engine::TurnRequest{target, engine::TurnOrigin::Window}.replacing());
}

} // namespace display
