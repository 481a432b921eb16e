#pragma once

#include "display/PelorusWindow.h"

#include <QWidget>

namespace display {

class DialView;

// The small pelorus (Form9): only the dial, drawn to fit the window, which the user sizes; the
// size is kept in SmallPelorusHeight and SmallPelorusWidth (twips) when it closes. A left click
// on the dial turns the stepper to that heading. It deletes itself when closed, after telling
// closed().
class SmallPelorusWindow : public QWidget {
    Q_OBJECT

public:
    // The size the window has when none is stored, in pixels.
    static constexpr int DesignedSize = 180;

    explicit SmallPelorusWindow(const PelorusLogic& logic);

    // Redraws the dial for the degrees.
    void PelorusSmall(core::Single degrees);

    DialView* Picture1;

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    PelorusLogic logic_;
};

} // namespace display
