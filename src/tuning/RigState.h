#pragma once

#include "rig/RigConnection.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <unordered_map>

namespace tuning {

// What the program knows the rig to show, whichever link told it: the frequency label, the
// S-meter, the SWR, the dial lock, our PTT, the power and the mode button. It follows one link
// at a time, from its news and the results of the commands it was sent; the rig frame, the web
// API, the PTT, the peak search and the SWR tune read it here.
class RigState : public QObject {
    Q_OBJECT

public:
    RigState() = default;
    // Following link from the start.
    explicit RigState(rig::RigConnection& link) { follow(&link); }

    // Takes the news of link from now on (nullptr: none). What a link told is kept while
    // another is followed (a mode selected stays while the link is closed).
    void follow(rig::RigConnection* link);

    // The frequency label: "7050 kHz", or "-----.- kHz" without a reading.
    QString frequencyText() const;
    void showFrequency(float kHz);

    float sMeter() const { return now_.sMeter; }
    void resetSMeter();
    // -1 unknown, 0 low SWR, 1 high SWR (while transmitting).
    int swrState() const { return now_.swrState; }
    void resetSwrState();

    bool dialLocked() const { return now_.dialLocked; }
    bool pttOn() const { return now_.pttOn; }
    // A rig without a power switch the program works counts as on.
    bool powerOn() const;
    // The selected mode button (1..), 0 for none.
    int modeIndex() const { return now_.modeIndex; }

    // The link closed: our PTT is off, the power off, no frequency shown.
    void linkClosed();

signals:
    void changed();

private:
    struct Shown {
        float kHz = 0;
        float sMeter = 0;
        int swrState = -1;
        bool dialLocked = false;
        bool pttOn = false;
        bool powerOn = false;
        int modeIndex = 0;
    };
    template <typename T> void set(T& field, T value);

    QPointer<rig::RigConnection> link_; // none once it is gone
    Shown now_;
    std::unordered_map<const rig::RigConnection*, Shown> kept_; // of the links not followed
};

} // namespace tuning
