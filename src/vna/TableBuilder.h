#pragma once

#include "vna/StepperMover.h"
#include "vna/TableBuild.h"
#include "vna/TableRows.h"
#include "vna/Vna.h"

#include <QObject>
#include <optional>
#include <vector>

namespace platform {
class Platform;
}

namespace vna {

// Builds a frequency table with a VNA: turns the stepper through the positions asked,
// sweeping at each stop, until the loop's resonance has crossed the band; then measures the
// band at finer stops with narrow sweeps around the resonance expected there; chooses the
// rows; measures repeatability and backlash; turns to random frequencies of the band with the
// new table and checks that the loop resonates within a quarter of its bandwidth there; and
// only then writes the table (atomically) with the CSV of every measurement beside it.
//
// Nothing turns or sweeps while the rig transmits: the build waits, and a sweep during which
// transmit began is done again. A VNA that fails twice in a row stops the build with its
// message. Stopping (cancel) ends the turn under way at its next step and leaves the stepper
// where it stopped; a build that does not end in Built writes nothing, so an old table stays
// as it was. The stepper approaches every measured position from below, as the overlay does.
class TableBuilder : public QObject {
    Q_OBJECT
public:
    TableBuilder(platform::Platform& platform, Vna& vna, StepperMover& mover);

    // Returns when the table is built, the build failed or was cancelled. The event loop runs
    // meanwhile; the caller keeps this object alive until it returns.
    BuildResult run(const BuildRequest& request);
    // From a handler while run() waits: the turn and the sweep under way end at once, and so
    // does the build.
    void cancel();
    bool running() const { return running_; }

    // The table's file for request.tablePath under the request's rule for an existing file;
    // the error text when the build may not write there.
    static Result<QString> TargetPath(const BuildRequest& request);

signals:
    void progressed(const vna::BuildProgress& progress);

private:
    struct Seen {
        bool ok = true; // false: the build ends (failure or cancel)
        std::optional<Resonance> resonance;
    };

    bool halted() const { return cancelled_ || !failure_.isEmpty(); }
    bool fail(const QString& why);
    bool waitWhileTransmitting();
    bool moveTo(long position);
    bool approach(long position, int side);
    Seen measure(double centreHz, double halfWidthHz, int points, Measurement::Phase phase,
                 int side);
    // A measurement near expectedHz that finds the resonance inside its sweep, widening the
    // sweep when the resonance lies beyond it.
    Seen measureAround(double expectedHz, double halfWidthHz, Measurement::Phase phase, int side);
    // Emits the progress; built: the build is done, all of it.
    void report(const QString& activity, bool built = false);

    bool search();
    bool measureBand();
    bool assessRepeatability();
    bool checkAccuracy();
    bool write();
    BuildResult finish();

    // The resonance expected at position, from what was measured so far.
    double expectedHzAt(long position) const;

    platform::Platform& platform_;
    Vna& vna_;
    StepperMover& mover_;

    BuildRequest request_;
    BuildResult result_;
    bool running_ = false;
    bool cancelled_ = false;
    QString failure_;
    double startMs_ = 0;
    int coarsePoints_ = 201;
    int finePoints_ = 101;
    std::vector<CurvePoint> sightings_; // from the search
    std::vector<CurvePoint> curve_;     // from the band's measurement
    double bandwidthHz_ = 0;            // the latest bandwidth measured
    long fineStep_ = 1;
    long lowFine_ = 0;
    long highFine_ = 0;
    int sweepsDone_ = 0;
    int sweepsPlanned_ = 0;
    double shownFraction_ = 0;
    QString activity_;
};

} // namespace vna
