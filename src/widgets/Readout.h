#pragma once

#include <QString>

class QLabel;

namespace widgets {

enum class ReadoutFrame { None, Sunken };

// Makes the label a read-out: a large bold font, centred, sized for widestText and painting its
// own background. A new value then redraws the label alone: no layout of its window and no
// repaint of the frames behind it, which a turn would otherwise cause at screen rate.
void MakeReadout(QLabel& label, int pointSizeDelta, ReadoutFrame frame, const QString& widestText);

} // namespace widgets
