#include "widgets/EnterPress.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QKeyEvent>

namespace widgets {

bool PressedByEnter(QObject* focused, const QKeyEvent& key) {
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    // Alt+Enter stays a stop, as every Alt combination is.
    if (!enter || (key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    auto* widget = qobject_cast<QWidget*>(focused);
    if (widget == nullptr || !widget->isEnabled())
        return false;
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->animateClick();
        return true;
    }
    // A label or picture that acts as a button and takes the focus offers the press it acts on.
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    QAccessibleActionInterface* actions = accessible ? accessible->actionInterface() : nullptr;
    if (actions == nullptr ||
        !actions->actionNames().contains(QAccessibleActionInterface::pressAction()))
        return false;
    actions->doAction(QAccessibleActionInterface::pressAction());
    return true;
}

} // namespace widgets
