#include "table/BandSetMenu.h"

#include "core/VersionTexts.h"

#include <QAction>
#include <QMenu>

namespace table {

BandSetMenu::BandSetMenu(QMenu& menu, const Logic& logic, QObject* parent)
    : QObject(parent), menu_(menu), logic_(logic) {
    connect(&menu_, &QMenu::aboutToShow, this, &BandSetMenu::rebuild);
    rebuild();
}

void BandSetMenu::rebuild() {
    menu_.clear();
    const core::Long stepper = logic_.state.SelectedStepper;
    const QStringList names = logic_.sets.MenuNames(stepper, logic_.editor.CatFiles());
    if (names.isEmpty()) {
        menu_.addAction(QStringLiteral("(no table files)"))->setEnabled(false);
        return;
    }
    for (const QString& name : names) {
        QAction* entry = menu_.addAction(name.startsWith(QLatin1Char('\\')) ? name.mid(1) : name);
        entry->setObjectName(QStringLiteral("mnuBandSetEntry"));
        entry->setCheckable(true);
        entry->setChecked(logic_.sets.contains(stepper, name));
        connect(entry, &QAction::triggered, this, [this, name] { toggle(name); });
    }
}

void BandSetMenu::toggle(const QString& name) {
    QString error;
    if (logic_.sets.Toggle(logic_.state.SelectedStepper, name, &error))
        return;
    const auto pause = logic_.tuning.pausePolls();
    logic_.platform.messageBox(QStringLiteral("%1 cannot be written (%2): the band set stays as "
                                              "it was.")
                                   .arg(logic_.sets.settingsFile(), error),
                               core::MessageTitle(), platform::Icon::Exclamation);
}

} // namespace table
