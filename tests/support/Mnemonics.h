#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QStringList>
#include <QWidget>

namespace testing_support {

namespace mnemonics_detail {

// One Alt letter taken twice in one scope: "Alt+R: 'CWtu&rn>>' 'Di&rect'".
inline void tellClashes(const QString& scope, const QList<QPair<QString, QString>>& taken,
                        QStringList& clashes) {
    QMap<QString, QStringList> byKey;
    for (const auto& [key, caption] : taken)
        byKey[key] << "'" + caption + "'";
    for (auto it = byKey.cbegin(); it != byKey.cend(); ++it)
        if (it.value().size() > 1)
            clashes << scope + " " + it.key() + ": " + it.value().join(' ');
}

inline void addMnemonic(const QString& caption, QList<QPair<QString, QString>>& taken) {
    const QKeySequence key = QKeySequence::mnemonic(caption);
    if (!key.isEmpty())
        taken.append({key.toString(), caption});
}

inline void walkMenu(const QString& scope, QMenu* menu, QStringList& clashes) {
    QList<QPair<QString, QString>> taken;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator())
            continue;
        addMnemonic(action->text(), taken);
        if (action->menu())
            walkMenu(scope + " > " + QString(action->text()).remove('&'), action->menu(), clashes);
    }
    tellClashes(scope, taken, clashes);
}

} // namespace mnemonics_detail

// The Alt letters a window gives twice: among its buttons, boxes, frames, labels' buddies and
// menu bar titles, which all answer Alt+letter in the window, and among the entries of each
// of its menus, pop-ups included. Qt gives a letter taken twice to neither: it moves the focus
// between the two.
inline QStringList MnemonicClashes(QWidget& window) {
    using namespace mnemonics_detail;
    QStringList clashes;
    QList<QPair<QString, QString>> taken;
    const QString name = window.objectName();
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (widget->window() != &window)
            continue;
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            addMnemonic(button->text(), taken);
        else if (auto* frame = qobject_cast<QGroupBox*>(widget))
            addMnemonic(frame->title(), taken);
        else if (auto* label = qobject_cast<QLabel*>(widget); label && label->buddy())
            addMnemonic(label->text(), taken);
        else if (auto* bar = qobject_cast<QMenuBar*>(widget)) {
            for (QAction* action : bar->actions()) {
                addMnemonic(action->text(), taken);
                if (action->menu())
                    walkMenu(name + " " + QString(action->text()).remove('&'), action->menu(),
                             clashes);
            }
        }
    }
    // Pop-ups the window owns that its menu bar does not hold.
    for (QMenu* menu : window.findChildren<QMenu*>()) {
        if (menu->menuAction()->associatedObjects().isEmpty())
            walkMenu(name + " pop-up " + menu->objectName(), menu, clashes);
    }
    tellClashes(name, taken, clashes);
    return clashes;
}

} // namespace testing_support
