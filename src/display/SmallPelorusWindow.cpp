#include "display/SmallPelorusWindow.h"

#include "display/ColorValue.h"
#include "display/DialView.h"
#include "display/HeadingTurn.h"
#include "display/InputForwarder.h"

#include <QCloseEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <optional>

namespace display {
namespace {

constexpr int SmallestSide = 40; // pixels

// A stored side in twips as pixels; none when it is not stored (0) or cannot be a size.
std::optional<int> StoredSide(core::Single twips) {
    if (!(twips > 0) || !std::isfinite(twips))
        return std::nullopt;
    return std::clamp(static_cast<int>(std::lround(twips / TwipsPerPixel)), SmallestSide, 10000);
}

} // namespace

SmallPelorusWindow::SmallPelorusWindow(const PelorusLogic& logic)
    : QWidget(nullptr, Qt::Window), logic_(logic) {
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(QStringLiteral("Pelorus."));
    setAttribute(Qt::WA_DeleteOnClose);
    setMinimumSize(SmallestSide, SmallestSide);
    logic_.state.PelorusRedraw = true;

    Picture1 = new DialView(DialView::Style::SmallPelorus);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setToolTip(
        QStringLiteral("You can resize me by dragging the left and bottom borders."));
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->addWidget(Picture1);

    engine::Engine& engine = logic_.engine;
    const core::ProgramState& s = logic_.state;
    connect(Picture1, &DialView::headingClicked, this,
            [&engine, &s](double heading) { TurnToHeading(engine, s, heading); });
    panel::KeyControl& keys = logic_.keys;
    engine::WheelControl& wheel = logic_.wheel;
    new InputForwarder(
        *this, [&keys](int code, int shift) { keys.HandleKey(code, shift); },
        [&wheel](int notches, int shift) { wheel.HandleWheel(notches, shift); });

    const auto height = StoredSide(s.SmallPelorusHeight);
    const auto width = StoredSide(s.SmallPelorusWidth);
    if (height && width)
        resize(*width, *height);
    else
        resize(DesignedSize, DesignedSize);
    PelorusSmall(s.CurrentDegrees);
}

void SmallPelorusWindow::PelorusSmall(core::Single degrees) {
    const core::ProgramState& s = logic_.state;
    Picture1->setLook({ColorFromValue(s.PelorusBackColor), ColorFromValue(s.PelorusRimColor),
                       ColorFromValue(s.PelorusMiddleColor), true, s.PelorusRedraw});
    Picture1->setNeedle(degrees);
}

void SmallPelorusWindow::closeEvent(QCloseEvent* event) {
    logic_.state.SmallPelorusHeight = static_cast<core::Single>(height() * TwipsPerPixel);
    logic_.state.SmallPelorusWidth = static_cast<core::Single>(width() * TwipsPerPixel);
    emit closed();
    event->accept();
}

} // namespace display
