// The main window's input: key preview and the keys, the mouse wheel, the right-click pop-up
// menu and the window's activation.
#include "engine/KeyCodes.h"
#include "mainwindow/EntryField.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/SelectionSlider.h"
#include "widgets/EnterPress.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QWheelEvent>

namespace mainwindow {

// Key preview, the wheel and the frames' mouse presses: every control of the window is watched.
void MainWindow::routeEventsOfChildren() {
    for (QWidget* child : findChildren<QWidget*>()) {
        if (qobject_cast<QMenu*>(child) == nullptr)
            child->installEventFilter(this);
    }
}

bool MainWindow::event(QEvent* event) {
    // Back to the main window, the wheel turns the stepper again.
    if (event->type() == QEvent::WindowActivate)
        logic_.wheel.ChooseWheelFunction(engine::WheelFunction::Stepper);
    return QMainWindow::event(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this)
        return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (auto* entry = qobject_cast<EntryField*>(widget))
            return fieldKeyPressed(entry, key);
        if (widgets::PressedByEnter(widget, *key) || popUpMenuKey(widget, *key))
            return true;
        if (logic_.fields.keyPreview() && key->key() != Qt::Key_Tab &&
            key->key() != Qt::Key_Backtab) {
            routeKey(key);
            return true;
        }
        break;
    }
    case QEvent::Wheel:
        routeWheel(static_cast<QWheelEvent*>(event));
        return true;
    case QEvent::MouseButtonRelease:
    case QEvent::KeyRelease:
        // The bar turns once it has handled the release itself: it is disabled while it turns,
        // and a release it never saw would keep a track click repeating.
        if (widget == form_.VSlider1)
            QMetaObject::invokeMethod(
                this, [this] { logic_.turns.DragBarReleased(form_.VSlider1->value()); },
                Qt::QueuedConnection);
        break;
    case QEvent::MouseButtonPress:
        if (qobject_cast<QGroupBox*>(widget) != nullptr)
            return framePressed(widget, static_cast<QMouseEvent*>(event));
        // A press on a disabled control counts as one on its frame: that is how the stepper
        // options, disabled by a turn, are enabled again.
        if (!widget->isEnabled() && widget->parentWidget() != nullptr &&
            widget->parentWidget()->isEnabled() &&
            qobject_cast<QGroupBox*>(widget->parentWidget()) != nullptr)
            return framePressed(widget->parentWidget(), static_cast<QMouseEvent*>(event));
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

// A key in an entry field: with key preview the window's commands look at it first, then the
// field has it all the same (and it goes no further). Enter in the goto fields turns; every
// key in the degree field beeps.
bool MainWindow::fieldKeyPressed(EntryField* entry, QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (entry == form_.Text7)
        logic_.platform.beep();
    if (enter && (entry == form_.Text3 || entry == form_.Text7)) {
        (entry == form_.Text3 ? form_.cmdGotoStep : form_.cmdGotoDegrees)->click();
        return true;
    }
    if (!logic_.fields.keyPreview() || event->key() == Qt::Key_Tab ||
        event->key() == Qt::Key_Backtab)
        return false;
    routeKey(event);
    static_cast<QObject*>(entry)->event(event);
    // A key the field has no use for (Page Up) would go on to the frames around it, whose
    // filter is this one: its command would run twice.
    event->accept();
    return true;
}

void MainWindow::routeKey(QKeyEvent* event) {
    const auto key = static_cast<Qt::Key>(event->key());
    logic_.keys.HandleKey(engine::VirtualKeyCode(key, event->modifiers()),
                          engine::ModifierMask(event->modifiers()));
}

bool MainWindow::popUpMenuKey(QWidget* at, const QKeyEvent& event) {
    const bool menuKey = event.key() == Qt::Key_Menu ||
                         (event.key() == Qt::Key_F10 && event.modifiers() == Qt::ShiftModifier);
    if (!menuKey)
        return false;
    // Its "Stepper" entry is the keyboard's way to the other stepper once a turn has greyed the
    // stepper options, which a click on their frame gives back.
    form_.popUpMenu()->popup(at->mapToGlobal(at->rect().center()));
    return true;
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (popUpMenuKey(this, *event))
        return;
    // Keys the window itself has, or that a control did not take. Esc stops also while a field
    // holds the keys: a turn can always be ended from the keyboard.
    if (logic_.fields.keyPreview() || event->key() == Qt::Key_Escape)
        routeKey(event);
    else
        QMainWindow::keyPressEvent(event);
}

void MainWindow::wheelEvent(QWheelEvent* event) {
    routeWheel(event);
}

void MainWindow::routeWheel(QWheelEvent* event) {
    event->accept();
    const int notches = wheelNotches_.add(event->angleDelta());
    if (notches != 0)
        logic_.wheel.HandleWheel(notches, engine::WheelShift(event->modifiers()));
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    // Presses on a frame's free space arrive here when the frame does not take them; the
    // pop-up menu belongs to the window's own space and to the frames that have it.
    QWidget* under = childAt(event->position().toPoint());
    for (QWidget* w = under; w != nullptr && w != this; w = w->parentWidget()) {
        if (qobject_cast<QGroupBox*>(w) != nullptr) {
            if (!framePressed(w, event))
                event->ignore();
            return;
        }
    }
    if (event->button() == Qt::RightButton) {
        form_.popUpMenu()->popup(event->globalPosition().toPoint());
        return;
    }
    QMainWindow::mousePressEvent(event);
}

bool MainWindow::framePressed(QWidget* frame, QMouseEvent* event) {
    const bool popUpFrame = frame == form_.Frame4 || frame == form_.Frame6 ||
                            frame == form_.frame8 || frame == form_.Frame9 ||
                            frame == form_.Frame10 || frame == form_.Frame7;
    if (!popUpFrame)
        return false;
    if (event->button() == Qt::RightButton) {
        form_.popUpMenu()->popup(event->globalPosition().toPoint());
        return true;
    }
    if (frame == form_.Frame7) {
        logic_.engine.StopTurningAndFollowing();
        logic_.presenter.EnableStepperOptions();
        return true;
    }
    return false;
}

} // namespace mainwindow
