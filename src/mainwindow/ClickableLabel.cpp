#include "mainwindow/ClickableLabel.h"

#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPointer>

namespace mainwindow {

namespace {

// What a screen reader sees of the label: its text (a picture its accessible name) and the
// press it acts on. The press runs from the event loop, so the reader's call returns before a
// command that turns or opens a window.
class AccessibleClickableLabel : public QAccessibleWidget {
public:
    explicit AccessibleClickableLabel(ClickableLabel* label)
        : QAccessibleWidget(label, label->pixmap().isNull() ? QAccessible::StaticText
                                                            : QAccessible::Graphic) {}

    QString text(QAccessible::Text t) const override {
        const auto* label = static_cast<const ClickableLabel*>(widget());
        if (t == QAccessible::Name && label->accessibleName().isEmpty())
            return label->text();
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (widget()->isEnabled())
            names.prepend(pressAction());
        return names;
    }

    void doAction(const QString& action) override {
        if (action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        if (!widget()->isEnabled())
            return;
        QPointer<ClickableLabel> label = static_cast<ClickableLabel*>(widget());
        QMetaObject::invokeMethod(
            label, [label] { label->press(); }, Qt::QueuedConnection);
    }
};

QAccessibleInterface* MakeAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String(ClickableLabel::staticMetaObject.className()))
        return new AccessibleClickableLabel(static_cast<ClickableLabel*>(object));
    return nullptr;
}

} // namespace

ClickableLabel::ClickableLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(MakeAccessible);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
}

void ClickableLabel::press() {
    emit clicked(Qt::LeftButton);
}

void ClickableLabel::mousePressEvent(QMouseEvent* event) {
    event->accept();
    emit clicked(event->button());
}

} // namespace mainwindow
