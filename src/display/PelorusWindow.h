#pragma once

#include "core/ProgramState.h"
#include "display/PelorusCounter.h"
#include "engine/Engine.h"
#include "engine/WheelControl.h"
#include "panel/CounterByHand.h"
#include "panel/KeyControl.h"
#include "platform/Platform.h"

#include <QWidget>

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;

namespace display {

class DialView;

// What the pelorus windows forward to and show; all of it outlives them.
struct PelorusLogic {
    core::ProgramState& state;
    platform::Platform& platform;
    engine::Engine& engine;
    const engine::TurningModes& modes;
    panel::CounterByHand& counterByHand;
    panel::KeyControl& keys;
    engine::WheelControl& wheel;
};

// The pelorus (Form2): the selected stepper's heading on a compass dial, its angle and counter,
// small turning buttons, the counter setting and a switch for the main window. A left click on
// the dial turns the stepper to that heading; a right click opens the menu of reference lines
// and colours. It docks beside the window given (the main window). Keys and the wheel work as
// in the main window. It deletes itself when closed, after telling closed().
class PelorusWindow : public QWidget {
    Q_OBJECT

public:
    PelorusWindow(const PelorusLogic& logic, QWidget& dockTo);

    // Redraws the dial, the angle and the counter for the degrees; the dial's hub and target
    // follow the state.
    void Pelorus(core::Single degrees);
    // The counter label; force writes it also when its degrees did not change.
    void ShowCounter(bool force);
    // Left of the main window (or right, without room), as high as it, inside the screen.
    void dock();

    DialView* Picture1;
    QLabel* lblAngle;
    QLabel* lblTellerPelorus;
    QGroupBox* Frame2;
    QPushButton* cmdCw2;
    QPushButton* cmdCcw2;
    QGroupBox* Frame1;
    QPushButton* cmdHoofd;
    QPushButton* cmdSet;
    QMenu* mnuKleurPopup;
    QAction* mnuCircleRefLines;
    QAction* mnuBack;
    QAction* mnuRand;
    QAction* mnuMidden;

signals:
    // "&Main": the main window shown or hidden.
    void mainToggled();
    // The window is closing.
    void closed();
    // A colour of the dial was chosen: both dials are drawn again.
    void coloursChanged();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void chooseColor(core::Long& colour);

    PelorusLogic logic_;
    QWidget& dockTo_;
    PelorusCounter counter_;
};

} // namespace display
