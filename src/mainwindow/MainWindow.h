#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "engine/WheelControl.h"
#include "engine/WheelNotches.h"
#include "mainwindow/MainWindowForm.h"
#include "panel/CalibrationRun.h"
#include "panel/CounterByHand.h"
#include "panel/DisplayTexts.h"
#include "panel/ExitPath.h"
#include "panel/KeyControl.h"
#include "panel/MainFields.h"
#include "panel/MainPresenter.h"
#include "panel/MainView.h"
#include "panel/OverlayPanel.h"
#include "panel/PortCommands.h"
#include "panel/ShuttlePuls.h"
#include "panel/SpeedPanel.h"
#include "panel/StepperParams.h"
#include "panel/TurnCommands.h"
#include "panel/WindowModes.h"
#include "platform/Platform.h"
#include "port/JoystickStatus.h"
#include "port/SwitchInputs.h"

#include <QMainWindow>
#include <cstddef>
#include <vector>

class QLabel;

namespace mainwindow {

class EntryField;

// What the main window forwards its controls to and renders; all of it outlives the window.
struct MainWindowLogic {
    const core::ProgramState& state;
    platform::Platform& platform;
    engine::Engine& engine;
    panel::SpeedPanel& speed;
    panel::WindowModes& modes;
    panel::CounterByHand& counterByHand;
    panel::MainFields& fields;
    panel::TurnCommands& turns;
    panel::StepperParams& params;
    panel::ShuttlePuls& shuttlePuls;
    panel::CalibrationRun& calibration;
    panel::OverlayPanel& overlay;
    panel::KeyControl& keys;
    engine::WheelControl& wheel;
    panel::ExitPath& exitPath;
    port::SwitchInputs& switches;
    port::JoystickStatus& joystick;
    panel::PortCommands& portCommands;
    panel::MainPresenter& presenter;
};

// Form1, the program's main window. Its controls live in the form, private to it; it forwards
// every control, key and wheel turn to the logic and renders the presenter's view of it
// (connected in src/app). What only the application can do (open another window,
// store the configuration) the window asks for through its signals, and the application shows
// the outcome through the render functions for those windows.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(const MainWindowLogic& logic, QWidget* parent = nullptr);
    ~MainWindow() override;

    // --- what the logic tells ---
    // Everything the presenter shows (the position, the speed, the panels' controls, fields,
    // captions and check marks): what differs from the view rendered last.
    void render(const panel::MainView& view);
    // The pelorus windows closed for lack of degrees: their buttons read "Pel&orus off".
    void pelorusOff();
    // Title, stepper choice and menus from the state (InitMain).
    void renderFromState();
    // The degree texts in PelorusDegreeColor.
    void applyDegreeColor();

    // --- the windows the application opens, as their entries show them (MainWindowMenus.cpp) ---
    void setTableChecked(bool open);
    void setDirectChecked(bool open);
    void setTimerChecked(bool open);
    // lblTimer: its text follows the timer table, hidden or not.
    void setTimerText(const QString& text);
    void setTimerLabelVisible(bool visible);
    // Frame1, the shuttle and pulse panel, rests while a program runs.
    void setShuttlePanelEnabled(bool enabled);
    // The pelorus entries, and the button's "Pel&orus on" / "Pel&orus off" for the big one.
    void setPelorusShown(bool big, bool small);
    void setLptTestsShown(bool output, bool input);
    // index: in display::HelpTexts.
    void setTextShown(std::size_t index, bool shown);
    // index: in display::Pictures.
    void setPictureShown(std::size_t index, bool shown);
    // ProgressBar1: the rig's S-meter, 0 to 15.
    void showSMeter(int value);
    void setSMeterVisible(bool visible);
    // The rotctld entry: checked while the server listens, the port in its caption.
    void setRotatorServer(bool listening, int port);
    // The web server's entry: checked while it listens, the port in its caption, and the token
    // a browser elsewhere must give (empty: none asked, on loopback).
    void setWebServer(bool listening, int port, const QString& token);

signals:
    // --- what the user asks of the application ---
    void saveConfigRequested();
    void defaultConfigRequested();
    void bothSteppersPin6Requested();
    void aboutRequested();
    void degreeColorRequested();
    // The table entry or its button; open is the entry's new check mark.
    void tableRequested(bool open);
    void directRequested();
    void timerRequested();
    void timerLabelClicked();
    void pelorusRequested(bool small);
    void webcamRequested();
    void lptOutputRequested(bool open);
    void lptInputRequested(bool open);
    // index: in display::HelpTexts and display::Pictures.
    void textRequested(std::size_t index, bool open);
    void pictureRequested(std::size_t index, bool open);
    void rotatorServerRequested(bool on);
    void webServerRequested(bool on);
    // "Mov&e log": the window of the last moves opens, or comes to the front.
    void moveLogRequested();
    // The drag bar's label: steps <-> degrees.
    void sliderLabelClicked();
    // The drag bar's thumb dragged to value: the label follows it.
    void sliderThumbMoved(core::Long value);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    EntryField* field(panel::EntryField which) const;
    // VSlider1's thumb, set without telling a move.
    void putThumb(core::Long value);
    // VSlider1's range, lblMin and lblMax, and its large step (a twentieth of the range).
    void renderSliderRange(core::Long minimum, core::Long maximum);
    void renderOverlay(const panel::OverlayDisplay& display);
    // The bar and the box whenever they differ from the speed; the rest when it changed.
    void renderSpeed(const panel::SpeedView& speed, bool changed);
    // What a render sets: everything the first time, afterwards what differs from the value
    // rendered last, which then holds the new one.
    struct Differs {
        bool all;
        template <typename T> bool operator()(const T& now, T& shown) const {
            if (!all && now == shown)
                return false;
            shown = now;
            return true;
        }
    };
    void renderPanel(const panel::PanelView& panel, const Differs& differs);
    std::vector<QWidget*> controlWidgets(panel::Control control) const;
    // A field's text, the cursor kept where the user left it.
    void showFieldText(panel::EntryField field, const QString& text);

    // MainWindowPanels.cpp: the controls forwarded to the logic.
    void connectTurning();
    void connectSpeedAndStepper();
    void connectPanels();
    void connectFields();

    // MainWindowMenus.cpp: the menu entries, forwarded to the logic or asked of the application.
    void connectMenus();
    void connectWindowEntries();

    // MainWindowInput.cpp: keys, the wheel and the mouse.
    void routeEventsOfChildren();
    bool fieldKeyPressed(EntryField* field, QKeyEvent* event);
    void routeKey(QKeyEvent* event);
    // The menu key or Shift+F10: the pop-up menu, where a right click opens it. True when it was.
    bool popUpMenuKey(QWidget* at, const QKeyEvent& event);
    void routeWheel(QWheelEvent* event);
    // A mouse press on the window or on one of its frames; true when it was handled.
    bool framePressed(QWidget* frame, QMouseEvent* event);

    MainWindowLogic logic_;
    MainWindowForm form_;
    QLabel* portStatus_;
    panel::MainView shown_; // the view rendered last
    bool rendered_ = false;
    engine::WheelNotches wheelNotches_;
};

} // namespace mainwindow
