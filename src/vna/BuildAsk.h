#pragma once

#include "core/ProgramState.h"
#include "vna/Sweep.h"
#include "vna/TableBuild.h"

#include <QString>
#include <optional>

namespace vna {

// What the owner asks of a build, as the table window's dialog and the web page take it.
struct BuildAsk {
    QString band;      // an amateur band's name ("40m"); empty: lowKHz..highKHz
    double lowKHz = 0; // when no band is named
    double highKHz = 0;
    std::optional<long> lowPosition; // the positions searched; default: the stepper's limits
    std::optional<long> highPosition;
    BuildRequest::Spacing spacing = BuildRequest::Spacing::EveryKHz;
    // nullopt: 5 kHz, or the next of 10, 20, 50, 100 ... kHz where 5 kHz make more rows than
    // the table holds
    std::optional<double> everyKHz;
    bool repeatability = true; // approaches from both sides at a few positions
};

// The build request for ask on the selected stepper of state, its table in directory named
// after the band ("40m.cat", or "7000-7200kHz.cat"); the text for the user when ask cannot be
// built (an unknown band, the band or the positions empty or beyond the limits).
Result<BuildRequest> MakeBuildRequest(const BuildAsk& ask, const core::ProgramState& state,
                                      const QString& directory, BuildRequest::Existing existing);

} // namespace vna
