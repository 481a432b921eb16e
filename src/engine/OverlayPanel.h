#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "engine/PanelView.h"

#include <QString>

namespace engine {

// The overlay panels of the main window: the overlay switched on and off, its size set, and
// overlay steps taken and given back by hand.
class OverlayPanel {
public:
    struct ToolTips {
        QString stepDown; // cmdOverCCW: "1 steps down."
        QString stepUp;   // cmdOverCW: "0 steps up."
        QString allDown;  // cmdOverCCWs: "3 overlay steps down."
        QString allUp;    // cmdOverCWs: "7 overlay steps up."
    };

    OverlayPanel(core::ProgramState& state, Engine& engine, PanelView& view);

    // mnuOverlay checked or unchecked: the panels shown (the overlay given back first when
    // they are hidden).
    void MenuToggled(bool checked);
    // chkOverlay ticked or unticked.
    void OverlayChecked(bool ticked);
    // cmdOverlayInput: the size from Text12; 0 or less switches the overlay off.
    void OverlayInputClicked();
    // The four step buttons.
    void StepUpClicked();
    void StepDownClicked();
    void AllUpClicked();
    void AllDownClicked();

    // What the step buttons will do now.
    static ToolTips ToolTipsFor(const core::ProgramState& state);

private:
    core::ProgramState& state_;
    Engine& engine_;
    PanelView& view_;
};

} // namespace engine
