#pragma once

#include <QString>

namespace engine {

// The main window's twelve entry fields.
enum class EntryField {
    Text1 = 1,
    Text2,
    Text3,
    Text4,
    Text5,
    Text6,
    Text7,
    Text8,
    Text9,
    Text10,
    Text11,
    Text12
};

// What the manual-turning panels (shuttle and pulse, stepper parameters, calibration, overlay)
// read from and show in the main window. The window implements it; texts are final.
class PanelView {
public:
    virtual ~PanelView() = default;

    // The field's text as typed (units such as " Sec" included; values are read as the leading
    // number).
    virtual QString fieldText(EntryField field) const = 0;
    virtual void setFieldText(EntryField field, const QString& text) = 0;
    // Read-only on cyan (locked) or editable on white.
    virtual void setFieldLocked(EntryField field, bool locked) = 0;
    // Button(enable): the slider, goto, single-step, limit, stop and calibration buttons; on
    // also switches key preview on.
    virtual void setTurnButtonsEnabled(bool enabled) = 0;
    // LockLoopKeys(enable): the slider, single-step, limit, shuttle, pulse and goto buttons.
    virtual void setLoopKeysEnabled(bool enabled) = 0;
    virtual void setModeButtonsEnabled(bool shuttle, bool puls) = 0;
    virtual void setKeyPreview(bool on) = 0;
    // lblTime.
    virtual void showTime(const QString& text) = 0;
    // lblPulsShuttle.
    virtual void setPulsShuttleText(const QString& text) = 0;
    // Tooltips of cmdMaxCw and cmdMinCcw.
    virtual void setMaxTurnToolTip(const QString& text) = 0;
    virtual void setMinTurnToolTip(const QString& text) = 0;
    // VSlider1's range, lblMin and lblMax from MinPosition..MaxPosition, the thumb at the
    // counter when it lies inside.
    virtual void sliderRangeChanged() = 0;
    // The pelorus windows close and their buttons read "Pel&orus off" (no degrees to show).
    virtual void pelorusOff() = 0;
    // The caption of mnuCalibraStaps.
    virtual void setCalibrationMenuCaption(const QString& text) = 0;
    // The overlay panels frmOverlay and frmOverlayKeys (and the taller window) shown or hidden.
    virtual void setOverlayPanelsShown(bool shown) = 0;
    // chkOverlay ticked and enabled; the four overlay step buttons and the two overlay count
    // labels enabled.
    virtual void showOverlayCheck(bool ticked, bool enabled) = 0;
    virtual void setOverlayControlsEnabled(bool enabled) = 0;
};

} // namespace engine
