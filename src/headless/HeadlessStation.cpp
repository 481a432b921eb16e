#include "headless/HeadlessStation.h"

#include "headless/HeadlessLogging.h"

#include <QtMath>

namespace headless {

HeadlessStation::HeadlessStation(station::Station& station, QObject* parent)
    : QObject(parent), station_(station),
      statusServer_([this] { return station::StatusText(status()); }) {
    connect(&station_.engine(), &engine::Engine::turnStarted, this, [this] { turning_ = true; });
    connect(&station_.engine(), &engine::Engine::turnEnded, this, [this] { turning_ = false; });
    connect(&station_.mainInit(), &engine::MainInit::windowsShown, this,
            &HeadlessStation::showWindows);
    connect(&station_.exitPath(), &engine::ExitPath::ended, this, [this] {
        statusServer_.Close();
        emit ended();
    });
}

HeadlessStation::~HeadlessStation() = default;

bool HeadlessStation::start() {
    if (!station_.load())
        return false;
    station_.mainInit().InitMain(false);
    station_.serve();
    if (station_.ending())
        return false;
    QString error;
    if (!statusServer_.Listen(station_.programDirectory(), &error))
        qCWarning(lcHeadless).noquote() << "--status cannot be answered:" << error;
    return true;
}

station::StationStatus HeadlessStation::status() const {
    const core::ProgramState& state = station_.state();
    station::StationStatus status;
    status.counter = state.StepCounter;
    if (state.StepsPer360 > 0)
        status.degrees = QString::number(state.CurrentDegrees, 'f', 1);
    status.stepper = int(state.SelectedStepper) + 1;
    status.turning = turning_;
    if (turning_)
        status.target = state.TargetPosition;
    const rig::RigTuning& tuning = station_.tuning();
    if (tuning.portOpen()) {
        status.rig = tuning.connection().lineText();
        status.following = tuning.locked();
        if (tuning.CatFrequency() > 0)
            status.frequencyHz = qRound64(double(tuning.CatFrequency()) * 1000);
        status.transmitting = tuning.transmitting();
    }
    if (station_.rotator().listening())
        status.rotctldPort = station_.rotator().port();
    status.timerRunning = station_.timer() && station_.timer()->timerEnabled();
    return status;
}

void HeadlessStation::showWindows(const engine::StartWindows& windows) {
    if (station_.ending())
        return;
    if (windows.table && !station_.following())
        startFollowing();
    if (windows.timer && !station_.timer())
        startTimer();
}

void HeadlessStation::startFollowing() {
    if (!station_.openFollowing())
        return;
    // The rig keeps its frequency: the stepper goes where the dial is.
    if (station_.tuning().OpenLink(false))
        qCInfo(lcHeadless).noquote() << "following the rig through the table"
                                     << station_.state().TableFileName.mid(1);
    else
        qCWarning(lcHeadless) << "the rig link did not open: the stepper does not follow";
}

void HeadlessStation::startTimer() {
    const program::TimerTable& timer = station_.loadTimer();
    qCInfo(lcHeadless) << "the timer table runs:" << timer.records().size() << "turns";
}

} // namespace headless
