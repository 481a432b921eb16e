#pragma once

#include "rig/CatControl.h"
#include "rig/SerialLink.h"
#include "rig/SimulatedRig.h"

#include <QByteArray>
#include <QString>

namespace rig {

// Which line the CAT link talks on: a serial port (COM1..COM4, the devices of Ventrolo.ini's
// [serial] group) or the simulated rig, so that following can be tried without a transceiver.
// The choice is kept in Ventrolo.ini, where the legacy configuration's ComPort (1..4) cannot
// hold it:
//   [rig]
//   link=serial          ; serial or simulated
// The settings text with the [rig] group's link set to value, every other line kept.
QByteArray WithRigLink(const QByteArray& contents, const QByteArray& value);

class RigLinkChoice {
public:
    enum class Link { Serial, Simulated };

    RigLinkChoice(QString programDirectory, CatControl& cat, SerialLink& serial,
                  SimulatedRig& simulated);

    // Reads the choice (an unknown value or a missing file gives Serial, written back so the
    // user finds the key) and gives the CAT link that line.
    void Load();
    Link link() const { return link_; }
    bool simulated() const { return link_ == Link::Simulated; }
    SimulatedRig& simulatedRig() { return simulated_; }
    // Gives the CAT link the chosen line (an open link is closed first) and keeps the choice.
    // False, and nothing changed, while the rig is answering a request.
    bool Choose(Link link);

private:
    QString settingsFile() const;
    // Writes the choice; a file that cannot be written leaves the choice for this run only.
    void store();

    QString directory_;
    CatControl& cat_;
    SerialLink& serial_;
    SimulatedRig& simulated_;
    Link link_ = Link::Serial;
};

} // namespace rig
