#pragma once

#include <QAccessible>
#include <QStringList>
#include <QWidget>

namespace testing_support {

// The shown controls a keyboard can reach that a screen reader could not tell apart: those
// without a name, and those with the role and name of another one. The parts of a combo box go
// by the box's name.
inline QStringList UnnamedOrAlike(QWidget& window) {
    QStringList faults;
    QStringList seen;
    auto walk = [&](auto&& self, QAccessibleInterface* node) -> void {
        for (int i = 0; i < node->childCount(); ++i) {
            QAccessibleInterface* child = node->child(i);
            if (child == nullptr || child->state().invisible)
                continue;
            const QString name = child->text(QAccessible::Name);
            const QString what =
                QStringLiteral("%1 %2 '%3'")
                    .arg(int(child->role()))
                    .arg(child->object() ? child->object()->objectName() : QString(), name);
            // A label's name is its text, which may be empty until there is something to say.
            if (child->state().focusable && child->role() != QAccessible::StaticText) {
                const QString key = QString::number(int(child->role())) + '/' + name;
                if (name.trimmed().isEmpty())
                    faults << "no name: " + what;
                else if (seen.contains(key))
                    faults << "name taken: " + what;
                seen << key;
            }
            if (child->role() != QAccessible::ComboBox)
                self(self, child);
        }
    };
    walk(walk, QAccessible::queryAccessibleInterface(&window));
    return faults;
}

} // namespace testing_support
