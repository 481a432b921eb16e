#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "rig/CatLog.h"
#include "table/BandSet.h"
#include "table/TableEditor.h"
#include "table/TableViewModel.h"

#include <QObject>
#include <QString>

namespace tuning {

// Following across bands: a confirmed frequency that the open table does not cover opens the
// table of the band sets that does, and with two loops makes the stepper of that set the working
// one (the engine's stepper switch; the other driver then goes by its autopower). Following then
// goes on with the new table as with any reading, its turn a following turn through the
// transmit gate. Outside every table of the sets nothing changes. Nothing is switched while a
// turn runs: the next confirmed reading tries again.
class BandChangeover : public QObject {
    Q_OBJECT

public:
    struct Parts {
        core::ProgramState& state;
        engine::Engine& engine;
        table::TableEditor& editor;
        table::TableViewModel& view;
        table::BandSets& sets;
        rig::CatLog& log;
    };

    explicit BandChangeover(const Parts& parts, QObject* parent = nullptr);

    // For a confirmed reading (kHz) about to be followed. True when another table (and perhaps
    // another stepper) is in place; it is told in the table window's status line, the CAT
    // terminal and the log.
    bool ChangeOver(core::Single kHz);

signals:
    // "Band set: 20m.cat opened for 14200 kHz".
    void changedOver(const QString& text);

private:
    core::ProgramState& state_;
    engine::Engine& engine_;
    table::TableEditor& editor_;
    table::TableViewModel& view_;
    table::BandSets& sets_;
    rig::CatLog& log_;
    bool turning_ = false; // between the engine's turnStarted and turnEnded
};

} // namespace tuning
