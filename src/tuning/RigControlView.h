#pragma once

#include "core/ProgramState.h"
#include "table/TableEditor.h"
#include "table/TableViewModel.h"
#include "tuning/RigLinkChoice.h"

#include <QString>
#include <QStringList>

namespace tuning {

class RigTuning;

// What the table window shows of automatic tuning, with its controls' names: the rig frame
// (frmCatControl) and the input box with the note beside the value label. RigTuning's state
// decides it; the window only renders it.
struct RigControlView {
    QString FrameCaption; // frmCatControl
    QString PortCaption;  // cmdComport
    QString PortToolTip;
    QString PollCaption; // cmdComPol
    QString PollToolTip;
    QString LockCaption; // cmdLock
    bool LockEnabled = true;
    bool DialLockEnabled = false; // chkLock
    bool DialLocked = false;
    QString FrequencyText; // lblFreqCat
    QString JumpText;      // lblFreqJump, red after a change from the wheel
    bool JumpRed = false;
    int Jump = 0;       // HScroll1, kHz
    QString PttCaption; // cmdPTT
    QString PttToolTip;
    bool AmPtt = false;    // chkAmPTT
    bool SwrShown = false; // lblHiLoZ, red when high
    bool SwrHigh = false;
    QString SwrText;
    bool PowerShown = false; // cmdOnOff
    QString PowerCaption;
    QString SearchCaption; // cmdCalibreer
    bool SearchEnabled = false;
    QString SwrTuneCaption; // cmdSwrTune, its tooltip what it does to the rig or why not here
    QString SwrTuneToolTip;
    bool SwrTuneEnabled = false;
    QString TuneNowToolTip; // cmdTuneNow, with the follow mode
    bool TuneNowEnabled = false;
    int SMeter = 0;              // ProgressBar1
    QStringList Modes;           // Option1, frmModes hidden without any
    int ModeIndex = 0;           // 1-based, 0 none
    QString InfoText;            // lblInfoInterpol: why the stepper does not follow now
    bool InputEnabled = true;    // txtInput
    bool SimulatedShown = false; // frmSimulatedRig
};

// cmdComport: "&Comport(2)", "&Comport(Sim)", "&Comport(rigctld)", "&Comport on", "&Comport off".
QString PortCaptionOf(const RigTuning& tuning, const core::ProgramState& state);
// frmCatControl: "Rig Control-FT817", or while polling the line and a spinner.
QString FrameCaptionOf(const RigTuning& tuning);

// The view of tuning as it stands, with the value label's note from the table window's view.
RigControlView ControlViewOf(const RigTuning& tuning, const core::ProgramState& state,
                             const table::TableViewModel& view);

// What the table window's menus show: captions, checks and what may be chosen.
struct TableMenusView {
    QString StepperOffsetCaption; // mnuStepperOffset
    bool RetuneEnabled = false;   // a reading lies within the table
    bool OffsetZeroEnabled = false;
    bool OffsetBandOnly = false;
    bool SetToInterpolEnabled = false;
    int InterpolType = 0; // mnuFn
    // The rig models, baud rates, ports and links are chosen while the link is closed.
    bool LinkMenusEnabled = true;
    int RigModel = 0; // mnuFt, 1..
    int BaudRate = 0;
    int ComPort = 0; // checked only for the serial link to a Yaesu
    RigLinkChoice::Link Link = RigLinkChoice::Link::Serial;
    bool TransmitGuard = false;
};

TableMenusView MenusViewOf(const RigTuning& tuning, const core::ProgramState& state,
                           const table::TableEditor& editor, const table::TableViewModel& view);

} // namespace tuning
