#pragma once

#include "core/ProgramState.h"
#include "platform/LptPort.h"
#include "port/InputPinTable.h"

#include <QObject>
#include <QString>
#include <array>

namespace port {

class SimulatedLpt;

// The input-simulation window ("Si&mulation LptInput") as state: four buttons that stand for
// the remote buttons and the switches, so the inputs can be tried without hardware.
//
// A press sets SimulatedInput to the button's value; the switches and remote inputs then use
// that value once instead of the status register. On the simulated port a press also holds the
// button's pin on the status register until it is released, so a held button acts like a
// closed switch or a held remote button (and the LPT input test window shows it). Closing
// the window sets SimulatedInput back to 0.
class InputSimulation : public QObject {
    Q_OBJECT

public:
    static constexpr int ButtonCount = 4;

    struct Button {
        QString name;         // from InputPinTable: "Remote CCW."
        QString pinLabel;     // "Pin 15="
        core::Long value = 0; // what a press sets SimulatedInput to: 1, 2, 4, 8
        bool enabled = false; // turn buttons with RemoteTurning, switch buttons with a switch mode
        bool inputHigh = false; // the input reads 1 now
        // "Remote CCW. Pin 15=0"
        QString caption() const;
    };

    // lpt is the port the program reads; pins are held only when it is the simulated one.
    InputSimulation(core::ProgramState& state, platform::LptPort& lpt, QObject* parent = nullptr);

    // The window is open (the menu entry is checked).
    bool isOpen() const { return open_; }
    // The "Si&mulation LptInput" entry: opens the window when closed, closes it when open; it
    // stays closed while neither a switch mode nor remote turning is on, and says why.
    void MenuClicked();
    // The window closes (its close box, or a switch menu entry): SimulatedInput = 0 and any
    // held pin released. Nothing when already closed.
    void Close();

    // The turn buttons (CCW, CW), then the two switch buttons (begin or centre, then end),
    // with the inputs as they read now.
    std::array<Button, ButtonCount> buttons() const;
    // Button index pressed and held down; released. Out-of-range indexes do nothing.
    void press(int index);
    void release(int index);

signals:
    // The window must be shown (true) or closed (false), and the menu entry checked so.
    void openChanged(bool open);
    // The window stays closed: there is nothing to play. why is the user's message.
    void refused(const QString& why);

private:
    void hold(core::Long inputs);

    core::ProgramState& state_;
    platform::LptPort& lpt_;
    SimulatedLpt* simulated_;
    bool open_ = false;
    core::Long held_ = 0; // inputs held on the simulated status register
};

} // namespace port
