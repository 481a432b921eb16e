#pragma once

#include "core/ProgramState.h"
#include "table/TableData.h"
#include "vna/Resonance.h"

#include <QString>
#include <vector>

// What the table builder is asked and what it answers.
namespace vna {

struct BuildRequest {
    enum class Spacing {
        EveryKHz,        // a row every everyKHz, and one at each end of the band
        WhereCurveBends  // as few rows as keep the table within a step of the curve measured
    };
    // What is done with a table file that exists already.
    enum class Existing {
        Refuse,   // the build does not start
        Overwrite,
        NewName   // "40m-2.cat", the first free name (the headless station's choice)
    };

    double lowKHz = 0; // the band
    double highKHz = 0;
    long lowPosition = 0; // the positions searched
    long highPosition = 0;
    Spacing spacing = Spacing::EveryKHz;
    double everyKHz = 5;
    int interpolType = 2; // 1/x²: a linear capacitor's positions are a straight line in it
    // The table's header: the stepper's limits and steps per 360 as the table file keeps them.
    core::Long minPosition = 0;
    core::Long maxPosition = 0;
    core::Single stepsPer360 = 200;
    int repeatPositions = 3; // positions where repeatability and backlash are measured
    int approaches = 3;      // approaches from each side at each of them
    int checkSamples = 10;   // random frequencies of the band turned to at the end
    unsigned seed = 1;       // of those frequencies
    QString tablePath;
    Existing existing = Existing::Refuse;
};

// One sweep's finding, as the CSV beside the table lists it.
struct Measurement {
    enum class Phase { Search, Measure, Repeat, Check };
    double seconds = 0; // since the build started
    Phase phase = Phase::Search;
    long position = 0;
    int approach = +1; // +1 the stepper came from below, -1 from above
    Resonance resonance;
};

// The spread of the resonance over repeated approaches, and the backlash: the difference
// between approaching from below and from above.
struct RepeatabilityAt {
    long position = 0;
    double spreadKHz = 0; // the widest spread of either side's approaches
    double spreadSteps = 0;
    double backlashSteps = 0;
};
struct Repeatability {
    std::vector<RepeatabilityAt> positions;
    double spreadKHz = 0;
    double spreadSteps = 0;
    double backlashSteps = 0;
    int overlaySteps = 0; // the overlay that takes up the backlash seen
};

struct AccuracyCheck {
    int passed = 0; // turns that landed within a quarter of the loop's bandwidth
    int total = 0;
};

struct BuildResult {
    enum class Status { Built, Cancelled, Failed };
    Status status = Status::Failed;
    QString message; // for the user
    QString tablePath;
    QString csvPath;
    table::TableData table;
    std::vector<Measurement> measurements;
    Repeatability repeatability;
    AccuracyCheck check;
};

struct BuildProgress {
    double fraction = 0;    // 0..1
    double secondsLeft = 0; // estimated
    QString activity;       // "Searching the resonance", "Waiting: the rig transmits"
};

} // namespace vna
