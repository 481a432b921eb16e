#pragma once

#include "core/ProgramState.h"
#include "platform/Platform.h"
#include "table/BandSet.h"
#include "table/TableEditor.h"
#include "tuning/RigTuning.h"

#include <QObject>

class QMenu;

namespace table {

// The Files menu's "Band set": one checkable entry per table file for the working stepper,
// ticked while the table is in that stepper's band set. The entries are made anew each time the
// menu opens (the files and the working stepper change meanwhile).
class BandSetMenu : public QObject {
    Q_OBJECT

public:
    struct Logic {
        const core::ProgramState& state;
        platform::Platform& platform;
        const TableEditor& editor;
        BandSets& sets;
        tuning::RigTuning& tuning;
    };

    BandSetMenu(QMenu& menu, const Logic& logic, QObject* parent = nullptr);

    // The entries as the menu shows them now.
    void rebuild();

private:
    void toggle(const QString& name);

    QMenu& menu_;
    Logic logic_;
};

} // namespace table
