#pragma once

#include "panel/MainInit.h"
#include "station/Station.h"

#include <QObject>

namespace headless {

// The station's face without a display: what the stored profile shows runs alone. A table
// window shown is following the rig through the stepper's table (the link opened as a user
// would, without retuning the rig); without it the link opens all the same, for the transmit
// gate alone; a timer window shown is the timer table running; the rotator server runs when
// enabled. The way out (a signal) ends the event loop.
class HeadlessStation : public QObject {
    Q_OBJECT

public:
    explicit HeadlessStation(station::Station& station, QObject* parent = nullptr);
    ~HeadlessStation() override;

    // Loads and starts the station; false when it ended meanwhile.
    bool start();

signals:
    // The station has saved and ended.
    void ended();

private:
    void showWindows(const panel::StartWindows& windows);
    void startFollowing();
    void watchRig();
    void startTimer();
    // Where the web page is, with the token a browser elsewhere needs.
    void tellWebAddress(bool listening);

    station::Station& station_;
    bool linkTried_ = false; // once, at the start: a stepper switch does not open it again
};

} // namespace headless
