#include "widgets/AccessibleToggle.h"

#include <QAccessibleWidget>
#include <QCheckBox>
#include <QKeySequence>
#include <QRadioButton>

namespace widgets {

namespace {

// Qt's check box and radio button as a screen reader sees them, but toggled by a click.
class AccessibleToggleButton : public QAccessibleWidget {
public:
    AccessibleToggleButton(QAbstractButton* button, QAccessible::Role role)
        : QAccessibleWidget(button, role) {}

    QAbstractButton* button() const { return static_cast<QAbstractButton*>(widget()); }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        const auto* box = qobject_cast<const QCheckBox*>(button());
        const bool partly = box != nullptr && box->checkState() == Qt::PartiallyChecked;
        state.checked = button()->isChecked() && !partly;
        state.checkStateMixed = partly;
        return state;
    }

    QString text(QAccessible::Text t) const override {
        const QString caption = button()->text();
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            // The caption without its mnemonic's marks ("&&" is a plain "&").
            QString name;
            for (qsizetype i = 0; i < caption.size(); ++i) {
                if (caption[i] == u'&' && i + 1 < caption.size())
                    ++i;
                name += caption[i];
            }
            return name;
        }
        if (t == QAccessible::Accelerator)
            return QKeySequence::mnemonic(caption).toString(QKeySequence::NativeText);
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (widget()->isEnabled())
            names.prepend(toggleAction());
        return names;
    }

    void doAction(const QString& action) override {
        if (action == toggleAction() || action == pressAction()) {
            // A click after the reader's call has returned, as a key press gives it.
            if (widget()->isEnabled())
                button()->animateClick();
            return;
        }
        QAccessibleWidget::doAction(action);
    }

    QStringList keyBindingsForAction(const QString& action) const override {
        const QString accelerator = text(QAccessible::Accelerator);
        if (action == toggleAction() && !accelerator.isEmpty())
            return {accelerator};
        return QAccessibleWidget::keyBindingsForAction(action);
    }
};

QAccessibleInterface* MakeAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("QCheckBox"))
        return new AccessibleToggleButton(static_cast<QCheckBox*>(object), QAccessible::CheckBox);
    if (className == QLatin1String("QRadioButton"))
        return new AccessibleToggleButton(static_cast<QRadioButton*>(object),
                                          QAccessible::RadioButton);
    return nullptr;
}

} // namespace

void MakeAccessibleTogglesClick() {
    // Factories installed later are asked first: this one before the widgets' own.
    static const bool installed = [] {
        QAccessible::installFactory(MakeAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace widgets
