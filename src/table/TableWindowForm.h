#pragma once

#include <QString>
#include <array>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMainWindow;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace table {

// The controls of the table window (Form3) under the program's names, built and laid out on
// the window; TableWindow fills and connects them.
struct TableWindowForm {
    explicit TableWindowForm(QMainWindow& window);

    // --- the table ---
    QListWidget* lstTable;
    QLineEdit* txtInput;
    QLabel* lblInput;
    QPushButton* cmdInput;
    QComboBox* cboCatFiles;
    QLabel* lblStatus;
    QLabel* lblInterpolValue;
    QLabel* lblInfoInterpol;
    QPushButton* cmdTurnTo;
    QPushButton* cmdUnity;
    QPushButton* cmdStatusSave;
    QCheckBox* chkMinMax;
    QLabel* lblTeller;

    // --- the rig ---
    QGroupBox* frmCatControl;
    QPushButton* cmdComport;
    QPushButton* cmdComPol;
    QPushButton* cmdLock;
    QCheckBox* chkLock;
    QLabel* lblFreqCat;
    QPushButton* cmdDown;
    QPushButton* cmdUp;
    QLabel* lblFreqJump;
    QScrollBar* HScroll1;
    QPushButton* cmdPTT;
    QCheckBox* chkAmPTT;
    QLabel* lblHiLoZ;
    QPushButton* cmdOnOff;
    QPushButton* cmdCalibreer;
    QPushButton* cmdSwrTune;
    QPushButton* cmdTuneNow;
    QProgressBar* ProgressBar1;
    QGroupBox* frmModes;
    std::array<QRadioButton*, 10> Option1;
    // The simulated rig's panel goes here while that link is chosen.
    QGroupBox* frmSimulatedRig;

    // --- the other windows and the wheel ---
    QPushButton* cmdMain;
    QPushButton* cmdPelorusScherm;
    QPushButton* cmdScroll;

    // --- menus ---
    QAction* mnuSavetabel;
    QAction* mnuDeletetable;
    QAction* mnuBuildVna;
    QMenu* mnuBandSet; // a checkable entry per table file, made as it opens
    QAction* mnuExit;
    QMenu* mnuSet;
    QAction* mnuStepperOffset;
    QAction* mnuRetuneHere;
    QAction* mnuOffsetZero;
    QAction* mnuOffsetBandOnly;
    QAction* mnuSetToInterpol;
    QMenu* mnuInterpoltype;
    std::array<QAction*, 10> mnuFn;
    QMenu* mnuRigs;
    std::array<QAction*, 6> mnuFt; // FT-757GXII, FT-817, FT-840, FT-847, FT-857, FT-897
    QMenu* mnuBaud;
    std::array<QAction*, 5> mnuBaudRates; // 4800 .. 57600
    QMenu* mnuCom;
    std::array<QAction*, 4> mnuComPorts; // COM1 .. COM4
    QAction* mnuSimulatedRig;
    QAction* mnuRigctld;
    QAction* mnuFlrig;
    QAction* mnuWsjtx;
    QAction* mnuCiv;
    QAction* mnuKenwood;
    QAction* mnuTxGuard;
    QAction* mnuTerminal;
    QMenu* mnuWheel;
    QAction* mnuWheelStepper;
    QAction* mnuWheelTable;
    QAction* mnuWheelFrequency;
    QAction* mnuWheelSpeed;
    QAction* mnuToetsinfo;
    // The list's pop-up.
    QMenu* mnuSelect;
    QAction* mnuLoopNaar;
    QAction* mnuDelete;
    QAction* mnuAddComment;

    static constexpr std::array<int, 5> BaudRates{4800, 9600, 19200, 38400, 57600};

private:
    void buildTable(QMainWindow& window);
    void buildRig();
    void buildMenus(QMainWindow& window);
};

} // namespace table
