#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "engine/EngineView.h"
#include "engine/KeyControl.h"
#include "engine/LptInputs.h"
#include "engine/PanelView.h"
#include "engine/WheelControl.h"
#include "mainwindow/MainWindowForm.h"
#include "platform/Platform.h"
#include "port/JoystickStatus.h"

#include <QMainWindow>
#include <functional>

class QLabel;

namespace engine {
class StepperParams;
class ShuttlePuls;
class CalibrationRun;
class OverlayPanel;
} // namespace engine

namespace mainwindow {

// What the main window works with; all of it outlives the window.
struct MainWindowParts {
    core::ProgramState& state;
    platform::Platform& platform;
    engine::Engine& engine;
    engine::LptInputs& inputs;
    engine::KeyControl& keys;
    engine::WheelControl& wheel;
    port::JoystickStatus& joystick;
};

// Form1, the program's main window: its controls live in the form; it renders the engine's and
// the panels' state (it is their EngineView and PanelView) and forwards the user's commands.
// Menus that open or toggle other windows and the start-up and exit paths belong to the
// application, which reaches the controls through form().
class MainWindow : public QMainWindow, public engine::EngineView, public engine::PanelView {
    Q_OBJECT
public:
    explicit MainWindow(const MainWindowParts& parts, QWidget* parent = nullptr);
    ~MainWindow() override;

    MainWindowForm& form() { return form_; }

    // Called when the window is asked to close (close box, Alt+F4, the session ending); the
    // program's exit path decides what happens.
    std::function<void()> onCloseRequested;
    // Called by the exit path when it has run: from then on the window closes, so the
    // application's quit, which closes every window first, can end the program.
    void allowClosing() { closingAllowed_ = true; }

    void setPanels(engine::StepperParams*, engine::ShuttlePuls*, engine::CalibrationRun*,
                   engine::OverlayPanel*);
    std::function<void(core::Long)> onStepperOptionClicked;

    // The port in use and how it is reached, in the status bar: "Lpt = 888 (simulated)".
    void showPortStatus(const QString& text);

    // --- engine::EngineView ---
    void showCounter(const QString& text) override;
    void setSliderValue(core::Long value) override;
    void refreshSliderLabel(engine::SliderLabelSource source) override;
    void showDegrees(const QString& text) override;
    void setDegreesVisible(bool visible) override;
    void showOverlay(const engine::OverlayDisplay& display) override;
    void refreshOverlayTooltips() override;
    void showPcSpeed(const QString& text) override;
    void speedChanged() override;
    void powerChanged() override;
    void modesChanged() override;
    void portPanelChanged() override;
    void busyLockChanged(bool locked) override;
    void setStepperOptionsEnabled(bool enabled) override;
    void setWindowEnabled(bool enabled) override;
    bool housekeepingRunning() const override;
    void setHousekeepingRunning(bool running) override;
    void runHousekeeping() override;

    // --- engine::PanelView ---
    QString fieldText(engine::EntryField field) const override;
    void setFieldText(engine::EntryField field, const QString& text) override;
    void setFieldLocked(engine::EntryField field, bool locked) override;
    void setTurnButtonsEnabled(bool enabled) override;
    void setLoopKeysEnabled(bool enabled) override;
    void setModeButtonsEnabled(bool shuttle, bool puls) override;
    void setKeyPreview(bool on) override;
    void showTime(const QString& text) override;
    void setPulsShuttleText(const QString& text) override;
    void setMaxTurnToolTip(const QString& text) override;
    void setMinTurnToolTip(const QString& text) override;
    void sliderRangeChanged() override;
    void pelorusOff() override;
    void setCalibrationMenuCaption(const QString& text) override;
    void setOverlayPanelsShown(bool shown) override;
    void showOverlayCheck(bool ticked, bool enabled) override;
    void setOverlayControlsEnabled(bool enabled) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    EntryField* field(engine::EntryField which) const;

    MainWindowParts parts_;
    MainWindowForm form_;
    QLabel* portStatus_;
    bool closingAllowed_ = false;
    bool keyPreview_ = true;
};

} // namespace mainwindow
