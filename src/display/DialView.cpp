#include "display/DialView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QRegion>
#include <algorithm>
#include <cmath>

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
    hub_ = {};
    drawnNeedle_ = needle_;
    drawnCover_.reset();
    update();
}

void DialView::setNeedle(std::optional<double> degrees) {
    needle_ = degrees;
    if (drawnNeedle_ == degrees)
        return;
    if (drawnNeedle_ && degrees && SameNeedlePixels(dial(), *drawnNeedle_, *degrees))
        return;
    if (!drawnCover_)
        drawnCover_ = needleRegion(drawnNeedle_);
    QRegion cover = needleRegion(degrees);
    update(*drawnCover_ | cover);
    drawnNeedle_ = degrees;
    drawnCover_ = std::move(cover);
}

void DialView::setTarget(std::optional<double> degrees) {
    if (target_ == degrees)
        return;
    update(targetBounds(target_) | targetBounds(degrees));
    target_ = degrees;
}

void DialView::resizeEvent(QResizeEvent*) {
    face_ = {};
    hub_ = {};
    drawnNeedle_ = needle_; // all of it is drawn anew
    drawnCover_.reset();
}

QRegion DialView::needleRegion(const std::optional<double>& degrees) const {
    const DialLayout dial = this->dial();
    // The hub is under the needle's foot; the ticks over it are drawn again wherever it was.
    const double margin = LineWidth + 2;
    if (!degrees) {
        const double hub = std::max(dial.hubDot, dial.hubRing) + margin;
        return QRectF(dial.centre, dial.centre).adjusted(-hub, -hub, hub, hub).toAlignedRect();
    }
    QRegion region;
    for (const QRectF& piece : NeedleCover(dial, *degrees, margin))
        region += piece.toAlignedRect();
    return region;
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
    // The pelorus faces are opaque: a pixmap without alpha is copied onto the screen, not
    // blended.
    face_.fill(style_ == Style::Webcam ? QColor(Qt::transparent) : look_.background);
    QPainter painter(&face_);
    painter.setRenderHint(QPainter::Antialiasing);
    const DialLayout dial = this->dial();
    if (style_ == Style::Webcam) {
        Circle(painter, dial.centre, dial.discRadius, QColor(0, 0, 0xFF), Qt::black, LineWidth);
        return face_;
    }
    Circle(painter, dial.centre, dial.discRadius, look_.rim, look_.middle, RimWidth);
    // The small dial always has its ticks, under the needle.
    if (style_ == Style::SmallPelorus)
        Ticks(painter, dial);
    return face_;
}

QPoint DialView::hubCorner() const {
    const DialLayout dial = this->dial();
    const double reach = std::max(dial.hubDot, dial.hubRing) + 2;
    return {static_cast<int>(std::floor(dial.centre.x() - reach)),
            static_cast<int>(std::floor(dial.centre.y() - reach))};
}

const QPixmap& DialView::hub() {
    if (!hub_.isNull())
        return hub_;
    const DialLayout dial = this->dial();
    const QPoint corner = hubCorner();
    const int side = static_cast<int>(std::ceil(2 * (dial.centre.x() - corner.x()))) + 1;
    const qreal ratio = devicePixelRatioF();
    hub_ = QPixmap(QSize(side, side) * ratio);
    hub_.setDevicePixelRatio(ratio);
    hub_.fill(Qt::transparent);
    QPainter painter(&hub_);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(-corner);
    const QColor colour = look_.resting ? RestingRed : TurningGreen;
    Circle(painter, dial.centre, dial.hubDot, colour, colour);
    Circle(painter, dial.centre, dial.hubRing, Qt::white, Qt::white);
    return hub_;
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

void DialView::paintEvent(QPaintEvent* event) {
    const QPixmap& face = this->face();
    QPainter painter(this);
    // A moving needle repaints a strip of rectangles. Copied one rectangle at a time the face
    // is a plain copy; the whole strip at once would be blended row by row through the painter's
    // shared worker threads, a hand-over to them and back at every repaint.
    for (const QRect& piece : event->region()) {
        painter.setClipRect(piece);
        painter.drawPixmap(piece, face,
                           QRectF(QRectF(piece).topLeft() * face.devicePixelRatio(),
                                  QSizeF(piece.size()) * face.devicePixelRatio()));
    }
    painter.setClipping(false);
    painter.setRenderHint(QPainter::Antialiasing);
    const DialLayout dial = this->dial();
    if (style_ == Style::Webcam) {
        if (drawnNeedle_) {
            painter.setPen(QPen(Qt::white, LineWidth));
            painter.drawLine(NeedleLine(dial, *drawnNeedle_));
        }
        Circle(painter, dial.centre, dial.hubDot, RestingRed, Qt::white);
        Ticks(painter, dial);
        return;
    }

    // The pelorus has its ticks on request, over everything.
    if (drawnNeedle_) {
        painter.setPen(QPen(Silver, LineWidth));
        painter.drawLine(NeedleLine(dial, *drawnNeedle_));
        const QPointF tip = NeedleTip(dial, *drawnNeedle_);
        Circle(painter, tip, dial.tipDot, Yellow, Yellow);
        Circle(painter, tip, dial.tipRing, Qt::black, Yellow);
    }
    painter.drawPixmap(hubCorner(), hub());
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
