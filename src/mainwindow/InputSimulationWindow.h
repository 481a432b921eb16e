#pragma once

#include "platform/Platform.h"
#include "port/InputSimulation.h"

#include <QWidget>
#include <array>
#include <memory>

class QPushButton;

namespace mainwindow {

// The input-simulation window ("Si&mulation LptInput"): two remote turn buttons and two switch
// buttons that act while held down, labelled from the input pin table with the level each
// input reads now (refreshed twice a second while the window is shown, not while it is
// minimised). It renders port::InputSimulation and forwards presses to it. Closing it ends the
// simulation (SimulatedInput 0), whereupon the simulation reports openChanged(false) so the
// menu entry is unchecked. It deletes itself when closed.
class InputSimulationWindow : public QWidget {
    Q_OBJECT

public:
    InputSimulationWindow(port::InputSimulation& simulation, platform::Platform& platform,
                          QWidget* parent = nullptr);

    // The turn buttons (CCW, CW), then the switch buttons (begin or centre, end).
    std::array<QPushButton*, port::InputSimulation::ButtonCount> buttons{};

    // Shows the buttons as the simulation has them now.
    void render();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    port::InputSimulation& simulation_;
    std::unique_ptr<platform::Timer> refresh_;
};

} // namespace mainwindow
