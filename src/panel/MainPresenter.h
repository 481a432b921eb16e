#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "panel/DisplayTexts.h"

#include <QObject>
#include <QString>

namespace panel {

// The main window's texts of what the engine shows: told the engine's values (the degrees, the
// position of the drag bar's label, the overlay, PcSpeed), it says what the window renders.
class MainPresenter : public QObject {
    Q_OBJECT

public:
    // engine must outlive the presenter.
    MainPresenter(core::ProgramState& state, engine::Engine& engine, QObject* parent = nullptr);

    // The drag bar's label clicked: steps <-> degrees.
    void SliderLabelClicked();

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
    engine::Engine& engine_;
};

} // namespace panel
