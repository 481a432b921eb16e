#include "display/InputForwarder.h"

#include "engine/KeyCodes.h"
#include "widgets/EnterPress.h"

#include <QKeyEvent>
#include <QMenu>
#include <QWheelEvent>
#include <QWidget>

namespace display {

InputForwarder::InputForwarder(QWidget& window, Handler onKey, Handler onWheel)
    : QObject(&window), onKey_(std::move(onKey)), onWheel_(std::move(onWheel)) {
    window.installEventFilter(this);
    // A pop-up menu keeps its own keys.
    for (QWidget* child : window.findChildren<QWidget*>()) {
        if (qobject_cast<QMenu*>(child) == nullptr)
            child->installEventFilter(this);
    }
}

bool InputForwarder::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && onKey_) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            return false;
        if (widgets::PressedByEnter(watched, *key))
            return true;
        onKey_(engine::VirtualKeyCode(static_cast<Qt::Key>(key->key()), key->modifiers()),
               engine::ModifierMask(key->modifiers()));
        return true;
    }
    if (event->type() == QEvent::Wheel && onWheel_) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const int notches = notches_.add(wheel->angleDelta());
        if (notches != 0)
            onWheel_(notches, engine::WheelShift(wheel->modifiers()));
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace display
