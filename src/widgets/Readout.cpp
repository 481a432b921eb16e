#include "widgets/Readout.h"

#include <QLabel>

namespace widgets {

void PaintAlone(QWidget& widget, QSize size) {
    widget.setAutoFillBackground(true);
    widget.setFixedSize(size);
}

void MakeReadout(QLabel& label, int pointSizeDelta, ReadoutFrame frame, const QString& widestText) {
    QFont font = label.font();
    font.setPointSize(font.pointSize() + pointSizeDelta);
    font.setBold(true);
    label.setFont(font);
    if (frame == ReadoutFrame::Sunken) {
        label.setFrameShape(QFrame::Panel);
        label.setFrameShadow(QFrame::Sunken);
    }
    label.setAlignment(Qt::AlignCenter);
    const QFontMetrics metrics(font);
    const int margin = 2 * label.frameWidth() + 8;
    PaintAlone(label, {metrics.horizontalAdvance(widestText) + margin, metrics.height() + margin});
}

} // namespace widgets
