// The main window's input rules: the entry fields' filter and units, key preview and the keys,
// the mouse wheel, and the right-click pop-up menu.
#include "core/TextRules.h"
#include "engine/KeyCodes.h"
#include "mainwindow/EntryField.h"
#include "mainwindow/MainWindow.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QWheelEvent>

namespace mainwindow {

namespace {

// The unit a field shows behind its number; empty for none.
QString UnitOf(const MainWindowForm& form, const EntryField* field) {
    if (field == form.Text5 || field == form.Text6 || field == form.Text11)
        return QStringLiteral("Sec");
    if (field == form.Text7)
        return QStringLiteral("°");
    return {};
}

} // namespace

void MainWindow::connectFields() {
    const std::array<std::pair<EntryField*, QPushButton*>, 12> fields{{
        {form_.Text1, form_.cmdInputMax},
        {form_.Text2, form_.cmdInputMin},
        {form_.Text3, form_.cmdGotoStep},
        {form_.Text4, form_.cmdStepperStap},
        {form_.Text5, form_.cmdHoogste},
        {form_.Text6, form_.cmdLaagste},
        {form_.Text7, form_.cmdGotoDegrees},
        {form_.Text8, nullptr},
        {form_.Text9, nullptr},
        {form_.Text10, nullptr},
        {form_.Text11, nullptr},
        {form_.Text12, nullptr},
    }};
    for (const auto& [entry, button] : fields) {
        EntryField* field = entry;
        connect(field, &EntryField::entered, this, [this, field] {
            setKeyPreview(false);
            // After the mouse press that gave the focus, which would place the cursor.
            QTimer::singleShot(0, field, &QLineEdit::selectAll);
        });
        if (button) {
            // A double click acts like the button beside the field, as far as it is enabled.
            connect(field, &EntryField::doubleClicked, button, &QPushButton::click);
        }
        if (field != form_.Text1)
            connect(field, &QLineEdit::textChanged, this, [this, field] { fieldEdited(field); });
    }
    // Text7 beeps at every key and turns on Enter (see eventFilter).
    form_.Text7->installEventFilter(this);
}

// Any change of a filtered field: only the number is kept, with the unit behind it. Setting
// the same text again is no change, so this settles after one round.
void MainWindow::fieldEdited(EntryField* field) {
    const QString text = field->text();
    const QString unit = UnitOf(form_, field);
    QString number = text;
    if (!unit.isEmpty() && number.endsWith(unit))
        number.chop(unit.size());
    number = core::NumericFieldText(number);
    const QString wanted = unit.isEmpty() || number.isEmpty() ? number : number + u' ' + unit;
    if (wanted != text) {
        const int cursor = std::min<int>(field->cursorPosition(), number.size());
        field->setText(wanted);
        field->setCursorPosition(cursor);
        return; // the rewrite comes back here once more
    }
    if (field == form_.Text8 || field == form_.Text9)
        parts_.engine.StopTurning();
}

// Key preview, the wheel and the frames' mouse presses: every control of the window is watched.
void MainWindow::routeEventsOfChildren() {
    for (QWidget* child : findChildren<QWidget*>()) {
        if (qobject_cast<QMenu*>(child) == nullptr)
            child->installEventFilter(this);
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this)
        return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == form_.Text7) {
            parts_.platform.beep();
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                form_.cmdGotoDegrees->click();
                return true;
            }
        }
        if (keyPreview_)
            return routeKey(key);
        break;
    }
    case QEvent::Wheel:
        routeWheel(static_cast<QWheelEvent*>(event));
        return true;
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

// A key for the window's commands; false for the keys that belong to the focused control
// (focus moves).
bool MainWindow::routeKey(QKeyEvent* event) {
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)
        return false;
    const auto key = static_cast<Qt::Key>(event->key());
    parts_.keys.HandleKey(engine::VirtualKeyCode(key, event->modifiers()),
                          engine::ModifierMask(event->modifiers()));
    return true;
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // Keys the window itself has, or that a field did not take. Esc stops also while a field
    // holds the keys: a turn can always be ended from the keyboard.
    if (keyPreview_ || event->key() == Qt::Key_Escape)
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
        parts_.wheel.HandleWheel(notches, engine::WheelShift(event->modifiers()));
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
        parts_.engine.StopTurning();
        setStepperOptionsEnabled(true);
        return true;
    }
    return false;
}

} // namespace mainwindow
