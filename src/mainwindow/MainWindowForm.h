#pragma once

#include <array>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QMainWindow;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace mainwindow {

class ClickableLabel;
class EntryField;
class PressButton;
class SelectionSlider;

// The controls and menus of the main window (Form1), built on a QMainWindow: every control
// carries its program name as member and as objectName, with its designed caption, tooltip
// and mnemonic. The form has no behaviour of its own; the window's logic connects to the
// controls and writes their run-time captions. Widgets are owned by the window.
//
// Window toggles are checkable actions: Qt flips the check mark before triggered(checked)
// arrives, so a handler that refuses the toggle sets it back.
class MainWindowForm {
public:
    explicit MainWindowForm(QMainWindow& window);

    // Main window height in pixels without and with the overlay panels
    // (9720 and 11415 twips at 15 twips per pixel).
    static constexpr int NormalHeight = 648;
    static constexpr int OverlayHeight = 761;
    static constexpr int Width = 780;

    // Shows or hides frmOverlay and frmOverlayKeys and sets the window height to match.
    void setOverlayPanelsShown(bool shown);

    // --- overlay panels (hidden until the overlay menu is checked) ---
    QGroupBox* frmOverlayKeys;
    QPushButton* cmdOverCWs;
    QPushButton* cmdOverCCWs;
    QPushButton* cmdOverCW;
    QPushButton* cmdOverCCW;
    QGroupBox* frmOverlay;
    QPushButton* cmdOverlayInput;
    QCheckBox* chkOverlay;
    EntryField* Text12;
    QLabel* lblOverlayDirection;
    QLabel* lblOverlayDegrees;
    QLabel* lblOverlaySteps;

    // --- Frame10 "Status" ---
    QGroupBox* Frame10;
    ClickableLabel* lblTimer; // hidden until the timer table runs
    QLabel* lblTime;
    ClickableLabel* lblPcspeed;
    ClickableLabel* lblInputport;

    // --- Frame9 "Count Deg" ---
    QGroupBox* Frame9;
    QLabel* lblDegrees;
    QLabel* lblTeller;

    // --- frame8 "Turning speed" ---
    QGroupBox* frame8;
    QScrollBar* HScroll1; // step delay in ms: fast at the left, slow at the right
    QLabel* lblSnelHeid;
    QLabel* lblSlow;
    QLabel* lblFast;
    QLabel* lblRpm;

    // --- Frame7 "Stepper" ---
    QGroupBox* Frame7;
    QCheckBox* chkFieldPower;
    QCheckBox* chkSpeedModulate;
    std::array<QRadioButton*, 2> OptStepper; // objectNames "OptStepper(0)", "OptStepper(1)"
    QCheckBox* chkAuto;
    ClickableLabel* Image1; // opens the webcam turning window

    // --- Frame6 "Drag Bar" ---
    QGroupBox* Frame6;
    SelectionSlider* VSlider1; // minimum at the bottom
    QLabel* lblMax;
    QLabel* lblMin;
    ClickableLabel* lblVscroll;

    // --- Frame5 "Fastkeys" ---
    QGroupBox* Frame5;
    QPushButton* cmdDirect;
    QPushButton* cmdTimer;
    QPushButton* cmdTableUnity;
    QPushButton* cmdPelorus;

    // --- Frame4 "Turnkeys" ---
    QGroupBox* Frame4;
    QPushButton* cmdScroll;
    PressButton* cmdCalibreer;
    QPushButton* cmdMaxCw;
    PressButton* cmdStoppen;
    QPushButton* cmdMinCcw;
    QPushButton* cmdCw;
    QPushButton* cmdFast;
    QPushButton* cmdCcw;

    // --- Frame3 "Stepper Params" ---
    QGroupBox* Frame3;
    QPushButton* cmdLptTest;
    QPushButton* cmdPoort;
    QPushButton* cmdInputMax;
    QPushButton* cmdLaagste; // "HighSpeed": the fastest delay
    EntryField* Text6;
    EntryField* Text1;
    QPushButton* cmdInputMin;
    EntryField* Text2;
    QPushButton* cmdHoogste; // "LowSpeed": the slowest delay
    QPushButton* cmdStepperStap;
    EntryField* Text5;
    EntryField* Text4;

    // --- Frame2 "Turning" ---
    QGroupBox* Frame2;
    QPushButton* cmdGotoDegrees;
    EntryField* Text7;
    QPushButton* cmdGotoStep;
    EntryField* Text3;

    // --- Frame1 "Shuttle  Puls" ---
    QGroupBox* Frame1;
    QPushButton* cmdPulsloop;
    EntryField* Text11;
    EntryField* Text10;
    QPushButton* cmdShuttle;
    EntryField* Text9;
    EntryField* Text8;
    QLabel* lblPulsShuttle;

    // Hidden until the table window shows the rig's S-meter here.
    QProgressBar* ProgressBar1;

    // --- menus: "&Files", "&Edit", "T&ables", "&Info" on the menu bar, "PopUpMenu" for the
    // right click (objectNames "mnuRootMenu(0)" to "mnuRootMenu(4)") ---
    std::array<QMenu*, 5> mnuRootMenu;
    QMenu* popUpMenu() const { return mnuRootMenu[4]; }

    QAction* mnuSavecfg;
    QAction* mnuDefaultCfg;
    QAction* mnuPelorus;
    QAction* mnuPelSmall;
    QAction* mnuOverlay;
    QAction* mnuJoyStick;
    QAction* mnuExit;

    QAction* mnuSet;
    QAction* mnuCalibraStaps;
    QAction* mnuEndSwitchCenter;
    QAction* mnuEndSwitches;
    QAction* mnuEndSwitchesShow;
    QAction* mnuEndSwitchesOff;
    QAction* mnuRemoteTurning;
    QAction* mnuRotctld; // the rotctld rotator server for other programs
    QAction* mnuWebServer; // the web server for browsers
    QAction* mnuMoveLog;   // the window of the last moves
    QAction* mnuLPT89;
    QAction* mnuLptOutput;
    QAction* mnuLptInput;
    QAction* mnuTarvex;
    QAction* mnuSimulate;

    QAction* mnuTableDirect;
    QAction* mnuTableTimer;
    QAction* mnuTableUnity;

    QAction* mnuVentroloUK;
    QAction* mnuVentroloNL;
    QAction* mnuChangesTxt;
    QAction* mnuSchemaCat;
    QAction* mnuCircuitBi;
    QAction* mnuCircuitUni;
    QAction* mnuSchemaOpto;
    QAction* mnuBrenik;
    QAction* mnuComponent;
    QAction* mnuCircuitStepDir;
    QAction* mnuCircuitInhibit;
    QAction* mnuToetsInfo;
    QAction* mnuAbout;

    QAction* mnuStepper12;
    QAction* mnuWheelFunctions; // the heading above the four wheel functions, no action
    QAction* mnuWheelStepper;
    QAction* mnuWheelFrequency;
    QAction* mnuWheelTable;
    QAction* mnuWheelSpeed;
    QAction* mnuDegreeColor;

private:
    void buildOverlayPanels();
    void buildStatus();
    void buildCountDeg();
    void buildSpeed();
    void buildStepper();
    void buildDragBar();
    void buildFastkeys();
    void buildTurnkeys();
    void buildParams();
    void buildTurning();
    void buildShuttlePuls();
    void buildLayout();
    void buildMenus();

    QMainWindow& window_;
};

} // namespace mainwindow
