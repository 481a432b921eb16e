#include "headless/HeadlessStation.h"

#include "headless/HeadlessLogging.h"

namespace headless {

HeadlessStation::HeadlessStation(station::Station& station, QObject* parent)
    : QObject(parent), station_(station) {
    connect(&station_.mainInit(), &panel::MainInit::windowsShown, this,
            &HeadlessStation::showWindows);
    connect(&station_.exitPath(), &panel::ExitPath::ended, this, &HeadlessStation::ended);
    // Also when a taken port comes free later.
    connect(&station_.web(), &web::WebServer::listeningChanged, this,
            &HeadlessStation::tellWebAddress);
}

HeadlessStation::~HeadlessStation() = default;

bool HeadlessStation::start() {
    if (!station_.load())
        return false;
    station_.mainInit().InitMain(false);
    station_.serve();
    return !station_.ending();
}

void HeadlessStation::tellWebAddress(bool listening) {
    if (!listening)
        return;
    const web::WebServer& web = station_.web();
    // What a browser elsewhere needs to come in.
    const QString address = web.address().protocol() == QAbstractSocket::IPv6Protocol
                                ? QStringLiteral("[%1]").arg(web.address().toString())
                                : web.address().toString();
    const QString line = QStringLiteral("web server on http://%1:%2/").arg(address).arg(web.port());
    // Where the token is, not the token: a log is read by more people than the settings.
    qCInfo(lcHeadless).noquote()
        << (web.tokenRequired()
                ? line + QStringLiteral("; its token is [web] token= in ") + station_.settingsFile()
                : line);
}

void HeadlessStation::showWindows(const panel::StartWindows& windows) {
    if (station_.ending())
        return;
    if (windows.table && !station_.following())
        startFollowing();
    else if (!linkTried_) {
        // Whoever expected following learns why there is none, and how to have it.
        if (!windows.table)
            qCInfo(lcHeadless) << "the stepper does not follow the rig: its table window was "
                                  "closed when the settings were saved (close the desktop "
                                  "program with the table window open to follow)";
        watchRig();
    }
    linkTried_ = true;
    if (windows.timer && !station_.timer())
        startTimer();
}

void HeadlessStation::watchRig() {
    // Whatever else runs, a turn waits while the rig transmits.
    if (station_.watchRig())
        qCInfo(lcHeadless) << "the rig link is open: no turning while the rig transmits";
    else
        qCWarning(lcHeadless) << "the rig link did not open: turns do not wait while the rig "
                                 "transmits";
}

void HeadlessStation::startFollowing() {
    if (!station_.openFollowing())
        return;
    // The rig keeps its frequency: the stepper goes where the dial is.
    if (station_.tuning().port().OpenLink(false))
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
