#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "panel/DisplayTexts.h"
#include "panel/SpeedPanel.h"

#include <QObject>
#include <QString>

namespace panel {

// The main window's texts of what the engine shows: told the engine's values (the degrees, the
// position of the drag bar's label, the overlay) and the speed panel's (PcSpeed), it says what
// the window renders.
class MainPresenter : public QObject {
    Q_OBJECT

public:
    // engine and speed must outlive the presenter.
    MainPresenter(core::ProgramState& state, engine::Engine& engine, SpeedPanel& speed,
                  QObject* parent = nullptr);

    // The drag bar's label clicked: steps <-> degrees.
    void SliderLabelClicked();
    // The drag bar's label for a position: the thumb while it is dragged, the counter when the
    // label's colour changed.
    void ShowSliderLabel(core::Long value);
    // The overlay's display from the state.
    void ShowOverlay();

signals:
    // " 12.6°".
    void degreesShown(const QString& text);
    // The drag bar's label, in colour 0x00BBGGRR.
    void sliderLabelShown(const QString& text, core::Long color);
    void overlayShown(const panel::OverlayDisplay& display);
    // "PCspeed=123456".
    void pcSpeedShown(const QString& text);

private:
    core::ProgramState& state_;
};

} // namespace panel
