#pragma once

#include <QString>

class QAction;
class QMenu;

namespace widgets {

// A menu entry with an object name, by which tests and the accessibility interface find it.
QAction* AddNamedAction(QMenu& menu, const char* name, const QString& caption);

} // namespace widgets
