#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "panel/MainFields.h"

#include <QObject>

namespace panel {

// The overlay panels of the main window: the overlay switched on and off, its size set, and
// overlay steps taken and given back by hand.
class OverlayPanel : public QObject {
    Q_OBJECT

public:
    OverlayPanel(core::ProgramState& state, engine::Engine& engine, MainFields& fields,
                 QObject* parent = nullptr);

    // mnuOverlay checked or unchecked: the panels shown (the overlay given back first when
    // they are hidden).
    void MenuToggled(bool checked);
    // chkOverlay ticked or unticked: the box's new state is told back with checkShown().
    void OverlayChecked(bool ticked);
    // cmdOverlayInput: the size from OverlaySteps; 0 or less switches the overlay off.
    void OverlayInputClicked();
    // An overlay of this size, as a measurement of the backlash offers it: set, its panels
    // shown and switched on.
    void Use(core::Long steps);
    // The four step buttons.
    void StepUpClicked();
    void StepDownClicked();
    void AllUpClicked();
    void AllDownClicked();
    // Start-up: the panel from the profile.
    void InitPanel();

signals:
    // frmOverlay and frmOverlayKeys (and the taller window), and the menu's check mark.
    void panelsShown(bool shown);
    // chkOverlay ticked and enabled.
    void checkShown(bool ticked, bool enabled);
    // The four step buttons and the two count labels.
    void controlsEnabled(bool enabled);
    // The overlay's size, state or panel changed: its display is shown again.
    void displayChanged();

private:
    // OverlayOn, with the controls and the display that follow it.
    void switchOverlay(bool on);

    core::ProgramState& state_;
    engine::Engine& engine_;
    MainFields& fields_;
};

} // namespace panel
