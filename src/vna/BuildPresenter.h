#pragma once

#include "core/ProgramState.h"
#include "vna/BuildSession.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

namespace platform {
class Platform;
}

namespace vna {

// The "Build with VNA…" dialog's logic: what the owner fills in, the questions before a build
// (a table to build over, the VNA to connect), Start and Stop, and what the dialog shows of
// the build under way and of its report.
class BuildPresenter : public QObject {
    Q_OBJECT

public:
    struct Form {
        int band = 0; // index into BandChoices(); 0: lowKHz..highKHz as typed
        double lowKHz = 7000;
        double highKHz = 7300;
        long lowPosition = 0;
        long highPosition = 0;
        bool everyKHz = true; // else where the curve bends most
        double spacingKHz = 5;
        bool repeatability = true;
    };
    struct View {
        bool running = false;
        int percent = 0;
        QString timeLeft; // "About 3 min 20 s left"
        QString activity;
        QString report;     // the last build's message, and the overlay offered
        QByteArray picture; // SVG of the last table built
        int overlayOffered = 0; // steps; 0 when the last build offers none
    };

    BuildPresenter(platform::Platform& platform, BuildSession& session,
                   const core::ProgramState& state, QObject* parent = nullptr);

    // "Other (kHz)", then the amateur bands by name.
    static QStringList BandChoices();
    // "About 2 min 5 s left"; empty while nothing is known.
    static QString TimeLeftText(double seconds);

    Form& form() { return form_; }
    // A band chosen: its edges become the kHz fields.
    void BandChosen(int index);
    // Asks what must be asked and starts the build; false when it did not start (told).
    bool Start();
    void Stop();
    // The overlay the last build offers is taken: overlayChosen tells it to the main window.
    void UseOverlay();
    View view() const;

signals:
    void changed();
    void overlayChosen(int steps);

private:
    platform::Platform& platform_;
    BuildSession& session_;
    Form form_;
};

} // namespace vna
