#pragma once

#include "display/DialGeometry.h"

#include <QColor>
#include <QPixmap>
#include <QRegion>
#include <QWidget>
#include <optional>

namespace display {

// A compass dial that only paints what it is given: the disc with its rim, the reference
// ticks, the needle with its tip, the hub (red at rest, green while turning) and the marker of
// the target a turn goes to. Its geometry follows its size (DialGeometry). Every mouse press is
// reported; a left press on the dial also reports the heading it points at. The disc is drawn
// once per size and look; a moving needle or marker redraws only where it was and where it is,
// and a needle that moves less than a pixel is not redrawn.
class DialView : public QWidget {
    Q_OBJECT

public:
    enum class Style { Pelorus, SmallPelorus, Webcam };

    struct Look {
        QColor background;
        QColor rim;
        QColor middle;
        bool ticks = true;
        bool resting = true;
        bool operator==(const Look&) const = default;
    };

    explicit DialView(Style style, QWidget* parent = nullptr);

    void setLook(const Look& look);
    // Degrees clockwise from north; none: no needle.
    void setNeedle(std::optional<double> degrees);
    // The target marker; none while no turn is under way.
    void setTarget(std::optional<double> degrees);
    std::optional<double> needle() const { return needle_; }
    std::optional<double> target() const { return target_; }
    // The dial's geometry at the present size.
    DialLayout dial() const;

signals:
    void pressed(Qt::MouseButton button, QPoint globalPosition);
    void headingClicked(double heading);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // What the needle (with the hub under it) or the marker at these degrees covers.
    QRegion needleRegion(const std::optional<double>& degrees) const;
    QRect targetBounds(const std::optional<double>& degrees) const;
    // The disc with its rim on the background, and the small dial's ticks: what does not move.
    const QPixmap& face();
    // The hub, drawn once around the centre and copied at every repaint, and its top left corner.
    const QPixmap& hub();
    QPoint hubCorner() const;

    Style style_;
    Look look_;
    std::optional<double> needle_;
    std::optional<double> drawnNeedle_; // where the needle is drawn: needle_ to the pixel
    std::optional<QRegion> drawnCover_; // what drawnNeedle_ covers, once asked
    std::optional<double> target_;
    QPixmap face_;
    QPixmap hub_;
};

} // namespace display
