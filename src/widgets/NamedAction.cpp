#include "widgets/NamedAction.h"

#include <QAction>
#include <QMenu>

namespace widgets {

QAction* AddNamedAction(QMenu& menu, const char* name, const QString& caption) {
    QAction* action = menu.addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

} // namespace widgets
