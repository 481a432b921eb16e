#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "panel/MainView.h"
#include "panel/SpeedPanel.h"
#include "panel/WindowModes.h"

#include <QObject>
#include <QString>

namespace panel {

// The main window's shown state as one value (MainView): told the engine's values (the
// counter, the drag bar, the degrees, the overlay, the speed), the speed panel's (PcSpeed) and
// the modes, it makes their texts and colours and tells changed() whenever the value changes.
class MainPresenter : public QObject {
    Q_OBJECT

public:
    // engine, speed and modes must outlive the presenter.
    MainPresenter(core::ProgramState& state, engine::Engine& engine, SpeedPanel& speed,
                  WindowModes& modes, QObject* parent = nullptr);

    const MainView& view() const { return view_; }

    // The drag bar's label clicked: steps <-> degrees.
    void SliderLabelClicked();
    // The drag bar's label for a position: the thumb while it is dragged, the counter when the
    // label's colour changed.
    void ShowSliderLabel(core::Long value);
    // The overlay's display from the state.
    void ShowOverlay();
    // The settings or the stepper's profile were replaced: PcSpeed shown from the state.
    void StateReplaced();

signals:
    void changed(const panel::MainView& view);

private:
    // The drag bar spans the limits; its thumb follows the counter only within them.
    void dragBarAt(MainView& v, core::Long counter) const;
    // One field of the view, told when it differs (what a turn changes at every show).
    template <typename T> void set(T MainView::*field, T value);
    // Applies change to a copy of the view and tells it when it differs.
    template <typename Change> void update(Change&& change);

    core::ProgramState& state_;
    const SpeedPanel& speed_;
    WindowModes& modes_;
    MainView view_;
};

} // namespace panel
