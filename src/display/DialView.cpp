#include "display/DialView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <algorithm>

namespace display {
namespace {

const QColor Silver(0xC0, 0xC0, 0xC0);
const QColor Yellow(0xFF, 0xFF, 0);
const QColor RestingRed(0xFF, 0, 0);
const QColor TurningGreen(0, 0xFF, 0);
constexpr double RimWidth = 5;
constexpr double LineWidth = 2;

void Circle(QPainter& painter, QPointF centre, double radius, const QColor& outline,
            const QColor& fill, double width = 1) {
    painter.setPen(QPen(outline, width));
    painter.setBrush(fill);
    painter.drawEllipse(centre, radius, radius);
}

void Ticks(QPainter& painter, const DialLayout& dial) {
    for (const DialTick& tick : DialTicks(dial.centre, dial.tickRadius)) {
        painter.setPen(QPen(tick.colour, LineWidth));
        painter.drawLine(tick.line);
    }
}

} // namespace

DialView::DialView(Style style, QWidget* parent) : QWidget(parent), style_(style) {
    setAttribute(Qt::WA_OpaquePaintEvent, style != Style::Webcam);
}

void DialView::setLook(const Look& look) {
    if (look_ == look)
        return;
    look_ = look;
    face_ = {};
    update();
}

void DialView::setNeedle(std::optional<double> degrees) {
    if (needle_ == degrees)
        return;
    update(needleBounds(needle_) | needleBounds(degrees));
    needle_ = degrees;
}

void DialView::setTarget(std::optional<double> degrees) {
    if (target_ == degrees)
        return;
    update(targetBounds(target_) | targetBounds(degrees));
    target_ = degrees;
}

void DialView::resizeEvent(QResizeEvent*) {
    face_ = {};
}

QRect DialView::needleBounds(const std::optional<double>& degrees) const {
    const DialLayout dial = this->dial();
    // The hub is under the needle's foot; the ticks over it are drawn again wherever it was.
    QRectF covered(dial.centre, dial.centre);
    if (degrees) {
        covered = QRectF(dial.centre, NeedleLine(dial, *degrees).p2()).normalized();
        covered |= QRectF(NeedleTip(dial, *degrees) - QPointF(1, 1), QSizeF(2, 2));
    }
    const double reach =
        std::max({dial.tipDot, dial.tipRing, dial.hubDot, dial.hubRing}) + LineWidth + 2;
    return covered.adjusted(-reach, -reach, reach, reach).toAlignedRect();
}

QRect DialView::targetBounds(const std::optional<double>& degrees) const {
    if (!degrees)
        return {};
    return TargetMarker(dial(), *degrees).boundingRect().adjusted(-2, -2, 2, 2).toAlignedRect();
}

const QPixmap& DialView::face() {
    if (!face_.isNull())
        return face_;
    const qreal ratio = devicePixelRatioF();
    face_ = QPixmap((QSizeF(size()) * ratio).toSize());
    face_.setDevicePixelRatio(ratio);
    face_.fill(Qt::transparent);
    QPainter painter(&face_);
    painter.setRenderHint(QPainter::Antialiasing);
    const DialLayout dial = this->dial();
    if (style_ == Style::Webcam) {
        Circle(painter, dial.centre, dial.discRadius, QColor(0, 0, 0xFF), Qt::black, LineWidth);
        return face_;
    }
    painter.fillRect(rect(), look_.background);
    Circle(painter, dial.centre, dial.discRadius, look_.rim, look_.middle, RimWidth);
    // The small dial always has its ticks, under the needle.
    if (style_ == Style::SmallPelorus)
        Ticks(painter, dial);
    return face_;
}

DialLayout DialView::dial() const {
    const QSizeF picture = size();
    switch (style_) {
    case Style::Pelorus:
        return PelorusLayout(picture);
    case Style::SmallPelorus:
        return SmallPelorusLayout(picture);
    case Style::Webcam:
        break;
    }
    return WebcamLayout(picture);
}

void DialView::paintEvent(QPaintEvent*) {
    const QPixmap& face = this->face();
    QPainter painter(this);
    painter.drawPixmap(0, 0, face);
    painter.setRenderHint(QPainter::Antialiasing);
    const DialLayout dial = this->dial();
    if (style_ == Style::Webcam) {
        if (needle_) {
            painter.setPen(QPen(Qt::white, LineWidth));
            painter.drawLine(NeedleLine(dial, *needle_));
        }
        Circle(painter, dial.centre, dial.hubDot, RestingRed, Qt::white);
        Ticks(painter, dial);
        return;
    }

    // The pelorus has its ticks on request, over everything.
    if (needle_) {
        painter.setPen(QPen(Silver, LineWidth));
        painter.drawLine(NeedleLine(dial, *needle_));
        const QPointF tip = NeedleTip(dial, *needle_);
        Circle(painter, tip, dial.tipDot, Yellow, Yellow);
        Circle(painter, tip, dial.tipRing, Qt::black, Yellow);
    }
    const QColor hub = look_.resting ? RestingRed : TurningGreen;
    Circle(painter, dial.centre, dial.hubDot, hub, hub);
    Circle(painter, dial.centre, dial.hubRing, Qt::white, Qt::white);
    if (style_ == Style::Pelorus && look_.ticks)
        Ticks(painter, dial);
    if (target_) {
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Yellow);
        painter.drawPolygon(TargetMarker(dial, *target_));
    }
}

void DialView::mousePressEvent(QMouseEvent* event) {
    const Qt::MouseButton button = event->button();
    const auto heading =
        button == Qt::LeftButton ? ClickHeading(dial(), event->position()) : std::nullopt;
    // What a press starts may serve events and close the window meanwhile.
    const QPointer<DialView> self(this);
    emit pressed(button, event->globalPosition().toPoint());
    if (self && heading)
        emit headingClicked(*heading);
}

} // namespace display
