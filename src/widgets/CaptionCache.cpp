#include "widgets/CaptionCache.h"

#include <QEvent>
#include <QGroupBox>
#include <QHash>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

namespace widgets {
namespace {

class CaptionPainter : public QObject {
public:
    // A few captions take turns; more than this, and the caption carries something that keeps
    // changing: the pictures start anew rather than pile up.
    static constexpr int MaxPictures = 16;

    explicit CaptionPainter(QGroupBox& frame) : QObject(&frame), frame_(frame) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &frame_ || rendering_)
            return false;
        switch (event->type()) {
        case QEvent::Resize:
        case QEvent::FontChange:
        case QEvent::PaletteChange:
        case QEvent::StyleChange:
        case QEvent::EnabledChange:
            pictures_.clear();
            return false;
        case QEvent::Paint:
            return paint(static_cast<QPaintEvent*>(event)->rect());
        default:
            return false;
        }
    }

private:
    // The caption's strip: the frame's top down to its contents.
    QRect strip() const { return {0, 0, frame_.width(), frame_.contentsRect().top()}; }
    // The caption as shown: its text, and the colours of an active or inactive window.
    QString key() const {
        return frame_.title() + (frame_.isActiveWindow() ? QStringLiteral("\n1") : QString());
    }

    bool paint(const QRect& area) {
        const QRect strip = this->strip();
        if (strip.isEmpty() || !strip.contains(area))
            return false;
        auto picture = pictures_.constFind(key());
        if (picture != pictures_.cend() &&
            picture->devicePixelRatio() != frame_.devicePixelRatioF()) {
            // On a screen of another pixel density since: pictured anew.
            pictures_.clear();
            picture = pictures_.cend();
        }
        if (picture == pictures_.cend()) {
            // Painted as usual now; pictured once this paint is over (a frame cannot be drawn
            // into a picture while it paints itself).
            QTimer::singleShot(0, this, [this] { keepPicture(); });
            return false;
        }
        QPainter painter(&frame_);
        const qreal ratio = picture->devicePixelRatio();
        painter.drawPixmap(area, *picture,
                           QRectF(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio));
        return true;
    }

    void keepPicture() {
        const QRect strip = this->strip();
        const QString key = this->key();
        if (strip.isEmpty() || pictures_.contains(key))
            return;
        const qreal ratio = frame_.devicePixelRatioF();
        QPixmap picture(strip.size() * ratio);
        picture.setDevicePixelRatio(ratio);
        rendering_ = true;
        frame_.render(&picture, {}, QRegion(strip));
        rendering_ = false;
        if (pictures_.size() >= MaxPictures)
            pictures_.clear();
        pictures_.insert(key, picture);
    }

    QGroupBox& frame_;
    QHash<QString, QPixmap> pictures_;
    bool rendering_ = false;
};

} // namespace

void CacheCaptions(QGroupBox& frame) {
    frame.installEventFilter(new CaptionPainter(frame));
}

} // namespace widgets
