#pragma once

#include <QSize>
#include <QString>

class QLabel;
class QWidget;

namespace widgets {

// Fixes the widget at size and lets it paint its own background: a change of what it shows (a
// clock's next second, a read-out's next value) then repaints the widget alone, without a layout
// of its window or a repaint of the frames behind it.
void PaintAlone(QWidget& widget, QSize size);

enum class ReadoutFrame { None, Sunken };

// Makes the label a read-out: a large bold font, centred, sized for widestText and painting alone,
// as a turn changes its value at screen rate; its one-line values are painted from the font's
// glyphs without laying the text out at every repaint.
void MakeReadout(QLabel& label, int pointSizeDelta, ReadoutFrame frame, const QString& widestText);

} // namespace widgets
